#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeBoxBoundVolume.h"
#include "FakeSceneMesh.h"
#include "PassesTestScene.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "scene/Camera.h"
#include "scene/Envelope.h"
#include "scene/Light.h"
#include "scene/Null.h"

namespace {

// A linear x from 0 at frame 0 to `at10` at frame 10.
void AnimateX(CMotion* motion, float at10) {
  motion->SetNumberOfChannels(6);
  CChannelEnvelope* x = motion->GetChannel(MOTION_POSITION_X);
  x->AddKeyData(0.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  x->AddKeyData(at10, 10.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
}

std::vector<std::string> Only(const std::vector<std::string>& calls, const std::string& prefix) {
  std::vector<std::string> kept;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0) kept.push_back(call);
  return kept;
}

// A scene with a camera at the origin looking along +Z and a unit box 10 in front of it.
class ScenePassesTest : public ::testing::Test {
 protected:
  ScenePassesTest() {
    config.wWidth = 640;
    config.wHeight = 480;
    context->pConfig = &config;
    context->pActiveScene = nullptr;
    scene->SetName("level");
    camera = AddCamera();
    mesh = new FakeSceneMesh(scene, &box);
    mesh->PlaceAt(0, 0, 10);
    scene->AppendWorldObject(mesh);
  }
  ~ScenePassesTest() override { scene->Release(); }

  CCamera* AddCamera() {
    auto* added = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(added);
    return added;
  }
  CLight* AddLight() {
    auto* light = new CLight(&renderer, &log, scene);
    scene->AppendWorldObject(light);
    return light;
  }
  void RunFrame(float frame) {
    scene->SetFrame(frame);
    scene->PrepareMatrices();
    scene->UpdateHierarchy();
  }

  EngineContextScope context;
  ZeKorbConfig config = {};
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  PassesTestScene* scene = new PassesTestScene(&renderer, &log);
  FakeBoxBoundVolume box{CVector3(-1, -1, -1), CVector3(1, 1, 1)};
  CCamera* camera = nullptr;
  FakeSceneMesh* mesh = nullptr;
};

TEST_F(ScenePassesTest, FramePassesReachEveryKindAndEndWithTheActiveCamera) {
  AnimateX(camera->GetMotion(0.0f), 10.0f);
  CNull* null = new CNull(&renderer, &log);
  null->SetOwnerScene(scene);
  scene->AppendWorldObject(null);
  AnimateX(null->GetMotion(0.0f), 20.0f);
  CLight* light = AddLight();
  scene->SetCurrentLight(light);

  scene->SetFrame(5.0f);
  // Only meshes are told the frame; the camera stays where it was.
  EXPECT_EQ(mesh->setFrames, std::vector<float>{5.0f});
  EXPECT_TRUE(mesh->preparedFrames.empty());
  CVector3 position;
  camera->GetPosition(&position, 0);
  EXPECT_EQ(position.x, 0.0f);

  scene->PrepareMatrices();
  EXPECT_EQ(scene->GetCurrentLight(), nullptr);
  EXPECT_EQ(mesh->preparedFrames, std::vector<float>{5.0f});
  EXPECT_TRUE(mesh->hierarchyFrames.empty());
  EXPECT_TRUE(renderer.transforms.empty());

  scene->UpdateHierarchy();
  EXPECT_EQ(mesh->hierarchyFrames, std::vector<float>{5.0f});
  EXPECT_EQ(camera->GetFrame(), 5.0f);
  EXPECT_EQ(light->GetFrame(), 5.0f);
  null->GetPosition(&position, 0);
  EXPECT_FLOAT_EQ(position.x, 10.0f);
  camera->GetPosition(&position, 0);
  EXPECT_FLOAT_EQ(position.x, 5.0f);
  // The closing SetActiveCamera installs the camera as the frame left it.
  EXPECT_EQ(scene->GetActiveCameraObject(), camera);
  ASSERT_EQ(renderer.transforms.size(), 2u);
  EXPECT_EQ(renderer.transforms[0].first, 2u);
  EXPECT_EQ(renderer.transforms[0].second, *camera->GetCurrentWorld2CameraMatrix());
  EXPECT_FLOAT_EQ(renderer.transforms[0].second._41, -5.0f);
  EXPECT_EQ(renderer.transforms[1].first, 3u);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 1u);
}

TEST_F(ScenePassesTest, AmbientIntensityFollowsTheSceneFrame) {
  CEnvelopeInterface* ambient = scene->GetAmbLightIntensityEnvelope();
  CChannelEnvelopeInterface* channel = ambient->GetChannelEnvelope();
  channel->AddKeyData(0.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  channel->AddKeyData(1.0f, 10.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  ambient->SetIsEnvelope(1);
  RunFrame(5.0f);
  EXPECT_FLOAT_EQ(ambient->GetValue(), 0.5f);
}

TEST_F(ScenePassesTest, SceneWithoutCamerasKeepsNoActiveCameraEveryFrame) {
  camera->Release();
  RunFrame(1.0f);
  RunFrame(2.0f);
  EXPECT_EQ(scene->GetActiveCameraObject(), nullptr);
  EXPECT_EQ(mesh->hierarchyFrames, (std::vector<float>{1.0f, 2.0f}));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Trying To Set A NonExisting Camera (0) In The Scene: level (0)\n"
            "WARNING!!! - Trying To Set A NonExisting Camera (0) In The Scene: level (0)\n");
  EXPECT_TRUE(renderer.transforms.empty());
}

TEST_F(ScenePassesTest, ActiveSceneSwitchesTheDeviceLightsOffOnce) {
  scene->SetAsActiveScene();
  EXPECT_EQ(context->pActiveScene, scene);
  EXPECT_EQ(Only(renderer.calls, "light"),
            (std::vector<std::string>{"light 0=0", "light 1=0", "light 2=0", "light 3=0",
                                      "light 4=0", "light 5=0", "light 6=0", "light 7=0"}));
  renderer.calls.clear();
  scene->SetAsActiveScene();
  EXPECT_TRUE(renderer.calls.empty());

  // A released scene does not stay the engine's active scene.
  PassesTestScene* other = new PassesTestScene(&renderer, &log);
  other->SetAsActiveScene();
  EXPECT_EQ(context->pActiveScene, other);
  other->Release();
  EXPECT_EQ(context->pActiveScene, nullptr);
}

TEST_F(ScenePassesTest, SetActiveCameraEmptiesTheListsOfLightsItDoesNotSee) {
  CLight* unseen = AddLight();
  unseen->SetType(LIGHT_POINT);  // no bound volume: never in the camera's view
  unseen->UpdateVisibleLists(3.0f);
  ASSERT_EQ(unseen->GetVisibilityStamp(), 3.0f);
  CLight* seen = AddLight();  // distant: always seen

  RunFrame(0.0f);
  EXPECT_EQ(camera->GetNumberOfVisibleLights(), 1u);
  EXPECT_EQ(unseen->GetVisibilityStamp(), -1.0f);
  EXPECT_EQ(seen->GetVisibilityStamp(), 0.0f);
  EXPECT_EQ(seen->GetNumberOfVisibleMeshes(), 1u);
}

TEST_F(ScenePassesTest, UpdateVisibilityLooksThroughAnotherCamera) {
  CCamera* side = AddCamera();
  side->SetPosition(CVector3(0, 0, 20));  // the box is behind it
  CLight* light = AddLight();
  RunFrame(0.0f);
  ASSERT_EQ(camera->GetNumberOfVisibleMeshes(), 1u);
  renderer.transforms.clear();

  // Without refresh only the camera and the transforms change.
  scene->UpdateVisibility(side, 0);
  EXPECT_EQ(scene->GetActiveCameraObject(), side);
  EXPECT_EQ(scene->GetActiveCameraNumber(), 0u);
  ASSERT_EQ(renderer.transforms.size(), 2u);
  EXPECT_EQ(renderer.transforms[0].second, *side->GetCurrentWorld2CameraMatrix());
  EXPECT_EQ(side->GetNumberOfVisibleLights(), 0u);
  EXPECT_EQ(light->GetNumberOfVisibleMeshes(), 1u);

  // With refresh the lights list what the new camera sees, rebuilt although current.
  scene->UpdateVisibility(side, 1);
  EXPECT_EQ(side->GetNumberOfVisibleLights(), 1u);
  EXPECT_EQ(side->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(light->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(light->GetVisibilityStamp(), 0.0f);
  // The lights follow the camera's new list, not the one it had.
  mesh->PlaceAt(0, 0, -10);
  scene->UpdateVisibility(camera, 1);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(light->GetNumberOfVisibleMeshes(), 0u);
}

TEST_F(ScenePassesTest, CameraAlreadyActiveAtFrameMinusOneCollectsNothing) {
  scene->SetFrame(-1.0f);
  scene->UpdateVisibility(camera, 0);
  EXPECT_EQ(scene->SetActiveCamera(0), 1u);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(camera->GetVisibleMeshesStamp(), -1.0f);
  EXPECT_EQ(camera->GetVisibleLightsStamp(), -1.0f);
}

}  // namespace
