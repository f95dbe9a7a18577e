#pragma once
// A font whose characters are listed one by one in its XML, each `Char` element naming the
// character and the corners of its cell on the font's texture.
#include "framework/GlyphFont.h"

class geCExtendedTexturedFont : public geCGlyphFont {
 public:
  using geCGlyphFont::geCGlyphFont;

  size_t GetClassSize() const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;

  int GetNumberOfGlyphs() const { return m_Glyphs.GetNumberOfGlyphs(); }

 private:
  void ReadChar(TiXmlElement* pChar, bool bFlipV, float fScaleWidth, float fScaleHeight);
};
