#include "core/EngineLog.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "core/EngineContext.h"
#include "zkplatform/ZkPaths.h"

namespace {

const char* const kFileNames[] = {"ZeKorb.Log", "ZeKorbInfo.Log", "ZeKorbError.Log",
                                  "ZeKorbUser.Log"};

const char kContactLine[] =
    "Please send this file with any report of a problem to the engine's developers.\n";

}  // namespace

CEngineLog* CEngineLog::Instance() {
  static CEngineLog log;
  return &log;
}

void CEngineLog::Log(const char* file, int line, int level, const char* format, ...) {
  if (!m_enabled.load(std::memory_order_relaxed) || !format) return;
  char message[kMaxMessage];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);

  // The prefix is padded with spaces to its width; a longer one is cut there, so the message
  // always starts at the same column.
  char mainLine[kMainPrefixWidth + kMaxMessage];
  int prefixLength =
      snprintf(mainLine, kMainPrefixWidth + 1, "%s, Line: %i:", file ? file : "", line);
  size_t used = prefixLength < 0 ? 0 : static_cast<size_t>(prefixLength);
  if (used > kMainPrefixWidth) used = kMainPrefixWidth;
  std::memset(mainLine + used, ' ', kMainPrefixWidth - used);
  snprintf(mainLine + kMainPrefixWidth, sizeof mainLine - kMainPrefixWidth, "%s", message);

  std::lock_guard<std::mutex> hold(m_lock);
  WriteLocked(level, message, mainLine);
}

void CEngineLog::LogText(const char* file, int line, int level, const char* text) {
  if (!m_enabled.load(std::memory_order_relaxed)) return;
  if (!text) text = "";
  std::string mainLine = file ? file : "";
  mainLine += ", Line: " + std::to_string(line) + ": " + text;
  std::lock_guard<std::mutex> hold(m_lock);
  WriteLocked(level, text, mainLine.c_str());
}

int CEngineLog::FileOfLevel(int level) {
  switch (level) {
    case kLevelInfo: return kInfo;
    case kLevelError: return kError;
    case kLevelUser: return kUser;
    default: return -1;
  }
}

void CEngineLog::WriteLocked(int level, const char* message, const char* mainLine) {
  if (!m_enabled) return;
  int levelFile = FileOfLevel(level);
  if (levelFile >= 0) {
    fputs(message, m_files[levelFile]);
    fflush(m_files[levelFile]);
  }
  fputs(mainLine, m_files[kMain]);
  fflush(m_files[kMain]);
}

void CEngineLog::WriteAllLocked(const char* text) {
  for (FILE* file : m_files) fputs(text, file);
}

bool CEngineLog::Open(const char* banner, const char* folder, const char* libraryFolder) {
  std::lock_guard<std::mutex> hold(m_lock);
  CloseFilesLocked();
  for (int i = 0; i < kFileCount; ++i) {
    m_paths[i] = folder ? std::string(folder) + "\\" + kFileNames[i]
                        : std::string(libraryFolder ? libraryFolder : "") + kFileNames[i];
    m_files[i] = ZkFileOpen(m_paths[i].c_str(), "w");
    if (!m_files[i]) {
      // Without all four files there is no log; the ones made so far are not left open.
      CloseFilesLocked();
      return false;
    }
  }
  WriteHeaderLocked(banner);
  m_enabled = true;
  return true;
}

void CEngineLog::WriteHeaderLocked(const char* banner) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[256];
  WriteAllLocked(banner ? banner : "");
  WriteAllLocked(kContactLine);
  snprintf(text, sizeof text, "Starting Debug File: %u-%u-%u at %u:%u:%u\n", now.wYear, now.wMonth,
           now.wDay, now.wHour, now.wMinute, now.wSecond);
  WriteAllLocked(text);

  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version)) {
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
      WriteAllLocked("- OS: WinNT");
      OSVERSIONINFOEXA extended = {};
      extended.dwOSVersionInfoSize = sizeof extended;
      if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        snprintf(text, sizeof text, " (%i.%i Built: %i)", static_cast<int>(extended.dwMajorVersion),
                 static_cast<int>(extended.dwMinorVersion),
                 static_cast<int>(extended.dwBuildNumber));
        WriteAllLocked(text);
        if (extended.wServicePackMajor != 0) {
          snprintf(text, sizeof text, " with %.128s", extended.szCSDVersion);
          WriteAllLocked(text);
        }
      }
    } else {
      WriteAllLocked("- OS: Win9x");
      snprintf(text, sizeof text, " (%i.%i Built: %i)", static_cast<int>(version.dwMajorVersion),
               static_cast<int>(version.dwMinorVersion), static_cast<int>(version.dwBuildNumber));
      WriteAllLocked(text);
    }
  }
  WriteAllLocked("\n\n");
  fputs("This is user generated log file.\n", m_files[kUser]);
  for (FILE* file : m_files) fflush(file);
}

void CEngineLog::Close(bool keep) {
  std::lock_guard<std::mutex> hold(m_lock);
  if (!m_enabled) return;
  WriteAllLocked("\n\n----- ZeKorb Debugger Closed Successfully -----\n");
  CloseFilesLocked();
  if (!keep)
    for (const std::string& path : m_paths) std::remove(ZkMapPath(path.c_str()).c_str());
}

void CEngineLog::CloseFilesLocked() {
  for (FILE*& file : m_files) {
    if (file) fclose(file);
    file = nullptr;
  }
  m_enabled = false;
}

bool CEngineLog::IsEnabled() {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_enabled;
}

CEngineLog* GetEngineLog(unsigned /*ignored*/, const char* banner, const char* folder) {
  if (!IsLogEnabled()) OpenLogFiles(1, banner, folder);
  return CEngineLog::Instance();
}

void OpenLogFiles(int open, const char* banner, const char* folder) {
  if (open != 1) return;
  CEngineLog::Instance()->Open(banner, folder, GetEngineContext()->GetApplicationFolder());
}

void CloseLogFiles(int keep) { CEngineLog::Instance()->Close(keep != 0); }

int IsLogEnabled() { return CEngineLog::Instance()->IsEnabled() ? 1 : 0; }

void LogTo(CEngineLog* log, const char* source, LogLevelAt level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogToV(log, source, level, format, args);
  va_end(args);
}

void LogToV(CEngineLog* log, const char* source, LogLevelAt level, const char* format,
            va_list args) {
  if (log == nullptr) return;
  char text[CEngineLog::kMaxMessage];
  vsnprintf(text, sizeof text, format, args);
  log->Log(source, level.line, level.level, "%s", text);
}
