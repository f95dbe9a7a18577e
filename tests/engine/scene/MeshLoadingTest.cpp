// LoadMesh: which file a name reaches, what a file that cannot be found or read does, and how
// the loaded mesh is prepared for drawing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LoadingTestBench.h"
#include "RecordingRenderingProfile.h"
#include "TestScene.h"
#include "scene/Mesh.h"

namespace {

class MeshLoadingTest : public ::testing::Test, public LoadingTestBench {
 protected:
  void SetUp() override {
    ASSERT_TRUE(workingFolder.Entered());
    folder.Write("box.zko", "object");
    folder.Write("box.lwo", "object");
    folder.Write("ball.lwo", "object");
    context->pZKReader = nullptr;  // engine object files cannot be read here
  }
  void TearDown() override {
    scene->Release();
  }

  CMesh* NewMesh() {
    auto* mesh = new CMesh(nullptr, &log, scene, 0);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  // The fatal box's text, or "returned <result>" when LoadMesh came back.
  std::string Load(const char* name, UINT flag = 0) {
    CMesh* mesh = NewMesh();
    try {
      return "returned " + std::to_string(mesh->LoadMesh(name, flag, 0));
    } catch (const ProcessExited& exit) {
      EXPECT_EQ(exit.code, 1u);
      return exits.Boxes().empty() ? "exited" : exits.Boxes().back().text;
    }
  }

  TestScene* scene = new TestScene();
};

TEST_F(MeshLoadingTest, NamesReachTheObjectFileOrTheLightWaveFile) {
  struct Case {
    const char* name;
    const char* outcome;
    const char* lightWavePath;  // what the LightWave reader was given, or null
  };
  const Case cases[] = {
      {"box", "Can't Load ZKO: box.zko", nullptr},  // both exist: the object file wins
      {"ball", "returned 1", "ball.lwo"},
      {"crate.lwo", "returned 1", "crate.lwo"},  // named by extension: not looked up
      {"crate.zko", "Can't Load ZKO: crate.zko", nullptr},
      {"none", "Can't Locate File: none", nullptr},
      {"ab", "Can't Locate File: ab", nullptr},  // shorter than an extension
      {"", "Can't Locate File: ", nullptr},
  };
  for (const Case& c : cases) {
    lightWave.meshPaths.clear();
    EXPECT_EQ(Load(c.name), c.outcome) << c.name;
    EXPECT_EQ(lightWave.meshPaths, c.lightWavePath ? std::vector<std::string>{c.lightWavePath}
                                                    : std::vector<std::string>{})
        << c.name;
  }
  EXPECT_NE(log.TextAt(CEngineLog::kLevelInfo).find("Loading Mesh: crate.lwo\n"), std::string::npos);
}

TEST_F(MeshLoadingTest, AnUnreadableLightWaveFileIsFatal) {
  lightWave.result = 0;
  EXPECT_EQ(Load("ball"), "Can't Load LWO: ball.lwo");
  context->ports.lightWave.Reset();
  EXPECT_EQ(Load("ball.lwo"), "Can't Load LWO: ball.lwo");
}

TEST_F(MeshLoadingTest, ALoadedMeshIsPreparedByTheProfileOrTheDefaultPath) {
  lightWave.onMesh = [](CMesh* mesh) { mesh->SetName("loaded"); };
  ASSERT_EQ(Load("ball", 0), "returned 1");
  ASSERT_EQ(genericPass.meshes.size(), 1u);
  EXPECT_STREQ(genericPass.meshes[0]->GetName(), "loaded");

  // Flag 1 without a shader library leaves the mesh without a shader: the default path too.
  ASSERT_EQ(Load("ball", 1), "returned 1");
  EXPECT_EQ(genericPass.meshes.size(), 2u);

  RecordingRenderingProfile profile;
  context->pRenderingProfile = &profile;
  ASSERT_EQ(Load("ball", 1), "returned 1");
  EXPECT_EQ(profile.meshes.size(), 1u);
  EXPECT_EQ(genericPass.meshes.size(), 2u);
}

}  // namespace
