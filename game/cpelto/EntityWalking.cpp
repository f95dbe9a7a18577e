#include "cpelto/EntityWalking.h"

#include <tinyxml.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ZKDXInterface.h"
#include "cpelto/GameMaths.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PeltoWall.h"
#include "framework/CorePort.h"
#include "framework/Logger.h"
#include "framework/Path.h"
#include "framework/PathSearch.h"
#include "framework/ScriptEvent.h"
#include "framework/Substring.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;
// The keyed path turns the entity only when its heading strays further than this.
constexpr float kMaxPathHeadingError = 10.0f * kRadiansPerDegree;
// A path point further than this from the last one applied is a jump (a path that starts over):
// the entity keeps the last position until the path comes back near it.
constexpr float kMaxPathJump = 2.0f;
constexpr float kPathDirectionStep = 0.01f;
constexpr float kPathStartDirectionStep = 0.008f;
constexpr float kDefaultTimeOnPath = 100.0f;
constexpr DWORD kLinearBehaviour = 5;
constexpr DWORD kLookForPlayerOn = 1;
constexpr DWORD kLookForPlayerOff = 0;
constexpr int kMotionChannels = 6;
constexpr UINT kLocalPosition = 1;

const char* const kEntityProperties[] = {
    "ScriptPositionX",  "ScriptPositionY", "ScriptPositionZ",     "EntityPath", "PostPathBehaviour",
    "PrePathBehaviour", "TimeOnPath",      "LookAndFollowPlayer", "ConstAxis",  "Velocity",
    "AddToCollisions",  "EntityType",      "SocketDistance",      "SocketType", "MaxDistanceToSee"};

struct BehaviourName {
  const char* szName;
  DWORD dwBehaviour;
};
const BehaviourName kBehaviours[] = {
    {"linear", 5}, {"offsetrepeat", 4}, {"oscillate", 3}, {"repeat", 2}, {"constant", 1}};

int Truncate(float f) { return static_cast<int>(f); }

// The walk grid of one search, as the search's callbacks read it. Diagonal moves are off and a
// step costs the height difference it climbs.
struct WalkGrid {
  const BYTE* pCells;
  int nWidth;
  int nHeight;

  bool Inside(int x, int z) const { return x >= 0 && z >= 0 && x < nWidth && z < nHeight; }
  BYTE At(int x, int z) const { return pCells[static_cast<size_t>(z) * nWidth + x]; }

  static int Valid(gePathNode* pParent, gePathNode* pCell, int, void* pData) {
    const auto* pGrid = static_cast<const WalkGrid*>(pData);
    if (!pGrid->Inside(pCell->x, pCell->y) ||
        pGrid->At(pCell->x, pCell->y) == CPeltoLevel::kBlocked)
      return 0;
    return pCell->x == pParent->x || pCell->y == pParent->y ? 1 : 0;
  }
  static double Cost(gePathNode* pParent, gePathNode* pCell, int, void* pData) {
    const auto* pGrid = static_cast<const WalkGrid*>(pData);
    return std::abs(static_cast<int>(pGrid->At(pCell->x, pCell->y)) -
                    static_cast<int>(pGrid->At(pParent->x, pParent->y))) +
           1.0;
  }
  static double Heuristic(gePathNode* pGoal, gePathNode* pCell, int, void*) {
    return std::abs(static_cast<double>(pGoal->y) - pCell->y) +
           std::abs(static_cast<double>(pGoal->x) - pCell->x);
  }
};

DWORD BehaviourByName(const std::string& strName) {
  for (const BehaviourName& behaviour : kBehaviours)
    if (strName == behaviour.szName) return behaviour.dwBehaviour;
  return kLinearBehaviour;
}

D3DXQUATERNION YawPitchRoll(float fHeading, float fPitch, float fBank) {
  D3DXQUATERNION q;
  D3DXQuaternionRotationYawPitchRoll(&q, fHeading, fPitch, fBank);
  return q;
}

D3DXVECTOR3 Rotate(const D3DXVECTOR3& v, const D3DXQUATERNION& q) {
  D3DXMATRIX rotation;
  D3DXMatrixRotationQuaternion(&rotation, &q);
  return TransformPoint(v, rotation);
}

}  // namespace

CEntityWalking::CEntityWalking(geCBaseNode* pParent) : geCRenderableObject(pParent) {}

CEntityWalking::~CEntityWalking() {
  if (m_pPath) m_pPath->Release();
  m_pPath = nullptr;
}

size_t CEntityWalking::GetClassSize() const { return sizeof(CEntityWalking); }

const char* CEntityWalking::GetClassName() const { return "CEntityWalking"; }

bool CEntityWalking::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CEntityWalking") || geCRenderableObject::IsKindOf(szClassName);
}

void CEntityWalking::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  for (const char* szName : kEntityProperties) m_Properties.Register(szName);
}

void CEntityWalking::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  m_fSpeedFactor = 1.0f;
  m_bScriptPause = 0;
  m_vecPosition = CPeltoWall::ReadPlacement(m_Properties);
  ReadAngles();
  m_qInitialOrientation = AnglesRotation();
  m_qRotation = m_qPathOrientation = m_qInitialOrientation;
  m_nFollowPlayer = m_Properties.GetInteger("LookAndFollowPlayer");
  m_nMaxWayLength = m_Properties.GetInteger("MaxDistanceToSee");

  if (!MasterNull())
    g_GameLogger.Log("Top level WARRNING!! NULL Object \"master_null\" NOT Found\n");
  ApplyTransform(m_vecPosition, m_qRotation);

  if (IsGiven("AddToCollisions") && m_Properties.GetInteger("AddToCollisions") == 1)
    if (CPeltoLevel* pLevel = Level()) pLevel->AddMovableObject(this);

  m_nConstAxis = IsGiven("ConstAxis") ? m_Properties.GetInteger("ConstAxis") : -1;
  m_fVelocity = IsGiven("Velocity") ? m_Properties.GetFloat("Velocity") : 1.0f;
  m_fFramesPerSecond *= m_fVelocity;
  m_nFacingIndex = 0;
  if (IsGiven("EntityPath")) ReadPath();
  m_nTouchingPlayer = 0;
  m_nFollowState = kFollowIdle;
}

void CEntityWalking::ReadAngles() {
  m_fHeading = m_Properties.GetFloat("InitRotH") * kRadiansPerDegree;
  m_fPitch = m_Properties.GetFloat("InitRotP") * kRadiansPerDegree;
  m_fBank = m_Properties.GetFloat("InitRotB") * kRadiansPerDegree;
}

D3DXQUATERNION CEntityWalking::AnglesRotation() const {
  return YawPitchRoll(m_fHeading, m_fPitch, m_fBank);
}

void CEntityWalking::ReadPath() {
  const std::string strPath = m_Properties.GetString("EntityPath");
  std::vector<CVector3> points;
  for (DWORD i = 0;; ++i) {
    const std::string strKey = GetSubstring(strPath, i, ';');
    if (strKey.empty()) {
      // An empty field between separators is skipped; the text ends at the first one past it.
      if (GetSubstring(strPath, i + 1, ';').empty()) break;
      continue;
    }
    const float x = static_cast<float>(std::atof(GetSubstring(strKey, 0, ':').c_str()));
    const float z = static_cast<float>(std::atof(GetSubstring(strKey, 1, ':').c_str()));
    // Through the cell centres; the path keys z negated.
    points.emplace_back(x + 0.5f, 0.0f, -z - 0.5f);
  }
  if (points.size() < 2) {
    g_GameLogger.Log("  - WARNING: Skipping path with only one or less key\n");
    return;
  }
  m_nPrePathBehaviour =
      static_cast<int>(BehaviourByName(m_Properties.GetString("PrePathBehaviour")));
  m_nPostPathBehaviour =
      static_cast<int>(BehaviourByName(m_Properties.GetString("PostPathBehaviour")));
  // The pre behaviour of the level file goes after the last key and the post behaviour before
  // the first: the path is never read before its start, so only "PrePathBehaviour" shows.
  if (m_pPath) m_pPath->Release();
  m_pPath = new geCPath(static_cast<DWORD>(m_nPrePathBehaviour),
                        static_cast<DWORD>(m_nPostPathBehaviour));
  m_pPath->AddRef();
  if (IsGiven("TimeOnPath")) {
    m_fTimeOnPath = m_Properties.GetFloat("TimeOnPath");
  } else {
    m_fTimeOnPath = kDefaultTimeOnPath;
    g_GameLogger.Log("- WARNING: TimeOnPath property not set, setting default value (=100.0f)\n");
  }
  m_pPath->m_fDuration = m_fTimeOnPath;
  m_pPath->Build(std::move(points), geCPath::kModeUniform);
  m_vecPathStartPoint = m_pPath->GetPointAt(0.0f);
  m_vecPathStartDirection = m_pPath->GetDirectionAt(0.0f, kPathStartDirectionStep) * -1.0f;
}

// ---- the transform ----------------------------------------------------------------------------

CNullInterface* CEntityWalking::MasterNull() const { return FindNullByName("master_null", 0); }

void CEntityWalking::ApplyTransform(const CVector3& position, const D3DXQUATERNION& rotation) {
  if (CNullInterface* pNull = MasterNull()) {
    pNull->SetPosition(position);
    pNull->SetAdditionalTransformation(rotation.x, rotation.y, rotation.z, rotation.w);
  } else if (CMeshInterface* pBody = GetBodyMesh()) {
    pBody->SetPosition(position);
    pBody->SetAdditionalTransformation(rotation.x, rotation.y, rotation.z, rotation.w);
  }
}

CVector3 CEntityWalking::GetAppliedPosition() const {
  // The position as set, not as the last matrix pass left it: a step that ends this frame has
  // already moved the entity onto its new cell.
  CVector3 position = m_vecPosition;
  if (CNullInterface* pNull = MasterNull())
    pNull->GetPosition(&position, kLocalPosition);
  else if (CMeshInterface* pBody = GetBodyMesh())
    pBody->GetPosition(&position, kLocalPosition);
  return position;
}

void CEntityWalking::SetPosition(float x, float y, float z) { m_vecPosition = CVector3(x, y, z); }

void CEntityWalking::SetRotation(const CVector3& angles) {
  m_fHeading = angles.x;
  m_fPitch = angles.y;
  m_fBank = angles.z;
  m_qRotation = AnglesRotation();
  m_qInitialOrientation = m_qPathOrientation = m_qRotation;
  ApplyTransform(GetAppliedPosition(), m_qRotation);
}

CVector3 CEntityWalking::GetRotation() const {
  CVector3 angles;
  if (CNullInterface* pNull = MasterNull())
    pNull->GetRotation(&angles, 0);
  else if (CMeshInterface* pBody = GetBodyMesh())
    pBody->GetRotation(&angles, 0);
  return angles;
}

void CEntityWalking::SetCarried(DWORD dwCarried, const CVector3& offset) {
  m_dwCarried = dwCarried;
  m_vecCarriedOffset = offset;
}

void CEntityWalking::Pause() {
  if (m_pPath && m_pPath->m_pTimer) m_pPath->m_pTimer->Pause();
  m_Animations.SetStopped(1);
  m_bScriptPause = 1;
}

void CEntityWalking::Resume() {
  if (m_pPath && m_pPath->m_pTimer) m_pPath->m_pTimer->Resume();
  // The animation's elapsed time is taken from its start time at every read, so clearing the
  // flag lets it go on from the current game time.
  m_Animations.SetStopped(0);
  m_bScriptPause = 0;
}

// ---- the level and the player -----------------------------------------------------------------

CPeltoLevel* CEntityWalking::Level() {
  CPeltoLevel* pLevel = FindPeltoLevel(this);
  if (!pLevel && !m_bWarnedNoLevel)
    g_GameLogger.Log("WARNING: walking entity '%s' found no level\n", GetName());
  m_bWarnedNoLevel |= !pLevel;
  return pLevel;
}

CPeltoPlayer* CEntityWalking::Player() {
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  if (!pPlayer && !m_bWarnedNoPlayer)
    g_GameLogger.Log("WARNING: walking entity '%s' found no player\n", GetName());
  m_bWarnedNoPlayer |= !pPlayer;
  return pPlayer;
}

// ---- frame passes -----------------------------------------------------------------------------

void CEntityWalking::Update(geSUpdateArgument* pArg) {
  CTimerInterface* pPathClock = m_pPath ? m_pPath->m_pTimer : nullptr;
  if (m_bFirstTimeUpdate) {
    if (pPathClock) {
      pPathClock->Resume();
      pPathClock->Reset();
    }
    m_nTouchingPlayer = 0;
    m_nFacingIndex = 0;
    m_fTurnProgress = 0;
    m_dwCarried = 0;
    m_nFollowState = kFollowIdle;
    geCRenderableObject::Update(pArg);
    return;
  }
  // The game object's timer follows the game's pause in the base update below; the path clock
  // follows it here, one step ahead of the state that update keeps.
  const bool bGamePaused = geGetCorePort().IsGamePaused();
  if (pPathClock && bGamePaused && !m_bTimerPaused) pPathClock->Pause();
  if (pPathClock && !bGamePaused && m_bTimerPaused) pPathClock->Resume();
  // Scripts may change the angles through the properties.
  ReadAngles();
  if (m_nFollowPlayer && !m_bScriptPause) FollowPlayerStep(pArg);
  if (CPeltoPlayer* pPlayer = Player())
    TestPlayerContact(pPlayer);
  else
    m_nTouchingPlayer = 0;
  geCRenderableObject::Update(pArg);
}

void CEntityWalking::TestPlayerContact(CPeltoPlayer* pPlayer) {
  CMeshInterface* pBox = FindMeshByName("collision_box", 0);
  m_nTouchingPlayer =
      PlayerTouchesMeshes(pPlayer, pBox ? std::vector<CMeshInterface*>{pBox} : m_vMeshes) ? 1 : 0;
  if (m_nTouchingPlayer) RaiseFoundCollision(this, pPlayer);
}

DWORD CEntityWalking::SearchPathToPlayer() {
  if (m_bFirstTimeUpdate) return 0;
  // In contact the last way found stays.
  if (m_nTouchingPlayer) return 1;
  CPeltoLevel* pLevel = Level();
  CPeltoPlayer* pPlayer = Player();
  if (!pLevel || !pPlayer) return 0;
  const CVector3 from = GetAppliedPosition();
  const CVector3& to = pPlayer->GetPosition();
  WalkGrid grid{pLevel->BuildWalkGrid(), static_cast<int>(pLevel->GetMapWidth()),
                static_cast<int>(pLevel->GetMapHeight())};
  const int nStartX = Truncate(from.x), nStartZ = Truncate(from.z);
  // The step costs read the cell the entity stands on.
  if (!grid.pCells || !grid.Inside(nStartX, nStartZ)) return 0;

  geCPathSearch search;
  search.pfnValid = &WalkGrid::Valid;
  search.pfnCost = &WalkGrid::Cost;
  search.pfnHeuristic = &WalkGrid::Heuristic;
  search.pCallbackData = &grid;
  search.dwStepBudgetFactor = pLevel->GetMapHeight();
  search.nRowLength = grid.nWidth;
  if (!search.Search(nStartX, nStartZ, Truncate(to.x), Truncate(to.z))) return 0;

  int nCount = 0;
  for (const gePathNode* pNode = search.pBest; pNode; pNode = pNode->pParent) ++nCount;
  if (nCount == 0 || (m_nMaxWayLength > 0 && nCount > m_nMaxWayLength)) return 0;
  // A longer way is kept by its first cells, those nearest the entity.
  m_nGridPathLength = nCount < kMaxGridPath ? nCount : kMaxGridPath;
  int nIndex = nCount - 1;
  for (const gePathNode* pNode = search.pBest; pNode; pNode = pNode->pParent, --nIndex)
    if (nIndex < kMaxGridPath)
      m_aGridPath[nIndex] =
          CVector3(static_cast<float>(pNode->x), 0.0f, static_cast<float>(pNode->y));
  return 1;
}

D3DXVECTOR3 CEntityWalking::FacingAxis(int nFacingIndex) const {
  static const D3DXVECTOR3 kAxes[4] = {{1, 0, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 0, 1}};
  return Rotate(kAxes[nFacingIndex & 3], m_qInitialOrientation);
}

void CEntityWalking::FollowPlayerStep(geSUpdateArgument* pArg) {
  if (m_nFollowState != kFollowIdle) {
    float fStep = m_fVelocity * m_fSpeedFactor * (pArg ? pArg->m_fDeltaTime : 0.0f);
    if (m_fStepProgress + fStep > 1.0f) fStep = 1.0f - m_fStepProgress;
    m_fStepProgress += fStep;
    if (m_nFollowState == kFollowForward) {
      const D3DXVECTOR3 axis = FacingAxis(m_nFacingIndex);
      m_vecPosition = m_vecPosition + CVector3(axis.x, axis.y, axis.z) * fStep;
    } else {
      m_fTurnProgress = std::fmin(m_fTurnProgress + fStep, 1.0f);
      const float fAngle = m_nFollowState == kFollowTurnLeft ? kHalfPi : -kHalfPi;
      const D3DXQUATERNION turned =
          MultiplyQuaternions(m_qTurnStart, YawPitchRoll(fAngle, 0.0f, 0.0f));
      D3DXQuaternionSlerp(&m_qRotation, &m_qTurnStart, &turned, m_fTurnProgress);
    }
    ApplyTransform(m_vecPosition, m_qRotation);
    if (m_fStepProgress >= 1.0f) {
      if (m_nFollowState == kFollowTurnLeft) m_nFacingIndex = (m_nFacingIndex + 1) & 3;
      if (m_nFollowState == kFollowTurnRight) m_nFacingIndex = (m_nFacingIndex + 3) & 3;
      m_nFollowState = kFollowIdle;
    }
  }
  if (m_nFollowState == kFollowIdle && SearchPathToPlayer()) ChooseNextMove();
}

void CEntityWalking::ChooseNextMove() {
  // A way of one cell: the entity stands on the player's cell and has nowhere to go.
  if (m_nGridPathLength < 2) return;
  const int nCellX = Truncate(m_vecPosition.x), nCellZ = Truncate(m_vecPosition.z);
  const CVector3& next = m_aGridPath[1];
  const D3DXVECTOR3 facing = FacingAxis(m_nFacingIndex);
  // Ahead, right, left and behind, with the move each asks for; a later match wins.
  struct Candidate {
    float fAngle;
    int nState;
  };
  const Candidate candidates[] = {{0.0f, kFollowForward},
                                  {-kHalfPi, kFollowTurnRight},
                                  {kHalfPi, kFollowTurnLeft},
                                  {kPi, kFollowTurnLeft}};
  m_nFollowState = kFollowTurnRight;
  for (const Candidate& candidate : candidates) {
    const D3DXVECTOR3 step = TransformPoint(facing, RotationAboutVertical(candidate.fAngle));
    // Axis steps are whole cells; rounding keeps the rotation's float error out of the cell.
    const int nX = nCellX + static_cast<int>(std::lround(step.x));
    const int nZ = nCellZ + static_cast<int>(std::lround(step.z));
    if (static_cast<float>(nX) == next.x && static_cast<float>(nZ) == next.z)
      m_nFollowState = candidate.nState;
  }
  m_qTurnStart = m_qRotation;
  m_fStepProgress = 0;
  m_fTurnProgress = 0;
}

void CEntityWalking::TurnPathOrientation(const D3DXVECTOR3& direction) {
  const D3DXVECTOR3 heading = Rotate(D3DXVECTOR3(1, 0, 0), m_qPathOrientation);
  const float fAngle =
      std::acos(std::fmax(-1.0f, std::fmin(1.0f, D3DXVec3Dot(&heading, &direction))));
  if (!(fAngle > kMaxPathHeadingError)) return;
  const D3DXVECTOR3 cross = CrossProduct(heading, direction);
  D3DXVECTOR3 axis(0, 1, 0);
  if (m_nConstAxis >= 1 && m_nConstAxis <= 3) {
    axis = D3DXVECTOR3(m_nConstAxis == 1 ? 1.0f : 0.0f, m_nConstAxis == 2 ? 1.0f : 0.0f,
                       m_nConstAxis == 3 ? 1.0f : 0.0f);
    if (cross.y < 0) axis = -axis;
  } else if (D3DXVec3Length(&cross) > 1e-6f) {
    // The cross product carries the turn's sense itself.
    D3DXVec3Normalize(&axis, &cross);
  }
  D3DXQUATERNION turn;
  D3DXQuaternionRotationAxis(&turn, &axis, fAngle);
  m_qPathOrientation = MultiplyQuaternions(m_qPathOrientation, turn);
}

void CEntityWalking::Process(geSUpdateArgument* pArg) {
  if (m_bFirstTimeUpdate) {
    if (m_pPath && m_pPath->m_pTimer) m_pPath->m_pTimer->Reset();
    return;
  }
  if (m_pScriptContext) {
    static const char* const kFunction = "CEntityWalking_PreUpdatePosition";
    if (AngelScript::asIScriptFunction* pFunction =
            geFindScriptFunction(m_strScriptModuleName.c_str(), kFunction))
      if (geRunScriptEvent(m_pScriptContext, pFunction,
                           {"geCBaseNode", true, static_cast<geCBaseNode*>(this)}) < 0)
        g_ScriptLogger.Log("Unexpected error during script execution (calling %s() function\n",
                           kFunction);
  }

  CVector3 pathPosition;
  if (m_pPath) {
    const float fTime = (m_pPath->m_pTimer ? m_pPath->m_pTimer->GetTime() : 0.0f) * m_fSpeedFactor;
    pathPosition = m_pPath->GetPointAt(fTime);
    const CVector3 direction = m_pPath->GetDirectionAt(fTime, kPathDirectionStep);
    TurnPathOrientation(D3DXVECTOR3(direction.x, direction.y, direction.z));
  }

  const D3DXQUATERNION angles = AnglesRotation();
  const bool bMasterNull = MasterNull() != nullptr;
  CVector3 motionOffset;
  D3DXQUATERNION motionRotation(0, 0, 0, 1);
  CMeshInterface* pBody = bMasterNull ? nullptr : GetBodyMesh();
  if (CMotionInterface* pMotion = pBody ? pBody->GetMotion(m_fFrame * m_fSpeedFactor) : nullptr) {
    float afChannels[kMotionChannels] = {};
    for (int i = 0; i < kMotionChannels; ++i)
      if (CChannelEnvelopeInterface* pChannel = pMotion->GetChannel(static_cast<UINT>(i)))
        afChannels[i] = pChannel->GetValue();
    motionOffset = CVector3(afChannels[0], afChannels[1], afChannels[2]);
    motionRotation = YawPitchRoll(afChannels[3], afChannels[4], afChannels[5]);
  }

  CVector3 position;
  D3DXQUATERNION rotation;
  if (m_pPath) {
    position = pathPosition + motionOffset;
    if ((position - m_vecPathStartPoint).Length() > kMaxPathJump) position = m_vecPathStartPoint;
    m_vecPathStartPoint = position;
    rotation = MultiplyQuaternions(
        MultiplyQuaternions(MultiplyQuaternions(angles, motionRotation), m_qInitialOrientation),
        m_qPathOrientation);
  } else if (m_nFollowPlayer) {
    position = m_vecPosition;
    rotation = m_qRotation;
  } else {
    position = m_vecPosition + motionOffset;
    rotation = MultiplyQuaternions(angles, motionRotation);
  }
  if (m_dwCarried) position = position + m_vecCarriedOffset;
  ApplyTransform(position, rotation);
  geCRenderableObject::Process(pArg);
}

void CEntityWalking::ProcessMessage(geMessage* pMessage) {
  if (!pMessage || std::strcmp(pMessage->pszName, "LookForPlayer") != 0) return;
  if (pMessage->MessageID == kLookForPlayerOn) m_nFollowPlayer = 1;
  if (pMessage->MessageID == kLookForPlayerOff) m_nFollowPlayer = 0;
}
