#pragma once
// The builder of collision models: primitives are the triangles of a triangle source, whose
// corners are fetched through its callback each time they are needed.
#include "ZKDXInterface.h"
#include "spatial/BoxTreeBuilder.h"

class CTriangleTreeBuilder : public CBoxTreeBuilder {
 public:
  CTriangleTreeBuilder(UINT leafLimit, UINT splitRules, UINT primitiveCount,
                       const CCollisionMeshInterface* source)
      : CBoxTreeBuilder(leafLimit, splitRules, primitiveCount), pSource(source) {}

  bool ComputeGlobalBox(const UINT* primitives, UINT count, CollisionBox& box) const override;
  // With RULE_CENTROID_MEAN the mean of the set's centroids, else the box centre.
  float GetSplittingValue(const UINT* primitives, UINT count, const CollisionBox& box,
                          UINT axis) const override;
  // The triangle's centroid on `axis`.
  float GetTriangleSplittingValue(UINT triangle, UINT axis) const override;

  const CCollisionMeshInterface* pSource;

 private:
  TriangleVertices Corners(UINT triangle) const;
};
