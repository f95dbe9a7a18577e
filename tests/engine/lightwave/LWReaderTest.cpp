// The reader entry: scene loads through the top interface with the real reader behind the
// engine's LightWave port, the import records made once, and one object read into a mesh when
// the engine's own object file is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "LWOBuilder.h"
#include "LWSBuilder.h"
#include "LoadingTestBench.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "lightwave/LWReader.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "startup/ZeKorbD3D.h"

namespace {

const std::vector<std::string> kAllocationMessages = {
    "- Allocating Temporary Buffer For Importing LWS\n",
    "- Allocating Temporary Buffer For Importing Meshes From LWS/ZKO\n",
    "- Allocating Temporary Buffer For Importing Null Objects From LWS\n",
    "- Allocating Temporary Buffer For Importing Lights LWS\n",
    "- Allocating Temporary Buffer For Importing Cameras LWS\n",
};

class LWReaderTest : public ::testing::Test, public LoadingTestBench {
 protected:
  LWReaderTest() {
    renderer.indexBufferStorage = &indexBuffers;
    renderer.materialStorage = &materials;
    settings.pLog = &log;
    settings.pRenderer = &renderer;
    reader.Init(&settings);
    context->ports.lightWave.Set(&reader);
    context->ports.meshSpatial.Set(&spatial);
    context->ports.surfaceFactory.Set(&surfaces);
  }
  ~LWReaderTest() override {
    for (CSceneInterface* scene : loaded) scene->Release();
  }

  // Loads through the top interface (mode 0: no shaders) into a fresh scene pointer.
  CSceneInterface* Load(const char* name) {
    CSceneInterface* scene = nullptr;
    CZeKorbD3D::Instance()->LoadScene(&scene, name, 0, 0, nullptr, nullptr, nullptr);
    if (scene != nullptr) loaded.push_back(scene);
    return scene;
  }
  // The messages of the reader's own source, in order.
  std::vector<std::string> ReaderMessages() const {
    std::vector<std::string> texts;
    for (const CRecordingEngineLog::Entry& entry : log.entries)
      if (entry.source == "LWReader") texts.push_back(entry.text);
    return texts;
  }

  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeMaterialStorage materials;
  LWReaderSettings settings;
  CLWReader reader;
  FakeMeshSpatial spatial;
  CSurfaceFactory surfaces;
  std::vector<CSceneInterface*> loaded;
};

TEST_F(LWReaderTest, TheFirstSceneLoadMakesTheImportRecordsAndLaterOnesReuseThem) {
  folder.Write("maps/level.lws", CLWSBuilder().Header().Line("FogType 1").Text());
  CSceneInterface* first = Load("Maps/Level.lws");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "level.lws");
  EXPECT_EQ(first->GetFogType(), 3u);
  std::vector<std::string> expected = {"- LightWave Reader Initializing Successfull\n",
                                       "- Loading maps/level.lws\n"};
  expected.insert(expected.end(), kAllocationMessages.begin(), kAllocationMessages.end());
  EXPECT_EQ(ReaderMessages(), expected);
  EXPECT_EQ(genericPass.scenes, std::vector<CSceneInterface*>{first});

  log.entries.clear();
  CSceneInterface* second = Load("maps/level.lws");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(ReaderMessages(), std::vector<std::string>{"- Loading maps/level.lws\n"});
  EXPECT_TRUE(exits.Boxes().empty());
}

TEST_F(LWReaderTest, TheReaderAnswersByExtensionAndRefusesWhatItCannotHold) {
  char name[] = "level.lws";
  EXPECT_EQ(reader.LoadScene(nullptr, name), 0u);
  EXPECT_TRUE(ReaderMessages().size() == 1);  // only the initialisation: nothing logged

  // The engine's own scene file gets an empty scene; its own reader fills it.
  char engineScene[] = "rooms/hall.zks";
  CScene* scene = nullptr;
  EXPECT_EQ(reader.LoadScene(&scene, engineScene), 1u);
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(scene->GetWorldObjects(), nullptr);
  scene->Release();

  // A directory that does not fit its buffer fails the load with a line, nothing written past it.
  std::string longPath = std::string(255, 'd') + "/level.lws";
  scene = nullptr;
  EXPECT_EQ(reader.LoadScene(&scene, longPath.data()), 0u);
  EXPECT_EQ(scene, nullptr);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError).find("ERROR!!! - Directory Too Long: "), std::string::npos);
  std::string fits = std::string(254, 'd') + "/none.zks";
  EXPECT_EQ(reader.LoadScene(&scene, fits.data()), 1u);
  ASSERT_NE(scene, nullptr);
  scene->Release();

  // Compared case-sensitively: the top interface lower-cases before it calls.
  char upper[] = "LEVEL.LWS";
  scene = nullptr;
  EXPECT_THROW(reader.LoadScene(&scene, upper), ProcessExited);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Loading Scene");
  EXPECT_EQ(exits.Boxes()[0].text, "Uknown Scene File Extension - LEVEL.LWS");
}

TEST_F(LWReaderTest, AMeshIsReadFromItsLightWaveObjectWhenItsObjectFileIsMissing) {
  CLWOBuilder object;
  object.Tags({"Skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).Surface("Skin");
  const std::vector<uint8_t> bytes = object.File();
  folder.Write("objects/box.lwo", std::string(bytes.begin(), bytes.end()));

  TestScene* scene = new TestScene(&renderer, &log);
  auto* mesh = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(mesh);
  ASSERT_EQ(mesh->LoadMesh("objects/box", 0, 0), 1u);
  EXPECT_EQ(genericPass.meshes, std::vector<CMesh*>{mesh});
  ASSERT_EQ(mesh->GetNumberOfVertices(), 3u);
  std::set<std::vector<float>> positions;
  for (UINT i = 0; i < 3; ++i) {
    const Vertex& vertex = mesh->GetVertices()[i];
    positions.insert({vertex.vecPosition.x, vertex.vecPosition.y, vertex.vecPosition.z});
    // The triangle lies in z = 0: its normal is the z axis.
    EXPECT_FLOAT_EQ(std::fabs(vertex.vecNormal.z), 1.0f);
    EXPECT_FLOAT_EQ(vertex.vecNormal.x, 0.0f);
  }
  EXPECT_EQ(positions, (std::set<std::vector<float>>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  ASSERT_EQ(mesh->GetNumberOfSurfaces(), 1u);
  auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(0));
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->GetIndexCount(), 3u);
  EXPECT_EQ(std::set<WORD>(surface->GetIndices(), surface->GetIndices() + 3), (std::set<WORD>{0, 1, 2}));
  EXPECT_EQ(reader.CurrentDirectory(), std::string());  // published only while the load runs
  scene->Release();
}

}  // namespace
