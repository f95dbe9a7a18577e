#pragma once
// A font cut from a regular 16 × 16 grid of characters on one texture.
#include "framework/GlyphFont.h"

class geCNormalTextureFont : public geCGlyphFont {
 public:
  using geCGlyphFont::geCGlyphFont;

  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;

 private:
  // A cell count the grid can divide by: the property when it is a positive number, else 16.
  float ReadCellCount(const char* szName);

  float m_fCharWidth = 16.0f;
  float m_fCharHeight = 16.0f;
  float m_fHeightSpacing = 0.0f;
};
