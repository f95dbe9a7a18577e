#pragma once
// The node that holds widgets: it draws them together, sends them in (message 5) and out
// (message 6), and switches itself off once every one of them has gone out.
#include "framework/BaseNode.h"

class geCBaseWidgetsContainer : public geCBaseNode {
 public:
  static constexpr DWORD kRenderPriority = 100;

  explicit geCBaseWidgetsContainer(geCBaseNode* pParent);

  size_t GetClassSize() const override;
  void Update(geSUpdateArgument* pArg) override;
  void Process(geSUpdateArgument* pArg) override;
  void ProcessMessage(geMessage* pMessage) override;
  // Draws every child, in child order.
  void Render(DWORD dwClearFlags) override;

  DWORD IsClosing() const { return m_dwClosing; }

 private:
  void PostToChildren(DWORD dwMessageID);
  bool AllWidgetsGoneOut() const;

  DWORD m_dwClosing = 0;
};
