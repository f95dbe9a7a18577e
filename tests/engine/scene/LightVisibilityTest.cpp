#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeBoxBoundVolume.h"
#include "FakeSceneMesh.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Camera.h"
#include "scene/Light.h"

namespace {

constexpr float kPi = 3.14159265358979f;

// A camera at the origin looking along +Z (near plane 1) and unit boxes placed in the world:
// what each light lists follows from the geometry alone.
class LightVisibilityTest : public ::testing::Test {
 protected:
  LightVisibilityTest() {
    scene->AppendWorldObject(camera);
    camera->PrepareMatrices(0.0f);
    camera->UpdateHierarchy(0.0f);
  }
  ~LightVisibilityTest() override { scene->Release(); }

  FakeSceneMesh* AddMesh(float x, float y, float z, UINT castsShadow = 0,
                         UINT visibleByCameras = 1) {
    volumes.push_back(
        std::make_unique<FakeBoxBoundVolume>(CVector3(-1, -1, -1), CVector3(1, 1, 1)));
    auto* mesh = new FakeSceneMesh(scene, volumes.back().get());
    mesh->PlaceAt(x, y, z);
    mesh->canCastShadowVolume = castsShadow;
    mesh->visibleByCameras = visibleByCameras;
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  CLight* AddLight(WORD type, const CVector3& position, float range) {
    auto* light = new CLight(nullptr, &log, scene);
    scene->AppendWorldObject(light);
    light->SetType(type);
    light->SetPosition(position);
    light->GetRangeEnvelope(0)->SetValue(range);
    light->PrepareMatrices(0.0f);
    light->UpdateHierarchy(0.0f);
    return light;
  }
  void Activate() { ASSERT_EQ(scene->SetActiveCamera(0), 1u); }

  static std::vector<CWorldObject*> Lit(const CLight* light) {
    std::vector<CWorldObject*> meshes;
    for (UINT i = 0; i < light->GetNumberOfVisibleMeshes(); ++i)
      meshes.push_back(light->GetVisibleMesh(i));
    return meshes;
  }
  static std::vector<CWorldObject*> Shadows(const CLight* light) {
    std::vector<CWorldObject*> meshes;
    for (UINT i = 0; i < light->GetNumberOfVisibleShadowVolumes(); ++i)
      meshes.push_back(light->GetVisibleShadowVolume(i));
    return meshes;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  TestScene* scene = new TestScene(nullptr, &log);
  CCamera* camera = new CCamera(nullptr, &log, scene);
  std::vector<std::unique_ptr<FakeBoxBoundVolume>> volumes;
};

TEST_F(LightVisibilityTest, PointLightListsTheMeshesWithinItsRange) {
  FakeSceneMesh* seen = AddMesh(0, 0, 10);
  AddMesh(0, 0, -3, 1);  // lit, behind the camera
  AddMesh(100, 0, 10);   // out of range
  AddMesh(0, 0, 8, 1, 0);  // not a candidate
  Activate();
  CLight* light = AddLight(LIGHT_POINT, CVector3(0, 0, 5), 10.0f);
  light->UpdateVisibleLists(3.0f);

  EXPECT_EQ(Lit(light), std::vector<CWorldObject*>{seen});
  // Lit but unseen, and its shadow falls away from the view.
  EXPECT_TRUE(Shadows(light).empty());
  EXPECT_EQ(light->GetVisibilityStamp(), 3.0f);
  EXPECT_EQ(light->GetVisibleMesh(1), nullptr);

  light->ClearVisibleLists();
  EXPECT_EQ(light->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(light->GetVisibilityStamp(), -1.0f);
}

TEST_F(LightVisibilityTest, UnseenMeshEntersTheShadowListWhenItsShadowReachesTheView) {
  FakeSceneMesh* caster = AddMesh(0, 0, -5, 1);
  Activate();
  CLight* light = AddLight(LIGHT_POINT, CVector3(0, 0, -10), 20.0f);
  light->UpdateVisibleLists(0.0f);
  EXPECT_TRUE(Lit(light).empty());
  EXPECT_EQ(Shadows(light), std::vector<CWorldObject*>{caster});
}

TEST_F(LightVisibilityTest, PointLightOfRangeZeroLightsOnlyACornerAtItsPosition) {
  FakeSceneMesh* touching = AddMesh(1, 1, 11);
  AddMesh(1.5f, 1, 11);
  Activate();
  CLight* light = AddLight(LIGHT_POINT, CVector3(2, 2, 12), 0.0f);
  light->UpdateVisibleLists(0.0f);
  EXPECT_EQ(Lit(light), std::vector<CWorldObject*>{touching});
}

TEST_F(LightVisibilityTest, SpotLightListsTheMeshesInsideItsCone) {
  FakeSceneMesh* ahead = AddMesh(0, 0, 10, 1);
  AddMesh(50, 0, 10, 1);  // outside the cone and the view
  FakeSceneMesh* unseenAhead = AddMesh(0, 0, -5, 1);
  AddMesh(0, 0, -15, 1);  // behind the spot
  Activate();
  CLight* light = AddLight(LIGHT_SPOT, CVector3(0, 0, -10), 100.0f);
  light->GetConeAngleEnvelope(0)->SetValue(30.0f);
  light->GetGuard()->Force();
  light->PrepareMatrices(1.0f);
  light->UpdateHierarchy(1.0f);
  light->UpdateVisibleLists(1.0f);

  EXPECT_EQ(Lit(light), std::vector<CWorldObject*>{ahead});
  EXPECT_EQ(Shadows(light), (std::vector<CWorldObject*>{ahead, unseenAhead}));
}

TEST_F(LightVisibilityTest, DefaultSpotConeCullsWithTheHeldCone) {
  // The spot lights 70 degrees either side of its axis, as Direct3D does; an unheld 90-degree
  // projection would take in the whole half-space in front of it.
  FakeSceneMesh* insideCone = AddMesh(0, 0, 10);
  AddMesh(0, 0, 3);  // in front of the spot but more than 70 degrees off its axis
  Activate();
  CLight* light = AddLight(LIGHT_SPOT, CVector3(-20, 0, 0), 100.0f);
  light->UpdateVisibleLists(0.0f);
  EXPECT_EQ(Lit(light), std::vector<CWorldObject*>{insideCone});
}

TEST_F(LightVisibilityTest, DistantLightTakesTheCameraListAndTestsShadowsAlongItsDirection) {
  FakeSceneMesh* near = AddMesh(0, 0, 10);
  FakeSceneMesh* far = AddMesh(0, 0, 20);
  FakeSceneMesh* caster = AddMesh(0, 0, -5, 1);
  AddMesh(0, 0, 30, 0, 0);  // not a candidate
  CLight* light = AddLight(LIGHT_DISTANT, CVector3(), 0.0f);
  // The scene's camera step refreshes the lists of the lights the camera sees.
  Activate();
  EXPECT_EQ(light->GetVisibilityStamp(), 0.0f);
  // In the camera's order: farthest first.
  EXPECT_EQ(Lit(light), (std::vector<CWorldObject*>{far, near}));
  EXPECT_EQ(Shadows(light), std::vector<CWorldObject*>{caster});

  // Shining back towards the camera, the caster's shadow falls away from the view.
  light->SetRotation(CVector3(kPi, 0, 0));
  light->PrepareMatrices(1.0f);
  light->UpdateHierarchy(1.0f);
  light->UpdateVisibleLists(1.0f);
  EXPECT_TRUE(Shadows(light).empty());
}

TEST_F(LightVisibilityTest, ListsGrowByAStepWithOneWarning) {
  std::vector<CWorldObject*> meshes;
  for (int i = 0; i < 257; ++i) meshes.push_back(AddMesh(0, 0, 10.0f + i));
  CLight* light = AddLight(LIGHT_DISTANT, CVector3(), 0.0f);
  Activate();
  ASSERT_EQ(light->GetNumberOfVisibleMeshes(), 257u);
  EXPECT_EQ(light->GetVisibleMeshCapacity(), 512u);
  // Farthest first, as the camera ordered them.
  for (UINT i = 0; i < 257; ++i) EXPECT_EQ(light->GetVisibleMesh(i), meshes[256 - i]);
  size_t warnings = 0;
  for (const auto& entry : log.entries)
    warnings += entry.text == "WARNING!!! - Increasing Light's Visible Meshes Buffer To: 512\n";
  EXPECT_EQ(warnings, 1u);
}

}  // namespace
