#include <gtest/gtest.h>

#include <string>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "startup/ToolBox.h"
#include "startup/ZeKorbD3D.h"

namespace {

struct ToolBoxFixture : testing::Test {
  void SetUp() override {
    context->pLog = &log;
    context->pActiveScene = nullptr;
  }

  static std::string Tool(const char* variant) {
    return std::string(ZK_TEST_TOOLS_FOLDER) + "/" + variant + "/ZKTool.dll";
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
};

struct RefusedTool {
  const char* variant;
  const char* error;      // what the engine logs at level 2
  const char* toolCalls;  // what the tool saw, in order
};

}  // namespace

// A tool that is missing or does not fit is refused with its reason and released; the engine
// goes on without it, and showing or unloading it does nothing.
TEST_F(ToolBoxFixture, ARefusedToolIsLoggedReleasedAndNeverCalledAgain) {
  const RefusedTool cases[] = {
      {"missing", "ERROR!!! - Can't Load the TOOL\n", ""},
      {"wrong_version", "ERROR!!! - Can't Load the TOOL, Incorrect ZeKorb Version\n", ""},
      {"failing_init", "ERROR!!! - Can't Initialize the TOOL\n", "ToolInit\n"},
      {"without_show", "ERROR!!! - Can't Load ToolShow From the TOOL dll (127)\n", ""},
  };
  TestScene* scene = new TestScene();
  for (const RefusedTool& refused : cases) {
    SCOPED_TRACE(refused.variant);
    log.entries.clear();
    context->pActiveScene = nullptr;
    CToolBox toolBox(engine, Tool(refused.variant).c_str());
    EXPECT_FALSE(toolBox.IsLoaded());
    context->pActiveScene = scene;
    EXPECT_EQ(toolBox.Show(), 0);
    toolBox.Unload();
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), refused.error);
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelUser), refused.toolCalls);
  }
  context->pActiveScene = nullptr;
  scene->Release();
}

TEST_F(ToolBoxFixture, AFittingToolIsInitialisedShownOnTheActiveSceneAndDeinitialisedOnce) {
  CToolBox toolBox(engine, Tool("good").c_str());
  ASSERT_TRUE(toolBox.IsLoaded());
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");

  EXPECT_EQ(toolBox.Show(), 0);  // no active scene: the tool is not asked
  TestScene* scene = new TestScene();
  context->pActiveScene = scene;
  EXPECT_EQ(toolBox.Show(), 5);  // the tool's own answer
  context->pActiveScene = nullptr;
  scene->Release();

  toolBox.Unload();
  EXPECT_FALSE(toolBox.IsLoaded());
  EXPECT_EQ(toolBox.Show(), 0);
  toolBox.Unload();
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelUser), "ToolInit\nToolShow\nToolDeInit\n");
}

// The engine's own name for the library maps to the platform's library file on the search path:
// none lies there in the test's folders.
TEST_F(ToolBoxFixture, TheEngineLooksForZKToolAndRunsWithoutIt) {
  CToolBox toolBox(engine);
  EXPECT_FALSE(toolBox.IsLoaded());
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "ERROR!!! - Can't Load the TOOL\n");
}
