#include "cpelto/MenuItem.h"

#include "cpelto/MenuScreen.h"
#include "cpelto/MenuSpace.h"

namespace {

constexpr float kRadiansPerDegree = (1.0f / 180.0f) * 3.1415927f;

}  // namespace

CMenuItem::CMenuItem(geCBaseNode* pParent) : geCBaseNode(pParent) {
  if (FAILED(D3DXCreateMatrixStack(0, &m_pMatrixStack))) m_pMatrixStack = nullptr;
  geCBaseNode::Enable(1);
}

CMenuItem::~CMenuItem() {
  if (m_pMatrixStack) m_pMatrixStack->Release();
}

const char* CMenuItem::GetClassName() const { return "CMenuItem"; }

bool CMenuItem::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMenuItem") || geCBaseNode::IsKindOf(szClassName);
}

void CMenuItem::RegisterProperties() { m_Properties.Register("CanActivate"); }

void CMenuItem::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  if (IsMenuPropertySet(m_Properties, "CanActivate"))
    m_bCanActivate = m_Properties.GetInteger("CanActivate") != 0 ? 1 : 0;
}

void CMenuItem::Update(geSUpdateArgument* pArg) {
  CallScriptFunction("OnUpdate");
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    child->Update(pArg);
  }
}

void CMenuItem::Render(DWORD dwClearFlags) {
  for (size_t i = 0; i < m_vChildren.size(); ++i) {
    geTRefPtr<geCBaseNode> child = m_vChildren[i];
    if (child->IsEnabled()) child->Render(dwClearFlags);
  }
}

bool CMenuItem::HitTest(const CVector3* pPoint) {
  CVector3 point;
  if (pPoint) {
    point = *pPoint;
  } else {
    const CMenuScreen* pScreen = CMenuScreen::FindScreenOf(this);
    if (!pScreen) return false;
    point = GetMenuMousePoint();
    point.y += pScreen->GetCursorHeight();
  }
  const CVector3 translation = GetStackTranslation();
  const geSMenuScale scale = GetMenuScale();
  return translation.x * scale.fX <= point.x &&
         point.x <= (translation.x + static_cast<float>(m_nWidth)) * scale.fX &&
         translation.y * scale.fY <= point.y &&
         point.y <= (translation.y + static_cast<float>(m_nHeight)) * scale.fY;
}

void CMenuItem::OnLClick() { CallScriptFunction("OnLClick"); }

void CMenuItem::OnLUnClick() { CallScriptFunction("OnLUnClick"); }

void CMenuItem::SetColor(float fA, float fR, float fG, float fB) {
  m_dwColor = MenuColor(fA, fR, fG, fB);
}

CVector3 CMenuItem::GetTransformedTranslation() const {
  const CVector3 translation = GetStackTranslation();
  const geSMenuScale scale = GetMenuScale();
  return {translation.x * scale.fX, translation.y * scale.fY, translation.z};
}

CVector3 CMenuItem::GetStackTranslation() const {
  // The translation row of the top, which is what a decomposition of it gives, also for a top
  // that a zero scale made singular.
  if (!m_pMatrixStack) return {};
  const D3DXMATRIX* pTop = m_pMatrixStack->GetTop();
  return {pTop->_41, pTop->_42, pTop->_43};
}

void CMenuItem::ApplyTranslation() {
  if (!IsMenuPropertySet(m_Properties, "Translation")) return;
  m_vecTranslation = ParseMenuVector(m_Properties.GetString("Translation"));
  if (m_pMatrixStack)
    m_pMatrixStack->TranslateLocal(m_vecTranslation.x, m_vecTranslation.y, m_vecTranslation.z);
}

void CMenuItem::ApplyColor() {
  if (IsMenuPropertySet(m_Properties, "Color"))
    m_dwColor = ParseMenuColor(m_Properties.GetString("Color"));
}

void CMenuItem::ApplyPlacement() {
  if (IsMenuPropertySet(m_Properties, "Width")) m_nWidth = m_Properties.GetInteger("Width");
  if (IsMenuPropertySet(m_Properties, "Height")) m_nHeight = m_Properties.GetInteger("Height");
  ApplyTranslation();
  ApplyRotation("RotationX", D3DXVECTOR3(1.0f, 0.0f, 0.0f));
  ApplyRotation("RotationY", D3DXVECTOR3(0.0f, 1.0f, 0.0f));
  ApplyRotation("RotationZ", D3DXVECTOR3(0.0f, 0.0f, 1.0f));
  if (IsMenuPropertySet(m_Properties, "Scale") && m_pMatrixStack) {
    // Stored menus give the vertical factor first.
    const CVector3 scale = ParseMenuVector(m_Properties.GetString("Scale"));
    m_pMatrixStack->ScaleLocal(scale.y, scale.x, scale.z);
  }
}

void CMenuItem::ApplyRotation(const char* szName, const D3DXVECTOR3& axis) {
  if (!IsMenuPropertySet(m_Properties, szName) || !m_pMatrixStack) return;
  m_pMatrixStack->RotateAxisLocal(&axis, m_Properties.GetFloat(szName) * kRadiansPerDegree);
}
