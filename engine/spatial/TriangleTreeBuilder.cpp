#include "spatial/TriangleTreeBuilder.h"

#include <cfloat>

#include "spatial/CollisionBox.h"

CTriangleTreeBuilder::CTriangleTreeBuilder(UINT leafLimit, UINT splitRules, UINT primitiveCount,
                                           const CCollisionMeshInterface* source)
    : CBoxTreeBuilder(leafLimit, splitRules, primitiveCount),
      pSource(source),
      m_triangles(primitiveCount) {
  for (UINT triangle = 0; triangle < primitiveCount; ++triangle) {
    TriangleVertices corners{};
    pSource->fpCallback(triangle, corners, pSource->pUserData);
    CollisionBounds bounds;
    for (const float* corner : corners.pVertex) bounds.Add(corner);
    TriangleRecord& record = m_triangles[triangle];
    for (int axis = 0; axis < 3; ++axis) {
      record.fMin[axis] = bounds.fMin[axis];
      record.fMax[axis] = bounds.fMax[axis];
      const float a = corners.pVertex[0][axis], b = corners.pVertex[1][axis],
                  c = corners.pVertex[2][axis];
      record.fCornerSum[axis] = a + b + c;
      record.fCentroid[axis] = (c + b + a) * 0.33333334f;
    }
  }
}

bool CTriangleTreeBuilder::ComputeGlobalBox(const UINT* primitives, UINT count,
                                            CollisionBox& box) const {
  if (primitives == nullptr || count == 0) return false;
  // The same box as adding every corner: a triangle's extremes are its corners' extremes, and
  // a triangle whose corners gave no value (NaN) leaves the bounds as they were.
  CollisionBounds bounds;
  for (UINT i = 0; i < count; ++i) {
    const TriangleRecord& record = m_triangles[primitives[i]];
    for (int k = 0; k < 3; ++k) {
      if (record.fMin[k] < bounds.fMin[k]) bounds.fMin[k] = record.fMin[k];
      if (record.fMax[k] > bounds.fMax[k]) bounds.fMax[k] = record.fMax[k];
    }
  }
  box = bounds.ToBox();
  return true;
}

float CTriangleTreeBuilder::GetSplittingValue(const UINT* primitives, UINT count,
                                              const CollisionBox& box, UINT axis) const {
  if (!(dwSplitRules & RULE_CENTROID_MEAN))
    return CBoxTreeBuilder::GetSplittingValue(primitives, count, box, axis);
  float sum = 0.0f;
  for (UINT i = 0; i < count; ++i) sum += m_triangles[primitives[i]].fCornerSum[axis];
  return sum / (3.0f * static_cast<float>(count));
}
