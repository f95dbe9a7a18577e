#pragma once
// The GUI library of the console and tool windows, brought up once at engine initialisation:
// its system on the renderer it is handed, its log, the TaharezLook scheme from the engine's
// data folder, the default cursor and font, and the root window "root_wnd" every console and
// tool window hangs from. While it runs, the window procedure feeds it through a GUI input over
// the default GUI context. Used from the main thread only.
#include <memory>
#include <string>

#include "console/WindowRegistry.h"

namespace CEGUI {
class Renderer;
class System;
}  // namespace CEGUI

class CEngineLog;
class CGuiContextInput;
class CGuiInput;
class CWindowProcedure;

struct GuiSystemSettings {
  CEngineLog* pLog;
  // The folder holding "cegui/" (schemes, imagesets, fonts, looknfeel), ending in a separator:
  // the engine library's folder.
  const char* szDataFolder;
  // Where the GUI library writes its own log ("CEGUI.log" beside the engine library).
  const char* szLogFile;
  // The configuration's console lock: the GUI is switched off and nothing is made.
  bool bConsoleLocked;
  // Gets the GUI input while the GUI runs; may be null.
  CWindowProcedure* pWindowProcedure;
};

class CGuiSystem {
 public:
  explicit CGuiSystem(const GuiSystemSettings& settings);
  ~CGuiSystem();
  CGuiSystem(const CGuiSystem&) = delete;
  CGuiSystem& operator=(const CGuiSystem&) = delete;

  // Starts the GUI library on `renderer`, which it owns from here on. 1 when it runs, or when the
  // console lock switches it off (the renderer is then freed at once); 0 after an exception of
  // the library, logged as "CEGUI Exception: ...", with everything made so far released again;
  // 0 also, with nothing changed, when it runs already or is given no renderer.
  // The process's current directory is never changed: other threads resolve files against it.
  int InitializeCEGUI(std::unique_ptr<CEGUI::Renderer> renderer);
  // Takes the GUI input back from the window procedure, destroys the library's system (its
  // windows, its log and its singletons) and then the renderer. Nothing when it never started.
  void Release();

  bool IsStarted() const { return m_pSystem != nullptr; }
  // Null while the GUI is not running.
  CEGUI::System* GetSystem() const { return m_pSystem; }
  CEGUI::Renderer* GetRenderer() const { return m_pRenderer.get(); }
  CGuiInput* GetInput() const;
  CWindowRegistry& GetWindows() { return m_windows; }

 private:
  void CreateSystem();
  void LoadScheme();
  void SetDefaults();
  void CreateRootWindow();

  CEngineLog* m_pLog;
  std::string m_dataFolder;
  std::string m_logFile;
  bool m_bConsoleLocked;
  CWindowProcedure* m_pWindowProcedure;

  std::unique_ptr<CEGUI::Renderer> m_pRenderer;
  CEGUI::System* m_pSystem = nullptr;
  std::unique_ptr<CGuiContextInput> m_pInput;
  CWindowRegistry m_windows;
};
