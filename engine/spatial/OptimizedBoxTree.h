#pragma once
// The compact node arrays a collision model flattens its source tree into, and that the tree
// collider walks. Four layouts share this base: with or without leaf records, with float or
// 16-bit boxes.
#include "windef.h"

class CCollisionMeshInterface;
class CSourceBoxTree;

class COptimizedBoxTree {
 public:
  // Called for each record of a walk; false stops the walk below that record.
  typedef bool (*NodeCallback)(const void* node, void* userData);

  virtual ~COptimizedBoxTree() = default;
  // Flattens a complete source tree (one triangle per leaf); false for a missing or incomplete
  // tree or when memory runs out.
  virtual bool Build(const CSourceBoxTree* source) = 0;
  // Recomputes the boxes from the triangles' current corners; only layouts that can say so.
  virtual bool Refit(const CCollisionMeshInterface* source);
  // Pre-order, depth first from the root; false when no callback is given.
  virtual bool Walk(NodeCallback callback, void* userData) const = 0;
  // Bytes of the node array.
  virtual UINT GetUsedBytes() const = 0;

  UINT GetNodeCount() const { return m_dwNodeCount; }

 protected:
  UINT m_dwNodeCount = 0;
};
