#pragma once
// The builder of collision models: primitives are the triangles of a triangle source. Each
// triangle's corners are fetched through the source's callback once, when the builder is made;
// the build then reads the triangle's box and splitting values from that table, since every
// level of the tree asks for them again.
#include <vector>

#include "ZKDXInterface.h"
#include "spatial/BoxTreeBuilder.h"

class CTriangleTreeBuilder : public CBoxTreeBuilder {
 public:
  CTriangleTreeBuilder(UINT leafLimit, UINT splitRules, UINT primitiveCount,
                       const CCollisionMeshInterface* source);

  bool ComputeGlobalBox(const UINT* primitives, UINT count, CollisionBox& box) const override;
  // With RULE_CENTROID_MEAN the mean of the set's centroids, else the box centre.
  float GetSplittingValue(const UINT* primitives, UINT count, const CollisionBox& box,
                          UINT axis) const override;
  // The triangle's centroid on `axis`.
  float GetTriangleSplittingValue(UINT triangle, UINT axis) const override {
    return m_triangles[triangle].fCentroid[axis];
  }
  void GetTriangleSplittingValues(const UINT* primitives, UINT count, UINT axis,
                                  float* values) const override {
    for (UINT i = 0; i < count; ++i) values[i] = m_triangles[primitives[i]].fCentroid[axis];
  }

  const CCollisionMeshInterface* pSource;

 private:
  struct TriangleRecord {
    float fMin[3], fMax[3];
    // Per axis: the corners' sum in corner order (for the mean) and the centroid as the
    // splitting value takes it, summed from the last corner.
    float fCornerSum[3], fCentroid[3];
  };
  std::vector<TriangleRecord> m_triangles;
};
