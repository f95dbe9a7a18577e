#include "spatial/BoundBox.h"

#include <cmath>

void CBoundBox::FillCorners(CVector4* corners, const CVector3& minimum, const CVector3& maximum) {
  for (int k = 0; k < kCorners; ++k) {
    corners[k] = CVector4((k & 1) != 0 ? maximum.x : minimum.x, (k & 2) != 0 ? maximum.y : minimum.y,
                          (k & 4) != 0 ? maximum.z : minimum.z, 1.0f);
  }
}

void CBoundBox::TransformCorners(CVector4* out, const CVector4* corners, const CMatrix& matrix) {
  for (int k = 0; k < kCorners; ++k) out[k] = corners[k] * matrix;
}

CVector3 CBoundBox::MinimumOf(const CVector4* points) {
  CVector3 minimum(kLargest, kLargest, kLargest);
  for (int k = 0; k < kCorners; ++k) {
    if (points[k].x < minimum.x) minimum.x = points[k].x;
    if (points[k].y < minimum.y) minimum.y = points[k].y;
    if (points[k].z < minimum.z) minimum.z = points[k].z;
  }
  return minimum;
}

CVector3 CBoundBox::MaximumOf(const CVector4* points) {
  CVector3 maximum(-kLargest, -kLargest, -kLargest);
  for (int k = 0; k < kCorners; ++k) {
    if (points[k].x > maximum.x) maximum.x = points[k].x;
    if (points[k].y > maximum.y) maximum.y = points[k].y;
    if (points[k].z > maximum.z) maximum.z = points[k].z;
  }
  return maximum;
}

CVector3 CBoundBox::CentreOf(const CVector3& minimum, const CVector3& maximum) {
  return (minimum + maximum) * 0.5f;
}

CVector3 CBoundBox::ExtentsOf(const CVector3& maximum, const CVector3& centre) {
  return {std::fabs(maximum.x - centre.x), std::fabs(maximum.y - centre.y),
          std::fabs(maximum.z - centre.z)};
}

BYTE CBoundBox::ClipCode(const CVector4& point) {
  BYTE code = 0;
  if (point.x <= -point.w)
    code |= 2;
  else if (point.x > point.w)
    code |= 4;
  if (point.y <= -point.w)
    code |= 8;
  else if (point.y > point.w)
    code |= 16;
  if (point.z <= 0.0f)
    code |= 32;
  else if (point.z > point.w)
    code |= 64;
  return code;
}

bool CBoundBox::AllOutsideOnePlane(const CVector4* points) {
  BYTE common = 0xFF;
  for (int k = 0; k < kCorners; ++k) common &= ClipCode(points[k]);
  return common != 0;
}

bool CBoundBox::Overlaps(const CVector3& centre, const CVector3& extents,
                         const CVector3& otherCentre, const CVector3& otherExtents) {
  if (std::fabs(centre.x - otherCentre.x) > extents.x + otherExtents.x) return false;
  if (std::fabs(centre.y - otherCentre.y) > extents.y + otherExtents.y) return false;
  if (std::fabs(centre.z - otherCentre.z) > extents.z + otherExtents.z) return false;
  return true;
}
