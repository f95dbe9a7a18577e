#include "framework/GlyphSprite.h"

#include <algorithm>

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

namespace {

// The sprite's vertices on the screen: the transformed position, the colour the sprite takes
// from the bone indices (all 255: opaque white) and one texture-coordinate pair.
D3DVERTEXELEMENT9 kFontVertexElements[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

constexpr WORD kNoBone = 255;
constexpr UINT kSpriteFlags = SPRITE_SCREEN_SPACE;
constexpr UINT kBlendSourceAlpha = 5;
constexpr UINT kBlendInverseSourceAlpha = 6;
constexpr size_t kMaxDrawnCharacters = 256;

}  // namespace

geSGlyph* geCGlyphSprite::MakeGlyph(BYTE cCode, float fScaleWidth, float fScaleHeight) {
  std::unique_ptr<geSGlyph>& pGlyph = m_Glyphs[cCode];
  if (!pGlyph) {
    pGlyph = std::make_unique<geSGlyph>();
    ++m_nGlyphs;
  }
  *pGlyph = geSGlyph{};
  static const float kCorners[4][2] = {{0.5f, 0.0f}, {0.0f, 0.0f}, {0.5f, 0.5f}, {0.0f, 0.5f}};
  for (int corner = 0; corner < 4; ++corner) {
    Vertex& vertex = pGlyph->vertices[corner];
    vertex.vecPosition.x = kCorners[corner][0] * fScaleWidth;
    vertex.vecPosition.y = kCorners[corner][1] * fScaleHeight;
    for (WORD& wBone : vertex.wBonesIndices) wBone = kNoBone;
  }
  pGlyph->cCode = cCode;
  return pGlyph.get();
}

geSGlyph* geCGlyphSprite::GetGlyph(int nIndex) const {
  return nIndex >= 0 && nIndex < static_cast<int>(kQuads) ? m_Glyphs[nIndex].get() : nullptr;
}

void geCGlyphSprite::SetCell(geSGlyph* pGlyph, float fLeft, float fTop, float fRight,
                             float fBottom) {
  const float kCorners[4][2] = {
      {fRight, fTop}, {fLeft, fTop}, {fRight, fBottom}, {fLeft, fBottom}};
  for (int corner = 0; corner < 4; ++corner) {
    pGlyph->vertices[corner].fTU[0] = kCorners[corner][0];
    pGlyph->vertices[corner].fTV[0] = kCorners[corner][1];
  }
}

bool geCGlyphSprite::CreateSprite(const char* szFontName, const std::string& strTexture,
                                  const std::string& strAlphaTexture, bool bAlphaBlending) {
  CD3D9RendererInterface* pRenderer = g_pZeKorb ? g_pZeKorb->GetD3DRendererInterface() : nullptr;
  CTextureStorageInterface* pTextures = pRenderer ? pRenderer->GetTextureStorageInterface() : nullptr;
  CSpriteStorageInterface* pSprites = pRenderer ? pRenderer->GetSpriteStorageInterface() : nullptr;
  m_SurfaceTexture.Clear();
  if (pTextures && !strTexture.empty())
    m_SurfaceTexture.pTextureImage = pTextures->CreateTexture(
        strTexture.c_str(), strAlphaTexture.empty() ? nullptr : strAlphaTexture.c_str(), 0);
  m_pSprite = pSprites ? pSprites->CreateSprite(szFontName, kQuads, kFontVertexElements,
                                                m_pSurfaceTextures, 1, nullptr, kSpriteFlags, 0, 0)
                       : nullptr;
  if (!m_pSprite) {
    g_GameLogger.Log("ERROR: can't create sprite for font '%s'\n", szFontName);
    return false;
  }
  m_pSprite->SetZTest(0);
  m_pSprite->SetZWrite(0);
  m_pSprite->SetAlphaBlending(bAlphaBlending ? 1 : 0);
  m_pSprite->SetAlphaBlendingSource(kBlendSourceAlpha);
  m_pSprite->SetAlphaBlendingDestination(kBlendInverseSourceAlpha);
  return true;
}

void geCGlyphSprite::FillQuads(const geSGlyph* pFallback) {
  if (!m_pSprite) return;
  for (DWORD i = 0; i < kQuads; ++i) {
    geSGlyph* pGlyph = m_Glyphs[i].get();
    const geSGlyph* pShown = pGlyph ? pGlyph : pFallback;
    if (pShown) {
      // The sprite copies the vertices; the glyph keeps its own.
      Vertex corners[4] = {pShown->vertices[0], pShown->vertices[1], pShown->vertices[2],
                           pShown->vertices[3]};
      m_pSprite->AddIntoQuad(i, &corners[0], &corners[1], &corners[2], &corners[3]);
    }
    if (pGlyph) pGlyph->dwQuad = i;
    m_pSprite->SetIsActive(i, 0);
  }
}

void geCGlyphSprite::DrawText(float x, float y, const std::string& strText, int nCharOffset,
                              float fWidthSpacing) {
  if (!m_pSprite) return;
  for (DWORD i = 0; i < kQuads; ++i) m_pSprite->SetIsActive(i, 0);
  const size_t nLength = std::min(strText.size(), kMaxDrawnCharacters);
  float fPen = 0.0f;
  for (size_t k = 0; k < nLength; ++k) {
    const int nIndex = static_cast<unsigned char>(strText[k]) - nCharOffset;
    const geSGlyph* pGlyph = GetGlyph(nIndex);
    if (!pGlyph) continue;
    const float fShift = x + fPen + static_cast<float>(k + 1) * fWidthSpacing;
    for (UINT corner = 0; corner < 4; ++corner) {
      Vertex* pVertex = m_pSprite->GetQuadVertex(static_cast<UINT>(k), corner);
      if (!pVertex) continue;
      const Vertex& glyph = pGlyph->vertices[corner];
      pVertex->vecPosition.x = glyph.vecPosition.x + fShift;
      pVertex->vecPosition.y = glyph.vecPosition.y + y;
      pVertex->fTU[0] = glyph.fTU[0];
      pVertex->fTV[0] = glyph.fTV[0];
    }
    m_pSprite->SetIsActive(static_cast<UINT>(k), 1);
    fPen += pGlyph->vertices[TOP_RIGHT].vecPosition.x - pGlyph->vertices[TOP_LEFT].vecPosition.x;
  }
  m_pSprite->Draw(0.0f);
}
