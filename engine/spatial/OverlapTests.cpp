#include "spatial/OverlapTests.h"

#include <algorithm>
#include <cmath>

#include "ZKDXMath.h"
#include "spatial/CollisionLaneOps.h"
#include "spatial/RelativeTransform.h"

namespace {

using namespace collision_lanes;

constexpr float kEpsilon = 1e-6f;

// The interval of a triangle on the line where the two planes meet, without division: the
// lone corner L on one side of the other plane and the two others O1, O2 in corner order.
struct IntervalTerms {
  float a, b, c, x0, x1;
};

// False when every distance is 0: the triangles are coplanar.
bool ComputeIntervalTerms(const float p[3], const float d[3], IntervalTerms& terms) {
  int lone;
  if (d[0] * d[1] > 0.0f)
    lone = 2;
  else if (d[0] * d[2] > 0.0f)
    lone = 1;
  else if (d[1] * d[2] > 0.0f || d[0] != 0.0f)
    lone = 0;
  else if (d[1] != 0.0f)
    lone = 1;
  else if (d[2] != 0.0f)
    lone = 2;
  else
    return false;
  const int o1 = lone == 0 ? 1 : 0;
  const int o2 = lone == 2 ? 1 : 2;
  terms.a = p[lone];
  terms.b = (p[o1] - p[lone]) * d[lone];
  terms.c = (p[o2] - p[lone]) * d[lone];
  terms.x0 = d[lone] - d[o1];
  terms.x1 = d[lone] - d[o2];
  return true;
}

// Distances of a triangle's corners (lane i for corner i) to a plane, summed z, y, x as dot()
// does, and snapped to 0 near it.
CollisionLanes PlaneDistances(const TrianglePlane& plane, const CornerColumns& corners) {
  const CollisionLanes n = plane.normal;
  const CollisionLanes d =
      ((corners.z * n[2] + corners.y * n[1]) + corners.x * n[0]) + plane.distance;
  const LaneMask nearPlane = Abs(d) < kEpsilon;
  return reinterpret_cast<CollisionLanes>(reinterpret_cast<LaneMask>(d) & ~nearPlane);
}

bool AllOnOneSide(CollisionLanes d) {
  // Lanes 1 and 2 hold d0 * d1 and d0 * d2.
  return (_mm_movemask_ps(reinterpret_cast<__m128>(d * d[0] > 0.0f)) & 6) == 6;
}

const float* Corner(const CollisionTriangleLanes& t, int i) {
  return reinterpret_cast<const float*>(&t.corner[i]);
}

bool EdgesCross(const float* va, const float* vb, const float* uc, const float* ud, int i0,
                int i1) {
  const float ax = vb[i0] - va[i0], ay = vb[i1] - va[i1];
  const float bx = uc[i0] - ud[i0], by = uc[i1] - ud[i1];
  const float cx = va[i0] - uc[i0], cy = va[i1] - uc[i1];
  const float f = ay * bx - ax * by;
  const float d = by * cx - bx * cy;
  if ((f > 0.0f && d >= 0.0f && d <= f) || (f < 0.0f && d <= 0.0f && d >= f)) {
    const float e = ax * cy - ay * cx;
    if (f > 0.0f) return e >= 0.0f && e <= f;
    return e <= 0.0f && e >= f;
  }
  return false;
}

bool PointInTriangle(const float* p, const float* w0, const float* w1, const float* w2, int i0,
                     int i1) {
  const float* corners[3] = {w0, w1, w2};
  float d[3];
  for (int edge = 0; edge < 3; ++edge) {
    const float* wi = corners[edge];
    const float* wj = corners[(edge + 1) % 3];
    const float a = wj[i1] - wi[i1];
    const float b = -(wj[i0] - wi[i0]);
    const float c = -a * wi[i0] - b * wi[i1];
    d[edge] = a * p[i0] + b * p[i1] + c;
  }
  return d[0] * d[1] > 0.0f && d[0] * d[2] > 0.0f;
}

}  // namespace

bool BoxBoxOverlap(const RelativeTransform& x, const CollisionBox& a, const CollisionBox& b,
                   bool edgeAxes) {
  return BoxBoxOverlap(x, CollisionBoxLanes::From(a), CollisionBoxLanes::From(b), edgeAxes);
}

bool TriangleTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2) {
  const CollisionTriangleLanes v = CollisionTriangleLanes::From(v0, v1, v2);
  return TriangleTriangleOverlap(v, TrianglePlane::Of(v), CollisionTriangleLanes::From(u0, u1, u2),
                                 nullptr);
}

bool TriangleTriangleOverlap(const CollisionTriangleLanes& v, const TrianglePlane& planeV,
                             const CollisionTriangleLanes& u, const TrianglePlane* planeU) {
  const CornerColumns uColumns = CornerColumns::Of(u.corner);
  const CollisionLanes du = PlaneDistances(planeV, uColumns);
  if (AllOnOneSide(du)) return false;

  const TrianglePlane uPlane = planeU != nullptr ? *planeU : TrianglePlane::Of(u);
  const CornerColumns vColumns = CornerColumns::Of(v.corner);
  const CollisionLanes dv = PlaneDistances(uPlane, vColumns);
  if (AllOnOneSide(dv)) return false;

  // Project onto the coordinate axis closest to the line where the planes meet.
  const CollisionLanes direction = Abs(Cross(planeV.normal, uPlane.normal));
  int axis = 0;
  float largest = direction[0];
  if (direction[1] > largest) {
    axis = 1;
    largest = direction[1];
  }
  if (direction[2] > largest) axis = 2;
  const CollisionLanes vAxis = axis == 0 ? vColumns.x : (axis == 1 ? vColumns.y : vColumns.z);
  const CollisionLanes uAxis = axis == 0 ? uColumns.x : (axis == 1 ? uColumns.y : uColumns.z);
  const float vp[3] = {vAxis[0], vAxis[1], vAxis[2]};
  const float up[3] = {uAxis[0], uAxis[1], uAxis[2]};
  const float dvs[3] = {dv[0], dv[1], dv[2]};
  const float dus[3] = {du[0], du[1], du[2]};

  IntervalTerms vTerms, uTerms;
  const float normal[3] = {planeV.normal[0], planeV.normal[1], planeV.normal[2]};
  if (!ComputeIntervalTerms(vp, dvs, vTerms) || !ComputeIntervalTerms(up, dus, uTerms))
    return CoplanarTriangleOverlap(Corner(v, 0), Corner(v, 1), Corner(v, 2), Corner(u, 0),
                                   Corner(u, 1), Corner(u, 2), normal);

  const float xx = vTerms.x0 * vTerms.x1;
  const float yy = uTerms.x0 * uTerms.x1;
  const float xxyy = xx * yy;
  float first[2] = {vTerms.a * xxyy + vTerms.b * vTerms.x1 * yy,
                    vTerms.a * xxyy + vTerms.c * vTerms.x0 * yy};
  float second[2] = {uTerms.a * xxyy + uTerms.b * xx * uTerms.x1,
                     uTerms.a * xxyy + uTerms.c * xx * uTerms.x0};
  if (first[0] > first[1]) std::swap(first[0], first[1]);
  if (second[0] > second[1]) std::swap(second[0], second[1]);
  return !(first[1] < second[0] || second[1] < first[0]);
}

bool CoplanarTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2, const float normal[3]) {
  // Work in the two coordinates that the plane's normal leans on least.
  const float nx = std::fabs(normal[0]), ny = std::fabs(normal[1]), nz = std::fabs(normal[2]);
  int i0, i1;
  if (nx > ny) {
    if (nx > nz) {
      i0 = 1;
      i1 = 2;
    } else {
      i0 = 0;
      i1 = 1;
    }
  } else if (nz > ny) {
    i0 = 0;
    i1 = 1;
  } else {
    i0 = 0;
    i1 = 2;
  }

  const float* v[3] = {v0, v1, v2};
  const float* u[3] = {u0, u1, u2};
  for (int edge = 0; edge < 3; ++edge)
    for (int other = 0; other < 3; ++other)
      if (EdgesCross(v[edge], v[(edge + 1) % 3], u[other], u[(other + 1) % 3], i0, i1))
        return true;
  return PointInTriangle(v0, u0, u1, u2, i0, i1) || PointInTriangle(u0, v0, v1, v2, i0, i1);
}

bool TriangleBoxOverlap(const float triangle[3][3], const CollisionBox& box, bool edgeAxes) {
  return TriangleBoxOverlap(
      CollisionTriangleLanes::From(triangle[0], triangle[1], triangle[2]),
      CollisionBoxLanes::From(box), edgeAxes);
}

bool TriangleBoxOverlap(const CollisionTriangleLanes& triangle, const CollisionBoxLanes& box,
                        bool edgeAxes) {
  // The three box axes, then the three axes of each edge, are tried together; each lane does
  // the operations the scalar form would, so the answers are the same.
  const CollisionLanes c0 = triangle.corner[0] - box.center;
  const CollisionLanes c1 = triangle.corner[1] - box.center;
  const CollisionLanes c2 = triangle.corner[2] - box.center;
  const CollisionLanes e = box.extents;
  if (AnyAbove(Min(Min(c0, c1), c2), e) || AnyAbove(-e, Max(Max(c0, c1), c2))) return false;

  const CollisionLanes edges[3] = {c1 - c0, c2 - c1, c0 - c2};
  const CollisionLanes n = Cross(edges[0], edges[1]);
  const float normal[3] = {n[0], n[1], n[2]};
  const float distance = -((n[2] * c0[2] + n[1] * c0[1]) + n[0] * c0[0]);
  const float extents[3] = {e[0], e[1], e[2]};
  if (!PlaneBoxOverlap(normal, distance, extents)) return false;

  if (!edgeAxes) return true;
  // Lane k is the axis (box axis k) x edge: the corner's projection on it is lane k of
  // edge x corner, and the box's radius on it sums the two other extents.
  const CollisionLanes eNext = Rotate(e, 1), eAfterNext = Rotate(e, 2);
  for (const CollisionLanes& edge : edges) {
    const CollisionLanes absEdge = Abs(edge);
    const CollisionLanes radius = eNext * Rotate(absEdge, 2) + eAfterNext * Rotate(absEdge, 1);
    const CollisionLanes p0 = Cross(edge, c0), p1 = Cross(edge, c1), p2 = Cross(edge, c2);
    if (AnyAbove(Min(Min(p0, p1), p2), radius) || AnyAbove(-radius, Max(Max(p0, p1), p2)))
      return false;
  }
  return true;
}

bool PlaneBoxOverlap(const float normal[3], float distance, const float extents[3]) {
  float vmin[3], vmax[3];
  for (int k = 0; k < 3; ++k) {
    if (normal[k] > 0.0f) {
      vmin[k] = -extents[k];
      vmax[k] = extents[k];
    } else {
      vmin[k] = extents[k];
      vmax[k] = -extents[k];
    }
  }
  if (normal[0] * vmin[0] + normal[1] * vmin[1] + normal[2] * vmin[2] + distance > 0.0f)
    return false;
  return normal[0] * vmax[0] + normal[1] * vmax[1] + normal[2] * vmax[2] + distance >= 0.0f;
}
