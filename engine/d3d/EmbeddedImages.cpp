#include "d3d/EmbeddedImages.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

#include "zkplatform/ZkResources.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

struct Image {
  int width;
  int height;
  int components;
  std::vector<uint8_t> texels;

  void Set(int x, int y, std::initializer_list<uint8_t> channels) {
    std::copy(channels.begin(), channels.end(), texels.begin() + (static_cast<size_t>(y) * width + x) * components);
  }
};

void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
}

std::string Png(const Image& image) {
  std::string bytes;
  stbi_write_png_to_func(Append, &bytes, image.width, image.height, image.components, image.texels.data(),
                         image.width * image.components);
  return bytes;
}

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// Distance from the centre texel to an edge, 1 at both edges whatever side: 128 texels run
// from the centre to the left or top edge and 127 to the other.
double EdgeDistance(int position, int size) {
  const int centre = size / 2;
  return position <= centre ? (centre - position) / double(centre) : (position - centre) / double(size - 1 - centre);
}

// Grey 0 at the centre rising with the square of the distance to 254 at the middle of each edge
// (255 beyond); alpha is its complement.
Image AttenuationXY() {
  Image image{256, 256, 4, std::vector<uint8_t>(256 * 256 * 4)};
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const double dx = EdgeDistance(x, 256), dy = EdgeDistance(y, 256);
      const uint8_t grey = Clamp(254.0 * (dx * dx + dy * dy));
      image.Set(x, y, {grey, grey, grey, static_cast<uint8_t>(255 - grey)});
    }
  return image;
}

// The same profile along one row: 0 at the centre, 70 halfway, 255 at both ends.
Image AttenuationZ() {
  Image image{256, 1, 4, std::vector<uint8_t>(256 * 4)};
  for (int x = 0; x < 256; ++x) {
    const uint8_t grey = Clamp(255.0 * std::pow(EdgeDistance(x, 256), 1.865));
    image.Set(x, 0, {grey, grey, grey, static_cast<uint8_t>(255 - grey)});
  }
  return image;
}

// A round spot: full at the centre, 7 to 8 at the ends of the middle row, nothing in the corners.
Image Spot() {
  Image image{64, 64, 4, std::vector<uint8_t>(64 * 64 * 4)};
  const double falloff = std::log(255.0 / 7.6) / (31.5 * 31.5 + 0.25);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const double dx = x - 31.5, dy = y - 31.5;
      const uint8_t value = Clamp(255.0 * std::exp(-falloff * (dx * dx + dy * dy)));
      image.Set(x, y, {value, value, value, value});
    }
  return image;
}

// A warm glow with a bright core and faint rays.
std::string Flare() {
  Image image{256, 256, 3, std::vector<uint8_t>(256 * 256 * 3)};
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const double dx = (x - 127.5) / 128.0, dy = (y - 127.5) / 128.0;
      const double r = std::sqrt(dx * dx + dy * dy);
      const double rays = 0.15 * std::pow(std::fabs(std::cos(6.0 * std::atan2(dy, dx))), 8.0) * std::max(0.0, 1.0 - r);
      const double glow = std::exp(-6.0 * r * r) + rays;
      image.Set(x, y, {Clamp(255.0 * glow), Clamp(235.0 * glow), Clamp(200.0 * glow)});
    }
  std::string bytes;
  stbi_write_jpg_to_func(Append, &bytes, image.width, image.height, image.components, image.texels.data(), 90);
  return bytes;
}

void Register(HMODULE module, const char* name, const std::string& bytes) {
  ZkRegisterResource(module, name, bytes.data(), bytes.size());
}

}  // namespace

HMODULE GetEngineImageModule() {
  static HMODULE module = nullptr;
  static std::once_flag registered;
  std::call_once(registered, [] {
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&GetEngineImageModule), &module);
    Register(module, kAttenuationXYImage, Png(AttenuationXY()));
    Register(module, kAttenuationZImage, Png(AttenuationZ()));
    Register(module, kSpotImage, Png(Spot()));
    Register(module, kFlareImage, Flare());
  });
  return module;
}
