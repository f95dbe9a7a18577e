#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LogFolder.h"
#include "framework/AngelScriptOutStream.h"
#include "framework/Logger.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestKernel.h"

using LoggerTest = LogFolder;

TEST_F(LoggerTest, FirstWriteEmptiesTheFileThenLinesAppendInCallOrder) {
  m_folder.Write("GameEngine.log", "left from the last run\n");
  geCLogger core("GameEngine.log");
  core.Log("Vantor Game Engine - version %s\n", "0.1 build 298");
  g_GameLogger.Log("- Setting custom mouse cursor to app...");
  core.Log("SUCCESS\n");
  EXPECT_EQ(Read("GameEngine.log"),
            "Vantor Game Engine - version 0.1 build 298\n"
            "- Setting custom mouse cursor to app...SUCCESS\n");

  // The flag set again empties whichever file is written next.
  geCLogger::SetFirstWrite(true);
  core.Log("%d", 2);
  EXPECT_EQ(Read("GameEngine.log"), "2");
}

TEST_F(LoggerTest, LoggingOffWritesNothingAtAll) {
  geCLogger::SetLoggingEnabled(false);
  {
    geCLogger core("GameEngine.log");
    core.Log("- Registered Node Types:\n");
  }
  EXPECT_FALSE(Exists("GameEngine.log"));

  // The first write is still to come once logging is back.
  m_folder.Write("GameEngine.log", "old\n");
  geCLogger::SetLoggingEnabled(true);
  g_GameLogger.Log("new\n");
  EXPECT_EQ(Read("GameEngine.log"), "new\n");
}

TEST_F(LoggerTest, LongLinesArriveWhole) {
  const std::string text(5000, 'x');
  g_GameLogger.Log("%s|%d\n", text.c_str(), 7);
  EXPECT_EQ(Read("GameEngine.log"), text + "|7\n");
}

// The closing line carries the local time in the C runtime's asctime form; the day of the month
// is padded to two places.
TEST_F(LoggerTest, ClosingLineCarriesTheLocalTime) {
  const char* zone = std::getenv("TZ");
  const std::string savedZone = zone ? zone : "";
  setenv("TZ", "UTC", 1);
  tzset();
  ZkTestClockSetManual(0);
  ZkTestSetCalendarOrigin(int64_t{1115370245} * 1000000);  // 6 May 2005, 09:04:05
  {
    geCLogger core("GameEngine.log");
    core.Log("~Deleted geCGameCore\n");
  }
  ZkTestClockSetReal();
  zone ? setenv("TZ", savedZone.c_str(), 1) : unsetenv("TZ");
  tzset();
  EXPECT_EQ(Read("GameEngine.log"),
            "~Deleted geCGameCore\n\n-----------> Closed on Fri May  6 09:04:05 2005\n\n");
}

TEST_F(LoggerTest, NamesAreMappedAndKeptToThirtyTwoCharacters) {
  std::filesystem::create_directory(m_folder / "logs");
  geCLogger windowsStyle("LOGS\\Game.log");
  windowsStyle.Log("mapped\n");
  EXPECT_EQ(Read("logs/Game.log"), "mapped\n");

  const std::string name32 = std::string(28, 'n') + ".log";
  geCLogger longName((name32 + ".old").c_str());
  EXPECT_EQ(longName.GetFileName(), name32);
  longName.Log("kept\n");
  EXPECT_EQ(Read(name32), "kept\n");

  // A file that cannot be opened loses only that line.
  geCLogger unreachable("missing\\folder\\x.log");
  unreachable.Log("lost\n");
  windowsStyle.Log("after\n");
  EXPECT_EQ(Read("logs/Game.log"), "mapped\nafter\n");
}

TEST_F(LoggerTest, LinesFromTwoThreadsNeverMix) {
  // Lines longer than the C runtime's buffer need more than one write each.
  constexpr int kLines = 300;
  constexpr size_t kLength = 9000;
  auto writer = [&](geCLogger* logger, char fill) {
    const std::string line(kLength, fill);
    for (int i = 0; i < kLines; ++i) logger->Log("%s\n", line.c_str());
  };
  geCLogger core("GameEngine.log");
  std::thread input(writer, &g_GameLogger, 'i');
  writer(&core, 'm');
  input.join();

  std::istringstream lines(Read("GameEngine.log"));
  std::string line;
  int counts[2] = {};
  while (std::getline(lines, line)) {
    ASSERT_EQ(line.size(), kLength);
    ASSERT_EQ(line.find_first_not_of(line[0]), std::string::npos);
    ++counts[line[0] == 'i' ? 0 : 1];
  }
  EXPECT_EQ(counts[0], kLines);
  EXPECT_EQ(counts[1], kLines);
}

TEST_F(LoggerTest, ScriptOutputLandsInTheScriptLogAsItIs) {
  geCAngelScriptOutStream stream;
  stream.Write("");
  stream.Write(nullptr);
  EXPECT_FALSE(Exists("AngelScript.log"));
  stream.Write("GameCoreModule (3, 1) : Error   : 100%s expected\n");
  stream.Write("done\n");
  EXPECT_EQ(Read("AngelScript.log"), "GameCoreModule (3, 1) : Error   : 100%s expected\ndone\n");
}
