#include "ImageWriter.h"

#include <stb_image_write.h>

#include "LittleEndian.h"

namespace {

void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace

RgbaImage RgbaImage::Pattern(uint32_t width, uint32_t height) {
  RgbaImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      uint8_t* texel = &image.rgba[(static_cast<size_t>(y) * width + x) * 4];
      texel[0] = static_cast<uint8_t>(x * 37 + y * 11);
      texel[1] = static_cast<uint8_t>(x * 5 + y * 53 + 20);
      texel[2] = static_cast<uint8_t>(255 - x * 23 - y * 7);
      texel[3] = static_cast<uint8_t>(128 + x * 13 - y * 29);
    }
  return image;
}

RgbaImage RgbaImage::Solid(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  RgbaImage image{width, height, {}};
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) image.rgba.insert(image.rgba.end(), {r, g, b, a});
  return image;
}

std::string EncodePng(const RgbaImage& image) {
  std::string out;
  stbi_write_png_to_func(Append, &out, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                         image.rgba.data(), static_cast<int>(image.width * 4));
  return out;
}

std::string EncodeBmp(const RgbaImage& image) {
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i < image.rgba.size(); i += 4)
    rgb.insert(rgb.end(), image.rgba.begin() + i, image.rgba.begin() + i + 3);
  std::string out;
  stbi_write_bmp_to_func(Append, &out, static_cast<int>(image.width), static_cast<int>(image.height), 3, rgb.data());
  return out;
}

std::string EncodeTga(const RgbaImage& image) {
  std::string out;
  stbi_write_tga_to_func(Append, &out, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                         image.rgba.data());
  return out;
}

std::string EncodeJpeg(const RgbaImage& image, int quality) {
  std::string out;
  stbi_write_jpg_to_func(Append, &out, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                         image.rgba.data(), quality);
  return out;
}

DdsHeader DdsHeader::Argb(uint32_t width, uint32_t height) {
  DdsHeader h;
  h.width = width;
  h.height = height;
  h.pixelFlags = 0x40 | 0x1;  // RGB with alpha
  h.bitCount = 32;
  h.masks[0] = 0x00ff0000;
  h.masks[1] = 0x0000ff00;
  h.masks[2] = 0x000000ff;
  h.masks[3] = 0xff000000;
  return h;
}

DdsHeader DdsHeader::Dxt(const char* fourCC, uint32_t width, uint32_t height) {
  DdsHeader h;
  h.width = width;
  h.height = height;
  h.pixelFlags = 0x4;
  h.fourCC = static_cast<uint32_t>(fourCC[0]) | static_cast<uint32_t>(fourCC[1]) << 8 |
             static_cast<uint32_t>(fourCC[2]) << 16 | static_cast<uint32_t>(fourCC[3]) << 24;
  return h;
}

std::string EncodeDds(const DdsHeader& h, const std::string& payload) {
  std::string out = "DDS ";
  Put32(out, h.headerSize);
  Put32(out, h.flags | (h.mipMapCount ? 0x20000u : 0u) | (h.depth ? 0x800000u : 0u));
  Put32(out, h.height);
  Put32(out, h.width);
  Put32(out, 0);  // pitch or linear size: readers work it out
  Put32(out, h.depth);
  Put32(out, h.mipMapCount);
  for (int i = 0; i < 11; ++i) Put32(out, 0);
  Put32(out, h.pixelFormatSize);
  Put32(out, h.pixelFlags);
  Put32(out, h.fourCC);
  Put32(out, h.bitCount);
  for (uint32_t mask : h.masks) Put32(out, mask);
  Put32(out, h.caps);
  Put32(out, h.caps2);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  return out + payload;
}
