#pragma once
// The GUI library brought up as the engine brings it up, on the library's Null renderer: the
// engine's own GUI data from build/bin/cegui (or a folder a test lays out), the library's log in
// the test's temporary folder. Tool windows are tested on it with real widgets and no device.
// The test program defines ZK_GUI_DATA_FOLDER (build/bin/, with its separator) and links the
// library's Null renderer.
#include <memory>
#include <string>

#include <CEGUI/RendererModules/Null/Renderer.h>

#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "console/GuiSystem.h"

class NullGuiBench {
 public:
  struct Options {
    std::string dataFolder = ZK_GUI_DATA_FOLDER;
    bool consoleLocked = false;
    CWindowProcedure* procedure = nullptr;
  };

  NullGuiBench() : NullGuiBench(Options()) {}
  explicit NullGuiBench(const Options& options)
      : dataFolder(options.dataFolder),
        logFile(logFolder / "CEGUI.log"),
        gui({&log, dataFolder.c_str(), logFile.c_str(), options.consoleLocked,
             options.procedure}) {}

  // The Null renderer's display is empty unless it is given one, as the engine's renderer takes
  // its size from the device's viewport.
  static constexpr float kDisplayWidth = 800.0f;
  static constexpr float kDisplayHeight = 600.0f;

  static std::unique_ptr<CEGUI::Renderer> MakeRenderer() {
    CEGUI::NullRenderer& renderer = CEGUI::NullRenderer::create();
    renderer.setDisplaySize(CEGUI::Sizef(kDisplayWidth, kDisplayHeight));
    return std::unique_ptr<CEGUI::Renderer>(&renderer);
  }

  // Runs the start-up on a fresh Null renderer; its result.
  int Start() { return gui.InitializeCEGUI(MakeRenderer()); }

  TempDir logFolder;
  CRecordingEngineLog log;
  std::string dataFolder;
  std::string logFile;
  CGuiSystem gui;
};
