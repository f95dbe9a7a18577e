#pragma once
// A scripted session of the game: a GameProcess driven through its command pipe, whose steps
// wait for lines in the game's logs, each step within its own limit and all of them within one
// limit for the whole run, so that a hang fails the test in time. When the test has failed, the
// session prints the end of each log and keeps the copy (logs, screenshots) under
// build/e2e-failures/<test name>/.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "GameProcess.h"
#include "Screenshot.h"

class GameSession {
 public:
  enum class Log { Script, Game, Engine, EngineError, Sound, Output };

  // Copies build/bin; nothing runs yet.
  explicit GameSession(std::chrono::seconds wholeLimit);
  ~GameSession();
  GameSession(const GameSession&) = delete;
  GameSession& operator=(const GameSession&) = delete;

  GameProcess& Game() { return m_game; }
  std::string Path(Log log) const;
  std::string Read(Log log) const;

  // Sets the window's size in the copy's "cfg\config.xml" (the menu scales with it).
  void SetWindowSize(int width, int height);
  // Replaces `from` by `to` in a file of the copy's runtime folder; fails when `from` is not there.
  ::testing::AssertionResult Edit(const std::string& runtimeFile, const std::string& from,
                                  const std::string& to);

  // Starts the game, the logs read from their start again.
  void Start();
  void Command(const std::string& lines) { m_game.Command(lines); }
  // Waits for `text` in `log` after the text last awaited there, within `limit` and what is left
  // of the whole run's limit.
  ::testing::AssertionResult Await(Log log, const std::string& text, std::chrono::seconds limit);
  // As Await, for a line starting with `prefix`; `rest` receives the remainder of that line.
  ::testing::AssertionResult AwaitLine(Log log, const std::string& prefix,
                                       std::chrono::seconds limit, std::string* rest);
  // As Await, for `heading` and then `end` after it; `section` receives the text between them.
  ::testing::AssertionResult AwaitSection(Log log, const std::string& heading,
                                          const std::string& end, std::chrono::seconds limit,
                                          std::string* section);
  // Has the game write a screenshot beside its copy, named after the run, and loads it.
  Screenshot Shoot(const std::string& name, std::chrono::seconds limit);
  // Waits for the game to end: its exit code, -2 when it did not end in time.
  int End(std::chrono::seconds limit);

  // The client pixel of a point of the menu's design space (800 x 600, y from the bottom).
  std::string MenuPoint(double x, double y) const;

 private:
  std::chrono::milliseconds Remaining(std::chrono::seconds limit) const;
  void KeepForInspection() const;

  GameProcess m_game;
  std::chrono::steady_clock::time_point m_deadline;
  std::chrono::seconds m_wholeLimit;
  std::map<Log, size_t> m_read;
  int m_runs = 0;
  int m_width = 800;
  int m_height = 600;
};

// Whether `lines` appear in `text` in this order.
::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& lines);
