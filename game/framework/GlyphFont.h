#pragma once
// What both textured fonts share: their glyphs and sprite, the texture names, and the drawing of
// the queue, each text with its own sprite draw.
#include <string>

#include "framework/FontProperties.h"
#include "framework/GlyphSprite.h"
#include "framework/TexturedFont.h"

class geCGlyphFont : public geCTexturedFont {
 public:
  using geCTexturedFont::geCTexturedFont;

  // Draws the queued texts in order and empties the queue.
  void Render(DWORD dwClearFlags) override;
  CSpriteInterface* GetSprite() override { return m_Glyphs.GetSprite(); }
  void DrawTexts() override { Render(kFontClearFlags); }

  const geSGlyph* GetGlyph(BYTE cCode) const { return m_Glyphs.GetGlyph(cCode); }

 protected:
  geCGlyphSprite m_Glyphs;
  std::string m_strTexture;
  std::string m_strAlphaTexture;
  // A character shows the glyph of its code less the offset, and character k lies the spacing
  // × (k + 1) further right than the glyph widths alone put it.
  int m_nCharOffset = 0;
  float m_fWidthSpacing = 0.0f;
};
