#include "input/WindowProcedure.h"

#include "input/ConsoleControl.h"
#include "input/DeviceReset.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "input/GuiInput.h"
#include "input/InputControllers.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "ZKDXGlobals.h"

namespace {

constexpr const char* kSource = "ZeKorbWindow";
constexpr WPARAM kBackQuoteKey = 0xC0;
constexpr WPARAM kBackQuoteCharacter = 0x60;
constexpr LPARAM kEnterKey = 13;
constexpr float kWheelNotch = 120.0f;

CWindowProcedure* g_pInstalledProcedure = nullptr;

// Escape and closing the window are orderly ends of the program, not failures.
void RunEngineShutdown() {
  if (CEngineContext* context = GetEngineContext()) context->Shutdown(0);
}

void LogInfo(const char* text) {
  CEngineContext* context = GetEngineContext();
  if (context && context->pLog) context->pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, text);
}

const ZeKorbConfig* EngineConfig() {
  const CEngineContext* context = GetEngineContext();
  return context ? context->pConfig : nullptr;
}

}  // namespace

CWindowProcedure::CWindowProcedure() : m_fpShutdown(RunEngineShutdown) {}

CWindowProcedure::~CWindowProcedure() {
  if (g_pInstalledProcedure == this) g_pInstalledProcedure = nullptr;
}

void CWindowProcedure::Install(CWindowProcedure* procedure) { g_pInstalledProcedure = procedure; }

LRESULT CALLBACK CWindowProcedure::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (g_pInstalledProcedure == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  return g_pInstalledProcedure->HandleMessage(hwnd, message, wParam, lParam);
}

void CWindowProcedure::SetShutdown(EngineShutdownRoutine shutdown) {
  m_fpShutdown = shutdown ? shutdown : RunEngineShutdown;
}

bool CWindowProcedure::ConsoleLocked() const {
  const ZeKorbConfig* config = EngineConfig();
  return config != nullptr && config->dwLockConsole != 0;
}

void CWindowProcedure::SetCentringSuspended(UINT suspended) {
  CMouse* mouse = m_pInput ? m_pInput->GetMouse() : nullptr;
  if (mouse) mouse->SetCentringSuspended(suspended);
}

LRESULT CWindowProcedure::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: return OnActivate(hwnd, message, wParam, lParam);
    case WM_CLOSE: m_fpShutdown(); break;
    case WM_ERASEBKGND: return 0;
    case WM_SETCURSOR:
      if (CMouse* mouse = m_pInput ? m_pInput->GetMouse() : nullptr) mouse->ReapplyCursor();
      break;
    case WM_KEYDOWN: return OnKeyDown(hwnd, message, wParam, lParam);
    case WM_CHAR: return OnChar(wParam);
    case WM_SYSCOMMAND: return OnSystemCommand(hwnd, message, wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(lParam); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: OnMouseButton(message); break;
    case WM_MOUSEWHEEL:
      if (IsConsoleOpen() && m_pGui)
        m_pGui->InjectMouseWheelChange(GET_WHEEL_DELTA_WPARAM(wParam) / kWheelNotch);
      break;
    default: break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CWindowProcedure::OnActivate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ClipCursor(nullptr);
  if (wParam == WA_INACTIVE) {
    const ZeKorbConfig* config = EngineConfig();
    if (config && config->dwKeepActive == 1) {
      SetActiveWindow(hwnd);
      return 1;
    }
    SetCentringSuspended(1);
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  RECT client;
  if (GetClientRect(hwnd, &client)) {
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ClientToScreen(hwnd, &topLeft);
    ClientToScreen(hwnd, &bottomRight);
    const RECT screen = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    SetCursorPos(screen.right, screen.bottom);
    ClipCursor(&screen);
  }
  SetCentringSuspended(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CWindowProcedure::ToggleConsole() {
  m_dwConsoleOpen = m_pConsole->Toggle() == 1 ? 1 : 0;
  if (m_dwConsoleOpen != 1) return;
  POINT cursor;
  if (m_pGui && GetCursorPos(&cursor))
    m_pGui->InjectMousePosition(static_cast<float>(cursor.x), static_cast<float>(cursor.y));
  m_sLastMouseX = kUnknownPosition;
  m_sLastMouseY = kUnknownPosition;
}

LRESULT CWindowProcedure::OnKeyDown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (wParam == kBackQuoteKey) {
    if (m_pConsole && !ConsoleLocked()) ToggleConsole();
  } else if (wParam == VK_UP) {
    if (IsConsoleOpen()) m_pConsole->HistoryUp();
  } else if (wParam == VK_DOWN) {
    if (IsConsoleOpen()) m_pConsole->HistoryDown();
  } else if (wParam == VK_ESCAPE && !IsConsoleOpen()) {
    const ZeKorbConfig* config = EngineConfig();
    if (config && config->dwEscapeShutsDown == 1) {
      if (CEngineContext* context = GetEngineContext()) context->dwQuit = 1;
      LogInfo("- ESC Pressed!!!\n");
      m_fpShutdown();
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CWindowProcedure::OnChar(WPARAM wParam) {
  const UINT character = static_cast<UINT>(wParam);
  // The back quote opens and closes the console; it is never typed into it.
  if (IsConsoleOpen() && wParam != kBackQuoteCharacter) {
    if (m_pGui) m_pGui->InjectChar(character);
    m_pConsole->OnChar(character);
  }
  if (CKeyboard* keyboard = m_pInput ? m_pInput->GetKeyboard() : nullptr)
    keyboard->OnCharacter(character);
  return 0;
}

void CWindowProcedure::SwitchScreenMode() {
  CEngineContext* context = GetEngineContext();
  if (context == nullptr) return;
  if (context->pDescriptor)
    context->pDescriptor->dwWindowed = context->pDescriptor->dwWindowed == 1 ? 0 : 1;
  context->dwWindowed = context->dwWindowed == 1 ? 0 : 1;
  if (m_pDeviceReset) m_pDeviceReset->ResetDevice();
  LogInfo("Changing Screen Mode\n");
}

LRESULT CWindowProcedure::OnSystemCommand(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  const WPARAM command = wParam & 0xFFF0;
  if (command == SC_KEYMENU && lParam == kEnterKey && !ConsoleLocked()) {
    SwitchScreenMode();
    return 1;
  }
  if (command == SC_SCREENSAVE || command == SC_MONITORPOWER) return 0;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void CWindowProcedure::OnMouseMove(LPARAM lParam) {
  if (IsConsoleOpen()) {
    const SHORT x = static_cast<SHORT>(LOWORD(lParam));
    const SHORT y = static_cast<SHORT>(HIWORD(lParam));
    if (m_sLastMouseX == kUnknownPosition) m_sLastMouseX = x;
    if (m_sLastMouseY == kUnknownPosition) m_sLastMouseY = y;
    if (m_pGui)
      m_pGui->InjectMouseMove(static_cast<float>(x - m_sLastMouseX),
                              static_cast<float>(y - m_sLastMouseY));
    m_sLastMouseX = x;
    m_sLastMouseY = y;
  }
  if (CMouse* mouse = m_pInput ? m_pInput->GetMouse() : nullptr)
    mouse->UpdateCursorPosition(lParam);
}

void CWindowProcedure::OnMouseButton(UINT message) {
  if (!IsConsoleOpen() || m_pGui == nullptr) return;
  int button = 0;
  bool down = false;
  switch (message) {
    case WM_LBUTTONDOWN: down = true; [[fallthrough]];
    case WM_LBUTTONUP: button = 0; break;
    case WM_RBUTTONDOWN: down = true; [[fallthrough]];
    case WM_RBUTTONUP: button = 1; break;
    case WM_MBUTTONDOWN: down = true; [[fallthrough]];
    case WM_MBUTTONUP: button = 2; break;
    default: return;
  }
  if (down)
    m_pGui->InjectMouseButtonDown(button);
  else
    m_pGui->InjectMouseButtonUp(button);
}
