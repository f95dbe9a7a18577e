#pragma once
// The four geometric tests the tree collider decides with. Each answers yes or no; none
// computes contact points.
#include "spatial/CollisionBox.h"
#include "spatial/CollisionLaneOps.h"
#include "spatial/CollisionTriangle.h"
#include "spatial/RelativeTransform.h"

// Box a (A's space) against box b (B's space); the nine edge-cross axes are tried only when
// `edgeAxes` is set.
bool BoxBoxOverlap(const RelativeTransform& transform, const CollisionBox& a,
                   const CollisionBox& b, bool edgeAxes);
// The same test on boxes in lanes, inline because every walk step ends here: each kind of axis
// is tried three at a time, each lane doing the operations of one axis in the order the scalar
// form would, so the answers are the same.
[[gnu::always_inline]] inline bool BoxBoxOverlap(const RelativeTransform& x, const CollisionBoxLanes& a,
                          const CollisionBoxLanes& b, bool edgeAxes) {
  using namespace collision_lanes;
  const RelativeTransform::Lanes& m = x.lanes;
  const CollisionLanes eA = a.extents, eB = b.extents;
  const CollisionLanes cA = a.center, cB = b.center;

  // b's centre in A's space, against A's three face axes.
  const CollisionLanes t = cB[0] * m.R[0] + cB[1] * m.R[1] + cB[2] * m.R[2] + m.T - cA;
  if (AnyAbove(Abs(t), eA + eB[0] * m.AbsR[0] + eB[1] * m.AbsR[1] + eB[2] * m.AbsR[2]))
    return false;

  // a's centre in B's space, against B's three face axes.
  const CollisionLanes s =
      cA[0] * m.RInverse[0] + cA[1] * m.RInverse[1] + cA[2] * m.RInverse[2] + m.TInverse;
  if (AnyAbove(Abs(s - cB),
               eB + eA[0] * m.AbsRInverse[0] + eA[1] * m.AbsRInverse[1] + eA[2] * m.AbsRInverse[2]))
    return false;

  if (!edgeAxes) return true;
  // Axis A[i] x B[j], B[j] being row j of R in A's space; lane i is A's axis i.
  const CollisionLanes tNext = Rotate(t, 1), tAfterNext = Rotate(t, 2);
  const CollisionLanes eANext = Rotate(eA, 1), eAAfterNext = Rotate(eA, 2);
  for (int j = 0; j < 3; ++j) {
    const int j1 = (j + 1) % 3, j2 = (j + 2) % 3;
    const CollisionLanes projected = Abs(tAfterNext * m.RNext[j] - tNext * m.RAfterNext[j]);
    const CollisionLanes radius = eANext * m.AbsRAfterNext[j] + eAAfterNext * m.AbsRNext[j] +
                                  eB[j1] * m.AbsRowCross[j2] + eB[j2] * m.AbsRowCross[j1];
    if (AnyAbove(projected, radius)) return false;
  }
  return true;
}

// Two triangles in one space; touching includes corners and edges that only meet.
bool TriangleTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2);
// The same test on triangles in lanes, with v's plane given and u's given or, when null, worked
// out only if the test gets that far; a walk that tests one triangle against many keeps its plane.
bool TriangleTriangleOverlap(const CollisionTriangleLanes& v, const TrianglePlane& planeV,
                             const CollisionTriangleLanes& u, const TrianglePlane* planeU);

// Two triangles in one plane of normal `normal`.
bool CoplanarTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2, const float normal[3]);

// A triangle against a box in the same space. Without `edgeAxes` only the box's faces and the
// triangle's plane are tried, which may report touching for a box that is apart.
bool TriangleBoxOverlap(const float triangle[3][3], const CollisionBox& box, bool edgeAxes);
bool TriangleBoxOverlap(const CollisionTriangleLanes& triangle, const CollisionBoxLanes& box,
                        bool edgeAxes);

// The plane n . p + d = 0 against a box centred at the origin with extents `extents`.
bool PlaneBoxOverlap(const float normal[3], float distance, const float extents[3]);
