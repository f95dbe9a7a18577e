#include "cpelto/PeltoCore.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ZKDXInterface.h"
#include "cpelto/CommercialScreens.h"
#include "cpelto/EntityWalking.h"
#include "cpelto/GameCamera.h"
#include "cpelto/GameInputs.h"
#include "cpelto/JoystickButtonMap.h"
#include "cpelto/KeyBindingsFile.h"
#include "cpelto/MenuAviElement.h"
#include "cpelto/MenuPicture.h"
#include "cpelto/MenuScreen.h"
#include "cpelto/MenuText.h"
#include "cpelto/MovableObject.h"
#include "cpelto/OpenAL.h"
#include "cpelto/PeltoFurniture.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoMiniLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PeltoWall.h"
#include "cpelto/ScriptGameInterface.h"
#include "framework/BaseNode.h"
#include "framework/EngineGlobals.h"
#include "framework/FatalError.h"
#include "framework/FileExists.h"
#include "framework/LogNodes.h"
#include "framework/Logger.h"
#include "framework/NodeFactory.h"
#include "framework/ScriptEvent.h"
#include "framework/ScriptHost.h"
#include "framework/StatisticsTable.h"
#include "framework/TextReceiver.h"
#include "framework/XmlDocument.h"

using namespace AngelScript;

namespace {

struct GameNodeType {
  const char* szName;
  geNodeCreator pCreator;
};

// The game's node types, registered after the framework's. The game's own classes take their
// places before the configuration node, in this order: "Level", "MiniLevel", "PeltoWall",
// "PeltoPlayer", "Furniture", "EntityWalking", "GameCamera", "MovableObject", "MenuScreen",
// "MenuPicture", "MenuText", "MenuAviElement".
const GameNodeType kGameNodeTypes[] = {
    {"Level", &CreateNodeOfClass<CPeltoLevel>},
    {"MiniLevel", &CreateNodeOfClass<CPeltoMiniLevel>},
    {"PeltoWall", &CreateNodeOfClass<CPeltoWall>},
    {"PeltoPlayer", &CreateNodeOfClass<CPeltoPlayer>},
    {"Furniture", &CreateNodeOfClass<CPeltoFurniture>},
    {"EntityWalking", &CreateNodeOfClass<CEntityWalking>},
    {"GameCamera", &CreateNodeOfClass<cpelto::CCamera>},
    {"MovableObject", &CreateNodeOfClass<CMovableObject>},
    {"MenuScreen", &CreateNodeOfClass<CMenuScreen>},
    {"MenuPicture", &CreateNodeOfClass<CMenuPicture>},
    {"MenuText", &CreateNodeOfClass<CMenuText>},
    {"MenuAviElement", &CreateNodeOfClass<CMenuAviElement>},
    {"ConfigurationNode", &CreateNodeOfClass<geCConfigurationNode>},
};

void LogScriptCallError(const char* szFunction) {
  g_ScriptLogger.Log("Unexpected error during script execution (calling %s() function\n",
                     szFunction);
}

// The program cannot run without its level setup.
[[noreturn]] void LevelSetupFailure(const char* szWhat) {
  const std::string strText = std::string(szWhat) + " '" + CPeltoCore::kLevelSetupFile + "'";
  g_GameLogger.Log("ERROR: %s\n", strText.c_str());
  geFatalError("Error", strText.c_str());
}

}  // namespace

CPeltoCore::CPeltoCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand)
    : geCGameCore(hInstance, szCommandLine, dwShowCommand),
      m_KeyBindings(DefaultKeyBindings()) {
  // One device for the whole program: a core made again in the same process keeps it.
  if (!COpenAL::GetInstance()) new COpenAL();
}

CPeltoCore::~CPeltoCore() {
  delete CGameInputs::GetInstance();
  m_pCurrentLevel.Reset();
}

size_t CPeltoCore::GetClassSize() const { return sizeof(CPeltoCore); }

void CPeltoCore::RegisterScriptInterface() {
  geCGameCore::RegisterScriptInterface();
  RegisterGameScriptInterface(*this);
}

bool CPeltoCore::RegisterNodeTypes() {
  // Every registration is attempted; a name taken already keeps its first creator.
  bool bAll = geCGameCore::RegisterNodeTypes();
  for (const GameNodeType& type : kGameNodeTypes)
    bAll &= RegisterNodeCreator(type.szName, type.pCreator);
  return bAll;
}

// ---- start-up -------------------------------------------------------------------------------

void CPeltoCore::CreateManagers() {
  geCGameCore::CreateManagers();
  m_WindowsUtilities.CreateActiveDesktop();
  CreateGameInputs();
  ShowCommercials();
  MapJoystickButtonsFromBindings();
  LoadLevelSetup();
  if (TiXmlElement* pAutoCreate = m_pGameElement->FirstChildElement("AutoCreate")) {
    m_pRootNode->CreateChildrenFromXML(pAutoCreate);
    LoadAllTextures();
    ResetScriptModules();
  }
  PreprocessXml(m_pGameElement);
  ScanLevels(kLevelsFolder, "*.*");
  ResetScriptModules();
  LoadGameModule();
  LoadKeybindings();
  for (TiXmlElement* pNode = m_pGameElement->FirstChildElement("Node"); pNode;
       pNode = pNode->NextSiblingElement("Node")) {
    const char* szType = pNode->Attribute("Type");
    if (szType && strcmp(szType, "MenuScreen") == 0) m_pRootNode->CreateChildFromXML(pNode);
  }
  CreateMenu();
  LogNodes(m_pRootNode.Get());
  ResetScriptModules();
}

void CPeltoCore::ShowCommercials() {
  if (!g_pZeKorb) return;
  const ZeKorbConfig* pConfig = g_pZeKorb->GetConfiguration();
  const float fDisplayTime = m_Properties.IsRegistred(CCommercialScreens::kTimeProperty)
                                 ? m_Properties.GetFloat(CCommercialScreens::kTimeProperty)
                                 : CCommercialScreens::kDefaultDisplayTime;
  CCommercialScreens(g_pZeKorb->GetD3DRendererInterface(), m_pGameTimer,
                     pConfig ? pConfig->wWidth : 800, pConfig ? pConfig->wHeight : 600)
      .Show(fDisplayTime);
}

void CPeltoCore::LoadLevelSetup() {
  if (!FileExists(kLevelSetupFile)) LevelSetupFailure("Can't load");
  m_LevelSetup = LoadXmlDocument(kLevelSetupFile);
  m_pGameElement = m_LevelSetup.FirstChildElement("Game");
  if (!m_pGameElement) LevelSetupFailure("No <Game> element in");
}

void CPeltoCore::CreateGameInputs() {
  // A core made again in the same process sets the devices up afresh.
  delete CGameInputs::GetInstance();
  CGameInputs* pInputs = new CGameInputs();
  pInputs->Init(g_pZeKorb ? g_pZeKorb->GetWindowHandle() : nullptr, CGameInputs::kDeviceJoystick);
}

void CPeltoCore::MapJoystickButtonsFromBindings() {
  const DWORD adwKeys[] = {m_KeyBindings.strite_left, m_KeyBindings.strite_right,
                           m_KeyBindings.show_map,    m_KeyBindings.camera_one,
                           m_KeyBindings.camera_two,  m_KeyBindings.camera_fpp,
                           m_KeyBindings.jump,        m_KeyBindings.shoot};
  for (int nButton = 0; nButton < 8; ++nButton) g_JoystickButtonMap.Map(nButton, adwKeys[nButton]);
}

void CPeltoCore::LoadKeybindings() { KeyBindingsFile::Load(m_KeyBindings); }

void CPeltoCore::SaveKeybindings() { KeyBindingsFile::Save(m_KeyBindings); }

void CPeltoCore::LoadGameModule() {
  const char* szScript = m_pGameElement->Attribute("Script");
  if (!szScript || !g_pScriptHost) return;
  m_pGameScriptContext = g_pScriptHost->LoadScriptModule(szScript, kGameModule, "GameCore");
  ResetScriptModules();
  if (!m_pGameScriptContext) return;
  const float fStart = geStatisticsTime();
  asIScriptModule* pModule = g_pScriptEngine->GetModule(kGameModule, asGM_ONLY_IF_EXISTS);
  asIScriptFunction* pMain = pModule ? pModule->GetFunctionByDecl("void main()") : nullptr;
  const int nResult = geRunScriptEvent(m_pGameScriptContext, pMain, {nullptr, false, nullptr});
  if (nResult < 0) LogScriptCallError("main");
  ReportExecution(m_pGameScriptContext, nResult);
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}

void CPeltoCore::CreateMenu() {
  m_MenuDocument = LoadXmlDocument(kMenuFile);
  for (TiXmlElement* pNode = m_MenuDocument.FirstChildElement("Node"); pNode;
       pNode = pNode->NextSiblingElement("Node"))
    m_pRootNode->CreateChildFromXML(pNode);
}

// ---- levels ---------------------------------------------------------------------------------

void CPeltoCore::ScanLevels(const char* szFolder, const char* szPattern) {
  const std::string strFolder = szFolder ? szFolder : "";
  WIN32_FIND_DATAA found;
  HANDLE hSearch = FindFirstFileA((strFolder + (szPattern ? szPattern : "")).c_str(), &found);
  if (hSearch == INVALID_HANDLE_VALUE) {
    char szText[255];
    snprintf(szText, sizeof szText, "please contact with author\nGetLastError()==%d",
             static_cast<int>(GetLastError()));
    g_GameLogger.Log("ERROR: can't search the levels in '%s'\n", strFolder.c_str());
    geFatalError("Internal Error", szText);
  }
  do {
    // A '.' in the name also skips "." and "..".
    if (strchr(found.cFileName, '.') || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      continue;
    AddLevel(strFolder + found.cFileName + "\\config.xml");
  } while (FindNextFileA(hSearch, &found));
  FindClose(hSearch);
}

void CPeltoCore::AddLevel(const std::string& strConfigFile) {
  if (!FileExists(strConfigFile.c_str())) return;
  TiXmlDocument document = LoadXmlDocument(strConfigFile.c_str());
  const TiXmlElement* pLevel = document.FirstChildElement("Node");
  if (!pLevel) return;
  const char* szName = pLevel->Attribute("Name");
  if (!szName) {
    g_GameLogger.Log("WARNING: level in '%s' has no Name, skipped\n", strConfigFile.c_str());
    return;
  }
  m_pGameElement->InsertEndChild(*pLevel);
  m_vLevelNames.emplace_back(szName);
}

std::string CPeltoCore::GetLevelName(int nIndex) const {
  if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_vLevelNames.size()) return std::string();
  return m_vLevelNames[static_cast<size_t>(nIndex)];
}

void CPeltoCore::LoadLevel(const char* szName) {
  m_strPendingLevel = szName ? szName : "";
  m_bLoadPending = 1;
}

void CPeltoCore::UnloadLevel() {
  if (!m_pCurrentLevel || m_bUnloadPending) return;
  m_bUnloadPending = 1;
  if (geCBaseNode* pHud = FindNode("HUDScreen")) pHud->Disable(1);
  ResumeGame();
}

TiXmlElement* CPeltoCore::FindLevelElement(const std::string& strName) const {
  for (TiXmlElement* pNode = m_pGameElement ? m_pGameElement->FirstChildElement("Node") : nullptr;
       pNode; pNode = pNode->NextSiblingElement("Node")) {
    const char* szName = pNode->Attribute("Name");
    if (szName && strName == szName) return pNode;
  }
  return nullptr;
}

void CPeltoCore::LoadPendingLevel() {
  // Scripts run while the level is built may ask for the next change already: the request is
  // taken before they run.
  const std::string strName = m_strPendingLevel;
  m_bLoadPending = 0;
  const char* szName = strName.c_str();
  g_GameLogger.Log(">> Loading level '%s'\n", szName);
  TiXmlElement* pElement = FindLevelElement(strName);
  if (!pElement) {
    g_GameLogger.Log("  - WARNNING, level '%s' NOT found\n", szName);
    return;
  }
  geCBaseNode* pLevel = m_pRootNode->CreateChildFromXML(pElement);
  if (!pLevel) {
    g_GameLogger.Log("  - ERROR: level '%s' could not be created\n", szName);
    return;
  }
  m_pCurrentLevel = pLevel;
  g_GameLogger.Log("  - Found level '%s'\n", szName);
  ResetScriptModules();
  LoadAllTextures();
  LogNodes(m_pRootNode.Get());
  if (geCBaseNode* pHud = FindNode("HUDScreen")) pHud->Enable(1);
  ClearSocketDistance();
}

void CPeltoCore::UnloadCurrentLevel() {
  if (m_pCurrentLevel) {
    m_pCurrentLevel->Disable(1);
    m_pRootNode->RemoveChild(m_pCurrentLevel.Get());
  }
  LogNodes(m_pRootNode.Get());
  m_pCurrentLevel.Reset();
  m_bUnloadPending = 0;
}

geCBaseNode* CPeltoCore::FindNode(const char* szName) const {
  geCBaseNode* pNode = m_pRootNode ? m_pRootNode->GetNodeByName(szName, 0) : nullptr;
  if (!pNode) g_GameLogger.Log("WARNING: node '%s' NOT found\n", szName);
  return pNode;
}

void CPeltoCore::ClearSocketDistance() {
  geCBaseNode* pNode = FindNode("SocketDistance");
  if (!pNode) return;
  auto* pText = pNode->IsKindOf("CMenuText") ? dynamic_cast<geCTextReceiver*>(pNode) : nullptr;
  if (!pText) {
    g_GameLogger.Log("WARNING: node 'SocketDistance' is no text (class %s)\n",
                     pNode->GetClassName());
    return;
  }
  pText->SetText("");
}

// ---- frame ----------------------------------------------------------------------------------

bool CPeltoCore::ProcessFrame() {
  RunGameModuleEvent("OnProcessGame", {"geSUpdateArgument", false, &m_UpdateArgument});
  if (GetInputResetRequest()) ConfineCursor();
  if (m_bUnloadPending) {
    // A load waiting as well follows in the next frame.
    UnloadCurrentLevel();
    geCGameCore::ProcessFrame();
    return true;
  }
  if (m_bLoadPending) LoadPendingLevel();
  geCGameCore::ProcessFrame();
  return true;
}

void CPeltoCore::UpdateKeyStates() {
  CGameInputs* pInputs = CGameInputs::GetInstance();
  if (pInputs) pInputs->Poll();
  m_JoystickKeys.Feed(pInputs, m_KeyBindings, g_JoystickButtonMap);
  geCGameCore::UpdateKeyStates();
}

void CPeltoCore::ConfineCursor() {
  HWND hWnd = g_pZeKorb ? g_pZeKorb->GetWindowHandle() : nullptr;
  RECT client;
  // Without a window there is nothing to confine the cursor to.
  if (!GetClientRect(hWnd, &client)) return;
  POINT topLeft = {client.left, client.top};
  POINT bottomRight = {client.right, client.bottom};
  ClientToScreen(hWnd, &topLeft);
  ClientToScreen(hWnd, &bottomRight);
  if (!m_dwCursorClipped) SetCursorPos(bottomRight.x / 2, bottomRight.y / 2);
  const RECT clip = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  ClipCursor(&clip);
  m_dwCursorClipped = 1;
}

void CPeltoCore::ProcessMessage(geMessage* pMessage) {
  RunGameModuleEvent("geCGameCore_ProcessMessage", {"geMessage", false, pMessage});
}

void CPeltoCore::Render() { geCGameCore::Render(); }

void CPeltoCore::RunGameModuleEvent(const char* szFunction, const geSScriptArgument& argument) {
  if (!m_pGameScriptContext) return;
  const float fStart = geStatisticsTime();
  asIScriptFunction* pFunction = geFindScriptFunction(kGameModule, szFunction);
  if (pFunction && geRunScriptEvent(m_pGameScriptContext, pFunction, argument) < 0)
    LogScriptCallError(szFunction);
  geAddStatisticsTime(STAT_ROW_SCRIPT, fStart);
}

void CPeltoCore::LoadAllTextures() {
  CD3D9RendererInterface* pRenderer = g_pZeKorb ? g_pZeKorb->GetD3DRendererInterface() : nullptr;
  if (CTextureStorageInterface* pTextures = pRenderer ? pRenderer->GetTextureStorageInterface()
                                                      : nullptr)
    pTextures->LoadAllTextures();
}

void CPeltoCore::ResetScriptModules() {
  if (g_pScriptHost) g_pScriptHost->ResetModules();
}
