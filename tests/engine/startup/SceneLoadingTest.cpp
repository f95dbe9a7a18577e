// Loading and saving scenes through the top interface: which reader a name reaches (with and
// without extension, upper case, found in an archive or loose on disk), how the loaded scene
// gets its shaders, the load timing, and the errors that end a load.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSceneFileReader.h"
#include "LoadingTestBench.h"
#include "RecordingRenderingProfile.h"
#include "TestScene.h"
#include "TestWindow.h"
#include "ZkzWriter.h"
#include "startup/ZeKorbD3D.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "zktest/ZkTestClock.h"

namespace {

UINT AssignAll(CSceneInterface*) { return 1; }
UINT AssignNone(CSceneInterface*) { return 0; }

class SceneLoadingTest : public ::testing::Test, public LoadingTestBench {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workingFolder.Entered());
    // Loose files beside archive members, as in the game's data folder.
    folder.Write("room.zks", "scene");
    folder.Write("both.zks", "scene");
    folder.Write("both.lws", "scene");
    ZkzWriter().Add("hall.lws", "scene").Write(folder / "data.zkz");
    ASSERT_EQ(vfs.AddVirtualDisk("data.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);

    context->pSceneFileReader = &sceneFiles;  // CriticalError shows its box and returns
  }
  void TearDown() override {
    for (CSceneInterface* scene : m_loaded) scene->Release();
  }

  // Loads into a fresh scene pointer; the scene the reader made is released after the test.
  CSceneInterface* Load(const char* name, UINT mode = 1, UINT readerFlag = 0,
                        SceneShaderChooser assign = nullptr) {
    CSceneInterface* scene = nullptr;
    engine->LoadScene(&scene, name, mode, readerFlag, assign, nullptr, nullptr);
    if (scene != nullptr) m_loaded.push_back(scene);
    return scene;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const ZkTestMessageBox& box : exits.Boxes()) texts.push_back(box.caption + ": " + box.text);
    return texts;
  }

  FakeSceneFileReader sceneFiles;
  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();

 private:
  std::vector<CSceneInterface*> m_loaded;
};

TEST_F(SceneLoadingTest, NamesReachTheReaderTheirExtensionOrTheFileFoundNames) {
  struct Case {
    const char* name;
    const char* lightWaveName;  // what the LightWave reader is given, or null
    const char* sceneFileName;  // what the scene-file reader is given, or null
  };
  const Case cases[] = {
      {"room", nullptr, "room.zks"},          // loose on disk
      {"hall", "hall.lws", nullptr},          // only the LightWave file, in the archive
      {"both", nullptr, "both.zks"},          // the engine's own file is preferred
      {"HALL.LWS", "hall.lws", nullptr},      // lower-cased before it is read
      {"Room.ZKS", nullptr, "room.zks"},
      {"hall.lwsx", "hall.lws", nullptr},     // cut three letters after the dot
      {"lwsonly", "lwsonly", nullptr},        // no dot: the whole name is the extension
      {".hidden.zks", nullptr, ".hidden.zks"},  // a leading dot is not the extension's
  };
  for (const Case& c : cases) {
    lightWave.sceneNames.clear();
    sceneFiles.paths.clear();
    CSceneInterface* scene = Load(c.name);
    EXPECT_NE(scene, nullptr) << c.name;
    EXPECT_EQ(lightWave.sceneNames,
              c.lightWaveName ? std::vector<std::string>{c.lightWaveName}
                              : std::vector<std::string>{})
        << c.name;
    EXPECT_EQ(sceneFiles.paths,
              c.sceneFileName ? std::vector<std::string>{c.sceneFileName}
                              : std::vector<std::string>{})
        << c.name;
  }
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(SceneLoadingTest, TheReaderFlagGoesToTheSceneFileReader) {
  Load("room.zks", 1, 7);
  EXPECT_EQ(sceneFiles.flags, std::vector<UINT>{7});
}

TEST_F(SceneLoadingTest, LoadsThatCannotBeMadeEndInACriticalError) {
  struct Case {
    const char* what;
    std::string name;
    bool readerFails;
    bool noLightWaveReader;
    const char* box;
  };
  const Case cases[] = {
      {"missing", "ab", false, false, "Error!: Can't Find: ab"},
      {"missing with a dot", "a.b", false, false, "Error!: Can't Find: a.b"},
      {"too long", std::string(252, 'x'), false, false, "Error!: Can't Load"},
      {"reader fails", "room", true, false, "Error!: Can't Load"},
      {"no LightWave reader", "hall.lws", false, true, "Error!: Can't Load"},
  };
  for (const Case& c : cases) {
    ZkTestMessageBoxCapture(true);  // starts a fresh record
    sceneFiles.result = !c.readerFails;
    context->pLightWaveLoader = c.noLightWaveReader ? nullptr : &lightWave;
    sceneFiles.paths.clear();
    lightWave.sceneNames.clear();
    genericPass.scenes.clear();

    CSceneInterface* scene = Load(c.name.c_str());

    EXPECT_EQ(Boxes(), std::vector<std::string>{c.box}) << c.what;
    EXPECT_TRUE(genericPass.scenes.empty()) << c.what << ": a failed load prepares nothing";
    if (c.name.size() > 251) {
      EXPECT_TRUE(sceneFiles.paths.empty() && lightWave.sceneNames.empty()) << c.what;
      EXPECT_EQ(scene, nullptr);
    }
  }
}

TEST_F(SceneLoadingTest, ShadersComeFromTheAssignFunctionTheProfileOrTheDefaultPath) {
  // Mode 0 always takes the default coded path.
  CSceneInterface* scene = Load("room", 0);
  EXPECT_EQ(genericPass.scenes, std::vector<CSceneInterface*>{scene});

  // Mode 1 without a shader library leaves the scene without shaders: the default path too.
  genericPass.scenes.clear();
  scene = Load("room", 1);
  EXPECT_EQ(genericPass.scenes, std::vector<CSceneInterface*>{scene});

  // An assign function that prepares the scene: nothing else runs.
  genericPass.scenes.clear();
  scene = Load("room", 1, 0, &AssignAll);
  EXPECT_EQ(scene->GetUseShader(), 1u);
  EXPECT_TRUE(genericPass.scenes.empty());

  // One that fails is logged, and the scene is left as it is.
  scene = Load("room", 1, 0, &AssignNone);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError)
                .find("ERROR!!! - User-Defined-Shader-Assigning Function Returned FALSE\n"),
            std::string::npos);
  EXPECT_TRUE(genericPass.scenes.empty());

  // An assign function counts only in mode 1; a rendering profile takes over the rest.
  RecordingRenderingProfile profile;
  context->pRenderingProfile = &profile;
  scene = Load("room", 0, 0, &AssignAll);
  EXPECT_EQ(profile.scenes, std::vector<CSceneInterface*>{scene});
  EXPECT_TRUE(genericPass.scenes.empty());
}

TEST_F(SceneLoadingTest, LogsTheTimeOfTheLoadAndTheTotal) {
  ZkTestClockSetManual(1'000'000);
  sceneFiles.onLoad = [](CScene*) { ZkTestClockAdvance(1'500'000); };
  const float before = context->fTotalLoadTime;
  Load("room");
  Load("room");
  ZkTestClockSetReal();
  const std::string info = log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_NE(info.find("- Time To Load :1.500000 seconds\n"), std::string::npos) << info;
  EXPECT_FLOAT_EQ(context->fTotalLoadTime - before, 3.0f);
}

TEST_F(SceneLoadingTest, WaitingWindowMessagesAreHandledBeforeTheFileIsRead) {
  TestWindow window;
  window.Pump();
  constexpr UINT kPosted = WM_USER + 7;
  ASSERT_TRUE(PostMessageA(window.Handle(), kPosted, 1, 2));
  BOOL waitingDuringRead = TRUE;
  sceneFiles.onLoad = [&](CScene*) {
    MSG message;
    waitingDuringRead = PeekMessageA(&message, nullptr, kPosted, kPosted, PM_NOREMOVE);
  };
  Load("room");
  EXPECT_FALSE(waitingDuringRead);
  EXPECT_EQ(TestWindow::Only(window.Pump(), kPosted).size(), 1u);
}

TEST_F(SceneLoadingTest, AddSceneMakesAFreshlyCreatedScene) {
  CSceneInterface* scene = nullptr;
  engine->AddScene(&scene);
  ASSERT_NE(scene, nullptr);
  EXPECT_STREQ(scene->GetName(), "freshly_created");
  scene->Release();
}

TEST_F(SceneLoadingTest, SaveHandsTheSceneToTheSceneFileReader) {
  auto* scene = new TestScene();
  EXPECT_EQ(engine->SaveSceneToZKS(scene, 0), 1u);
  sceneFiles.result = false;
  EXPECT_EQ(engine->SaveSceneToZKS(scene, 1), 0u);
  EXPECT_EQ(sceneFiles.saved, (std::vector<CScene*>{scene, scene}));
  context->pSceneFileReader = nullptr;
  EXPECT_EQ(engine->SaveSceneToZKS(scene, 0), 0u);
  scene->Release();
}

// The engine's own reader behind the top interface: a scene saved by SaveSceneToZKS comes back
// through LoadScene by its bare name.
TEST_F(SceneLoadingTest, SavedSceneLoadsBackThroughTheEngineReader) {
  bool made = false;
  CZKReader files(nullptr, &log, made);
  ASSERT_TRUE(made);
  CZKSSceneFileReader engineReader(&files);
  context->pSceneFileReader = &engineReader;

  CSceneInterface* original = nullptr;
  engine->AddScene(&original);
  ASSERT_NE(original, nullptr);
  original->SetName("saved");
  ASSERT_NE(original->AddCamera(), nullptr);
  original->AddNull()->SetName("pivot");
  original->SetFogType(3);
  ASSERT_EQ(engine->SaveSceneToZKS(original, 0), 1u);
  original->Release();

  CSceneInterface* loaded = Load("saved");
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_STREQ(loaded->GetName(), "saved");
  ASSERT_EQ(loaded->GetNumberOfCameras(), 1u);
  EXPECT_EQ(loaded->GetActiveCamera(), loaded->GetCamera(0));
  ASSERT_EQ(loaded->GetNumberOfNullObjects(), 1u);
  EXPECT_STREQ(loaded->GetNull(0)->GetName(), "pivot");
  EXPECT_EQ(loaded->GetFogType(), 3u);
}

}  // namespace
