#pragma once
// The collision library's view of one triangle mesh: its triangle source and the optimised box
// tree over its triangles that the tree collider walks.
#include <memory>

#include "ZKDXInterface.h"
#include "spatial/OptimizedBoxTree.h"
#include "spatial/SourceBoxTree.h"

// Model flags.
enum : UINT {
  MODEL_QUANTIZED = 1,
  MODEL_NO_LEAF = 2,
  // One triangle: the model has no tree, and the collider tests the triangle itself.
  MODEL_SINGLE_TRIANGLE = 4,
};

struct CollisionModelParams {
  CCollisionMeshInterface* pMeshInterface = nullptr;
  UINT dwLeafLimit = 1;
  UINT dwSplitRules = 34;
  bool bNoLeaf = true;
  bool bQuantized = true;
  bool bKeepSourceTree = false;
};

class CCollisionModel {
 public:
  CCollisionModel() = default;
  virtual ~CCollisionModel() = default;
  CCollisionModel(const CCollisionModel&) = delete;
  CCollisionModel& operator=(const CCollisionModel&) = delete;

  // Builds the source tree and flattens it into the layout the parameters ask for. False for
  // a missing or invalid source or a leaf limit other than 1 (only complete trees flatten).
  virtual bool Build(const CollisionModelParams& params);
  // The optimised tree's node bytes; 0 without a tree.
  virtual UINT GetUsedBytes() const;
  // Recomputes the boxes from the source's current corners (the no-leaf float layout only).
  virtual bool Refit();

  // Replaces the optimised tree by an empty one of the layout the two flags choose.
  void CreateTree(bool noLeaf, bool quantized);
  void ReleaseTrees();

  UINT GetFlags() const { return m_dwFlags; }
  bool HasFlag(UINT flag) const { return (m_dwFlags & flag) != 0; }
  const CCollisionMeshInterface* GetMeshInterface() const { return m_pMeshInterface; }
  const CSourceBoxTree* GetSourceTree() const { return m_sourceTree.get(); }
  const COptimizedBoxTree* GetTree() const { return m_tree.get(); }
  // Degenerate splits of the last tree build.
  UINT GetDegenerateSplits() const { return m_dwDegenerateSplits; }

 private:
  const CCollisionMeshInterface* m_pMeshInterface = nullptr;
  UINT m_dwFlags = 0;
  std::unique_ptr<CSourceBoxTree> m_sourceTree;
  std::unique_ptr<COptimizedBoxTree> m_tree;
  UINT m_dwDegenerateSplits = 0;
};
