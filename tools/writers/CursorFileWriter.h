#pragma once
// Writes Windows cursor files (.cur) with one uncompressed image, rows stored bottom first as
// the format wants.
#include <cstdint>
#include <string>
#include <vector>

class CursorFileWriter {
 public:
  // 1 bit per pixel: pixel (1, 0) white, every other pixel black; the left column is masked
  // out (transparent).
  static std::string Monochrome(int width, int height, int hotX, int hotY);
  // 32 bits per pixel from red, green, blue, alpha bytes, top row first; `mask` bits (top row
  // first, one per pixel, 1 = transparent) fill the AND mask.
  static std::string TrueColor(int width, int height, int hotX, int hotY,
                               const std::vector<uint8_t>& rgba, const std::vector<bool>& mask);
};
