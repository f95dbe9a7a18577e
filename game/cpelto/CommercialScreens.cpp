#include "cpelto/CommercialScreens.h"

#include <d3d9types.h>

#include "ZKDXInterface.h"
#include "framework/FileExists.h"

static_assert(sizeof(CCommercialScreens::Vertex) == 28);
static_assert(CCommercialScreens::kVertexFormat == (D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1));

CCommercialScreens::CCommercialScreens(CD3D9RendererInterface* pRenderer, CTimerInterface* pTimer,
                                       WORD wWidth, WORD wHeight)
    : m_pRenderer(pRenderer), m_pTimer(pTimer), m_fWidth(wWidth), m_fHeight(wHeight) {}

void CCommercialScreens::Show(float fDisplayTime) {
  if (!m_pRenderer || !m_pTimer) return;
  const std::vector<CTextureInterface*> images = LoadImages();
  m_pTimer->Reset();
  m_pTimer->Resume();
  SetRenderStates();
  for (CTextureInterface* pTexture : images) ShowImage(pTexture, fDisplayTime);
}

std::vector<CTextureInterface*> CCommercialScreens::LoadImages() const {
  std::vector<CTextureInterface*> images;
  CTextureStorageInterface* pTextures = m_pRenderer->GetTextureStorageInterface();
  if (!pTextures) return images;
  for (const char* szFile : kImageFiles) {
    if (!FileExists(szFile)) continue;
    if (CTextureInterface* pTexture = pTextures->CreateTexture(szFile, 0u))
      images.push_back(pTexture);
  }
  // Nothing to wait for when no image was found.
  if (!images.empty()) pTextures->LoadAllTextures();
  return images;
}

void CCommercialScreens::SetRenderStates() const {
  m_pRenderer->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  m_pRenderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  m_pRenderer->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
}

std::vector<CCommercialScreens::Vertex> CCommercialScreens::BuildQuad(UINT nTextureWidth,
                                                                      UINT nTextureHeight) const {
  const float w = static_cast<float>(nTextureWidth) * (m_fWidth / 800.0f) - 0.5f;
  const float h = static_cast<float>(nTextureHeight) * (m_fHeight / 600.0f) - 0.5f;
  const float left = (m_fWidth - w) / 2.0f;
  const float top = (m_fHeight - h) / 2.0f;
  const float x0 = left - 0.5f, y0 = top - 0.5f, x1 = left + w, y1 = top + h;
  constexpr DWORD kWhite = 0xFFFFFFFF;
  return {{x0, y0, 0, 1, kWhite, 0, 0}, {x1, y0, 0, 1, kWhite, 1, 0}, {x0, y1, 0, 1, kWhite, 0, 1},
          {x1, y0, 0, 1, kWhite, 1, 0}, {x1, y1, 0, 1, kWhite, 1, 1}, {x0, y1, 0, 1, kWhite, 0, 1}};
}

void CCommercialScreens::ShowImage(CTextureInterface* pTexture, float fDisplayTime) const {
  const std::vector<Vertex> quad = BuildQuad(pTexture->GetWidth(), pTexture->GetHeight());
  CVertexDeclarationStorageInterface* pDeclarations =
      m_pRenderer->GetVertexDeclarationStorageInterface();
  m_pTimer->Reset();
  const float fStart = m_pTimer->GetTime();
  pTexture->Set(0);
  // At least one frame, however short the display time.
  do {
    m_pRenderer->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    m_pRenderer->BeginRendering();
    if (pDeclarations) pDeclarations->SetFVF(kVertexFormat);
    m_pRenderer->DrawPrimitive(D3DPT_TRIANGLELIST, 2, static_cast<UINT>(quad.size()), quad.data(),
                               sizeof(Vertex));
    m_pRenderer->EndRendering();
    m_pRenderer->Flip(nullptr, 1);
  } while (m_pTimer->GetTime() - fStart <= fDisplayTime);
}
