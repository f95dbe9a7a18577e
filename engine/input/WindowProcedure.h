#pragma once
// The engine window's procedure: feeds the GUI library while the console is open, toggles the
// console with the back-quote key and walks its history with the arrow keys, switches between
// windowed and full-screen mode on Alt+Enter, shuts the engine down on Escape or on closing,
// refuses the screen saver, clips the cursor to the active window and tells the mouse where the
// cursor is. It runs on the thread that pumps the messages, the application's main thread.
#include "windows.h"

class CConsoleControl;
class CDeviceReset;
class CGuiInput;
class CInputControllers;

typedef void (*EngineShutdownRoutine)();

class CWindowProcedure {
 public:
  // Not known yet, for the last mouse position the console's GUI saw.
  static constexpr SHORT kUnknownPosition = 0x7FF;

  CWindowProcedure();
  ~CWindowProcedure();
  CWindowProcedure(const CWindowProcedure&) = delete;
  CWindowProcedure& operator=(const CWindowProcedure&) = delete;

  // The procedure to register for the engine's window class: it hands every message to the
  // installed procedure object, or to the default procedure while none is installed.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Makes `procedure` the one WindowProc uses; null uninstalls.
  static void Install(CWindowProcedure* procedure);

  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // Each may be null while its subsystem does not exist; the messages that need it are then
  // handled without it.
  void SetInputControllers(CInputControllers* input) { m_pInput = input; }
  void SetConsole(CConsoleControl* console) { m_pConsole = console; }
  void SetGui(CGuiInput* gui) { m_pGui = gui; }
  void SetDeviceReset(CDeviceReset* reset) { m_pDeviceReset = reset; }
  // What Escape and closing run; the engine's shutdown unless replaced.
  void SetShutdown(EngineShutdownRoutine shutdown);

  // The console exists and is shown.
  bool IsConsoleOpen() const { return m_pConsole != nullptr && m_dwConsoleOpen == 1; }

 private:
  LRESULT OnActivate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnChar(WPARAM wParam);
  LRESULT OnSystemCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(LPARAM lParam);
  void OnMouseButton(UINT message);
  void ToggleConsole();
  void SwitchScreenMode();
  void SetCentringSuspended(UINT suspended);
  bool ConsoleLocked() const;

  CInputControllers* m_pInput = nullptr;
  CConsoleControl* m_pConsole = nullptr;
  CGuiInput* m_pGui = nullptr;
  CDeviceReset* m_pDeviceReset = nullptr;
  EngineShutdownRoutine m_fpShutdown;
  UINT m_dwConsoleOpen = 0;
  SHORT m_sLastMouseX = kUnknownPosition;
  SHORT m_sLastMouseY = kUnknownPosition;
};
