#include "cpelto/GameCamera.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ZKDXInterface.h"
#include "cpelto/CellMapFile.h"
#include "cpelto/LevelObjects.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "framework/InputState.h"
#include "framework/Logger.h"
#include "framework/Properties.h"

namespace cpelto {

namespace {

constexpr UINT kBehaviourConstant = 1;
constexpr UINT kWorldSpace = 0;
constexpr UINT kLocalSpace = 1;
// Channel keys must follow each other in time, so a glide takes at least this long.
constexpr float kShortestGlide = 0.001f;
const CVector3 kDefaultPosition(0.0f, 2.0f, 0.0f);

const char* const kCameraProperties[] = {"Velocity", "ChangePositionTime", "HeightMap",
                                         "InitX",    "InitY",              "InitZ"};

bool KeyDown(DWORD dwKey) { return g_dwCurrentKeys[dwKey].load(std::memory_order_relaxed) != 0; }

bool ButtonDown(int nVirtualKey) { return (GetAsyncKeyState(nVirtualKey) & 0x8000) != 0; }

float& Axis(CVector3& v, int nAxis) { return nAxis == 0 ? v.x : nAxis == 1 ? v.y : v.z; }
float Axis(const CVector3& v, int nAxis) { return nAxis == 0 ? v.x : nAxis == 1 ? v.y : v.z; }

// The cell index of a coordinate, kept inside 0 .. count - 1 (count > 0).
DWORD ClampedCell(float fCoordinate, DWORD dwCount) {
  const float fLast = static_cast<float>(dwCount - 1);
  // NaN fails both comparisons and reads as cell 0.
  const float fClamped = fCoordinate >= 0.0f ? std::min(fCoordinate, fLast) : 0.0f;
  return static_cast<DWORD>(fClamped);
}

}  // namespace

CCamera::CCamera(geCBaseNode* pParent) : geCRenderableObject(pParent) {
  SetName("GameCamera");
  if (m_pTimer) m_pTimer->Resume();
  Enable(1);
}

CCamera::~CCamera() { FreeEnvelopes(); }

size_t CCamera::GetClassSize() const { return sizeof(CCamera); }

const char* CCamera::GetClassName() const { return "CCamera"; }

bool CCamera::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CCamera") || geCRenderableObject::IsKindOf(szClassName);
}

void CCamera::RegisterProperties() {
  geCRenderableObject::RegisterProperties();
  for (const char* szName : kCameraProperties) m_Properties.Register(szName);
}

void CCamera::Configure(TiXmlElement* pElement) {
  geCRenderableObject::Configure(pElement);
  m_fGlideTime =
      IsGiven("ChangePositionTime") ? m_Properties.GetFloat("ChangePositionTime") : kDefaultGlideTime;
  if (!(m_fGlideTime >= kShortestGlide)) {
    g_GameLogger.Log("WARNING: camera glide time %f too short, using %f s\n", m_fGlideTime,
                     kShortestGlide);
    m_fGlideTime = kShortestGlide;
  }
  CVector3 initial = kDefaultPosition;
  const char* const kInit[] = {"InitX", "InitY", "InitZ"};
  for (int nAxis = 0; nAxis < 3; ++nAxis)
    if (IsGiven(kInit[nAxis])) Axis(initial, nAxis) = m_Properties.GetFloat(kInit[nAxis]);
  CreateEnvelopes(initial);
  m_vecCurrentPosition = m_vecTargetPosition = initial;

  const std::string strMap = IsGiven("HeightMap") ? m_Properties.GetString("HeightMap") : "";
  CPeltoLevel* pLevel = FindLevel();
  m_dwMapWidth = pLevel ? pLevel->GetMapWidth() : 0;
  m_dwMapHeight = pLevel ? pLevel->GetMapHeight() : 0;
  m_vCameraMap.clear();
  if (!strMap.empty() && strMap.find(".cmap") == std::string::npos) LoadCameraMap(strMap.c_str());
}

void CCamera::CreateEnvelopes(const CVector3& initial) {
  FreeEnvelopes();
  if (!g_pZeKorb) return;
  for (int nAxis = 0; nAxis < 3; ++nAxis) {
    CChannelEnvelopeInterface* pEnvelope = g_pZeKorb->CreateChannelEnvelope();
    if (!pEnvelope) continue;
    m_pEnvelopes[nAxis] = pEnvelope;
    pEnvelope->SetPreBehaviour(kBehaviourConstant);
    pEnvelope->SetPostBehaviour(kBehaviourConstant);
    CKeyInterface* pStart = pEnvelope->CreateKey();
    CKeyInterface* pEnd = pEnvelope->CreateKey();
    const float fValue = Axis(initial, nAxis);
    const float fTimes[2] = {0.0f, m_fGlideTime};
    CKeyInterface* pKeys[2] = {pStart, pEnd};
    for (int i = 0; i < 2; ++i) {
      if (!pKeys[i]) continue;
      pKeys[i]->SetKeyTime(fTimes[i]);
      pKeys[i]->SetKeyValue(fValue);
      // A key the channel refuses stays ours to free.
      if (!pEnvelope->AddKey(pKeys[i])) {
        delete pKeys[i];
        pKeys[i] = nullptr;
      }
    }
    m_pStartKeys[nAxis] = pKeys[0];
    m_pEndKeys[nAxis] = pKeys[1];
  }
}

void CCamera::FreeEnvelopes() {
  // The channels own their keys.
  for (int nAxis = 0; nAxis < 3; ++nAxis) {
    delete m_pEnvelopes[nAxis];
    m_pEnvelopes[nAxis] = nullptr;
    m_pStartKeys[nAxis] = m_pEndKeys[nAxis] = nullptr;
  }
}

void CCamera::LoadCameraMap(const char* szFile) {
  if (m_dwMapWidth == 0 || m_dwMapHeight == 0) {
    g_GameLogger.Log("WARNING: camera map '%s' not loaded, the level has no map size\n", szFile);
    return;
  }
  std::vector<char> codes;
  if (!ReadCellMapFile(szFile, "camera map", m_dwMapWidth, m_dwMapHeight, codes)) return;
  m_vCameraMap.resize(m_dwMapHeight);
  for (DWORD y = 0; y < m_dwMapHeight; ++y) {
    const auto first = codes.begin() + static_cast<std::ptrdiff_t>(y) * m_dwMapWidth;
    m_vCameraMap[y].assign(first, first + m_dwMapWidth);
  }
}

CPeltoLevel* CCamera::FindLevel() { return FindPeltoLevel(this); }

CCameraInterface* CCamera::LevelCamera() {
  CPeltoLevel* pLevel = FindLevel();
  CSceneInterface* pScene = pLevel ? pLevel->GetOwnerScene() : nullptr;
  return pScene ? pScene->GetCamera(0) : nullptr;
}

void CCamera::StartGlide(CCameraInterface* pCamera, float fNow) {
  m_fGlideStartTime = fNow;
  if (!pCamera) return;
  CVector3 present;
  pCamera->GetPosition(&present, kWorldSpace);
  for (int nAxis = 0; nAxis < 3; ++nAxis)
    if (m_pStartKeys[nAxis]) m_pStartKeys[nAxis]->SetKeyValue(Axis(present, nAxis));
}

void CCamera::SetCameraPosition(const CVector3& target) {
  if (m_bHold) return;
  m_vecTargetPosition = target;
  m_cCurrentMark = kPlainMark;
  StartGlide(LevelCamera(), geGetCorePort().GetGlobalArg()->m_fCurrentTime);
  for (int nAxis = 0; nAxis < 3; ++nAxis)
    if (m_pEndKeys[nAxis]) m_pEndKeys[nAxis]->SetKeyValue(Axis(m_vecTargetPosition, nAxis));
}

bool CCamera::MouseCameraActive() const {
  return KeyDown(kKeyLeftShift) && g_pCoreProperties &&
         g_pCoreProperties->IsRegistred("ActiveMouseCamera") &&
         g_pCoreProperties->GetInteger("ActiveMouseCamera") != 0;
}

void CCamera::Update(geSUpdateArgument* pArg) {
  geCRenderableObject::Update(pArg);
  const float fNow = pArg ? pArg->m_fCurrentTime : 0.0f;
  if (m_bFirstTimeUpdate) {
    m_fGlideStartTime = fNow;
    m_cCurrentMark = kPlainMark;
  }
  CCameraInterface* pCamera = LevelCamera();
  if (MouseCameraActive()) {
    UpdateMouseCamera(pCamera, pArg ? pArg->m_fDeltaTime : 0.0f);
    return;
  }
  if (KeyDown(kKeyLeftShift) || m_vCameraMap.size() < 2) {
    if (!m_bHold && pCamera) {
      pCamera->SetPosition(m_vecTargetPosition);
      m_vecCurrentPosition = m_vecTargetPosition;
    }
    return;
  }
  if (m_bHold) return;
  FollowCameraMap(pCamera, fNow);
  Glide(pCamera, fNow);
}

void CCamera::UpdateMouseCamera(CCameraInterface* pCamera, float fDeltaTime) {
  if (!pCamera) return;
  const bool bLeft = ButtonDown(VK_LBUTTON);
  const bool bRight = ButtonDown(VK_RBUTTON);
  const bool bMiddle = ButtonDown(VK_MBUTTON);
  // Moves are made on the camera's own position, so a camera hung on a parent moves as well.
  CVector3 position;
  pCamera->GetPosition(&position, kLocalSpace);

  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  CMeshInterface* pBody = pPlayer ? pPlayer->GetMesh(0) : nullptr;
  if (pBody) {
    CVector3 body, camera;
    pBody->GetPosition(&body, kWorldSpace);
    pCamera->GetPosition(&camera, kWorldSpace);
    CVector3 toPlayer = body - camera;
    toPlayer.z = 0.0f;
    const float fDistance = toPlayer.Length();
    toPlayer.Normalize();
    const CVector3 step = toPlayer * (kMouseCameraSpeed * fDeltaTime);
    if (KeyDown(kKeyZoomIn) || (bRight && !bLeft)) {
      if (fDistance > kClosestZoom) position = position + step;
    } else if (KeyDown(kKeyZoomOut) || (bLeft && !bRight)) {
      position = position - step;
    }
  }

  if (bLeft || bRight || bMiddle) {
    POINT cursor = {};
    HWND hWindow = g_pZeKorb ? g_pZeKorb->GetWindowHandle() : nullptr;
    const ZeKorbConfig* pConfig = g_pZeKorb ? g_pZeKorb->GetConfiguration() : nullptr;
    if (pConfig && GetCursorPos(&cursor) && ScreenToClient(hWindow, &cursor) && cursor.x > 0 &&
        cursor.y > 0 && cursor.x < pConfig->wWidth && cursor.y < pConfig->wHeight) {
      const LONG lLastY = m_lastCursorY.value_or(cursor.y);
      if (cursor.y > lLastY + 1)
        position.y -= kMouseCameraSpeed * fDeltaTime;
      else if (cursor.y < lLastY - 1)
        position.y += kMouseCameraSpeed * fDeltaTime;
      m_lastCursorY = cursor.y;
    }
  }
  pCamera->SetPosition(position);
  m_vecCurrentPosition = position;
}

void CCamera::FollowCameraMap(CCameraInterface* pCamera, float fNow) {
  CPeltoPlayer* pPlayer = CPeltoPlayer::FindGamePlayer(this);
  if (!pPlayer) return;
  if (pPlayer->m_pSubPlayer) pPlayer = pPlayer->m_pSubPlayer;
  const CVector3 behind = pPlayer->GetPosition() - pPlayer->GetFacingVector();
  const DWORD dwColumn = ClampedCell(behind.x, m_dwMapWidth);
  const DWORD dwRow = ClampedCell(behind.z, m_dwMapHeight);
  const char cMark = m_vCameraMap[dwRow][dwColumn];
  if (cMark == m_cCurrentMark || m_bCameraMapDisabled) return;
  m_cCurrentMark = cMark;
  StartGlide(pCamera, fNow);
  const bool bPlain = cMark == kPlainMark;
  if (m_pEndKeys[1])
    m_pEndKeys[1]->SetKeyValue(m_vecTargetPosition.y + (bPlain ? 0.0f : kMarkedLift));
  if (m_pEndKeys[0]) m_pEndKeys[0]->SetKeyValue(bPlain ? m_vecTargetPosition.x : kMarkedX);
}

void CCamera::Glide(CCameraInterface* pCamera, float fNow) {
  CVector3 position;
  for (int nAxis = 0; nAxis < 3; ++nAxis) {
    CChannelEnvelopeInterface* pEnvelope = m_pEnvelopes[nAxis];
    if (!pEnvelope) return;
    pEnvelope->EvalEnvelope(fNow - m_fGlideStartTime);
    Axis(position, nAxis) = pEnvelope->GetValue();
  }
  m_vecCurrentPosition = position;
  if (pCamera) pCamera->SetPosition(position);
}

}  // namespace cpelto
