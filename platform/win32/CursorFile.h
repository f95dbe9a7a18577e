#pragma once
// Reads a Windows cursor file (.cur): its first image, an uncompressed bitmap of 1, 4, 8, 24 or
// 32 bits per pixel with its transparency mask, and the hot spot.
#include <cstdint>
#include <string>
#include <vector>

struct CursorImage {
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  std::vector<uint8_t> rgba;  // top row first, 4 bytes per pixel: red, green, blue, alpha
};

class CursorFile {
 public:
  // False with `error` set when the bytes are not a cursor this reader knows; nothing read
  // outside `bytes`.
  static bool Decode(const std::vector<uint8_t>& bytes, CursorImage& out, std::string& error);
};
