#include "startup/EngineWindow.h"

#include <windows.h>

#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "input/WindowProcedure.h"

namespace {

const char kWindowClassName[] = "ZeKorbD3DWindow";
const WORD kEngineIconResource = 103;

// The engine's own window procedure, installed for the life of the process.
WNDPROC EngineWindowProcedure() {
  CWindowProcedure::Install(CEngineWindow::GetWindowProcedure());
  return CWindowProcedure::WindowProc;
}

}  // namespace

CWindowProcedure* CEngineWindow::GetWindowProcedure() {
  static CWindowProcedure procedure;
  return &procedure;
}

bool CEngineWindow::Create(CEngineContext* context) {
  ApplicationDescriptor* descriptor = context->pDescriptor;
  if (descriptor->hWnd) {
    // The application's window and its own procedure stay as they are.
    context->hWnd = descriptor->hWnd;
    context->dwWindowOwned = 0;
    return true;
  }
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = EngineWindowProcedure();
  windowClass.hInstance = descriptor->hInstance;
  windowClass.hIcon = descriptor->hIcon
                          ? descriptor->hIcon
                          : LoadIconA(context->hModule, MAKEINTRESOURCEA(kEngineIconResource));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassA(&windowClass);  // already registered by an earlier start: the class stands

  const bool windowed = descriptor->dwWindowed != 0;
  const DWORD extendedStyle = windowed ? WS_EX_APPWINDOW : WS_EX_APPWINDOW | WS_EX_TOPMOST;
  const DWORD style = windowed ? WS_POPUP | WS_CAPTION : WS_POPUP;
  context->hWnd = CreateWindowExA(extendedStyle, kWindowClassName, descriptor->szWindowTitle, style,
                                  0, 0, 128, 128, nullptr, nullptr, descriptor->hInstance, nullptr);
  if (!context->hWnd) return false;
  descriptor->hWnd = context->hWnd;
  context->dwWindowOwned = 1;
  return true;
}
