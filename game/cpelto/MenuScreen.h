#pragma once
// A menu: a node whose children are menu items. While enabled it draws its items over the scene
// in the 2D projection, then its own cursor image, finds the item under the cursor at every
// update and turns hovering and the left button into that item's script events "OnActivate",
// "OnDeactivate", "OnLClick" and "OnLUnClick".
#include "framework/BaseNode.h"
#include "framework/RefPtr.h"

class CMenuItem;
class CTextureInterface;
class CTimerInterface;

class CMenuScreen : public geCBaseNode {
 public:
  // Screens queue themselves for drawing under this render-list key.
  static constexpr DWORD kRenderKey = 1000;

  explicit CMenuScreen(geCBaseNode* pParent);
  ~CMenuScreen() override;

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  // Enabling forgets the active item without an event; disabling deactivates it.
  DWORD Enable(DWORD val, DWORD bRecursiveChildren) override;
  DWORD Enable(DWORD val) override;
  DWORD Disable(DWORD val, DWORD bRecursiveChildren) override;
  DWORD Disable(DWORD val) override;
  void Render(DWORD dwClearFlags) override;
  // The cursor image with its bottom-left corner on the mouse.
  virtual void DrawCursor();

  // The nearest screen above the node; null when none is.
  static CMenuScreen* FindScreenOf(const geCBaseNode* pNode);
  // The timer all menus run on, made by the first screen.
  static CTimerInterface* GetMenuTimer();

  CMenuItem* GetActiveItem() const { return m_pActiveItem.Get(); }
  CTextureInterface* GetCursorTexture() const { return m_pCursorTexture; }
  float GetCursorWidth() const { return m_fCursorWidth; }
  float GetCursorHeight() const { return m_fCursorHeight; }
  bool IsButtonDown() const { return m_bButtonDown != 0; }
  bool IsClicked() const { return m_bClicked != 0; }

 private:
  // The first child under the cursor that may become active; every child is asked.
  CMenuItem* FindHoveredItem();
  // "OnDeactivate" to the active item when it had been activated; then no item is active.
  void DeactivateActiveItem();
  void ClearButton();
  DWORD ChangeEnabled(bool bEnable, DWORD val, DWORD bRecursiveChildren);

  CTextureInterface* m_pCursorTexture = nullptr;
  // Held so an item taken out of the menu by a script is never reached through a dead pointer.
  geTRefPtr<CMenuItem> m_pActiveItem;
  BYTE m_bButtonDown = 0;
  BYTE m_bClicked = 0;
  float m_fCursorWidth = 0.0f;
  float m_fCursorHeight = 0.0f;
};
