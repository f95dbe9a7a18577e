#pragma once
// The four geometric tests the tree collider decides with. Each answers yes or no; none
// computes contact points.
#include "spatial/CollisionBox.h"

struct RelativeTransform;

// Box a (A's space) against box b (B's space); the nine edge-cross axes are tried only when
// `edgeAxes` is set.
bool BoxBoxOverlap(const RelativeTransform& transform, const CollisionBox& a,
                   const CollisionBox& b, bool edgeAxes);
bool BoxBoxOverlap(const RelativeTransform& transform, const CollisionBoxLanes& a,
                   const CollisionBoxLanes& b, bool edgeAxes);

// Two triangles in one space; touching includes corners and edges that only meet.
bool TriangleTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2);

// Two triangles in one plane of normal `normal`.
bool CoplanarTriangleOverlap(const float* v0, const float* v1, const float* v2, const float* u0,
                             const float* u1, const float* u2, const float normal[3]);

// A triangle against a box in the same space. Without `edgeAxes` only the box's faces and the
// triangle's plane are tried, which may report touching for a box that is apart.
bool TriangleBoxOverlap(const float triangle[3][3], const CollisionBox& box, bool edgeAxes);
bool TriangleBoxOverlap(const float triangle[3][3], const CollisionBoxLanes& box, bool edgeAxes);

// The plane n . p + d = 0 against a box centred at the origin with extents `extents`.
bool PlaneBoxOverlap(const float normal[3], float distance, const float extents[3]);
