#include "framework/ExtendedTexturedFont.h"

#include <tinyxml.h>

#include "framework/Logger.h"

namespace {

const char* const kProperties[] = {"Texture",        "AlphaTexture", "UVCoordinatesFromLW",
                                   "AlphaBlending",  "ScaleWidth",   "ScaleHeight"};

double ReadNumber(TiXmlElement* pElement, const char* szName) {
  double dValue = 0.0;
  pElement->Attribute(szName, &dValue);
  return dValue;
}

}  // namespace

size_t geCExtendedTexturedFont::GetClassSize() const { return sizeof(geCExtendedTexturedFont); }

void geCExtendedTexturedFont::RegisterProperties() {
  geCBaseNode::RegisterProperties();
  for (const char* szName : kProperties) m_Properties.Register(szName);
}

void geCExtendedTexturedFont::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  const bool bFlipV = m_Properties.GetInteger("UVCoordinatesFromLW") == 1;
  const float fScaleWidth = geReadFontScale(m_Properties, "ScaleWidth", 1.0f);
  const float fScaleHeight = geReadFontScale(m_Properties, "ScaleHeight", 1.0f);
  for (TiXmlElement* pChar = pElement ? pElement->FirstChildElement("Char") : nullptr; pChar;
       pChar = pChar->NextSiblingElement("Char"))
    ReadChar(pChar, bFlipV, fScaleWidth, fScaleHeight);
  g_GameLogger.Log("-Number of chars in font '%s' = %d\n", GetName(),
                   m_Glyphs.GetNumberOfGlyphs());

  m_strTexture = m_Properties.GetString("Texture");
  m_strAlphaTexture = m_Properties.GetString("AlphaTexture");
  m_Glyphs.CreateSprite(GetName(), m_strTexture, m_strAlphaTexture,
                        m_Properties.GetInteger("AlphaBlending") == 1);
  // Codes without a glyph of their own show the "0" glyph in their quad, when there is one.
  m_Glyphs.FillQuads(m_Glyphs.GetGlyph('0'));
  m_vTexts.clear();
}

void geCExtendedTexturedFont::ReadChar(TiXmlElement* pChar, bool bFlipV, float fScaleWidth,
                                       float fScaleHeight) {
  const char* szName = pChar->Attribute("Name");
  if (!szName || !*szName) {
    g_GameLogger.Log("WARNING: Char without Name in font '%s' skipped\n", GetName());
    return;
  }
  geSGlyph* pGlyph = m_Glyphs.MakeGlyph(static_cast<BYTE>(szName[0]), fScaleWidth, fScaleHeight);
  const float fLeft = static_cast<float>(ReadNumber(pChar, "UpperLeftU"));
  const float fRight = static_cast<float>(ReadNumber(pChar, "LowerRightU"));
  float fTop = static_cast<float>(ReadNumber(pChar, "UpperLeftV"));
  float fBottom = static_cast<float>(ReadNumber(pChar, "LowerRightV"));
  if (bFlipV) {
    fTop = 1.0f - fTop;
    fBottom = 1.0f - fBottom;
  }
  geCGlyphSprite::SetCell(pGlyph, fLeft, fTop, fRight, fBottom);
}
