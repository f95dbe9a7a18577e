#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "scene/LWOSurface.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

// The projections compute in single precision with divisions where reciprocals would do as
// well; the two differ at most in the last bit.
::testing::AssertionResult WithinOneUlp(float actual, float expected) {
  if (actual == expected || std::nextafter(actual, expected) == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual << " is not within one ulp of " << expected;
}

struct Projection {
  const char* name;
  WORD projection;
  WORD mapFlags;
  CVector3 position;
  CVector3 normal;
  float wrapWidth, wrapHeight;
  float u, v;
  float size = 2.0f;
};

TEST(LWOTextureProjectionTest, ProjectionsGiveTheirExactCoordinates) {
  const CVector3 up(0, 0, 1);
  const Projection cases[] = {
      {"planar Z, corner +1", 0, LWO_AXIS_Z, {1, 1, 0}, up, 1, 1, 1.0f, 0.0f},
      {"planar Z, corner -1", 0, LWO_AXIS_Z, {-1, -1, 0}, up, 1, 1, 0.0f, 1.0f},
      {"planar X", 0, LWO_AXIS_X, {0, 0.5f, 1}, up, 1, 1, 1.0f, 0.25f},
      {"planar Y", 0, LWO_AXIS_Y, {-0.5f, 0, 1}, up, 1, 1, 0.25f, 0.0f},
      {"planar without axis bits is along Z", 0, 0, {1, 1, 0}, up, 1, 1, 1.0f, 0.0f},
      {"cubic: X wins a tie with Y", 3, LWO_AXIS_Z, {0, 0.5f, 1}, {0.6f, 0.6f, 0.5f}, 1, 1, 1.0f, 0.25f},
      {"cubic: Z wins a tie with the largest", 3, LWO_AXIS_X, {1, 1, 0}, {0.5f, 0.5f, 0.5f}, 1, 1, 1.0f, 0.0f},
      {"cylindrical Y, in front", 1, LWO_AXIS_Y, {0, 1, 1}, up, 1, 1, 1.0f, 0.0f},
      {"cylindrical Y, +x", 1, LWO_AXIS_Y, {1, 0, 0}, up, 1, 1, 0.75f, 0.5f},
      {"cylindrical Y, -x goes past 1", 1, LWO_AXIS_Y, {-1, 0, 0}, up, 1, 1, 1.25f, 0.5f},
      {"cylindrical Y wrapped twice", 1, LWO_AXIS_Y, {1, 0, 0}, up, 2, 1, 1.5f, 0.5f},
      {"cylindrical without axis bits is along Z", 1, 0, {0, -1, 1}, up, 1, 1, 1.0f, 0.0f},
      {"spherical Y pole", 2, LWO_AXIS_Y, {0, 1, 0}, up, 1, 1, 0.0f, 0.0f},
      {"spherical Y equator", 2, LWO_AXIS_Y, {1, 0, 0}, up, 1, 1, 0.75f, 0.5f},
      {"spherical at the centre", 2, LWO_AXIS_Y, {0, 0, 0}, up, 1, 1, 0.0f, 0.5f},
      {"spherical without axis bits is along Z", 2, 0, {0, 0, 1}, up, 1, 1, 0.0f, 0.0f},
      {"a zero size maps to the middle", 0, LWO_AXIS_Z, {1, 1, 0}, up, 1, 1, 0.5f, 0.5f, 0.0f},
  };
  auto surface = std::make_unique<LWOSurface>();
  surface->SetDefaults();
  for (const Projection& c : cases) {
    SCOPED_TRACE(c.name);
    LWOSurfaceChannel& channel = surface->channel[LWO_CHANNEL_COLOR];
    channel.projection = c.projection;
    channel.mapFlags = c.mapFlags;
    channel.center = CVector3();
    channel.size = CVector3(c.size, c.size, c.size);
    channel.wrapWidth = c.wrapWidth;
    channel.wrapHeight = c.wrapHeight;
    float u = -7.0f, v = -7.0f;
    surface->ProjectUV(LWO_CHANNEL_COLOR, c.position.x, c.position.y, c.position.z, &u, &v,
                       c.normal.x, c.normal.y, c.normal.z);
    EXPECT_EQ(u, c.u);
    EXPECT_EQ(v, c.v);
  }
}

TEST(LWOTextureProjectionTest, OtherProjectionsWriteNothing) {
  auto surface = std::make_unique<LWOSurface>();
  surface->SetDefaults();
  for (WORD projection : {WORD(4), WORD(5), LWO_NO_PROJECTION}) {
    surface->channel[LWO_CHANNEL_COLOR].projection = projection;
    float u = -7.0f, v = -7.0f;
    surface->ProjectUV(LWO_CHANNEL_COLOR, 1, 1, 1, &u, &v, 0, 0, 1);
    EXPECT_EQ(u, -7.0f) << projection;
    EXPECT_EQ(v, -7.0f) << projection;
  }
}

TEST(LWOTextureProjectionTest, AxisHeadingAndPitch) {
  struct Axis {
    CVector3 normal;
    UINT axis;
  };
  const Axis axes[] = {{{1, 0, 0}, LWO_AXIS_X},      {{0, -1, 0}, LWO_AXIS_Y},
                       {{0, 0, -1}, LWO_AXIS_Z},     {{0.6f, 0.6f, 0.5f}, LWO_AXIS_X},
                       {{0.5f, 0.5f, 0.5f}, LWO_AXIS_Z}, {{0.1f, -0.7f, 0.7f}, LWO_AXIS_Z},
                       {{0, 0, 0}, LWO_AXIS_Z}};
  for (const Axis& a : axes)
    EXPECT_EQ(GetDominantAxis(a.normal.x, a.normal.y, a.normal.z), a.axis)
        << a.normal.x << ", " << a.normal.y << ", " << a.normal.z;

  struct Angles {
    float a, b, c;
    float heading, pitch;
    bool exact;
  };
  const Angles angles[] = {
      {0, 0, 0, 0, 0, true},
      {0, 2, 0, 0, kHalfPi, true},
      {0, -2, 0, 0, -kHalfPi, true},
      {1, 0, 0, -kHalfPi, 0, true},
      {-1, 0, 0, kHalfPi, 0, true},
      {0, 0, 3, 0, 0, true},
      {0, 0, -3, kPi, 0, true},
      {1, 1, 1, -kPi / 4, 0.61547971f, false},
      {1, -1, -1, kPi + kPi / 4, -0.61547971f, false},
  };
  for (const Angles& x : angles) {
    SCOPED_TRACE(::testing::Message() << x.a << ", " << x.b << ", " << x.c);
    float heading = -7.0f, pitch = -7.0f, alone = -7.0f;
    HeadingAndPitch(x.a, x.b, x.c, &heading, &pitch);
    HeadingAngle(x.a, 99.0f, x.c, &alone);
    EXPECT_EQ(alone, heading) << "the middle argument is not used";
    if (x.exact) {
      EXPECT_EQ(heading, x.heading);
      EXPECT_EQ(pitch, x.pitch);
    } else {
      EXPECT_TRUE(WithinOneUlp(heading, x.heading));
      EXPECT_TRUE(WithinOneUlp(pitch, x.pitch));
    }
  }
}

}  // namespace
