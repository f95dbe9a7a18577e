#include "framework/GameCore.h"

#include <angelscript.h>
#include <cpuid.h>
#include <d3dx9math.h>

#include <cstring>

#include "TonarisInterface.h"
#include "framework/BaseNode.h"
#include "framework/BaseWidget.h"
#include "framework/BaseWidgetsContainer.h"
#include "framework/EngineGlobals.h"
#include "framework/ExtendedTexturedFont.h"
#include "framework/FileExists.h"
#include "framework/GameObject.h"
#include "framework/GameProgress.h"
#include "framework/RenderableObject.h"
#include "framework/NodeFactory.h"
#include "framework/NormalTextureFont.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"
#include "framework/ScriptInterface.h"
#include "framework/StatisticsTable.h"
#include "framework/SystemCursor.h"
#include "framework/TextReceiver.h"
#include "framework/XmlDocument.h"
#include "framework/ZeKorbFont.h"
#include "zkplatform/ZkPaths.h"

DWORD g_dwDefaultUseLogs = 1;
geCGameCore* g_pGameCore = nullptr;
CSceneInterface* g_pLogoScene = nullptr;

ApplicationDescriptor g_ApplicationDescriptor;
ZeKorbConfig g_ZeKorbConfig;
TonarisConfig g_TonarisConfig;
ConfigureGFX g_RenderingPresets[kMaxRenderingPresets];

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr const char* kScriptLibraryVersion = "1.10.1d";
constexpr const char* kArchivePassword = "tavelkorpinusmerdo";
constexpr DWORD kClearAll = 7;
constexpr DWORD kClearDepth = 2;
constexpr DWORD kNamesOnFirstLine = 5;
constexpr DWORD kNamesPerLine = 6;
constexpr DWORD kMaxMessagesPerFrame = 0x10000;

// A start-up failure the game cannot go on from: the box, owned by the foreground window, and
// exit code 1.
[[noreturn]] void StartupFailure(const char* szText) {
  MessageBoxA(GetForegroundWindow(), szText, "Error", MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

const char* TrueFalse(bool bValue) { return bValue ? "true" : "false"; }

void SetMatrix(CD3D9RendererInterface* pRenderer, UINT dwState, const D3DXMATRIX& matrix) {
  pRenderer->SetTransform(dwState, reinterpret_cast<const CMatrix*>(&matrix));
}

}  // namespace

geCGameCore::geCGameCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand)
    : m_hInstance(hInstance), m_szCommandLine(szCommandLine), m_dwShowCommand(dwShowCommand) {
  m_pMessageRouter = new geCMessageRouter(this);
  m_Logger.emplace("GameEngine.log");
  geCLogger::SetFirstWrite(true);
  geCLogger::SetLoggingEnabled(true);
  geClearScriptIndex();
  g_mapNodeNames.clear();
  geClearKeyTable(g_dwCurrentKeys);
  geClearKeyTable(g_dwLastKeys);
  m_Settings.use_logs = g_dwDefaultUseLogs;
  g_pGameCore = this;
  g_pCoreProperties = &m_Properties;
  m_pPreviousCorePort = geSetCorePort(&m_CorePort);
  m_dwFlags |= kFlagGameObjects;
  DetectProcessorFeatures();

  if (!m_Settings.use_logs) geCLogger::SetLoggingEnabled(false);
  geCLogger::SetFirstWrite(true);
  WriteBanner(*m_Logger, true);
  geCLogger::SetFirstWrite(true);
  WriteBanner(g_ScriptLogger, false);
  m_Logger->Log("System Information:\n");
  if (m_bMMX) m_Logger->Log("- MMX detected\n");
  if (m_bSSE) m_Logger->Log("- SSE detected\n");
  m_Logger->Log("\n");
}

geCGameCore::~geCGameCore() {
  // The input thread must not reach a core that is going: the callbacks go first.
  RemoveInputCallbacks();
  if (m_bLocksCreated) {
    DeleteCriticalSection(&m_KeyTableLock);
    DeleteCriticalSection(&m_InputLock);
  }
  m_Logger->Log("~Deleted geCGameCore\n");
  m_Logger.reset();
  m_pRootNode.Reset();
  m_pMessageRouter.Reset();
  m_FontManager.GetFonts().clear();
  m_pCursorsManager.Reset();
  m_mapRenderList.clear();
  // Streams go before the engine that made them is closed.
  m_pMusicManager.Reset();
  delete m_pGameTimer;
  m_pGameTimer = nullptr;
  delete g_pStatisticsTimer;
  g_pStatisticsTimer = nullptr;
  if (g_pCoreProperties == &m_Properties) g_pCoreProperties = nullptr;
  geSetCorePort(m_pPreviousCorePort);
  if (g_pGameCore == this) g_pGameCore = nullptr;
}

size_t geCGameCore::GetClassSize() const { return sizeof(geCGameCore); }

void geCGameCore::WriteBanner(geCLogger& logger, bool bSecondFreeLine) {
  char szVersion[64];
  snprintf(szVersion, sizeof szVersion, "%d.%d build %d", 0, 1, 298);
  logger.Log("Vantor Game Engine - version %s\n", szVersion);
  logger.Log("Game framework of the ZeKorb engine\n");
  logger.Log("compiled with:\n");
  logger.Log("AngelScript %s\n", kScriptLibraryVersion);
  if (bSecondFreeLine) logger.Log("TinyXML\n");
  logger.Log("\nInfos:\n");
  logger.Log("\n");
}

void geCGameCore::DetectProcessorFeatures() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  m_bCPUID = __get_cpuid(1, &eax, &ebx, &ecx, &edx) ? 1 : 0;
  m_bMMX = m_bCPUID && (edx & (1u << 23)) ? 1 : 0;
  m_bSSE = m_bCPUID && (edx & (1u << 25)) ? 1 : 0;
}

void geCGameCore::SetFlag(DWORD dwFlag, bool bSet) {
  m_dwFlags = bSet ? (m_dwFlags | dwFlag) : (m_dwFlags & ~dwFlag);
}

void geCGameCore::SetConfigPath(const char* szPath) {
  snprintf(m_szConfigPath, sizeof m_szConfigPath, "%s", szPath ? szPath : "");
}

// ---- start-up -------------------------------------------------------------------------------

void geCGameCore::LoadGameTree() {
  m_hCursor = LoadCursorA(nullptr, IDC_ARROW);
  if (!m_szConfigPath[0]) SetConfigPath("cfg\\config.xml");
  m_Logger->Log("-Loading Game Tree from '%s'\n", m_szConfigPath);
  if (!FileExists(m_szConfigPath)) {
    m_Logger->Log(" - XML config file Not exist.\n");
  } else {
    m_GameTree = LoadXmlDocument(m_szConfigPath);
    m_Logger->Log(" - Preprocessing XML data\n");
    PreprocessDocument(m_GameTree);
    m_Logger->Log(" - Done.\n");
  }
  m_Logger->Log("-Done.\n");
}

void geCGameCore::LoadSettings() {
  if (!m_GameTree.FirstChildElement()) {
    m_Logger->Log("- Scipping settings configuration, xml data file don't exist\n.");
    return;
  }
  TiXmlElement* pSection = m_GameTree.FirstChildElement("vGameEngine");
  m_Logger->Log("- vGameEngie properties\n");
  if (pSection) {
    for (TiXmlElement* pParam = pSection->FirstChildElement("Param"); pParam;
         pParam = pParam->NextSiblingElement("Param"))
      for (TiXmlAttribute* pAttribute = pParam->FirstAttribute(); pAttribute;
           pAttribute = pAttribute->Next())
        m_Properties.RegisterAndSet(pAttribute->Name(),
                                    geCVariant(pAttribute->Value() ? pAttribute->Value() : ""));
  }
  m_Logger->Log("-vKernel and vGameEngine Settings:\n");
  auto has = [this](const char* szName) { return m_Properties.IsRegistred(szName); };
  auto read = [this](const char* szName) { return m_Properties.GetInteger(szName); };
  if (has("shadows")) {
    m_Settings.bShadowsOff = read("shadows") == 0;
    m_Logger->Log("  -shadows = %s\n", TrueFalse(!m_Settings.bShadowsOff));
  }
  if (has("width") && has("height")) {
    m_Settings.wWidth = static_cast<WORD>(read("width"));
    m_Settings.wHeight = static_cast<WORD>(read("height"));
    m_Logger->Log("  -width = %d\n", m_Settings.wWidth);
    m_Logger->Log("  -height = %d\n", m_Settings.wHeight);
  }
  if (has("window_mode")) {
    m_Settings.bFullScreen = read("window_mode") == 0;
    m_Logger->Log("  -window_mode = %s\n", TrueFalse(!m_Settings.bFullScreen));
  }
  if (has("use_logs")) {
    m_Settings.use_logs = read("use_logs") != 0;
    m_Logger->Log("  -use_logs = %s\n", TrueFalse(m_Settings.use_logs));
  }
  const bool bLogo = has("vantor_logo") && read("vantor_logo") != 0;
  SetFlag(kFlagShowLogo, bLogo);
  m_Logger->Log(bLogo ? "  -vantor_logo = true\n" : "  -vantor_logo = false\n");
  if (has("use_shaders")) {
    m_Settings.use_shaders = read("use_shaders") != 0;
    m_Logger->Log("  -use_shaders = %s\n", TrueFalse(m_Settings.use_shaders));
  }
  if (has("use_perpixel")) {
    m_Settings.use_perpixel = read("use_perpixel") != 0;
    m_Logger->Log("  -use_perpixel = %s\n", TrueFalse(m_Settings.use_perpixel));
  }
  if (has("show_system_cursor")) {
    m_Settings.bHideSystemCursor = read("show_system_cursor") == 0;
    m_Logger->Log("  -show_system_cursor = %s\n", TrueFalse(!m_Settings.bHideSystemCursor));
  }
}

void geCGameCore::LoadEngine() {
  const geSProgramValues program = {m_hInstance, m_szCommandLine, m_dwShowCommand};
  memset(&g_ZeKorbConfig, 0, sizeof g_ZeKorbConfig);
  geFillApplicationDescriptor(g_ApplicationDescriptor, m_Settings, program, m_hWnd);

  // The engine library lies beside the program and the program runs in its data folder, so no
  // change of folder is needed here.
  HMODULE hEngine = LoadLibraryA(m_szEngineLibrary);
  if (!hEngine) StartupFailure("Can't Load ZeKorb.dll");
  auto pfnGetInterface = reinterpret_cast<GetZeKorbD3DInterfaceProc>(
      reinterpret_cast<void*>(GetProcAddress(hEngine, "GetZeKorbD3DInterface")));
  if (!pfnGetInterface) StartupFailure("Can't Get GetZeKorbD3DInterface From ZeKorb.dll");
  g_pZeKorb = pfnGetInterface(&g_ApplicationDescriptor);
  // Every later step needs the engine: no interface ends the start-up as a missing export does.
  if (!g_pZeKorb) StartupFailure("Can't Get GetZeKorbD3DInterface From ZeKorb.dll");
  m_pEngineSettings = g_pZeKorb->GetSettingsInterface();

  geFillTonarisConfig(g_TonarisConfig);
  const DWORD dwPresets = geFillRenderingPresets(g_RenderingPresets, m_Settings);
  geFillZeKorbConfig(g_ZeKorbConfig, m_Settings, g_RenderingPresets, dwPresets, &g_TonarisConfig);

  // The log keeps the version text the game's logs always carried; the engine is asked for the
  // library that is linked.
  g_pScriptEngine = AngelScript::asCreateScriptEngine(ANGELSCRIPT_VERSION);
  if (!g_pScriptEngine) {
    g_ScriptLogger.Log("-AngelScript engine instance not created (%s)\n", kScriptLibraryVersion);
    ExitProcess(1);
  }
  g_ScriptLogger.Log("-Created AngelScript engine instance (%s)\n", kScriptLibraryVersion);
  RegisterScriptInterface();
}

void geCGameCore::RegisterScriptInterface() { geRegisterFrameworkScriptInterface(); }

void geCGameCore::Initialise() {
  LoadGameTree();
  LoadSettings();
  if (!m_Settings.use_logs) geCLogger::SetLoggingEnabled(false);
  if (!RegisterNodeTypes()) m_Logger->Log("-= FATAL ERROR: Registering Node Types failed\n");
  LogRegisteredNodeTypes();
  LoadEngine();
  MountArchivesAndInitEngine();
  m_pGameTimer = g_pZeKorb->CreateTimer();
  m_pRootNode = new geCBaseNode(nullptr);
  m_pRootNode->SetName("geRootNode");
  CreateManagers();
  CreateCursors();
  m_pSoundServer = g_pZeKorb->GetTonarisInterface();
  g_pZeKorb->LoadScene(&g_pLogoScene, "vantor-logo\\logo", 1, 0, nullptr, nullptr, nullptr);
  if (!g_pLogoScene)
    m_Logger->Log("KERNEL ERROR: can't load vantor-logo from 'logo.lws' file ");
  if (CD3D9RendererInterface* pRenderer = g_pZeKorb->GetD3DRendererInterface())
    if (CTextureStorageInterface* pTextures = pRenderer->GetTextureStorageInterface())
      pTextures->LoadAllTextures();
}

void geCGameCore::LogRegisteredNodeTypes() {
  m_Logger->Log("- Registered Node Types:\n\t- ");
  DWORD dwIndex = 0;
  for (const auto& [name, creator] : g_mapNodeFactory) {
    if (dwIndex >= kNamesOnFirstLine && (dwIndex - kNamesOnFirstLine) % kNamesPerLine == 0)
      m_Logger->Log("\n\t- ");
    m_Logger->Log("%s,", name.c_str());
    ++dwIndex;
  }
  m_Logger->Log("\n");
}

void geCGameCore::MountArchivesAndInitEngine() {
  m_Logger->Log("-Adding virtual disk '%s'\n", kDataArchive);
  g_pZeKorb->GetVFSInterface()->AddVirtualDisk(kDataArchive, 0, 0, 0, kArchivePassword);
  if (!m_bLocksCreated) {
    InitializeCriticalSection(&m_KeyTableLock);
    InitializeCriticalSection(&m_InputLock);
    m_bLocksCreated = true;
  }
  g_pZeKorb->Init(&g_ZeKorbConfig);
  if (m_pEngineSettings)
    if (CSettingEntryInterface* pShadows = m_pEngineSettings->AddSetting("shadows"))
      pShadows->SetInt(m_Settings.bShadowsOff ? 0 : 1);
  if (g_pGameCore->m_Settings.use_shaders) {
    m_Logger->Log("-Loading shaders from '%s'\n", kShaderArchive);
    g_pZeKorb->GetVFSInterface()->AddVirtualDisk(kShaderArchive, 1, 0, 0, nullptr);
  }
}

bool geCGameCore::RegisterNodeTypes() {
  // Every registration is attempted, whatever the ones before it gave.
  bool bAll = RegisterNodeType<geCBaseNode>("Node");
  bAll &= RegisterNodeType<geCGameObject>("GameObject");
  bAll &= RegisterNodeType<geCRenderableObject>("RenderableObject");
  bAll &= RegisterNodeType<geCBaseWidget>("BaseWidget");
  bAll &= RegisterNodeType<geCBaseWidgetsContainer>("WidgetsContainer");
  bAll &= RegisterNodeType<geCSystemCursor>("SystemCursor");
  bAll &= RegisterNodeType<CGameProgress>("ProgressBar");
  return bAll;
}

void geCGameCore::CreateManagers() {
  m_pMusicManager = new geCTonarisManager();
  CreateFonts();
  if (g_pScriptHost) g_pScriptHost->ResetModules();
  if (m_pGameTimer) m_pGameTimer->Reset();
  // Made here once per core; a second call replaces (and frees) the first.
  delete g_pStatisticsTimer;
  g_pStatisticsTimer = g_pZeKorb->CreateTimer();
  geClearMouseStatus(m_MouseStatus);
  SetupMouseCallback();
  SetupKeyboardCallbacks();
}

void geCGameCore::CreateFonts() {
  g_dwDefaultFontID = m_FontManager.AddFont(new geCZeKorbFont(m_pRootNode.Get()));
  if (!m_GameTree.FirstChildElement()) {
    m_Logger->Log("-Skipping creating engine data nodee from XML data file (don't exist).\n");
    return;
  }
  if (TiXmlElement* pSection = m_GameTree.FirstChildElement("vGameEngine")) {
    m_Logger->Log("-Creating Fonts (from %s, section <vGameEngine>)\n", m_szConfigPath);
    for (TiXmlElement* pElement = pSection->FirstChildElement("Font"); pElement;
         pElement = pElement->NextSiblingElement("Font")) {
      const char* szType = pElement->Attribute("Type");
      geCTexturedFont* pFont = nullptr;
      if (szType && strcmp(szType, "Manual") == 0) {
        m_Logger->Log(" -Creating Font defined as 'Manual'\n");
        pFont = new geCExtendedTexturedFont(m_pRootNode.Get());
      } else if (szType && strcmp(szType, "Fixed") == 0) {
        m_Logger->Log(" -Creating Font defined as 'Fixed'\n");
        pFont = new geCNormalTextureFont(m_pRootNode.Get());
      } else {
        continue;
      }
      pFont->RegisterProperties();
      pFont->Configure(pElement);
      pFont->CreateChildrenFromXML(pElement);
      m_FontManager.AddFont(pFont);
    }
    m_Logger->Log("-Fonts Created\n");
  }
  if (TiXmlElement* pGame = m_GameTree.FirstChildElement("Game")) {
    m_pRootNode->Configure(pGame);
    m_pRootNode->CreateChildrenFromXML(pGame);
  }
}

void geCGameCore::CreateCursors() {
  m_pCursorsManager = new geCCursorsManager(m_pRootNode.Get());
  m_pCursorsManager->SetName("EngineCursorsManager");
  TiXmlElement* pSection = m_GameTree.FirstChildElement("vGameEngine");
  if (!pSection) return;
  m_Logger->Log("-Creating Cursors (from %s, section <vGameEngine>)\n", m_szConfigPath);
  int nCursors = 0;
  for (TiXmlElement* pElement = pSection->FirstChildElement("Cursor"); pElement;
       pElement = pElement->NextSiblingElement("Cursor")) {
    m_pCursorsManager->CreateChildFromXML(pElement);
    ++nCursors;
  }
  m_Logger->Log("-Cursors Created (Number of cursors = %d)\n", nCursors);
}

void geCGameCore::SetupMouseCallback() {
  CInputControllersInterface* pInput = g_pZeKorb->GetInputControllersInterface();
  CMouseInterface* pMouse = pInput ? pInput->GetMouse() : nullptr;
  if (pMouse) {
    m_Logger->Log("-MOUSE: setting action mapping\n");
    static const ActionPair kMouseActions[] = {
        {0x202, 0x100}, {0x203, 0x101}, {0x200, 0x103}, {0x201, 0x104}};
    pMouse->SetActionMapper(kMouseActions, 4);
    pMouse->SetCallback(&OnMouseInput);
    pMouse->SetCentreLock(0);
    pMouse->SetSensitivity(1.0f);
  }
  if (m_hCursor) {
    m_Logger->Log("- Setting custom mouse cursor to app...");
    SetClassLongA(g_ApplicationDescriptor.hWnd, GCL_HCURSOR,
                  static_cast<LONG>(reinterpret_cast<intptr_t>(m_hCursor)));
    m_Logger->Log(SetCursor(m_hCursor) ? "SUCCESS\n" : "FAILED\n");
  }
  const bool bShow = !m_Settings.bHideSystemCursor;
  if (pMouse) pMouse->ShowCursor(bShow ? 1 : 0);
  ShowCursor(bShow ? TRUE : FALSE);
  SetFlag(kFlagThreadedMouse, false);
}

void geCGameCore::SetupKeyboardCallbacks() {
  CInputControllersInterface* pInput = g_pZeKorb->GetInputControllersInterface();
  CKeyboardInterface* pKeyboard = pInput ? pInput->GetKeyboard() : nullptr;
  if (!pKeyboard) return;
  ActionPair identity[256];
  for (DWORD i = 0; i < 256; ++i) identity[i] = {i, i};
  pKeyboard->SetActionMapper(identity, 256);
  pKeyboard->SetCallback(&OnKeyInput);
  pKeyboard->SetCharCallback(&OnCharInput);
}

void geCGameCore::RemoveInputCallbacks() {
  if (!g_pZeKorb || !m_pGameTimer) return;  // no engine input was ever set up
  CInputControllersInterface* pInput = g_pZeKorb->GetInputControllersInterface();
  if (!pInput) return;
  if (CMouseInterface* pMouse = pInput->GetMouse()) pMouse->SetCallback(nullptr);
  if (CKeyboardInterface* pKeyboard = pInput->GetKeyboard()) {
    pKeyboard->SetCallback(nullptr);
    pKeyboard->SetCharCallback(nullptr);
  }
}

// ---- main loop ------------------------------------------------------------------------------

void geCGameCore::Run() {
  memset(&m_Message, 0, sizeof m_Message);
  m_UpdateArgument.m_fCurrentTime = GetGameTime();
  m_UpdateArgument.m_fDeltaTime = 0.0f;
  m_FrameTimer.Init();
  if (g_pStatisticsTimer) {
    g_pStatisticsTimer->Resume();
    g_pStatisticsTimer->Reset();
  }
  for (;;) {
    CheckCloseCommand();
    if (m_dwFlags & kFlagQuit) return;
    if (PeekMessageA(&m_Message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m_Message);
      DispatchMessageA(&m_Message);
      continue;
    }
    if (m_Properties.IsRegistred("AllowASExceptions") &&
        static_cast<DWORD>(m_Properties.GetInteger("AllowASExceptions")) == 1 && g_pScriptHost)
      g_pScriptHost->ReportContexts();
    m_FrameTimer.Tick();
    if (m_dwInputResetRequest == 1) ResetInput();
    UpdateKeyStates();
    SetCursor(m_hCursor);
    if (m_dwFlags & kFlagQuit) m_Message.message = WM_QUIT;
    DrawFrame();
    if (m_pGameTimer && !m_pGameTimer->IsPaused()) {
      m_UpdateArgument.m_fDeltaTime = m_pGameTimer->GetTime() - m_UpdateArgument.m_fCurrentTime;
      m_UpdateArgument.m_fCurrentTime = m_pGameTimer->GetTime();
    }
    if (!(m_dwFlags & kFlagThreadedMouse) || g_dwMouseCallbacks.load(kRelaxed) == 0) PollMouse();
    if (!ProcessFrame()) continue;
    if (!IsGamePaused()) m_pMessageRouter->DeliverMessages();
    m_MouseStatus.dwLastLeft.store(m_MouseStatus.dwLeft.load(kRelaxed), kRelaxed);
    m_MouseStatus.dwLastRight.store(m_MouseStatus.dwRight.load(kRelaxed), kRelaxed);
    m_MouseStatus.dwLastMiddle.store(m_MouseStatus.dwMiddle.load(kRelaxed), kRelaxed);
    g_cLastChar.store(0, kRelaxed);
    g_dwLastKey.store(0, kRelaxed);
    ShowStatistics();
  }
}

void geCGameCore::ResetInput() {
  if (m_bLocksCreated) EnterCriticalSection(&m_KeyTableLock);
  geClearKeyTable(g_dwCurrentKeys);
  geClearKeyTable(g_dwLastKeys);
  geClearKeyTable(g_dwIncomingKeys);
  if (m_bLocksCreated) LeaveCriticalSection(&m_KeyTableLock);
  if (m_pGameTimer) m_pGameTimer->Reset();
}

void geCGameCore::DrawFrame() {
  CD3D9RendererInterface* pRenderer = g_pZeKorb->GetD3DRendererInterface();
  float fMark = geStatisticsTime();
  pRenderer->Clear(kClearAll, 0);
  pRenderer->BeginRendering();
  geAddStatisticsTime(STAT_ROW_ENGINE, fMark);

  fMark = geStatisticsTime();
  Render();
  geAddStatisticsTime(STAT_ROW_RENDER, fMark);

  fMark = geStatisticsTime();
  for (auto& [dwID, pFont] : m_FontManager.GetFonts())
    if (pFont) pFont->DrawTexts();
  if ((g_pGameCore->m_dwFlags & kFlagShowLogo) && g_pLogoScene) {
    g_pLogoScene->SetAsActiveScene();
    g_pLogoScene->SetActiveCamera(0);
    g_pLogoScene->SetFrame(g_pLogoScene->GetFramesPerSecond() * m_UpdateArgument.m_fCurrentTime);
    g_pLogoScene->PrepareMatrices();
    g_pLogoScene->UpdateHierarchy();
    pRenderer->Clear(kClearDepth, 0);
    g_pLogoScene->Render();
  }
  pRenderer->EndRendering();
  pRenderer->Flip(nullptr, 1);
  geAddStatisticsTime(STAT_ROW_ENGINE, fMark);
}

void geCGameCore::ShowStatistics() {
  if (!m_pRootNode) return;
  if (m_Properties.IsRegistred("statistics") &&
      static_cast<DWORD>(m_Properties.GetInteger("statistics")) == 1) {
    ShowStatisticsRows();
    return;
  }
  if (geCBaseNode* pScreen = m_pRootNode->GetNodeByName("StatisticsScreen", 0))
    pScreen->Disable(1);
}

void geCGameCore::ShowStatisticsRows() {
  const float fFrameTime = m_FrameTimer.GetLastFrameTime();
  for (geSStatisticsRow& row : g_StatisticsTable) {
    // A row without its text node keeps accumulating.
    auto* pText = dynamic_cast<geCTextReceiver*>(m_pRootNode->GetNodeByName(row.szNodeName, 0));
    if (!pText) continue;
    char szSeconds[11], szShare[11];
    snprintf(szSeconds, sizeof szSeconds, "=%1.3f", row.fSeconds);
    // Without a frame time (no performance counter) there is no share to show.
    snprintf(szShare, sizeof szShare, "%2.3f", fFrameTime > 0.0f ? row.fSeconds / fFrameTime : 0.0f);
    const std::string strText = std::string(row.szLabel) + szSeconds + " %=" + szShare;
    pText->SetText(strText.c_str());
    row.fSeconds = 0.0f;
  }
  const float fRate = m_FrameTimer.GetFramesPerSecond();
  char szRate[64];
  snprintf(szRate, sizeof szRate, "Frames/Second = %.10g", fRate);
  if (geCTexturedFont* pFont = m_FontManager.GetFont(g_dwDefaultFontID))
    pFont->AddText(0.05f, 0.6f, szRate);
  if (auto* pFps = dynamic_cast<geCTextReceiver*>(m_pRootNode->GetNodeByName("STAT_FPS", 0))) {
    char szFps[512];
    snprintf(szFps, sizeof szFps, "FPS = %3.4f", fRate);
    pFps->SetText(szFps);
  }
}

bool geCGameCore::ProcessFrame() {
  float fMark = geStatisticsTime();
  if (m_pRootNode) m_pRootNode->Update(&m_UpdateArgument);
  geAddStatisticsTime(STAT_ROW_UPDATE, fMark);
  fMark = geStatisticsTime();
  if (m_pRootNode) m_pRootNode->Process(&m_UpdateArgument);
  geAddStatisticsTime(STAT_ROW_PROCESS, fMark);
  m_dwInputResetRequest = 0;
  return true;
}

void geCGameCore::CheckCloseCommand() {
  if (m_Message.message == WM_SYSCOMMAND && m_Message.wParam == SC_CLOSE) SetFlag(kFlagQuit, true);
}

void geCGameCore::UpdateKeyStates() {
  geCopyKeyTable(g_dwLastKeys, g_dwCurrentKeys);
  geCopyKeyTable(g_dwCurrentKeys, g_dwIncomingKeys);
}

void geCGameCore::DrawProgressBar() {
  if (!m_pRootNode || !g_pZeKorb) return;
  auto* pBar = dynamic_cast<CGameProgress*>(m_pRootNode->GetNodeByName("ProgressBar", 0));
  // A bar without a scene has nothing to show: the screen is left as it is.
  if (!pBar || !pBar->IsEnabled() || !pBar->GetOwnScene()) return;
  CD3D9RendererInterface* pRenderer = g_pZeKorb->GetD3DRendererInterface();
  pRenderer->Clear(kClearAll, 0);
  pRenderer->BeginRendering();
  pBar->SetProgress(m_dwProgressFrame);
  pBar->Update(&m_UpdateArgument);
  pBar->Process(&m_UpdateArgument);
  pBar->Render(kClearAll);
  pRenderer->EndRendering();
  pRenderer->Flip(nullptr, 1);
  if (++m_dwProgressFrame > pBar->GetOwnScene()->GetLastFrame()) m_dwProgressFrame = 0;
}

void geCGameCore::ProcessMessage(geMessage*) {}

void geCGameCore::Render() {
  if (g_pZeKorb && !m_mapRenderList.empty())
    for (auto& [key, pNode] : m_mapRenderList) pNode->Render(kClearAll);
  m_mapRenderList.clear();
}

void geCGameCore::ReservedHook(DWORD, DWORD) {}

void geCGameCore::ExitGame() { SetFlag(kFlagQuit, true); }

void geCGameCore::AddToRenderList(DWORD dwKey, geCBaseNode* pNode) {
  if (pNode) m_mapRenderList.emplace(dwKey, pNode);
}

void geCGameCore::PollMouse() {
  geStorePolledButtons(*this, static_cast<WORD>(GetAsyncKeyState(VK_LBUTTON)),
                       static_cast<WORD>(GetAsyncKeyState(VK_RBUTTON)));
  ReadCursor();
}

void geCGameCore::ReadCursor() { geReadCursor(m_MouseStatus, m_Settings.wWidth, m_Settings.wHeight); }

void geCGameCore::SetProjectionMode(DWORD dwMode) {
  CD3D9RendererInterface* pRenderer = g_pZeKorb->GetD3DRendererInterface();
  D3DXMATRIX projection, identity;
  D3DXMatrixIdentity(&identity);
  const bool b2D = dwMode == 1;
  if (b2D) {
    const ZeKorbConfig* pConfig = g_pZeKorb->GetConfiguration();
    D3DXMatrixOrthoOffCenterRH(&projection, 0.0f, pConfig->wWidth, 0.0f, pConfig->wHeight, 0.0f,
                               10.0f);
  } else {
    D3DXMatrixPerspectiveFovLH(&projection, 45.0f,
                               static_cast<float>(m_Settings.wHeight) / m_Settings.wWidth, 0.0f,
                               100.0f);
  }
  SetMatrix(pRenderer, D3DTS_PROJECTION, projection);
  SetMatrix(pRenderer, D3DTS_WORLD, identity);
  SetMatrix(pRenderer, D3DTS_VIEW, identity);
  pRenderer->SetRenderState(D3DRS_ZENABLE, b2D ? 0 : 1);
  pRenderer->SetRenderState(D3DRS_LIGHTING, b2D ? 0 : 1);
  pRenderer->SetRenderState(D3DRS_CULLMODE, b2D ? D3DCULL_NONE : D3DCULL_CW);
}

bool geCGameCore::SetResolution(DWORD dwWidth, DWORD dwHeight) {
  ZeKorbConfig config = *g_pZeKorb->GetConfiguration();
  config.wWidth = static_cast<WORD>(dwWidth);
  config.wHeight = static_cast<WORD>(dwHeight);
  for (geCVideoModeListener* pNode : m_vVideoModeNodes) pNode->ReleaseDeviceObjects();
  if (!g_pZeKorb->ChangeConfiguration(&config)) {
    m_Logger->Log("ERR; cna't change resolution to %dx%d", static_cast<int>(dwWidth),
                  static_cast<int>(dwHeight));
    return false;
  }
  const ZeKorbConfig* pCurrent = g_pZeKorb->GetConfiguration();
  m_Settings.wWidth = pCurrent->wWidth;
  m_Settings.wHeight = pCurrent->wHeight;
  for (geCVideoModeListener* pNode : m_vVideoModeNodes) pNode->RestoreDeviceObjects();
  return true;
}

// ---- accessors ------------------------------------------------------------------------------

float geCGameCore::GetGameTime() const { return m_pGameTimer ? m_pGameTimer->GetTime() : 0.0f; }

void geCGameCore::PauseGame() {
  if (m_pGameTimer) m_pGameTimer->Pause();
}

void geCGameCore::ResumeGame() {
  if (m_pGameTimer) m_pGameTimer->Resume();
}

bool geCGameCore::IsGamePaused() const { return m_pGameTimer && m_pGameTimer->IsPaused(); }

BYTE geCGameCore::GetCharFromKeyboard() { return g_cLastChar.exchange(0, kRelaxed); }

void geCGameCore::RegisterGameMesh(CMeshInterface* pMesh, DWORD dwObjectID) {
  m_mapGameMeshes.emplace(pMesh, dwObjectID);
}

void geCGameCore::UnregisterGameMesh(CMeshInterface* pMesh, DWORD dwObjectID) {
  auto [first, last] = m_mapGameMeshes.equal_range(pMesh);
  while (first != last) first = first->second == dwObjectID ? m_mapGameMeshes.erase(first) : ++first;
}

// ---- sounds by name -------------------------------------------------------------------------

bool geCGameCore::AddAliasedStream(const char* szFile, const char* szAccessName, DWORD dwFlags,
                                   DWORD dwKind) {
  const char* szSafeFile = szFile ? szFile : "";
  const char* szSafeName = szAccessName ? szAccessName : "";
  const DWORD dwID = geCTonarisManager::LoadStream(szSafeFile, dwFlags, dwKind);
  m_mapSoundAliases.emplace(szSafeName, dwID);
  m_Logger->Log("- Loaded sound/tonaris '%s' as '%s'\n", szSafeFile, szSafeName);
  // A load that failed is reported: the name is there, but plays nothing.
  return dwID != 0;
}

bool geCGameCore::AddNewSound(const char* szFile, const char* szAccessName) {
  return AddAliasedStream(szFile, szAccessName, 4, kTonarisKindSound);
}

bool geCGameCore::AddNewTonaris(const char* szFile, const char* szAccessName, bool bLoop) {
  return AddAliasedStream(szFile, szAccessName, bLoop ? 1 : 0, kTonarisKindMusic);
}

void geCGameCore::PlayTonarisByName(const char* szName) {
  if (TonarisStream* pStream = geCTonarisManager::FindStreamByName(m_mapSoundAliases, szName)) pStream->Play();
}

void geCGameCore::StopTonarisByName(const char* szName) {
  if (TonarisStream* pStream = geCTonarisManager::FindStreamByName(m_mapSoundAliases, szName)) {
    pStream->Reset();
    pStream->Stop();
  }
}

namespace {

void SetStreamVolumes(const std::map<DWORD, TonarisStream*>& mapStreams, int nVolume) {
  for (const auto& [dwID, pStream] : mapStreams)
    if (pStream) pStream->SetVolume(nVolume);
}

}  // namespace

void geCGameCore::SetMusicVolume(int nVolume) {
  m_nMusicVolume = g_nMusicVolume = nVolume;
  SetStreamVolumes(g_mapTonarisMusic, nVolume);
}

void geCGameCore::SetSoundFxVolume(int nVolume) {
  m_nSoundFxVolume = g_nSoundVolume = nVolume;
  SetStreamVolumes(g_mapTonarisSounds, nVolume);
}

BYTE geCGameCore::CheckAnyKey() {
  return static_cast<BYTE>(g_dwLastKey.exchange(0, kRelaxed) & 0xFF);
}
