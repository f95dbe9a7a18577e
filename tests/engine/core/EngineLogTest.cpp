#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "RecordingEngineLog.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestKernel.h"

namespace {

const char kBanner[] =
    "ZeKorb (x86/D3D9) compiled: May 27 2005 at 20:09:44 (RELEASE version)\nBanner line two\n";
const char* const kFiles[] = {"ZeKorb.Log", "ZeKorbInfo.Log", "ZeKorbError.Log", "ZeKorbUser.Log"};
const char kClosing[] = "\n\n----- ZeKorb Debugger Closed Successfully -----\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

// The log's header reads the local time: 27 May 2005, 20:09:44, in UTC.
struct EngineLogFixture : testing::Test {
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    ZkTestClockSetManual(0);
    ZkTestSetCalendarOrigin(int64_t{1117224584} * 1000000);
  }
  void TearDown() override {
    CloseLogFiles(1);
    ZkTestClockSetReal();
  }

  // The header without the operating-system line, which depends on the machine; that line is
  // checked against its pattern and taken out.
  static std::string WithoutOsLine(const std::string& text) {
    static const std::regex os(R"(- OS: WinNT \(\d+\.\d+ Built: \d+\)( with [^\n]*)?\n)");
    std::smatch match;
    EXPECT_TRUE(std::regex_search(text, match, os)) << text;
    return match.empty() ? text : match.prefix().str() + "<os>\n" + match.suffix().str();
  }

  static std::string Header() {
    return std::string(kBanner) +
           "Please send this file with any report of a problem to the engine's developers.\n"
           "Starting Debug File: 2005-5-27 at 20:9:44\n<os>\n\n";
  }

  TempDir folder;
};

std::string Padded(const std::string& prefix) {
  return prefix + std::string(70 - prefix.size(), ' ');
}

}  // namespace

TEST_F(EngineLogFixture, WritesHeadersRoutesByLevelAndCloses) {
  CEngineLog* log = GetEngineLog(0, kBanner, folder.Path().c_str());
  ASSERT_EQ(IsLogEnabled(), 1);
  log->Log("ZK3DSettings", 12, 1, "- Info %d\n", 1);
  log->Log("ZK3DSettings", 345, 2, "ERROR! - Error\n");
  log->Log("Allocator", 7, 3, "level three\n");
  log->Log("DiskInterface", 8, 4, "user text\n");
  log->Log("D3DTextures", 9, 2, "opening ");
  log->Log("D3DTextures", 10, 2, "DONE\n");
  log->LogText("ZKDXGlobals", 11, 1, "- Finished text\n");
  CloseLogFiles(1);
  EXPECT_EQ(IsLogEnabled(), 0);

  EXPECT_EQ(WithoutOsLine(ReadFile(folder / "ZeKorb.Log")),
            Header() + Padded("ZK3DSettings, Line: 12:") + "- Info 1\n" +
                Padded("ZK3DSettings, Line: 345:") + "ERROR! - Error\n" +
                Padded("Allocator, Line: 7:") + "level three\n" +
                Padded("DiskInterface, Line: 8:") + "user text\n" +
                Padded("D3DTextures, Line: 9:") + "opening " + Padded("D3DTextures, Line: 10:") +
                "DONE\n" + "ZKDXGlobals, Line: 11: - Finished text\n" + kClosing);
  EXPECT_EQ(WithoutOsLine(ReadFile(folder / "ZeKorbInfo.Log")),
            Header() + "- Info 1\n- Finished text\n" + kClosing);
  EXPECT_EQ(WithoutOsLine(ReadFile(folder / "ZeKorbError.Log")),
            Header() + "ERROR! - Error\nopening DONE\n" + kClosing);
  EXPECT_EQ(WithoutOsLine(ReadFile(folder / "ZeKorbUser.Log")),
            Header() + "This is user generated log file.\nuser text\n" + kClosing);
}

TEST_F(EngineLogFixture, APrefixOf70CharactersOrMoreIsCutWhereTheMessageStarts) {
  OpenLogFiles(1, kBanner, folder.Path().c_str());
  std::string source(80, 's');
  CEngineLog::Instance()->Log(source.c_str(), 1, 1, "text\n");
  std::string exact(70 - std::string(", Line: 1:").size(), 'e');
  CEngineLog::Instance()->Log(exact.c_str(), 1, 1, "next\n");
  CloseLogFiles(1);
  std::string main = ReadFile(folder / "ZeKorb.Log");
  EXPECT_NE(main.find(std::string(70, 's') + "text\n"), std::string::npos);
  EXPECT_NE(main.find(exact + ", Line: 1:next\n"), std::string::npos);
}

TEST_F(EngineLogFixture, NothingIsWrittenWhileDisabledAndClosingWithoutKeepDeletesTheFiles) {
  CEngineLog::Instance()->Log("x", 1, 1, "lost\n");  // disabled: goes nowhere
  OpenLogFiles(0, kBanner, folder.Path().c_str());
  EXPECT_EQ(IsLogEnabled(), 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "ZeKorb.Log"));

  OpenLogFiles(1, kBanner, folder.Path().c_str());
  for (const char* name : kFiles) EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
  CloseLogFiles(0);
  for (const char* name : kFiles) EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
}

TEST_F(EngineLogFixture, WithoutAFolderTheFilesGoBesideTheEngineLibrary) {
  std::string libraryFolder = folder.Path() + "/";
  CEngineContext* context = GetEngineContext();
  char* kept = context->szApplicationFolder;
  context->szApplicationFolder = libraryFolder.data();
  OpenLogFiles(1, kBanner, nullptr);
  context->szApplicationFolder = kept;
  EXPECT_EQ(IsLogEnabled(), 1);
  EXPECT_TRUE(std::filesystem::exists(folder / "ZeKorbUser.Log"));
}

TEST_F(EngineLogFixture, AFileThatCannotBeCreatedLeavesTheLogDisabledAndNoFileOpen) {
  std::filesystem::create_directory(folder / "ZeKorbError.Log");  // in the way of the third file
  int before = OpenDescriptorCount();
  OpenLogFiles(1, kBanner, folder.Path().c_str());
  EXPECT_EQ(IsLogEnabled(), 0);
  EXPECT_EQ(OpenDescriptorCount(), before);
  CEngineLog::Instance()->Log("x", 1, 1, "lost\n");
  EXPECT_EQ(ReadFile(folder / "ZeKorbInfo.Log"), "");
}

TEST_F(EngineLogFixture, LinesFromSeveralThreadsNeverInterleave) {
  OpenLogFiles(1, kBanner, folder.Path().c_str());
  constexpr int kThreads = 4, kLines = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < kLines; ++i)
        CEngineLog::Instance()->Log("Thread", t, 1, "thread %d line %d %s\n", t, i,
                                    std::string(100, 'a' + t).c_str());
    });
  for (std::thread& thread : threads) thread.join();
  CloseLogFiles(1);

  std::istringstream main(ReadFile(folder / "ZeKorb.Log"));
  std::istringstream info(ReadFile(folder / "ZeKorbInfo.Log"));
  const std::regex mainLine(R"(Thread, Line: (\d): +thread (\d) line \d+ ([a-d])\3{99})");
  const std::regex infoLine(R"(thread (\d) line \d+ ([a-d])\2{99})");
  int mainCount = 0, infoCount = 0;
  for (std::string line; std::getline(main, line);) {
    std::smatch match;
    if (line.rfind("Thread", 0) != 0) continue;
    ASSERT_TRUE(std::regex_match(line, match, mainLine)) << line;
    EXPECT_EQ(match[1], match[2]);
    ++mainCount;
  }
  for (std::string line; std::getline(info, line);)
    if (std::regex_match(line, infoLine)) ++infoCount;
  EXPECT_EQ(mainCount, kThreads * kLines);
  EXPECT_EQ(infoCount, kThreads * kLines);
}

namespace {

// LogTo names the line of its caller, whatever helper of a class it is reached through.
TEST(LogToTest, RecordsTheCallersLineSourceAndLevelAndNeedsNoLog) {
  CRecordingEngineLog log;
  const int line = __LINE__ + 1;
  LogTo(&log, "ZK3DProcessing", CEngineLog::kLevelError, "ERROR!!! - %s: %i\n", "mesh", 7);
  LogTo(&log, "ZK3DProcessing", CEngineLog::kLevelInfo, "- Done\n");
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[0].source, "ZK3DProcessing");
  EXPECT_EQ(log.entries[0].level, CEngineLog::kLevelError);
  EXPECT_EQ(log.entries[0].text, "ERROR!!! - mesh: 7\n");
  EXPECT_EQ(log.entries[0].line, line);
  EXPECT_EQ(log.entries[1].line, line + 1);
  EXPECT_EQ(log.entries[1].text, "- Done\n");

  LogTo(nullptr, "ZK3DProcessing", CEngineLog::kLevelError, "nothing to write to\n");
}

}  // namespace
