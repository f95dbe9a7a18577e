#include "cpelto/PeltoPlayer.h"

#include <d3dx9math.h>

#include <cstdlib>

#include "ZKDXInterface.h"
#include "cpelto/GameMaths.h"
#include "cpelto/PeltoWall.h"
#include "framework/Logger.h"
#include "framework/Substring.h"

namespace {
constexpr float kCameraTilt = 1.5707964f;

float Truncate(float f) { return static_cast<float>(static_cast<int>(f)); }
}  // namespace

CPeltoPlayer::CPeltoPlayer(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  m_dwFlags = (m_dwFlags & ~kFlagNoScenePasses) | kFlagWithShaders;
}

CPeltoPlayer* CPeltoPlayer::FindGamePlayer(geCBaseNode* pNode) {
  while (pNode && pNode->GetParent()) pNode = pNode->GetParent();
  return pNode ? dynamic_cast<CPeltoPlayer*>(pNode->GetNodeByName("GamePlayer", 0)) : nullptr;
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
  m_fVelocity = IsGiven("Velocity") ? m_Properties.GetFloat("Velocity") : 1.0f;
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
