#include "GameSession.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr size_t kTailLines = 25;

constexpr GameSession::Log kLogs[] = {GameSession::Log::Script, GameSession::Log::Game,
                                      GameSession::Log::Engine, GameSession::Log::EngineError,
                                      GameSession::Log::Sound,  GameSession::Log::Output};

std::string Tail(const std::string& text) {
  size_t at = text.size();
  for (size_t lines = 0; at > 0 && lines <= kTailLines; --at)
    if (text[at - 1] == '\n') ++lines;
  return text.substr(at);
}

// Copies a folder without its FIFO and other special files, which cannot be copied.
void CopyFolder(const fs::path& from, const fs::path& to) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory())
      fs::create_directories(target);
    else if (entry.is_regular_file())
      fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing);
  }
}

}  // namespace

GameSession::GameSession(std::chrono::seconds wholeLimit)
    : m_game(ZK_PROGRAM_FOLDER),
      m_deadline(std::chrono::steady_clock::now() + wholeLimit),
      m_wholeLimit(wholeLimit) {}

GameSession::~GameSession() {
  if (!::testing::Test::HasFailure()) return;
  m_game.Wait(std::chrono::seconds(0));
  for (Log log : kLogs)
    std::cerr << "----- the end of " << Path(log) << ":\n" << Tail(Read(log)) << "\n";
  KeepForInspection();
}

void GameSession::KeepForInspection() const {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path kept =
      fs::path(ZK_FAILURE_FOLDER) / (std::string(test->test_suite_name()) + "." + test->name());
  std::error_code failed;
  fs::remove_all(kept, failed);
  fs::create_directories(kept, failed);
  try {
    CopyFolder(m_game.Beside(""), kept);
    std::cerr << "The game's folder is kept in " << kept.string() << "\n";
  } catch (const fs::filesystem_error& error) {
    std::cerr << "The game's folder could not be kept: " << error.what() << "\n";
  }
}

std::string GameSession::Path(Log log) const {
  switch (log) {
    case Log::Script: return m_game.Bin("runtime/AngelScript.log");
    case Log::Game: return m_game.Bin("runtime/GameEngine.log");
    case Log::Engine: return m_game.Bin("ZeKorb.Log");
    case Log::EngineError: return m_game.Bin("ZeKorbError.Log");
    case Log::Sound: {
      // Without a log folder from the game the sound server writes beside the working folder.
      const std::string named = m_game.Bin("Tonaris.Log");
      return fs::exists(named) ? named : m_game.Bin("runtime/TonarisDebug.txt");
    }
    case Log::Output: return m_game.Beside("output.txt");
  }
  return {};
}

std::string GameSession::Read(Log log) const { return GameProcess::ReadFile(Path(log)); }

void GameSession::SetWindowSize(int width, int height) {
  EXPECT_TRUE(
      Edit("cfg/config.xml",
           "width=\"" + std::to_string(m_width) + "\" height=\"" + std::to_string(m_height) + "\"",
           "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) + "\""));
  m_width = width;
  m_height = height;
}

::testing::AssertionResult GameSession::Edit(const std::string& runtimeFile,
                                             const std::string& from, const std::string& to) {
  const std::string path = m_game.Bin("runtime/" + runtimeFile);
  std::string text = GameProcess::ReadFile(path);
  const size_t at = text.find(from);
  if (at == std::string::npos)
    return ::testing::AssertionFailure() << runtimeFile << " does not hold: " << from;
  text.replace(at, from.size(), to);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return ::testing::AssertionSuccess();
}

void GameSession::Start() {
  // A run's logs go beside the copy, so that the next run's waits see its own lines only; logs
  // of a game played in build/bin before the copy was made go.
  for (Log log : kLogs) {
    const fs::path path = Path(log);
    if (!fs::exists(path)) continue;
    if (m_runs == 0)
      fs::remove(path);
    else
      fs::rename(path,
                 m_game.Beside("run" + std::to_string(m_runs) + "-" + path.filename().string()));
  }
  m_read.clear();
  ++m_runs;
  m_game.Start();
}

std::chrono::milliseconds GameSession::Remaining(std::chrono::seconds limit) const {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      m_deadline - std::chrono::steady_clock::now());
  return std::max(std::chrono::milliseconds(0), std::min<std::chrono::milliseconds>(left, limit));
}

::testing::AssertionResult GameSession::Await(Log log, const std::string& text,
                                              std::chrono::seconds limit) {
  return AwaitLine(log, text, limit, nullptr);
}

::testing::AssertionResult GameSession::AwaitLine(Log log, const std::string& prefix,
                                                  std::chrono::seconds limit, std::string* rest) {
  const std::string path = Path(log);
  const bool wholeRunOver = std::chrono::steady_clock::now() + limit > m_deadline;
  const size_t found = m_game.FindText(path, prefix, m_read[log], Remaining(limit));
  if (found == std::string::npos) {
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "no \"" << prefix << "\" in " << path;
    int exitCode = 0;
    if (m_game.HasEnded(&exitCode))
      return failure << ": the game ended first, with exit code " << exitCode
                     << "; its output ends:\n"
                     << Tail(m_game.Output());
    return failure << " within "
                   << (wholeRunOver ? "the whole run's " + std::to_string(m_wholeLimit.count())
                                    : std::to_string(limit.count()))
                   << " s";
  }
  const std::string text = GameProcess::ReadFile(path);
  const size_t lineEnd = text.find('\n', found);
  m_read[log] = lineEnd == std::string::npos ? text.size() : lineEnd;
  if (rest) *rest = text.substr(found + prefix.size(), m_read[log] - found - prefix.size());
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult GameSession::AwaitSection(Log log, const std::string& heading,
                                                     const std::string& end,
                                                     std::chrono::seconds limit,
                                                     std::string* section) {
  ::testing::AssertionResult found = AwaitLine(log, heading, limit, nullptr);
  if (!found) return found;
  const size_t begin = m_read[log];
  found = AwaitLine(log, end, limit, nullptr);
  if (found) *section = Read(log).substr(begin, m_read[log] - begin);
  return found;
}

Screenshot GameSession::Shoot(const std::string& name, std::chrono::seconds limit) {
  // Each run's pictures apart; two frames first, so that what the awaited line announced is drawn.
  const std::string file = "run" + std::to_string(m_runs) + "-" + name;
  m_game.Command("frames 2\nscreenshot " + file + "\n");
  // The file appears whole, under its name only once written.
  m_game.FindText(m_game.Beside(file), "PNG", 0, Remaining(limit));
  return Screenshot(m_game.Beside(file));
}

int GameSession::End(std::chrono::seconds limit) {
  return m_game.Wait(std::chrono::duration_cast<std::chrono::seconds>(Remaining(limit)));
}

std::string GameSession::MenuPoint(double x, double y) const {
  return std::to_string(static_cast<int>(x * m_width / 800)) + " " +
         std::to_string(static_cast<int>((600 - y) * m_height / 600));
}

::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    const size_t found = text.find(line, at);
    if (found == std::string::npos)
      return ::testing::AssertionFailure() << "missing after offset " << at << ": " << line;
    at = found + line.size();
  }
  return ::testing::AssertionSuccess();
}
