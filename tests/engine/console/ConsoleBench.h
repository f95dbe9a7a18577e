#pragma once
// A console as the engine makes it, on the GUI library's Null renderer and a real script host:
// the engine context holds the GUI, the host and the console. Tests read the windows through
// the GUI's registry and type into the edit box as a user would.
#include <angelscript.h>

#include <CEGUI/Window.h>
#include <CEGUI/widgets/Editbox.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "NullGuiBench.h"
#include "console/Console.h"
#include "script/ScriptStorage.h"

class ConsoleBench {
 public:
  struct Options {
    bool gui = true;
    UINT locked = 0;
    // Gets the GUI input while the GUI runs.
    CWindowProcedure* procedure = nullptr;
    // The GUI's renderer; the library's Null renderer when not given.
    std::unique_ptr<CEGUI::Renderer> (*makeRenderer)() = nullptr;
  };

  ConsoleBench() : ConsoleBench(Options()) {}
  explicit ConsoleBench(const Options& options) : gui(GuiOptions(options)) {
    started = storage.Initialize() == 1 &&
              (!options.gui ||
               (options.makeRenderer ? gui.gui.InitializeCEGUI(options.makeRenderer())
                                     : gui.Start()) == 1);
    context->pScriptStorage = &storage;
    context->pGui = &gui.gui;
    console = std::make_unique<CConsole>(GetEngineContext(), nullptr, &log, options.locked);
    context->pConsole = console.get();
  }
  ~ConsoleBench() {
    console.reset();
    context->pConsole = nullptr;
  }

  static NullGuiBench::Options GuiOptions(const Options& options) {
    NullGuiBench::Options gui;
    gui.procedure = options.procedure;
    return gui;
  }

  CEGUI::Window* Window(const char* name) {
    return gui.gui.GetWindows().Contains(name) ? gui.gui.GetWindows().Find(name) : nullptr;
  }
  CEGUI::Editbox* Editbox() {
    return static_cast<CEGUI::Editbox*>(Window(CConsole::kEditboxName));
  }
  std::string EditboxText() { return Editbox()->getText().c_str(); }
  void Type(const std::string& text) {
    Editbox()->setText(reinterpret_cast<const CEGUI::utf8*>(text.c_str()));
  }
  // Types the line and presses ENTER.
  void Run(const std::string& text) {
    Type(text);
    console->OnChar(13);
  }
  // What the output window shows once the console has drawn a frame.
  std::string OutputText(float fps = 60.0f) {
    if (!console->IsOpen()) console->Toggle();
    console->Render(fps);
    return Window(CConsole::kTextName)->getText().c_str();
  }
  // The ring's texts, oldest first.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (UINT i = 0; i < CConsole::kLineCount; ++i) lines.push_back(console->GetLine(i).szText);
    return lines;
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  EngineContextScope context;
  CRecordingEngineLog log;
  NullGuiBench gui;
  CScriptStorage storage{&log};
  bool started = false;
  std::unique_ptr<CConsole> console;
};
