#include "framework/BaseWidget.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>

#include "ZKDXInterface.h"
#include "framework/CorePort.h"
#include "framework/MouseDirection.h"

namespace {

constexpr DWORD kPickWithGeometry = 1;
constexpr DWORD kWidgetClearFlags = 2;
constexpr DWORD kMessageGoIn = 5;
constexpr DWORD kMessageClose = 2;
constexpr DWORD kMessageGoOut = 6;

// The "Events" children in the order they are read, with the state each gives its animation.
struct EventName {
  const char* szName;
  int nState;
};
constexpr EventName kEvents[] = {{"GoIn", geCBaseWidget::STATE_GOING_IN},
                                 {"GoOut", geCBaseWidget::STATE_GOING_OUT},
                                 {"MouseOver", geCBaseWidget::STATE_MOUSE_OVER},
                                 {"Enabled", geCBaseWidget::STATE_ENABLED},
                                 {"Clicked", geCBaseWidget::STATE_CLICKED}};

}  // namespace

geCBaseWidget::geCBaseWidget(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  SetFlag(kFlagNoRenderList, true);
}

size_t geCBaseWidget::GetClassSize() const { return sizeof(geCBaseWidget); }

int geCBaseWidget::GetEventAnimation(int nState) const {
  return nState >= 0 && nState < kEventTableSize ? m_EventTable[nState].nAnimationID : 0;
}

void geCBaseWidget::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  TiXmlElement* pEvents = pElement ? pElement->FirstChildElement("Events") : nullptr;
  if (!pEvents) return;
  for (const EventName& event : kEvents) {
    TiXmlElement* pEvent = pEvents->FirstChildElement(event.szName);
    if (!pEvent) continue;
    const char* szID = pEvent->Attribute("AnimationId");
    const int nID = szID ? std::atoi(szID) : 0;
    if (nID < 0) continue;
    m_EventTable[event.nState].nAnimationID = nID;
    if (event.nState == STATE_GOING_IN || event.nState == STATE_GOING_OUT)
      m_Animations.SetAnimationType(static_cast<DWORD>(nID), geCAnimationsManager::kTypePlayOnce);
    // The widget reacts to the mouse only where these properties exist.
    if (event.nState == STATE_MOUSE_OVER || event.nState == STATE_CLICKED)
      m_Properties.RegisterAndSet(event.szName, geCVariant(true));
  }
}

void geCBaseWidget::SetState(int nState, DWORD bForce) {
  if (!m_Animations.IsStopped() && bForce != 1) return;
  m_nPreviousState = m_nState;
  m_nState = nState;
  m_Animations.SetActive(static_cast<DWORD>(GetEventAnimation(nState)));
  if (nState == STATE_MOUSE_OVER) OnMouseOver();
}

void geCBaseWidget::OnMouseOver() {
  if (m_MouseOverCallback) m_MouseOverCallback(this, nullptr);
}

void geCBaseWidget::OnClick() {
  if (m_ClickCallback) m_ClickCallback(this, m_pHoveredMesh);
}

void geCBaseWidget::ProcessMessage(geMessage* pMessage) {
  geCRenderableObject::ProcessMessage(pMessage);
  if (!pMessage) return;
  if (pMessage->MessageID == kMessageGoIn)
    SetState(STATE_GOING_IN, 1);
  else if (pMessage->MessageID == kMessageClose || pMessage->MessageID == kMessageGoOut)
    SetState(STATE_GOING_OUT, 1);
}

bool geCBaseWidget::OwnsMesh(const CMeshInterface* pMesh) const {
  return pMesh && std::find(m_vMeshes.begin(), m_vMeshes.end(), pMesh) != m_vMeshes.end();
}

CMeshInterface* geCBaseWidget::PickMesh() {
  CSceneInterface* pScene = GetOwnerScene();
  // Without a camera of the active number there is nothing to look through.
  CCameraInterface* pCamera =
      pScene ? pScene->GetCamera(pScene->GetActiveCameraNumber()) : nullptr;
  if (!pCamera) return nullptr;
  const geMouseStatus* pMouse = geGetCorePort().GetMouseStatus();
  CRay ray;
  pCamera->GetPosition(&ray.vecOrigin, 0);
  ray.vecDirection = GetMouseDirection(pCamera, pScene, pMouse->fMouseX, pMouse->fMouseY);
  float fDistance = 0.0f;
  CMeshInterface* pHit = pScene->FindNearestIntersection(ray, &fDistance, kPickWithGeometry);
  return OwnsMesh(pHit) ? pHit : nullptr;
}

void geCBaseWidget::Update(geSUpdateArgument* pArg) {
  if (m_bFirstTimeUpdate) {
    SetState(STATE_GOING_IN, 1);
    m_dwMouseOver = 0;
  }
  // Process clears the mark each frame; a frame without a hit keeps what this frame found.
  CMeshInterface* pHit = PickMesh();
  if (pHit) m_dwMouseOver = 1;
  m_pHoveredMesh = m_dwMouseOver ? pHit : nullptr;
  m_dwPressed = m_dwMouseOver && geGetCorePort().GetMouseStatus()->dwLeft != 0 ? 1 : 0;
  UpdateState();
  geCRenderableObject::Update(pArg);
}

void geCBaseWidget::UpdateState() {
  const bool bFinished = m_Animations.IsStopped() != 0;
  const bool bHoverable = m_Properties.IsRegistred("MouseOver");
  const bool bClickable = m_Properties.IsRegistred("Clicked");
  const bool bClick = m_dwMouseOver && m_dwPressed && bClickable;
  switch (m_nState) {
    case STATE_GOING_IN:
      if (bFinished) SetState(STATE_ENABLED, 1);
      break;
    case STATE_ENABLED:
      if (m_dwMouseOver && bHoverable) SetState(STATE_MOUSE_OVER, 1);
      break;
    case STATE_CLICKED:
      if (bFinished && m_dwMouseOver) {
        SetState(STATE_MOUSE_OVER, 0);
        OnClick();
      } else if (!m_dwMouseOver) {
        // Takes effect once the click's animation has finished; the click is reported in every
        // frame until then.
        SetState(STATE_ENABLED, 0);
        OnClick();
      }
      break;
    case STATE_MOUSE_OVER:
      if (!m_dwMouseOver)
        SetState(STATE_ENABLED, 1);
      else if (bClick)
        SetState(STATE_CLICKED, 1);
      break;
    default:
      break;
  }
  // A click counts in every state but going out, even while going in.
  if (m_nState != STATE_GOING_OUT && bClick) SetState(STATE_CLICKED, 1);
}

void geCBaseWidget::Process(geSUpdateArgument* pArg) {
  geCRenderableObject::Process(pArg);
  m_dwMouseOver = 0;
  m_dwPressed = 0;
}

void geCBaseWidget::Render(DWORD) { geCGameObject::Render(kWidgetClearFlags); }
