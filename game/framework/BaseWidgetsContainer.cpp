#include "framework/BaseWidgetsContainer.h"

#include "framework/BaseWidget.h"
#include "framework/CorePort.h"

namespace {

constexpr DWORD kMessageGoIn = 5;
constexpr DWORD kMessageGoOut = 6;

}  // namespace

geCBaseWidgetsContainer::geCBaseWidgetsContainer(geCBaseNode* pParent) : geCBaseNode(pParent) {}

size_t geCBaseWidgetsContainer::GetClassSize() const { return sizeof(geCBaseWidgetsContainer); }

void geCBaseWidgetsContainer::PostToChildren(DWORD dwMessageID) {
  for (DWORD i = 0; i < GetNodesCount(); ++i)
    geGetCorePort().PostMessage("", GetID(), GetNode(i)->GetID(), dwMessageID, 0);
}

void geCBaseWidgetsContainer::ProcessMessage(geMessage* pMessage) {
  if (!pMessage) return;
  if (pMessage->MessageID == kMessageGoIn) {
    Enable(1);
    PostToChildren(kMessageGoIn);
  } else if (pMessage->MessageID == kMessageGoOut) {
    m_dwClosing = 1;
    PostToChildren(kMessageGoOut);
  }
}

bool geCBaseWidgetsContainer::AllWidgetsGoneOut() const {
  for (DWORD i = 0; i < GetNodesCount(); ++i) {
    auto* pWidget = dynamic_cast<geCBaseWidget*>(GetNode(i));
    if (!pWidget) continue;
    if (pWidget->GetState() != geCBaseWidget::STATE_GOING_OUT ||
        !pWidget->GetAnimations()->IsStopped())
      return false;
  }
  return true;
}

void geCBaseWidgetsContainer::Update(geSUpdateArgument* pArg) {
  geCBaseNode::Update(pArg);
  if (m_dwClosing && AllWidgetsGoneOut()) {
    Disable(1);
    m_dwClosing = 0;
  }
}

void geCBaseWidgetsContainer::Process(geSUpdateArgument* pArg) {
  geCBaseNode::Process(pArg);
  geGetCorePort().AddToRenderList(kRenderPriority, this);
}

void geCBaseWidgetsContainer::Render(DWORD dwClearFlags) {
  for (DWORD i = 0; i < GetNodesCount(); ++i) GetNode(i)->Render(dwClearFlags);
}
