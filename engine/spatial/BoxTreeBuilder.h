#pragma once
// What a source box tree needs to know about its primitives: their boxes, the values they are
// split by, and when a node is small enough to stay a leaf. The rules choose how a node splits.
#include <vector>

#include "spatial/CollisionBox.h"
#include "windef.h"

class CSourceBoxNode;

// Split rules. One axis rule acts, the first present in the order 1, 2, 8, 4, 16; the
// centroid-mean rule combines with any of them.
enum : UINT {
  RULE_WIDEST_EXTENT = 1,     // the axis of the node's largest extent
  RULE_CENTROID_SPREAD = 2,   // the axis where the primitives' splitting values vary most
  RULE_AXES_BY_EXTENT = 4,    // axes from the largest extent down until a split is not degenerate
  RULE_EVEN_SPLIT = 8,        // the axis whose partition comes nearest to half and half
  RULE_LIST_MIDDLE = 16,      // no partition: first half of the list against the second half
  RULE_CENTROID_MEAN = 32,    // partitions split at the centroids' mean, not the box centre
};

class CBoxTreeBuilder {
 public:
  CBoxTreeBuilder(UINT leafLimit, UINT splitRules, UINT primitiveCount)
      : dwLeafLimit(leafLimit), dwSplitRules(splitRules), dwPrimitiveCount(primitiveCount) {}
  virtual ~CBoxTreeBuilder() = default;

  // The box around the listed primitives into `box`; false, leaving it alone, for no list.
  virtual bool ComputeGlobalBox(const UINT* primitives, UINT count, CollisionBox& box) const = 0;
  // The value a set of primitives is partitioned at on `axis`.
  virtual float GetSplittingValue(const UINT* primitives, UINT count, const CollisionBox& box,
                                  UINT axis) const;
  // The value of one primitive on `axis`, compared against the set's value.
  virtual float GetTriangleSplittingValue(UINT triangle, UINT axis) const = 0;
  // The same for every listed primitive, into `values` in list order: the splits read whole
  // runs, so a builder can answer them without a call per primitive.
  virtual void GetTriangleSplittingValues(const UINT* primitives, UINT count, UINT axis,
                                          float* values) const;
  // True when a node of `count` primitives should split.
  virtual bool ValidateSubdivision(const UINT* primitives, UINT count,
                                   const CSourceBoxNode& node) const;

  UINT dwLeafLimit;
  UINT dwSplitRules;
  UINT dwPrimitiveCount;
  // The nodes that children are handed out from in pairs; null to allocate each pair.
  CSourceBoxNode* pNodePool = nullptr;
  UINT dwNodesUsed = 0;
  // Splits that found no partition and halved the list instead.
  UINT dwDegenerateSplits = 0;
  // Room for one splitting value per primitive, which a split fills for its run.
  std::vector<float> splitValues;
};
