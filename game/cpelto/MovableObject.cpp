#include "cpelto/MovableObject.h"

#include "ZKDXInterface.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PeltoWall.h"
#include "framework/GameCore.h"
#include "framework/Logger.h"

namespace {
constexpr float kRadiansPerDegree = 0.017453292f;
}  // namespace

CMovableObject::CMovableObject(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  CPeltoLevel* pLevel = FindPeltoLevel(this);
  if (pLevel)
    pLevel->AddMovableObject(this);
  else
    // Without a level nothing can push the object; it still shows and reports contact.
    g_GameLogger.Log("WARNING: movable object found no level to join\n");
}

size_t CMovableObject::GetClassSize() const { return sizeof(CMovableObject); }

const char* CMovableObject::GetClassName() const { return "CMovableObject"; }

bool CMovableObject::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMovableObject") || geCRenderableObject::IsKindOf(szClassName);
}

void CMovableObject::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  m_vecPosition = CPeltoWall::ReadPlacement(m_Properties);
  m_fHeading = m_Properties.GetFloat("InitRotH") * kRadiansPerDegree;
  m_fPitch = m_Properties.GetFloat("InitRotP") * kRadiansPerDegree;
  m_fBank = m_Properties.GetFloat("InitRotB") * kRadiansPerDegree;
  m_qRotation = CPeltoWall::ReadOrientation(m_Properties);
  m_qInitialRotation = m_qRotation;
  if (CMeshInterface* pMesh = GetMesh(0)) CPeltoWall::PlaceMesh(pMesh, m_vecPosition, m_qRotation);
}

void CMovableObject::StartMove(int nFromX, int nFromZ, int nToX, int nToZ) {
  if (m_dwMoving) return;
  m_vecMove = CVector3(static_cast<float>(nToX - nFromX), 0.0f, static_cast<float>(nToZ - nFromZ));
  m_dwMoving = 1;
  m_nFromX = nFromX;
  m_nFromZ = nFromZ;
  m_nToX = nToX;
  m_nToZ = nToZ;
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  m_fSpeed = pPlayer ? pPlayer->m_fVelocity : 1.0f;
  m_fTravelled = 0.0f;
}

void CMovableObject::Update(geSUpdateArgument* pArg) {
  if (g_pGameCore && g_pGameCore->GetInputResetRequest()) return;
  geCRenderableObject::Update(pArg);
  if (m_dwMoving) Slide(pArg->m_fDeltaTime);
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  if (!pPlayer) {
    if (!m_bWarnedNoPlayer)
      g_GameLogger.Log("WARNING: movable object '%s' found no player\n", GetName());
    m_bWarnedNoPlayer = true;
    m_dwTouchingPlayer = 0;
    return;
  }
  m_dwTouchingPlayer = PlayerTouchesMeshes(pPlayer, m_vMeshes) ? 1 : 0;
  if (m_dwTouchingPlayer) RaiseFoundCollision(this, pPlayer);
}

void CMovableObject::Slide(float fDeltaTime) {
  const CVector3 step = m_vecMove * (m_fSpeed * fDeltaTime);
  m_fTravelled += step.Length();
  m_vecPosition = m_vecPosition + step;
  if (m_fTravelled >= 1.0f) {
    m_dwMoving = 0;
    m_vecPosition.x = static_cast<float>(m_nToX) + 0.5f;
    m_vecPosition.z = static_cast<float>(m_nToZ) + 0.5f;
  }
  if (CMeshInterface* pMesh = GetMesh(0)) pMesh->SetPosition(m_vecPosition);
}
