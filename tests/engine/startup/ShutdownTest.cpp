#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "ZKDXGlobals.h"
#include "startup/EngineShutdown.h"
#include "startup/ToolBox.h"
#include "startup/ZeKorbD3D.h"

namespace {

int g_quitCallbacks = 0;

struct ShutdownFixture : testing::Test {
  void SetUp() override {
    descriptor.fpQuitCallback = [] { ++g_quitCallbacks; };
    descriptor.dwUseQuitCallback = 1;
    context->pDescriptor = &descriptor;
    context->pLog = &log;
    context->pProfiler = nullptr;
    context->pVirtualFileSystem = nullptr;
    context->hWnd = nullptr;
    context->dwInitialized = 1;
    context->ports.release.Set(&CEngineShutdown::Instance());
    g_quitCallbacks = 0;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  ApplicationDescriptor descriptor = {};
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
};

}  // namespace

// A close that arrives while the shutdown runs (here from the tool it is unloading) must not
// start a second shutdown: that one would unload the same tool again from inside its own
// clean-up.
TEST_F(ShutdownFixture, ACloseDuringTheShutdownReturnsAndTheShutdownRunsOnce) {
  auto toolBox = std::make_unique<CToolBox>(
      engine, (std::string(ZK_TEST_TOOLS_FOLDER) + "/closing/ZKTool.dll").c_str());
  ASSERT_TRUE(toolBox->IsLoaded());
  context->pToolBox = toolBox.release();  // the shutdown frees it

  engine->CloseZeKorb();

  EXPECT_EQ(g_quitCallbacks, 1);
  EXPECT_EQ(context->pToolBox, nullptr);
  EXPECT_EQ(context->dwInitialized, 0u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelUser), "ToolInit\nToolDeInit\n");
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- Window Destroyed\n- ToolBox Unloaded\n");
}

// An orderly end is a success for the process; only the fatal paths end it with 1.
TEST_F(ShutdownFixture, WithoutAQuitCallbackCloseEndsTheProcessWith0) {
  ProcessExitCatcher exits;
  descriptor.dwUseQuitCallback = 0;
  try {
    engine->CloseZeKorb();
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  EXPECT_EQ(context->dwQuit, 1u);
  EXPECT_EQ(g_quitCallbacks, 0);
}

TEST(TopInterfaceCreatorsTest, ANewEnvelopeAndChannelOnEveryCall) {
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
  std::unique_ptr<CEnvelopeInterface> firstEnvelope(engine->CreateEnvelope());
  std::unique_ptr<CEnvelopeInterface> secondEnvelope(engine->CreateEnvelope());
  std::unique_ptr<CChannelEnvelopeInterface> firstChannel(engine->CreateChannelEnvelope());
  std::unique_ptr<CChannelEnvelopeInterface> secondChannel(engine->CreateChannelEnvelope());
  ASSERT_NE(firstEnvelope, nullptr);
  ASSERT_NE(firstChannel, nullptr);
  EXPECT_NE(firstEnvelope, secondEnvelope);
  EXPECT_NE(firstChannel, secondChannel);
}
