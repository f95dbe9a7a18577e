#include "scene/SurfaceProjection.h"

#include <cmath>
#include <numbers>

namespace {
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2.0f * kPi;
}  // namespace

CSurfaceProjection::CSurfaceProjection(UINT projection, UINT axisBits, const CVector3& centre,
                                       const CVector3& size, float wrapWidth, float wrapHeight)
    : m_dwProjection(projection),
      m_Axis((axisBits & 0x1) != 0 ? AXIS_X : (axisBits & 0x2) != 0 ? AXIS_Y : AXIS_Z),
      m_vecCentre(centre),
      m_vecSize(size),
      m_fWrapWidth(wrapWidth),
      m_fWrapHeight(wrapHeight) {}

CSurfaceProjection::Axis CSurfaceProjection::CubicAxis(const CVector3& normal) {
  const float x = std::fabs(normal.x), y = std::fabs(normal.y), z = std::fabs(normal.z);
  if (y <= x) return x <= z ? AXIS_Z : AXIS_X;
  return y <= z ? AXIS_Z : AXIS_Y;
}

float CSurfaceProjection::HeadingAngle(float a, float c) {
  if (a == 0.0f && c == 0.0f) return 0.0f;
  if (c == 0.0f) return a < 0.0f ? kPi / 2 : -kPi / 2;
  const float heading = -std::atan(a / c);
  return c < 0.0f ? heading + kPi : heading;
}

void CSurfaceProjection::HeadingAndPitch(float a, float b, float c, float* heading, float* pitch) {
  *heading = HeadingAngle(a, c);
  if (a == 0.0f && c == 0.0f && b == 0.0f) {
    *pitch = 0.0f;
    return;
  }
  const float root = std::sqrt(a * a + c * c);
  *pitch = root != 0.0f ? std::atan(b / root) : (b >= 0.0f ? kPi / 2 : -kPi / 2);
}

float CSurfaceProjection::Fraction(float value) { return value - std::trunc(value); }

float CSurfaceProjection::Wrap(float value, float wrap) {
  return wrap != 1.0f ? Fraction(value) * wrap : value;
}

void CSurfaceProjection::Project(const CVector3& position, Axis axis, float* u, float* v) const {
  const float dx = position.x - m_vecCentre.x;
  const float dy = position.y - m_vecCentre.y;
  const float dz = position.z - m_vecCentre.z;
  const float rx = Ratio(dx, m_vecSize.x), ry = Ratio(dy, m_vecSize.y), rz = Ratio(dz, m_vecSize.z);
  switch (m_dwProjection) {
    case PLANAR:
    case CUBIC:
      switch (axis) {
        case AXIS_X: *u = rz + 0.5f; *v = 0.5f - ry; break;
        case AXIS_Y: *u = rx + 0.5f; *v = 0.5f - rz; break;
        case AXIS_Z: *u = rx + 0.5f; *v = 0.5f - ry; break;
      }
      return;
    case CYLINDRICAL: {
      float heading = 0.0f;
      switch (axis) {
        case AXIS_X: heading = HeadingAngle(dz, -dy); *v = 0.5f - rx; break;
        case AXIS_Y: heading = HeadingAngle(-dx, dz); *v = 0.5f - ry; break;
        case AXIS_Z: heading = HeadingAngle(-dx, -dy); *v = 0.5f - rz; break;
      }
      *u = Wrap(1.0f - heading / kTwoPi, m_fWrapWidth);
      return;
    }
    case SPHERICAL: {
      float a = 0.0f, b = 0.0f, c = 0.0f;
      switch (axis) {
        case AXIS_X: a = dz; b = dx; c = -dy; break;
        case AXIS_Y: a = -dx; b = dy; c = dz; break;
        case AXIS_Z: a = -dx; b = dz; c = -dy; break;
      }
      float heading = 0.0f, pitch = 0.0f;
      HeadingAndPitch(a, b, c, &heading, &pitch);
      *u = Fraction(Wrap(1.0f - heading / kTwoPi, m_fWrapWidth));
      *v = Fraction(Wrap(0.5f - pitch / kPi, m_fWrapHeight));
      return;
    }
  }
}
