#include "CursorFileWriter.h"

#include "LittleEndian.h"

namespace {

size_t RowBytes(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

// Directory, one entry and the bitmap header; the pixel data follows.
std::string Header(int width, int height, int hotX, int hotY, int bits, uint32_t paletteCount,
                   size_t dataSize) {
  const uint32_t imageSize = static_cast<uint32_t>(40 + paletteCount * 4 + dataSize);
  std::string out;
  Put16(out, 0);
  Put16(out, 2);
  Put16(out, 1);
  out += static_cast<char>(width);
  out += static_cast<char>(height);
  out += static_cast<char>(0);
  out += static_cast<char>(0);
  Put16(out, hotX);
  Put16(out, hotY);
  Put32(out, imageSize);
  Put32(out, 6 + 16);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, paletteCount);
  Put32(out, 0);
  return out;
}

std::string MaskRows(int width, int height, const std::vector<bool>& mask) {
  std::string rows;
  for (int y = height - 1; y >= 0; --y) {
    std::string row(RowBytes(width, 1), '\0');
    for (int x = 0; x < width; ++x)
      if (mask[static_cast<size_t>(y) * width + x])
        row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
    rows += row;
  }
  return rows;
}

}  // namespace

std::string CursorFileWriter::Monochrome(int width, int height, int hotX, int hotY) {
  std::string colors;
  for (int y = height - 1; y >= 0; --y) {
    std::string row(RowBytes(width, 1), '\0');
    if (y == 0 && width > 1) row[0] = 0x40;  // pixel (1, 0) takes palette entry 1
    colors += row;
  }
  std::vector<bool> mask(static_cast<size_t>(width) * height, false);
  for (int y = 0; y < height; ++y) mask[static_cast<size_t>(y) * width] = true;
  const std::string maskRows = MaskRows(width, height, mask);
  std::string out = Header(width, height, hotX, hotY, 1, 2, colors.size() + maskRows.size());
  Put32(out, 0x00000000);  // black
  Put32(out, 0x00FFFFFF);  // white
  return out + colors + maskRows;
}

std::string CursorFileWriter::TrueColor(int width, int height, int hotX, int hotY,
                                        const std::vector<uint8_t>& rgba,
                                        const std::vector<bool>& mask) {
  std::string colors;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* pixel = &rgba[(static_cast<size_t>(y) * width + x) * 4];
      colors += static_cast<char>(pixel[2]);
      colors += static_cast<char>(pixel[1]);
      colors += static_cast<char>(pixel[0]);
      colors += static_cast<char>(pixel[3]);
    }
  }
  const std::string maskRows = MaskRows(width, height, mask);
  return Header(width, height, hotX, hotY, 32, 0, colors.size() + maskRows.size()) + colors +
         maskRows;
}
