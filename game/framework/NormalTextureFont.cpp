#include "framework/NormalTextureFont.h"

#include "framework/Logger.h"

namespace {

const char* const kProperties[] = {"Texture",    "AlphaTexture", "AlphaBlending", "StartChars",
                                   "EndChars",   "CharWidth",    "CharHeight",    "WidthSpacing",
                                   "HeightSpacing", "ScaleWidth", "ScaleHeight",  "CharOffset"};
constexpr int kGridSide = 16;
constexpr float kDefaultCells = 16.0f;

}  // namespace

void geCNormalTextureFont::RegisterProperties() {
  geCBaseNode::RegisterProperties();
  for (const char* szName : kProperties) m_Properties.Register(szName);
}

float geCNormalTextureFont::ReadCellCount(const char* szName) {
  const float fValue =
      geHasFontProperty(m_Properties, szName) ? m_Properties.GetFloat(szName) : 0.0f;
  if (fValue > 0.0f) return fValue;
  g_GameLogger.Log("WARNING: font '%s' has no usable %s, %d used\n", GetName(), szName,
                   static_cast<int>(kDefaultCells));
  return kDefaultCells;
}

void geCNormalTextureFont::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  const float fScaleWidth = geReadFontScale(m_Properties, "ScaleWidth", 0.15f);
  const float fScaleHeight = geReadFontScale(m_Properties, "ScaleHeight", 0.15f);
  m_strTexture = geHasFontProperty(m_Properties, "Texture") ? m_Properties.GetString("Texture")
                                                            : "fonts/default.png";
  m_strAlphaTexture = geHasFontProperty(m_Properties, "AlphaTexture")
                          ? m_Properties.GetString("AlphaTexture")
                          : "fonts/default_a.png";
  m_Glyphs.CreateSprite(GetName(), m_strTexture, m_strAlphaTexture,
                        m_Properties.GetInteger("AlphaBlending") == 1);

  m_fCharWidth = ReadCellCount("CharWidth");
  m_fCharHeight = ReadCellCount("CharHeight");
  if (geHasFontProperty(m_Properties, "WidthSpacing"))
    m_fWidthSpacing = m_Properties.GetFloat("WidthSpacing");
  if (geHasFontProperty(m_Properties, "HeightSpacing"))
    m_fHeightSpacing = m_Properties.GetFloat("HeightSpacing");
  m_nCharOffset = geHasFontProperty(m_Properties, "CharOffset")
                      ? static_cast<int>(m_Properties.Get("CharOffset").AsDouble())
                      : 0;

  const float du = 1.0f / m_fCharWidth;
  const float dv = 1.0f / m_fCharHeight;
  for (int r = 0; r < kGridSide; ++r) {
    for (int c = 0; c < kGridSide; ++c) {
      geSGlyph* pGlyph =
          m_Glyphs.MakeGlyph(static_cast<BYTE>(r * kGridSide + c), fScaleWidth, fScaleHeight);
      geCGlyphSprite::SetCell(pGlyph, c * du, r * dv, (c + 1) * du, (r + 1) * dv);
    }
  }
  m_Glyphs.FillQuads(nullptr);
}
