#include "DemoTextures.h"

#include <cstdio>
#include <filesystem>

#include "DemoFile.h"
#include "GlyphAtlas.h"

namespace {

uint8_t Scaled(uint8_t channel, int percent) {
  const int value = channel * percent / 100;
  return static_cast<uint8_t>(value > 255 ? 255 : value);
}

void Put(RgbaImage& image, uint32_t x, uint32_t y, DemoColour colour, int percent) {
  uint8_t* texel = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
  texel[0] = Scaled(colour.r, percent);
  texel[1] = Scaled(colour.g, percent);
  texel[2] = Scaled(colour.b, percent);
  texel[3] = 255;
}

}  // namespace

RgbaImage DemoTextures::Tile(DemoColour colour, uint32_t size) {
  RgbaImage image = RgbaImage::Solid(size, size, colour.r, colour.g, colour.b, 255);
  const uint32_t line = size / 32 > 0 ? size / 32 : 1;
  for (uint32_t y = 0; y < size; ++y)
    for (uint32_t x = 0; x < size; ++x) {
      if (x < line || y < line || x >= size - line || y >= size - line)
        Put(image, x, y, colour, 60);
      else if ((x >= size / 2 - line / 2 && x < size / 2 + line - line / 2) ||
               (y >= size / 2 - line / 2 && y < size / 2 + line - line / 2))
        Put(image, x, y, colour, 115);
    }
  return image;
}

RgbaImage DemoTextures::Gradient(DemoColour top, DemoColour bottom, uint32_t width,
                                 uint32_t height) {
  RgbaImage image = RgbaImage::Solid(width, height, 0, 0, 0, 255);
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t weight = height > 1 ? y * 256 / (height - 1) : 0;
    auto mix = [&](uint8_t a, uint8_t b) {
      return static_cast<uint8_t>((a * (256 - weight) + b * weight) / 256);
    };
    const DemoColour row = {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b)};
    for (uint32_t x = 0; x < width; ++x) Put(image, x, y, row, 100);
  }
  return image;
}

std::string DemoTextures::Dds(const RgbaImage& image) {
  std::string payload(image.rgba.size(), '\0');
  for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    payload[i + 0] = static_cast<char>(image.rgba[i + 2]);  // blue, green, red, alpha in memory
    payload[i + 1] = static_cast<char>(image.rgba[i + 1]);
    payload[i + 2] = static_cast<char>(image.rgba[i + 0]);
    payload[i + 3] = static_cast<char>(image.rgba[i + 3]);
  }
  return EncodeDds(DdsHeader::Argb(image.width, image.height), payload);
}

bool DemoTextures::WritePng(const std::string& path, const RgbaImage& image) {
  return WriteDemoFile(path, EncodePng(image));
}

bool DemoTextures::Write(const std::string& folder) {
  const std::filesystem::path root(folder);
  const DemoColour deep = {static_cast<uint8_t>(kMenuBackground.r / 2),
                           static_cast<uint8_t>(kMenuBackground.g / 2),
                           static_cast<uint8_t>(kMenuBackground.b / 2)};
  bool written = WriteDemoFile(root / "menu/background.png",
                               EncodePng(Gradient(kMenuBackground, deep, 256, 256)));
  written = WriteDemoFile(root / "menu/item.png", EncodePng(Tile(kMenuItem, 64))) && written;
  written =
      WriteDemoFile(root / "empty.dds", Dds(RgbaImage::Solid(4, 4, 255, 255, 255, 255))) && written;
  written = WriteDemoFile(root / "game/commercials/comm_01.dds",
                          Dds(Gradient(kSplash, {0, 0, 0}, 256, 256))) &&
            written;
  RgbaImage glyphs;
  if (!GlyphAtlas::Render(GlyphAtlas::kDefaultFont, glyphs)) {
    std::fprintf(stderr, "zkdemo: cannot rasterise the font %s\n", GlyphAtlas::kDefaultFont);
    return false;
  }
  return WriteDemoFile(root / "fonts/manual.png", EncodePng(glyphs)) && written;
}
