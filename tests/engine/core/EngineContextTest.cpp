#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "core/ConsoleFrame.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "core/EngineLog.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"
#include "zktest/ZkTestClock.h"

namespace {

std::vector<std::string> ChildNames(CProfilerSample* sample) {
  std::vector<std::string> names;
  for (CProfilerSample* child = sample->GetFirstChild(); child; child = child->GetNextSibling())
    names.push_back(child->GetName());
  return names;
}

struct EngineContextFixture : testing::Test {
  void SetUp() override { ZkTestClockSetManual(5'000'000); }
  void TearDown() override { ZkTestClockSetReal(); }

  EngineContextScope context;
  CRecordingEngineLog log;
};

int g_quitCallbacks = 0;

}  // namespace

TEST_F(EngineContextFixture, TheProfilerSamplesFormTheEnginesTree) {
  context->CreateProfiler();
  CProfilerSample* root = context->pProfiler->GetRootSample();
  ASSERT_EQ(root, context->pSamples[SAMPLE_BEGIN_END]);
  EXPECT_STREQ(root->GetName(), "BeginEnd");
  EXPECT_EQ(ChildNames(root), (std::vector<std::string>{
                                  "ShaderLib", "GenericPass", "PrepareMatrices", "UpdateHierarchy",
                                  "MemAllocator", "Flip1", "Flip2", "SetActiveCamera"}));
  EXPECT_EQ(ChildNames(context->pSamples[SAMPLE_SHADER_LIB]),
            std::vector<std::string>{"Direct3DCalls"});
  EXPECT_EQ(ChildNames(context->pSamples[SAMPLE_PREPARE_MATRICES]),
            std::vector<std::string>{"LightWaveInterpolation"});
  context->pProfiler->DeleteSample(root);
  delete context->pProfiler;
}

TEST_F(EngineContextFixture, TheFrameLimiterDoesNothingWithoutALimitOrACounter) {
  ZeKorbConfig config = {};
  context->pConfig = &config;
  context->qwCounterFrequency = 1'000'000;
  context->LimitFrameRate();  // limit 0: not even the first frame is stored
  EXPECT_EQ(context->qwLastFrameCount, 0u);

  config.dwFrameRateLimit = 50;
  context->qwCounterFrequency = 0;
  context->LimitFrameRate();
  EXPECT_EQ(context->qwLastFrameCount, 0u);
}

TEST_F(EngineContextFixture, TheFrameLimiterStoresEachFrameAndLetsALateFrameThrough) {
  ZeKorbConfig config = {};
  config.dwFrameRateLimit = 50;  // a period of 20 ms
  context->pConfig = &config;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  context->qwCounterFrequency = frequency.QuadPart;
  context->qwLastFrameCount = 0;

  context->LimitFrameRate();  // the first frame only stores the counter
  LARGE_INTEGER first;
  QueryPerformanceCounter(&first);
  EXPECT_EQ(context->qwLastFrameCount, static_cast<uint64_t>(first.QuadPart));

  ZkTestClockAdvance(25'000);  // the period has passed: no wait (the manual clock would never move)
  context->LimitFrameRate();
  LARGE_INTEGER second;
  QueryPerformanceCounter(&second);
  EXPECT_EQ(context->qwLastFrameCount, static_cast<uint64_t>(second.QuadPart));
}

TEST_F(EngineContextFixture, TheFrameRateLineComesOnceASecond) {
  context->pLog = &log;
  context->pActiveScene = nullptr;
  context->dwStatisticsOn = 1;
  context->ShowFPS(0);  // 5 s since the clock's start: the first line comes at once
  log.entries.clear();
  for (int frame = 0; frame < 8; ++frame) {
    ZkTestClockAdvance(120'000);
    context->ShowFPS(0);
  }
  EXPECT_TRUE(log.entries.empty());  // 0.96 s
  ZkTestClockAdvance(140'000);
  context->ShowFPS(0);  // 9 frames in 1.1 s
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].level, CEngineLog::kLevelInfo);
  EXPECT_EQ(log.entries[0].text, "- No ActiveScene -    8.18 fps\n");
  EXPECT_NEAR(context->GetLastFrameRate(), 9 / 1.1, 1e-4);

  context->dwStatisticsOn = 0;
  ZkTestClockAdvance(5'000'000);
  context->ShowFPS(0);
  EXPECT_EQ(log.entries.size(), 1u);
}

// A console that records its frames among the renderer's calls.
class RecordingConsoleFrame final : public CConsoleFrame {
 public:
  explicit RecordingConsoleFrame(RecordingRenderer& renderer) : m_renderer(renderer) {}
  bool IsOpen() const override { return open; }
  int Render(float fps) override {
    m_renderer.frameCalls.push_back("Render(" + std::to_string(static_cast<int>(fps)) + ")");
    return 1;
  }
  bool open = false;

 private:
  RecordingRenderer& m_renderer;
};

TEST_F(EngineContextFixture, TheOpenConsoleIsDrawnBetweenBeginAndEndOnFramesAskedForTheGui) {
  RecordingRenderer renderer;
  RecordingConsoleFrame console(renderer);
  context->pRenderer = &renderer;
  context->ports.console.Set(&console);
  context->dwStatisticsOn = 1;
  context->ShowFPS(1);
  EXPECT_TRUE(renderer.frameCalls.empty()) << "a closed console draws nothing";
  console.open = true;
  context->ShowFPS(0);
  EXPECT_TRUE(renderer.frameCalls.empty()) << "a frame not asked for the GUI";
  for (int frame = 0; frame < 9; ++frame) {
    ZkTestClockAdvance(120'000);
    context->ShowFPS(0);
  }
  ASSERT_GT(context->GetLastFrameRate(), 0.0f);
  context->ShowFPS(1);
  const std::string rate = std::to_string(static_cast<int>(context->GetLastFrameRate()));
  EXPECT_EQ(renderer.frameCalls,
            (std::vector<std::string>{"BeginRendering", "Render(" + rate + ")", "EndRendering"}));
  context->pRenderer = nullptr;
  renderer.frameCalls.clear();
  context->ShowFPS(1);
  EXPECT_TRUE(renderer.frameCalls.empty()) << "nothing to draw on without a renderer";
}

TEST_F(EngineContextFixture, ShutdownRunsOnlyAfterInitAndOnlyOnce) {
  TempDir folder;
  ApplicationDescriptor descriptor = {};
  descriptor.dwUseLogs = 1;
  descriptor.szLogDirectory = folder.Path().c_str();
  descriptor.fpQuitCallback = [] { ++g_quitCallbacks; };
  descriptor.dwUseQuitCallback = 1;
  context->pDescriptor = &descriptor;
  context->CreateProfiler();
  OpenLogFiles(1, "banner\n", folder.Path().c_str());
  context->pLog = CEngineLog::Instance();
  g_quitCallbacks = 0;

  context->dwInitialized = 0;
  context->Shutdown(0);
  EXPECT_EQ(IsLogEnabled(), 1);
  EXPECT_EQ(g_quitCallbacks, 0);

  context->dwInitialized = 1;
  context->Shutdown(0);
  EXPECT_EQ(IsLogEnabled(), 0);
  EXPECT_EQ(g_quitCallbacks, 1);
  EXPECT_EQ(context->dwInitialized, 0u);
  EXPECT_TRUE(std::filesystem::exists(folder / "ZeKorb.Log"));
  EXPECT_TRUE(std::filesystem::exists(folder / "statistics.txt"));

  context->Shutdown(0);
  EXPECT_EQ(g_quitCallbacks, 1);
  context->pProfiler->DeleteSample(context->pProfiler->GetRootSample());
  delete context->pProfiler;
}

TEST_F(EngineContextFixture, WithoutAQuitCallbackShutdownEndsTheProcessWithItsCode) {
  ProcessExitCatcher exits;
  ApplicationDescriptor descriptor = {};  // no logs kept: the log files go
  TempDir folder;
  context->pDescriptor = &descriptor;
  context->pProfiler = nullptr;
  OpenLogFiles(1, "banner\n", folder.Path().c_str());
  context->pLog = CEngineLog::Instance();
  context->dwInitialized = 1;
  try {
    context->Shutdown(0);
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "ZeKorb.Log"));
}
