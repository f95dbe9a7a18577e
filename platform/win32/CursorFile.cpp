#include "CursorFile.h"

#include <cstring>

namespace {

uint16_t Read16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }
uint32_t Read32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
         (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 256;

size_t RowBytes(int width, int bitsPerPixel) {
  return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

}  // namespace

bool CursorFile::Decode(const std::vector<uint8_t>& bytes, CursorImage& out, std::string& error) {
  const size_t size = bytes.size();
  const uint8_t* data = bytes.data();
  if (size < kDirectorySize + kEntrySize || Read16(data) != 0 || Read16(data + 2) != 2 ||
      Read16(data + 4) == 0) {
    error = "not a cursor file";
    return false;
  }
  const uint8_t* entry = data + kDirectorySize;
  const int hotX = Read16(entry + 4);
  const int hotY = Read16(entry + 6);
  const uint32_t imageSize = Read32(entry + 8);
  const uint32_t imageOffset = Read32(entry + 12);
  if (imageOffset > size || imageSize > size - imageOffset || imageSize < kInfoHeaderSize) {
    error = "cursor image lies outside the file";
    return false;
  }
  const uint8_t* image = data + imageOffset;
  if (std::memcmp(image, "\x89PNG", 4) == 0) {
    error = "compressed cursor images are not supported";
    return false;
  }
  const uint32_t headerSize = Read32(image);
  const int32_t width = static_cast<int32_t>(Read32(image + 4));
  const int32_t doubledHeight = static_cast<int32_t>(Read32(image + 8));
  const int bitsPerPixel = Read16(image + 14);
  const uint32_t compression = Read32(image + 16);
  const uint32_t colorsUsed = Read32(image + 32);
  const int32_t height = doubledHeight / 2;
  if (headerSize < kInfoHeaderSize || headerSize > imageSize || width <= 0 || width > kMaxSide ||
      height <= 0 || height > kMaxSide || compression != 0) {
    error = "unsupported cursor bitmap";
    return false;
  }
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 &&
      bitsPerPixel != 32) {
    error = "unsupported cursor colour depth";
    return false;
  }
  const size_t paletteCount =
      bitsPerPixel <= 8 ? (colorsUsed ? colorsUsed : (1u << bitsPerPixel)) : 0;
  if (paletteCount > 256) {
    error = "cursor palette too large";
    return false;
  }
  const size_t colorRow = RowBytes(width, bitsPerPixel);
  const size_t maskRow = RowBytes(width, 1);
  const size_t needed = headerSize + paletteCount * 4 + (colorRow + maskRow) * height;
  if (needed > imageSize) {
    error = "cursor bitmap is truncated";
    return false;
  }
  const uint8_t* palette = image + headerSize;
  const uint8_t* colors = palette + paletteCount * 4;
  const uint8_t* mask = colors + colorRow * height;

  out.width = width;
  out.height = height;
  out.hotX = hotX < width ? hotX : 0;
  out.hotY = hotY < height ? hotY : 0;
  out.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    // Bitmaps are stored bottom row first.
    const uint8_t* colorLine = colors + colorRow * (height - 1 - y);
    const uint8_t* maskLine = mask + maskRow * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &out.rgba[(static_cast<size_t>(y) * width + x) * 4];
      uint8_t blue, green, red, alpha = 255;
      if (bitsPerPixel >= 24) {
        const uint8_t* source = colorLine + static_cast<size_t>(x) * (bitsPerPixel / 8);
        blue = source[0];
        green = source[1];
        red = source[2];
        if (bitsPerPixel == 32) {
          alpha = source[3];
          anyAlpha = anyAlpha || alpha != 0;
        }
      } else {
        const size_t bit = static_cast<size_t>(x) * bitsPerPixel;
        const int shift = 8 - bitsPerPixel - static_cast<int>(bit % 8);
        const size_t index = (colorLine[bit / 8] >> shift) & ((1u << bitsPerPixel) - 1);
        if (index >= paletteCount) {
          error = "cursor pixel outside its palette";
          return false;
        }
        blue = palette[index * 4];
        green = palette[index * 4 + 1];
        red = palette[index * 4 + 2];
      }
      const bool masked = (maskLine[x / 8] >> (7 - x % 8)) & 1;
      pixel[0] = red;
      pixel[1] = green;
      pixel[2] = blue;
      pixel[3] = bitsPerPixel == 32 ? alpha : (masked ? 0 : 255);
    }
  }
  // A 32-bit image without any alpha relies on its mask alone.
  if (bitsPerPixel == 32 && !anyAlpha) {
    for (int y = 0; y < height; ++y) {
      const uint8_t* maskLine = mask + maskRow * (height - 1 - y);
      for (int x = 0; x < width; ++x) {
        const bool masked = (maskLine[x / 8] >> (7 - x % 8)) & 1;
        out.rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] = masked ? 0 : 255;
      }
    }
  }
  return true;
}
