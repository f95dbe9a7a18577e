#include "spatial/SourceBoxTree.h"

#include "core/FatalError.h"
#include "spatial/BoxTreeBuilder.h"

namespace {
const char kNoTree[] = "Can't Allocate Memory For Box Tree";
}  // namespace

void CSourceBoxTree::Release() {
  m_root.ReleaseChildren();
  m_root.SetPrimitives(nullptr, 0);
  m_pool.reset();
  m_indices.reset();
  m_dwNodeCount = 0;
}

bool CSourceBoxTree::Build(CBoxTreeBuilder* builder) {
  if (builder == nullptr || builder->dwPrimitiveCount == 0) return false;
  Release();
  builder->dwNodesUsed = 1;
  builder->dwDegenerateSplits = 0;

  const UINT n = builder->dwPrimitiveCount;
  m_indices.reset(NewArrayOrFatal<UINT>(kNoMemoryTitle, kNoTree, n));
  for (UINT i = 0; i < n; ++i) m_indices[i] = i;
  m_root.SetPrimitives(m_indices.get(), n);
  builder->splitValues.assign(n, 0.0f);

  builder->pNodePool = nullptr;
  if (builder->dwLeafLimit == 1) {
    // One triangle per leaf: exactly 2n - 1 nodes, so every child comes from one allocation.
    m_pool.reset(
        NewArrayOrFatal<CSourceBoxNode>(kNoMemoryTitle, kNoTree, 2 * static_cast<size_t>(n) - 1));
    builder->pNodePool = m_pool.get();
  }

  const bool built = m_root.BuildHierarchy(*builder);
  builder->pNodePool = nullptr;
  builder->splitValues = {};
  m_dwNodeCount = builder->dwNodesUsed;
  return built;
}
