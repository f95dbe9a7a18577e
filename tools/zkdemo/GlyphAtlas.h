#pragma once
// The glyph atlas of the game's textured font: the 256 character codes in a 16 × 16 grid of
// square cells, code c in column c % 16 and row c / 16, glyphs whose grey level and alpha are
// both their coverage (so the atlas serves as its own alpha picture), on transparent black,
// rasterised from a TrueType font at build time. A font entry names each character's
// cell by its corners in texture coordinates (CellUV).
#include <cstdint>

#include "ImageWriter.h"

class GlyphAtlas {
 public:
  static constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  static constexpr uint32_t kCellSize = 32;
  static constexpr uint32_t kCells = 16;

  // Rasterises the printable ASCII codes (32 to 126) of the font into `atlas`, the other cells
  // left empty; false when the font cannot be read.
  static bool Render(const char* fontPath, RgbaImage& atlas);

  // The cell of `code`: upper left and lower right corners in texture coordinates.
  struct Cell {
    float upperLeftU, upperLeftV, lowerRightU, lowerRightV;
  };
  static Cell CellUV(uint8_t code);
};
