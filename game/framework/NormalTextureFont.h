#pragma once
// A font cut from a regular 16 × 16 grid of characters on one texture.
#include <string>

#include "framework/GlyphSprite.h"
#include "framework/TexturedFont.h"

class geCNormalTextureFont : public geCTexturedFont {
 public:
  using geCTexturedFont::geCTexturedFont;

  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  // Draws the queued texts, each with its own sprite draw, and empties the queue.
  void Render(DWORD dwClearFlags) override;
  CSpriteInterface* GetSprite() override { return m_Glyphs.GetSprite(); }
  void DrawTexts() override;

  const geSGlyph* GetGlyph(BYTE cCode) const { return m_Glyphs.GetGlyph(cCode); }

 private:
  // A cell size the grid can divide by: the property when it is a positive number, else 16.
  float ReadCellCount(const char* szName);

  geCGlyphSprite m_Glyphs;
  std::string m_strTexture;
  std::string m_strAlphaTexture;
  float m_fCharWidth = 16.0f;
  float m_fCharHeight = 16.0f;
  float m_fWidthSpacing = 0.0f;
  float m_fHeightSpacing = 0.0f;
  int m_nCharOffset = 0;
};
