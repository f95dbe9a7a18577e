#include "spatial/QuantizedNoLeafBoxTree.h"

#include "spatial/TreeFlattening.h"

bool CQuantizedNoLeafBoxTree::Build(const CSourceBoxTree* source) {
  // n - 1 records; a single triangle has none.
  return BuildQuantized(source, source ? source->GetNodeCount() / 2 : 0, &FlattenWithoutLeaves);
}
