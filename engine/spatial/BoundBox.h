#pragma once
// The box arithmetic that mesh and light bound volumes share: the eight corners of a box in
// the engine's corner order, their transformation, the box around transformed corners, the
// clip outcodes of the visibility test and the overlap test of two centred boxes.
//
// Corner order: corner k takes x from the maximum when bit 0 of k is set, y by bit 1 and z by
// bit 2, otherwise from the minimum; w is 1.
#include "ZKDXMath.h"
#include "windef.h"

class CBoundBox {
 public:
  static constexpr int kCorners = 8;
  // Where the box of transformed points starts, so that any finite point replaces it.
  static constexpr float kLargest = 3.4028235e38f;

  static void FillCorners(CVector4* corners, const CVector3& minimum, const CVector3& maximum);
  // Each corner as a four-component vector times the matrix.
  static void TransformCorners(CVector4* out, const CVector4* corners, const CMatrix& matrix);
  static CVector3 MinimumOf(const CVector4* points);
  static CVector3 MaximumOf(const CVector4* points);
  // Half sizes around the centre of minimum and maximum, never negative.
  static CVector3 CentreOf(const CVector3& minimum, const CVector3& maximum);
  static CVector3 ExtentsOf(const CVector3& maximum, const CVector3& centre);

  // Outcode of a clip-space point: 2/4 beyond the left/right plane, 8/16 below/above, 32/64
  // before the near/beyond the far plane. A point exactly on a plane counts as outside the
  // left, bottom and near planes.
  static BYTE ClipCode(const CVector4& point);
  // True when all eight clip-space points lie outside one and the same plane.
  static bool AllOutsideOnePlane(const CVector4* points);

  // Two boxes given by centre and half sizes along the same axes; touching counts as overlap.
  static bool Overlaps(const CVector3& centre, const CVector3& extents, const CVector3& otherCentre,
                       const CVector3& otherExtents);
};
