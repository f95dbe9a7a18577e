// The tube around three curves on the engine's own channel envelopes: its counts, the ring frame
// turning with the curve, the triangles between rings, and what it refuses.
#include <gtest/gtest.h>

#include <vector>

#include "cpelto/CableTube.h"
#include "scene/ChannelEnvelope.h"

namespace {

// A straight curve along +x from the origin, keyed linearly from t = 0 to `end`.
struct StraightCurve {
  explicit StraightCurve(float end) {
    x.AddKeyData(0.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    x.AddKeyData(end, end, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    for (CChannelEnvelope* still : {&y, &z}) {
      still->AddKeyData(0.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
      still->AddKeyData(0.0f, end, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    }
  }
  CChannelEnvelope x, y, z;
  CChannelEnvelopeInterface* curves[3] = {&x, &y, &z};
};

TEST(CableTube, RingsFollowTheCurveAndJoinInTwoTrianglesASide) {
  StraightCurve curve(2.0f);
  CCableTube tube;
  ASSERT_TRUE(tube.Build(curve.curves, 3, 45.0f, 0.25f, 0.5f));
  // t up to 2 in steps of 0.25: 8 rings (and one spare) of 8 vertices; 7 joins of 8 sides.
  ASSERT_EQ(tube.GetVertices().size(), 9u * 8u);
  ASSERT_EQ(tube.GetIndices().size(), 7u * 8u * 6u);
  // The ring frame turned from +z onto +x: the top vertex stays on top, the one a quarter round
  // (at −x in the unturned ring) now lies on +z.
  const float radius = 0.25f;
  for (int ring : {0, 3, 7}) {
    const float t = 0.25f * static_cast<float>(ring);
    const Vertex& top = tube.GetVertices()[ring * 8];
    EXPECT_NEAR(top.vecPosition.x, t, 1e-5f) << ring;
    EXPECT_NEAR(top.vecPosition.y, radius, 1e-5f) << ring;
    EXPECT_NEAR(top.vecPosition.z, 0.0f, 1e-5f) << ring;
    EXPECT_NEAR(top.vecNormal.y, 1.0f, 1e-5f) << ring;
    const Vertex& side = tube.GetVertices()[ring * 8 + 2];
    EXPECT_NEAR(side.vecPosition.x, t, 1e-5f) << ring;
    EXPECT_NEAR(side.vecPosition.y, 0.0f, 1e-5f) << ring;
    EXPECT_NEAR(side.vecPosition.z, radius, 1e-5f) << ring;
    EXPECT_NEAR(side.vecNormal.z, 1.0f, 1e-5f) << ring;
  }
  // Side 8 of ring 1 wraps round to vertex 0 of each ring.
  const std::vector<WORD>& indices = tube.GetIndices();
  EXPECT_EQ(std::vector<WORD>(indices.begin(), indices.begin() + 6),
            (std::vector<WORD>{8, 9, 1, 8, 1, 0}));
  EXPECT_EQ(std::vector<WORD>(indices.begin() + 42, indices.begin() + 48),
            (std::vector<WORD>{15, 8, 0, 15, 0, 7}));
}

TEST(CableTube, RefusesAnythingButThreeCurvesAndTubesBeyondShortIndices) {
  StraightCurve small(1.0f);
  CCableTube tube;
  ASSERT_TRUE(tube.Build(small.curves, 3, 45.0f, 0.25f, 0.1f));
  const size_t built = tube.GetVertices().size();
  EXPECT_FALSE(tube.Build(small.curves, 2, 45.0f, 0.25f, 0.1f));
  // 8192 rings of 8 are the most that indices up to 65535 address; one ring more is refused.
  StraightCurve fits(2047.75f);
  EXPECT_TRUE(tube.Build(fits.curves, 3, 45.0f, 0.25f, 0.1f));
  EXPECT_EQ(tube.GetVertices().size(), 8192u * 8u);
  StraightCurve tooLong(2048.0f);
  EXPECT_FALSE(tube.Build(tooLong.curves, 3, 45.0f, 0.25f, 0.1f));
  EXPECT_EQ(tube.GetVertices().size(), 8192u * 8u);
  EXPECT_TRUE(tube.Build(small.curves, 3, 45.0f, 0.25f, 0.1f));
  EXPECT_EQ(tube.GetVertices().size(), built);
}

}  // namespace
