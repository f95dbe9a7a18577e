#include "cpelto/PeltoLevel.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZKDXInterface.h"
#include "cpelto/CellMapFile.h"
#include "cpelto/MovableObject.h"
#include "cpelto/PeltoCore.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PeltoWall.h"
#include "cpelto/PlayerCorePort.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "framework/FontManager.h"
#include "framework/InputState.h"
#include "framework/Message.h"
#include "framework/Logger.h"
#include "framework/Properties.h"

namespace {

// One grid for the whole program: path searches read it after the level that built it.
std::vector<BYTE>& WalkGrid() {
  static std::vector<BYTE> grid;
  return grid;
}

int IntAttribute(const TiXmlElement* pElement, const char* szName) {
  const char* szValue = pElement ? pElement->Attribute(szName) : nullptr;
  return szValue ? std::atoi(szValue) : 0;
}

const char* TextAttribute(const TiXmlElement* pElement, const char* szName) {
  const char* szValue = pElement ? pElement->Attribute(szName) : nullptr;
  return szValue ? szValue : "";
}

// A core property that holds a value which reads as true.
bool CoreSwitchOn(const char* szName) {
  if (!g_pCoreProperties) return false;
  const geCVariant value = g_pCoreProperties->Get(szName);
  return value.GetType() != geCVariant::TYPE_EMPTY && value.AsBool();
}

std::string FormatCoordinate(float f) {
  char szText[32];
  snprintf(szText, sizeof szText, "%3.3f", f);
  return szText;
}

// Position, diffuse colour and one texture coordinate pair.
struct GridVertex {
  float x, y, z;
  DWORD dwColour;
  float u, v;
};
constexpr DWORD kGridVertexFormat = 0x142;
constexpr DWORD kGridColour = 0x33FFFFFF;
constexpr DWORD kFirstCellColour = 0xFFFF0000;
constexpr UINT kRenderStateAlphaBlend = 27;
constexpr UINT kTransformView = 2;
constexpr UINT kTransformProjection = 3;
constexpr UINT kTransformWorld = 256;
constexpr UINT kClearDepth = 2;
constexpr UINT kLineList = 2;

int Truncate(float f) { return static_cast<int>(f); }

int Clamp(int n, DWORD dwSize) {
  if (n < 0) return 0;
  return static_cast<DWORD>(n) >= dwSize ? static_cast<int>(dwSize) - 1 : n;
}

bool KeyHeld(DWORD dwKey) { return dwKey < kKeyTableSize && g_dwCurrentKeys[dwKey] != 0; }

bool KeyPressed(DWORD dwKey) { return KeyHeld(dwKey) && g_dwLastKeys[dwKey] != 1; }

const KeyBindings& GameKeys() { return GetPlayerCorePort().GetKeyBindings(); }

bool PropertyOn(const geCProperties* pProperties, const char* szName) {
  return pProperties && pProperties->IsRegistred(szName) && pProperties->Get(szName).AsBool();
}

}  // namespace

CPeltoLevel::CPeltoLevel(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  SetName("CPeltoLevel");
  m_Properties.RegisterAndSet("CanMoveObjects", geCVariant(0));
}

CPeltoLevel::~CPeltoLevel() = default;

size_t CPeltoLevel::GetClassSize() const { return sizeof(CPeltoLevel); }

const char* CPeltoLevel::GetClassName() const { return "CPeltoLevel"; }

bool CPeltoLevel::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CPeltoLevel") || geCRenderableObject::IsKindOf(szClassName);
}

void CPeltoLevel::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  for (const char* szName :
       {"FinishMouseRotationH", "FinishMouseRotationP", "FinishMouseRotationB"})
    m_Properties.RegisterAndSet(szName, geCVariant(0.0f));
}

void CPeltoLevel::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  // The element's name would hide the level from the nodes that look it up by its own name.
  SetName("CPeltoLevel");
  m_dwFlags |= kFlagEnabled;
  SetFlag(kFlagNoRenderList, false);
  Load(pElement);
  m_dwInputStopped = 0;
  m_dwAllowedMoves = kAllMoves;
  EnsureCameras();
}

void CPeltoLevel::EnsureCameras() {
  if (!m_pScene) return;
  // Camera 2 is used below, so there must be three of them.
  while (m_pScene->GetNumberOfCameras() < 3)
    if (!m_pScene->AddCamera()) return;
  for (UINT uCamera : {1u, 2u})
    if (CCameraInterface* pCamera = m_pScene->GetCamera(uCamera))
      pCamera->SetRotation(CVector3(0.0f, 0.0f, 0.0f));
}

bool CPeltoLevel::Load(TiXmlElement* pElement) {
  TiXmlElement* pMap = pElement ? pElement->FirstChildElement("map") : nullptr;
  const std::string strElementFile = TextAttribute(pMap, "file");
  const std::string strCollisionFile = TextAttribute(pMap, "collides");
  ReadElementTypes(pElement);
  if (!CreateCellGrid(IntAttribute(pMap, "Width"), IntAttribute(pMap, "Height"))) return false;

  std::vector<char> elementCodes;
  std::vector<char> collisionCodes;
  if (!ReadMapFile(strElementFile.c_str(), elementCodes) ||
      !ReadMapFile(strCollisionFile.c_str(), collisionCodes)) {
    m_dwWidth = m_dwHeight = 0;
    m_vCells.clear();
    return false;
  }
  m_vElementMap.assign(elementCodes.begin(), elementCodes.end());
  m_vCollisionMap.assign(m_vElementMap.size(), 0);
  m_vDynamicCollision.assign(m_vElementMap.size(), 0);

  m_pWallsNode = new geCBaseNode(this);
  m_pWallsNode->SetName("AllWallsNode");
  m_pWallsNode->Disable(1);
  CreateWalls(collisionCodes);
  WalkGrid().assign(m_vCollisionMap.size(), 0);
  if (CoreSwitchOn("MergeMap")) MergeWalls();
  if (g_pCoreProperties && g_pCoreProperties->IsRegistred("CleanLevelAfterLoad") &&
      g_pCoreProperties->GetBoolean("CleanLevelAfterLoad"))
    RemoveChild(m_pWallsNode.Get());
  FinishScene();
  return true;
}

void CPeltoLevel::ReadElementTypes(TiXmlElement* pElement) {
  m_vElementTypes.clear();
  for (TiXmlElement* pType = pElement ? pElement->FirstChildElement("element_types") : nullptr;
       pType; pType = pType->NextSiblingElement("element_types")) {
    ElementType type;
    type.nID = static_cast<signed char>(TextAttribute(pType, "id")[0]);
    strncpy(type.szFile, TextAttribute(pType, "file"), sizeof type.szFile - 1);
    m_vElementTypes.push_back(type);
    m_mapMerge.try_emplace(type.szFile);
  }
}

bool CPeltoLevel::CreateCellGrid(int nWidth, int nHeight) {
  // A second load keeps the first dimensions.
  if (m_dwWidth != 0 || m_dwHeight != 0) return true;
  if (nWidth <= 0 || nHeight <= 0 || nWidth > static_cast<int>(kMaxMapSide) ||
      nHeight > static_cast<int>(kMaxMapSide)) {
    g_GameLogger.Log("ERROR: level map size %d x %d refused (1 to %u cells a side)\n", nWidth,
                     nHeight, kMaxMapSide);
    return false;
  }
  m_dwWidth = static_cast<DWORD>(nWidth);
  m_dwHeight = static_cast<DWORD>(nHeight);
  m_vCells.assign(static_cast<size_t>(m_dwWidth) * m_dwHeight, CellRecord());
  return true;
}

bool CPeltoLevel::ReadMapFile(const char* szFile, std::vector<char>& codes) const {
  return ReadCellMapFile(szFile, "level map", m_dwWidth, m_dwHeight, codes);
}

void CPeltoLevel::CreateWalls(const std::vector<char>& collisionCodes) {
  for (DWORD y = 0; y < m_dwHeight; ++y) {
    for (DWORD x = 0; x < m_dwWidth; ++x) {
      const size_t uIndex = static_cast<size_t>(y) * m_dwWidth + x;
      CellRecord& cell = m_vCells[uIndex];
      cell.pWallNode = nullptr;
      const unsigned char uCode = static_cast<unsigned char>(m_vElementMap[uIndex]);
      for (const ElementType& type : m_vElementTypes) {
        if (static_cast<int>(uCode) != type.nID) continue;
        cell.pWallNode = CreateWall(static_cast<int>(x), static_cast<int>(y), type);
        break;
      }
      cell.dwWalkable = collisionCodes[uIndex] == '0' ? 1 : 0;
      m_vCollisionMap[uIndex] = cell.dwWalkable ? 0 : kBlocked;
    }
  }
}

geCBaseNode* CPeltoLevel::CreateWall(int x, int y, const ElementType& type) {
  char szName[20];
  snprintf(szName, sizeof szName, "box_%d_%d", x, y);
  TiXmlElement& node = m_lWallElements.emplace_back("Node");
  node.SetAttribute("Name", szName);
  node.SetAttribute("Type", "PeltoWall");
  TiXmlElement look("Param");
  look.SetAttribute("File", type.szFile);
  look.SetAttribute("Directory", "");
  look.SetAttribute("RenderPriority", "1");
  look.SetAttribute("Enabled", "0");
  node.InsertEndChild(look);
  TiXmlElement place("Param");
  place.SetAttribute("InitX", FormatCoordinate(static_cast<float>(x)).c_str());
  place.SetAttribute("InitY", FormatCoordinate(0.0f).c_str());
  place.SetAttribute("InitZ", FormatCoordinate(static_cast<float>(y)).c_str());
  node.InsertEndChild(place);
  return m_pWallsNode->CreateChildFromXML(&node);
}

void CPeltoLevel::MergeWalls() {
  g_GameLogger.Log("-Merging walls and floors...\n");
  for (DWORD i = 0; i < m_pWallsNode->GetNodesCount(); ++i) {
    auto* pWall = dynamic_cast<geCGameObject*>(m_pWallsNode->GetNode(i));
    if (!pWall) continue;
    auto found = m_mapMerge.find(pWall->GetProperties()->GetString("File"));
    if (found == m_mapMerge.end()) continue;
    MergeEntry& entry = found->second;
    CMeshInterface* pMesh = pWall->GetMesh(0);
    const CVector3 position = CPeltoWall::ReadPlacement(*pWall->GetProperties());
    if (!entry.pMasterMesh) {
      entry.pMasterMesh = pMesh;
      entry.masterPosition = position;
    } else if (pMesh && pMesh != entry.pMasterMesh) {
      CMatrix offset = CMatrix::Identity();
      offset._41 = position.x - entry.masterPosition.x;
      offset._42 = position.y - entry.masterPosition.y;
      offset._43 = position.z - entry.masterPosition.z;
      // A merge the engine refuses (too many vertices) leaves the wall as it is; an accepted
      // one frees the wall's mesh, which the wall must no longer reach.
      if (entry.pMasterMesh->Merge(pMesh, 1, nullptr, &offset))
        if (auto* pPeltoWall = dynamic_cast<CPeltoWall*>(pWall)) pPeltoWall->ForgetMesh(pMesh);
      entry.pMasterMesh->SetVisibility(1, 0, 0);
    }
  }
  if (m_pScene) {
    for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
      CMeshInterface* pMesh = m_pScene->GetMesh(i);
      g_GameLogger.Log("->'%s': Surfaces: %d\n", pMesh->GetName() ? pMesh->GetName() : "",
                       pMesh->GetNumberOfSurfaces());
    }
  }
  g_GameLogger.Log("-Done.\n");
}

void CPeltoLevel::FinishScene() {
  if (!m_pScene) return;
  m_pScene->ApplyDefaultShader(nullptr, nullptr, nullptr);
  m_pScene->SetAsActiveScene();
  m_pScene->SetFrame(0.0f);
  m_pScene->PrepareMatrices();
  m_pScene->UpdateHierarchy();
}

void CPeltoLevel::ToMapPosition(CVector3*) {}

bool CPeltoLevel::InsideGrid(int x, int y) const {
  return x >= 0 && y >= 0 && static_cast<DWORD>(x) < m_dwWidth &&
         static_cast<DWORD>(y) < m_dwHeight && !m_vCollisionMap.empty();
}

BYTE CPeltoLevel::GetCollisionMapAt(int x, int y) const {
  return InsideGrid(x, y) ? m_vCollisionMap[static_cast<size_t>(y) * m_dwWidth + x] : kBlocked;
}

DWORD CPeltoLevel::GetElementMapAt(int x, int y) const {
  return InsideGrid(x, y) ? m_vElementMap[static_cast<size_t>(y) * m_dwWidth + x] : 0;
}

BYTE CPeltoLevel::GetDynamicCollisionAt(int x, int y) const {
  return InsideGrid(x, y) ? m_vDynamicCollision[static_cast<size_t>(y) * m_dwWidth + x] : 0;
}

const CPeltoLevel::CellRecord* CPeltoLevel::GetCell(int x, int y) const {
  return InsideGrid(x, y) ? &m_vCells[static_cast<size_t>(y) * m_dwWidth + x] : nullptr;
}

void CPeltoLevel::SetCollisionByPos(float x, float y, int nValue) {
  const int nX = Truncate(x), nY = Truncate(y);
  if (!InsideGrid(nX, nY)) return;
  m_vDynamicCollision[static_cast<size_t>(nY) * m_dwWidth + nX] = static_cast<BYTE>(nValue);
}

BYTE* CPeltoLevel::GetWalkGrid() { return WalkGrid().empty() ? nullptr : WalkGrid().data(); }

BYTE* CPeltoLevel::BuildWalkGrid() {
  std::vector<BYTE>& grid = WalkGrid();
  grid = m_vCollisionMap;
  if (grid.empty()) return nullptr;
  for (geCBaseNode* pNode : m_vMovableObjects) {
    auto* pObject = dynamic_cast<geCGameObject*>(pNode);
    CMeshInterface* pMesh = pObject && pObject->IsEnabled() ? pObject->GetMesh(0) : nullptr;
    if (!pMesh || !pMesh->GetVisibleByCollisions() || !pMesh->GetVisibleByCameras()) continue;
    CVector3 position;
    pMesh->GetPosition(&position, 0);
    const int x = Clamp(Truncate(position.x), m_dwWidth);
    const int y = Clamp(Truncate(position.z), m_dwHeight);
    grid[static_cast<size_t>(y) * m_dwWidth + x] = kBlocked;
  }
  for (size_t i = 0; i < grid.size(); ++i)
    if (m_vDynamicCollision[i]) grid[i] = kBlocked;
  return grid.data();
}

void CPeltoLevel::DrawGrid() {
  CD3D9RendererInterface* pRenderer = g_pZeKorb ? g_pZeKorb->GetD3DRendererInterface() : nullptr;
  if (!pRenderer || !m_pScene) return;
  const float fWidth = static_cast<float>(m_dwWidth), fHeight = static_cast<float>(m_dwHeight);
  std::vector<GridVertex> vertices;
  vertices.reserve(2 * (static_cast<size_t>(m_dwWidth) + m_dwHeight + 6));
  auto segment = [&vertices](float x1, float y, float z1, float x2, float z2, DWORD dwColour) {
    vertices.push_back({x1, y, z1, dwColour, 0.0f, 0.0f});
    vertices.push_back({x2, y, z2, dwColour, 0.0f, 0.0f});
  };
  for (DWORD x = 0; x <= m_dwWidth; ++x)
    segment(static_cast<float>(x), 0.0f, 0.0f, static_cast<float>(x), fHeight, kGridColour);
  for (DWORD y = 0; y <= m_dwHeight; ++y)
    segment(0.0f, 0.0f, static_cast<float>(y), fWidth, static_cast<float>(y), kGridColour);
  const float fAbove = 0.001f;
  segment(0.0f, fAbove, 1.0f, 1.0f, 1.0f, kFirstCellColour);
  segment(1.0f, fAbove, 1.0f, 1.0f, 0.0f, kFirstCellColour);
  segment(1.0f, fAbove, 0.0f, 0.0f, 0.0f, kFirstCellColour);
  segment(0.0f, fAbove, 0.0f, 0.0f, 1.0f, kFirstCellColour);

  pRenderer->SetRenderState(kRenderStateAlphaBlend, 1);
  if (CCameraInterface* pCamera = m_pScene->GetCamera(m_pScene->GetActiveCameraNumber())) {
    pRenderer->SetTransform(kTransformView, pCamera->GetCurrentWorld2CameraMatrix());
    pRenderer->SetTransform(kTransformProjection, pCamera->GetProjectionMatrix());
  }
  const CMatrix identity = CMatrix::Identity();
  pRenderer->SetTransform(kTransformWorld, &identity);
  if (CVertexDeclarationStorageInterface* pDeclarations =
          pRenderer->GetVertexDeclarationStorageInterface())
    pDeclarations->SetFVF(kGridVertexFormat);
  pRenderer->Clear(kClearDepth, 0);
  const UINT uSegments = static_cast<UINT>(vertices.size() / 2);
  pRenderer->DrawPrimitive(kLineList, uSegments, 2 * uSegments, vertices.data(),
                           sizeof(GridVertex));
}

void CPeltoLevel::Update(geSUpdateArgument* pArg) {
  if (m_bFirstTimeUpdate) ShowCollisionBoxes();
  geCRenderableObject::Update(pArg);
  if (m_dwInputStopped || geGetCorePort().IsGamePaused()) return;
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  if (!pPlayer) return;
  const KeyBindings& keys = GameKeys();
  const DWORD dwPlayerID = pPlayer->GetID();
  if (pPlayer->m_dwState == CPeltoPlayer::kStateStop ||
      pPlayer->m_dwState == CPeltoPlayer::kStateIdle)
    TrySteps(dwPlayerID);
  if (KeyPressed(keys.rotate_left) && (m_dwAllowedMoves & 4))
    PostToPlayer("MouseLeft", 3, dwPlayerID);
  else if (KeyPressed(keys.rotate_right) && (m_dwAllowedMoves & 8))
    PostToPlayer("MouseRight", 4, dwPlayerID);
  if (KeyPressed(keys.shoot) && (m_dwAllowedMoves & 8))
    PostToPlayer("MouseOnSocket", 10, dwPlayerID);
}

void CPeltoLevel::TrySteps(DWORD dwPlayerID) {
  const KeyBindings& keys = GameKeys();
  if (KeyHeld(keys.move_forward) && (m_dwAllowedMoves & 1)) {
    if (TryMove(this, kMoveForward, 0))
      PostToPlayer("MouseForward", 1, dwPlayerID);
    else
      PostToPlayer("MouseForward", 7, dwPlayerID);
  } else if (KeyHeld(keys.move_back) && (m_dwAllowedMoves & 2)) {
    if (TryMove(this, kMoveBack, 0))
      PostToPlayer("MouseBack", 2, dwPlayerID);
    else
      PostToPlayer("MouseForward", 7, dwPlayerID);
  } else if (KeyHeld(keys.strite_right) && (m_dwAllowedMoves & 16)) {
    if (TryMove(this, kMoveRight, 0)) PostToPlayer("MouseStrafeRight", 5, dwPlayerID);
  } else if (KeyHeld(keys.strite_left) && (m_dwAllowedMoves & 32)) {
    if (TryMove(this, kMoveLeft, 0)) PostToPlayer("MouseStrafeLeft", 6, dwPlayerID);
  }
}

void CPeltoLevel::PostToPlayer(const char* szName, DWORD dwMessageID, DWORD dwPlayerID) {
  geGetCorePort().PostMessage(szName, GetID(), dwPlayerID, dwMessageID, 0);
}

void CPeltoLevel::ShowCollisionBoxes() {
  if (!g_pCoreProperties || !g_pCoreProperties->IsRegistred("ShowBBox") || !m_pScene) return;
  const UINT bShow = g_pCoreProperties->Get("ShowBBox").AsBool() ? 1 : 0;
  for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
    CMeshInterface* pMesh = m_pScene->GetMesh(i);
    const char* szName = pMesh ? pMesh->GetName() : nullptr;
    if (szName && strcmp(szName, "collision_box") == 0) pMesh->SetVisibility(bShow, 1, 1);
  }
}

void CPeltoLevel::ProcessMessage(geMessage* pMessage) {
  geCRenderableObject::ProcessMessage(pMessage);
  if (pMessage->MessageID != kStopInputMessage) return;
  if (pMessage->dwData == 0) m_dwInputStopped = 1;
  if (pMessage->dwData == 1 && g_pGameCore) g_pGameCore->SetFlag(geCGameCore::kFlagQuit, true);
}

namespace {

void ShowDebugText(int nObjectX, int nObjectZ, int nTargetX, int nTargetZ) {
  geCTexturedFont* pFont = g_pGameCore ? g_pGameCore->GetFontManager().GetFont(g_dwDefaultFontID)
                                       : nullptr;
  if (!pFont) return;
  char szText[64];
  snprintf(szText, sizeof szText, "%d,%d, %d,%d", nObjectX, nObjectZ, nTargetX, nTargetZ);
  pFont->AddText(0.1f, 0.4f, szText);
}

// Pushes the movable objects standing on the target or the start cell one step along the
// facing; all of them move, or none does.
bool PushMovables(CPeltoLevel* pLevel, CPeltoPlayer* pPlayer, const CVector3& step, int nStartX,
                  int nStartZ, int nTargetX, int nTargetZ) {
  struct Push {
    CMovableObject* pObject;
    int nToX, nToZ;
  };
  std::vector<Push> pushes;
  const bool bCanMoveObjects = PropertyOn(pLevel->GetProperties(), "CanMoveObjects");
  const BYTE* pWalkGrid = pLevel->BuildWalkGrid();
  const DWORD dwWidth = pLevel->GetMapWidth(), dwHeight = pLevel->GetMapHeight();
  bool bAllFree = true;
  for (geCBaseNode* pNode : pLevel->GetMovableObjects()) {
    if (!pNode->IsKindOf("CMovableObject")) continue;
    auto* pObject = static_cast<CMovableObject*>(pNode);
    const CVector3& at = *pObject->GetPosition();
    const int nX = Truncate(at.x), nZ = Truncate(at.z);
    if (!(nX == nTargetX && nZ == nTargetZ) && !(nX == nStartX && nZ == nStartZ)) continue;
    const int nToX = Clamp(Truncate(static_cast<float>(nX) + 0.5f + step.x), dwWidth);
    const int nToZ = Clamp(Truncate(static_cast<float>(nZ) + 0.5f + step.z), dwHeight);
    if (bCanMoveObjects && pWalkGrid &&
        pWalkGrid[static_cast<size_t>(nToZ) * dwWidth + nToX] != CPeltoLevel::kBlocked) {
      pushes.push_back({pObject, nToX, nToZ});
      continue;
    }
    bAllFree = false;
    if (bCanMoveObjects) pPlayer->CallScriptFunction("OnCantStartMovingMovable");
  }
  if (!bAllFree) return false;
  for (const Push& push : pushes) {
    push.pObject->StartMove(nStartX, nStartZ, push.nToX, push.nToZ);
    pPlayer->CallScriptFunction("OnStartMovingMovable");
  }
  return true;
}

// False when a movable object stands on the target cell; objects are only pushed forward.
bool TargetFreeOfMovables(CPeltoLevel* pLevel, int nTargetX, int nTargetZ) {
  bool bFree = true;
  for (geCBaseNode* pNode : pLevel->GetMovableObjects()) {
    if (!pNode->IsKindOf("CMovableObject")) continue;
    const CVector3& at = *static_cast<CMovableObject*>(pNode)->GetPosition();
    const int nX = Truncate(at.x), nZ = Truncate(at.z);
    ShowDebugText(nX, nZ, nTargetX, nTargetZ);
    if (nX == nTargetX && nZ == nTargetZ) bFree = false;
  }
  return bFree;
}

}  // namespace

bool TryMove(CPeltoLevel* pLevel, BYTE byDirection, BYTE bDoubleStep) {
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(pLevel);
  if (!pLevel || !pPlayer) return false;
  if (pPlayer->m_pSubPlayer) pPlayer = pPlayer->m_pSubPlayer;
  const bool bMiniLevel = PropertyOn(g_pCoreProperties, "LoadedMiniLevel");
  const float fLength = bDoubleStep ? 2.0f : 1.0f;
  CVector3 position = pPlayer->m_vecPosition;
  pLevel->ToMapPosition(&position);
  const int nStartX = Truncate(position.x), nStartZ = Truncate(position.z);
  if (byDirection < kMoveForward || byDirection > kMoveLeft) return false;
  const CVector3 step = pPlayer->StepDirection(byDirection) * fLength;
  const CVector3 target = position + step;
  const DWORD dwWidth = pLevel->GetMapWidth(), dwHeight = pLevel->GetMapHeight();
  if (!bMiniLevel && (target.x < 0.0f || target.x > static_cast<float>(dwWidth) - 1.0f ||
                      target.z < 0.0f || target.z > static_cast<float>(dwHeight) - 1.0f))
    return false;
  const int nTargetX = Clamp(Truncate(target.x), dwWidth);
  const int nTargetZ = Clamp(Truncate(target.z), dwHeight);
  const bool bFree =
      byDirection == kMoveForward
          ? PushMovables(pLevel, pPlayer, step, nStartX, nStartZ, nTargetX, nTargetZ)
          : TargetFreeOfMovables(pLevel, nTargetX, nTargetZ);
  const CPeltoLevel::CellRecord* pCell = pLevel->GetCell(nTargetX, nTargetZ);
  return bFree && pCell && pCell->dwWalkable && pLevel->GetDynamicCollisionAt(nTargetX, nTargetZ) == 0;
}
