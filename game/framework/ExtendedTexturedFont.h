#pragma once
// A font whose characters are listed one by one in its XML, each `Char` element naming the
// character and the corners of its cell on the font's texture.
#include <string>

#include "framework/GlyphSprite.h"
#include "framework/TexturedFont.h"

class geCExtendedTexturedFont : public geCTexturedFont {
 public:
  using geCTexturedFont::geCTexturedFont;

  size_t GetClassSize() const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  // Draws the queued texts, each with its own sprite draw, and empties the queue.
  void Render(DWORD dwClearFlags) override;
  CSpriteInterface* GetSprite() override { return m_Glyphs.GetSprite(); }
  void DrawTexts() override;

  const geSGlyph* GetGlyph(BYTE cCode) const { return m_Glyphs.GetGlyph(cCode); }
  int GetNumberOfGlyphs() const { return m_Glyphs.GetNumberOfGlyphs(); }

 private:
  void ReadChar(TiXmlElement* pChar, bool bFlipV, float fScaleWidth, float fScaleHeight);

  geCGlyphSprite m_Glyphs;
  std::string m_strTexture;
  std::string m_strAlphaTexture;
};
