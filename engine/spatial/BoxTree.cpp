#include "spatial/BoxTree.h"

#include "spatial/TreeFlattening.h"

bool CBoxTree::Build(const CSourceBoxTree* source) {
  return BuildFlat(source, source ? source->GetNodeCount() : 0, &FlattenWithLeaves);
}
