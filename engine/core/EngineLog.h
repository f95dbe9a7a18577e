#pragma once
// The engine's one log. It writes four files side by side: "ZeKorb.Log" gets every message with
// its source name and line, "ZeKorbInfo.Log", "ZeKorbError.Log" and "ZeKorbUser.Log" get the
// messages of levels 1, 2 and 4 as they were given. Messages carry their own line ends.
//
// The input thread logs while the main thread does, so each call writes its whole message to
// every file it goes to under one lock: lines never interleave.
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <source_location>
#include <string>

class CEngineLog {
 public:
  static constexpr int kLevelInfo = 1;
  static constexpr int kLevelError = 2;
  static constexpr int kLevelUser = 4;

  // A formatted message is cut at this many bytes.
  static constexpr size_t kMaxMessage = 2048;
  // The message starts after the main line's prefix "%s, Line: %i:", padded or cut to this.
  static constexpr size_t kMainPrefixWidth = 70;

  // The one log object of the engine.
  static CEngineLog* Instance();

  // printf-style; writes nothing while the log is disabled.
  virtual void Log(const char* file, int line, int level, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  // A finished text; its main line is "%s, Line: %i: %s" without padding.
  void LogText(const char* file, int line, int level, const char* text);

  // Creates the four files in `folder` (a backslash and the name are appended) or, when
  // `folder` is null, in `libraryFolder` (which ends in a separator), and writes their headers.
  // On failure every file already opened is closed again and the log stays disabled.
  bool Open(const char* banner, const char* folder, const char* libraryFolder);
  // Writes the closing line to the four files and closes them; deletes them unless `keep`.
  void Close(bool keep);
  bool IsEnabled();

 protected:
  CEngineLog() = default;
  CEngineLog(const CEngineLog&) = delete;
  CEngineLog& operator=(const CEngineLog&) = delete;

 private:
  enum { kMain, kInfo, kError, kUser, kFileCount };

  // The file that messages of `level` go to besides the main one; -1 when there is none.
  static int FileOfLevel(int level);
  void WriteLocked(int level, const char* message, const char* mainLine);
  void WriteAllLocked(const char* text);
  void WriteHeaderLocked(const char* banner);
  void CloseFilesLocked();

  std::mutex m_lock;
  FILE* m_files[kFileCount] = {};
  std::string m_paths[kFileCount];
  // Written under the lock; read without it only to skip formatting while disabled.
  std::atomic<bool> m_enabled{false};
};

// The engine-wide entry points: GetEngineLog opens the files first when the log is not enabled.
CEngineLog* GetEngineLog(unsigned ignored, const char* banner, const char* folder);
void OpenLogFiles(int open, const char* banner, const char* folder);
void CloseLogFiles(int keep);
int IsLogEnabled();

// A log level and the line of the call that names it. As the level parameter of LogTo it
// records the caller's line, so no call site writes __LINE__ and no wrapper reports its own.
struct LogLevelAt {
  LogLevelAt(int level, std::source_location where = std::source_location::current())
      : level(level), line(static_cast<int>(where.line())) {}
  // For a caller that was handed its own caller's line.
  LogLevelAt(int level, int line) : level(level), line(line) {}
  int level;
  int line;
};

// The engine's one way to write a log line: printf-style into `log` under the source name
// `source` and the caller's line; does nothing without a log.
void LogTo(CEngineLog* log, const char* source, LogLevelAt level, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// The same for a caller that takes the arguments itself (the caller's line is `level.line`).
void LogToV(CEngineLog* log, const char* source, LogLevelAt level, const char* format,
            va_list args);
