// The engine's top interface as scripts reach it: every method on the real top interface with the
// script's and the fixed arguments, scenes handed back through the load, the shutdown from a
// script, and the script's message box.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeSceneFileReader.h"
#include "FakeSceneShaderLibrary.h"
#include "LoadingTestBench.h"
#include "RecordingDrawRenderer.h"
#include "ScriptBindingsFixture.h"
#include "core/PageAllocator.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "scene/Scene.h"
#include "script/ScriptTopInterface.h"
#include "startup/ZeKorbD3D.h"

using namespace AngelScript;

namespace {

struct EngineTopInterface final : CScriptTopInterface {
  CZeKorbD3DInterface* GetTopInterface() override { return CZeKorbD3D::Instance(); }
};

class TopInterfaceBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    ASSERT_TRUE(bench.workingFolder.Entered());
    ASSERT_GE(script.engine->RegisterGlobalProperty("CSceneInterface@ g_scene", &scene), 0);
    bench.context->ports.scriptTop.Set(&top);
    bench.context->ports.sceneFiles.Set(&sceneFiles);
    bench.context->ports.sceneShaders.Set(&sceneShaders);
  }
  void TearDown() override {
    for (CSceneInterface* made : scenes) made->Release();
  }

  CSceneInterface* NewScene() {
    CSceneInterface* made = nullptr;
    engine->AddScene(&made);
    scenes.push_back(made);
    return made;
  }

  LoadingTestBench bench;
  EngineTopInterface top;
  FakeSceneFileReader sceneFiles;
  FakeSceneShaderLibrary sceneShaders;
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
  CSceneInterface* scene = nullptr;  // the script's g_scene
  std::vector<CSceneInterface*> scenes;
};

TEST_F(TopInterfaceBindingsTest, ScriptsGetTheOneTopInterfaceWhileTheEngineRuns) {
  const char* code = "return GetZeKorbD3DInterface();";
  EXPECT_EQ(Handle("CZeKorbD3DInterface@", code), engine);
  bench.context->ports.scriptTop.Reset();
  EXPECT_EQ(Handle("CZeKorbD3DInterface@", code), nullptr);
}

TEST_F(TopInterfaceBindingsTest, GettersHandOutTheEnginesServices) {
  RecordingDrawRenderer renderer;
  std::unique_ptr<CPageAllocator> allocator(CPageAllocator::Create(&log, 4096, 8, nullptr));
  ASSERT_NE(allocator, nullptr);
  ZeKorbConfig config = {};
  int soundServer = 0;  // only handed through, never called
  bench.context->pRenderer = &renderer;
  bench.context->pAllocator = allocator.get();
  bench.context->pConfig = &config;
  bench.context->pSoundServer = reinterpret_cast<TonarisInterface*>(&soundServer);

  struct Case {
    const char* type;
    const char* method;
    const void* expected;
  };
  const Case cases[] = {
      {"CD3D9RendererInterface@", "GetD3DRendererInterface", &renderer},
      {"CVirtualFileSystemInterface@", "GetVFSInterface", &bench.vfs},
      {"ZKAllocatorInterface@", "GetAllocatorInterface",
       static_cast<ZKAllocatorInterface*>(allocator.get())},
      {"TonarisInterface@", "GetTonarisInterface", nullptr},  // the engine runs without sound
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Handle(c.type, std::string("return GetZeKorbD3DInterface().") + c.method + "();"),
              c.expected)
        << c.method;
  }
  config.dwUseSound = 1;
  EXPECT_EQ(Handle("TonarisInterface@", "return GetZeKorbD3DInterface().GetTonarisInterface();"),
            bench.context->pSoundServer);
}

TEST_F(TopInterfaceBindingsTest, CreatorsMakeANewEngineObjectOnEveryCall) {
  const char* timerCode = "return GetZeKorbD3DInterface().CreateTimer();";
  std::unique_ptr<CTimerInterface> first(Handle<CTimerInterface>("CTimerInterface@", timerCode));
  std::unique_ptr<CTimerInterface> second(Handle<CTimerInterface>("CTimerInterface@", timerCode));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  first->Pause();
  EXPECT_EQ(first->IsPaused(), 1u);
  EXPECT_EQ(second->IsPaused(), 0u);

  std::unique_ptr<CEnvelopeInterface> envelope(Handle<CEnvelopeInterface>(
      "CEnvelopeInterface@",
      "CEnvelopeInterface@ e = GetZeKorbD3DInterface().CreateEnvelope(); e.SetValue(2.5f);"
      "return e;"));
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->GetValue(), 2.5f);
  std::unique_ptr<CChannelEnvelopeInterface> channel(Handle<CChannelEnvelopeInterface>(
      "CChannelEnvelopeInterface@",
      "CChannelEnvelopeInterface@ c = GetZeKorbD3DInterface().CreateChannelEnvelope();"
      "c.SetPreBehaviour(2); return c;"));
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->GetPreBehaviour(), 2u);
}

TEST_F(TopInterfaceBindingsTest, ScenesAreAddedActivatedAndSaved) {
  auto* added = Handle<CSceneInterface>(
      "CSceneInterface@", "CSceneInterface@ s; GetZeKorbD3DInterface().AddScene(s); return s;");
  ASSERT_NE(added, nullptr);
  scenes.push_back(added);
  EXPECT_STREQ(added->GetName(), "freshly_created");

  scene = added;
  Run("GetZeKorbD3DInterface().SetActiveScene(g_scene);");
  EXPECT_EQ(bench.context->pActiveScene, added);
  EXPECT_EQ(Handle("CSceneInterface@", "return GetZeKorbD3DInterface().GetActiveScene();"), added);
  Run("GetZeKorbD3DInterface().SetActiveScene(null);");
  EXPECT_EQ(bench.context->pActiveScene, nullptr);

  Run("GetZeKorbD3DInterface().SaveSceneToZKS(g_scene, 0);");
  EXPECT_EQ(sceneFiles.saved, std::vector<CScene*>{static_cast<CScene*>(added)});
  EXPECT_EQ(script.Run("GetZeKorbD3DInterface().SaveSceneToZKS(null, 0);"), asEXECUTION_EXCEPTION);
  EXPECT_EQ(script.Exception(), "Null pointer access");
  EXPECT_EQ(sceneFiles.saved.size(), 1u);
}

TEST_F(TopInterfaceBindingsTest, LoadSceneReadsWithTheDefaultReaderFlagAndTheScriptsMode) {
  bench.folder.Write("room.zks", "scene");
  scene = NewScene();
  // Mode 1 asks the shader library for the scene's shaders; mode 0 takes the coded path.
  EXPECT_EQ(Handle("CSceneInterface@",
                   "return GetZeKorbD3DInterface().LoadScene(g_scene, \"room\", 1);"),
            scene);
  EXPECT_EQ(sceneShaders.preparedScenes, std::vector<CScene*>{static_cast<CScene*>(scene)});
  bench.genericPass.scenes.clear();
  Run("GetZeKorbD3DInterface().LoadScene(g_scene, \"Room.zks\", 0);");  // result ignored
  EXPECT_EQ(bench.genericPass.scenes, std::vector<CSceneInterface*>{scene});
  EXPECT_EQ(sceneShaders.preparedScenes.size(), 1u);
  EXPECT_EQ(sceneFiles.paths, (std::vector<std::string>{"room.zks", "room.zks"}));
  EXPECT_EQ(sceneFiles.flags, (std::vector<UINT>{0, 0}));

  EXPECT_EQ(script.Run("GetZeKorbD3DInterface().LoadScene(null, \"room\", 1);"),
            asEXECUTION_EXCEPTION);
  EXPECT_EQ(script.Exception(), "Null pointer access");
  EXPECT_EQ(sceneFiles.paths.size(), 2u);
  EXPECT_TRUE(bench.exits.Boxes().empty());
}

// Scenes saved and loaded through the engine's own scene files.
class EngineSceneFilesTest : public TopInterfaceBindingsTest {
 protected:
  void SetUp() override {
    TopInterfaceBindingsTest::SetUp();
    bool made = false;
    files = std::make_unique<CZKReader>(nullptr, &bench.log, made);
    ASSERT_TRUE(made);
    engineReader = std::make_unique<CZKSSceneFileReader>(files.get());
    bench.context->ports.sceneFiles.Set(engineReader.get());
  }

  std::unique_ptr<CZKReader> files;
  std::unique_ptr<CZKSSceneFileReader> engineReader;
};

// The engine's reader makes a scene of its own: the script gets it as the result and its own
// scene object is left as it was.
TEST_F(EngineSceneFilesTest, ASavedSceneComesBackAsTheLoadsResult) {
  CSceneInterface* original = NewScene();
  original->SetName("saved");
  ASSERT_NE(original->AddCamera(), nullptr);
  original->SetFogType(3);
  scene = original;
  Run("GetZeKorbD3DInterface().SaveSceneToZKS(g_scene, 0);");

  scene = NewScene();
  auto* loaded = Handle<CSceneInterface>(
      "CSceneInterface@", "return GetZeKorbD3DInterface().LoadScene(g_scene, \"saved\", 0);");
  ASSERT_NE(loaded, nullptr);
  scenes.push_back(loaded);
  EXPECT_NE(loaded, scene);
  EXPECT_STREQ(loaded->GetName(), "saved");
  EXPECT_EQ(loaded->GetNumberOfCameras(), 1u);
  EXPECT_EQ(loaded->GetFogType(), 3u);
  EXPECT_STREQ(scene->GetName(), "freshly_created");
  EXPECT_EQ(scene->GetNumberOfCameras(), 0u);
  EXPECT_TRUE(bench.exits.Boxes().empty());
}

// A script loads a saved scene and merges it into the one it holds: every object moves, the
// loaded scene is left empty, and both release without an error.
TEST_F(EngineSceneFilesTest, AScriptLoadsASecondSceneAndMergesItIntoItsOwn) {
  CSceneInterface* saved = NewScene();
  saved->SetName("extra");
  ASSERT_NE(saved->AddCamera(), nullptr);
  ASSERT_NE(saved->AddNull(), nullptr);
  scene = saved;
  Run("GetZeKorbD3DInterface().SaveSceneToZKS(g_scene, 0);");

  scene = NewScene();
  CSceneInterface* target = scene;
  CSceneInterface* spare = NewScene();
  ASSERT_GE(script.engine->RegisterGlobalProperty("CSceneInterface@ g_spare", &spare), 0);
  auto* loaded = Handle<CSceneInterface>(
      "CSceneInterface@",
      "CSceneInterface@ extra = GetZeKorbD3DInterface().LoadScene(g_spare, \"extra\", 0);"
      "if (g_scene.AddMeshes(extra) != 1) return null;"
      "return extra;");
  ASSERT_NE(loaded, nullptr);
  scenes.push_back(loaded);
  EXPECT_NE(loaded, target);
  EXPECT_EQ(target->GetNumberOfCameras() * 10 + target->GetNumberOfNullObjects(), 11u);
  EXPECT_EQ(loaded->GetWorldObjects(), nullptr);
  EXPECT_EQ(loaded->GetNumberOfCameras() + loaded->GetNumberOfNullObjects(), 0u);

  for (CSceneInterface* each : scenes) each->Release();
  scenes.clear();
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), "");
  EXPECT_TRUE(bench.exits.Boxes().empty());
}

UINT g_exitCode = 99;

TEST_F(TopInterfaceBindingsTest, CloseZeKorbFromAScriptEndsTheProcessWith0) {
  ZkTestSetExitHook([](UINT code) {
    g_exitCode = code;
    throw ProcessExited{code};
  });
  bench.context->dwQuit = 0;
  bench.context->dwInitialized = 1;
  bench.context->pDescriptor = nullptr;
  bench.context->pLog = nullptr;
  bench.context->pProfiler = nullptr;
  // The library stops the script at the exception the exit hook throws.
  EXPECT_EQ(script.Run("GetZeKorbD3DInterface().CloseZeKorb();"), asEXECUTION_EXCEPTION);
  EXPECT_EQ(g_exitCode, 0u);
  EXPECT_EQ(bench.context->dwQuit, 1u);
}

TEST_F(TopInterfaceBindingsTest, MessageBoxShowsTheTextAsItStands) {
  ZkTestMessageBoxCapture(true);
  Run("MessageBox(\"100% %s %d\");");
  Run("bstr text = \"x\"; for (int i = 0; i < 11; i++) text += text; MessageBox(text + \"!\");");
  const std::vector<ZkTestMessageBox> boxes = bench.exits.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Script Message");
  EXPECT_EQ(boxes[0].text, "100% %s %d");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  // Cut to the box's text buffer of 1024 bytes.
  EXPECT_EQ(boxes[1].text, std::string(1023, 'x'));
}

}  // namespace
