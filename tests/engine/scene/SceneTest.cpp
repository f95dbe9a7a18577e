#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "EngineContextScope.h"
#include "FakeSceneShaderLibrary.h"
#include "FakeSprite.h"
#include "FakeWorldObject.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/Envelope.h"

namespace {

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : scene(new TestScene(&renderer, &log, &sceneDestroyed)) {}
  ~SceneTest() override {
    if (!sceneDestroyed) scene->Release();
  }

  FakeWorldObject* Add(UINT type, const char* name, bool* destroyed = nullptr) {
    auto* object = new FakeWorldObject(scene, type, name, 0, destroyed);
    scene->AppendWorldObject(object);
    return object;
  }

  EngineContextScope context;
  RecordingRenderer renderer;
  CRecordingEngineLog log;
  bool sceneDestroyed = false;
  TestScene* scene;
};

TEST_F(SceneTest, NewScene) {
  EXPECT_EQ(scene->GetReferenceCount(), 1u);
  EXPECT_EQ(scene->GetWorldObjects(), nullptr);
  EXPECT_EQ(scene->GetLastWorldObject(), nullptr);
  EXPECT_STREQ(scene->GetName(), "");
  EXPECT_STREQ(scene->GetDirectory(), "");
  EXPECT_STREQ(scene->GetShaderFileName(), "");
  EXPECT_EQ(scene->GetNumberOfMeshes() + scene->GetNumberOfLights() + scene->GetNumberOfCameras() +
                scene->GetNumberOfNullObjects(),
            0u);
  EXPECT_EQ(scene->GetActiveCameraNumber(), 0u);
  EXPECT_EQ(scene->GetFirstFrame(), 0u);
  EXPECT_EQ(scene->GetLastFrame(), 0u);
  EXPECT_EQ(scene->GetFrameStep(), 0u);
  EXPECT_EQ(scene->GetFramesPerSecond(), 0.0f);
  EXPECT_EQ(scene->GetFrame(), 0.0f);
  EXPECT_EQ(scene->GetFogType(), 0u);
  EXPECT_EQ(scene->GetFogColor(), 0u);
  EXPECT_EQ(scene->GetBackgroundColor(), 0u);
  EXPECT_EQ(scene->GetNumberOfSprites(), 128u);
  for (UINT i = 0; i <= 128; ++i) EXPECT_EQ(scene->GetSprite(i), nullptr);
  EXPECT_EQ(scene->GetAmbLightIntensityEnvelope()->GetIsEnvelope(), 0u);
  EXPECT_EQ(scene->GetAmbLightIntensityEnvelope()->GetValue(), 0.25f);
  EXPECT_EQ(scene->GetActiveCamera(), nullptr);
  EXPECT_EQ(scene->GetUseShader(), 0u);
}

TEST(Scene, StartsWithTheEngineLightingModel) {
  EngineContextScope context;
  context->wPresetValue = 3;
  TestScene* scene = new TestScene();
  EXPECT_EQ(scene->GetLightingModel(), 3u);
  scene->Release();
}

TEST_F(SceneTest, PerKindArraysFollowTheListOrder) {
  FakeWorldObject* mesh0 = Add(WORLD_OBJECT_MESH, "box");
  FakeWorldObject* light = Add(WORLD_OBJECT_LIGHT, "sun");
  FakeWorldObject* null0 = Add(WORLD_OBJECT_NULL, "pivot");
  FakeWorldObject* mesh1 = Add(WORLD_OBJECT_MESH, "boxes");
  FakeWorldObject* camera = Add(WORLD_OBJECT_CAMERA, "eye");
  FakeWorldObject* mesh2 = Add(WORLD_OBJECT_MESH, "box");
  FakeWorldObject* null1 = Add(WORLD_OBJECT_NULL, "pivot");

  EXPECT_EQ(scene->GetNumberOfMeshes(), 3u);
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  EXPECT_EQ(scene->GetNumberOfCameras(), 1u);
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 2u);
  EXPECT_EQ(scene->GetWorldObjects(), mesh0->GetInterface());
  EXPECT_EQ(scene->GetLastWorldObject(), null1->GetInterface());

  EXPECT_EQ(scene->GetMeshObject(0), mesh0);
  EXPECT_EQ(scene->GetMeshObject(1), mesh1);
  EXPECT_EQ(scene->GetMeshObject(2), mesh2);
  EXPECT_EQ(scene->GetMeshObject(3), nullptr);
  EXPECT_EQ(scene->GetLightObject(0), light);
  EXPECT_EQ(scene->GetLightObject(1), nullptr);
  EXPECT_EQ(scene->GetCameraObject(0), camera);
  EXPECT_EQ(scene->GetCameraObject(1), nullptr);
  EXPECT_EQ(scene->GetNullObject(0), null0);
  EXPECT_EQ(scene->GetNullObject(1), null1);
  EXPECT_EQ(scene->GetNullObject(2), nullptr);
}

TEST_F(SceneTest, ObjectsAreHandedOutOnlyThroughTheirKindsInterface) {
  // These fakes carry the type words but are none of the kinds: nothing may pass them off as
  // a mesh, light, camera or null.
  Add(WORLD_OBJECT_MESH, "m");
  Add(WORLD_OBJECT_LIGHT, "l");
  Add(WORLD_OBJECT_CAMERA, "c");
  Add(WORLD_OBJECT_NULL, "n");
  EXPECT_EQ(scene->GetMesh(0), nullptr);
  EXPECT_EQ(scene->GetLight(0), nullptr);
  EXPECT_EQ(scene->GetCamera(0), nullptr);
  EXPECT_EQ(scene->GetNull(0), nullptr);
  EXPECT_EQ(scene->GetMeshByName("m", 0), nullptr);
}

TEST_F(SceneTest, LookupByName) {
  Add(WORLD_OBJECT_MESH, "box");
  Add(WORLD_OBJECT_MESH, "boxes");
  FakeWorldObject* secondBox = Add(WORLD_OBJECT_MESH, "box");
  Add(WORLD_OBJECT_NULL, "pivot");
  FakeWorldObject* secondPivot = Add(WORLD_OBJECT_NULL, "pivot");
  scene->SetName("level");

  EXPECT_EQ(scene->FindMeshByName("box", 1), secondBox);
  EXPECT_EQ(scene->FindNullByName("pivot", 1), secondPivot);
  EXPECT_EQ(scene->FindMeshByName("bo", 0), nullptr);  // a prefix is no match
  EXPECT_EQ(scene->FindMeshByName(nullptr, 0), nullptr);
  EXPECT_TRUE(log.entries.empty());

  EXPECT_EQ(scene->GetMeshByName("bo", 0), nullptr);
  EXPECT_EQ(scene->GetMeshByName("box", 2), nullptr);
  EXPECT_EQ(scene->GetNullByName("box", 0), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "CScene::GetMeshByName Returned NULL Looking For bo At level\n"
            "CScene::GetMeshByName Returned NULL Looking For box At level\n"
            "CScene::GetNullByName Returned NULL Looking For box At level\n");
}

TEST_F(SceneTest, AddWorldObjectRefusesWhatWouldBreakTheList) {
  FakeWorldObject* first = Add(WORLD_OBJECT_MESH, "a");
  auto* odd = new FakeWorldObject(scene, 32, "odd");
  EXPECT_EQ(scene->AddWorldObject(odd), 0u);
  EXPECT_EQ(scene->AddWorldObject(first), 0u);  // already in the list
  EXPECT_EQ(scene->AddWorldObject(nullptr), 0u);
  EXPECT_EQ(first->GetNextWorldObject(), nullptr);
  odd->Release();

  // Added but not counted: the caller rebuilds the arrays.
  auto* second = new FakeWorldObject(scene, WORLD_OBJECT_MESH, "b");
  EXPECT_EQ(scene->AddWorldObject(second), 1u);
  EXPECT_EQ(scene->GetNumberOfMeshes(), 1u);
  scene->RebuildMeshArray();
  EXPECT_EQ(scene->GetNumberOfMeshes(), 2u);
}

TEST_F(SceneTest, PlainValues) {
  scene->SetName("freshly_created");
  scene->SetName("abc");
  EXPECT_STREQ(scene->GetName(), "abc");
  char longName[400];
  std::memset(longName, 'x', sizeof longName - 1);
  longName[sizeof longName - 1] = '\0';
  scene->SetName(longName);
  EXPECT_EQ(std::strlen(scene->GetName()), 255u);

  scene->SetDirectory("levels\\one\\");
  EXPECT_STREQ(scene->GetDirectory(), "levels\\one\\");

  scene->SetFirstFrame(4);
  scene->SetLastFrame(90);
  EXPECT_EQ(scene->GetFirstFrame(), 4u);
  EXPECT_EQ(scene->GetLastFrame(), 90u);
  EXPECT_EQ(scene->GetSceneFrames(), 90u);

  scene->SetFogType(2);
  scene->SetFogMinDistance(12.5f);
  scene->SetFogMaxDistnace(300.25f);
  EXPECT_EQ(scene->GetFogType(), 2u);
  EXPECT_EQ(scene->GetMinimumFogDistance(), 12.5f);
  EXPECT_EQ(scene->GetMaximumFogDistance(), 300.25f);

  scene->SetFogColor(0xFF102030);
  EXPECT_EQ(scene->GetFogColor(), 0xFF102030u);
  ASSERT_EQ(renderer.renderStates.size(), 1u);
  EXPECT_EQ(renderer.renderStates[0], (std::pair<UINT, UINT>(D3DRS_FOGCOLOR, 0xFF102030u)));

  ColorByte* ambient = scene->GetColor();
  ambient->cReserved = 7;
  scene->SetAmbientColor(0xFF112233);
  EXPECT_EQ(ambient->cRed, 0x33);
  EXPECT_EQ(ambient->cGreen, 0x22);
  EXPECT_EQ(ambient->cBlue, 0x11);
  EXPECT_EQ(ambient->cReserved, 7);

  scene->SetLightingModel(2);
  EXPECT_EQ(scene->GetLightingModel(), 2u);
  scene->SetBackgroundColor(0x123456);
  EXPECT_EQ(scene->GetBackgroundColor(), 0x123456u);

  int data = 0;
  scene->SetUserDefinedData(&data, 8, 9);
  void* dataOut = nullptr;
  UINT value1 = 0, value2 = 0;
  scene->GetUserDefinedData(&dataOut, &value1, &value2);
  EXPECT_EQ(dataOut, &data);
  EXPECT_EQ(value1, 8u);
  EXPECT_EQ(value2, 9u);
}

TEST(Scene, FileReaderSceneHasADefaultAmbientEnvelope) {
  TestScene* scene = new TestScene(0u);
  EXPECT_EQ(scene->GetAmbLightIntensityEnvelope()->GetIsEnvelope(), 0u);
  EXPECT_EQ(scene->GetAmbLightIntensityEnvelope()->GetValue(), 0.0f);
  scene->Release();
}

TEST_F(SceneTest, ReleaseCountsDownThenFreesObjectsAndScene) {
  bool meshDestroyed = false, nullDestroyed = false;
  Add(WORLD_OBJECT_MESH, "m", &meshDestroyed);
  Add(WORLD_OBJECT_NULL, "n", &nullDestroyed);
  scene->SetName("level");
  scene->AddRef();
  scene->Release();
  EXPECT_FALSE(sceneDestroyed);
  EXPECT_EQ(scene->GetReferenceCount(), 1u);
  scene->Release();
  EXPECT_TRUE(sceneDestroyed);
  EXPECT_TRUE(meshDestroyed);
  EXPECT_TRUE(nullDestroyed);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- (CScene) Releasing level\n- Scene Released\n");
}

TEST_F(SceneTest, MeshHeldElsewhereOutlivesItsSceneDetached) {
  bool meshDestroyed = false, otherDestroyed = false;
  FakeWorldObject* held = Add(WORLD_OBJECT_MESH, "held", &meshDestroyed);
  Add(WORLD_OBJECT_MESH, "other", &otherDestroyed);
  held->AddRef();
  scene->Release();
  EXPECT_TRUE(sceneDestroyed);
  EXPECT_TRUE(otherDestroyed);
  ASSERT_FALSE(meshDestroyed);
  EXPECT_EQ(held->GetOwnerScene(), nullptr);
  EXPECT_EQ(held->GetNextWorldObject(), nullptr);
  held->Release();  // must not reach into the freed scene
  EXPECT_TRUE(meshDestroyed);
}

TEST_F(SceneTest, SpriteSlotsReuseFreedSlotsAndGrowPastTheTable) {
  scene->SetName("hud");
  std::vector<std::unique_ptr<FakeSprite>> sprites;
  for (int i = 0; i < 130; ++i) sprites.push_back(std::make_unique<FakeSprite>("s"));
  for (int i = 0; i < 128; ++i) scene->AddSprite(sprites[i].get());
  EXPECT_EQ(sprites[0]->scene, scene);
  EXPECT_EQ(scene->GetNumberOfSprites(), 128u);
  EXPECT_TRUE(log.entries.empty());

  // A freed slot is taken again before the table grows.
  EXPECT_EQ(scene->RemoveSprite(sprites[3].get()), 1u);
  EXPECT_EQ(scene->GetSprite(3), nullptr);
  scene->AddSprite(sprites[128].get());
  EXPECT_EQ(scene->GetSprite(3), sprites[128].get());
  EXPECT_EQ(scene->GetNumberOfSprites(), 128u);

  scene->AddSprite(sprites[129].get());
  EXPECT_EQ(scene->GetNumberOfSprites(), 129u);
  EXPECT_EQ(scene->GetSprite(128), sprites[129].get());
  EXPECT_EQ(scene->GetSprite(129), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Not Enough Space For Sprites In The Scene (hud), Need To Allocate\n");
}

TEST_F(SceneTest, SpritesByNameSkipFreeSlots) {
  scene->SetName("hud");
  FakeSprite a("a"), b("b"), b2("b"), stranger("stranger");
  scene->AddSprite(&a);
  scene->AddSprite(&b);
  scene->AddSprite(&b2);
  scene->RemoveSprite(&a);
  scene->RemoveSprite(&b);
  EXPECT_EQ(scene->GetSpriteByName("b", 0), &b2);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_EQ(scene->GetSpriteByName("b", 1), nullptr);
  EXPECT_EQ(scene->RemoveSprite(&stranger), 0u);
  EXPECT_EQ(scene->RemoveSprite(nullptr), 0u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Find The Sprite Named: b In The Scene: hud\n"
            "WARNING!!! - Can't Remove The Sprite Named: stranger From The Scene: hud\n"
            "WARNING!!! - Can't Remove The Sprite Named:  From The Scene: hud\n");
}

class SceneShaderTest : public SceneTest {
 protected:
  SceneShaderTest() { context->ports.sceneShaders.Set(&library); }
  FakeSceneShaderLibrary library;
};

TEST_F(SceneShaderTest, CreateShaderThroughTheLibrary) {
  auto* shader = reinterpret_cast<CShader*>(0x100);
  library.shaderToReturn = shader;
  ShaderParameter parameters[2] = {};
  EXPECT_EQ(scene->CreateShader("water.ssh", parameters, 2, 1), 1u);
  ASSERT_EQ(library.createCalls.size(), 1u);
  EXPECT_EQ(library.createCalls[0].fileName, "water.ssh");
  EXPECT_EQ(library.createCalls[0].scene, scene);
  EXPECT_EQ(library.createCalls[0].parameters, parameters);
  EXPECT_EQ(library.createCalls[0].numberOfParameters, 2u);
  EXPECT_EQ(scene->GetShader(), shader);
  EXPECT_EQ(scene->GetUseShaderWord(), 1u);
  EXPECT_STREQ(scene->GetShaderFileName(), "water.ssh");
}

TEST_F(SceneShaderTest, FailedCreateShaderLeavesNone) {
  ProcessExitCatcher boxes;
  library.shaderToReturn = reinterpret_cast<CShader*>(0x100);
  scene->CreateShader("good.ssh", nullptr, 0, 1);
  library.shaderToReturn = nullptr;
  EXPECT_EQ(scene->CreateShader("broken.ssh", nullptr, 0, 0), 0u);
  EXPECT_STREQ(scene->GetShaderFileName(), "none");
  EXPECT_EQ(scene->GetShader(), nullptr);
  EXPECT_EQ(scene->GetUseShaderWord(), 1u);  // kept from before
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Can't Create Shader: broken.ssh");
  EXPECT_EQ(boxes.Boxes()[0].caption, "Error While Creating Shader");

  // "none" is no shader file: the scene is prepared for the default path.
  EXPECT_EQ(scene->ApplyDefaultShader(nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(library.preparedScenes.size(), 1u);
}

TEST_F(SceneShaderTest, UseShaderReportsPreparationNotTheWord) {
  scene->SetShaderFile("scene.ssh", 1);
  EXPECT_STREQ(scene->GetShaderFileName(), "scene.ssh");
  EXPECT_EQ(scene->GetUseShader(), 0u);
  // With its own shader file in use, the scene itself is not prepared.
  EXPECT_EQ(scene->ApplyDefaultShader(nullptr, nullptr, nullptr), 0u);
  EXPECT_TRUE(library.preparedScenes.empty());
  EXPECT_TRUE(library.createCalls.empty());  // SetShaderFile compiles nothing

  scene->SetShaderFile("scene.ssh", 0);
  library.applyResult = 0;
  EXPECT_EQ(scene->ApplyDefaultShader(nullptr, nullptr, nullptr), 0u);
  library.applyResult = 1;
  EXPECT_EQ(scene->ApplyDefaultShader(nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(scene->GetUseShader(), 1u);
  EXPECT_EQ(library.preparedScenes, (std::vector<CScene*>{scene, scene}));
}

TEST_F(SceneShaderTest, SceneIsNotPreparedWhileAMeshFails) {
  Add(WORLD_OBJECT_MESH, "not really a mesh");
  EXPECT_EQ(scene->ApplyDefaultShader(nullptr, nullptr, nullptr), 0u);
  EXPECT_TRUE(library.preparedScenes.empty());
}

TEST_F(SceneShaderTest, ChooserReplacesTheLibrary) {
  static CSceneInterface* chosen;
  chosen = nullptr;
  SceneShaderChooser chooser = [](CSceneInterface* s) -> UINT {
    chosen = s;
    return 1;
  };
  EXPECT_EQ(scene->ApplyDefaultShader(chooser, nullptr, nullptr), 1u);
  EXPECT_EQ(chosen, scene);
  EXPECT_TRUE(library.preparedScenes.empty());
}

}  // namespace
