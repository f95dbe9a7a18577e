#include "spatial/BoxTree.h"

#include "spatial/SourceBoxTree.h"
#include "spatial/TreeFlattening.h"

bool CBoxTree::Build(const CSourceBoxTree* source) {
  if (source == nullptr || !source->IsComplete()) return false;
  if (!AllocateNodes(source->GetNodeCount(), true)) return false;
  FlattenWithLeaves(*source, m_nodes.get());
  return true;
}
