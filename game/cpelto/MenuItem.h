#pragma once
// An element of a menu screen: pictures, texts and videos. Its local transform is the top of its
// own matrix stack, which scripts may change; its hit rectangle is its size in design units at
// the stack's translation. The screen above it turns hovering and the left button into the
// item's script events.
#include <d3dx9math.h>

#include "ZKDXMath.h"
#include "framework/BaseNode.h"
#include "framework/VideoModeListener.h"

// The node as a T when its class says it is one by the name given; null otherwise.
template <class T>
T* MenuNodeCast(geCBaseNode* pNode, const char* szClassName) {
  return pNode && pNode->IsKindOf(szClassName) ? dynamic_cast<T*>(pNode) : nullptr;
}

class CMenuItem : public geCBaseNode, public geCVideoModeListener {
 public:
  explicit CMenuItem(geCBaseNode* pParent);
  ~CMenuItem() override;

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  // "OnUpdate", then every child, enabled or not.
  void Update(geSUpdateArgument* pArg) override;
  // The enabled children.
  void Render(DWORD dwClearFlags) override;

  virtual bool CanActivate() const { return m_bCanActivate != 0; }
  // Without a point, the cursor image's top-left corner on the item's screen; an item on no
  // screen is never hit so. Edges count as inside; rotation and scale are not considered.
  virtual bool HitTest(const CVector3* pPoint);
  virtual void OnLClick();
  virtual void OnLUnClick();
  virtual void SetColor(float fA, float fR, float fG, float fB);
  virtual float GetWidth() const { return static_cast<float>(m_nWidth); }
  virtual float GetHeight() const { return static_cast<float>(m_nHeight); }
  // The translation as configured; scripts moving the stack do not change it.
  virtual CVector3* GetTranslation() { return &m_vecTranslation; }
  // The stack top's translation in screen pixels.
  virtual CVector3 GetTransformedTranslation() const;
  void ReleaseDeviceObjects() override {}
  void RestoreDeviceObjects() override {}

  ID3DXMatrixStack* GetMatrixStack() const { return m_pMatrixStack; }
  bool IsActive() const { return m_bActive != 0; }
  void SetActive(bool bActive) { m_bActive = bActive ? 1 : 0; }
  DWORD GetColor() const { return m_dwColor; }

 protected:
  // "Translation" as x;y;z: kept and applied to the stack's top.
  void ApplyTranslation();
  // "Color" as r;g;b when set.
  void ApplyColor();
  // "Width" and "Height", then "Translation", "RotationX", "RotationY", "RotationZ" (degrees, in
  // this order) and "Scale" applied to the stack's top in the item's own space.
  void ApplyPlacement();

  ID3DXMatrixStack* m_pMatrixStack = nullptr;
  BYTE m_bActive = 0;
  BYTE m_bCanActivate = 1;
  int m_nWidth = 0;
  int m_nHeight = 0;
  CVector3 m_vecTranslation;
  DWORD m_dwColor = 0xFFFFFFFF;

 private:
  CVector3 GetStackTranslation() const;
  void ApplyRotation(const char* szName, const D3DXVECTOR3& axis);
};
