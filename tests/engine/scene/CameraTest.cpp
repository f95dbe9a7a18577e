#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "EngineContextScope.h"
#include "FakeLightBoundVolume.h"
#include "FakeMeshBoundVolume.h"
#include "FakeSceneLight.h"
#include "FakeSceneMesh.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingSoundServer.h"
#include "TestScene.h"
#include "scene/Camera.h"
#include "scene/Null.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectMatrixNear(const CMatrix& actual, const CMatrix& expected, float tolerance = 1e-5f) {
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_NEAR(actual.m[row][column], expected.m[row][column], tolerance)
          << "element _" << row + 1 << column + 1;
}

void ExpectVectorNear(const CVector3& actual, const CVector3& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

bool AllFinite(const CMatrix& matrix) {
  for (int i = 0; i < 16; ++i)
    if (!std::isfinite(matrix.m[i / 4][i % 4])) return false;
  return true;
}

CMatrix Placement(const CVector3& rotation, const CVector3& position) {
  CMatrix placement;
  placement.SetRotateZ(rotation.z);
  placement.RotateX(rotation.y);
  placement.RotateY(rotation.x);
  placement.Move(position.x, position.y, position.z);
  return placement;
}

class CameraTest : public ::testing::Test {
 protected:
  CameraTest() {
    config.wWidth = 640;
    config.wHeight = 480;
    context->pConfig = &config;
    context->pSoundServer = nullptr;
    scene = new TestScene(&renderer, &log);
    camera = AddCamera();
  }
  ~CameraTest() override { scene->Release(); }

  CCamera* AddCamera() {
    auto* added = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(added);
    return added;
  }
  FakeSceneMesh* AddMesh(CMeshBoundVolumeInterface* volume, float z) {
    auto* mesh = new FakeSceneMesh(scene, volume);
    mesh->PlaceAt(0.0f, 0.0f, z);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  FakeSceneLight* AddLight(WORD type, CLightBoundVolumeInterface* volume, float z) {
    auto* light = new FakeSceneLight(scene, type, volume);
    light->PlaceAt(0.0f, 0.0f, z);
    scene->AppendWorldObject(light);
    return light;
  }
  // Places the camera and runs both passes at frame 0.
  void Place(const CVector3& rotation, const CVector3& position) {
    camera->SetRotation(rotation);
    camera->SetPosition(position);
    camera->PrepareMatrices(0.0f);
    camera->UpdateHierarchy(0.0f);
  }

  EngineContextScope context;
  ZeKorbConfig config{};
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  TestScene* scene;
  CCamera* camera;
};

TEST_F(CameraTest, NewCameraTakesTheVideoModeAndStandardLens) {
  EXPECT_EQ(camera->GetWorldObjectType(), 2u);
  EXPECT_EQ(camera->GetXScreenCoordinate(), 640.0f);
  EXPECT_EQ(camera->GetYScreenCoordinate(), 480.0f);
  EXPECT_EQ(camera->GetAspect(), 0.75f);
  EXPECT_EQ(camera->GetNearClipPlane(), 1.0f);
  EXPECT_EQ(camera->GetFarClipPlane(), 10000.0f);
  EXPECT_EQ(camera->GetZoomEnvelope(1)->GetValue(), 3.2f);
  EXPECT_EQ(camera->GetFrame(), -1.0f);
  EXPECT_EQ(camera->GetVisibleMeshesStamp(), -1.0f);
  EXPECT_EQ(camera->GetVisibleLightsStamp(), -1.0f);
  EXPECT_EQ(camera->GetVisibleMeshCapacity(), 256u);
  EXPECT_EQ(*camera->GetProjectionMatrix(), CMatrix::Identity());
  EXPECT_EQ(*camera->GetCurrentWorld2CameraMatrix(), CMatrix::Identity());
  EXPECT_EQ(*camera->GetCurrentRotationMatrix(), CMatrix());
  EXPECT_EQ(camera->GetListenerFlags(), 0);
  EXPECT_EQ(scene->GetCamera(0), camera);
}

TEST_F(CameraTest, ImportedCameraZoomsThroughItsKeyedEnvelope) {
  CChannelEnvelope zoom;
  zoom.AddKeyData(2.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  zoom.AddKeyData(4.0f, 10.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  auto* imported = new CCamera(&renderer, &log, 1, &zoom, 3.2f, WORLD_OBJECT_NULL, 3);
  imported->SetOwnerScene(scene);
  scene->AppendWorldObject(imported);
  EXPECT_EQ(imported->GetTargetType(), 4u);
  EXPECT_EQ(imported->GetTagetNumber(), 3u);
  EXPECT_EQ(imported->GetScene(), scene);
  imported->PrepareMatrices(5.0f);
  imported->UpdateHierarchy(5.0f);
  EXPECT_NEAR(imported->GetProjectionMatrix()->_22, 3.0f, 1e-5f);
  EXPECT_NEAR(imported->GetProjectionMatrix()->_11, 3.0f * 0.75f, 1e-5f);
}

TEST_F(CameraTest, AspectFollowsTheLetterbox) {
  struct Case {
    float letterbox, width, height, aspect;
  };
  for (const Case& c : {Case{0.0f, 640, 480, 0.75f}, Case{0.1f, 640, 480, 0.6f},
                        Case{0.25f, 800, 600, 0.375f}, Case{0.0f, 1600, 900, 0.5625f}}) {
    renderer.wideScreenFactor = c.letterbox;
    camera->SetScreenCoordinates(c.width, c.height);
    EXPECT_NEAR(camera->GetAspect(), c.aspect, 1e-6f) << c.letterbox << " " << c.width;
  }
  // No screen size yet: the aspect is kept rather than divided by zero.
  camera->SetScreenCoordinates(0.0f, 0.0f);
  EXPECT_NEAR(camera->GetAspect(), 0.5625f, 1e-6f);
}

TEST_F(CameraTest, LookAtBuildsHandComputedMatrices) {
  struct Case {
    CVector3 eye, at;
    float roll;
    CMatrix rotation;  // world to camera, rotation only
  };
  const float h = std::sqrt(0.5f);
  const Case cases[] = {
      // Straight ahead: no rotation.
      {{1, 2, 3}, {1, 2, 13}, 0.0f, CMatrix::Identity()},
      // Looking along +X: yaw -90 degrees brings +X onto the camera's Z.
      {{0, 0, 0}, {10, 0, 0}, 0.0f, {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1}},
      // Looking up 45 degrees.
      {{0, 0, 0}, {0, 1, 1}, 0.0f, {1, 0, 0, 0, 0, h, h, 0, 0, -h, h, 0, 0, 0, 0, 1}},
      // Rolled a quarter turn.
      {{0, 0, 0}, {0, 0, 1}, -kPi / 2, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
  };
  for (const Case& c : cases) {
    CVector3 eye = c.eye, at = c.at;
    camera->LookAt(&eye, &at, c.roll);
    CMatrix translation;
    translation.SetMove(-c.eye.x, -c.eye.y, -c.eye.z);
    const CMatrix view = translation * c.rotation;
    ExpectMatrixNear(*camera->GetCurrentWorld2CameraMatrix(), view);
    ExpectMatrixNear(*camera->GetCurrentMatrix(), MatrixInverse(view));
    ExpectMatrixNear(*camera->GetCurrentRotationMatrix(), MatrixInverse(c.rotation));
    ExpectVectorNear(*camera->GetDirectionVector(), c.at - c.eye);
    // The look-at point lands on the camera's +Z axis.
    const CVector3 seen = c.at * view;
    EXPECT_NEAR(seen.x, 0.0f, 1e-5f);
    EXPECT_NEAR(seen.y, 0.0f, 1e-5f);
    EXPECT_GT(seen.z, 0.0f);
  }
}

TEST_F(CameraTest, LookAtTheEyeItselfKeepsTheOrientation) {
  CVector3 eye(0, 0, 0), at(10, 0, 0);
  camera->LookAt(&eye, &at, 0.3f);
  const CMatrix rotation = *camera->GetCurrentRotationMatrix();
  const CVector3 direction = *camera->GetDirectionVector();

  CVector3 moved(5, 1, 0);
  camera->LookAt(&moved, &moved, 0.0f);
  EXPECT_TRUE(AllFinite(*camera->GetCurrentWorld2CameraMatrix()));
  EXPECT_TRUE(AllFinite(*camera->GetCurrentMatrix()));
  EXPECT_TRUE(AllFinite(*camera->GetProjectionMatrix()));
  EXPECT_EQ(*camera->GetCurrentRotationMatrix(), rotation);
  EXPECT_EQ(*camera->GetDirectionVector(), direction);
  // The camera still moves to the new eye.
  ExpectVectorNear(CVector3() * *camera->GetCurrentMatrix(), moved);
}

TEST_F(CameraTest, ProjectionFromZoomAspectAndClipPlanes) {
  camera->CalculateProjectionMatrix(1.0f, 10000.0f, 0.75f);
  const float q = 10000.0f / 9999.0f;
  ExpectMatrixNear(*camera->GetProjectionMatrix(),
                   {3.2f * 0.75f, 0, 0, 0, 0, 3.2f, 0, 0, 0, 0, q, 1, 0, 0, -q, 0});

  camera->GetZoomEnvelope(1)->SetValue(2.0f);
  camera->CalculateProjectionMatrix(2.0f, 102.0f, 0.5f);
  ExpectMatrixNear(*camera->GetProjectionMatrix(),
                   {1.0f, 0, 0, 0, 0, 2.0f, 0, 0, 0, 0, 1.02f, 1, 0, 0, -2.04f, 0});

  // Equal clip planes would divide by zero: the projection stays and a warning says why.
  const CMatrix kept = *camera->GetProjectionMatrix();
  camera->CalculateProjectionMatrix(5.0f, 5.0f, 0.75f);
  EXPECT_EQ(*camera->GetProjectionMatrix(), kept);
  EXPECT_NE(log.TextAt(2).find("Equal Clip Planes"), std::string::npos);
}

TEST_F(CameraTest, PassesTurnThePlacementIntoTheViewMatrix) {
  const CVector3 rotation(0.5f, 0.2f, 0.3f), position(4, -2, 7);
  Place(rotation, position);
  ExpectMatrixNear(*camera->GetCurrentMatrix(), Placement(rotation, position));
  ExpectVectorNear(*camera->GetPositionVector(), position);
  EXPECT_EQ(camera->GetFrame(), 0.0f);

  CVector3 world, local;
  camera->GetPosition(&world, 0);
  ExpectVectorNear(world, position);
  // The world rotation read back from the look direction matches the placement.
  camera->GetRotation(&world, 0);
  camera->GetRotation(&local, 1);
  ExpectVectorNear(world, rotation);
  ExpectVectorNear(local, rotation);
}

TEST_F(CameraTest, ParentMovesTheCamera) {
  CCamera* parent = AddCamera();
  parent->SetPosition({10, 0, 0});
  camera->SetParent(parent);
  EXPECT_EQ(camera->GetParentObject(1), parent);
  EXPECT_EQ(camera->GetParentType(), 2u);
  EXPECT_EQ(camera->GetTopmostParent(), parent);
  parent->PrepareMatrices(0.0f);
  Place({0, 0, 0}, {0, 0, 5});
  ExpectVectorNear(*camera->GetPositionVector(), {10, 0, 5});
}

TEST_F(CameraTest, TargetsOfOtherKindsLookAlongTheCamerasAxis) {
  FakeSceneMesh* mesh = AddMesh(nullptr, 0.0f);
  mesh->PlaceAt(0, 10, 0);
  camera->SetTarget(mesh);
  EXPECT_EQ(camera->GetTargetType(), 1u);
  Place({0, 0, 0}, {0, 0, 0});
  ExpectVectorNear(*camera->GetDirectionVector(), {0, 10, 0});
  EXPECT_EQ(mesh->hierarchyFrames, std::vector<float>{0.0f});

  for (CWorldObjectInterface* target :
       {static_cast<CWorldObjectInterface*>(AddCamera()),
        static_cast<CWorldObjectInterface*>(AddLight(LIGHT_POINT, nullptr, 10))}) {
    camera->SetTarget(target);
    camera->RemoveAdditionalTransformation();
    Place({kPi / 2, 0, 0}, {1, 0, 0});
    // Heading 90 degrees: the camera's Z axis is world +X.
    ExpectVectorNear(*camera->GetDirectionVector(), {1, 0, 0});
  }
}

TEST_F(CameraTest, TargetHangingBelowTheCameraEndsTheWalk) {
  auto* null = new CNull(&renderer, &log, "rig");
  null->SetOwnerScene(scene);
  scene->AppendWorldObject(null);
  null->SetParentObject(camera);
  null->SetPosition({0, 0, 5});
  camera->SetTarget(null);
  camera->SetPosition({1, 0, 0});
  camera->PrepareMatrices(0.0f);
  null->PrepareMatrices(0.0f);
  camera->UpdateHierarchy(0.0f);
  EXPECT_EQ(camera->GetFrame(), 0.0f);
  EXPECT_TRUE(AllFinite(*camera->GetCurrentMatrix()));
}

TEST_F(CameraTest, HierarchyPassRunsOncePerMatrixPass) {
  FakeSceneMesh* mesh = AddMesh(nullptr, 5.0f);
  camera->SetTarget(mesh);
  camera->PrepareMatrices(3.0f);
  camera->UpdateHierarchy(3.0f);
  camera->UpdateHierarchy(3.0f);
  camera->GetMatrix(3.0f);
  EXPECT_EQ(mesh->hierarchyFrames.size(), 1u);
  camera->PrepareMatrices(4.0f);
  camera->UpdateHierarchy(4.0f);
  EXPECT_EQ(mesh->hierarchyFrames, (std::vector<float>{3.0f, 4.0f}));
}

TEST_F(CameraTest, SetFramePinsAndReleasesTheFrame) {
  CChannelEnvelope* x = camera->GetMotion(0.0f)->GetChannel(MOTION_POSITION_X);
  camera->GetMotion(0.0f)->SetNumberOfChannels(MOTION_CHANNELS);
  x->AddKeyData(0.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  x->AddKeyData(20.0f, 20.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);

  camera->SetFrame(12.0f, 0);
  camera->PrepareMatrices(5.0f);
  camera->UpdateHierarchy(5.0f);
  EXPECT_EQ(camera->GetFrame(), 12.0f);
  EXPECT_NEAR(camera->GetPositionVector()->x, 12.0f, 1e-4f);

  camera->SetFrame(-1.0f, 0);
  camera->PrepareMatrices(5.0f);
  camera->UpdateHierarchy(5.0f);
  EXPECT_EQ(camera->GetFrame(), 5.0f);
  EXPECT_NEAR(camera->GetPositionVector()->x, 5.0f, 1e-4f);
}

TEST_F(CameraTest, SetFrameReachesChildren) {
  FakeSceneMesh* child = AddMesh(nullptr, 0.0f);
  FakeSceneMesh* other = AddMesh(nullptr, 0.0f);
  child->SetParentObject(camera);
  camera->SetFrame(7.0f, 1);
  EXPECT_EQ(child->setFrames, std::vector<float>{7.0f});
  EXPECT_TRUE(other->setFrames.empty());
}

TEST_F(CameraTest, UnknownFlagsLeaveTheVectorAndWarn) {
  CVector3 v(1, 2, 3);
  camera->GetPosition(&v, 2);
  camera->GetRotation(&v, 2);
  EXPECT_EQ(v, CVector3(1, 2, 3));
  EXPECT_EQ(log.TextAt(2),
            "WARNING!!! - Unknown FLAG For CCamera::GetPosition\n"
            "WARNING!!! - Unknown FLAG For CCamera::GetRotation\n");
}

TEST_F(CameraTest, ParentingToItselfIsRefused) {
  camera->SetParent(camera);
  EXPECT_EQ(camera->GetParentObject(1), nullptr);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Can't Parent Item To Itself (Camera)\n");
  camera->SetParent(nullptr);
  EXPECT_EQ(camera->GetParentType(), 0u);
}

TEST_F(CameraTest, VisibleMeshesAreCulledAndSortedFarthestFirst) {
  FakeMeshBoundVolume shown, hidden;
  hidden.visible = 0;
  FakeSceneMesh* near = AddMesh(&shown, 5.0f);
  FakeSceneMesh* culled = AddMesh(&hidden, 7.0f);
  FakeSceneMesh* far = AddMesh(&shown, 50.0f);
  FakeSceneMesh* noVolume = AddMesh(nullptr, 9.0f);
  FakeSceneMesh* notForCameras = AddMesh(&shown, 11.0f);
  notForCameras->visibleByCameras = 0;
  Place({0, 0, 0}, {0, 0, -10});

  camera->CollectVisibleMeshes(0.0f);
  ASSERT_EQ(camera->GetNumberOfVisibleMeshes(), 2u);
  EXPECT_EQ(camera->GetVisibleMesh(0, 1), far);
  EXPECT_EQ(camera->GetVisibleMesh(1, 1), near);
  EXPECT_EQ(camera->GetVisibleMesh(2, 1), nullptr);
  EXPECT_EQ(camera->IsMeshVisible(near), 1u);
  EXPECT_EQ(camera->IsMeshVisible(culled), 0u);
  EXPECT_EQ(camera->IsMeshVisible(noVolume), 0u);
  EXPECT_FLOAT_EQ(far->cameraDistance, 60.0f);
  EXPECT_FLOAT_EQ(near->cameraDistance, 15.0f);
  EXPECT_EQ(culled->cameraDistance, -1.0f);
  // The volume sees the mesh in clip space: world x view x projection.
  ExpectMatrixNear(shown.checkedMatrices.front(), *near->GetMatrix(0) *
                                                      *camera->GetCurrentWorld2CameraMatrix() *
                                                      *camera->GetProjectionMatrix());

  camera->ClearVisibleMeshes();
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 0u);
  EXPECT_EQ(camera->GetVisibleMeshesStamp(), -10.0f);
}

TEST_F(CameraTest, ThreeHundredMeshesGrowTheListOnce) {
  FakeMeshBoundVolume shown;
  for (int i = 0; i < 300; ++i) AddMesh(&shown, static_cast<float>(i + 1));
  Place({0, 0, 0}, {0, 0, 0});
  camera->CollectVisibleMeshes(0.0f);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 300u);
  EXPECT_EQ(camera->GetVisibleMeshCapacity(), 512u);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Increasing Camera's Visible Meshes Buffer To: 512\n");
  for (UINT i = 1; i < 300; ++i) {
    CVector3 previous, current;
    camera->GetVisibleMesh(i - 1, 1)->GetPosition(&previous, 0);
    camera->GetVisibleMesh(i, 1)->GetPosition(&current, 0);
    ASSERT_GT(previous.z, current.z) << i;
  }
}

TEST_F(CameraTest, VisibleLightsByTypeVolumeAndActivity) {
  FakeLightBoundVolume shown, hidden;
  hidden.visible = 0;
  FakeSceneLight* distant = AddLight(LIGHT_DISTANT, nullptr, 0);
  FakeSceneLight* point = AddLight(LIGHT_POINT, &shown, 5);
  AddLight(LIGHT_SPOT, &hidden, 5);
  AddLight(LIGHT_POINT, nullptr, 5);
  AddLight(3, &shown, 5);
  AddLight(LIGHT_SPOT, &shown, 5)->isActive = 0;
  Place({0, 0, 0}, {0, 0, 0});

  camera->CollectVisibleLights(0.0f);
  ASSERT_EQ(camera->GetNumberOfVisibleLights(), 2u);
  EXPECT_EQ(camera->GetVisibleLight(0, 1), distant);
  EXPECT_EQ(camera->GetVisibleLight(1, 1), point);
  EXPECT_EQ(camera->GetNumberOfVisibleLightsOfType(LIGHT_POINT), 1u);
  EXPECT_EQ(camera->GetNumberOfVisibleLightsOfType(LIGHT_SPOT), 0u);
}

TEST_F(CameraTest, ManyLightsUnderLightingModelOneSortDistantLast) {
  FakeLightBoundVolume shown;
  scene->SetLightingModel(1);
  std::vector<FakeSceneLight*> distant;
  distant.push_back(AddLight(LIGHT_DISTANT, nullptr, 0));
  for (int i = 0; i < 7; ++i) AddLight(LIGHT_POINT, &shown, static_cast<float>(i + 1));
  distant.push_back(AddLight(LIGHT_DISTANT, nullptr, 0));
  Place({0, 0, 0}, {0, 0, 0});

  camera->CollectVisibleLights(0.0f);
  ASSERT_EQ(camera->GetNumberOfVisibleLights(), 9u);
  for (UINT i = 0; i < 7; ++i) {
    CVector3 position;
    camera->GetVisibleLight(i, 1)->GetPosition(&position, 0);
    EXPECT_EQ(position.z, static_cast<float>(7 - i)) << i;
  }
  EXPECT_EQ(camera->GetVisibleLight(7, 1)->GetType(), LIGHT_DISTANT);
  EXPECT_EQ(camera->GetVisibleLight(8, 1)->GetType(), LIGHT_DISTANT);

  // Eight lights or fewer keep the scene's order.
  scene->SetLightingModel(0);
  camera->ClearVisibleLights();
  camera->CollectVisibleLights(0.0f);
  EXPECT_EQ(camera->GetVisibleLight(0, 1), distant[0]);
}

TEST_F(CameraTest, FrustumPlanesBoundTheViewVolume) {
  camera->CalculateProjectionMatrix(1.0f, 100.0f, 0.75f);
  CVector4 planes[6];
  camera->GetFrustumPlanes(planes, 1);
  // Near and far planes, normalised, in camera space.
  EXPECT_NEAR(planes[4].z, 1.0f, 1e-5f);
  EXPECT_NEAR(planes[4].w, -1.0f, 1e-4f);
  EXPECT_NEAR(planes[5].z, -1.0f, 1e-5f);
  EXPECT_NEAR(planes[5].w, 100.0f, 1e-3f);
  auto distance = [](const CVector4& plane, const CVector3& p) {
    return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
  };
  struct Case {
    CVector3 point;
    int outsidePlane;  // -1: inside every plane
  };
  for (const Case& c : {Case{{0, 0, 50}, -1}, Case{{0, 0, 0.5f}, 4}, Case{{0, 0, 150}, 5},
                        Case{{-30, 0, 10}, 0}, Case{{30, 0, 10}, 1}, Case{{0, 30, 10}, 2},
                        Case{{0, -30, 10}, 3}})
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(distance(planes[i], c.point) < 0.0f, i == c.outsidePlane)
          << "plane " << i << " point " << c.point.x << "," << c.point.y << "," << c.point.z;

  CVector4 raw[6];
  camera->GetFrustumPlanes(raw, 0);
  EXPECT_NEAR(raw[4].z, 100.0f / 99.0f, 1e-5f);
}

TEST_F(CameraTest, BoxVisibility) {
  Place({0, 0, 0}, {0, 0, 0});
  const CMatrix identity = CMatrix::Identity();
  CMatrix behind;
  behind.SetMove(0, 0, -20);
  CMatrix aside;
  aside.SetMove(500, 0, 20);
  EXPECT_EQ(camera->IsBoxVisible({-1, -1, 9}, {1, 1, 11}, identity), 1u);
  EXPECT_EQ(camera->IsBoxVisible({-1, -1, 9}, {1, 1, 11}, behind), 0u);
  EXPECT_EQ(camera->IsBoxVisible({-1, -1, -1}, {1, 1, 1}, aside), 0u);
  // Straddling the eye: some corners in front, some behind.
  EXPECT_EQ(camera->IsBoxVisible({-1, -1, -5}, {1, 1, 5}, identity), 1u);
}

TEST_F(CameraTest, SegmentsAgainstTheViewVolume) {
  struct Case {
    CVector4 a, b;
    UINT visible;
  };
  const Case cases[] = {
      {{0, 0, 0.5f, 1}, {0.5f, 0.5f, 0.5f, 1}, 1},  // inside
      {{0, 0, 2, 1}, {0, 0, 3, 1}, 0},              // both beyond the far plane
      {{0, 0, 0.5f, 1}, {0, 0, 3, 1}, 1},           // one end beyond: clipped
      {{0, 0, -1, 1}, {0, 0, -2, 1}, 0},            // both behind
      {{-3, 0, 0.5f, 1}, {-2, 0, 0.5f, 1}, 0},      // both left
      {{-3, 0, 0.5f, 1}, {3, 0, 0.5f, 1}, 1},       // crossing from left to right
      {{-3, 5, 0.5f, 1}, {3, -5, 0.5f, 1}, 1},      // crossing through the centre
      {{-3, 3, 0.5f, 1}, {0, 3, 0.5f, 1}, 0},       // above
      {{0, -2, 0.5f, 1}, {0.5f, -3, 0.5f, 1}, 0},   // below
      {{-3, 3, 0.5f, 1}, {-1.5f, 0, 0.5f, 1}, 0},   // misses the corner
  };
  for (const Case& c : cases) {
    CVector4 first[8], second[8];
    for (int i = 0; i < 8; ++i) first[i] = second[i] = {5, 5, 5, 1};  // all invisible
    first[3] = c.a;
    second[3] = c.b;
    EXPECT_EQ(CCamera::AnySegmentVisible(first, second), c.visible)
        << c.a.x << "," << c.a.y << "," << c.a.z << " - " << c.b.x << "," << c.b.y << "," << c.b.z;
  }
}

TEST_F(CameraTest, ListenerFollowsTheCamera) {
  RecordingSoundServer server;
  camera->SetListenerFlags(3);
  EXPECT_EQ(camera->GetListenerFlags(), 0);  // no sound server
  context->pSoundServer = &server;
  server.hasListener = false;
  camera->SetListenerFlags(3);
  EXPECT_EQ(camera->GetListenerFlags(), 0);  // no listener
  server.hasListener = true;
  camera->SetListenerFlags(2);
  EXPECT_EQ(camera->GetListenerFlags(), 0);  // bit 0 not asked for
  camera->SetListenerFlags(3);
  EXPECT_EQ(camera->GetListenerFlags(), 3);

  Place({kPi / 2, 0, 0}, {1, 2, 3});
  camera->UpdateListener();
  EXPECT_FLOAT_EQ(server.listener.position[0], 1.0f);
  EXPECT_FLOAT_EQ(server.listener.position[1], 2.0f);
  EXPECT_FLOAT_EQ(server.listener.position[2], 3.0f);
  EXPECT_NEAR(server.listener.front[0], 1.0f, 1e-5f);
  EXPECT_NEAR(server.listener.front[2], 0.0f, 1e-5f);
  EXPECT_NEAR(server.listener.top[1], 1.0f, 1e-5f);
  EXPECT_EQ(server.applyCalls, 1);
}

TEST_F(CameraTest, CloneCopiesTheLensPlacementAndLists) {
  FakeMeshBoundVolume shown;
  AddMesh(&shown, 5.0f);
  camera->GetZoomEnvelope(1)->SetValue(2.5f);
  camera->SetNearClipPlane(0.5f);
  camera->SetTag(9);
  Place({0.1f, 0.2f, 0.3f}, {1, 2, 3});
  camera->CollectVisibleMeshes(0.0f);

  CCameraInterface* cloneInterface = nullptr;
  EXPECT_EQ(camera->Clone(&cloneInterface), 1u);
  auto* clone = dynamic_cast<CCamera*>(cloneInterface);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(scene->GetNumberOfCameras(), 2u);
  EXPECT_EQ(scene->GetCamera(1), clone);
  EXPECT_NE(clone->GetZoomEnvelope(1), camera->GetZoomEnvelope(1));
  EXPECT_EQ(clone->GetZoomEnvelope(1)->GetValue(), 2.5f);
  EXPECT_EQ(clone->GetNearClipPlane(), 0.5f);
  EXPECT_EQ(*clone->GetCurrentWorld2CameraMatrix(), *camera->GetCurrentWorld2CameraMatrix());
  EXPECT_EQ(*clone->GetProjectionMatrix(), *camera->GetProjectionMatrix());
  EXPECT_EQ(*clone->GetPositionVector(), *camera->GetPositionVector());
  EXPECT_EQ(clone->GetNumberOfVisibleMeshes(), 1u);
  CVector3 rotation;
  clone->GetRotation(&rotation, 1);
  EXPECT_EQ(rotation, CVector3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(clone->GetTag(), 0u);
  EXPECT_EQ(clone->GetReferenceCount(), 1u);
}

TEST_F(CameraTest, ReleaseLeavesTheScene) {
  CCamera* second = AddCamera();
  EXPECT_EQ(scene->GetNumberOfCameras(), 2u);
  second->Release();
  EXPECT_EQ(scene->GetNumberOfCameras(), 1u);
  EXPECT_EQ(scene->GetCamera(0), camera);
  EXPECT_EQ(log.TextAt(1), "- (CCamera) Releasing\n");
}

// --- the scene's active camera ---

TEST_F(CameraTest, SetActiveCameraInstallsTheCameraAndCollects) {
  FakeMeshBoundVolume shown;
  AddMesh(&shown, 5.0f);
  AddLight(LIGHT_DISTANT, nullptr, 0);
  Place({0, 0, 0}, {0, 0, -5});
  scene->SetFrame(0.0f);

  EXPECT_EQ(scene->SetActiveCamera(0), 1u);
  EXPECT_EQ(scene->GetActiveCameraObject(), camera);
  EXPECT_EQ(scene->GetActiveCamera(), camera);
  ASSERT_EQ(renderer.transforms.size(), 2u);
  EXPECT_EQ(renderer.transforms[0].first, 2u);
  EXPECT_EQ(renderer.transforms[0].second, *camera->GetCurrentWorld2CameraMatrix());
  EXPECT_EQ(renderer.transforms[1].first, 3u);
  EXPECT_EQ(renderer.transforms[1].second, *camera->GetProjectionMatrix());
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 1u);
  EXPECT_EQ(camera->GetNumberOfVisibleLights(), 1u);
  EXPECT_EQ(camera->GetVisibleMeshesStamp(), -10.0f);

  // Called again with the same camera and frame, the lists are collected again.
  scene->SetActiveCamera(0);
  EXPECT_EQ(shown.checkedMatrices.size(), 2u);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 1u);
}

TEST_F(CameraTest, MissingCameraLeavesNoActiveCamera) {
  AddCamera();
  EXPECT_EQ(scene->SetActiveCamera(1), 1u);
  EXPECT_EQ(scene->SetActiveCamera(2), 0u);
  EXPECT_EQ(scene->GetActiveCamera(), nullptr);
  EXPECT_EQ(scene->GetActiveCameraObject(), nullptr);
  EXPECT_EQ(scene->GetActiveCameraNumber(), 1u);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Trying To Set A NonExisting Camera (2) In The Scene:  (2)\n");
}

TEST(SceneActiveCamera, SceneWithoutCamerasRefuses) {
  CRecordingEngineLog log;
  TestScene* scene = new TestScene(nullptr, &log);
  EXPECT_EQ(scene->SetActiveCamera(0), 0u);
  EXPECT_EQ(scene->GetActiveCameraObject(), nullptr);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Trying To Set A NonExisting Camera (0) In The Scene:  (0)\n");
  scene->Release();
}

TEST_F(CameraTest, SetMakesTheCameraActive) {
  CCamera* second = AddCamera();
  second->Set();
  EXPECT_EQ(scene->GetActiveCameraNumber(), 1u);
  EXPECT_EQ(scene->GetActiveCameraObject(), second);
}

TEST_F(CameraTest, ActiveCameraListenerUpdatesAtSetActiveCamera) {
  RecordingSoundServer server;
  context->pSoundServer = &server;
  camera->SetListenerFlags(1);
  Place({0, 0, 0}, {4, 5, 6});
  scene->SetActiveCamera(0);
  EXPECT_EQ(server.listener.positionCalls, 1);
  EXPECT_FLOAT_EQ(server.listener.position[2], 6.0f);
  EXPECT_EQ(server.applyCalls, 0);
}

}  // namespace
