#pragma once
// Float boxes without leaf records: n - 1 records, leaf triangles kept in the links. The one
// layout that can refit its boxes after the triangles moved.
#include "spatial/BoxTreeLayout.h"

class CNoLeafBoxTree : public CBoxTreeLayout<NoLeafBoxNode> {
 public:
  bool Build(const CSourceBoxTree* source) override;
  bool Refit(const CCollisionMeshInterface* source) override;
};
