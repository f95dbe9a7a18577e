#include "framework/GameObject.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>

#include "TonarisInterface.h"
#include "ZKDXInterface.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "framework/GameCore.h"
#include "framework/Logger.h"
#include "framework/StatisticsTable.h"
#include "framework/TonarisManager.h"

namespace {

// World-object kinds moved into an ancestor's scene: meshes and nulls.
constexpr UINT kMergedKinds = WORLD_OBJECT_MESH | WORLD_OBJECT_NULL;
constexpr DWORD kClearDepth = 2;
constexpr DWORD kMaxAncestorSteps = 1000;

// Property names of game objects, in registration order.
const char* const kGameObjectProperties[] = {
    "File",     "Directory", "RenderPriority", "NotMergeWithParent", "WithoutShaders", "BodyMesh",
    "InitRotH", "InitRotP",  "InitRotB",       "InitX",              "InitY",          "InitZ"};

const char* WithOrWithout(DWORD dwFlags) {
  return (dwFlags & geCGameObject::kFlagWithShaders) ? "with" : "without";
}

const char* Text(const char* szText) { return szText ? szText : ""; }

void SetObjectFrame(CWorldObjectInterface* pObject, float fFrame, UINT dwRecurse) {
  switch (pObject->GetWorldObjectType()) {
    case WORLD_OBJECT_MESH:
      static_cast<CMeshInterface*>(pObject)->SetFrame(fFrame, dwRecurse);
      break;
    case WORLD_OBJECT_NULL:
      static_cast<CNullInterface*>(pObject)->SetFrame(fFrame, dwRecurse);
      break;
    default:
      break;
  }
}

// The n-th (from 0) object of the list whose name is exactly the given one.
template <class T>
T* NthNamed(const std::vector<T*>& vObjects, const char* szName, DWORD dwIndex) {
  for (T* pObject : vObjects) {
    if (!pObject || std::strcmp(Text(pObject->GetName()), szName) != 0) continue;
    if (dwIndex-- == 0) return pObject;
  }
  return nullptr;
}

// Lists the scene's objects of one kind with their topmost parents, logging each by the line.
template <class T, class GetObject>
void ListSceneObjects(DWORD dwCount, GetObject getObject, std::vector<T*>& vObjects,
                      std::vector<CWorldObjectInterface*>& vParents, const char* szLine) {
  vObjects.assign(dwCount, nullptr);
  vParents.assign(dwCount, nullptr);
  for (DWORD i = 0; i < dwCount; ++i) {
    vObjects[i] = getObject(i);
    vParents[i] = vObjects[i]->GetTopmostParent();
    g_GameLogger.Log(szLine, Text(vObjects[i]->GetName()));
  }
}

}  // namespace

geCGameObject::geCGameObject(geCBaseNode* pParent) : geCBaseNode(pParent) {
  SetFlag(kFlagWithShaders, geGetCorePort().UsesShaders());
  if (g_pZeKorb) m_pTimer = g_pZeKorb->CreateTimer();
}

geCGameObject::~geCGameObject() {
  if (CSceneInterface* pScene = GetOwnScene()) {
    g_GameLogger.Log("\t- Renderer Scene '%s' Releasing...", Text(pScene->GetName()));
    pScene->Release();
    m_pScene = m_pParentScene = nullptr;
    if (geGetCorePort().CoreExists() && g_pZeKorb) g_pZeKorb->SetActiveScene(nullptr);
    g_GameLogger.Log("done\n");
  }
  for (CMeshInterface* pMesh : m_vMeshes) geGetCorePort().UnregisterGameMesh(pMesh, GetID());
  // Timers made for the game are the game's to free.
  delete m_pTimer;
  m_pTimer = nullptr;
}

size_t geCGameObject::GetClassSize() const { return sizeof(geCGameObject); }

const char* geCGameObject::GetClassName() const { return "geCGameObject"; }

bool geCGameObject::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "geCGameObject") || geCBaseNode::IsKindOf(szClassName);
}

void geCGameObject::RegisterProperties() {
  for (const char* szName : kGameObjectProperties) m_Properties.Register(szName);
}

void geCGameObject::SetFlag(DWORD dwFlag, bool bSet) {
  m_dwFlags = bSet ? (m_dwFlags | dwFlag) : (m_dwFlags & ~dwFlag);
}

void geCGameObject::Configure(TiXmlElement* pElement) {
  geCBaseNode::Configure(pElement);
  m_dwRenderPriority = m_Properties.Get("RenderPriority").AsUnsignedInt();
  SetFlag(kFlagNotMergeWithParent, m_Properties.GetBoolean("NotMergeWithParent"));
  if (m_Properties.GetBoolean("WithoutShaders")) SetFlag(kFlagWithShaders, false);
  if (!pElement) return;
  for (TiXmlElement* pMusic = pElement->FirstChildElement("AddMusic"); pMusic;
       pMusic = pMusic->NextSiblingElement("AddMusic"))
    AddMusic(pMusic);
}

void geCGameObject::AddMusic(TiXmlElement* pMusic) {
  const char* szFile = Text(pMusic->Attribute("File"));
  const char* szName = Text(pMusic->Attribute("Name"));
  const char* szLoop = pMusic->Attribute("Loop");
  const DWORD dwFlags = szLoop && std::strcmp(szLoop, "1") == 0 ? 0x24 : 4;
  // A stream that fails records 0, which plays nothing, never another stream's id.
  m_mapSounds[szName] = geCTonarisManager::LoadStream(szFile, dwFlags, kTonarisKindSound);
  g_GameLogger.Log("- Loaded sound/tonaris '%s' as '%s'\n", szFile, szName);
}

DWORD geCGameObject::GetSoundID(const char* szName) const {
  const auto found = m_mapSounds.find(Text(szName));
  return found != m_mapSounds.end() ? found->second : 0;
}

void geCGameObject::PlaySoundByName(const char* szName) {
  if (TonarisStream* pStream = geCTonarisManager::FindStreamByName(m_mapSounds, szName)) pStream->Play();
}

void geCGameObject::StopSoundByName(const char* szName) {
  if (TonarisStream* pStream = geCTonarisManager::FindStreamByName(m_mapSounds, szName)) pStream->Stop();
}

// ---- loading --------------------------------------------------------------------------------

void geCGameObject::LoadFileByExtension(const char* szPath) {
  if (!szPath) return;
  if (std::strstr(szPath, ".lwo") || std::strstr(szPath, ".zko"))
    LoadMeshFile(szPath);
  else if (std::strstr(szPath, ".lws") || std::strstr(szPath, ".zks"))
    LoadSceneFile(szPath);
  RegisterMeshes();
}

void geCGameObject::RegisterMeshes() {
  for (CMeshInterface* pMesh : m_vMeshes) {
    pMesh->SetUserDefinedData(reinterpret_cast<void*>(static_cast<uintptr_t>(GetID())), 0, 0);
    g_GameLogger.Log(">>> Adding %s\n", Text(pMesh->GetName()));
    geGetCorePort().RegisterGameMesh(pMesh, GetID());
  }
}

void geCGameObject::LoadSceneFile(const char* szPath) {
  g_GameLogger.Log(" -Loading scene (%s shaders)\n ", WithOrWithout(m_dwFlags));
  if (!g_pZeKorb) return;
  g_pZeKorb->LoadScene(&m_pScene, szPath, (m_dwFlags & kFlagWithShaders) ? 1 : 0, 0, nullptr,
                       nullptr, nullptr);
  g_GameLogger.Log(" -Loading scene '%s' from file (%s shaders)\n ",
                   m_pScene ? Text(m_pScene->GetName()) : "", WithOrWithout(m_dwFlags));
  if (m_pScene) LoadSceneFromPointer(m_pScene);
}

void geCGameObject::LoadSceneFromPointer(CSceneInterface* pScene) {
  if (!pScene) return;
  m_pScene = pScene;
  if (!m_szName[0]) SetName(pScene->GetName());
  g_GameLogger.Log("  -Loading scene '%s'(%s) from pointer\n", m_szName, Text(pScene->GetName()));
  pScene->SetFrame(0.0f);
  pScene->PrepareMatrices();
  pScene->UpdateHierarchy();

  m_dwNumberOfMeshes = pScene->GetNumberOfMeshes();
  ListSceneObjects(m_dwNumberOfMeshes, [pScene](DWORD i) { return pScene->GetMesh(i); }, m_vMeshes,
                   m_vMeshParents, "\t- Mesh '%s'\n");
  m_dwNumberOfNulls = pScene->GetNumberOfNullObjects();
  ListSceneObjects(m_dwNumberOfNulls, [pScene](DWORD i) { return pScene->GetNull(i); }, m_vNulls,
                   m_vNullParents, "\t- NULL OBJECT: '%s'\n");
  m_fFramesPerSecond = pScene->GetFramesPerSecond();
  m_fLastFrame = static_cast<float>(pScene->GetLastFrame());
  g_GameLogger.Log("   -FramesPerSecong=%3.3f, LastFrame=%3.3f\n", m_fFramesPerSecond,
                   m_fLastFrame);
  if (!(m_dwFlags & kFlagNotMergeWithParent)) MoveMeshesToParentScene();
}

void geCGameObject::MoveMeshesToParentScene() {
  geCGameObject* pAncestor = FindParentGameObject();
  if (!pAncestor) {
    m_pParentScene = nullptr;
    return;
  }
  while (pAncestor && !pAncestor->m_pScene) pAncestor = pAncestor->FindParentGameObject();
  if (!pAncestor) {
    g_GameLogger.Log(
        "    -ERROR: Configured to move meshes to parent scene, but parent scene NOT exist!\n");
    return;
  }
  m_pParentScene = pAncestor->m_pScene;
  g_GameLogger.Log("  -Moving mshes to parent scene (from node '%s')...", pAncestor->m_szName);
  CSceneInterface* pShell = m_pScene;
  m_pParentScene->AddMeshes(&m_pScene, kMergedKinds);
  if (m_pScene) {
    g_GameLogger.Log("    - FAILED to move meshes \n");
    // The meshes stayed: the object goes on updating, drawing and releasing its own scene.
    m_pParentScene = nullptr;
  } else {
    g_GameLogger.Log("DONE.\n");
    // The engine hands back no pointer to what is left of the loaded scene (its cameras and
    // lights); nobody else holds it, so it is released here rather than kept until shutdown.
    pShell->Release();
  }
}

void geCGameObject::LoadMeshFile(const char* szPath) {
  // The list stays empty unless a mesh is really added.
  m_vMeshes.clear();
  m_vMeshParents.clear();
  m_dwNumberOfMeshes = 0;
  CSceneInterface* pTarget = nullptr;
  if (geCGameObject* pAncestor = FindParentGameObject()) {
    pTarget = pAncestor->m_pScene ? pAncestor->m_pScene : pAncestor->m_pParentScene;
    g_GameLogger.Log("   - Adding mesh to parent scene\n ");
  } else {
    g_GameLogger.Log("   - Creating scene for node as container of mesh\n ");
    if (g_pZeKorb) g_pZeKorb->AddScene(&m_pScene);
    pTarget = m_pScene;
  }
  CMeshInterface* pMesh = pTarget ? pTarget->AddMesh(0) : nullptr;
  if (!pMesh) {
    g_GameLogger.Log(
        "ERROR: Empty mesh not added to scene. (CSceneInterface::AddMesh() from ZeKorb "
        "failed.)\n");
    return;
  }
  g_GameLogger.Log(" - Loading mesh '%s' from file (node name='%s')...", szPath, m_szName);
  pMesh->LoadMesh(szPath, (m_dwFlags & kFlagWithShaders) ? 1 : 0, 0);
  g_GameLogger.Log("DONE.\n");
  LoadMeshFromPointer(pMesh);
}

void geCGameObject::LoadMeshFromPointer(CMeshInterface* pMesh) {
  if (!pMesh) return;
  if (m_vMeshes.empty()) {
    m_vMeshes.push_back(nullptr);
    m_vMeshParents.push_back(nullptr);
  }
  m_vMeshes[0] = pMesh;
  m_dwNumberOfMeshes = static_cast<DWORD>(m_vMeshes.size());
  pMesh->SetVisibility(1, 1, 1);
  if (!m_szName[0]) SetName(pMesh->GetName());
  g_GameLogger.Log(" -Loading mesh '%s' from pointer\n", Text(pMesh->GetName()));
}

// ---- queries --------------------------------------------------------------------------------

CMeshInterface* geCGameObject::GetMesh(DWORD dwIndex) const {
  return dwIndex < m_vMeshes.size() ? m_vMeshes[dwIndex] : nullptr;
}

CMeshInterface* geCGameObject::GetBodyMesh() const {
  if (m_vMeshes.empty() || !m_vMeshes[0]) return nullptr;
  CWorldObjectInterface* pTop = m_vMeshParents.empty() ? nullptr : m_vMeshParents[0];
  if (pTop && pTop->GetWorldObjectType() == WORLD_OBJECT_MESH)
    return static_cast<CMeshInterface*>(pTop);
  return m_vMeshes[0];
}

CMeshInterface* geCGameObject::FindMeshByName(const char* szName, DWORD dwIndex) const {
  if (!szName) return nullptr;
  if (m_pScene) return m_pScene->GetMeshByName(szName, dwIndex);
  // Lent meshes carry the lower-case names of their files; the caller's text stays as it is.
  std::string lowered(szName);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return NthNamed(m_vMeshes, lowered.c_str(), dwIndex);
}

CNullInterface* geCGameObject::FindNullByName(const char* szName, DWORD dwIndex) const {
  if (!szName) return nullptr;
  if (m_pScene) return m_pScene->GetNullByName(szName, dwIndex);
  return NthNamed(m_vNulls, szName, dwIndex);
}

geCGameObject* geCGameObject::FindParentGameObject() const {
  geCBaseNode* pNode = m_pParent;
  for (DWORD i = 0; pNode && i < kMaxAncestorSteps; ++i, pNode = pNode->GetParent())
    if (pNode->IsKindOf("geCGameObject")) return dynamic_cast<geCGameObject*>(pNode);
  return nullptr;
}

// ---- frame passes ---------------------------------------------------------------------------

void geCGameObject::Update(geSUpdateArgument* pArg) { UpdateGameObject(pArg); }

void geCGameObject::UpdateGameObject(geSUpdateArgument* pArg) {
  const float fStart = geStatisticsTime();
  if (m_bFirstTimeUpdate) {
    m_Animations.ResetClock();
    if (m_pTimer) m_pTimer->Reset();
    m_bTimerPaused = 0;
  }
  FollowGamePause();
  m_fDeltaTime = pArg ? pArg->m_fDeltaTime : 0.0f;
  ApplyFrame();
  geAddStatisticsTime(STAT_ROW_ENGINE, fStart);
  geCBaseNode::Update(pArg);
}

void geCGameObject::FollowGamePause() {
  if (!m_pTimer) return;
  const bool bGamePaused = geGetCorePort().IsGamePaused();
  if (bGamePaused && !m_pTimer->IsPaused()) {
    m_pTimer->Pause();
    m_bTimerPaused = 1;
  } else if (!bGamePaused && m_bTimerPaused) {
    m_pTimer->Resume();
    m_bTimerPaused = 0;
  }
}

void geCGameObject::ApplyFrame() {
  CSceneInterface* pOwnScene = GetOwnScene();
  const float fFramesPerSecond = pOwnScene ? pOwnScene->GetFramesPerSecond() : m_fFramesPerSecond;
  const float fLastFrame =
      pOwnScene ? static_cast<float>(pOwnScene->GetLastFrame()) : m_fLastFrame;
  if (m_Animations.GetActive() == geCAnimationsManager::kNoAnimation) {
    const float fTime = m_pTimer ? m_pTimer->GetTime() : 0.0f;
    // The scene's own animation loops over its whole length.
    if (fTime * fFramesPerSecond > fLastFrame && m_pTimer) m_pTimer->Reset();
    m_fFrame = (m_pTimer ? m_pTimer->GetTime() : 0.0f) * fFramesPerSecond;
  } else {
    m_fFrame = m_Animations.GetFrame(fFramesPerSecond);
  }
  if (pOwnScene)
    pOwnScene->SetFrame(m_fFrame);
  else
    SetFrameOnObjects(m_fFrame);
}

void geCGameObject::SetFrameOnObjects(float fFrame) {
  const bool bPerTopmostParent = (geGetCorePort().GetCoreFlags() & geCGameCore::kFlagGameObjects) &&
                                 (m_vMeshes.size() > 1 || m_vNulls.size() > 1);
  if (!bPerTopmostParent) {
    for (CNullInterface* pNull : m_vNulls) pNull->SetFrame(fFrame, 0);
    for (CMeshInterface* pMesh : m_vMeshes) pMesh->SetFrame(fFrame, 0);
    return;
  }
  // Objects sharing a topmost parent get the frame once, through that parent.
  std::set<CWorldObjectInterface*> done;
  auto setOnce = [&](CWorldObjectInterface* pObject) {
    if (pObject && done.insert(pObject).second) SetObjectFrame(pObject, fFrame, 1);
  };
  for (size_t i = 0; i < m_vMeshes.size(); ++i)
    setOnce(i < m_vMeshParents.size() && m_vMeshParents[i] ? m_vMeshParents[i] : m_vMeshes[i]);
  for (size_t i = 0; i < m_vNulls.size(); ++i)
    setOnce(i < m_vNullParents.size() && m_vNullParents[i] ? m_vNullParents[i] : m_vNulls[i]);
}

void geCGameObject::Process(geSUpdateArgument* pArg) {
  geCBaseNode::Process(pArg);
  RunScenePasses();
}

void geCGameObject::RunScenePasses() {
  const float fStart = geStatisticsTime();
  CSceneInterface* pOwnScene = GetOwnScene();
  if (pOwnScene && !(m_dwFlags & kFlagNoScenePasses)) {
    pOwnScene->PrepareMatrices();
    pOwnScene->UpdateHierarchy();
  }
  geAddStatisticsTime(STAT_ROW_ENGINE, fStart);
}

void geCGameObject::Render(DWORD) {
  const float fStart = geStatisticsTime();
  CSceneInterface* pOwnScene = GetOwnScene();
  if (pOwnScene && g_pZeKorb) {
    if (g_pZeKorb->GetActiveScene() != pOwnScene) pOwnScene->SetAsActiveScene();
    if (m_dwFlags & kFlagClearDepth) g_pZeKorb->GetD3DRendererInterface()->Clear(kClearDepth, 0);
    pOwnScene->Render();
  }
  geAddStatisticsTime(STAT_ROW_ENGINE, fStart);
}

void geCGameObject::SetMeshesVisibility(UINT dwVisible) {
  for (CMeshInterface* pMesh : m_vMeshes) pMesh->SetVisibility(dwVisible, dwVisible, dwVisible);
}

DWORD geCGameObject::Enable(DWORD val) {
  if (m_pTimer) m_pTimer->Resume();
  if (val != 0) return geCBaseNode::Enable(val);
  SetMeshesVisibility(1);
  return IsEnabled() ? 1 : 0;
}

DWORD geCGameObject::Disable(DWORD val) {
  if (m_pTimer) m_pTimer->Pause();
  if (val != 0) return geCBaseNode::Disable(val);
  SetMeshesVisibility(0);
  return IsEnabled() ? 1 : 0;
}
