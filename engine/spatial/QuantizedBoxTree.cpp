#include "spatial/QuantizedBoxTree.h"

#include <memory>

#include "spatial/SourceBoxTree.h"
#include "spatial/TreeFlattening.h"
#include "spatial/TreeQuantization.h"

bool CQuantizedBoxTree::Build(const CSourceBoxTree* source) {
  m_nodes.reset();
  m_dwNodeCount = 0;
  if (source == nullptr || !source->IsComplete()) return false;
  const UINT count = source->GetNodeCount();
  std::unique_ptr<BoxTreeNode[]> flat(new (std::nothrow) BoxTreeNode[count]);
  if (!flat) return false;
  FlattenWithLeaves(*source, flat.get());
  if (!AllocateNodes(count, false)) return false;
  QuantizeRecords(flat.get(), count, m_nodes.get(), m_dequantization);
  return true;
}
