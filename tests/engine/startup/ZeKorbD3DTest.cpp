#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "console/Console.h"
#include "core/Profiler.h"
#include "core/Settings.h"
#include "core/Tokenizer.h"
#include "script/ScriptStorage.h"
#include "startup/ZeKorbD3D.h"

namespace {

struct TopInterfaceFixture : testing::Test {
  EngineContextScope context;
  CRecordingEngineLog log;
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
};

}  // namespace

TEST_F(TopInterfaceFixture, CreatorsMakeANewObjectOnEveryCall) {
  std::unique_ptr<CTimerInterface> firstTimer(engine->CreateTimer());
  std::unique_ptr<CTimerInterface> secondTimer(engine->CreateTimer());
  ASSERT_NE(firstTimer, nullptr);
  EXPECT_NE(firstTimer, secondTimer);
  EXPECT_EQ(firstTimer->IsPaused(), 0u);

  context->pLog = &log;
  std::unique_ptr<CTokenizer> firstTokenizer(engine->CreateTokenizer());
  std::unique_ptr<CTokenizer> secondTokenizer(engine->CreateTokenizer());
  ASSERT_NE(firstTokenizer, nullptr);
  EXPECT_NE(firstTokenizer, secondTokenizer);
}

TEST_F(TopInterfaceFixture, GettersReturnTheContextsFieldsAsTheyStand) {
  CSettings settings;
  CProfiler profiler;
  ZeKorbConfig config = {};
  context->pSettings = &settings;
  context->pProfiler = &profiler;
  context->pConfig = &config;
  context->pLog = &log;
  context->pConsole = nullptr;
  EXPECT_EQ(engine->GetSettingsInterface(), &settings);
  EXPECT_EQ(engine->GetProfiler(), &profiler);
  EXPECT_EQ(engine->GetConfiguration(), &config);
  EXPECT_EQ(engine->GetLogInterface(), &log);
  EXPECT_EQ(engine->GetConsoleInterface(), nullptr);
  EXPECT_EQ(engine->RegisterConsoleFunction(nullptr), 0);  // no console before Init

  // The sound server only when the configuration switched sound on.
  auto* server = reinterpret_cast<TonarisInterface*>(&config);
  context->pSoundServer = server;
  EXPECT_EQ(engine->GetTonarisInterface(), nullptr);
  config.dwUseSound = 1;
  EXPECT_EQ(engine->GetTonarisInterface(), server);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(TopInterfaceFixture, TheActiveSceneIsStoredAndItsAbsenceIsWarned) {
  context->pLog = &log;
  engine->SetActiveScene(nullptr);
  EXPECT_EQ(engine->GetActiveScene(), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "WARNING! - Active Scene Is NULL\n");

  // Only stored, never used: any address stands for a scene here.
  auto* scene = reinterpret_cast<CSceneInterface*>(&log);
  engine->SetActiveScene(scene);
  EXPECT_EQ(engine->GetActiveScene(), scene);
  EXPECT_EQ(log.entries.size(), 1u);
}

TEST_F(TopInterfaceFixture, ErrorBoxesLogAndCriticalErrorRunsTheShutdown) {
  ProcessExitCatcher exits;
  ZkTestMessageBoxSetAnswer(IDCANCEL);
  EXPECT_EQ(engine->ErrorMessage("Script Error", "line %d", 3), IDCANCEL);

  context->dwInitialized = 0;  // before Init the shutdown does nothing and the call returns
  engine->CriticalError("Ignored Title", "Lost %s", "Device");
  ASSERT_EQ(exits.Boxes().size(), 2u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Script Error");
  EXPECT_EQ(exits.Boxes()[0].text, "line 3");
  EXPECT_EQ(exits.Boxes()[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(exits.Boxes()[1].caption, "Error!");
  EXPECT_EQ(exits.Boxes()[1].text, "Lost Device");

  context->dwInitialized = 1;
  context->pDescriptor = nullptr;
  context->pLog = nullptr;
  context->pProfiler = nullptr;
  try {
    engine->CriticalError("", "Device Lost");
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
}

TEST_F(TopInterfaceFixture, CloseSetsTheQuitFlagAndEndsAnOrderlyRunWith0) {
  ProcessExitCatcher exits;
  context->dwQuit = 0;
  context->dwInitialized = 0;
  engine->CloseZeKorb();
  EXPECT_EQ(context->dwQuit, 1u);

  context->dwInitialized = 1;
  context->pDescriptor = nullptr;
  context->pLog = nullptr;
  context->pProfiler = nullptr;
  try {
    engine->CloseZeKorb();
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
}

// The game's own console commands go to the console once there is one.
TEST_F(TopInterfaceFixture, RegisterConsoleFunctionForwardsToTheConsole) {
  CScriptStorage storage(&log);
  ASSERT_EQ(storage.Initialize(), 1u);
  context->pScriptStorage = &storage;
  context->pGui = nullptr;
  CConsole console(GetEngineContext(), nullptr, &log, 0);
  context->pConsole = &console;
  static ConsoleFunction entry = {"void GameCommand()", [] {}, [] { return "GameCommand"; }};
  EXPECT_EQ(engine->RegisterConsoleFunction(&entry), 1);
  EXPECT_EQ(console.GetFunctionCount(), 10u);
  EXPECT_EQ(console.GetFunction(9), &entry);
  EXPECT_EQ(engine->RegisterConsoleFunction(&entry), 0) << "the script engine has it already";
  EXPECT_EQ(engine->GetConsoleInterface(), &console);
  context->pConsole = nullptr;
}
