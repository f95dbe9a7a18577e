#include <gtest/gtest.h>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Light.h"
#include "spatial/LightSpatialServices.h"

// A light imported with a range gets a real bound volume fitted to that range, refitted when the
// range changes, and freed with the light.
TEST(LightSpatialServicesTest, ImportedPointLightGetsAVolumeOfItsRange) {
  EngineContextScope context;
  CRecordingEngineLog log;
  CLightSpatialServices services(&log);
  context->ports.lightSpatial.Set(&services);
  TestScene* scene = new TestScene(nullptr, &log);

  CLight::ImportedRecord record;
  record.wType = LIGHT_POINT;
  record.envelopes[CLight::ENVELOPE_RANGE].fValue = 50.0f;
  auto* light = new CLight(nullptr, &log, scene, record);
  scene->AppendWorldObject(light);
  light->PrepareMatrices(0.0f);
  light->UpdateHierarchy(0.0f);

  CLightBoundVolumeInterface* volume = light->GetLightBoundVolume();
  ASSERT_NE(volume, nullptr);
  CVector3 low, high;
  volume->GetMin(&low);
  volume->GetMax(&high);
  EXPECT_FLOAT_EQ(low.x, -50.0f);
  EXPECT_FLOAT_EQ(high.y, 50.0f);

  light->Release();
  scene->Release();
}
