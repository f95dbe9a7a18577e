#pragma once
// The game's text logs. Every Log call opens the file, appends exactly the formatted text and
// closes it again, so the file is complete even when the process dies. Loggers on one file
// interleave their lines in call order; one call is one whole write under a program-wide lock,
// since the engine's input thread logs too.
class geCLogger {
 public:
  static constexpr int kMaxFileName = 32;

  // The name is kept to its first kMaxFileName characters; it is a path as the game writes them
  // (backslashes, any case) and opens through the platform's path mapping.
  explicit geCLogger(const char* szFileName);
  // Writes the closing line with the local date and time.
  virtual ~geCLogger();

  void Log(const char* szFormat, ...) __attribute__((format(printf, 2, 3)));

  void SetFileName(const char* szFileName);
  const char* GetFileName() const { return m_szFileName; }

  // Program-wide: while logging is disabled no logger writes anything.
  static void SetLoggingEnabled(bool bEnabled);
  static bool IsLoggingEnabled();
  // Program-wide: the next write of any logger empties its file first. Set when the program
  // starts.
  static void SetFirstWrite(bool bFirstWrite);

 private:
  char m_szFileName[kMaxFileName + 1] = {};
};

// The program-wide loggers, built before the program's entry runs: the game log and the script
// log.
extern geCLogger g_GameLogger;
extern geCLogger g_ScriptLogger;
