#include "sound/SoundLog.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "core/EngineContext.h"
#include "zkplatform/ZkPaths.h"

namespace {

const char kContactLine[] =
    "Please send this file with any report of a sound problem to the engine's developers.\n";

}  // namespace

CSoundLog* GetSoundLog() {
  static CSoundLog log;
  return &log;
}

void CSoundLog::Open(UINT useLogs) {
  if (useLogs != 1) return;
  const char* folder = GetEngineContext()->GetDescriptorLogFolder();
  // An empty folder would put the file at the root of the file system.
  const std::string path =
      folder && *folder ? std::string(folder) + "\\Tonaris.Log" : std::string("TonarisDebug.txt");

  std::lock_guard<std::mutex> hold(m_lock);
  CloseLocked();
  m_file = ZkFileOpen(path.c_str(), "wt");
  if (!m_file) return;
  WriteBannerLocked();
  fflush(m_file);
  m_enabled.store(true, std::memory_order_release);
}

void CSoundLog::WriteBannerLocked() {
  OSVERSIONINFOEXA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) {
    fputs("Can't Get OS Informations\n", m_file);
    return;
  }
  SYSTEMTIME now;
  GetLocalTime(&now);
  fprintf(m_file, "Tonaris Sound Server (v%i.%i - Beta Built)\n", 0, 2);
  fputs(kContactLine, m_file);
  fprintf(m_file, "Starting Debug File: %u-%u-%u at %u:%u:%u\n", now.wYear, now.wMonth, now.wDay,
          now.wHour, now.wMinute, now.wSecond);
  fputs(version.dwPlatformId == VER_PLATFORM_WIN32_NT ? "- OS: WinNT" : "- OS: Win9x", m_file);
  fprintf(m_file, " (%i.%i Built: %i)", static_cast<int>(version.dwMajorVersion),
          static_cast<int>(version.dwMinorVersion), static_cast<int>(version.dwBuildNumber));
  if (version.szCSDVersion[0] != '\0')
    fprintf(m_file, " with %.*s", static_cast<int>(sizeof version.szCSDVersion),
            version.szCSDVersion);
  fputs("\n\n", m_file);
}

void CSoundLog::Write(const char* source, const char* format, ...) {
  if (!IsEnabled() || !format) return;
  char line[kSourceWidth + kMaxMessage + 1];
  // The label fills its column exactly: cut when longer, blanks when shorter.
  const size_t labelLength = source ? strnlen(source, kSourceWidth) : 0;
  std::memcpy(line, source ? source : "", labelLength);
  std::memset(line + labelLength, ' ', kSourceWidth - labelLength);
  va_list args;
  va_start(args, format);
  vsnprintf(line + kSourceWidth, kMaxMessage + 1, format, args);
  va_end(args);

  std::lock_guard<std::mutex> hold(m_lock);
  if (!m_file) return;
  fputs(line, m_file);
  fflush(m_file);
}

void CSoundLog::Close() {
  std::lock_guard<std::mutex> hold(m_lock);
  CloseLocked();
}

void CSoundLog::CloseLocked() {
  if (!m_file) return;
  fputs("\n\n----- Tonaris Debugger Closed Successfully -----\n", m_file);
  fclose(m_file);
  m_file = nullptr;
  m_enabled.store(false, std::memory_order_release);
}
