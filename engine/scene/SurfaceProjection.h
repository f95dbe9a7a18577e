#pragma once
// The texture-coordinate projections of a surface (planar, cylindrical, spherical, cubic): one
// position relative to the projection's centre becomes one (u, v). The cubic projection is the
// planar one along the axis the vertex's normal leans to most.
#include "ZKDXMath.h"
#include "windef.h"

class CSurfaceProjection {
 public:
  enum : UINT { PLANAR = 0, CYLINDRICAL = 1, SPHERICAL = 2, CUBIC = 3 };
  enum Axis : UINT { AXIS_X = 0, AXIS_Y = 1, AXIS_Z = 2 };

  CSurfaceProjection(UINT projection, UINT axisBits, const CVector3& centre, const CVector3& size,
                     float wrapWidth, float wrapHeight);

  static bool IsKnown(UINT projection) { return projection <= CUBIC; }
  UINT GetProjection() const { return m_dwProjection; }
  // The axis of the projection's bits: X for 0x1, else Y for 0x2, else Z.
  Axis GetAxis() const { return m_Axis; }
  // The axis the cubic projection uses for a vertex with this unit normal: the largest
  // component, X winning a tie with Y and Z winning a tie with the largest.
  static Axis CubicAxis(const CVector3& normal);
  // The heading of the direction whose horizontal components are (a, c): 0 when both are 0,
  // else in (-pi/2, 3 pi/2).
  static float HeadingAngle(float a, float c);
  // Heading of (a, c) and pitch of the direction (a, b, c); a direction straight up or down has
  // pitch +-pi/2 and no direction at all pitch 0.
  static void HeadingAndPitch(float a, float b, float c, float* heading, float* pitch);
  // The coordinates of the position, projected along the axis (the cubic projection passes the
  // axis it chose).
  void Project(const CVector3& position, Axis axis, float* u, float* v) const;

 private:
  // d over the size's extent; a zero extent puts every position in the middle.
  static float Ratio(float d, float extent) { return extent != 0.0f ? d / extent : 0.0f; }
  static float Wrap(float value, float wrap);
  static float Fraction(float value);

  UINT m_dwProjection;
  Axis m_Axis;
  CVector3 m_vecCentre;
  CVector3 m_vecSize;
  float m_fWrapWidth;
  float m_fWrapHeight;
};
