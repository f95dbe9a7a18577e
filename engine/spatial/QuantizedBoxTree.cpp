#include "spatial/QuantizedBoxTree.h"

#include "spatial/TreeFlattening.h"

bool CQuantizedBoxTree::Build(const CSourceBoxTree* source) {
  return BuildQuantized(source, source ? source->GetNodeCount() : 0, &FlattenWithLeaves);
}
