#include <gtest/gtest.h>

#include "EngineContextScope.h"
#include "FakeLightSpatial.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/SceneItemsManager.h"
#include "scene/Light.h"

namespace {

// Scenes enter the engine's list of live scenes when made and leave it when freed; a scene the
// list does not hold is never freed by Release.
TEST(SceneRegistryTest, ScenesJoinAndLeaveTheEnginesList) {
  EngineContextScope context;
  CRecordingEngineLog log;
  CSceneItemsManager items(&log);
  context->pSceneItems = &items;

  bool destroyed = false;
  TestScene* scene = new TestScene(nullptr, &log, &destroyed);
  EXPECT_EQ(items.GetScenes().Contains(scene), 1);

  items.GetScenes().Remove(scene);
  scene->Release();
  EXPECT_FALSE(destroyed);

  items.GetScenes().Add(scene);
  scene->Release();
  EXPECT_TRUE(destroyed);
  EXPECT_TRUE(items.GetScenes().IsEmpty());
  context->pSceneItems = nullptr;
}

TEST(SceneRegistryTest, CountsLightsByType) {
  EngineContextScope context;
  CRecordingEngineLog log;
  FakeLightSpatial spatial;
  CLight::SetSpatial(&spatial);
  TestScene* scene = new TestScene(nullptr, &log);
  const WORD types[] = {LIGHT_POINT, LIGHT_SPOT, LIGHT_POINT, LIGHT_DISTANT};
  for (WORD type : types) {
    auto* light = new CLight(nullptr, &log, scene);
    scene->AppendWorldObject(light);
    light->SetType(type);
  }
  EXPECT_EQ(scene->GetNumberOfLightsOfType(LIGHT_POINT), 2u);
  EXPECT_EQ(scene->GetNumberOfLightsOfType(LIGHT_SPOT), 1u);
  EXPECT_EQ(scene->GetNumberOfLightsOfType(LIGHT_DISTANT), 1u);
  EXPECT_EQ(scene->GetNumberOfLightsOfType(7), 0u);
  scene->Release();
  CLight::SetSpatial(nullptr);
}

}  // namespace
