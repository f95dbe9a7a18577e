#pragma once
// What both textured fonts share: up to 256 glyphs (one per character code) on one texture,
// and a sprite of 256 quads, one per character position of the text being drawn. Drawing a
// text only rewrites the positions and texture coordinates of existing quads.
#include <windef.h>

#include <array>
#include <memory>
#include <string>

#include "ZeKorbD3DHeader.h"

// One character's quad: corners top right, top left, bottom right, bottom left.
struct geSGlyph {
  Vertex vertices[4];
  BYTE cCode;
  DWORD dwQuad;
};

class geCGlyphSprite {
 public:
  static constexpr DWORD kQuads = 256;
  enum ECorner { TOP_RIGHT = 0, TOP_LEFT, BOTTOM_RIGHT, BOTTOM_LEFT };

  // The glyph of the code, made when missing, placed on the corner template scaled by the
  // font's scale: 0.5 × fScaleWidth wide, 0.5 × fScaleHeight high, y growing downward.
  geSGlyph* MakeGlyph(BYTE cCode, float fScaleWidth, float fScaleHeight);
  geSGlyph* GetGlyph(int nIndex) const;
  int GetNumberOfGlyphs() const { return m_nGlyphs; }
  // The glyph's cell on the texture: u from left to right, v from top to bottom.
  static void SetCell(geSGlyph* pGlyph, float fLeft, float fTop, float fRight, float fBottom);

  // Loads the texture with its alpha image (either may be empty) through the engine's texture
  // bank and asks its sprite bank for the font's sprite; false, logged, when there is none.
  bool CreateSprite(const char* szFontName, const std::string& strTexture,
                    const std::string& strAlphaTexture, bool bAlphaBlending);
  // Quad i takes the glyph of code i, or the fallback when it has none (then no glyph records
  // the quad; without a fallback the quad stays empty); every quad starts hidden.
  void FillQuads(const geSGlyph* pFallback);
  // Draws one text at (x, y): its first 256 characters, each the glyph of its code less
  // nCharOffset; a character without a glyph is skipped and does not move the pen. Character k
  // lies fWidthSpacing × (k + 1) further right than the glyph widths alone put it.
  void DrawText(float x, float y, const std::string& strText, int nCharOffset,
                float fWidthSpacing);

  CSpriteInterface* GetSprite() const { return m_pSprite; }

 private:
  std::array<std::unique_ptr<geSGlyph>, kQuads> m_Glyphs;
  int m_nGlyphs = 0;
  SurfaceTexture m_SurfaceTexture = {};
  SurfaceTexture* m_pSurfaceTextures[1] = {&m_SurfaceTexture};
  CSpriteInterface* m_pSprite = nullptr;
};
