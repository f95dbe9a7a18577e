// The reader entry: scene loads through the top interface with the real reader behind the
// engine's LightWave port, the import records made once, and one object read into a mesh when
// the engine's own object file is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "LWOBuilder.h"
#include "LWSBuilder.h"
#include "LoadingTestBench.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "spatial/MeshSpatialServices.h"
#include "lightwave/LWReader.h"
#include "scene/Bone.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"
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
    spatial.boundVolume = &boundVolume;
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
  FakeMeshBoundVolume boundVolume;
  FakeMeshSpatial spatial;
  CSurfaceFactory surfaces;
  FakeTextureStorage textures;
  CMeshSpatialServices realSpatial{&log, nullptr};
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

TEST_F(LWReaderTest, ACubesUVMapAndImageLayerReachTheMeshWithVTurnedOver) {
  renderer.textureStorage = &textures;
  std::vector<CLWOBuilder::Point> corners, uvs;
  for (int k = 0; k < 8; ++k) {
    corners.push_back({k & 1 ? 1.0f : -1.0f, k & 2 ? 1.0f : -1.0f, k & 4 ? 1.0f : -1.0f});
    uvs.push_back({0.125f * float(k), 0.25f + 0.0625f * float(k), 0});
  }
  const std::vector<CLWOBuilder::Triangle> faces = {{4, 5, 7}, {4, 7, 6}, {0, 2, 3}, {0, 3, 1},
                                                    {1, 3, 7}, {1, 7, 5}, {0, 4, 6}, {0, 6, 2},
                                                    {2, 6, 7}, {2, 7, 3}, {0, 1, 5}, {0, 5, 4}};
  std::vector<std::pair<uint32_t, uint16_t>> tags;
  for (uint32_t f = 0; f < faces.size(); ++f) tags.push_back({f, 0});
  CLWOBuilder object;
  object.Tags({"Skin"}).StillClip(4, "Images/Wood.TGA").Layer().Points(corners).UVMap("Texture", uvs)
      .Triangles(faces).SurfaceTags(tags);
  object.BeginSurface("Skin").BeginBlock("IMAP", "COLR").SubChunk("PROJ").U2(5).End();
  object.SubChunk("IMAG").VX(4).End().SubChunk("VMAP").S0("TEXTURE").End().End().End();
  const std::vector<uint8_t> bytes = object.File();
  folder.Write("objects/cube.lwo", std::string(bytes.begin(), bytes.end()));

  TestScene* scene = new TestScene(&renderer, &log);
  auto* mesh = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(mesh);
  ASSERT_EQ(mesh->LoadMesh("objects/cube", 0, 0), 1u);
  ASSERT_GE(mesh->GetNumberOfVertices(), 8u);
  for (UINT i = 0; i < mesh->GetNumberOfVertices(); ++i) {
    const Vertex& vertex = mesh->GetVertices()[i];
    const int k = (vertex.vecPosition.x > 0 ? 1 : 0) | (vertex.vecPosition.y > 0 ? 2 : 0) |
                  (vertex.vecPosition.z > 0 ? 4 : 0);
    EXPECT_EQ(vertex.fTU[0], uvs[k].x) << i;
    EXPECT_EQ(vertex.fTV[0], 1.0f - uvs[k].y) << i;
  }
  // The layer's clip is the surface's first colour texture, found below the texture folder.
  ASSERT_EQ(mesh->GetNumberOfSurfaces(), 1u);
  SurfaceTexture* color = mesh->GetSurface(0)->GetColor0Texture();
  ASSERT_NE(color, nullptr);
  ASSERT_EQ(textures.made.size(), 1u);
  EXPECT_EQ(color->pTextureImage, textures.made[0].get());
  EXPECT_EQ(textures.made[0]->names[0], "textures\\wood.tga");
  EXPECT_TRUE(exits.Boxes().empty());
  scene->Release();
}

CLWSBuilder::Key KeyAt(float value, float seconds) {
  CLWSBuilder::Key key;
  key.value = value;
  key.seconds = seconds;
  return key;
}

// A whole scene: a box, a boned arm parented to it with its motion, pivot, dissolve, morph and
// shadow settings, a light parented to the arm, a camera aimed at the box and a null parented to
// the camera.
TEST_F(LWReaderTest, AWholeSceneBecomesTheScenesObjectsInFileOrderWithTheirLinks) {
  CLWOBuilder triangle;
  triangle.Tags({"Skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).WeightMap("arm", {{0, 1.0f}}).Surface("Skin");
  const std::vector<uint8_t> bytes = triangle.File();
  folder.Write("level/objects/box.lwo", std::string(bytes.begin(), bytes.end()));
  folder.Write("level/objects/arm.lwo", std::string(bytes.begin(), bytes.end()));

  CLWSBuilder scene;
  scene.Header().Line("FramesPerSecond 30").Line("LoadObjectLayer 1 Objects/Box.lwo").Empty().Empty();
  scene.Line("LoadObjectLayer 1 Objects/Arm.lwo").Motion("ObjectMotion", {{1, {KeyAt(2, 0), KeyAt(3, 1)}}})
      .Line("PivotPosition 0 1 0").Line("PivotRotation 0 0 0").Line("ParentItem 10000000")
      .Line("ObjectDissolve (envelope)").Envelope({KeyAt(0, 0), KeyAt(1, 1)})
      .Line("MorphAmount (envelope)").Envelope({KeyAt(0.5f, 0)}).Line("MorphTarget 1")
      .Line("ShadowOptions 3").Line("BoneFalloffType 1");
  // Upper's parent is Lower (a higher number), Lower's would close a loop, Stray's is past the
  // bones.
  const std::pair<const char*, const char*> bones[] = {{"Upper", "4001"}, {"Lower", "4000"}, {"Stray", "4009"}};
  for (const auto& [bone, parent] : bones)
    scene.Line(std::string("AddBone ") + bone).Line("BoneWeightMapName arm").Line("BoneWeightMapOnly 1")
        .Line("BoneNormalization 1").Line("BoneRestLength 1").Line(std::string("ParentItem ") + parent);
  scene.Line("ShadowExclusion").Empty();
  scene.Line("AddLight 20000000").Line("LightName Key Light").Empty().Line("LightType 1")
      .Line("ParentItem 10000001").Empty();
  scene.Line("AddCamera 30000000").Empty().Line("TargetItem 10000000").Empty();
  scene.Line("AddNullObject Null (1)").Empty().Line("ParentItem 30000000").Empty();
  folder.Write("level/scene.lws", scene.Text(true));

  CSceneInterface* loaded = Load("Level/Scene.lws");
  ASSERT_NE(loaded, nullptr);
  ASSERT_TRUE(exits.Boxes().empty());
  EXPECT_EQ(loaded->GetNumberOfMeshes(), 2u);
  EXPECT_EQ(loaded->GetNumberOfLights(), 1u);
  EXPECT_EQ(loaded->GetNumberOfCameras(), 1u);
  EXPECT_EQ(loaded->GetNumberOfNullObjects(), 1u);

  auto* read = dynamic_cast<CScene*>(loaded);
  std::vector<CWorldObject*> objects;
  for (CWorldObject* object = read->GetFirstWorldObject(); object != nullptr; object = object->GetNext())
    objects.push_back(object);
  ASSERT_EQ(objects.size(), 5u);
  auto* box = dynamic_cast<CMesh*>(objects[0]);
  auto* arm = dynamic_cast<CMesh*>(objects[1]);
  auto* light = dynamic_cast<CLight*>(objects[2]);
  auto* camera = dynamic_cast<CCamera*>(objects[3]);
  auto* null = dynamic_cast<CNull*>(objects[4]);
  ASSERT_TRUE(box && arm && light && camera && null);
  EXPECT_STREQ(box->GetName(), "box.lwo");
  EXPECT_STREQ(arm->GetName(), "arm.lwo");
  EXPECT_STREQ(light->GetName(), "key light");
  EXPECT_EQ(arm->GetParent(), box);
  EXPECT_EQ(light->GetParent(), arm);
  EXPECT_EQ(null->GetParent(), camera);
  EXPECT_EQ(arm->GetMorphTargetObject(), box);
  ASSERT_EQ(arm->GetNumberOfBones(), 3u);
  CBone* upper = arm->GetBone(0);
  CBone* lower = arm->GetBone(1);
  EXPECT_STREQ(upper->GetName(), "Upper");
  EXPECT_STREQ(lower->GetWeightMapName(), "arm");
  EXPECT_EQ(lower->GetRestLength(), 1.0f);
  EXPECT_EQ(upper->GetParent(), lower);
  EXPECT_EQ(lower->GetParent(), nullptr);
  EXPECT_EQ(arm->GetBone(2)->GetParent(), nullptr);
  const std::string errors = log.TextAt(CEngineLog::kLevelError);
  EXPECT_NE(errors.find("Bone 1 Can't Be Parented To Bone 0, It Would Close A Loop"), std::string::npos) << errors;
  EXPECT_NE(errors.find("Bone Number Out Of Range: 2, 9 Of 3"), std::string::npos) << errors;
  EXPECT_EQ(arm->GetVisibleByCameras(), 1u);
  EXPECT_EQ(box->GetNumberOfBones(), 0u);
}

// What the round trip through the engine's scene file must keep of a mesh.
struct MeshPicture {
  std::string name;
  std::vector<std::string> bones;
  std::vector<int> parents;  // bone numbers, -1 for none
  std::vector<std::vector<float>> vertices;  // position, weights, bone numbers, coordinates

  explicit MeshPicture(CMeshInterface* mesh) : name(mesh->GetName()) {
    for (UINT i = 0; i < mesh->GetNumberOfBones(); ++i) {
      CBone* bone = mesh->GetBone(i);
      bones.push_back(bone->GetName());
      parents.push_back(bone->GetParent() != nullptr ? int(bone->GetParent() - mesh->GetBone(0)) : -1);
    }
    for (UINT i = 0; i < mesh->GetNumberOfVertices(); ++i) {
      const Vertex& v = mesh->GetVertices()[i];
      std::vector<float> values = {v.vecPosition.x, v.vecPosition.y, v.vecPosition.z, v.fTU[0], v.fTV[0]};
      for (UINT k = 0; k < 4; ++k) values.insert(values.end(), {v.fWeights[k], float(v.wBonesIndices[k])});
      vertices.push_back(values);
    }
  }
  bool operator==(const MeshPicture&) const = default;
};

// A whole weighted scene: a body whose two bones follow weight maps, with a UV-mapped and a
// planar-projected textured surface; an arm whose two bones weigh by distance; a light, a
// camera and a null. It loads through the top interface, then saves and loads back through the
// engine's own scene file unchanged.
TEST_F(LWReaderTest, AWeightedSceneLoadsAndComesBackThroughTheEnginesSceneFile) {
  renderer.textureStorage = &textures;
  // Real bound volumes: the scene file keeps them.
  context->ports.meshSpatial.Set(&realSpatial);
  const std::vector<CLWOBuilder::Point> strip = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 2, 0}, {1, 2, 0}};
  std::vector<CLWOBuilder::Point> uvs;
  for (const CLWOBuilder::Point& p : strip) uvs.push_back({0.5f * p.x, 0.25f * p.y, 0});
  CLWOBuilder body;
  body.Tags({"Skin", "Metal"}).StillClip(4, "Images/Wood.tga").Layer().Points(strip).UVMap("Texture", uvs)
      .Triangles({{0, 1, 3}, {0, 3, 2}, {2, 3, 5}, {2, 5, 4}})
      .SurfaceTags({{0, 0}, {1, 0}, {2, 1}, {3, 1}})
      .WeightMap("hip", {{0, 1.0f}, {1, 1.0f}, {2, 0.25f}, {3, 0.25f}})
      .WeightMap("knee", {{2, 0.75f}, {3, 0.75f}, {4, 1.0f}, {5, 1.0f}});
  body.BeginSurface("Skin").BeginBlock("IMAP", "COLR").SubChunk("PROJ").U2(5).End();
  body.SubChunk("IMAG").VX(4).End().SubChunk("VMAP").S0("Texture").End().End().End();
  body.BeginSurface("Metal").BeginBlock("IMAP", "COLR").SubChunk("PROJ").U2(0).End().SubChunk("AXIS").U2(2).End();
  body.SubChunk("TMAP").SubChunk("SIZE").F4(2).F4(4).F4(2).VX(0).End().End();
  body.SubChunk("IMAG").VX(4).End().End().End();
  folder.Write("level/objects/body.lwo", [&] { const auto b = body.File(); return std::string(b.begin(), b.end()); }());
  CLWOBuilder arm;
  arm.Tags({"Skin"}).Layer().Points({{0, 0, 0}, {0.25f, 0, 1.5f}, {0, 0.25f, 2}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).Surface("Skin");
  folder.Write("level/objects/arm.lwo", [&] { const auto b = arm.File(); return std::string(b.begin(), b.end()); }());

  CLWSBuilder scene;
  scene.Header().Line("FramesPerSecond 30").Line("LoadObjectLayer 1 Objects/Body.lwo").Empty().Line("BoneFalloffType 1");
  const char* mapped[][3] = {{"Hip", "hip", "10000000"}, {"Knee", "knee", "4000"}};
  for (const auto& [bone, map, parent] : mapped)
    scene.Line(std::string("AddBone ") + bone).Line(std::string("BoneWeightMapName ") + map)
        .Line("BoneWeightMapOnly 1").Line("BoneNormalization 1").Line("BoneRestLength 1")
        .Line(std::string("ParentItem ") + parent);
  scene.Line("ShadowOptions 7").Empty();
  // The arm's bones lie along z, the second on the first's end.
  scene.Line("LoadObjectLayer 1 Objects/Arm.lwo").Empty().Line("BoneFalloffType 2");
  const char* reaching[][3] = {{"Upper", "0 0 0", "10000001"}, {"Lower", "0 0 1", "4000"}};
  for (const auto& [bone, position, parent] : reaching)
    scene.Line(std::string("AddBone ") + bone).Line(std::string("BoneRestPosition ") + position)
        .Line("BoneRestDirection 0 0 0").Line("BoneRestLength 1").Line("BoneStrength 1")
        .Line("BoneNormalization 1").Line(std::string("ParentItem ") + parent);
  scene.Line("ShadowOptions 7").Empty();
  scene.Line("AddLight 20000000").Line("LightName Sun").Empty().Line("LightType 0").Line("ParentItem 10000000").Empty();
  scene.Line("AddCamera 30000000").Empty().Line("TargetItem 10000000").Empty();
  scene.Line("AddNullObject Pivot").Empty().Line("ParentItem 30000000").Empty();
  folder.Write("level/scene.lws", scene.Text());

  CSceneInterface* read = Load("level/scene.lws");
  ASSERT_NE(read, nullptr);
  ASSERT_TRUE(exits.Boxes().empty()) << exits.Boxes()[0].text;
  ASSERT_EQ(read->GetNumberOfMeshes(), 2u);
  EXPECT_EQ(read->GetNumberOfLights(), 1u);
  EXPECT_EQ(read->GetNumberOfCameras(), 1u);
  EXPECT_EQ(read->GetNumberOfNullObjects(), 1u);
  CMeshInterface* readBody = read->GetMesh(0);
  CMeshInterface* readArm = read->GetMesh(1);
  const MeshPicture bodyPicture(readBody), armPicture(readArm);
  EXPECT_EQ(bodyPicture.name, "body.lwo");
  EXPECT_EQ(bodyPicture.bones, (std::vector<std::string>{"Hip", "Knee"}));
  EXPECT_EQ(bodyPicture.parents, (std::vector<int>{-1, 0}));
  EXPECT_EQ(armPicture.bones, (std::vector<std::string>{"Upper", "Lower"}));
  EXPECT_EQ(armPicture.parents, (std::vector<int>{-1, 0}));

  // Body: weights as the maps give them, scaled to 1; the skin's coordinates are the map's
  // with v turned over, the metal's planar along z over a size of 2 by 4.
  ASSERT_GE(bodyPicture.vertices.size(), 6u);
  for (const std::vector<float>& v : bodyPicture.vertices) {
    const float y = v[1];
    const float hip = y == 0 ? 1.0f : y == 1 ? 0.25f : 0.0f;
    const float expected[2][2] = {{hip, 0}, {1 - hip, 1}};
    SCOPED_TRACE(y);
    UINT slot = 0;
    for (const auto& [weight, bone] : expected) {
      if (weight == 0) continue;
      EXPECT_FLOAT_EQ(v[5 + 2 * slot], weight);
      EXPECT_EQ(v[6 + 2 * slot], bone);
      ++slot;
    }
    for (; slot < 4; ++slot) EXPECT_EQ(v[5 + 2 * slot], 0.0f);
    const bool skin = v[3] == 0.5f * v[0] && v[4] == 1.0f - 0.25f * v[1];
    const bool metal = v[3] == 0.5f + 0.5f * v[0];
    EXPECT_TRUE(skin || metal) << v[3] << ", " << v[4];
  }
  // Arm: every vertex weighs by distance, the weights summing to 1, the nearer bone first.
  ASSERT_EQ(armPicture.vertices.size(), 3u);
  for (const std::vector<float>& v : armPicture.vertices) {
    SCOPED_TRACE(v[2]);
    EXPECT_NEAR(v[5] + v[7] + v[9] + v[11], 1.0f, 1e-5f);
    EXPECT_GE(v[5], v[7]);
    EXPECT_EQ(v[6], v[2] < 1 ? 0 : 1);
  }
  EXPECT_EQ(textures.made.size(), 2u);
  // A clone of the arm keeps every bone value and weight.
  CMeshInterface* clone = nullptr;
  readArm->Clone(&clone);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(MeshPicture(clone), armPicture);
  ASSERT_EQ(read->GetNumberOfMeshes(), 3u);

  // Through the engine's own scene file and back.
  bool made = false;
  CZKReader files(&renderer, &log, made);
  ASSERT_TRUE(made);
  CZKSSceneFileReader engineFiles(&files);
  context->ports.sceneFiles.Set(&engineFiles);
  read->SetName("saved");
  ASSERT_EQ(CZeKorbD3D::Instance()->SaveSceneToZKS(read, 0), 1u) << log.TextAt(CEngineLog::kLevelError);
  CSceneInterface* back = Load((std::string(read->GetDirectory()) + "saved").c_str());
  ASSERT_NE(back, nullptr);
  ASSERT_TRUE(exits.Boxes().empty()) << log.TextAt(CEngineLog::kLevelError);
  ASSERT_EQ(back->GetNumberOfMeshes(), 3u);
  EXPECT_EQ(MeshPicture(back->GetMesh(0)), bodyPicture);
  EXPECT_EQ(MeshPicture(back->GetMesh(1)), armPicture);
  EXPECT_EQ(MeshPicture(back->GetMesh(2)), armPicture);
  EXPECT_EQ(back->GetNumberOfLights(), 1u);
  EXPECT_EQ(back->GetNumberOfCameras(), 1u);
  EXPECT_EQ(back->GetNumberOfNullObjects(), 1u);
}

}  // namespace
