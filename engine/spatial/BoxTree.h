#pragma once
// The layout the engine's colliders use: float boxes, a record for every leaf.
#include "spatial/BoxTreeLayout.h"

class CBoxTree : public CBoxTreeLayout<BoxTreeNode> {
 public:
  // An array of the right size is reused when the tree is rebuilt.
  bool Build(const CSourceBoxTree* source) override;
};
