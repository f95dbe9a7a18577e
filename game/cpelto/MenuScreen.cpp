#include "cpelto/MenuScreen.h"

#include "ZKDXInterface.h"
#include "cpelto/MenuItem.h"
#include "cpelto/MenuQuad.h"
#include "cpelto/MenuSpace.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"

namespace {

constexpr float kCursorWidthShare = 0.05f;
constexpr float kCursorHeightShare = 0.0666667f;
constexpr DWORD kMenuProjection = 1;
constexpr DWORD kSceneProjection = 0;

// Lives until the program ends: every screen made later shares it.
CTimerInterface* s_pMenuTimer = nullptr;

}  // namespace

CMenuScreen::CMenuScreen(geCBaseNode* pParent) : geCBaseNode(pParent) {
  if (!s_pMenuTimer && g_pZeKorb) {
    s_pMenuTimer = g_pZeKorb->CreateTimer();
    if (s_pMenuTimer) s_pMenuTimer->Reset();
  }
}

CMenuScreen::~CMenuScreen() = default;

const char* CMenuScreen::GetClassName() const { return "CMenuScreen"; }

bool CMenuScreen::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMenuScreen") || geCBaseNode::IsKindOf(szClassName);
}

void CMenuScreen::RegisterProperties() {
  m_Properties.Register("Tex0");
  m_Properties.Register("Alpha0");
}

CTimerInterface* CMenuScreen::GetMenuTimer() { return s_pMenuTimer; }

CMenuScreen* CMenuScreen::FindScreenOf(const geCBaseNode* pNode) {
  for (geCBaseNode* pAbove = pNode ? pNode->GetParent() : nullptr; pAbove;
       pAbove = pAbove->GetParent())
    if (pAbove->IsKindOf("CMenuScreen")) return dynamic_cast<CMenuScreen*>(pAbove);
  return nullptr;
}

void CMenuScreen::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  if (IsMenuPropertySet(m_Properties, "Tex0")) {
    const bool bAlpha = IsMenuPropertySet(m_Properties, "Alpha0");
    const std::string strAlpha = bAlpha ? m_Properties.GetString("Alpha0") : std::string();
    m_pCursorTexture =
        CreateMenuTexture(m_Properties.GetString("Tex0"), bAlpha ? strAlpha.c_str() : nullptr);
  }
  if (IsMenuPropertySet(m_Properties, "Enabled")) {
    if (m_Properties.Get("Enabled").AsUnsignedInt() != 0)
      Enable(1);
    else
      Disable(1);
  }
  const geSMenuScale scale = GetMenuScale();
  m_fCursorWidth = scale.fX * kMenuDesignWidth * kCursorWidthShare;
  m_fCursorHeight = scale.fY * kMenuDesignHeight * kCursorHeightShare;
  ClearButton();
}

void CMenuScreen::Update(geSUpdateArgument*) {
  if (!IsEnabled()) return;
  geSUpdateArgument arg = {0.0f, 0.0f};
  if (s_pMenuTimer) {
    arg.m_fDeltaTime = s_pMenuTimer->GetTime();
    arg.m_fCurrentTime = s_pMenuTimer->GetTime();
  }
  CallScriptFunction("OnUpdate");
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (child->IsEnabled()) child->Update(&arg);
  }
  CMenuItem* pHovered = FindHoveredItem();
  if (!pHovered) {
    DeactivateActiveItem();
    ClearButton();
  } else if (pHovered != m_pActiveItem.Get()) {
    DeactivateActiveItem();
    m_pActiveItem = pHovered;
    if (!pHovered->IsActive()) {
      pHovered->SetActive(true);
      pHovered->CallScriptFunction("OnActivate");
    }
    // A button held while the cursor enters the item clicks it at the next update.
    ClearButton();
  } else if (geTRefPtr<CMenuItem> active = m_pActiveItem) {
    const bool bDown = geGetCorePort().GetMouseStatus()->dwLeft.load() != 0;
    m_bButtonDown = bDown ? 1 : 0;
    if (!m_bClicked && bDown) {
      active->OnLClick();
      m_bClicked = 1;
    } else if (m_bClicked && !bDown) {
      active->OnLUnClick();
      m_bClicked = 0;
    }
  }
  geGetCorePort().AddToRenderList(kRenderKey, this);
}

CMenuItem* CMenuScreen::FindHoveredItem() {
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    CMenuItem* pItem = MenuNodeCast<CMenuItem>(m_vChildren[i].Get(), "CMenuItem");
    if (pItem && pItem->HitTest(nullptr) && pItem->CanActivate()) return pItem;
  }
  return nullptr;
}

void CMenuScreen::DeactivateActiveItem() {
  geTRefPtr<CMenuItem> previous = m_pActiveItem;
  m_pActiveItem.Reset();
  if (previous && previous->IsActive()) {
    previous->SetActive(false);
    previous->CallScriptFunction("OnDeactivate");
  }
}

void CMenuScreen::ClearButton() {
  m_bButtonDown = 0;
  m_bClicked = 0;
}

DWORD CMenuScreen::ChangeEnabled(bool bEnable, DWORD val, DWORD bRecursiveChildren) {
  // The screen's videos start again from their first frame, or halt, before the walk below
  // changes their enabled bits.
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (!child->IsKindOf("CMenuAviElement")) continue;
    if (bEnable)
      child->Enable(val, bRecursiveChildren);
    else
      child->Disable(val, bRecursiveChildren);
  }
  const DWORD dwResult = bEnable ? geCBaseNode::Enable(val, bRecursiveChildren)
                                 : geCBaseNode::Disable(val, bRecursiveChildren);
  if (bEnable)
    m_pActiveItem.Reset();
  else
    DeactivateActiveItem();
  return dwResult;
}

DWORD CMenuScreen::Enable(DWORD val, DWORD bRecursiveChildren) {
  return ChangeEnabled(true, val, bRecursiveChildren);
}

DWORD CMenuScreen::Enable(DWORD val) { return ChangeEnabled(true, val, 1); }

DWORD CMenuScreen::Disable(DWORD val, DWORD bRecursiveChildren) {
  return ChangeEnabled(false, val, bRecursiveChildren);
}

DWORD CMenuScreen::Disable(DWORD val) { return ChangeEnabled(false, val, 1); }

void CMenuScreen::Render(DWORD dwClearFlags) {
  if (!IsEnabled()) return;
  geGetCorePort().SetProjectionMode(kMenuProjection);
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (child->IsEnabled()) child->Render(dwClearFlags);
  }
  DrawCursor();
  geGetCorePort().SetProjectionMode(kSceneProjection);
}

void CMenuScreen::DrawCursor() {
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  if (!m_pCursorTexture || !pRenderer) return;
  geSMenuVertex vertices[kMenuQuadVertices];
  BuildMenuRectangle(m_fCursorWidth - 0.5f, m_fCursorHeight - 0.5f, 0xFFFFFFFF, 1.0f, 1.0f,
                     vertices);
  const CVector3 mouse = GetMenuMousePoint();
  D3DXMATRIX world;
  D3DXMatrixTranslation(&world, mouse.x, mouse.y, 0.0f);
  SetMenuWorld(pRenderer, &world);
  SetMenuBlending(pRenderer);
  pRenderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  pRenderer->SetRenderState(D3DRS_LIGHTING, 0);
  m_pCursorTexture->Set(0);
  SetMenuTextureStages(pRenderer);
  SetMenuVertexFormat(pRenderer, kMenuVertexFormat);
  DrawMenuQuad(pRenderer, vertices);
  pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
}
