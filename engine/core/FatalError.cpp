#include "core/FatalError.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

[[noreturn]] void EndWithFatalError(const char* title, const char* text) {
  ReportError(title, text);
  GetEngineContext()->Shutdown(1);
  ExitProcess(1);
}

}  // namespace

int ReportError(const char* title, const char* text) {
  CEngineLog::Instance()->Log("ZKDXGlobals", __LINE__, CEngineLog::kLevelError, "%s\n", text);
  // No owner window: a start-up error may come before the engine has one.
  return MessageBoxA(nullptr, text, title ? title : "", MB_OK | MB_ICONERROR);
}

void FatalError(const char* format, ...) {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  EndWithFatalError("Error!", text);
}

void FatalErrorWithTitle(const char* title, const char* format, ...) {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  EndWithFatalError(title, text);
}

namespace {

int ShowFormattedBox(HWND owner, UINT icon, const char* title, const char* format, va_list args) {
  char text[kMaxErrorText];
  vsnprintf(text, sizeof text, format, args);
  return MessageBoxA(owner, text, title ? title : "", MB_OK | icon);
}

}  // namespace

int ShowMessageBox(const char* title, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int answer = ShowFormattedBox(nullptr, 0, title, format, args);
  va_end(args);
  return answer;
}

int ShowMessageBox(HWND owner, UINT icon, const char* title, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int answer = ShowFormattedBox(owner, icon, title, format, args);
  va_end(args);
  return answer;
}
