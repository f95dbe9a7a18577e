#include "cpelto/MenuQuad.h"

#include "ZKDXInterface.h"

void BuildMenuRectangle(float fRight, float fTop, DWORD dwColor, float fU, float fV,
                        geSMenuVertex vertices[kMenuQuadVertices]) {
  const geSMenuVertex bottomLeft = {-0.5f, -0.5f, 0.0f, dwColor, 0.0f, fV};
  const geSMenuVertex bottomRight = {fRight, -0.5f, 0.0f, dwColor, fU, fV};
  const geSMenuVertex topLeft = {-0.5f, fTop, 0.0f, dwColor, 0.0f, 0.0f};
  const geSMenuVertex topRight = {fRight, fTop, 0.0f, dwColor, fU, 0.0f};
  const geSMenuVertex quad[kMenuQuadVertices] = {bottomLeft,  bottomRight, topLeft,
                                                 bottomRight, topRight,    topLeft};
  for (UINT i = 0; i < kMenuQuadVertices; ++i) vertices[i] = quad[i];
}

void SetMenuBlending(CD3D9RendererInterface* pRenderer) {
  pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  pRenderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  pRenderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void SetMenuTextureStages(CD3D9RendererInterface* pRenderer) {
  pRenderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  pRenderer->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  pRenderer->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  pRenderer->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  pRenderer->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void DisableMenuTextureStage(CD3D9RendererInterface* pRenderer) {
  pRenderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
  pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void SetMenuVertexFormat(CD3D9RendererInterface* pRenderer, DWORD dwFormat) {
  // Menus draw on the fixed-function pipeline: a scene drawn with shader files before them
  // leaves its last programs bound, which would draw the quads black.
  if (dwFormat != 0) {
    if (CVertexShaderStorageInterface* pVertexShaders =
            pRenderer->GetVertexShaderStorageInterface())
      pVertexShaders->SetShader(nullptr);
    if (CPixelShaderStorageInterface* pPixelShaders = pRenderer->GetPixelShaderStorageInterface())
      pPixelShaders->SetShader(nullptr);
  }
  if (CVertexDeclarationStorageInterface* pDeclarations =
          pRenderer->GetVertexDeclarationStorageInterface())
    pDeclarations->SetFVF(dwFormat);
}

void SetMenuWorld(CD3D9RendererInterface* pRenderer, const D3DXMATRIX* pMatrix) {
  pRenderer->SetTransform(D3DTS_WORLD, reinterpret_cast<const CMatrix*>(pMatrix));
}

void DrawMenuQuad(CD3D9RendererInterface* pRenderer,
                  const geSMenuVertex vertices[kMenuQuadVertices]) {
  pRenderer->DrawPrimitive(D3DPT_TRIANGLELIST, 2, kMenuQuadVertices, vertices,
                           sizeof(geSMenuVertex));
}

void DrawTexturedMenuQuad(CD3D9RendererInterface* pRenderer, CTextureInterface* pTexture,
                          const geSMenuVertex vertices[kMenuQuadVertices]) {
  if (pTexture) pTexture->Set(0);
  SetMenuTextureStages(pRenderer);
  SetMenuVertexFormat(pRenderer, kMenuVertexFormat);
  DrawMenuQuad(pRenderer, vertices);
  SetMenuVertexFormat(pRenderer, 0);
  DisableMenuTextureStage(pRenderer);
  pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
}
