#pragma once
// Image files written by tests: PNG, BMP, TGA and JPEG from RGBA texels (through
// stb_image_write; link stb), and DDS files put together field by field so that a test can
// write a malformed header as easily as a good one.
#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;  // R, G, B, A per texel, rows top to bottom

  // A deterministic pattern in which neighbouring texels differ in every channel.
  static RgbaImage Pattern(uint32_t width, uint32_t height);
  // One colour everywhere.
  static RgbaImage Solid(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
  const uint8_t* At(uint32_t x, uint32_t y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
};

std::string EncodePng(const RgbaImage& image);
std::string EncodeBmp(const RgbaImage& image);  // 24-bit: alpha dropped
std::string EncodeTga(const RgbaImage& image);
std::string EncodeJpeg(const RgbaImage& image, int quality);

// The fields of a DDS header that tests vary; the rest follow from them.
struct DdsHeader {
  uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;  // caps, height, width, pixel format
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 0;
  uint32_t mipMapCount = 0;
  uint32_t pixelFlags = 0;
  uint32_t fourCC = 0;
  uint32_t bitCount = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint32_t caps = 0x1000;
  uint32_t caps2 = 0;
  uint32_t headerSize = 124;
  uint32_t pixelFormatSize = 32;

  // A 32-bit A8R8G8B8 header, or a DXTn one (`fourCC` "DXT1" ... "DXT5").
  static DdsHeader Argb(uint32_t width, uint32_t height);
  static DdsHeader Dxt(const char* fourCC, uint32_t width, uint32_t height);
};

// "DDS ", the 124-byte header, then `payload` as it is.
std::string EncodeDds(const DdsHeader& header, const std::string& payload);
