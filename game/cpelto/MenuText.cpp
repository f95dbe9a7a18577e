#include "cpelto/MenuText.h"

#include <algorithm>

#include "ZKDXInterface.h"
#include "cpelto/MenuQuad.h"
#include "cpelto/MenuSpace.h"
#include "framework/Logger.h"

namespace {

const char* const kTextProperties[] = {
    "CanActivate", "Text",       "Translation",       "Tex0", "Alpha0", "CharWidth",
    "CharHeight",  "CharOffset", "BetweenCharOffset", "Size", "Color"};

enum ECorner { TOP_RIGHT, TOP_LEFT, BOTTOM_RIGHT, BOTTOM_LEFT };

}  // namespace

CMenuText::CMenuText(geCBaseNode* pParent) : CMenuItem(pParent) {}

CMenuText::~CMenuText() = default;

const char* CMenuText::GetClassName() const { return "CMenuText"; }

bool CMenuText::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMenuText") || CMenuItem::IsKindOf(szClassName);
}

void CMenuText::RegisterProperties() {
  for (const char* szName : kTextProperties) m_Properties.Register(szName);
}

void CMenuText::Configure(TiXmlElement* pElement) {
  if (m_pMatrixStack) m_pMatrixStack->LoadIdentity();
  CMenuItem::Configure(pElement);
  m_strText = m_Properties.GetString("Text");
  ApplyColor();
  ApplyTranslation();
  if (IsMenuPropertySet(m_Properties, "Tex0")) {
    const bool bAlpha = IsMenuPropertySet(m_Properties, "Alpha0");
    const std::string strAlpha = m_Properties.GetString("Alpha0");
    m_pTexture =
        CreateMenuTexture(m_Properties.GetString("Tex0"), bAlpha ? strAlpha.c_str() : nullptr);
  }
  m_fCharWidth = ReadCellCount("CharWidth");
  m_fCharHeight = ReadCellCount("CharHeight");
  m_nCharOffset = IsMenuPropertySet(m_Properties, "CharOffset")
                      ? static_cast<int>(m_Properties.Get("CharOffset").AsDouble())
                      : 0;
  m_nSize = IsMenuPropertySet(m_Properties, "Size")
                ? static_cast<int>(m_Properties.Get("Size").AsDouble())
                : static_cast<int>(m_fCharWidth);
  BuildCharTable();
  m_fBetweenCharOffset = m_Properties.GetFloat("BetweenCharOffset");
  Measure();
}

float CMenuText::ReadCellCount(const char* szName) {
  // Cells are divided by these counts: a missing or non-positive one takes the usual grid.
  const float fCount = static_cast<float>(m_Properties.Get(szName).AsDouble());
  if (IsMenuPropertySet(m_Properties, szName) && fCount > 0.0f) return fCount;
  g_GameLogger.Log("WARNING: text '%s' has no valid %s, %g used\n", m_szName, szName,
                   static_cast<double>(kDefaultCellCount));
  return kDefaultCellCount;
}

void CMenuText::BuildCharTable() {
  if (!m_ppCharTable) m_ppCharTable = std::make_unique<std::unique_ptr<SCharQuad>[]>(kTableSize);
  const float fCellWidth = 1.0f / m_fCharWidth;
  const float fCellHeight = 1.0f / m_fCharHeight;
  for (int r = 0; r < kGridCells; ++r) {
    for (int c = 0; c < kGridCells; ++c) {
      std::unique_ptr<SCharQuad>& pQuad = m_ppCharTable[r * kGridCells + c];
      if (!pQuad) pQuad = std::make_unique<SCharQuad>();
      for (Vertex& corner : pQuad->corners) corner = Vertex();
      const float fLeft = static_cast<float>(c) * fCellWidth;
      const float fRight = static_cast<float>(c + 1) * fCellWidth;
      const float fTop = static_cast<float>(r) * fCellHeight;
      const float fBottom = static_cast<float>(r + 1) * fCellHeight;
      const float corners[4][2] = {
          {fRight, fTop}, {fLeft, fTop}, {fRight, fBottom}, {fLeft, fBottom}};
      for (int k = 0; k < 4; ++k) {
        pQuad->corners[k].fTU[0] = corners[k][0];
        pQuad->corners[k].fTV[0] = corners[k][1];
      }
    }
  }
}

const SCharQuad* CMenuText::GetCharQuad(int nIndex) const {
  if (!m_ppCharTable || nIndex < 0 || nIndex >= kTableSize) return nullptr;
  return m_ppCharTable[nIndex].get();
}

void CMenuText::Layout(ELayout mode, int* pWidth, int* pHeight) {
  const bool bDraw = mode == ELayout::Draw;
  const geSMenuScale scale = GetMenuScale();
  const size_t nChars = std::min(m_strText.size(), kMaxDrawnChars);
  // A cell spans 1 / m_fCharWidth across and 1 / m_fCharHeight down: the glyph keeps its aspect.
  const int nGlyphHeight = static_cast<int>((m_fCharWidth / m_fCharHeight) * m_nSize);
  *pHeight = nGlyphHeight;
  const float fRight = static_cast<float>(m_nSize) - 0.5f;
  const float fTop = static_cast<float>(nGlyphHeight) - 0.5f;
  geSMenuVertex quad[kMenuQuadVertices] = {
      {fRight, fTop, 0.0f, m_dwColor, 0.0f, 0.0f},  {-0.5f, fTop, 0.0f, m_dwColor, 0.0f, 0.0f},
      {fRight, -0.5f, 0.0f, m_dwColor, 0.0f, 0.0f}, {-0.5f, fTop, 0.0f, m_dwColor, 0.0f, 0.0f},
      {fRight, -0.5f, 0.0f, m_dwColor, 0.0f, 0.0f}, {-0.5f, -0.5f, 0.0f, m_dwColor, 0.0f, 0.0f}};
  // Which corner of the cell each vertex takes.
  static constexpr ECorner kQuadCorners[kMenuQuadVertices] = {TOP_RIGHT, TOP_LEFT,     BOTTOM_RIGHT,
                                                              TOP_LEFT,  BOTTOM_RIGHT, BOTTOM_LEFT};

  CD3D9RendererInterface* pRenderer = bDraw ? GetMenuRenderer() : nullptr;
  if (bDraw && (!pRenderer || !m_pMatrixStack)) return;
  if (bDraw) {
    m_pMatrixStack->Push();
    SetMenuBlending(pRenderer);
    if (m_pTexture) m_pTexture->Set(0);
    SetMenuTextureStages(pRenderer);
    SetMenuVertexFormat(pRenderer, kMenuVertexFormat);
    m_pMatrixStack->Scale(scale.fX, scale.fY, 1.0f);
  }
  // A character without a cell before any with one draws with cell 0.
  const SCharQuad* pCell = GetCharQuad(0);
  for (size_t i = 0; i < nChars; ++i) {
    if (bDraw) SetMenuWorld(pRenderer, m_pMatrixStack->GetTop());
    const int nIndex = static_cast<int>(static_cast<unsigned char>(m_strText[i])) - m_nCharOffset;
    if (const SCharQuad* pFound = GetCharQuad(nIndex)) pCell = pFound;
    if (bDraw) {
      for (UINT v = 0; pCell && v < kMenuQuadVertices; ++v) {
        quad[v].u = pCell->corners[kQuadCorners[v]].fTU[0];
        quad[v].v = pCell->corners[kQuadCorners[v]].fTV[0];
      }
      DrawMenuQuad(pRenderer, quad);
      m_pMatrixStack->TranslateLocal(static_cast<float>(m_nSize) + m_fBetweenCharOffset, 0.0f,
                                     0.0f);
    }
    *pWidth += static_cast<int>(m_fBetweenCharOffset * scale.fX) + m_nSize;
  }
  if (bDraw) {
    m_pMatrixStack->Pop();
    pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    DisableMenuTextureStage(pRenderer);
    SetMenuVertexFormat(pRenderer, 0);
  }
}

void CMenuText::Measure() {
  int nWidth = 0;
  int nHeight = 0;
  Layout(ELayout::Measure, &nWidth, &nHeight);
  m_nWidth = nWidth;
  m_nHeight = nHeight;
}

void CMenuText::Render(DWORD) {
  int nWidth = 0;
  int nHeight = 0;
  Layout(ELayout::Draw, &nWidth, &nHeight);
}

void CMenuText::SetText(const char* szText) {
  if (szText) m_strText = szText;
  Measure();
}

void CMenuText::CalculateSize(const char* szText, int* pWidth, int* pHeight) {
  const std::string strKept = m_strText;
  m_strText = szText ? szText : "";
  int nWidth = 0;
  int nHeight = 0;
  Layout(ELayout::Measure, pWidth ? pWidth : &nWidth, pHeight ? pHeight : &nHeight);
  SetText(strKept.c_str());
}
