// Scene files written and read back through the virtual file system: the scene's own chunks,
// lights, cameras and nulls with their links, and the files a loader must refuse.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "ChunkBuilder.h"
#include "ChunkStreams.h"
#include "EngineContextScope.h"
#include "FakeLightSpatial.h"
#include "FakeSceneShaderLibrary.h"
#include "ProcessExitCatcher.h"
#include "RecordingAllocator.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingNullScriptHost.h"
#include "TempDir.h"
#include "TestScene.h"
#include "vfs/VirtualFileSystem.h"
#include "files/ZKReader.h"
#include "files/ZKSLightExporter.h"
#include "files/ZKSNullExporter.h"
#include "files/ZKSSceneExporter.h"
#include "scene/Camera.h"
#include "scene/Envelope.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Null.h"
#include "spatial/MeshSpatialServices.h"

namespace {

void AddKeys(CChannelEnvelope* channel, float first, float second) {
  channel->AddKeyData(first, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  channel->AddKeyData(second, 10, KEY_SHAPE_TCB, 0.5f, 0, 0, 0, 0, 0, 0);
}

void Keyed(CEnvelope* envelope, float first, float second) {
  AddKeys(&envelope->Channel(), first, second);
  envelope->SetIsEnvelope(1);
}

void Constant(CEnvelope* envelope, float value) {
  envelope->SetIsEnvelope(0);
  envelope->SetValue(value);
}

void Animate(CMotion* motion, float seed) {
  motion->SetNumberOfChannels(6);
  for (UINT i = 0; i < 6; ++i) AddKeys(motion->GetChannel(i), seed + float(i), seed - float(i));
}

void ExpectSameChannel(CChannelEnvelopeInterface* expected, CChannelEnvelopeInterface* actual) {
  ASSERT_EQ(actual->GetNumberOfKeys(), expected->GetNumberOfKeys());
  for (UINT i = 0; i < expected->GetNumberOfKeys(); ++i)
    EXPECT_TRUE(actual->GetKey(i)->IsEqual(expected->GetKey(i))) << "key " << i;
}

void ExpectSameEnvelope(CEnvelopeInterface* expected, CEnvelopeInterface* actual,
                        const char* what) {
  SCOPED_TRACE(what);
  EXPECT_EQ(actual->GetIsEnvelope(), expected->GetIsEnvelope());
  if (expected->GetIsEnvelope() != 1) {
    EXPECT_EQ(actual->GetValue(), expected->GetValue());
  }
  ExpectSameChannel(expected->GetChannelEnvelope(), actual->GetChannelEnvelope());
}

void ExpectSameMotion(CMotion* expected, CMotion* actual) {
  ASSERT_EQ(actual->GetNumberOfChannels(), expected->GetNumberOfChannels());
  for (UINT i = 0; i < expected->GetNumberOfChannels(); ++i)
    ExpectSameChannel(expected->GetChannel(i), actual->GetChannel(i));
}

void ExpectSameRecord(const D3DLIGHT9& expected, const D3DLIGHT9& actual) {
  EXPECT_EQ(actual.Type, expected.Type);
  EXPECT_EQ(actual.Diffuse.r, expected.Diffuse.r);
  EXPECT_EQ(actual.Specular.g, expected.Specular.g);
  EXPECT_EQ(actual.Ambient.b, expected.Ambient.b);
  EXPECT_EQ(actual.Position.y, expected.Position.y);
  EXPECT_EQ(actual.Direction.z, expected.Direction.z);
  EXPECT_EQ(actual.Falloff, expected.Falloff);
  EXPECT_EQ(actual.Attenuation2, expected.Attenuation2);
  EXPECT_EQ(actual.Theta, expected.Theta);
  EXPECT_EQ(actual.Phi, expected.Phi);
}

class SceneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char* cwd = getcwd(nullptr, 0);
    m_previousFolder = cwd;
    free(cwd);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    context->pVirtualFileSystem = &vfs;
    CNull::SetScriptHost(&scripts);
    CLight::SetSpatial(&spatial);
    scene = new TestScene(0u, &renderer, &log);
    scene->SetName("level");
  }
  void TearDown() override {
    scene->Release();
    if (loaded != nullptr) loaded->Release();
    CLight::SetSpatial(nullptr);
    CNull::SetScriptHost(nullptr);
    CScene::SetShaderLibrary(nullptr);
    EXPECT_EQ(chdir(m_previousFolder.c_str()), 0);
  }

  CZKSSceneExporter* Exporter() { return reader.GetSceneExporter(); }
  bool Save() { return Exporter()->SaveScene(scene); }
  // Loads `path` into `loaded`, replacing a scene loaded before.
  bool Load(const char* path = "level.zks") {
    if (loaded != nullptr) loaded->Release();
    loaded = nullptr;
    return Exporter()->LoadScene(&loaded, path, 0);
  }
  std::vector<uint8_t> FileBytes(const std::string& name = "level.zks") const {
    std::ifstream file(folder / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  void WriteFile(const std::vector<uint8_t>& bytes, const std::string& name = "level.zks") {
    folder.Write(name, std::string(bytes.begin(), bytes.end()));
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }
  template <class T>
  T* Loaded(CWorldObjectInterface* object) {
    return dynamic_cast<T*>(CWorldObject::FromInterface(object));
  }

  TempDir folder;
  EngineContextScope context;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  bool ok = false;
  CZKReader reader{nullptr, &log, ok};
  RecordingDrawRenderer renderer;
  RecordingNullScriptHost scripts;
  FakeLightSpatial spatial;
  TestScene* scene = nullptr;
  CScene* loaded = nullptr;

 private:
  std::string m_previousFolder;
};

// A scene file of scene-level chunks only, with the counts as given.
std::vector<uint8_t> CountsOnly(const char* magic, uint32_t meshes, uint32_t lights,
                                uint32_t cameras, uint32_t nulls) {
  CChunkBuilder file;
  file.Begin(magic)
      .U32Chunk("MSHN", meshes)
      .U32Chunk("LITN", lights)
      .U32Chunk("CAMN", cameras)
      .U32Chunk("NULN", nulls)
      .U32Chunk("FFRM", 0)
      .End();
  return file.Bytes();
}

TEST_F(SceneFileTest, SceneWithoutMeshesReadsBackEqual) {
  // A mesh with dynamic buffers is left out of the file; it must not shift the numbering.
  scene->AddMesh(1);
  auto* sun = dynamic_cast<CLight*>(scene->AddLight());
  auto* lamp = dynamic_cast<CLight*>(scene->AddLight());
  auto* spot = dynamic_cast<CLight*>(scene->AddLight());
  auto* camera = dynamic_cast<CCamera*>(scene->AddCamera());
  auto* follower = dynamic_cast<CCamera*>(scene->AddCamera());
  auto* pivot = dynamic_cast<CNull*>(scene->AddNull());
  auto* child = dynamic_cast<CNull*>(scene->AddNull());

  sun->SetName("sun");
  sun->SetType(LIGHT_DISTANT);
  sun->SetNumber(7);
  sun->SetIsActive(0);
  sun->SetFallOffType(2);
  D3DLIGHT9* record = sun->GetD3DLightProperties();
  record->Diffuse = {0.5f, 0.25f, 0.125f, 1};
  record->Specular.g = 0.75f;
  record->Ambient.b = 0.3f;
  record->Position = {1, 2, 3};
  record->Direction = {0, -1, 0.5f};
  record->Falloff = 1.5f;
  record->Attenuation2 = 0.01f;
  record->Theta = 0.2f;
  record->Phi = 0.4f;
  Keyed(sun->GetEnvelope(CLight::ENVELOPE_INTENSITY), 0.25f, 1.0f);
  Keyed(sun->GetEnvelope(CLight::ENVELOPE_RED), 0.1f, 0.9f);
  Constant(sun->GetEnvelope(CLight::ENVELOPE_GREEN), 0.6f);
  Animate(sun->GetOwnMotion(), 3);

  lamp->SetName("lamp");
  lamp->SetType(LIGHT_POINT);
  lamp->SetIsFlare(1);
  Constant(lamp->GetEnvelope(CLight::ENVELOPE_FLARE_SIZE), 0.5f);
  Constant(lamp->GetEnvelope(CLight::ENVELOPE_RANGE), 50);
  lamp->SetParentObject(pivot);  // run time: the light holds the type word of a null

  spot->SetName("spot");
  spot->SetType(LIGHT_SPOT);
  Constant(spot->GetEnvelope(CLight::ENVELOPE_RANGE), 80);
  Constant(spot->GetEnvelope(CLight::ENVELOPE_CONE_ANGLE), 30);
  Keyed(spot->GetEnvelope(CLight::ENVELOPE_INNER_CONE_ANGLE), 10, 20);
  spot->SetTargetObject(child);

  Keyed(dynamic_cast<CEnvelope*>(camera->GetZoomEnvelope(0)), 2, 4);
  camera->SetParent(lamp);
  camera->SetAspect(0.5625f);
  camera->SetScreenSize(1280, 720);
  camera->SetNearClipPlane(0.5f);
  camera->SetFarClipPlane(900);
  Animate(camera->GetOwnMotion(), 11);
  follower->SetParent(camera);
  follower->SetTarget(pivot);

  pivot->SetName("pivot");
  pivot->SetScript("Spin();");
  Animate(pivot->GetOwnMotion(), 20);
  pivot->SetParentObject(sun);
  child->SetName("child");
  child->SetParentObject(camera);

  scene->SetFirstFrame(5);
  scene->SetLastFrame(120);
  scene->SetFramesPerSecond(25);
  scene->SetAmbientColor(0x00302010);
  scene->GetColor()->cReserved = 9;
  Constant(dynamic_cast<CEnvelope*>(scene->GetAmbLightIntensityEnvelope()), 0.4f);
  scene->SetBackgroundColor(0xFF112233);
  scene->SetGridSize(64);
  scene->SetNumberOfOctreeCells(12);
  scene->SetFogType(3);
  scene->SetFogColor(0x00808080);
  scene->SetFogMinDistance(10);
  scene->SetFogMaxDistnace(500);

  ASSERT_TRUE(Save()) << Errors();
  const std::vector<uint8_t> bytes = FileBytes();
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "ZKS5");
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "MSHN");
  EXPECT_EQ(U32At(bytes, 16), 0u);  // the dynamic mesh is not counted
  EXPECT_EQ(U32At(bytes, 28), 3u);  // lights written

  ASSERT_TRUE(Load()) << Errors();
  EXPECT_STREQ(loaded->GetName(), "level");
  EXPECT_STREQ(loaded->GetDirectory(), "");
  ASSERT_EQ(loaded->GetNumberOfMeshes(), 0u);
  ASSERT_EQ(loaded->GetNumberOfLights(), 3u);
  ASSERT_EQ(loaded->GetNumberOfCameras(), 2u);
  ASSERT_EQ(loaded->GetNumberOfNullObjects(), 2u);
  auto* sun2 = Loaded<CLight>(loaded->GetLight(0));
  auto* lamp2 = Loaded<CLight>(loaded->GetLight(1));
  auto* spot2 = Loaded<CLight>(loaded->GetLight(2));
  auto* camera2 = Loaded<CCamera>(loaded->GetCamera(0));
  auto* follower2 = Loaded<CCamera>(loaded->GetCamera(1));
  auto* pivot2 = Loaded<CNull>(loaded->GetNull(0));
  auto* child2 = Loaded<CNull>(loaded->GetNull(1));
  ASSERT_TRUE(sun2 && lamp2 && spot2 && camera2 && follower2 && pivot2 && child2);

  EXPECT_STREQ(sun2->GetName(), "sun");
  EXPECT_EQ(sun2->GetType(), LIGHT_DISTANT);
  EXPECT_EQ(sun2->GetNumber(), 7);
  EXPECT_EQ(sun2->GetIsActive(), 0u);
  EXPECT_EQ(sun2->GetFallOffType(), 2u);
  ExpectSameRecord(*record, *sun2->GetD3DLightProperties());
  for (UINT role = 0; role < CLight::ENVELOPE_COUNT; ++role) {
    const auto which = static_cast<CLight::EnvelopeRole>(role);
    ExpectSameEnvelope(sun->GetEnvelope(which), sun2->GetEnvelope(which), "sun envelope");
    ExpectSameEnvelope(spot->GetEnvelope(which), spot2->GetEnvelope(which), "spot envelope");
  }
  ExpectSameMotion(sun->GetOwnMotion(), sun2->GetOwnMotion());
  EXPECT_EQ(lamp2->GetType(), LIGHT_POINT);
  EXPECT_EQ(lamp2->GetIsFlare(), 1u);
  EXPECT_EQ(lamp2->GetD3DLightProperties()->Range, 50.0f);  // range copied on finishing
  EXPECT_EQ(lamp2->GetFlareQuad()[0].x, -10.0f);  // 0.5 x 20
  EXPECT_EQ(lamp2->GetFlareQuad()[3].y, 10.0f);
  EXPECT_EQ(lamp2->GetFlareQuad()[0].dwDiffuse, 0xFFFFFFFFu);
  EXPECT_NE(lamp2->GetBoundVolume(), nullptr);
  EXPECT_NE(spot2->GetBoundVolume(), nullptr);
  EXPECT_EQ(sun2->GetBoundVolume(), nullptr);

  ExpectSameEnvelope(camera->GetZoomEnvelope(0), camera2->GetZoomEnvelope(0), "zoom");
  ExpectSameMotion(camera->GetOwnMotion(), camera2->GetOwnMotion());
  EXPECT_EQ(camera2->GetAspect(), 0.5625f);
  EXPECT_EQ(camera2->GetXScreenCoordinate(), 1280.0f);
  EXPECT_EQ(camera2->GetYScreenCoordinate(), 720.0f);
  EXPECT_EQ(camera2->GetNearClipPlane(), 0.5f);
  EXPECT_EQ(camera2->GetFarClipPlane(), 900.0f);

  EXPECT_STREQ(pivot2->GetName(), "pivot");
  EXPECT_STREQ(pivot2->GetScript(), "Spin();");
  EXPECT_STREQ(child2->GetScript(), "");
  ExpectSameMotion(pivot->GetOwnMotion(), pivot2->GetOwnMotion());

  // Links set at run time come back as the same objects, whatever kind they point to.
  EXPECT_EQ(lamp2->GetParent(), pivot2);
  EXPECT_EQ(spot2->GetTarget(), child2);
  EXPECT_EQ(camera2->GetParent(), lamp2);
  EXPECT_EQ(follower2->GetParent(), camera2);
  EXPECT_EQ(follower2->GetTargetObject(0), pivot2);
  EXPECT_EQ(pivot2->GetParent(), sun2);
  EXPECT_EQ(child2->GetParent(), camera2);
  EXPECT_EQ(sun2->GetParent(), nullptr);

  EXPECT_EQ(loaded->GetFirstFrame(), 5u);
  EXPECT_EQ(loaded->GetLastFrame(), 120u);
  EXPECT_EQ(loaded->GetFramesPerSecond(), 25.0f);
  EXPECT_EQ(loaded->GetColor()->cRed, 0x10);
  EXPECT_EQ(loaded->GetColor()->cBlue, 0x30);
  EXPECT_EQ(loaded->GetColor()->cReserved, 9);
  EXPECT_EQ(loaded->GetAmbLightIntensityEnvelope()->GetValue(), 0.4f);
  EXPECT_EQ(loaded->GetBackgroundColor(), 0xFF112233u);
  auto* file = static_cast<CScene*>(loaded);
  EXPECT_EQ(file->GetGridSize(), 64u);
  EXPECT_EQ(file->GetNumberOfOctreeCells(), 12u);
  EXPECT_EQ(loaded->GetFogType(), 3u);
  EXPECT_EQ(loaded->GetFogColor(), 0x00808080u);
  EXPECT_EQ(loaded->GetMinimumFogDistance(), 10.0f);
  EXPECT_EQ(loaded->GetMaximumFogDistance(), 500.0f);

  // The first camera is made active and the null scripts run.
  EXPECT_EQ(loaded->GetActiveCamera(), camera2);
  ASSERT_EQ(scripts.runs.size(), 1u);
  EXPECT_EQ(scripts.runs[0].parent, pivot2);
  EXPECT_EQ(scripts.runs[0].script, "Spin();");
}

// The tags of the chunks that follow one another from `start` to the end of the file.
std::vector<std::string> TopLevelChunks(const std::vector<uint8_t>& bytes, size_t start) {
  std::vector<std::string> tags;
  for (size_t at = start; at + 8 <= bytes.size(); at += 8 + U32At(bytes, at + 4))
    tags.emplace_back(bytes.begin() + at, bytes.begin() + at + 4);
  return tags;
}

// The u32 payload of the scene file's first top-level chunk with the tag.
uint32_t ChunkValue(const std::vector<uint8_t>& bytes, const char* tag) {
  for (size_t at = 8; at + 12 <= bytes.size(); at += 8 + U32At(bytes, at + 4))
    if (std::memcmp(&bytes[at], tag, 4) == 0) return U32At(bytes, at + 8);
  ADD_FAILURE() << "no " << tag << " chunk";
  return 0;
}

// Scenes whose meshes have bound volumes, so that they can have an octree.
class SceneFileOctreeTest : public SceneFileTest {
 protected:
  void SetUp() override {
    SceneFileTest::SetUp();
    CMesh::SetSpatial(&meshSpatial);
  }
  void TearDown() override {
    SceneFileTest::TearDown();
    CMesh::SetSpatial(nullptr);
  }

  CMeshSpatialServices meshSpatial{&log};
};

TEST_F(SceneFileOctreeTest, TheOctreeNumberIsTheCellCountOfTheOctreeSavedBesideTheScene) {
  // Left out of the scene file by its dynamic buffers, yet in the tree.
  auto* box = dynamic_cast<CMesh*>(scene->AddMesh(1));
  ASSERT_NE(box, nullptr);
  Vertex corners[2] = {};
  corners[1].vecPosition = {4, 4, 4};
  ASSERT_EQ(box->SetVertices(2, corners, 1), 2u);
  // The test scene's own passes record only; the mesh runs its passes as the build would.
  box->PrepareMatrices(0.0f);
  box->UpdateHierarchy(0.0f);
  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  ASSERT_EQ(scene->SaveOctree(), 1u) << Errors();
  ASSERT_TRUE(Save()) << Errors();

  const std::vector<std::string> cells = TopLevelChunks(FileBytes("level.oct"), 20);
  EXPECT_GT(cells.size(), 1u);
  EXPECT_EQ(std::count(cells.begin(), cells.end(), "OCTR"), std::ptrdiff_t(cells.size()));
  EXPECT_EQ(ChunkValue(FileBytes(), "OCTR"), cells.size());

  // The number read back is the count the next octree save is checked against.
  ASSERT_TRUE(Load()) << Errors();
  EXPECT_EQ(loaded->GetNumberOfOctreeCells(), cells.size());
}

TEST_F(SceneFileTest, SceneWithoutCameraLoadsAndSaysSo) {
  scene->AddNull();
  scene->SetFogType(1);
  ASSERT_TRUE(Save()) << Errors();
  ASSERT_TRUE(Load()) << Errors();
  EXPECT_EQ(loaded->GetActiveCamera(), nullptr);
  EXPECT_EQ(loaded->GetNumberOfNullObjects(), 1u);
  EXPECT_EQ(loaded->GetFogType(), 0u);  // no "FOGG" for a fog type other than 3
  EXPECT_NE(Errors().find("WARNING!!! - Scene level.zks Has No Camera\n"), std::string::npos);
}

TEST_F(SceneFileTest, Zks6HeaderReadsLikeZks5) {
  scene->AddCamera();
  dynamic_cast<CLight*>(scene->AddLight())->SetName("only");
  ASSERT_TRUE(Save());
  std::vector<uint8_t> bytes = FileBytes();
  bytes[3] = '6';
  WriteFile(bytes);
  ASSERT_TRUE(Load()) << Errors();
  EXPECT_EQ(loaded->GetNumberOfCameras(), 1u);
  EXPECT_STREQ(loaded->GetLight(0)->GetName(), "only");

  bytes[3] = '7';
  WriteFile(bytes);
  EXPECT_FALSE(Load());
  EXPECT_NE(Errors().find("ERROR! - Scene, Wrong File: level.zks, Expected ZKS6 Or ZKS5 Header "
                          "But Found: ZKS7\n"),
            std::string::npos);
}

TEST_F(SceneFileTest, CountsThatDoNotMatchTheObjectsAreRefused) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* message;
  };
  CChunkBuilder oneNull;
  oneNull.Begin("ZKS5")
      .U32Chunk("MSHN", 0)
      .U32Chunk("LITN", 0)
      .U32Chunk("CAMN", 0)
      .U32Chunk("NULN", 2)
      .Begin("NULL")
      .Chunk("NAME", [](CChunkBuilder& b) { b.Text("one", 256); })
      .End()
      .U32Chunk("FFRM", 0)
      .End();
  const Case cases[] = {
      // Counts without any object chunk: the check runs all the same.
      {CountsOnly("ZKS5", 1, 0, 0, 0),
       "ERROR, Scene::World, Incorrect Number Of Meshes In level - 1 - 0\n"},
      {CountsOnly("ZKS5", 0, 0, 2, 0),
       "ERROR, Scene::World, Incorrect Number Of Cameras In level - 2 - 0\n"},
      {CountsOnly("ZKS6", 0, 3, 0, 0),
       "ERROR, Scene::World, Incorrect Number Of Lights In level - 3 - 0\n"},
      {oneNull.Bytes(), "ERROR, Scene::World, Incorrect Number Of Nulls In level - 2 - 1\n"},
  };
  for (const Case& check : cases) {
    log.entries.clear();
    WriteFile(check.bytes);
    EXPECT_FALSE(Load()) << check.message;
    EXPECT_NE(Errors().find(check.message), std::string::npos) << Errors();
    EXPECT_NE(loaded, nullptr);  // the scene stays with the caller
  }
  WriteFile(CountsOnly("ZKS5", 0, 0, 0, 0));
  EXPECT_TRUE(Load()) << Errors();
}

TEST_F(SceneFileTest, TruncatedFilesAreRefused) {
  auto* light = dynamic_cast<CLight*>(scene->AddLight());
  light->SetType(LIGHT_POINT);
  scene->AddCamera();
  dynamic_cast<CNull*>(scene->AddNull())->SetScript("Go();");
  ASSERT_TRUE(Save());
  const std::vector<uint8_t> whole = FileBytes();
  for (size_t length : {size_t(2), size_t(8), size_t(30), whole.size() / 2, whole.size() - 1}) {
    log.entries.clear();
    WriteFile(std::vector<uint8_t>(whole.begin(), whole.begin() + length));
    EXPECT_FALSE(Load()) << "cut at " << length;
    if (length >= 12) {
      EXPECT_NE(Errors().find("ERROR! - Scene level.zks, Incorrect Size\n"), std::string::npos)
          << "cut at " << length << ": " << Errors();
    }
  }
  EXPECT_TRUE(scripts.runs.empty());  // nothing runs for a file that did not load
}

TEST_F(SceneFileTest, ObjectRunsEndWithASceneChunkAndComeOnce) {
  auto nullChunk = [](CChunkBuilder& b, const char* name) {
    b.Begin("NULL").Chunk("NAME", [&](CChunkBuilder& c) { c.Text(name, 256); }).End();
  };
  CChunkBuilder last;
  last.Begin("ZKS5").U32Chunk("NULN", 1);
  nullChunk(last, "end");
  last.End();
  WriteFile(last.Bytes());
  EXPECT_FALSE(Load());
  EXPECT_NE(Errors().find("ERROR! - Scene level.zks, Can't Load World\n"), std::string::npos);

  CChunkBuilder twice;
  twice.Begin("ZKS5").U32Chunk("NULN", 1);
  nullChunk(twice, "first");
  twice.U32Chunk("FFRM", 2);
  nullChunk(twice, "second");  // a second run is skipped
  twice.U32Chunk("LFRM", 3).End();
  WriteFile(twice.Bytes());
  ASSERT_TRUE(Load()) << Errors();
  EXPECT_EQ(loaded->GetNumberOfNullObjects(), 1u);
  EXPECT_STREQ(loaded->GetNull(0)->GetName(), "first");
  EXPECT_EQ(loaded->GetLastFrame(), 3u);
}

TEST_F(SceneFileTest, MeshWithoutItsObjectFileFailsTheWorld) {
  CChunkBuilder file;
  file.Begin("ZKS5")
      .U32Chunk("MSHN", 1)
      .Begin("MESH")
      .Chunk("NAME", [](CChunkBuilder& b) { b.Text("box", 256); })
      .End()
      .U32Chunk("FFRM", 0)
      .End();
  WriteFile(file.Bytes());
  EXPECT_FALSE(Load());
  EXPECT_NE(Errors().find("ERROR! - Mesh - box, Can't Load ZKO\n"), std::string::npos);
  EXPECT_NE(Errors().find("ERROR! - Scene level.zks, Can't Load World\n"), std::string::npos);
}

TEST_F(SceneFileTest, ShaderChunkCarriesItsParameters) {
  FakeSceneShaderLibrary shaders;
  shaders.shaderToReturn = reinterpret_cast<CShader*>(&shaders);  // never dereferenced
  CScene::SetShaderLibrary(&shaders);
  for (UINT count : {0u, 16u, 17u}) {
    SCOPED_TRACE(count);
    std::vector<ShaderParameter> parameters(count);
    for (UINT i = 0; i < count; ++i) {
      parameters[i].dwValue = i * 3;
      parameters[i].dwDynamicID = i;
      std::snprintf(parameters[i].szParameterName, sizeof parameters[i].szParameterName,
                    "PARAM_%u", i);
    }
    ASSERT_EQ(scene->CreateShader("glow.ssh", parameters.data(), count, 1), 1u);
    if (count > 16) {
      // A loader's table holds 16: such a file could not be read back.
      EXPECT_FALSE(Save());
      EXPECT_NE(Errors().find("- Can't Save Shader To: level.zks\n"), std::string::npos);
      continue;
    }
    ASSERT_TRUE(Save()) << Errors();
    const std::vector<uint8_t> bytes = FileBytes();
    const std::string text(bytes.begin(), bytes.end());
    const size_t shader = text.rfind("SHDR");
    ASSERT_NE(shader, std::string::npos);
    EXPECT_EQ(U32At(bytes, shader + 4), count == 0 ? 264u : 272u + 64u * count);
    EXPECT_EQ(shader + 8 + U32At(bytes, shader + 4), bytes.size());

    shaders.createCalls.clear();
    ASSERT_TRUE(Load()) << Errors();
    ASSERT_EQ(shaders.createCalls.size(), 1u);
    EXPECT_EQ(shaders.createCalls[0].fileName, "glow.ssh");
    ASSERT_EQ(shaders.createCalls[0].numberOfParameters, count);
    const std::vector<ShaderParameter>& read = loaded->GetShaderParameters();
    ASSERT_EQ(read.size(), count);
    if (count > 0) {
      EXPECT_STREQ(read[15].szParameterName, "PARAM_15");
      EXPECT_EQ(read[15].dwValue, 45u);
      EXPECT_EQ(read[15].dwDynamicID, 15u);
    }
    EXPECT_EQ(loaded->GetUseShader(), 1u);
  }

  // A file with 17 records is refused.
  CChunkBuilder file;
  file.Begin("ZKS5")
      .Begin("SHDR")
      .Chunk("NAME", [](CChunkBuilder& b) { b.Text("glow.ssh", 256); })
      .Chunk("PARM", [](CChunkBuilder& b) { b.Raw(std::vector<uint8_t>(64 * 17)); })
      .End()
      .End();
  WriteFile(file.Bytes());
  EXPECT_FALSE(Load());
  EXPECT_NE(Errors().find("ERROR! - Scene level.zks, Can't Load Shader\n"), std::string::npos);
}

TEST_F(SceneFileTest, NamesThatDoNotFitAndMergedScenesAreNotSaved) {
  const std::string longName(250, 'n');
  scene->SetName(longName.c_str());
  scene->SetDirectory("folder\\");
  EXPECT_FALSE(Save());
  EXPECT_NE(Errors().find("- Scene File Name Too Long: folder\\" + longName + ".zks\n"),
            std::string::npos);

  scene->SetName("level");
  scene->SetDirectory("");
  scene->SetSaveable(0);
  EXPECT_FALSE(Save());
  EXPECT_NE(
      Errors().find("- Scene: level.zks Can't Be Saved B'coz It's Built Of Many Another Scenes\n"),
      std::string::npos);
  EXPECT_TRUE(FileBytes().empty());

  const std::string longPath = std::string(300, 'd') + "\\level.zks";
  EXPECT_FALSE(Load(longPath.c_str()));
  EXPECT_EQ(loaded, nullptr);
}

TEST_F(SceneFileTest, SavesIntoTheScenesDirectory) {
  folder.Write("maps/keep", "");
  scene->SetDirectory("maps\\");
  scene->AddCamera();
  ASSERT_TRUE(Save()) << Errors();
  EXPECT_FALSE(FileBytes("maps/level.zks").empty());
  ASSERT_TRUE(Load("maps\\level.zks")) << Errors();
  EXPECT_STREQ(loaded->GetDirectory(), "maps\\");
  EXPECT_STREQ(loaded->GetName(), "level");
}

// --- the light and null chunks on their own ---

class ObjectChunkTest : public ::testing::Test {
 protected:
  ObjectChunkTest() { CLight::SetSpatial(&spatial); }
  ~ObjectChunkTest() override {
    scene->Release();
    CLight::SetSpatial(nullptr);
  }

  CRecordingEngineLog log;
  bool ok = false;
  CZKReader reader{nullptr, &log, ok};
  FakeLightSpatial spatial;
  TestScene* scene = new TestScene(0u);
};

TEST_F(ObjectChunkTest, LightSubChunksMayComeInAnyOrder) {
  struct Case {
    uint32_t type;
    WORD loadedType;
    bool flare;
    bool volume;
  };
  const Case cases[] = {
      {0, LIGHT_DISTANT, false, false},
      {1, LIGHT_POINT, true, true},
      {0x00010002, LIGHT_SPOT, true, true},
      {3, 3, true, false},
  };
  for (const Case& check : cases) {
    SCOPED_TRACE(check.type);
    spatial.calls.clear();
    CChunkBuilder chunk;
    chunk.Begin("LITE")
        .U32Chunk("ACTV", 1)
        .U32Chunk("TYPE", check.type)
        .Begin("RANG")
        .F32Chunk("ENVN", 40)
        .End()
        .Begin("FLSI")
        .F32Chunk("ENVN", 2)
        .End()
        .Chunk("PRNT", [](CChunkBuilder& b) { b.U32(4).U32(1); })
        .U32Chunk("XTRA", 5)  // unknown: skipped
        .Chunk("NAME", [](CChunkBuilder& b) { b.Text("late", 256); })
        .End();
    MemoryChunkFile file(chunk.Bytes());
    ASSERT_TRUE(file.in.NextTagIs("LITE"));
    auto* light = new CLight(nullptr, &log, scene);
    ASSERT_TRUE(reader.GetLightExporter()->ReadLight(light, file.in, 0)) << log.TextAt(2);
    EXPECT_EQ(light->GetType(), check.loadedType);
    EXPECT_STREQ(light->GetName(), "late");
    EXPECT_EQ(light->GetParentNumber(), 4u);
    EXPECT_EQ(light->GetParentReferenceType(), 1u);
    EXPECT_EQ(light->GetFlareQuad()[1].y, check.flare ? 40.0f : 0.0f);
    EXPECT_EQ(light->GetD3DLightProperties()->Range, check.flare ? 40.0f : 0.0f);
    EXPECT_EQ(light->GetBoundVolume() != nullptr, check.volume);
    EXPECT_EQ(file.file.ReadsPastEnd(), 0);
    light->Release();
  }
}

TEST_F(ObjectChunkTest, WrongSizesAreRefusedWithTheirMessages) {
  struct Case {
    std::function<void(CChunkBuilder&)> body;
    const char* message;
  };
  const Case cases[] = {
      {[](CChunkBuilder& b) { b.Chunk("NAME", 255, [](CChunkBuilder& c) { c.Text("x", 255); }); },
       "ERROR! - Light::NAME Incorrect Size\nERROR! - Light, Can't Load Name\n"},
      {[](CChunkBuilder& b) { b.Chunk("PROP", 100, [](CChunkBuilder& c) { c.Raw(std::vector<uint8_t>(100)); }); },
       "ERROR! - Light::PROP Incorrect Size\n"},
      {[](CChunkBuilder& b) { b.Chunk("TRGT", 4, [](CChunkBuilder& c) { c.U32(1); }); },
       "ERROR! - Light::TRGT Incorrect Size\n"},
      {[](CChunkBuilder& b) {
         b.Begin("INTE").F32Chunk("ENVN", 1).U32(0).End();  // four bytes beyond the envelope
       },
       "ERROR! - Light::INTE Incorrect Size\n"},
      {[](CChunkBuilder& b) { b.Begin("FALL", 40).U32(1).End(); },
       "ERROR! - Light::FALL Incorrect Size\n"},
  };
  for (const Case& check : cases) {
    log.entries.clear();
    CChunkBuilder chunk;
    chunk.Begin("LITE");
    check.body(chunk);
    chunk.End();
    MemoryChunkFile file(chunk.Bytes());
    ASSERT_TRUE(file.in.NextTagIs("LITE"));
    auto* light = new CLight(nullptr, &log, scene);
    EXPECT_FALSE(reader.GetLightExporter()->ReadLight(light, file.in, 0));
    EXPECT_NE(log.TextAt(2).find(check.message), std::string::npos) << log.TextAt(2);
    EXPECT_EQ(file.file.ReadsPastEnd(), 0);
    light->Release();
  }
}

TEST_F(ObjectChunkTest, NullWithoutScriptWritesThreeSubChunks) {
  auto* null = new CNull(nullptr, &log);
  null->SetOwnerScene(scene);
  scene->AppendWorldObject(null);
  null->SetName("bare");
  WrittenStream stream;
  UINT total = 0;
  ASSERT_TRUE(reader.GetNullExporter()->WriteNull(null, stream.Stream(), total));
  const std::vector<uint8_t> bytes = stream.Bytes();
  EXPECT_EQ(total, bytes.size());
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("SCRP"), std::string::npos);
  EXPECT_NE(text.find("PRNT"), std::string::npos);
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);

  MemoryChunkFile file(bytes);
  ASSERT_TRUE(file.in.NextTagIs("NULL"));
  auto* copy = new CNull(nullptr, &log, "keep;Kept();");
  ASSERT_TRUE(reader.GetNullExporter()->ReadNull(copy, file.in, 0));
  EXPECT_STREQ(copy->GetName(), "bare");
  EXPECT_STREQ(copy->GetScript(), "Kept();");  // no "SCRP": the field stays as it was
  copy->Release();
}

}  // namespace
