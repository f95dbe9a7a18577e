#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "FakeBoundLight.h"
#include "FakeBoundVolumeMesh.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "spatial/LightBoundVolume.h"
#include "spatial/MeshBoundVolume.h"

namespace {

constexpr WORD kDistant = 0, kPoint = 1, kSpot = 2;

void ExpectVector(const CVector3& actual, const CVector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4);
  EXPECT_NEAR(actual.y, expected.y, 1e-4);
  EXPECT_NEAR(actual.z, expected.z, 1e-4);
}

struct LightBoundVolumeTest : testing::Test {
  // A light of the type with constant range and cone values, its box calculated.
  std::unique_ptr<FakeBoundLight> MakeLight(WORD type, float range, float cone = 0) {
    auto light = std::make_unique<FakeBoundLight>(type);
    light->range.value = range;
    light->coneAngle.value = cone;
    return light;
  }
  CRecordingEngineLog log;
};

TEST_F(LightBoundVolumeTest, BoxesFromRangeAndCone) {
  const struct {
    WORD type;
    float range, cone;
    CVector3 minimum, maximum;
  } cases[] = {
      {kPoint, 5, 0, {-5, -5, -5}, {5, 5, 5}},
      {kSpot, 10, 45, {-10, -10, 0}, {10, 10, 10}},
      {kSpot, 10, 0, {0, 0, 0}, {0, 0, 10}},
      {kSpot, 4, 30, {-2.309401f, -2.309401f, 0}, {2.309401f, 2.309401f, 4}},
      // From 90 degrees the cone has no bounded width: the whole range around the light.
      {kSpot, 10, 90, {-10, -10, -10}, {10, 10, 10}},
      {kSpot, 10, 120, {-10, -10, -10}, {10, 10, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cone);
    auto light = MakeLight(c.type, c.range, c.cone);
    CLightBoundVolume volume(light.get(), &log);
    volume.Calculate();
    CVector3 minimum, maximum, extents, centre;
    ExpectVector(*volume.GetMin(&minimum), c.minimum);
    ExpectVector(*volume.GetMax(&maximum), c.maximum);
    ExpectVector(*volume.GetPosition(&centre), (c.minimum + c.maximum) * 0.5f);
    ExpectVector(*volume.GetExtents(&extents), (c.maximum - c.minimum) * 0.5f);
    EXPECT_EQ(volume.GetPoints()[0], CVector4(minimum));
    EXPECT_EQ(volume.GetPoints()[6], CVector4(minimum.x, maximum.y, maximum.z, 1));
  }
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(LightBoundVolumeTest, CalculateEvaluatesAtFrameZeroRecalculateTakesCurrentValues) {
  auto light = MakeLight(kSpot, 0);
  light->range.isEnvelope = 1;
  light->range.channel.AddKeyData(6, 0, KEY_SHAPE_TCB, 0, 0, 0, 0, 0, 0, 0);
  light->coneAngle.value = 45;
  CLightBoundVolume volume(light.get(), &log);

  volume.Calculate();
  EXPECT_EQ(light->range.steppedFrames, std::vector<float>{0.0f});
  EXPECT_TRUE(light->coneAngle.steppedFrames.empty());  // constant: not evaluated
  CVector3 maximum;
  ExpectVector(*volume.GetMax(&maximum), {6, 6, 6});

  light->range.value = 2;  // the envelope's value as the light's matrix pass left it
  volume.Recalculate();
  EXPECT_EQ(light->range.steppedFrames.size(), 1u);
  ExpectVector(*volume.GetMax(&maximum), {2, 2, 2});
}

TEST_F(LightBoundVolumeTest, DistantAndUnknownLightsLogAndKeepTheBox) {
  auto light = MakeLight(kPoint, 3);
  CLightBoundVolume volume(light.get(), &log);
  volume.Calculate();
  light->type = kDistant;
  light->range.value = 50;
  volume.Calculate();
  light->type = 7;
  volume.Recalculate();
  CVector3 maximum;
  ExpectVector(*volume.GetMax(&maximum), {3, 3, 3});
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR! - Can't Calculate BBox For Distant Light\n"
            "ERROR! - Can't Calculate BBox For Another Light Than Spot Or Point\n");
}

TEST_F(LightBoundVolumeTest, VisibilityTransformsTheBoxAndCullsBehindTheCamera) {
  auto light = MakeLight(kPoint, 1);
  CLightBoundVolume volume(light.get(), &log);
  volume.Calculate();
  // A clip matrix whose w is 1 and whose z is the light's z.
  CMatrix clip;
  clip.SetMove(0, 0, -5);  // behind: every z <= 0
  EXPECT_EQ(volume.CheckVisibility(clip), 0);
  BYTE codes[8];
  volume.ComputeClipCodes(codes);
  for (BYTE code : codes) EXPECT_EQ(code & 32, 32);
  CVector3 position;
  ExpectVector(*volume.GetTransformedPosition(&position), {0, 0, -5});

  clip.SetMove(0.5f, 0, 0.5f);  // straddles the near and right planes
  EXPECT_EQ(volume.CheckVisibility(clip), 1);
  CVector3 minimum, maximum;
  volume.GetMinTransformed(&minimum);
  volume.GetMaxTransformed(&maximum);
  ExpectVector(minimum, {-0.5f, -1, -0.5f});
  ExpectVector(maximum, {1.5f, 1, 1.5f});
}

TEST_F(LightBoundVolumeTest, CollisionWithLightsAndMeshesInThisLightsSpaceTouchingCounts) {
  auto light = MakeLight(kPoint, 1);
  light->PlaceAt(10, 0, 0);
  light->frame = 4;
  CLightBoundVolume volume(light.get(), &log);
  volume.Calculate();

  auto otherLight = MakeLight(kPoint, 1);
  CLightBoundVolume otherVolume(otherLight.get(), &log);
  otherVolume.Calculate();

  auto meshOwner = std::make_unique<FakeBoundVolumeMesh>();
  meshOwner->AddVertex({-1, -1, -1});
  meshOwner->AddVertex({1, 1, 1});
  CMeshBoundVolume meshVolume(std::move(meshOwner));
  meshVolume.Calculate();

  const struct {
    float otherX;
    UINT overlap;
  } cases[] = {{12, 1}, {8, 1}, {10, 1}, {12.01f, 0}, {7.99f, 0}, {0, 0}};
  for (const auto& c : cases) {
    CMatrix placement;
    placement.SetMove(c.otherX, 0, 0);
    EXPECT_EQ(volume.CheckAACollision(static_cast<CLightBoundVolumeInterface*>(&otherVolume),
                                      placement),
              c.overlap)
        << c.otherX;
    EXPECT_EQ(
        volume.CheckAACollision(static_cast<CMeshBoundVolumeInterface*>(&meshVolume), placement),
        c.overlap)
        << c.otherX;
  }
  EXPECT_EQ(light->matrixFrames.back(), 4.0f);
}

TEST_F(LightBoundVolumeTest, DrawsTheBoxLikeAMeshFrameBox) {
  auto light = MakeLight(kSpot, 10, 45);
  CLightBoundVolume volume(light.get(), &log);
  volume.Calculate();
  RecordingDrawRenderer renderer;
  CMatrix place;
  place.SetMove(1, 2, 3);
  volume.Draw(&renderer, &place);

  const std::vector<std::string> calls = {"transform 256",     "fvf 450", "vertex shader null",
                                          "pixel shader null", "draw",    "state 8=2",
                                          "draw",              "state 8=3"};
  EXPECT_EQ(renderer.calls, calls);
  ASSERT_EQ(renderer.draws.size(), 2u);
  EXPECT_EQ(renderer.transforms[0].second, place);
  EXPECT_EQ(renderer.draws[0].indices.size(), 36u);
  EXPECT_EQ(renderer.draws[0].vertexCount, 8u);
  float corner7[3];
  std::memcpy(corner7, renderer.draws[1].vertexBytes.data() + 7 * 28, sizeof corner7);
  EXPECT_FLOAT_EQ(corner7[0], 10);
  EXPECT_FLOAT_EQ(corner7[2], 10);
}

}  // namespace
