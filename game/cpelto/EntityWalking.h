#pragma once
// A level object that moves on its own, in one of three ways: along a keyed path laid out cell by
// cell in its "EntityPath", by following the player over the level grid a cell or a quarter turn
// at a time ("LookAndFollowPlayer"), or by the keyed motion of its body mesh. Its transform goes
// to the null "master_null" of its scene, or to its body mesh when there is none. Every frame it
// tests whether it touches the player and tells its script ("FoundCollision").
#include <d3dx9math.h>

#include "ZKDXMath.h"
#include "framework/RenderableObject.h"

class CPeltoLevel;
class CPeltoPlayer;
class geCPath;

class CEntityWalking : public geCRenderableObject {
 public:
  // Follow states.
  static constexpr int kFollowIdle = 1;
  static constexpr int kFollowTurnLeft = 2;
  static constexpr int kFollowTurnRight = 3;
  static constexpr int kFollowForward = 4;
  // Cells the way to the player can hold; a longer way is followed by its first cells.
  static constexpr int kMaxGridPath = 256;

  explicit CEntityWalking(geCBaseNode* pParent);
  ~CEntityWalking() override;

  size_t GetClassSize() const override;
  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  void Process(geSUpdateArgument* pArg) override;
  // "LookForPlayer" with message id 1 starts following the player, 0 stops it.
  void ProcessMessage(geMessage* pMessage) override;
  // 1 when the entity has a way to the player to follow, 0 otherwise.
  virtual DWORD SearchPathToPlayer();
  // One frame of following: moving or turning on, or choosing the next move from the way.
  virtual void FollowPlayerStep(geSUpdateArgument* pArg);

  // Script operations.
  void SetPosition(float x, float y, float z);
  CVector3* GetPosition() { return &m_vecPosition; }
  // Heading, pitch and bank in radians: becomes the rotation, the initial and the path
  // orientation, and is applied at once.
  void SetRotation(const CVector3& angles);
  // The rotation of "master_null" (or of the body mesh) as the engine reports it.
  CVector3 GetRotation() const;
  // Stops the path clock, the animation and the following; Resume starts them again.
  void Pause();
  void Resume();

  // A mini level that carries the entity adds the offset to the applied position.
  void SetCarried(DWORD dwCarried, const CVector3& offset);

  float GetSpeedFactor() const { return m_fSpeedFactor; }
  const D3DXQUATERNION& GetRotationQuaternion() const { return m_qRotation; }
  const D3DXQUATERNION& GetPathOrientation() const { return m_qPathOrientation; }
  geCPath* GetPath() const { return m_pPath; }
  int GetFollowState() const { return m_nFollowState; }
  int GetFacingIndex() const { return m_nFacingIndex; }
  bool IsFollowingPlayer() const { return m_nFollowPlayer != 0; }
  bool IsTouchingPlayer() const { return m_nTouchingPlayer != 0; }
  // Cells of the last way found, from the entity's cell (entry 0) to the player's.
  int GetGridPathLength() const { return m_nGridPathLength; }
  const CVector3& GetGridPathCell(int nIndex) const { return m_aGridPath[nIndex]; }
  const CVector3& GetPathStartPoint() const { return m_vecPathStartPoint; }
  const CVector3& GetPathStartDirection() const { return m_vecPathStartDirection; }

 private:
  // Scripts reach the speed factor as a property of the entity.
  friend void RegisterEntityScriptMembers();

  void ReadPath();
  // Sets the position and the rotation on "master_null", or on the body mesh without it.
  void ApplyTransform(const CVector3& position, const D3DXQUATERNION& rotation);
  // The position of "master_null" (or of the body mesh).
  CVector3 GetAppliedPosition() const;
  CNullInterface* MasterNull() const;
  // The unit vector of the facing index turned by the initial orientation.
  D3DXVECTOR3 FacingAxis(int nFacingIndex) const;
  void ChooseNextMove();
  void TurnPathOrientation(const D3DXVECTOR3& direction);
  D3DXQUATERNION AnglesRotation() const;
  void TestPlayerContact(CPeltoPlayer* pPlayer);
  void ReadAngles();
  // The level and the player, or null with one warning per entity.
  CPeltoLevel* Level();
  CPeltoPlayer* Player();

  CVector3 m_vecPosition;
  D3DXQUATERNION m_qRotation{0, 0, 0, 1};
  float m_fSpeedFactor = 1.0f;
  D3DXQUATERNION m_qInitialOrientation{0, 0, 0, 1};
  D3DXQUATERNION m_qPathOrientation{0, 0, 0, 1};
  geCPath* m_pPath = nullptr;
  float m_fHeading = 0, m_fPitch = 0, m_fBank = 0;
  BYTE m_bScriptPause = 0;
  D3DXQUATERNION m_qTurnStart{0, 0, 0, 1};
  CVector3 m_vecPathStartPoint;
  CVector3 m_vecPathStartDirection;
  CVector3 m_aGridPath[kMaxGridPath];
  int m_nGridPathLength = 0;
  int m_nFollowState = kFollowIdle;
  float m_fStepProgress = 0;
  float m_fTurnProgress = 0;
  int m_nFacingIndex = 0;
  int m_nFollowPlayer = 0;
  int m_nPrePathBehaviour = 0;
  int m_nPostPathBehaviour = 0;
  float m_fTimeOnPath = 100.0f;
  int m_nTouchingPlayer = 0;
  int m_nConstAxis = -1;
  float m_fVelocity = 1.0f;
  DWORD m_dwCarried = 0;
  CVector3 m_vecCarriedOffset;
  int m_nMaxWayLength = 0;
  bool m_bWarnedNoLevel = false;
  bool m_bWarnedNoPlayer = false;
};
