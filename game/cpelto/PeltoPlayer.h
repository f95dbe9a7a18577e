#pragma once
// The node the player steers through a level: a logical position on the level grid, a facing
// among four compass directions relative to its configured orientation, the enable byte of each
// state, the level scene's cameras, and the cable settings of its socket link.
#include <d3dx9math.h>

#include <vector>

#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class CSurfaceInterface;
class CPeltoLevel;

class CPeltoPlayer : public geCRenderableObject {
 public:
  static constexpr int kStateCount = 128;
  // States; the numbers are the scripts' too.
  static constexpr int kStateDetached = 0;
  static constexpr int kStateStop = 1;
  static constexpr int kStateForward = 2;
  static constexpr int kStateBack = 3;
  static constexpr int kStateLeft = 4;
  static constexpr int kStateRight = 5;
  static constexpr int kStateStrafeRight = 6;
  static constexpr int kStateStrafeLeft = 7;
  static constexpr int kStateWalkInPlace = 8;
  static constexpr int kStateIdle = 9;
  static constexpr int kStateSocketIn = 10;

  // Command message ids.
  enum : DWORD {
    kCommandCamera = 0,
    kCommandForward = 1,
    kCommandBack = 2,
    kCommandLeft = 3,
    kCommandRight = 4,
    kCommandStrafeRight = 5,
    kCommandStrafeLeft = 6,
    kCommandWalkInPlace = 7,
    kCommandJump = 8,
    kCommandLock = 9,
    kCommandSocket = 10,
  };

  // Animation ids the player uses as fixed numbers.
  static constexpr DWORD kAnimationPluggedIn = 0;
  static constexpr DWORD kAnimationStart = 1;
  static constexpr DWORD kAnimationEnd = 3;
  static constexpr DWORD kAnimationBlocking = 4;
  static constexpr DWORD kAnimationTurnLeft = 9;
  static constexpr DWORD kAnimationTurnRight = 10;
  static constexpr DWORD kAnimationStrafeLeft = 13;
  static constexpr DWORD kAnimationStrafeRight = 14;
  static constexpr DWORD kAnimationPlugIn = 15;

  explicit CPeltoPlayer(geCBaseNode* pParent);

  // The node "GamePlayer" of the tree that holds `pNode`; null when there is none.
  static CPeltoPlayer* FindGamePlayer(geCBaseNode* pNode);

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  // Carries out the state: steps, turns, the jump, idling, then places the first mesh.
  void Update(geSUpdateArgument* pArg) override;
  // The command messages; a linked sub player receives each one too.
  void ProcessMessage(geMessage* pMessage) override;

  // Snaps to the cell centre (height truncated) and moves the first mesh there.
  void SetPosition(const CVector3& position);
  void SetPositionf(const CVector3& position) { m_vecPosition = position; }
  CVector3& GetPosition() { return m_vecPosition; }
  // The unit vector of the facing index turned by the configured orientation.
  CVector3 GetFacingVector() const;
  // The unit step of a move direction code (1 forward, 2 back, 3 right, 4 left) along the
  // facing; zero for any other code.
  CVector3 StepDirection(BYTE byDirection) const;
  // The facing vector in one vector shared by all calls.
  CVector3* GetDirection() const;
  // Yaw, pitch and roll in degrees; becomes the configured orientation too.
  void SetRotation(const CVector3& degrees);
  CVector3 GetRotation() const;
  void SetVisibilityForAll(int bCamera, int bRays, int bCollisions);
  // Enters the state when its enable byte is 1 (stopping or idling ends a jump); states outside
  // the table are refused.
  void ForceSetState(int iState);
  // Standing again: state 1 when it is enabled, "OnStopState", the jump over.
  void Stop();
  void TurnStateOnOrOff(int iState, int iValue);
  int GetTurnStateOnOrOff(int iState) const;

  // Idle animations: the first comes IdleTimeBeforeAnim seconds after the player stops, each
  // later one after a random tenth of MaxTimeIntervalBetweenAnim; a playing one is not cut.
  void StartIdle(float fNow);
  void UpdateIdle(float fNow);
  static constexpr DWORD kIdleAnimationOdd = 11;
  static constexpr DWORD kIdleAnimationEven = 12;

  // 1 makes the next cable build only clear it (set at plugging in and at unplugging).
  int m_bSkipCableBuild = 0;
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

  // Consecutive cells slid on a wet floor, per direction code 1 to 4 (shared by all players).
  static int s_aiSlideCounters[5];

 private:
  // Sets the state when its enable byte is 1.
  void EnterState(int iState);
  // A step or turn command of the table, when the player is ready for it.
  void StartCommand(DWORD dwCommand);
  void StartJump();
  void SetCameraView(DWORD dwData);
  void ProcessLockCommand(const char* szName);

  // The step length: two cells while jumping.
  float StepLength() const { return m_bJumping ? 2.0f : 1.0f; }
  bool Ready() const;
  bool Standing() const { return m_dwState == kStateStop || m_dwState == kStateIdle; }
  bool AnimationStopped() const { return m_Animations.IsStopped() != 0; }
  void Advance(BYTE byDirection, float fDeltaTime);
  // The end of a step: the tail, then the wet floor; true when the step repeats (sliding).
  bool Arrive(BYTE byDirection);
  // Stops and posts a turn to itself when a turn key is down; true when it did.
  bool TurnOnArrival();
  // A forward or back step: its start, walk and end animations, the key that walks on.
  struct SWalk {
    BYTE byDirection;
    int iState;
    DWORD dwStartAnimation, dwWalkAnimation, dwEndAnimation;
    DWORD dwHoldKey;
    bool bContinuingEndsJump;
  };
  void UpdateWalk(const SWalk& walk, float fDeltaTime);
  void UpdateStrafe(float fDeltaTime);
  void UpdateTurn(float fDeltaTime, float fSpeed);
  void UpdateJump();
  // The first mesh at the logical position, swayed and turned by its motion's channels.
  void PlaceFirstMesh();
  void PostToSelf(const char* szName, DWORD dwMessageID);

  // The socket link and the cable.
  void CreateCableMesh();
  void UpdatePlugIn();
  // At each arrival: a step back onto the cell before the last winds the cable up, any other
  // step lays it out.
  void UpdateTailPoints();
  void UpdateCable();
  void BuildCable();
  // Where the cable ends: the sub player's "kabelek" null, animated, in world space.
  CVector3 CablePlugPoint();
  void UpdateLink();
  void UnplugByDistance();
  void UnplugByCommand();
  // The player's cell, turn and facing become the sub player's.
  void FollowSubPlayer();
  // Camera 0 on the mesh as its parent and its target.
  void AttachCamera(CMeshInterface* pMesh);
  void SetSocketDistanceText(const char* szText);
  geCBaseNode* Root();
  geCBaseNode* FindBelowRoot(const char* szName);
  CPeltoLevel* FindLevel();

  void TakeCameras();
  // "Velocity", 1 when absent; read again every frame so scripts can change the speed.
  float ReadVelocity() const;
  void ReadColour(const char* szName, float (&colour)[4]);
  bool StateInTable(int iState) const { return iState >= 0 && iState < kStateCount; }
};
