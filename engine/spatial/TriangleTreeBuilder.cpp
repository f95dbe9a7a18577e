#include "spatial/TriangleTreeBuilder.h"

TriangleVertices CTriangleTreeBuilder::Corners(UINT triangle) const {
  TriangleVertices corners{};
  pSource->fpCallback(triangle, corners, pSource->pUserData);
  return corners;
}

bool CTriangleTreeBuilder::ComputeGlobalBox(const UINT* primitives, UINT count,
                                            CollisionBox& box) const {
  if (primitives == nullptr || count == 0) return false;
  CollisionBounds bounds;
  for (UINT i = 0; i < count; ++i) {
    const TriangleVertices corners = Corners(primitives[i]);
    for (const float* corner : corners.pVertex) bounds.Add(corner);
  }
  box = bounds.ToBox();
  return true;
}

float CTriangleTreeBuilder::GetSplittingValue(const UINT* primitives, UINT count,
                                              const CollisionBox& box, UINT axis) const {
  if (!(dwSplitRules & RULE_CENTROID_MEAN))
    return CBoxTreeBuilder::GetSplittingValue(primitives, count, box, axis);
  float sum = 0.0f;
  for (UINT i = 0; i < count; ++i) {
    const TriangleVertices corners = Corners(primitives[i]);
    sum += corners.pVertex[0][axis] + corners.pVertex[1][axis] + corners.pVertex[2][axis];
  }
  return sum / (3.0f * static_cast<float>(count));
}

float CTriangleTreeBuilder::GetTriangleSplittingValue(UINT triangle, UINT axis) const {
  const TriangleVertices corners = Corners(triangle);
  return (corners.pVertex[2][axis] + corners.pVertex[1][axis] + corners.pVertex[0][axis]) *
         0.33333334f;
}
