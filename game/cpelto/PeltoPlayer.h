#pragma once
// The node the player steers through a level: a logical position on the level grid, a facing
// among four compass directions relative to its configured orientation, the enable byte of each
// state, the level scene's cameras, and the cable settings of its socket link.
#include <d3dx9math.h>

#include <vector>

#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class CSurfaceInterface;

class CPeltoPlayer : public geCRenderableObject {
 public:
  static constexpr int kStateCount = 128;
  static constexpr int kStateStop = 1;
  static constexpr int kStateIdle = 9;

  explicit CPeltoPlayer(geCBaseNode* pParent);

  // The node "GamePlayer" of the tree that holds `pNode`; null when there is none.
  static CPeltoPlayer* FindGamePlayer(geCBaseNode* pNode);

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;

  // Snaps to the cell centre (height truncated) and moves the first mesh there.
  void SetPosition(const CVector3& position);
  void SetPositionf(const CVector3& position) { m_vecPosition = position; }
  CVector3& GetPosition() { return m_vecPosition; }
  // The unit vector of the facing index turned by the configured orientation.
  CVector3 GetFacingVector() const;
  // The facing vector in one vector shared by all calls.
  CVector3* GetDirection() const;
  // Yaw, pitch and roll in degrees; becomes the configured orientation too.
  void SetRotation(const CVector3& degrees);
  CVector3 GetRotation() const;
  void SetVisibilityForAll(int bCamera, int bRays, int bCollisions);
  // Enters the state when its enable byte is 1 (stopping or idling ends a jump); states outside
  // the table are refused.
  void ForceSetState(int iState);
  void TurnStateOnOrOff(int iState, int iValue);
  int GetTurnStateOnOrOff(int iState) const;

  // Idle animations: the first comes IdleTimeBeforeAnim seconds after the player stops, each
  // later one after a random tenth of MaxTimeIntervalBetweenAnim; a playing one is not cut.
  void StartIdle(float fNow);
  void UpdateIdle(float fNow);
  static constexpr DWORD kIdleAnimationOdd = 11;
  static constexpr DWORD kIdleAnimationEven = 12;

  CVector3 m_vecStartPosition;
  CVector3 m_vecPosition;
  D3DXQUATERNION m_qRotation{0, 0, 0, 1};
  signed char m_abStateEnabled[kStateCount] = {};
  int m_bSocketEnabled = 0;
  bool m_bJumping = false;
  int m_dwState = 0;
  CVector3 m_vecCameraOffset;
  D3DXQUATERNION m_qTurnStart{0, 0, 0, 1};
  float m_fTurnT = 0;
  float m_fMoveProgress = 0;
  int m_iFacing = 0;
  D3DXQUATERNION m_qBaseRotation{0, 0, 0, 1};
  float m_fVelocity = 1.0f;
  float m_fBaseFramesPerSecond = 0;
  bool m_bInputLocked = false;
  float m_fIdleWait = 0, m_fMaxTimeIntervalBetweenAnim = 0, m_fIdleTimeBeforeAnim = 0,
        m_fIdleStamp = 0;
  int m_iCableDistance = 0;
  bool m_bFirstCableBuild = true;
  float m_vecOgonDiffuse[4] = {0, 0, 0, 1};
  float m_vecOgonSpecular[4] = {0, 0, 0, 1};
  DWORD m_vecOgonFrameOffset = 0;
  DWORD ActiveSocket = 0;
  int m_iSocketDistance = 0;
  DWORD m_dwSocketType = 0;
  bool m_bIsSubPlayer = false;
  CPeltoPlayer* m_pSubPlayer = nullptr;
  CMeshInterface* m_pCableMesh = nullptr;
  CSurfaceInterface* m_pCableSurface = nullptr;
  std::vector<CVector3> m_vecTailPoints;

 private:
  void TakeCameras();
  void ReadColour(const char* szName, float (&colour)[4]);
  bool StateInTable(int iState) const { return iState >= 0 && iState < kStateCount; }
};
