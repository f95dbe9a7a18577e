#pragma once
// The engine's in-game console: a GUI frame window with an output text and an edit box, opened
// and closed with the back-quote key. A typed line runs as script statements in the module
// "ZeKorbConsole", so every script function and every registered console command can be called
// from it. It keeps seven output lines in a ring (live lines refresh themselves every frame), a
// seven-line history and a table of up to 64 console commands with name completion.
//
// Without the GUI (a locked console, or a GUI that did not start) the console has no windows and
// every operation that would touch one does nothing there. The window procedure, the frame
// display and the commands all run on the main thread; the console takes no lock.
#include <cstdint>
#include <memory>
#include <string>

#include "ConsoleFunction.h"
#include "console/ConsoleLine.h"
#include "console/FileWindow.h"
#include "console/QuestionBox.h"
#include "console/ConsoleOutputStream.h"
#include "core/ConsoleFrame.h"
#include "input/ConsoleControl.h"
#include "windef.h"

namespace CEGUI {
class System;
class Window;
class WindowManager;
}  // namespace CEGUI

class CD3D9RendererInterface;
class CEngineContext;
class CEngineLog;
class CGuiSystem;
class CSceneEditor;
class CSceneInterface;
class CSurfaceEditor;
class CSurfaceInterface;
class MessageBoxYesNo;
class MessageBoxYesNoCancel;

class CConsole final : public CConsoleControl, public CConsoleFrame {
 public:
  static constexpr UINT kLineCount = 7;
  static constexpr UINT kHistoryCount = 7;
  // History entries and name completion take the first characters of the edit box, which
  // holds up to 2048.
  static constexpr UINT kHistoryLength = 255;
  static constexpr UINT kCompletionLength = 63;
  static constexpr UINT kEditboxLength = 2048;
  static constexpr UINT kMaxFunctions = 64;
  static constexpr UINT kCaretIndex = 64;
  static constexpr const char* kModule = "ZeKorbConsole";
  static constexpr const char* kFrameName = "ZeKorb/Console";
  static constexpr const char* kEditboxName = "ZeKorb/Console/Editbox";
  static constexpr const char* kTextName = "ZeKorb/Console/Text1";

  // The console's windows hang from the GUI's root when the context's GUI runs and the console
  // is not locked. The console commands are registered with the context's script host.
  CConsole(CEngineContext* context, CD3D9RendererInterface* renderer, CEngineLog* log,
           UINT locked);
  // Destroys the console's windows while the GUI still runs.
  ~CConsole();
  CConsole(const CConsole&) = delete;
  CConsole& operator=(const CConsole&) = delete;

  // 1 when the entry's declaration was registered with the script engine and the entry stored;
  // 0 (logged) when the table is full or the script engine refuses the declaration.
  virtual int RegisterFunction(ConsoleFunction* entry);
  // The oldest line, handed out again as the newest: empty, plain and in use.
  virtual ConsoleLine* NextOutputLine();
  // Null without GUI.
  virtual CEGUI::WindowManager* GetWindowManager();
  virtual CEGUI::System* GetGUISystem();
  // The load (save) window, made on first use: its filters set, then shown in `startFolder`'s
  // folder (null: where it was left). True when it opened; false without GUI.
  virtual bool OpenLoadWindow(const char* startFolder, const char (*filters)[CFileWindow::kFilterSize],
                              UINT count, FileWindowCallback callback, void* data);
  virtual bool OpenSaveWindow(const char* startFolder, const char (*filters)[CFileWindow::kFilterSize],
                              UINT count, FileWindowCallback callback, void* data);
  // The question boxes, made on first use; the text is formatted into 2048 characters.
  virtual void MessageBoxYesNo(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                               void* noData, const char* title, const char* format, ...)
      __attribute__((format(printf, 7, 8)));
  virtual void MessageBoxYesNoCancel(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                                     void* noData, MessageBoxCallback cancel, void* cancelData,
                                     const char* title, const char* format, ...)
      __attribute__((format(printf, 9, 10)));

  // The scene editor, made on first use, shown on `scene` (null: every scene). Nothing without
  // GUI or when it cannot be built.
  void OpenSceneEditor(CSceneInterface* scene);
  // The surface editor, made on first use, shown on `surface`. Nothing without GUI or when it
  // cannot be built.
  void OpenSurfaceEditor(CSurfaceInterface* surface);

  uint32_t Toggle() override;
  void HistoryUp() override;
  void HistoryDown() override;
  // TAB completes a command name, ENTER runs the line, ESC reminds that the console is open.
  void OnChar(uint32_t character) override;
  // Runs the edit box's line (unless locked), keeps it in the history and clears the edit box.
  int ExecuteLine();

  bool IsOpen() const override { return m_dwOpen == 1; }
  int Render(float fps) override;

  // The command "Quit": the running line is aborted and the engine quits once the script host has
  // returned from it, so the shutdown never frees the script engine under its own call.
  void RequestQuit();
  // True while a typed line runs: the console is then on the caller's stack and is not freed.
  bool IsExecutingLine() const { return m_bExecutingLine; }
  // Forgets the GUI, which is about to go: from here on the console has no windows.
  void DetachGui();

  CConsoleOutputStream& GetOutputStream() { return m_output; }
  // The ring's lines, oldest first.
  const ConsoleLine& GetLine(UINT index) const { return *m_pRing[index]; }
  const char* GetHistoryEntry(UINT index) const { return m_szHistory[index]; }
  UINT GetFunctionCount() const { return m_dwFunctionCount; }
  const ConsoleFunction* GetFunction(UINT index) const { return m_pFunctions[index]; }
  UINT IsLocked() const { return m_dwLocked; }

 private:
  void CreateWindows();
  bool OpenFileWindow(std::unique_ptr<CFileWindow>& window, CFileWindow::Kind kind,
                      const char* startFolder, const char (*filters)[CFileWindow::kFilterSize],
                      UINT count, FileWindowCallback callback, void* data);
  // Makes `window` from the GUI's registry and the log on first use; false without GUI or when it
  // cannot be built.
  template <class Tool>
  bool MakeTool(std::unique_ptr<Tool>& window);
  // The console's window of that name, or null without GUI or once it is gone.
  CEGUI::Window* FindWindow(const char* name) const;
  std::string GetEditboxText() const;
  void SetEditboxText(const char* text, bool moveCaret);
  void CompleteName();
  void PrintLine(const char* text);
  void RefreshLiveLines();
  void ShowOutputText();

  CD3D9RendererInterface* m_pRenderer;
  CEngineContext* m_pContext;
  CEngineLog* m_pLog;
  CConsoleOutputStream m_output;
  ConsoleLine m_Lines[kLineCount] = {};
  ConsoleLine* m_pRing[kLineCount] = {};
  ConsoleFunction* m_pFunctions[kMaxFunctions] = {};
  CGuiSystem* m_pGui = nullptr;  // null without GUI
  std::unique_ptr<CFileWindow> m_pLoadWindow;
  std::unique_ptr<CFileWindow> m_pSaveWindow;
  std::unique_ptr<::MessageBoxYesNo> m_pYesNo;
  std::unique_ptr<::MessageBoxYesNoCancel> m_pYesNoCancel;
  std::unique_ptr<CSceneEditor> m_pSceneEditor;
  std::unique_ptr<CSurfaceEditor> m_pSurfaceEditor;
  UINT m_dwFunctionCount = 0;
  UINT m_dwHistoryPosition = 0;
  char m_szHistory[kHistoryCount][kHistoryLength + 1] = {};
  UINT m_dwOpen = 0;
  UINT m_dwLocked;
  bool m_bTextChanged = false;
  float m_fLastFps = 0.0f;
  bool m_bQuitRequested = false;
  bool m_bExecutingLine = false;
};
