#pragma once
// The binary box tree over a triangle source that a collision model is built from: the root,
// the index array whose runs the nodes cover, and the pool their children come from.
#include <memory>

#include "spatial/SourceBoxNode.h"

class CBoxTreeBuilder;

class CSourceBoxTree {
 public:
  bool Build(CBoxTreeBuilder* builder);

  const CSourceBoxNode& GetRoot() const { return m_root; }
  // All nodes, the root included.
  UINT GetNodeCount() const { return m_dwNodeCount; }
  // True for a tree with one triangle per leaf: 2n - 1 nodes.
  bool IsComplete() const {
    return m_root.GetPrimitiveCount() != 0 && m_dwNodeCount == 2 * m_root.GetPrimitiveCount() - 1;
  }
  const UINT* GetIndices() const { return m_indices.get(); }

 private:
  void Release();

  CSourceBoxNode m_root;
  std::unique_ptr<UINT[]> m_indices;
  std::unique_ptr<CSourceBoxNode[]> m_pool;
  UINT m_dwNodeCount = 0;
};
