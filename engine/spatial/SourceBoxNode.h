#pragma once
// A node of the source box tree: a box over a run of the tree's triangle indices, and either no
// children or two. Children come in pairs, from the builder's pool when it has one (the pool
// owns them) or allocated for the node (the node owns them).
#include <memory>

#include "spatial/CollisionBox.h"
#include "windef.h"

class CBoxTreeBuilder;

class CSourceBoxNode {
 public:
  // Sets this node's box, splits it, and does the same for every child.
  bool BuildHierarchy(CBoxTreeBuilder& builder);
  // Splits the node's run in two by the builder's rules; true for a leaf or a split.
  bool Subdivide(CBoxTreeBuilder& builder);
  // Moves the primitives above the set's splitting value on `axis` to the front of the run;
  // returns how many there are.
  UINT Partition(CBoxTreeBuilder& builder, UINT axis);

  bool HasChildren() const { return m_pChildren != nullptr; }
  const CSourceBoxNode* GetFirstChild() const { return m_pChildren; }
  const CSourceBoxNode* GetSecondChild() const { return m_pChildren + 1; }
  const UINT* GetPrimitives() const { return m_pPrimitives; }
  UINT GetPrimitiveCount() const { return m_dwPrimitiveCount; }
  // The run this node covers; the root gets the whole index array.
  void SetPrimitives(UINT* primitives, UINT count) {
    m_pPrimitives = primitives;
    m_dwPrimitiveCount = count;
  }
  void ReleaseChildren() {
    m_pChildren = nullptr;
    m_ownedChildren.reset();
  }

  CollisionBox box{};

 private:
  // The splitting values of this node's run on `axis`, in the builder's room.
  const float* SplittingValues(CBoxTreeBuilder& builder, UINT axis) const;

  CSourceBoxNode* m_pChildren = nullptr;
  std::unique_ptr<CSourceBoxNode[]> m_ownedChildren;
  UINT* m_pPrimitives = nullptr;
  UINT m_dwPrimitiveCount = 0;
};
