#pragma once
// A crate-like level object on one grid cell: the player pushes it a cell ahead, it slides there
// over a few frames and snaps to the cell centre, and it tells its script while its meshes touch
// the player's meshes ("FoundCollision").
#include <d3dx9math.h>

#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class CPeltoPlayer;

class CMovableObject : public geCRenderableObject {
 public:
  // Joins the movable objects of the level node "CPeltoLevel".
  explicit CMovableObject(geCBaseNode* pParent);

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;

  // Starts sliding along (to − from) at the player's velocity; ignored while a slide runs.
  void StartMove(int nFromX, int nFromZ, int nToX, int nToZ);
  CVector3* GetPosition() { return &m_vecPosition; }
  bool IsMoving() const { return m_dwMoving != 0; }
  bool IsTouchingPlayer() const { return m_dwTouchingPlayer != 0; }

 private:
  void Slide(float fDeltaTime);

  CVector3 m_vecPosition;
  D3DXQUATERNION m_qRotation{0, 0, 0, 1};
  D3DXQUATERNION m_qInitialRotation{0, 0, 0, 1};
  float m_fHeading = 0, m_fPitch = 0, m_fBank = 0;
  DWORD m_dwTouchingPlayer = 0;
  DWORD m_dwMoving = 0;
  int m_nFromX = 0, m_nFromZ = 0;
  int m_nToX = 0, m_nToZ = 0;
  CVector3 m_vecMove;
  float m_fSpeed = 0;
  float m_fTravelled = 0;
  bool m_bWarnedNoPlayer = false;
};
