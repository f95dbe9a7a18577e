#pragma once
// The framework's application object: one per process, made by the program entry and reachable
// through g_pGameCore. It runs the start-up (game tree, settings, node types, engine, archives,
// timers, root node, managers), the main loop and the order of shutdown. The game derives its
// own core from it and may override every virtual operation; the virtual operations keep this
// order, and a derived core appends its own after them.
#include <tinyxml.h>
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ZKDXInterface.h"
#include "framework/BaseObject.h"
#include "framework/CorePort.h"
#include "framework/CursorsManager.h"
#include "framework/EngineConfiguration.h"
#include "framework/FontManager.h"
#include "framework/FrameTimer.h"
#include "framework/InputState.h"
#include "framework/Logger.h"
#include "framework/Message.h"
#include "framework/MessageRouter.h"
#include "framework/Properties.h"
#include "framework/RefPtr.h"
#include "framework/TonarisManager.h"
#include "framework/UpdateArgument.h"
#include "framework/VideoModeListener.h"

class geCBaseNode;

// The `use_logs` value a new core starts with.
extern DWORD g_dwDefaultUseLogs;
// The one application core; set by its constructor and cleared by its destructor.
extern geCGameCore* g_pGameCore;
// The studio-logo scene, null when it could not be loaded.
extern CSceneInterface* g_pLogoScene;

// The blocks the engine keeps pointers to for its whole life: process-wide, never moved or
// freed, so they outlive the core until the engine is closed.
extern ApplicationDescriptor g_ApplicationDescriptor;
extern ZeKorbConfig g_ZeKorbConfig;
extern TonarisConfig g_TonarisConfig;
extern ConfigureGFX g_RenderingPresets[kMaxRenderingPresets];

class geCGameCore : public geCBaseObject {
 public:
  // Flag word values.
  static constexpr DWORD kFlagQuit = 2;
  // The engine's mouse callbacks arrive, so the main loop stops polling the mouse.
  static constexpr DWORD kFlagThreadedMouse = 4;
  static constexpr DWORD kFlagShowLogo = 8;
  static constexpr DWORD kFlagGameObjects = 16;

  static constexpr const char* kEngineLibrary = "ZeKorb.dll";
  static constexpr const char* kDataArchive = "zkr\\vge.zkr";
  static constexpr const char* kShaderArchive = "shaders\\shaders.zkr";

  geCGameCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand);
  ~geCGameCore() override;

  size_t GetClassSize() const override;

  virtual void LoadEngine();
  virtual void RegisterScriptInterface();
  virtual void LoadGameTree();
  virtual void Initialise();
  virtual void CreateManagers();
  virtual void Run();
  // True: the rest of the pass goes on (message delivery, mouse shift, statistics).
  virtual bool ProcessFrame();
  virtual void CheckCloseCommand();
  virtual void UpdateKeyStates();
  virtual void DrawProgressBar();
  // The framework's core ignores its messages; the game's hands them to its script.
  virtual void ProcessMessage(geMessage* pMessage);
  virtual void Render();
  virtual bool RegisterNodeTypes();
  // Never called by the framework.
  virtual void ReservedHook(DWORD dwFirst, DWORD dwSecond);
  virtual void ExitGame();

  // Reads the vGameEngine section of the game tree into the properties and the settings.
  void LoadSettings();
  // Changes the video mode; the nodes told of mode changes release and restore their objects.
  bool SetResolution(DWORD dwWidth, DWORD dwHeight);
  // 1: 2D projection over the screen; anything else: the 3D perspective.
  void SetProjectionMode(DWORD dwMode);
  void PollMouse();
  void SetupMouseCallback();
  void SetupKeyboardCallbacks();
  // Reads the cursor position into the mouse status.
  void ReadCursor();
  // The default font, the fonts of the vGameEngine section and the Game section's node tree.
  void CreateFonts();

  geCBaseNode* GetRootNode() const { return m_pRootNode.Get(); }
  geCProperties* GetProperties() { return &m_Properties; }
  geSUpdateArgument* GetGlobalArg() { return &m_UpdateArgument; }
  geMouseStatus* GetMouseStatus() { return &m_MouseStatus; }
  geCMessageRouter* GetMessageRouter() const { return m_pMessageRouter.Get(); }
  geCFontManager& GetFontManager() { return m_FontManager; }
  geCCursorsManager* GetCursorsManager() const { return m_pCursorsManager.Get(); }
  // The cursor the main loop sets every frame.
  HCURSOR GetCursorHandle() const { return m_hCursor; }
  void SetCursorHandle(HCURSOR hCursor) { m_hCursor = hCursor; }
  CTimerInterface* GetGameTimer() const { return m_pGameTimer; }
  CSettingsInterface* GetEngineSettings() const { return m_pEngineSettings; }
  // The game timer's time, 0 before it exists.
  float GetGameTime() const;
  void PauseGame();
  void ResumeGame();
  bool IsGamePaused() const;
  geTRefPtr<geCTonarisManager> GetMusicManager() const { return m_pMusicManager; }
  // Sounds and music under script names: a name taken already keeps its first id. False when
  // the file did not load (the name then plays nothing).
  bool AddNewSound(const char* szFile, const char* szAccessName);
  bool AddNewTonaris(const char* szFile, const char* szAccessName, bool bLoop);
  void PlayTonarisByName(const char* szName);
  // The volume of every music (sound-effect) stream, kept for the streams loaded later too.
  void SetMusicVolume(int nVolume);
  void SetSoundFxVolume(int nVolume);
  int GetMusicVolume() const { return m_nMusicVolume; }
  int GetSoundFxVolume() const { return m_nSoundFxVolume; }
  // Rewinds before stopping, so the next play starts from the beginning.
  void StopTonarisByName(const char* szName);
  // The game-mesh registry: which game object owns an engine mesh.
  void RegisterGameMesh(CMeshInterface* pMesh, DWORD dwObjectID);
  void UnregisterGameMesh(CMeshInterface* pMesh, DWORD dwObjectID);
  const std::multimap<CMeshInterface*, DWORD>& GetGameMeshes() const { return m_mapGameMeshes; }
  // Each returns its source's value and clears it.
  BYTE GetCharFromKeyboard();
  BYTE CheckAnyKey();

  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlag(DWORD dwFlag, bool bSet);
  geCLogger& GetLogger() { return *m_Logger; }
  const geSEngineSettings& GetSettings() const { return m_Settings; }
  TiXmlDocument& GetGameTree() { return m_GameTree; }
  const char* GetConfigPath() const { return m_szConfigPath; }
  void SetConfigPath(const char* szPath);
  const geCFrameTimer& GetFrameTimer() const { return m_FrameTimer; }
  // Nodes that want to be drawn this frame, lower keys first.
  void AddToRenderList(DWORD dwKey, geCBaseNode* pNode);
  std::vector<geCVideoModeListener*>& GetVideoModeNodes() { return m_vVideoModeNodes; }
  DWORD GetInputResetRequest() const { return m_dwInputResetRequest; }

 protected:
  // The library LoadEngine loads; the game always loads the engine, tests a stand-in of it.
  const char* m_szEngineLibrary = kEngineLibrary;
  DWORD m_dwFlags = 0;
  std::multimap<CMeshInterface*, DWORD> m_mapGameMeshes;
  std::vector<geCVideoModeListener*> m_vVideoModeNodes;
  std::map<std::string, DWORD> m_mapSoundAliases;
  int m_nMusicVolume = g_nMusicVolume;
  int m_nSoundFxVolume = g_nSoundVolume;
  BYTE m_bSSE = 0, m_bMMX = 0, m_bCPUID = 0;
  HWND m_hWnd = nullptr;
  HINSTANCE m_hInstance;
  const char* m_szCommandLine;
  DWORD m_dwShowCommand;
  MSG m_Message = {};
  CSettingsInterface* m_pEngineSettings = nullptr;
  CTimerInterface* m_pGameTimer = nullptr;
  TonarisInterface* m_pSoundServer = nullptr;
  TiXmlDocument m_GameTree;
  geSUpdateArgument m_UpdateArgument = {0.0f, 0.0f};
  geSEngineSettings m_Settings;
  HCURSOR m_hCursor = nullptr;
  char m_szConfigPath[256] = {};
  geCFontManager m_FontManager;
  std::multimap<DWORD, geCBaseNode*> m_mapRenderList;
  geMouseStatus m_MouseStatus = {};
  geTRefPtr<geCTonarisManager> m_pMusicManager;
  geTRefPtr<geCMessageRouter> m_pMessageRouter;
  geCProperties m_Properties;
  geTRefPtr<geCBaseNode> m_pRootNode;
  geTRefPtr<geCCursorsManager> m_pCursorsManager;
  std::optional<geCLogger> m_Logger;
  DWORD m_dwInputResetRequest = 1;
  // The frame the loading bar shows next; back to 0 past its scene's last frame.
  DWORD m_dwProgressFrame = 0;
  geCFrameTimer m_FrameTimer;
  CRITICAL_SECTION m_KeyTableLock = {};
  CRITICAL_SECTION m_InputLock = {};
  bool m_bLocksCreated = false;

 private:
  // Registers the core with the nodes while it lives.
  class CCorePort : public geCCorePort {
   public:
    explicit CCorePort(geCGameCore* pCore) : m_pCore(pCore) {}
    bool CoreExists() const override { return true; }
    void DrawProgressBar() override { m_pCore->DrawProgressBar(); }
    geSUpdateArgument* GetGlobalArg() override { return m_pCore->GetGlobalArg(); }
    void SetCurrentCursor(HCURSOR hCursor) override { m_pCore->SetCursorHandle(hCursor); }
    bool IsGamePaused() const override { return m_pCore->IsGamePaused(); }
    DWORD GetCoreFlags() const override { return m_pCore->GetFlags(); }
    bool UsesShaders() const override { return m_pCore->m_Settings.use_shaders != 0; }
    void RegisterGameMesh(CMeshInterface* pMesh, DWORD dwID) override {
      m_pCore->RegisterGameMesh(pMesh, dwID);
    }
    void UnregisterGameMesh(CMeshInterface* pMesh, DWORD dwID) override {
      m_pCore->UnregisterGameMesh(pMesh, dwID);
    }
    void AddToRenderList(DWORD dwKey, geCBaseNode* pNode) override {
      m_pCore->AddToRenderList(dwKey, pNode);
    }
    void SetProjectionMode(DWORD dwMode) override { m_pCore->SetProjectionMode(dwMode); }
    geMouseStatus* GetMouseStatus() override { return m_pCore->GetMouseStatus(); }
    void PostMessage(const char* szName, DWORD dwSender, DWORD dwReceiver, DWORD dwMessageID,
                     DWORD dwData) override {
      m_pCore->GetMessageRouter()->PostMessage(szName, dwSender, dwReceiver, dwMessageID, dwData);
    }

   private:
    geCGameCore* m_pCore;
  };

  void WriteBanner(geCLogger& logger, bool bSecondFreeLine);
  void DetectProcessorFeatures();
  void LogRegisteredNodeTypes();
  void MountArchivesAndInitEngine();
  void ResetInput();
  void DrawFrame();
  void ShowStatistics();
  void ShowStatisticsRows();
  void CreateCursors();
  void RemoveInputCallbacks();
  bool AddAliasedStream(const char* szFile, const char* szAccessName, DWORD dwFlags, DWORD dwKind);

  CCorePort m_CorePort{this};
  geCCorePort* m_pPreviousCorePort = nullptr;
};
