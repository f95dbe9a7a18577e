#pragma once
// A triangle as the overlap tests read it: its three corners in lanes 0 to 2, and the plane
// through them, which a walk works out once for a triangle it tests many times.
#include "spatial/CollisionLaneOps.h"

struct CollisionTriangleLanes {
  CollisionLanes corner[3];

  static CollisionTriangleLanes From(const float* c0, const float* c1, const float* c2) {
    using collision_lanes::ThreeLanes;
    return {{ThreeLanes(c0), ThreeLanes(c1), ThreeLanes(c2)}};
  }
};

// n . p + distance = 0, n being (corner 1 - corner 0) x (corner 2 - corner 0).
struct TrianglePlane {
  CollisionLanes normal;
  float distance;

  static TrianglePlane Of(const CollisionTriangleLanes& t) {
    using namespace collision_lanes;
    const CollisionLanes n = Cross(t.corner[1] - t.corner[0], t.corner[2] - t.corner[0]);
    const CollisionLanes p = n * t.corner[0];
    // The sum runs z, y, x, as dot() does.
    return {n, -((p[2] + p[1]) + p[0])};
  }
};
