#pragma once
// The game program run whole by a test: a copy of build/bin in a folder of the test's own (so
// that runs go in parallel), started headless with its own user folders (the engine's
// single-instance lock lives in XDG_RUNTIME_DIR) and a command FIFO, its output kept in a file.
#include <sys/types.h>

#include <chrono>
#include <string>

#include "TempDir.h"

class GameProcess {
 public:
  // Copies `programFolder` (build/bin) into a fresh temporary folder; nothing runs yet.
  explicit GameProcess(const std::string& programFolder);
  // A game still running is killed.
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // The copy of build/bin and files inside it.
  std::string Bin(const std::string& relative = "") const;
  // Files beside the command FIFO, where relative screenshot paths land.
  std::string Beside(const std::string& relative) const { return m_folder / relative; }

  // Starts cpelto, again once it has ended (a second run on the same copy); throws when it
  // cannot be started.
  void Start();
  // Writes command lines to the game's FIFO.
  void Command(const std::string& lines);
  void Signal(int signal);
  // Waits for the end: the exit code, -1 when killed by a signal, -2 when it did not end in time
  // (it is then killed).
  int Wait(std::chrono::seconds limit);
  // True once `path` holds `text`, false when `limit` passed or the game ended first.
  bool WaitForText(const std::string& path, const std::string& text, std::chrono::seconds limit);
  // Where `text` first appears in `path` at or after offset `from`, waiting for it as above;
  // std::string::npos when it did not appear.
  size_t FindText(const std::string& path, const std::string& text, size_t from,
                  std::chrono::milliseconds limit);
  // True, with its exit code (-1 when killed by a signal), once the game has ended.
  bool HasEnded(int* exitCode);
  // Standard output and error so far.
  std::string Output() const;

  static std::string ReadFile(const std::string& path);

 private:
  // Reaps the game when it has ended, keeping its exit code; true once it has.
  bool Ended();

  TempDir m_folder;
  pid_t m_pid = -1;
  int m_exitCode = -1;
  int m_commands = -1;
};
