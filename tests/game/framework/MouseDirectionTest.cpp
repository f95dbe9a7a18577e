// The mouse pick direction through the engine's real cameras in small scenes.
#include <gtest/gtest.h>

#include <cmath>

#include "EngineContextScope.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "TestZeKorbInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/MouseDirection.h"
#include "scene/Camera.h"

namespace {

constexpr float kPi = 3.14159265358979f;

class CActiveSceneEngine final : public CTestZeKorbInterface {
 public:
  CSceneInterface* GetActiveScene() override {
    Record("GetActiveScene");
    return active;
  }
  CSceneInterface* active = nullptr;
};

class MouseDirectionTest : public ::testing::Test {
 protected:
  MouseDirectionTest() {
    config.wWidth = 640;
    config.wHeight = 480;
    context->pConfig = &config;
    context->pSoundServer = nullptr;
    scene = new TestScene(&renderer, &log);
    empty = new TestScene(&renderer, &log);
    camera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(camera);
    g_pZeKorb = &engine;
  }
  ~MouseDirectionTest() override {
    g_pZeKorb = nullptr;
    scene->Release();
    empty->Release();
  }
  // The camera turned by heading and pitch (radians) at the scene's frame.
  void Turn(float heading, float pitch) {
    camera->SetRotation({heading, pitch, 0.0f});
    camera->SetPosition({5.0f, 6.0f, 7.0f});
    camera->PrepareMatrices(scene->GetFrame());
    camera->UpdateHierarchy(scene->GetFrame());
  }

  EngineContextScope context;
  ZeKorbConfig config{};
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  CActiveSceneEngine engine;
  TestScene* scene;
  TestScene* empty;
  CCamera* camera;
};

void ExpectNear(const CVector3& actual, float x, float y, float z) {
  EXPECT_NEAR(actual.x, x, 1e-5f);
  EXPECT_NEAR(actual.y, y, 1e-5f);
  EXPECT_NEAR(actual.z, z, 1e-5f);
}

}  // namespace

TEST_F(MouseDirectionTest, ScreenCentreLooksAlongTheCamera) {
  // The camera's lens: zoom 3.2, aspect 0.75 at 640 × 480.
  ASSERT_FLOAT_EQ(camera->GetZoomEnvelope(0)->GetValue(), 3.2f);
  ASSERT_FLOAT_EQ(camera->GetAspect(), 0.75f);
  struct Case {
    const char* name;
    float heading, pitch;
    float x, y, z;
  } cases[] = {
      {"straight", 0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
      {"turned right", kPi / 2, 0.0f, 1.0f, 0.0f, 0.0f},
      {"looking down", 0.0f, kPi / 2, 0.0f, -1.0f, 0.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Turn(c.heading, c.pitch);
    ExpectNear(GetMouseDirection(nullptr, scene, 0.5f, 0.5f), c.x, c.y, c.z);
  }
}

TEST_F(MouseDirectionTest, CornerAgainstAHandComputedRay) {
  Turn(0.0f, 0.0f);
  // (-1 / 3.2 / 0.75, 1 / 3.2, 1) = (-0.416667, 0.3125, 1), of length 1.127505.
  ExpectNear(GetMouseDirection(camera, nullptr, 0.0f, 0.0f), -0.369547f, 0.277160f, 0.886914f);
  // Turned right, the same ray swings from z to x.
  Turn(kPi / 2, 0.0f);
  ExpectNear(GetMouseDirection(nullptr, scene, 0.0f, 0.0f), 0.886914f, 0.277160f, 0.369547f);
}

TEST_F(MouseDirectionTest, NothingToLookThroughGivesZero) {
  Turn(0.0f, 0.0f);
  // No scene given and none active; a scene without a camera.
  ExpectNear(GetMouseDirection(nullptr, nullptr, 0.5f, 0.5f), 0.0f, 0.0f, 0.0f);
  ExpectNear(GetMouseDirection(nullptr, empty, 0.5f, 0.5f), 0.0f, 0.0f, 0.0f);
  engine.active = empty;
  ExpectNear(GetMouseDirection(nullptr, nullptr, 0.5f, 0.5f), 0.0f, 0.0f, 0.0f);
  // The active scene stands in for a missing one.
  engine.active = scene;
  ExpectNear(GetMouseDirection(nullptr, nullptr, 0.5f, 0.5f), 0.0f, 0.0f, 1.0f);
}
