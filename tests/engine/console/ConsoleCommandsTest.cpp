// The engine's own console commands run as typed lines: live lines from the profiler, the active
// scene's camera, the adapter and the memory; ShowBones, ShowToolBox and Quit.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleBench.h"
#include "FakeBoxBoundVolume.h"
#include "FakeLightSpatial.h"
#include "FakeSceneMesh.h"
#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "TestScene.h"
#include "ZKDXGlobals.h"
#include "console/ConsoleToolBox.h"
#include "console/SceneEditor.h"
#include "core/EngineRelease.h"
#include "core/Profiler.h"
#include "d3d/D3D9Enumeration.h"
#include "scene/Camera.h"
#include "scene/Light.h"

namespace {

using Strings = std::vector<std::string>;

class ConsoleCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bench.started) << bench.Errors(); }

  // Runs the line and draws one frame, so live lines write their text.
  std::string RunAndRefresh(const char* line) {
    bench.Run(line);
    bench.OutputText();
    return bench.Lines().back();
  }

  ConsoleBench bench;
};

TEST_F(ConsoleCommandsTest, StatisticsLinesRefreshFromTheProfilerAndAreCutTo64Characters) {
  EXPECT_EQ(RunAndRefresh("ShowStatistics()"), "") << "no profiler: the line stays as it is";

  CProfiler profiler;
  bench.context->pProfiler = &profiler;
  profiler.AddToCounter(CProfiler::kTriangles, 120);
  profiler.AddToCounter(CProfiler::kVertices, 360);
  profiler.AddToCounter(CProfiler::kDIPs, 7);
  profiler.AddToCounter(CProfiler::kSetTexture, 3);
  profiler.AddToCounter(CProfiler::kSetVertexBuffer, 99);
  profiler.EndFrame();
  bench.Run("ShowStatistics(); ShowStatistics();");
  bench.OutputText();
  const Strings lines = bench.Lines();
  EXPECT_EQ(lines[4], "Tris: 120, Verts: 360, DIPs: 7, ST: 3\n") << "the older line still refreshes";
  EXPECT_EQ(lines[5], "Tris: 120, Verts: 360, DIPs: 7, ST: 3\n");
  EXPECT_EQ(lines[6], "Tris: 120, Verts: 360, DIPs: 7, ST: 3\n");

  // Wide counters would make a line of 71 characters.
  CProfiler wide;
  for (CProfiler::Counter counter :
       {CProfiler::kTriangles, CProfiler::kVertices, CProfiler::kDIPs, CProfiler::kSetTexture})
    wide.AddToCounter(counter, 1234567890u);
  wide.EndFrame();
  bench.context->pProfiler = &wide;
  bench.OutputText(61.0f);
  const std::string full = "Tris: 1234567890, Verts: 1234567890, DIPs: 1234567890, ST: 1234567890\n";
  EXPECT_EQ(bench.Lines()[6], full.substr(0, 64));
  bench.context->pProfiler = nullptr;
}

// A camera at the origin looking along +Z, a point light behind it whose shadow of a mesh between
// them falls into the view, and a mesh ahead.
class ConsoleSceneTest : public ConsoleCommandsTest {
 protected:
  void SetUp() override {
    ConsoleCommandsTest::SetUp();
    bench.context->ports.lightSpatial.Set(&spatial);  // the light's volume: in view
    scene->AppendWorldObject(camera);
    camera->PrepareMatrices(0.0f);
    camera->UpdateHierarchy(0.0f);
    AddMesh(0, 0, 10, 0);
    AddMesh(2, 0, 12, 0);
    AddMesh(0, 0, -5, 1);
    light = new CLight(nullptr, &bench.log, scene);
    scene->AppendWorldObject(light);
    light->SetType(LIGHT_POINT);
    light->SetPosition(CVector3(0, 0, -10));
    light->GetRangeEnvelope(0)->SetValue(40.0f);
    light->FinishLoaded();
    light->PrepareMatrices(0.0f);
    light->UpdateHierarchy(0.0f);
    ASSERT_EQ(scene->SetActiveCamera(0), 1u);
  }
  void TearDown() override { scene->Release(); }

  void AddMesh(float x, float y, float z, UINT castsShadow) {
    volumes.push_back(std::make_unique<FakeBoxBoundVolume>(CVector3(-1, -1, -1), CVector3(1, 1, 1)));
    auto* mesh = new FakeSceneMesh(scene, volumes.back().get());
    mesh->PlaceAt(x, y, z);
    mesh->canCastShadowVolume = castsShadow;
    scene->AppendWorldObject(mesh);
  }

  FakeLightSpatial spatial;
  TestScene* scene = new TestScene(nullptr, &bench.log);
  CCamera* camera = new CCamera(nullptr, &bench.log, scene);
  CLight* light = nullptr;
  std::vector<std::unique_ptr<FakeBoxBoundVolume>> volumes;
};

TEST_F(ConsoleSceneTest, VisibilityLinesCountTheActiveCamerasListsAndWaitForAScene) {
  struct Case {
    const char* line;
    std::string shown;
  };
  ASSERT_EQ(camera->GetNumberOfVisibleMeshes(), 2u);
  ASSERT_EQ(camera->GetNumberOfVisibleLights(), 1u);
  ASSERT_EQ(light->GetNumberOfVisibleShadowVolumes(), 1u);
  const Case cases[] = {
      {"GetNumberOfVisibleMeshes()", "Number Of Visible Meshes: 2\n"},
      {"GetNumberOfVisibleLights()", "Number Of Visible Lights: 1\n"},
      {"GetNumberOfVisibleShadowVolumes()", "Number Of Visible Shadow Volumes: 1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    bench.context->pActiveScene = nullptr;
    EXPECT_EQ(RunAndRefresh(c.line), "") << "no active scene: unchanged";
    bench.context->pActiveScene = scene;
    bench.OutputText(1.0f);
    EXPECT_EQ(bench.Lines().back(), c.shown);
  }
}

TEST_F(ConsoleSceneTest, ASceneWithoutItsCameraLeavesTheLinesAsTheyAre) {
  TestScene* empty = new TestScene(nullptr, &bench.log);
  bench.context->pActiveScene = empty;
  EXPECT_EQ(RunAndRefresh("GetNumberOfVisibleMeshes(); GetNumberOfVisibleShadowVolumes();"), "");
  EXPECT_EQ(bench.Lines()[5], "");
  empty->Release();
}

TEST_F(ConsoleCommandsTest, MemoryUsageIsASignedDifferenceInMegabytes) {
  MEMORYSTATUS memory = {};
  memory.dwLength = sizeof memory;
  for (double megabytes : {100.0, -100.0}) {
    SCOPED_TRACE(megabytes);
    GlobalMemoryStatus(&memory);
    bench.context->qwFreePhysicalMemory =
        static_cast<uint64_t>(static_cast<double>(memory.dwAvailPhys) + megabytes * 1048576.0);
    const std::string line = RunAndRefresh("GetMemoryUsage()");
    ASSERT_EQ(line.rfind("Estimated Memory Usage: ", 0), 0u) << line;
    EXPECT_EQ(line.substr(line.size() - 6), " megs\n");
    const double shown = std::atof(line.c_str() + std::strlen("Estimated Memory Usage: "));
    EXPECT_NEAR(shown, megabytes, 50.0) << line;
  }
}

TEST_F(ConsoleCommandsTest, TheAdapterDescriptionIsCutTo64Characters) {
  EXPECT_EQ(RunAndRefresh("GetRendererDescription()"), "") << "no renderer yet";
  TestCard card = ShaderModel3Card();
  std::snprintf(card.identifier.Description, sizeof card.identifier.Description, "%s",
                "A Very Long Adapter Description For A Card Nobody Has Ever Seen Made");
  RendererTestBench renderer(ZK_D3D_BACKEND_NULL, card);
  bench.context->pRenderer = renderer.renderer.get();
  const std::string description = renderer.renderer->GetEnumeration()->GetDescription();
  ASSERT_GT(description.size(), 64u);
  bench.OutputText(2.0f);
  EXPECT_EQ(bench.Lines().back(), description.substr(0, 64));
  bench.context->pRenderer = nullptr;
}

TEST_F(ConsoleCommandsTest, ShowBonesSetsTheBoneDisplaySwitch) {
  EXPECT_EQ(RunAndRefresh("ShowBones(3)"), "ShowBones With Parameter: 3\n");
  EXPECT_EQ(bench.context->dwDebugSwitches[DEBUG_BONES], 3);
  bench.Run("ShowStatistics()");
  EXPECT_EQ(bench.context->dwDebugSwitches[DEBUG_BONES], 3) << "kept until changed";
  EXPECT_EQ(RunAndRefresh("ShowBones(0)"), "ShowBones With Parameter: 0\n");
  EXPECT_EQ(bench.context->dwDebugSwitches[DEBUG_BONES], 0);
}

class CountingToolBox final : public CConsoleToolBox {
 public:
  int Show() override { return ++shown, result; }
  int shown = 0;
  int result = 1;
};

TEST_F(ConsoleCommandsTest, ShowToolBoxOpensTheSceneEditorOnlyWhenTheToolShowsNothing) {
  CountingToolBox tool;
  bench.context->ports.toolBox.Set(&tool);
  EXPECT_EQ(RunAndRefresh("ShowToolBox()"), "Running ToolBox\n");
  EXPECT_EQ(tool.shown, 1);
  EXPECT_EQ(bench.Window(CSceneEditor::kFrameName), nullptr) << "the tool showed itself";
  tool.result = 0;
  EXPECT_EQ(RunAndRefresh("ShowToolBox()"), "Running ToolBox\n");
  ASSERT_NE(bench.Window(CSceneEditor::kFrameName), nullptr);
  EXPECT_TRUE(bench.Window(CSceneEditor::kFrameName)->isVisible());
  bench.context->ports.toolBox.Reset();
  CSceneEditor::OnOK(CEGUI::WindowEventArgs(nullptr));
  EXPECT_FALSE(bench.Window(CSceneEditor::kFrameName)->isVisible());
  EXPECT_EQ(RunAndRefresh("ShowToolBox()"), "Running ToolBox\n") << "no tool";
  EXPECT_TRUE(bench.Window(CSceneEditor::kFrameName)->isVisible());
}

// The shutdown runs once the line has returned, so it never frees the script engine under the
// line; the rest of the line never runs.
class RecordingRelease final : public CEngineRelease {
 public:
  explicit RecordingRelease(CScriptStorage& storage) : m_storage(storage) {}
  void ReleaseServices() override { runningAtRelease.push_back(m_storage.IsRunning()); }
  std::vector<bool> runningAtRelease;

 private:
  CScriptStorage& m_storage;
};

std::vector<unsigned> g_after;
void After(unsigned value) { g_after.push_back(value); }

TEST_F(ConsoleCommandsTest, QuitEndsTheEngineAfterTheLineReturned) {
  ConsoleFunction after = {"void After( uint )", reinterpret_cast<ConsoleHandler>(&After),
                           [] { return "After"; }};
  ASSERT_EQ(bench.console->RegisterFunction(&after), 1);
  RecordingRelease release(bench.storage);
  bench.context->ports.release.Set(&release);
  bench.context->dwInitialized = 1;
  bench.context->pDescriptor = nullptr;
  g_after.clear();
  ProcessExitCatcher exits;
  bench.Type("After(1); Quit(); After(2);");
  try {
    bench.console->OnChar(13);
    ADD_FAILURE() << "the engine did not end";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 0u);
  }
  EXPECT_EQ(release.runningAtRelease, std::vector<bool>{false});
  EXPECT_EQ(g_after, std::vector<unsigned>{1}) << "the line never resumes";
  EXPECT_FALSE(bench.storage.IsRunning());
}

}  // namespace
