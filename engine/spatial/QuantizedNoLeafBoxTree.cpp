#include "spatial/QuantizedNoLeafBoxTree.h"

#include <memory>

#include "spatial/SourceBoxTree.h"
#include "spatial/TreeFlattening.h"
#include "spatial/TreeQuantization.h"

bool CQuantizedNoLeafBoxTree::Build(const CSourceBoxTree* source) {
  m_nodes.reset();
  m_dwNodeCount = 0;
  if (source == nullptr || !source->IsComplete() || source->GetNodeCount() < 3) return false;
  const UINT count = source->GetNodeCount() / 2;
  std::unique_ptr<NoLeafBoxNode[]> flat(new (std::nothrow) NoLeafBoxNode[count]);
  if (!flat) return false;
  FlattenWithoutLeaves(*source, flat.get());
  if (!AllocateNodes(count, false)) return false;
  QuantizeRecords(flat.get(), count, m_nodes.get(), m_dequantization);
  return true;
}
