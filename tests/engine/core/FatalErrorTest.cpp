#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct FatalErrorFixture : testing::Test {
  void SetUp() override { OpenLogFiles(1, "banner\n", folder.Path().c_str()); }
  void TearDown() override { CloseLogFiles(1); }

  TempDir folder;
  EngineContextScope context;
  ProcessExitCatcher exits;
};

int g_quitCallbacks = 0;

}  // namespace

TEST_F(FatalErrorFixture, DuringStartUpLogsShowsTheBoxRunsNoShutdownAndExitsWith1) {
  context->dwInitialized = 0;
  try {
    FatalErrorWithTitle("Error While Initializing", "Can't Allocate %s", "Temporary Buffers");
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Initializing");
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Allocate Temporary Buffers");
  EXPECT_EQ(exits.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(IsLogEnabled(), 1);  // no shutdown closed it
  CloseLogFiles(1);
  EXPECT_TRUE(EndsWith(
      ReadFile(folder / "ZeKorbError.Log"),
      "Can't Allocate Temporary Buffers\n\n\n----- ZeKorb Debugger Closed Successfully -----\n"));
}

TEST_F(FatalErrorFixture, FatalErrorIsTitledErrorAndItsTextIsCutAt1024Bytes) {
  std::string longText(3000, 'x');
  EXPECT_THROW(FatalError("%s", longText.c_str()), ProcessExited);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error!");
  EXPECT_EQ(exits.Boxes()[0].text, std::string(kMaxErrorText - 1, 'x'));
}

TEST_F(FatalErrorFixture, AfterInitTheShutdownRunsBeforeTheExit) {
  ApplicationDescriptor descriptor = {};
  descriptor.dwUseLogs = 1;
  descriptor.szLogDirectory = folder.Path().c_str();
  descriptor.fpQuitCallback = [] { ++g_quitCallbacks; };
  descriptor.dwUseQuitCallback = 1;
  context->pDescriptor = &descriptor;
  context->pLog = CEngineLog::Instance();
  context->pProfiler = nullptr;
  context->dwInitialized = 1;
  g_quitCallbacks = 0;

  try {
    FatalError("Can't Init Console");
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);  // the quit callback does not save a fatal error from its exit
  }
  EXPECT_EQ(g_quitCallbacks, 1);
  EXPECT_EQ(context->dwInitialized, 0u);
  EXPECT_EQ(IsLogEnabled(), 0);
  EXPECT_TRUE(std::filesystem::exists(folder / "ZeKorb.Log"));  // kept: the application keeps logs
}

TEST_F(FatalErrorFixture, ShowMessageBoxIsAPlainBoxAndReturnsItsAnswer) {
  ZkTestMessageBoxSetAnswer(IDOK);
  EXPECT_EQ(ShowMessageBox("Script", "%s %d", "value", 7), IDOK);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Script");
  EXPECT_EQ(exits.Boxes()[0].text, "value 7");
  EXPECT_EQ(exits.Boxes()[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(FatalErrorFixture, ShowMessageBoxWithOwnerAndIconKeepsBoth) {
  ZkTestMessageBoxSetAnswer(IDOK);
  EXPECT_EQ(ShowMessageBox(nullptr, MB_ICONSTOP, "Error While Creating Shader",
                           "Can't Create Shader: %s", "water.fx"),
            IDOK);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Creating Shader");
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Create Shader: water.fx");
  EXPECT_EQ(exits.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
}

namespace {

// A type whose allocation always fails, as a full heap would.
struct Unallocatable {
  explicit Unallocatable(int value) : value(value) {}
  Unallocatable() = default;
  static void* operator new(size_t, const std::nothrow_t&) noexcept { return nullptr; }
  static void* operator new[](size_t, const std::nothrow_t&) noexcept { return nullptr; }
  static void operator delete(void*) {}
  static void operator delete[](void*) {}
  int value = 0;
};

}  // namespace

TEST_F(FatalErrorFixture, NewOrFatalMakesTheObjectOrEndsWithTheGivenMessage) {
  int* made = NewOrFatal<int>("Critical Error", "Can't Allocate", 5);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(*made, 5);
  delete made;
  EXPECT_TRUE(exits.Boxes().empty());

  context->dwInitialized = 0;
  try {
    NewOrFatal<Unallocatable>("Critical Error", "Can't Allocate Memory For the TOOL", 1);
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Critical Error");
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Allocate Memory For the TOOL");
}

TEST_F(FatalErrorFixture, NamedAndArrayAllocationsEndWithTheirOwnTexts) {
  int* numbers = NewArrayOrFatal<int>("Critical Error", "Can't Allocate", 3);
  EXPECT_EQ(numbers[0] + numbers[1] + numbers[2], 0);  // value-initialised
  delete[] numbers;

  context->dwInitialized = 0;
  const struct {
    void (*allocate)();
    const char* title;
    const char* text;
  } cases[] = {
      {[] { NewNamedOrFatal<Unallocatable>("Error While Updating Mesh",
                                           "Can't Allocate Memory For EnvDissolve: %s", "rock", 1); },
       "Error While Updating Mesh", "Can't Allocate Memory For EnvDissolve: rock"},
      {[] { NewArrayOrFatal<Unallocatable>("Error While Initializing Tokenizer",
                                           "Can't Allocate Memory For Tokens", 4); },
       "Error While Initializing Tokenizer", "Can't Allocate Memory For Tokens"},
  };
  for (const auto& entry : cases) {
    const size_t before = exits.Boxes().size();
    try {
      entry.allocate();
      FAIL() << entry.text << ": returned";
    } catch (const ProcessExited& exit) {
      EXPECT_EQ(exit.code, 1u);
    }
    ASSERT_EQ(exits.Boxes().size(), before + 1) << entry.text;
    EXPECT_EQ(exits.Boxes().back().caption, entry.title);
    EXPECT_EQ(exits.Boxes().back().text, entry.text);
  }
}
