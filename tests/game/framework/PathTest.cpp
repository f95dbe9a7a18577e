// Keyed paths on the engine's real channels: key times by mode, z negated, rebuilding, reading
// before the start and the clock freed with the path.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GameTestZeKorbInterface.h"
#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Path.h"

namespace {

class PathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_saved = g_pZeKorb;
    g_pZeKorb = &m_top;
  }
  void TearDown() override { g_pZeKorb = m_saved; }

  // Times of the keys of one channel, in list order.
  static std::vector<float> KeyTimes(CChannelEnvelopeInterface* envelope) {
    std::vector<float> times;
    for (CKeyInterface* key = envelope->GetKey(0u); key; key = key->GetNextKey())
      times.push_back(key->GetKeyTime());
    return times;
  }
  static void ExpectNear(const CVector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
  }

  CGameTestZeKorbInterface m_top;
  CZeKorbD3DInterface* m_saved = nullptr;
};

TEST_F(PathTest, UniformKeysEndOneGapBeforeTheDurationWithZNegated) {
  geCPath path(2, 4);
  path.m_fDuration = 100.0f;
  path.Build({{0, 0, 0}, {4, 1, 2}, {8, 2, 4}, {12, 3, 6}}, geCPath::kModeUniform);
  for (int axis = 0; axis < 3; ++axis) {
    CChannelEnvelopeInterface* envelope = path.GetEnvelope(axis);
    ASSERT_NE(envelope, nullptr);
    EXPECT_EQ(KeyTimes(envelope), (std::vector<float>{0, 25, 50, 75})) << axis;
    EXPECT_EQ(envelope->GetPostBehaviour(), 2u);
    EXPECT_EQ(envelope->GetPreBehaviour(), 4u);
    for (CKeyInterface* key = envelope->GetKey(0u); key; key = key->GetNextKey()) {
      EXPECT_EQ(key->GetShape(), 3u);
      for (UINT param = KEY_PARAM_TENSION; param < KEY_PARAM_0 + 4; ++param)
        EXPECT_EQ(key->GetParamValue(param), 0.0f);
    }
  }
  EXPECT_EQ(path.GetEnvelope(2)->GetKey(1u)->GetKeyValue(), -2.0f);
  ExpectNear(path.GetPointAt(0), 0, 0, 0);
  ExpectNear(path.GetPointAt(37.5f), 6, 1.5f, -3);
  ExpectNear(path.GetPointAt(75), 12, 3, -6);
  // Before the start the point is the one at time 0, whatever the pre behaviour says.
  ExpectNear(path.GetPointAt(-30), 0, 0, 0);
  ExpectNear(path.GetDirectionAt(50, 0.01f), 4 / std::sqrt(21.0f), 1 / std::sqrt(21.0f),
             -2 / std::sqrt(21.0f));
}

TEST_F(PathTest, RebuildingReplacesEveryKey) {
  geCPath path(1, 1);
  path.m_fDuration = 10.0f;
  path.Build({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}, geCPath::kModeUniform);
  path.Build({{5, 6, 7}, {9, 6, 7}, {9, 6, 3}}, geCPath::kModeUniform);
  ASSERT_EQ(path.GetPoints().size(), 3u);
  for (int axis = 0; axis < 3; ++axis)
    EXPECT_EQ(path.GetEnvelope(axis)->GetNumberOfKeys(), 3u) << axis;
  ExpectNear(path.GetPointAt(0), 5, 6, -7);
  ExpectNear(path.GetPointAt(20.0f / 3.0f), 9, 6, -3);
}

TEST_F(PathTest, LengthModeSharesTheDurationBySegmentLength) {
  geCPath path(1, 1);
  path.m_fDuration = 10.0f;
  // Segments of length 3 and 4.
  path.Build({{0, 0, 0}, {3, 0, 0}, {3, 4, 0}}, geCPath::kModeByLength);
  const std::vector<float> times = KeyTimes(path.GetEnvelope(0));
  ASSERT_EQ(times.size(), 3u);
  EXPECT_EQ(times[0], 0.0f);
  EXPECT_NEAR(times[1], 30.0f / 7.0f, 1e-5f);
  EXPECT_NEAR(times[2], 10.0f, 1e-5f);
  ExpectNear(path.GetPointAt(10), 3, 4, 0);
  ExpectNear(path.GetDirectionAt(2, 0.01f), 1, 0, 0);
}

TEST_F(PathTest, CoincidentPointsInLengthModeGetEvenGaps) {
  geCPath path(1, 1);
  path.m_fDuration = 9.0f;
  path.Build({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}, geCPath::kModeByLength);
  for (int axis = 0; axis < 3; ++axis)
    EXPECT_EQ(KeyTimes(path.GetEnvelope(axis)), (std::vector<float>{0, 3, 6})) << axis;
  ExpectNear(path.GetPointAt(4), 1, 2, -3);
}

TEST_F(PathTest, TheClockAndTheChannelsLiveAsLongAsThePath) {
  auto* path = new geCPath(1, 1);
  path->AddRef();
  ASSERT_NE(path->m_pTimer, nullptr);
  EXPECT_EQ(m_top.timersMade - m_top.timersFreed, 1);
  int created = 0;
  for (const std::string& call : m_top.calls) created += call == "CreateChannelEnvelope";
  EXPECT_EQ(created, 3);
  path->Release();
  EXPECT_EQ(m_top.timersMade - m_top.timersFreed, 0);
}

}  // namespace
