#include "cpelto/PeltoPlayer.h"

#include <d3dx9math.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZKDXInterface.h"
#include "cpelto/GameCameraHold.h"
#include "cpelto/GameMaths.h"
#include "cpelto/KeyQuery.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/MenuText.h"
#include "cpelto/PeltoCable.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoWall.h"
#include "cpelto/PlayerCorePort.h"
#include "framework/CorePort.h"
#include "framework/Logger.h"
#include "framework/Substring.h"

namespace {
constexpr float kCameraTilt = 1.5707964f;
constexpr float kPi = 3.14159265f;
constexpr float kJumpHeight = 2.0f;

float Truncate(float f) { return static_cast<float>(static_cast<int>(f)); }

bool KeyDown(DWORD dwKey) { return QueryKey(dwKey, nullptr) != 0; }

const KeyBindings& PlayerKeys() { return GetPlayerCorePort().GetKeyBindings(); }
const AnimationIdentifiers& PlayerAnimations() {
  return GetPlayerCorePort().GetAnimationIdentifiers();
}
}  // namespace

int CPeltoPlayer::s_aiSlideCounters[5] = {};

CPeltoPlayer::CPeltoPlayer(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  m_dwFlags = (m_dwFlags & ~kFlagNoScenePasses) | kFlagWithShaders;
}

CPeltoPlayer* CPeltoPlayer::FindGamePlayer(geCBaseNode* pNode) {
  return dynamic_cast<CPeltoPlayer*>(FindInTree(pNode, "GamePlayer"));
}

const char* CPeltoPlayer::GetClassName() const { return "CPeltoPlayer"; }

bool CPeltoPlayer::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CPeltoPlayer") || geCRenderableObject::IsKindOf(szClassName);
}

void CPeltoPlayer::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  for (const char* szName : {"SubPlayer", "InitX", "InitY", "InitZ", "Velocity", "CameraX",
                             "CameraY", "CameraZ", "OgonDiffuse", "OgonSpecular",
                             "OgonFrameOffset", "IdleTimeBeforeAnim", "MaxTimeIntervalBetweenAnim"})
    m_Properties.Register(szName);
}

void CPeltoPlayer::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  m_bIsSubPlayer = IsGiven("SubPlayer");
  m_fMaxTimeIntervalBetweenAnim = m_Properties.GetFloat("MaxTimeIntervalBetweenAnim");
  m_fIdleTimeBeforeAnim = m_Properties.GetFloat("IdleTimeBeforeAnim");
  for (signed char& cEnabled : m_abStateEnabled) cEnabled = 1;
  m_vecPosition = CPeltoWall::ReadPlacement(m_Properties);
  m_vecStartPosition = m_vecPosition;
  m_qRotation = CPeltoWall::ReadOrientation(m_Properties);
  m_qBaseRotation = m_qRotation;
  if (CMeshInterface* pMesh = GetMesh(0)) CPeltoWall::PlaceMesh(pMesh, m_vecPosition, m_qRotation);
  m_fVelocity = ReadVelocity();
  m_fBaseFramesPerSecond = m_fFramesPerSecond;
  m_fFramesPerSecond = m_fBaseFramesPerSecond * m_fVelocity;
  if (!m_bIsSubPlayer) TakeCameras();
  m_vecCameraOffset = CVector3(m_Properties.GetFloat("CameraX"), m_Properties.GetFloat("CameraY"),
                               m_Properties.GetFloat("CameraZ"));
  if (!IsGiven("CameraX") && !IsGiven("CameraY") && !IsGiven("CameraZ"))
    m_vecCameraOffset = CVector3(-3.0f, 2.0f, 0.0f);
  ReadColour("OgonDiffuse", m_vecOgonDiffuse);
  ReadColour("OgonSpecular", m_vecOgonSpecular);
  m_vecOgonFrameOffset = IsGiven("OgonFrameOffset")
                             ? std::strtoul(m_Properties.GetString("OgonFrameOffset").c_str(),
                                            nullptr, 10)
                             : 4;
  m_bSocketEnabled = 0;
  if (m_abStateEnabled[kStateStop] == 1) m_dwState = kStateStop;
  CallScriptFunction("OnStopState");
  m_bJumping = false;
  m_bInputLocked = false;
}

float CPeltoPlayer::ReadVelocity() const {
  return IsGiven("Velocity") ? m_Properties.GetFloat("Velocity") : 1.0f;
}

void CPeltoPlayer::TakeCameras() {
  CSceneInterface* pScene = GetOwnerScene();
  CCameraInterface* pFollowing = pScene ? pScene->GetCamera(0) : nullptr;
  CCameraInterface* pOverhead = pScene ? pScene->GetCamera(1) : nullptr;
  if (!pFollowing || !pOverhead) {
    // The level scene gives both; without them the player simply keeps no camera.
    g_GameLogger.Log("WARNING: player '%s' found no cameras 0 and 1 in its scene\n",
                     GetName() ? GetName() : "");
    return;
  }
  CMeshInterface* pMesh = GetMesh(0);
  pOverhead->SetParent(pMesh);
  pOverhead->SetRotation(CVector3(kCameraTilt, 0.0f, 0.0f));
  pFollowing->SetTarget(pMesh);
  pFollowing->SetParent(pMesh);
}

void CPeltoPlayer::ReadColour(const char* szName, float (&colour)[4]) {
  if (!IsGiven(szName)) {
    colour[0] = colour[1] = colour[2] = 0.5f;
    colour[3] = 1.0f;
    return;
  }
  const std::string strText = m_Properties.GetString(szName);
  for (DWORD i = 0; i < 4; ++i)
    colour[i] = static_cast<float>(std::atof(GetSubstring(strText, i, ';').c_str()));
}

void CPeltoPlayer::SetPosition(const CVector3& position) {
  m_vecPosition = CVector3(Truncate(position.x) + 0.5f, Truncate(position.y),
                           Truncate(position.z) + 0.5f);
  if (CMeshInterface* pMesh = GetMesh(0)) pMesh->SetPosition(m_vecPosition);
}

CVector3 CPeltoPlayer::GetFacingVector() const {
  static const D3DXVECTOR3 kAxes[4] = {{1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}};
  D3DXMATRIX rotation;
  D3DXMatrixRotationQuaternion(&rotation, &m_qBaseRotation);
  const D3DXVECTOR3 turned = TransformPoint(kAxes[m_iFacing & 3], rotation);
  return CVector3(turned.x, turned.y, turned.z);
}

CVector3 CPeltoPlayer::StepDirection(BYTE byDirection) const {
  const CVector3 facing = GetFacingVector();
  switch (byDirection) {
    case kMoveForward: return facing;
    case kMoveBack: return facing * -1.0f;
    case kMoveRight: return CVector3(facing.z, facing.y, -facing.x);
    case kMoveLeft: return CVector3(-facing.z, facing.y, facing.x);
    default: return CVector3(0.0f, 0.0f, 0.0f);
  }
}

CVector3* CPeltoPlayer::GetDirection() const {
  static CVector3 direction;
  direction = GetFacingVector();
  return &direction;
}

void CPeltoPlayer::SetRotation(const CVector3& degrees) {
  m_qRotation = QuaternionFromDegrees(degrees.x, degrees.y, degrees.z);
  m_qBaseRotation = m_qRotation;
  if (CMeshInterface* pMesh = GetMesh(0))
    pMesh->SetAdditionalTransformation(m_qRotation.x, m_qRotation.y, m_qRotation.z,
                                       m_qRotation.w);
}

CVector3 CPeltoPlayer::GetRotation() const {
  CVector3 rotation;
  if (CMeshInterface* pMesh = GetMesh(0)) pMesh->GetRotation(&rotation, 0);
  return rotation;
}

void CPeltoPlayer::SetVisibilityForAll(int bCamera, int bRays, int bCollisions) {
  for (CMeshInterface* pMesh : m_vMeshes)
    pMesh->SetVisibility(static_cast<UINT>(bCamera), static_cast<UINT>(bRays),
                         static_cast<UINT>(bCollisions));
}

void CPeltoPlayer::EnterState(int iState) {
  if (StateInTable(iState) && m_abStateEnabled[iState] == 1) m_dwState = iState;
}

void CPeltoPlayer::Stop() {
  EnterState(kStateStop);
  CallScriptFunction("OnStopState");
  m_bJumping = false;
}

void CPeltoPlayer::ForceSetState(int iState) {
  if (!StateInTable(iState) || m_abStateEnabled[iState] != 1) return;
  m_dwState = iState;
  if (iState == kStateStop) CallScriptFunction("OnStopState");
  if (iState == kStateStop || iState == kStateIdle) m_bJumping = false;
}

void CPeltoPlayer::TurnStateOnOrOff(int iState, int iValue) {
  if (StateInTable(iState)) m_abStateEnabled[iState] = static_cast<signed char>(iValue);
}

int CPeltoPlayer::GetTurnStateOnOrOff(int iState) const {
  return StateInTable(iState) ? m_abStateEnabled[iState] : -1;
}

void CPeltoPlayer::StartIdle(float fNow) {
  m_fIdleStamp = fNow;
  m_fIdleWait = m_fIdleTimeBeforeAnim;
}

void CPeltoPlayer::UpdateIdle(float fNow) {
  if (fNow - m_fIdleStamp < m_fIdleWait) return;
  const int nDraw = std::rand();
  if (m_Animations.IsStopped())
    m_Animations.SetActive(nDraw % 2 ? kIdleAnimationOdd : kIdleAnimationEven);
  m_fIdleStamp = fNow;
  m_fIdleWait = static_cast<float>(nDraw % 10) * 0.1f * m_fMaxTimeIntervalBetweenAnim;
}

// ---- commands -------------------------------------------------------------------------------

geCBaseNode* CPeltoPlayer::Root() { return TreeRoot(this); }

geCBaseNode* CPeltoPlayer::FindBelowRoot(const char* szName) {
  return FindInTree(this, szName);
}

CPeltoLevel* CPeltoPlayer::FindLevel() {
  return FindPeltoLevel(this);
}

bool CPeltoPlayer::Ready() const {
  return m_dwState == kStateIdle || (m_dwState == kStateStop && AnimationStopped());
}

void CPeltoPlayer::ProcessMessage(geMessage* pMessage) {
  geCRenderableObject::ProcessMessage(pMessage);
  if (m_pSubPlayer) m_pSubPlayer->ProcessMessage(pMessage);
  const DWORD dwCommand = pMessage->MessageID;
  if (dwCommand == kCommandCamera) {
    if (!m_bIsSubPlayer) SetCameraView(pMessage->dwData);
    return;
  }
  if (m_Animations.GetActive() == kAnimationBlocking) return;
  if (!m_bInputLocked) StartCommand(dwCommand);
  if (dwCommand == kCommandJump && !m_bJumping) StartJump();
  if (dwCommand == kCommandSocket && Standing()) {
    if (ActiveSocket && !m_pSubPlayer)
      EnterState(kStateSocketIn);
    else
      UnplugByCommand();
  }
  if (dwCommand == kCommandLock) ProcessLockCommand(pMessage->pszName);
}

namespace {
// The commands that start a step or a turn: the state they need (ready: idle, or stopped with
// the animation ended; else standing), the state and animation they start, the event.
struct SCommandRow {
  DWORD dwCommand;
  bool bNeedsReady;
  int iState;
  DWORD dwAnimation;  // kWalkStartAnimation: the game core's idanim_moveforward_start
  const char* szEvent;
};
constexpr DWORD kWalkStartAnimation = 0xFFFFFFFE;
constexpr SCommandRow kCommandRows[] = {
    {CPeltoPlayer::kCommandForward, true, CPeltoPlayer::kStateForward, kWalkStartAnimation,
     "OnStartForward"},
    {CPeltoPlayer::kCommandStrafeRight, true, CPeltoPlayer::kStateStrafeRight,
     CPeltoPlayer::kAnimationStrafeRight, "OnStartStrifeRight"},
    {CPeltoPlayer::kCommandStrafeLeft, true, CPeltoPlayer::kStateStrafeLeft,
     CPeltoPlayer::kAnimationStrafeLeft, "OnStartStrifeLeft"},
    {CPeltoPlayer::kCommandBack, true, CPeltoPlayer::kStateBack, CPeltoPlayer::kAnimationStart,
     "OnStartBack"},
    {CPeltoPlayer::kCommandLeft, false, CPeltoPlayer::kStateLeft,
     CPeltoPlayer::kAnimationTurnLeft, "OnStartLeft"},
    {CPeltoPlayer::kCommandRight, false, CPeltoPlayer::kStateRight,
     CPeltoPlayer::kAnimationTurnRight, "OnStartRight"},
    {CPeltoPlayer::kCommandWalkInPlace, false, CPeltoPlayer::kStateWalkInPlace,
     CPeltoPlayer::kAnimationStart, "OnStartWalkInPlace"},
};
}  // namespace

void CPeltoPlayer::StartCommand(DWORD dwCommand) {
  for (const SCommandRow& row : kCommandRows) {
    if (row.dwCommand != dwCommand) continue;
    if (row.bNeedsReady ? !Ready() : !Standing()) return;
    if (!row.bNeedsReady) {  // turns (and walking in place) start from the present rotation
      m_qTurnStart = m_qRotation;
      m_fTurnT = 0.0f;
    }
    // Walking in place starts its animation only once the one playing has ended.
    if (dwCommand != kCommandWalkInPlace || AnimationStopped())
      m_Animations.SetActive(row.dwAnimation == kWalkStartAnimation
                                 ? PlayerAnimations().idanim_moveforward_start
                                 : row.dwAnimation);
    EnterState(row.iState);
    m_fMoveProgress = 0.0f;
    CallScriptFunction(row.szEvent);
    return;
  }
}

void CPeltoPlayer::StartJump() {
  auto* pLevel = FindLevel();
  // Without a level there is no grid to jump on: the jump is refused.
  if (!pLevel || !TryMove(pLevel, kMoveForward, 1) || !TryMove(pLevel, kMoveForward, 0)) return;
  EnterState(kStateForward);
  m_Animations.SetActive(kAnimationStart);
  m_fMoveProgress = 0.0f;
  m_bJumping = true;
  CallScriptFunction("OnStartJump");
}

void CPeltoPlayer::SetCameraView(DWORD dwData) {
  auto* pHold = dynamic_cast<CGameCameraHold*>(FindBelowRoot("GameCamera"));
  CSceneInterface* pScene = GetOwnerScene();
  CCameraInterface* pCamera = pScene ? pScene->GetCamera(0) : nullptr;
  if (dwData == 1) {
    if (pHold) pHold->SetHold(1);
    if (pCamera) {
      // Detached where it stands, so the view does not jump.
      CVector3 at;
      pCamera->GetPosition(&at, 0);
      pCamera->SetParent(nullptr);
      pCamera->SetPosition(at);
    }
    EnterState(kStateDetached);
    return;
  }
  if (pHold) pHold->SetHold(0);
  if (pCamera) {
    pCamera->SetParent(GetMesh(0));
    pCamera->SetPosition(m_vecCameraOffset);
  }
  m_qRotation = m_qBaseRotation;
  m_iFacing = 0;
}

void CPeltoPlayer::ProcessLockCommand(const char* szName) {
  if (std::strstr(szName, "unlock")) {
    m_bInputLocked = false;
  } else if (std::strstr(szName, "lock")) {
    m_bInputLocked = true;
    Stop();
  }
}

// ---- the frame step -------------------------------------------------------------------------

void CPeltoPlayer::Update(geSUpdateArgument* pArg) {
  if (m_bFirstTimeUpdate && !m_bIsSubPlayer) CreateCableMesh();
  geCRenderableObject::Update(pArg);
  m_fVelocity = ReadVelocity();
  const float fSpeed = m_fBaseFramesPerSecond * m_fVelocity;
  m_fFramesPerSecond = fSpeed;
  const float fNow = pArg ? pArg->m_fCurrentTime : 0.0f;
  const float fDeltaTime = pArg ? pArg->m_fDeltaTime : 0.0f;
  bool bStanding = false;
  switch (m_dwState) {
    case kStateStop:
      bStanding = true;
      if (m_bInputLocked) break;
      CallScriptFunction("OnStartIdle");
      EnterState(kStateIdle);
      m_bJumping = false;
      StartIdle(fNow);
      break;
    case kStateIdle:
      bStanding = true;
      UpdateIdle(fNow);
      break;
    case kStateForward: {
      const AnimationIdentifiers& ids = PlayerAnimations();
      UpdateWalk({kMoveForward, kStateForward, ids.idanim_moveforward_start,
                  ids.idanim_moveforward, ids.idanim_moveforward_end, PlayerKeys().move_forward,
                  true},
                 fDeltaTime);
      break;
    }
    case kStateBack:
      UpdateWalk({kMoveBack, kStateBack, kAnimationStart,
                  PlayerAnimations().idanim_movebackward, kAnimationEnd, PlayerKeys().move_back,
                  false},
                 fDeltaTime);
      break;
    case kStateStrafeRight:
    case kStateStrafeLeft: UpdateStrafe(fDeltaTime); break;
    case kStateLeft:
    case kStateRight: UpdateTurn(fDeltaTime, fSpeed); break;
    case kStateSocketIn: UpdatePlugIn(); break;
    default: break;
  }
  if (!bStanding && m_bJumping) UpdateJump();
  UpdateCable();
  CallScriptFunction("CPeltoPlayer_PreUpdatePosition");
  PlaceFirstMesh();
  if (m_dwState == kStateWalkInPlace && AnimationStopped()) Stop();
  UpdateLink();
  ActiveSocket = 0;
}

void CPeltoPlayer::UpdateJump() {
  if (m_pSubPlayer && !m_bIsSubPlayer) m_pSubPlayer->SetVisibilityForAll(1, 1, 1);
  const float fLength = StepLength();
  m_vecPosition.y = kJumpHeight * std::sin(kPi * m_fMoveProgress / fLength);
  CallScriptFunction("OnProcessJump");
  if (m_fMoveProgress / fLength >= 1.0f) {
    m_vecPosition.y = m_vecStartPosition.y;
    m_bJumping = false;
    m_Animations.SetActive(kAnimationEnd);
  }
}

void CPeltoPlayer::PlaceFirstMesh() {
  CMeshInterface* pMesh = GetMesh(0);
  if (!pMesh) return;
  float afChannels[6] = {};
  if (CMotionInterface* pMotion = pMesh->GetMotion(1.0f)) {
    pMotion->Evaluate(m_Animations.GetFrame(m_fFramesPerSecond));
    for (UINT i = 0; i < 6; ++i)
      if (CChannelEnvelopeInterface* pChannel = pMotion->GetChannel(i))
        afChannels[i] = pChannel->GetValue();
  }
  pMesh->SetPosition(m_vecPosition + CVector3(afChannels[0], afChannels[1], afChannels[2]));
  D3DXQUATERNION sway;
  D3DXQuaternionRotationYawPitchRoll(&sway, afChannels[3], afChannels[4], afChannels[5]);
  const D3DXQUATERNION turned = MultiplyQuaternions(m_qRotation, sway);
  pMesh->SetAdditionalTransformation(turned.x, turned.y, turned.z, turned.w);
}

// ---- steps and turns ------------------------------------------------------------------------

void CPeltoPlayer::Advance(BYTE byDirection, float fDeltaTime) {
  const float fLength = StepLength();
  float fDistance = fDeltaTime * m_fVelocity;
  // The last frame of a step is shortened so that the step ends exactly on the cell.
  if (fDistance + m_fMoveProgress > fLength) fDistance = fLength - m_fMoveProgress;
  m_fMoveProgress += fDistance;
  m_vecPosition = m_vecPosition + StepDirection(byDirection) * fDistance;
  if (CMeshInterface* pMesh = GetMesh(0)) pMesh->SetPosition(m_vecPosition);
}

bool CPeltoPlayer::Arrive(BYTE byDirection) {
  if (m_pSubPlayer) UpdateTailPoints();
  auto* pLevel = FindLevel();
  int& iSlid = s_aiSlideCounters[byDirection];
  const DWORD dwElement =
      pLevel ? pLevel->GetElementMapAt(static_cast<short>(m_vecPosition.x),
                                       static_cast<short>(m_vecPosition.z))
             : 0;
  // Without a level the floor is dry: nothing to slide on.
  if (dwElement >= 'W' && dwElement <= 'Z' && TryMove(pLevel, byDirection, 0)) {
    m_fMoveProgress = 0.0f;
    if (++iSlid == 1) CallScriptFunction("OnStartWettFloor");
    return true;
  }
  iSlid = 0;
  return false;
}

bool CPeltoPlayer::TurnOnArrival() {
  const KeyBindings& keys = PlayerKeys();
  if (KeyDown(keys.rotate_left)) {
    Stop();
    PostToSelf("MouseLeft", kCommandLeft);
    return true;
  }
  if (KeyDown(keys.rotate_right)) {
    Stop();
    PostToSelf("MouseRight", kCommandRight);
    return true;
  }
  return false;
}

void CPeltoPlayer::PostToSelf(const char* szName, DWORD dwMessageID) {
  geGetCorePort().PostMessage(szName, GetID(), GetID(), dwMessageID, 0);
}

void CPeltoPlayer::UpdateWalk(const SWalk& walk, float fDeltaTime) {
  if (m_Animations.GetActive() == walk.dwStartAnimation && AnimationStopped())
    m_Animations.SetActive(walk.dwWalkAnimation);
  if (m_Animations.GetActive() == walk.dwWalkAnimation) {
    Advance(walk.byDirection, fDeltaTime);
    const bool bArrived = m_fMoveProgress >= StepLength() && AnimationStopped();
    if (bArrived && !Arrive(walk.byDirection) && !TurnOnArrival() && !KeyDown(walk.dwHoldKey))
      m_Animations.SetActive(walk.dwEndAnimation);
    // The key still held walks on into the next cell without stopping.
    if (m_fMoveProgress >= StepLength() && AnimationStopped() && KeyDown(walk.dwHoldKey)) {
      CPeltoLevel* pLevel = FindLevel();
      if (pLevel && TryMove(pLevel, walk.byDirection, 0)) {
        EnterState(walk.iState);
        m_Animations.SetActive(walk.dwWalkAnimation);
        m_fMoveProgress = 0.0f;
        if (walk.bContinuingEndsJump) m_bJumping = false;
        CallScriptFunction("OnContinueWalking");
      }
    }
  }
  if (m_Animations.GetActive() == walk.dwEndAnimation && AnimationStopped()) Stop();
}

void CPeltoPlayer::UpdateStrafe(float fDeltaTime) {
  const BYTE byDirection = m_dwState == kStateStrafeRight ? kMoveRight : kMoveLeft;
  Advance(byDirection, fDeltaTime);
  if (m_fMoveProgress >= StepLength() && !Arrive(byDirection)) Stop();
}

void CPeltoPlayer::UpdateTurn(float fDeltaTime, float fSpeed) {
  // One run of the turn animation; a range given backwards counts the same, and without a
  // record the turn takes one second at velocity 1.
  float fFrames = m_fBaseFramesPerSecond;
  if (const auto* pAnimation = m_Animations.GetAnimation(m_Animations.GetActive())) {
    const long lFirst = pAnimation->dwStartFrame, lLast = pAnimation->dwEndFrame;
    fFrames = static_cast<float>(std::labs(lLast - lFirst) + 1);
  }
  float fStep = fFrames > 0.0f ? fSpeed / fFrames * fDeltaTime : 1.0f;
  if (fStep + m_fMoveProgress > 1.0f) fStep = 1.0f - m_fMoveProgress;
  m_fMoveProgress += fStep;
  m_fTurnT += fStep;
  const bool bRight = m_dwState == kStateRight;
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXQUATERNION quarter;
  D3DXQuaternionRotationAxis(&quarter, &up, bRight ? kPi / 2 : -kPi / 2);
  const D3DXQUATERNION target = MultiplyQuaternions(m_qTurnStart, quarter);
  D3DXQuaternionSlerp(&m_qRotation, &m_qTurnStart, &target, m_fTurnT);
  if (CMeshInterface* pMesh = GetMesh(0))
    pMesh->SetAdditionalTransformation(m_qRotation.x, m_qRotation.y, m_qRotation.z,
                                       m_qRotation.w);
  if (m_fMoveProgress < 1.0f) return;
  Stop();
  m_iFacing += bRight ? -1 : 1;
  if (m_iFacing > 3) m_iFacing = 0;
  if (m_iFacing < 0) m_iFacing = 3;
}

// ---- socket link and cable ------------------------------------------------------------------

namespace {
constexpr float kTailHeight = 0.1f;
constexpr float kSecondStartPointOffset = 0.01f;
constexpr UINT kSurfaceFlagsCable = 4;

int Cell(float f) { return static_cast<int>(f); }
bool SameCell(const CVector3& a, const CVector3& b) {
  return Cell(a.x) == Cell(b.x) && Cell(a.z) == Cell(b.z);
}
}  // namespace

void CPeltoPlayer::CreateCableMesh() {
  CSceneInterface* pScene = GetOwnerScene();
  if (!pScene) return;
  m_pCableMesh = pScene->AddMesh(0);
  m_pCableSurface = m_pCableMesh ? m_pCableMesh->CreateSurface() : nullptr;
}

void CPeltoPlayer::AttachCamera(CMeshInterface* pMesh) {
  CSceneInterface* pScene = GetOwnerScene();
  CCameraInterface* pCamera = pScene ? pScene->GetCamera(0) : nullptr;
  if (!pCamera) return;
  pCamera->SetParent(pMesh);
  pCamera->SetTarget(pMesh);
}

void CPeltoPlayer::SetSocketDistanceText(const char* szText) {
  geCBaseNode* pNode = FindBelowRoot("SocketDistance");
  // Only a menu text shows it; any other node of that name is left alone.
  if (CMenuText* pText = MenuNodeCast<CMenuText>(pNode, "CMenuText")) pText->SetText(szText);
}

void CPeltoPlayer::UpdatePlugIn() {
  m_iCableDistance = 0;
  if (m_Animations.GetActive() != kAnimationPlugIn) {
    m_Animations.SetActive(kAnimationPlugIn);
    return;
  }
  // Without a socket node the plug waits, the animation stopped.
  geCBaseNode* pSocket =
      AnimationStopped() && ActiveSocket ? Root()->GetNodeByID(ActiveSocket) : nullptr;
  if (!pSocket) return;
  m_bSocketEnabled = 1;
  Stop();
  m_Animations.SetActive(kAnimationPluggedIn);
  m_iSocketDistance = pSocket->GetProperties()->GetInteger("SocketDistance");
  m_dwSocketType = static_cast<DWORD>(pSocket->GetProperties()->GetInteger("SocketType"));
  CallScriptFunction("OnActivateSocketSetMonster");
  m_vecTailPoints.clear();
  m_vecTailPoints.emplace_back(m_vecPosition.x, kTailHeight, m_vecPosition.z);
  m_vecTailPoints.emplace_back(m_vecPosition.x, kTailHeight,
                               m_vecPosition.z + kSecondStartPointOffset);
  m_bSkipCableBuild = 1;
  if (m_pSubPlayer) {
    SetVisibilityForAll(0, 1, 1);
    AttachCamera(m_pSubPlayer->GetMesh(0));
    m_pSubPlayer->Enable(0);
    m_pSubPlayer->m_vecPosition = m_vecPosition;
    m_pSubPlayer->m_qRotation = m_qRotation;
    m_pSubPlayer->m_iFacing = m_iFacing;
  }
  ActiveSocket = 0;
}

void CPeltoPlayer::UpdateTailPoints() {
  const CVector3& sub = m_pSubPlayer->m_vecPosition;
  const size_t uPoints = m_vecTailPoints.size();
  // An arrival seen again on the same cell (a step held against a wall) lays nothing new.
  if (uPoints && SameCell(m_vecTailPoints.back(), sub)) return;
  if (uPoints >= 2 && SameCell(m_vecTailPoints[uPoints - 2], sub))
    m_vecTailPoints.pop_back();
  else
    m_vecTailPoints.emplace_back(sub.x, kTailHeight, sub.z);
}

void CPeltoPlayer::UpdateCable() {
  if (!m_pSubPlayer) {
    m_vecTailPoints.clear();
    return;
  }
  // A period of 0 would never come round: every frame builds then.
  const DWORD dwPeriod = m_vecOgonFrameOffset < 1 ? 1 : m_vecOgonFrameOffset;
  if (CPeltoCable::Get().CountFrame() % dwPeriod == 0) BuildCable();
}

CVector3 CPeltoPlayer::CablePlugPoint() {
  D3DXVECTOR3 plug(0.0f, 0.0f, 0.0f);
  CNullInterface* pNull = m_pSubPlayer->FindNullByName("kabelek", 0);
  if (CMotionInterface* pMotion = pNull ? pNull->GetMotion(0.0f) : nullptr) {
    pMotion->Evaluate(m_pSubPlayer->GetAnimations()->GetFrame(m_fFramesPerSecond));
    float afChannels[3] = {};
    for (UINT i = 0; i < 3; ++i)
      if (CChannelEnvelopeInterface* pChannel = pMotion->GetChannel(i))
        afChannels[i] = pChannel->GetValue();
    plug = D3DXVECTOR3(afChannels[0], afChannels[1], afChannels[2]);
  }
  if (CMeshInterface* pMesh = m_pSubPlayer->GetMesh(0)) {
    if (const CMatrix* pCurrent = pMesh->GetCurrentMatrix()) {
      D3DXMATRIX matrix;
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) matrix.m[i][j] = pCurrent->m[i][j];
      plug = TransformPoint(plug, matrix);
    }
  }
  return CVector3(plug.x, plug.y, plug.z);
}

void CPeltoPlayer::BuildCable() {
  if (!m_bSocketEnabled || m_vecTailPoints.size() < 2) return;
  if (m_bSkipCableBuild) {
    m_bSkipCableBuild = 0;
    return;
  }
  CPeltoCable& cable = CPeltoCable::Get();
  if (!cable.Build(m_vecTailPoints, CablePlugPoint()) || !m_pCableMesh) return;
  std::vector<Vertex>& vertices = cable.GetVertices();
  std::vector<WORD>& indices = cable.GetIndices();
  std::vector<Face>& faces = cable.GetFaces();
  // The mesh refuses vertices its faces reach beyond, so a shorter cable (a new link after a
  // long one) hands its faces over first.
  const UINT uVertices = static_cast<UINT>(vertices.size());
  const UINT uFaces = static_cast<UINT>(faces.size());
  if (uVertices < m_pCableMesh->GetNumberOfVertices()) {
    m_pCableMesh->SetFaces(uFaces, faces.data());
    m_pCableMesh->SetVertices(uVertices, vertices.data(), 1);
  } else {
    m_pCableMesh->SetVertices(uVertices, vertices.data(), 1);
    m_pCableMesh->SetFaces(uFaces, faces.data());
  }
  m_pCableMesh->SetPosition(CVector3(0.0f, 0.0f, 0.0f));
  m_pCableMesh->SetRotation(CVector3(0.0f, 0.0f, 0.0f));
  m_pCableMesh->SetScale(CVector3(1.0f, 1.0f, 1.0f));
  m_pCableMesh->RebuildBoundVolume();
  if (m_pCableSurface) {
    m_pCableSurface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
    m_pCableSurface->SetFlags(kSurfaceFlagsCable);
    auto colour = [](const float (&rgba)[4]) {
      return D3DCOLORVALUE{rgba[0], rgba[1], rgba[2], rgba[3]};
    };
    D3DCOLORVALUE diffuse = colour(m_vecOgonDiffuse), specular = colour(m_vecOgonSpecular);
    D3DCOLORVALUE emissive = {0.0f, 0.0f, 0.0f, 0.0f};
    CVector4 additional1(0.0f, 0.0f, 0.0f, 0.0f), additional2(0.0f, 0.0f, 0.0f, 0.0f);
    m_pCableSurface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2,
                                    0);
  }
  if (m_bFirstCableBuild) {
    m_bFirstCableBuild = false;
    m_pCableMesh->ApplyDefaultShader(nullptr, nullptr);
  } else {
    m_pCableMesh->SetVisibility(1, 0, 0);
  }
}

void CPeltoPlayer::FollowSubPlayer() {
  const CVector3& sub = m_pSubPlayer->m_vecPosition;
  m_vecPosition = CVector3(Truncate(sub.x) + 0.5f, 0.0f, Truncate(sub.z) + 0.5f);
  m_qRotation = m_pSubPlayer->m_qRotation;
  m_iFacing = m_pSubPlayer->m_iFacing;
}

void CPeltoPlayer::UpdateLink() {
  if (!m_pSubPlayer || m_vecTailPoints.empty()) return;
  const CVector3& sub = m_pSubPlayer->m_vecPosition;
  const CVector3& socket = m_vecTailPoints.front();
  m_iCableDistance = std::abs(Cell(sub.z) - Cell(socket.z)) + std::abs(Cell(sub.x) - Cell(socket.x));
  char szLeft[5];
  std::snprintf(szLeft, sizeof szLeft, "%4d", m_iSocketDistance - m_iCableDistance);
  SetSocketDistanceText(szLeft);
  FollowSubPlayer();
  if (m_iCableDistance >= m_iSocketDistance) UnplugByDistance();
}

void CPeltoPlayer::UnplugByDistance() {
  SetSocketDistanceText("");
  m_vecTailPoints.clear();
  if (m_pCableMesh) {
    m_pCableMesh->SetVisibility(0, 0, 0);
    FollowSubPlayer();
  }
  Stop();
  m_fMoveProgress = StepLength();
  m_bJumping = false;
  m_pSubPlayer->m_bJumping = false;
  m_pSubPlayer->Disable(0);
  AttachCamera(GetMesh(0));
  Enable(0);
  m_pSubPlayer = nullptr;
  m_bSocketEnabled = 0;
  m_bSkipCableBuild = 1;
  CallScriptFunction("OnDeActivateSocketSetMonster");
  ActiveSocket = 0;
}

void CPeltoPlayer::UnplugByCommand() {
  SetSocketDistanceText("");
  ActiveSocket = 0;
  m_bSkipCableBuild = 1;
  m_vecTailPoints.clear();
  if (m_pSubPlayer) m_pSubPlayer->Disable(0);
  Enable(0);
  if (m_pCableMesh) m_pCableMesh->SetVisibility(0, 0, 0);
  if (m_pSubPlayer) FollowSubPlayer();
  AttachCamera(GetMesh(0));
  CallScriptFunction("OnDeActivateSocketSetMonster");
  m_pSubPlayer = nullptr;
  m_bSocketEnabled = 0;
}
