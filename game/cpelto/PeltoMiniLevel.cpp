#include "cpelto/PeltoMiniLevel.h"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "ZKDXInterface.h"
#include "cpelto/EntityWalking.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/MenuText.h"
#include "cpelto/PeltoFurniture.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/GameCore.h"
#include "framework/Logger.h"

namespace {

constexpr UINT kWorldSpace = 0;

// The generation index of a world Z: whole generations of `dwHeight` rows from Z = 0, none
// below it.
DWORD GenerationIndex(float fZ, DWORD dwHeight) {
  if (!(fZ > 0.0f)) return 0;
  const double dIndex = std::floor(static_cast<double>(fZ) / dwHeight);
  return dIndex >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(dIndex);
}

// Sets the text of the menu text node of that name, when there is one; the debug lines are
// optional and no other kind of node takes text.
void ShowDebugLine(geCBaseNode* pFrom, const char* szNode, const char* szFormat, ...) {
  auto* pText = dynamic_cast<CMenuText*>(FindInTree(pFrom, szNode));
  if (!pText) return;
  char szText[127];
  va_list args;
  va_start(args, szFormat);
  vsnprintf(szText, sizeof szText, szFormat, args);
  va_end(args);
  pText->SetText(szText);
}

// A facing component that points along its axis (+1) or against it (-1).
bool Along(float fComponent) { return fComponent >= 0.9f && fComponent <= 1.1f; }
bool Against(float fComponent) { return fComponent >= -1.1f && fComponent <= -0.9f; }

}  // namespace

CPeltoMiniLevel::CPeltoMiniLevel(geCBaseNode* pParent) : CPeltoLevel(pParent) {
  SetName("CPeltoLevel");
}

CPeltoMiniLevel::~CPeltoMiniLevel() = default;

bool CPeltoMiniLevel::Load(TiXmlElement* pElement) {
  for (Generation& generation : m_aGenerations) generation.clear();
  m_bLayoutAccepted = false;
  if (!CPeltoLevel::Load(pElement) || !AcceptLayout(pElement)) return false;
  FillGenerations();
  m_bLayoutAccepted = true;
  return true;
}

bool CPeltoMiniLevel::AcceptLayout(TiXmlElement* pElement) {
  TiXmlElement* pMap = pElement ? pElement->FirstChildElement("map") : nullptr;
  int nGenerationHeight = 0;
  if (pMap) pMap->Attribute("GenerationHeight", &nGenerationHeight);
  // Every row above row 0 must fall into one of the three generations, each at least a row high.
  const uint64_t uRows = GetMapHeight() - 1;
  if (nGenerationHeight <= 0 ||
      uRows > static_cast<uint64_t>(kGenerations) * static_cast<uint64_t>(nGenerationHeight)) {
    g_GameLogger.Log(
        "ERROR: mini level refused: GenerationHeight %d does not split rows 1 to %u into %u "
        "generations\n",
        nGenerationHeight, GetMapHeight() - 1, kGenerations);
    m_dwGenerationHeight = 0;
    return false;
  }
  m_dwGenerationHeight = static_cast<DWORD>(nGenerationHeight);
  return true;
}

void CPeltoMiniLevel::FillGenerations() {
  for (DWORD y = 1; y < GetMapHeight(); ++y) {
    GenerationRow row;
    row.reserve(GetMapWidth());
    for (DWORD x = 0; x < GetMapWidth(); ++x) {
      const CellRecord* pCell = GetCell(static_cast<int>(x), static_cast<int>(y));
      row.push_back(pCell ? pCell->pWallNode : nullptr);
    }
    m_aGenerations[(y - 1) / m_dwGenerationHeight].push_back(std::move(row));
  }
}

void CPeltoMiniLevel::ToMapPosition(CVector3* pPosition) {
  if (!pPosition || !m_bLayoutAccepted) return;
  const float fOriginalZ = pPosition->z;
  const DWORD dwIndex = GenerationIndex(pPosition->z, m_dwGenerationHeight);
  if (dwIndex >= kGenerations)
    pPosition->z -= static_cast<float>(static_cast<double>(kGenerations) * m_dwGenerationHeight *
                                       (dwIndex / kGenerations));
  if (pPosition->z > 0.0f && pPosition->z < 1.0f) pPosition->z += 1.0f;
  ShowDebugLine(this, "LINE_3", "OrgZ=%3.3f, AfterZ=%3.3f", fOriginalZ, pPosition->z);
}

void CPeltoMiniLevel::Update(geSUpdateArgument* pArg) {
  if (g_pGameCore && g_pGameCore->GetInputResetRequest()) {
    m_dwCurrentGeneration = 0;
    return;
  }
  UpdateMoveMask();
  CPeltoLevel::Update(pArg);
  DetachCamera();
  if (!m_bLayoutAccepted) return;
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  CMeshInterface* pPlayerMesh = pPlayer ? pPlayer->GetMesh(0) : nullptr;
  if (!pPlayerMesh) return;
  CVector3 playerAt;
  pPlayerMesh->GetPosition(&playerAt, kWorldSpace);
  const DWORD dwGeneration = GenerationIndex(playerAt.z, m_dwGenerationHeight);
  const DWORD dwPrevious = m_dwCurrentGeneration;
  m_dwCurrentGeneration = dwGeneration;
  if (dwGeneration >= 2 && dwGeneration != dwPrevious) MoveOnGeneration(dwGeneration);
}

void CPeltoMiniLevel::UpdateDeferred(geSUpdateArgument*) {}

void CPeltoMiniLevel::MoveOnGeneration(DWORD dwGeneration) {
  const DWORD dwMoved = (dwGeneration - 2) % kGenerations;
  ShowDebugLine(this, "LINE_2", "Gen=%d, Moved=%d", static_cast<int>(dwGeneration),
                static_cast<int>(dwMoved));
  const float fLift = static_cast<float>(GetMapHeight() - 1);
  LiftWalls(m_aGenerations[dwMoved], fLift);
  CarryEntities(dwGeneration, fLift);
  LiftFurniture(dwGeneration, fLift);
}

void CPeltoMiniLevel::LiftWalls(const Generation& generation, float fLift) {
  for (const GenerationRow& row : generation)
    for (geCBaseNode* pNode : row) {
      auto* pWall = dynamic_cast<geCGameObject*>(pNode);
      CMeshInterface* pMesh = pWall ? pWall->GetMesh(0) : nullptr;
      if (!pMesh) continue;
      CVector3 at;
      pMesh->GetPosition(&at, kWorldSpace);
      at.z += fLift;
      pMesh->SetPosition(at);
    }
}

void CPeltoMiniLevel::CarryEntities(DWORD dwGeneration, float fLift) {
  // An entity reaching one row into the next generation still goes with this one.
  const double dFrom = (static_cast<double>(dwGeneration) - 2.0) * m_dwGenerationHeight;
  const double dTo = (static_cast<double>(dwGeneration) - 1.0) * m_dwGenerationHeight + 1.0;
  const CVector3 offset(0.0f, 0.0f, static_cast<float>((dwGeneration + 1) / kGenerations) * fLift);
  for (DWORD i = 0; i < GetNodesCount(); ++i) {
    auto* pEntity = dynamic_cast<CEntityWalking*>(GetNode(i));
    CMeshInterface* pMesh = pEntity ? pEntity->GetMesh(0) : nullptr;
    if (!pMesh) continue;
    CVector3 at;
    pMesh->GetPosition(&at, kWorldSpace);
    if (at.z < dFrom || at.z >= dTo) continue;
    pEntity->SetCarried(1, offset);
    pMesh->SetVisibility(1, 1, 1);
    RaiseNodeEvent(this, "OnNextGeneration", this);
  }
}

void CPeltoMiniLevel::LiftFurniture(DWORD dwGeneration, float fLift) {
  const double dFrom = (static_cast<double>(dwGeneration) - 2.0) * m_dwGenerationHeight;
  const double dTo = (static_cast<double>(dwGeneration) - 1.0) * m_dwGenerationHeight;
  for (DWORD i = 0; i < GetNodesCount(); ++i) {
    auto* pFurniture = dynamic_cast<CPeltoFurniture*>(GetNode(i));
    if (!pFurniture) continue;
    CNullInterface* pNull = pFurniture->FindNullByName("master_null", 0);
    CMeshInterface* pBody = pNull ? nullptr : pFurniture->GetBodyMesh();
    CVector3 at;
    if (pNull)
      pNull->GetPosition(&at, kWorldSpace);
    else if (pBody)
      pBody->GetPosition(&at, kWorldSpace);
    else
      continue;
    if (at.z < dFrom || at.z >= dTo) continue;
    at.z += fLift;
    if (pNull)
      pNull->SetPosition(at);
    else
      pBody->SetPosition(at);
  }
}

void CPeltoMiniLevel::UpdateMoveMask() {
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  if (!pPlayer) return;
  const CVector3 facing = pPlayer->GetFacingVector();
  DWORD dwMoves = kAllMoves;
  if (Along(facing.z))
    dwMoves = kMovesFacingPlusZ;
  else if (Against(facing.z))
    dwMoves = kMovesFacingMinusZ;
  else if (Against(facing.x))
    dwMoves = kMovesFacingMinusX;
  else if (Along(facing.x))
    dwMoves = kMovesFacingPlusX;
  SetAllowedMoves(dwMoves);
}

void CPeltoMiniLevel::DetachCamera() {
  CPeltoLevel* pLevel = FindPeltoLevel(this);
  CSceneInterface* pScene = pLevel ? pLevel->GetOwnerScene() : nullptr;
  CCameraInterface* pCamera = pScene ? pScene->GetCamera(0) : nullptr;
  if (!pCamera || !pCamera->GetParentObject(1)) return;
  CVector3 at;
  pCamera->GetPosition(&at, kWorldSpace);
  pCamera->SetParent(nullptr);
  pCamera->SetPosition(at);
}
