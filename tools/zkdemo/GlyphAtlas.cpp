#include "GlyphAtlas.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

bool GlyphAtlas::Render(const char* fontPath, RgbaImage& atlas) {
  std::ifstream in(fontPath, std::ios::binary);
  const std::vector<unsigned char> font{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  stbtt_fontinfo info;
  if (font.empty() ||
      !stbtt_InitFont(&info, font.data(), stbtt_GetFontOffsetForIndex(font.data(), 0)))
    return false;
  const uint32_t side = kCells * kCellSize;
  atlas = RgbaImage::Solid(side, side, 0, 0, 0, 0);
  // A line's height fills most of a cell; glyphs sit on a common baseline.
  const float scale = stbtt_ScaleForPixelHeight(&info, kCellSize * 0.9f);
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
  const int baseline = static_cast<int>(ascent * scale) + static_cast<int>(kCellSize * 0.05f);
  std::vector<unsigned char> coverage(kCellSize * kCellSize);
  for (int code = 32; code < 127; ++code) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0, advance = 0, bearing = 0;
    stbtt_GetCodepointBitmapBox(&info, code, scale, scale, &x0, &y0, &x1, &y1);
    stbtt_GetCodepointHMetrics(&info, code, &advance, &bearing);
    const int width = x1 - x0, height = y1 - y0;
    if (width <= 0 || height <= 0) continue;
    // Centred across the cell, on the baseline; anything beyond the cell is cut.
    const int left = (static_cast<int>(kCellSize) - static_cast<int>(advance * scale)) / 2 + x0;
    const int top = baseline + y0;
    std::fill(coverage.begin(), coverage.end(), 0);
    stbtt_MakeCodepointBitmap(&info, coverage.data(), std::min<int>(width, kCellSize),
                              std::min<int>(height, kCellSize), kCellSize, scale, scale, code);
    const uint32_t cellX = (code % kCells) * kCellSize, cellY = (code / kCells) * kCellSize;
    for (int y = 0; y < std::min<int>(height, kCellSize); ++y)
      for (int x = 0; x < std::min<int>(width, kCellSize); ++x) {
        const int px = left + x, py = top + y;
        if (px < 0 || py < 0 || px >= static_cast<int>(kCellSize) ||
            py >= static_cast<int>(kCellSize))
          continue;
        // The colour carries the coverage too: a texture bank that takes a picture's alpha
        // from another picture's red channel reads the same glyphs.
        uint8_t* texel = &atlas.rgba[((cellY + py) * side + cellX + px) * 4];
        std::fill(texel, texel + 4, coverage[y * kCellSize + x]);
      }
  }
  return true;
}

GlyphAtlas::Cell GlyphAtlas::CellUV(uint8_t code) {
  const float step = 1.0f / kCells;
  const float u = (code % kCells) * step, v = (code / kCells) * step;
  return {u, v, u + step, v + step};
}
