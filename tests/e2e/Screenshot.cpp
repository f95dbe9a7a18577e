#include "Screenshot.h"

#include <stb_image.h>

#include <algorithm>
#include <cmath>

namespace {

// Below this brightest channel a pixel is too dark to tell its hue.
constexpr int kDarkest = 24;
constexpr double kHueTolerance = 0.14;

}  // namespace

Screenshot::Screenshot(const std::string& path) : m_path(path) {
  int channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &m_width, &m_height, &channels, 3);
  if (!pixels) {
    m_width = m_height = 0;
    return;
  }
  m_rgb.assign(pixels, pixels + static_cast<size_t>(m_width) * m_height * 3);
  stbi_image_free(pixels);
}

bool Screenshot::Matches(const ProbeColour& colour, int x, int y) const {
  const uint8_t* p = &m_rgb[(static_cast<size_t>(y) * m_width + x) * 3];
  const int brightest = std::max({p[0], p[1], p[2]});
  if (brightest < kDarkest) return false;
  const double want = std::max({colour.r, colour.g, colour.b});
  const uint8_t wanted[3] = {colour.r, colour.g, colour.b};
  for (int c = 0; c < 3; ++c)
    if (std::abs(p[c] / static_cast<double>(brightest) - wanted[c] / want) > kHueTolerance)
      return false;
  return true;
}

double Screenshot::Share(const ProbeColour& colour, Region region) const {
  const int left = static_cast<int>(region.left * m_width);
  const int right = static_cast<int>(region.right * m_width);
  const int top = static_cast<int>(region.top * m_height);
  const int bottom = static_cast<int>(region.bottom * m_height);
  int matching = 0, total = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x, ++total) matching += Matches(colour, x, y) ? 1 : 0;
  return total ? static_cast<double>(matching) / total : 0;
}

Screenshot::Patch Screenshot::Find(const ProbeColour& colour) const {
  Patch patch;
  double rows = 0;
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x)
      if (Matches(colour, x, y)) {
        ++patch.pixels;
        rows += y;
      }
  if (patch.pixels) patch.row = rows / patch.pixels / m_height;
  return patch;
}
