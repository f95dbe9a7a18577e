#include "cpelto/MenuPicture.h"

#include "ZKDXInterface.h"
#include "cpelto/MenuQuad.h"
#include "cpelto/MenuSpace.h"
#include "framework/FileExists.h"

namespace {

const char* const kPictureProperties[] = {"CanActivate", "Tex0",        "Alpha0",    "Width",
                                          "Height",      "Translation", "RotationX", "RotationY",
                                          "RotationZ",   "Scale",       "Color",     "Tiled"};

}  // namespace

CMenuPicture::CMenuPicture(geCBaseNode* pParent) : CMenuItem(pParent) {}

const char* CMenuPicture::GetClassName() const { return "CMenuPicture"; }

bool CMenuPicture::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMenuPicture") || CMenuItem::IsKindOf(szClassName);
}

void CMenuPicture::RegisterProperties() {
  for (const char* szName : kPictureProperties) m_Properties.Register(szName);
  CallScriptFunction("after_OnCreate");
}

void CMenuPicture::Configure(TiXmlElement* pElement) {
  CMenuItem::Configure(pElement);
  if (m_pMatrixStack) m_pMatrixStack->LoadIdentity();
  ApplyProperties();
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  if (CTextureStorageInterface* pBank =
          pRenderer ? pRenderer->GetTextureStorageInterface() : nullptr)
    pBank->LoadAllTextures();
  Enable(1);
}

void CMenuPicture::ApplyProperties() {
  ApplyPlacement();
  ApplyTexture();
  m_bTiled =
      IsMenuPropertySet(m_Properties, "Tiled") && m_Properties.Get("Tiled").AsUnsignedInt() == 1
          ? 1
          : 0;
  ApplyColor();
}

void CMenuPicture::ApplyTexture() {
  if (!IsMenuPropertySet(m_Properties, "Tex0")) {
    m_pTexture = CreateMenuTexture(kEmptyImage, nullptr);
    return;
  }
  if (!FileExists(m_Properties.GetString("Tex0").c_str()))
    m_Properties.Set("Tex0", geCVariant(kEmptyImage));
  const std::string strAlpha = m_Properties.GetString("Alpha0");
  const bool bAlpha = IsMenuPropertySet(m_Properties, "Alpha0") && FileExists(strAlpha.c_str());
  m_pTexture =
      CreateMenuTexture(m_Properties.GetString("Tex0"), bAlpha ? strAlpha.c_str() : nullptr);
}

void CMenuPicture::Update(geSUpdateArgument* pArg) {
  CallScriptFunction("OnUpdate");
  CMenuItem::Update(pArg);
}

void CMenuPicture::UpdateTiling() {
  m_fTileU = m_fTileV = 1.0f;
  if (!m_bTiled || !m_pTexture) return;
  // A texture without a size cannot be repeated: it is stretched once.
  const UINT nTextureWidth = m_pTexture->GetWidth();
  const UINT nTextureHeight = m_pTexture->GetHeight();
  if (nTextureWidth) m_fTileU = static_cast<float>(m_nWidth) / static_cast<float>(nTextureWidth);
  if (nTextureHeight) m_fTileV = static_cast<float>(m_nHeight) / static_cast<float>(nTextureHeight);
}

void CMenuPicture::Render(DWORD dwClearFlags) {
  CallScriptFunction("before_Render");
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  if (pRenderer && m_pMatrixStack) {
    UpdateTiling();
    geSMenuVertex vertices[kMenuQuadVertices];
    BuildMenuRectangle(static_cast<float>(m_nWidth) - 0.5f, static_cast<float>(m_nHeight) - 0.5f,
                       m_dwColor, m_fTileU, m_fTileV, vertices);
    const geSMenuScale scale = GetMenuScale();
    m_pMatrixStack->Push();
    m_pMatrixStack->Scale(scale.fX, scale.fY, 1.0f);
    SetMenuWorld(pRenderer, m_pMatrixStack->GetTop());
    SetMenuBlending(pRenderer);
    pRenderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pRenderer->SetRenderState(D3DRS_LIGHTING, 0);
    const UINT nAddress = m_bTiled ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
    pRenderer->SetSamplerState(0, D3DSAMP_ADDRESSU, nAddress);
    pRenderer->SetSamplerState(0, D3DSAMP_ADDRESSV, nAddress);
    DrawTexturedMenuQuad(pRenderer, m_pTexture, vertices);
    CMenuItem::Render(dwClearFlags);
    m_pMatrixStack->Pop();
  }
  CallScriptFunction("after_Render");
}
