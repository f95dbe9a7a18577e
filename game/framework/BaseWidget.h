#pragma once
// A clickable 3D object of the user interface: a renderable object whose meshes the mouse can
// point at and click. Its look in each state is one of its scene's animations, chosen per event
// in its XML "Events" element. Hovering and clicking are found by casting a ray from the mouse
// through the scene's active camera. Its container draws it, so it never enters the render list.
#include <functional>

#include "framework/RenderableObject.h"

class geCBaseWidget : public geCRenderableObject {
 public:
  enum : int {
    STATE_GOING_IN = 1,
    STATE_GOING_OUT = 2,
    STATE_ENABLED = 3,
    STATE_CLICKED = 5,
    STATE_MOUSE_OVER = 6,
  };
  static constexpr int kEventTableSize = 9;
  // The click callback receives the hovered mesh, the mouse-over callback null.
  using geWidgetCallback = std::function<void(geCBaseWidget* pWidget, CMeshInterface* pMesh)>;

  explicit geCBaseWidget(geCBaseNode* pParent);

  size_t GetClassSize() const override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  void Process(geSUpdateArgument* pArg) override;
  // 5 sends the widget in, 2 and 6 out.
  void ProcessMessage(geMessage* pMessage) override;
  void Render(DWORD dwClearFlags) override;
  virtual void OnMouseOver();
  virtual void OnClick();
  // Ignored while the current animation runs, unless forced with 1.
  virtual void SetState(int nState, DWORD bForce);

  void SetClickCallback(geWidgetCallback callback) { m_ClickCallback = std::move(callback); }
  void SetMouseOverCallback(geWidgetCallback callback) { m_MouseOverCallback = std::move(callback); }
  int GetState() const { return m_nState; }
  int GetPreviousState() const { return m_nPreviousState; }
  DWORD IsMouseOver() const { return m_dwMouseOver; }
  DWORD IsPressed() const { return m_dwPressed; }
  CMeshInterface* GetHoveredMesh() const { return m_pHoveredMesh; }
  // The animation id of a state's event; 0 for a state without one.
  int GetEventAnimation(int nState) const;

 private:
  struct geSWidgetEvent {
    int nAnimationID;
    DWORD dwWord;
  };

  // The widget's mesh under the mouse ray through the scene's active camera, or null.
  CMeshInterface* PickMesh();
  bool OwnsMesh(const CMeshInterface* pMesh) const;
  void UpdateState();

  int m_nState = 0;
  int m_nPreviousState = 0;
  geWidgetCallback m_ClickCallback;
  geWidgetCallback m_MouseOverCallback;
  DWORD m_dwMouseOver = 0;
  DWORD m_dwPressed = 0;
  CMeshInterface* m_pHoveredMesh = nullptr;
  geSWidgetEvent m_EventTable[kEventTableSize] = {};
};
