#include "framework/Logger.h"

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "zkplatform/ZkPaths.h"

namespace {

// Declared before the global loggers so that it outlives them: their destructors still log.
std::mutex g_logLock;
std::atomic<bool> g_bLoggingEnabled{true};
bool g_bFirstWrite = true;  // guarded by g_logLock

// The runtime's asctime form ("Thu May 26 12:34:56 2005\n"), from the platform's local time.
std::string LocalTimeText() {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[64];
  snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[now.wDayOfWeek % 7],
           kMonths[(now.wMonth + 11) % 12], int{now.wDay}, int{now.wHour}, int{now.wMinute},
           int{now.wSecond}, int{now.wYear});
  return text;
}

}  // namespace

geCLogger g_GameLogger("GameEngine.log");
geCLogger g_ScriptLogger("AngelScript.log");

geCLogger::geCLogger(const char* szFileName) { SetFileName(szFileName); }

geCLogger::~geCLogger() { Log("\n-----------> Closed on %s\n", LocalTimeText().c_str()); }

void geCLogger::SetFileName(const char* szFileName) {
  snprintf(m_szFileName, sizeof m_szFileName, "%s", szFileName ? szFileName : "");
}

void geCLogger::Log(const char* szFormat, ...) {
  if (!g_bLoggingEnabled.load(std::memory_order_relaxed) || !szFormat) return;

  // Formatted before the lock is taken; a line of any length is written whole.
  char shortText[512];
  std::string longText;
  va_list args;
  va_start(args, szFormat);
  va_list again;
  va_copy(again, args);
  int length = vsnprintf(shortText, sizeof shortText, szFormat, args);
  va_end(args);
  const char* text = shortText;
  if (length >= static_cast<int>(sizeof shortText)) {
    longText.resize(static_cast<size_t>(length) + 1);
    vsnprintf(longText.data(), longText.size(), szFormat, again);
    text = longText.c_str();
  }
  va_end(again);
  if (length < 0) return;

  std::lock_guard<std::mutex> hold(g_logLock);
  const char* mode = g_bFirstWrite ? "w" : "a+";
  g_bFirstWrite = false;
  FILE* file = ZkFileOpen(m_szFileName, mode);
  if (!file) return;  // the line is lost; nothing else is affected
  fwrite(text, 1, static_cast<size_t>(length), file);
  fclose(file);
}

void geCLogger::SetLoggingEnabled(bool bEnabled) { g_bLoggingEnabled = bEnabled; }

bool geCLogger::IsLoggingEnabled() { return g_bLoggingEnabled; }

void geCLogger::SetFirstWrite(bool bFirstWrite) {
  std::lock_guard<std::mutex> hold(g_logLock);
  g_bFirstWrite = bFirstWrite;
}
