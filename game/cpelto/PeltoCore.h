#pragma once
// The game's application object: the framework's core plus the key bindings, the level list
// and its switching between frames, the player profiles, the game's script module with its
// per-frame hook and the game's node types.
#include <angelscript.h>
#include <tinyxml.h>

#include <string>
#include <vector>

#include "cpelto/JoystickKeyFeed.h"
#include "cpelto/KeyBindings.h"
#include "cpelto/PlayerProfiles.h"
#include "cpelto/WindowsUtilities.h"
#include "framework/ConfigurationNode.h"
#include "framework/GameCore.h"
#include "framework/RefPtr.h"

struct geSScriptArgument;

class CPeltoCore : public geCGameCore {
 public:
  static constexpr const char* kLevelSetupFile = "game\\config\\level_setup.xml";
  static constexpr const char* kLevelsFolder = "game\\levels\\";
  static constexpr const char* kMenuFile = "vge_menu.xml";
  static constexpr const char* kGameModule = "GameCoreModule";

  CPeltoCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand);
  ~CPeltoCore() override;

  size_t GetClassSize() const override;

  void RegisterScriptInterface() override;
  void CreateManagers() override;
  // The game module's "OnProcessGame", then at most one level change, then the framework's
  // passes.
  bool ProcessFrame() override;
  void UpdateKeyStates() override;
  // Goes to the game module's "geCGameCore_ProcessMessage" only.
  void ProcessMessage(geMessage* pMessage) override;
  void Render() override;
  bool RegisterNodeTypes() override;

  // Lists every folder under `szFolder` that matches `szPattern`, has no '.' in its name and
  // holds a "config.xml" with a named "Node" element; the element joins the game element. A
  // folder that cannot be searched ends the program.
  void ScanLevels(const char* szFolder, const char* szPattern);
  DWORD GetLevelsCount() const { return static_cast<DWORD>(m_vLevelNames.size()); }
  // Empty for an index outside the list.
  std::string GetLevelName(int nIndex) const;
  // Both only record the request; the next frame carries it out.
  void LoadLevel(const char* szName);
  // Only while a level is loaded and no unload waits: hides the HUD and resumes the game timer.
  void UnloadLevel();

  // The key-binding file into the table (written from the table when it is missing), and back.
  void LoadKeybindings();
  void SaveKeybindings();
  // Keeps the cursor inside the window's client area; the first time also puts it at half the
  // area's bottom-right screen corner.
  void ConfineCursor();

  geCBaseNode* GetCurrentLevel() const { return m_pCurrentLevel.Get(); }
  bool IsLoadPending() const { return m_bLoadPending != 0; }
  bool IsUnloadPending() const { return m_bUnloadPending != 0; }
  KeyBindings& GetKeyBindings() { return m_KeyBindings; }
  AnimationIdentifiers& GetAnimationIdentifiers() { return m_AnimationIdentifiers; }
  geCConfigurationNode* GetProfileRoot() const { return m_Profiles.GetRoot(); }
  TiXmlDocument& GetProfileDocument() { return m_Profiles.GetDocument(); }
  geCConfigurationNode* GetGameProfiles() const { return m_Profiles.GetRoot(); }
  bool LoadGameProfiles(const char* szFileName) { return m_Profiles.Load(szFileName); }
  void SaveGameProfiles(const char* szFileName) { m_Profiles.Save(szFileName); }
  AngelScript::asIScriptContext* GetGameScriptContext() const { return m_pGameScriptContext; }
  TiXmlElement* GetGameElement() const { return m_pGameElement; }
  const CWindowsUtilities& GetWindowsUtilities() const { return m_WindowsUtilities; }
  DWORD GetCursorClipped() const { return m_dwCursorClipped; }
  void SetCursorClipped(DWORD dwClipped) { m_dwCursorClipped = dwClipped; }

 private:
  // The splash images, shown for "CommercialsTime" seconds each (5 when it is not set).
  void ShowCommercials();
  void LoadLevelSetup();
  void AddLevel(const std::string& strConfigFile);
  void CreateGameInputs();
  // Joystick buttons 0 to 7 press the keys of the eight bindings after the four directions.
  void MapJoystickButtonsFromBindings();
  void LoadGameModule();
  void CreateMenu();
  // Runs a function of the game module when the game names a script and the module has it.
  void RunGameModuleEvent(const char* szFunction, const geSScriptArgument& argument);
  void LoadPendingLevel();
  void UnloadCurrentLevel();
  TiXmlElement* FindLevelElement(const std::string& strName) const;
  geCBaseNode* FindNode(const char* szName) const;
  void ClearSocketDistance();
  void LoadAllTextures();
  void ResetScriptModules();

  KeyBindings m_KeyBindings;
  AnimationIdentifiers m_AnimationIdentifiers = {};
  CPlayerProfiles m_Profiles;
  CWindowsUtilities m_WindowsUtilities;
  // Held while it is current, so a level taken out of the tree by other means is never reached
  // through a dead pointer; the tree owns it.
  geTRefPtr<geCBaseNode> m_pCurrentLevel;
  AngelScript::asIScriptContext* m_pGameScriptContext = nullptr;
  DWORD m_dwCursorClipped = 0;
  JoystickKeyFeed m_JoystickKeys;
  TiXmlElement* m_pGameElement = nullptr;
  BYTE m_bUnloadPending = 0;
  BYTE m_bLoadPending = 0;
  std::string m_strPendingLevel;
  std::vector<std::string> m_vLevelNames;
  // Nodes keep pointers to the elements they were made from, so both documents live as long as
  // the core.
  TiXmlDocument m_LevelSetup;
  TiXmlDocument m_MenuDocument;
};
