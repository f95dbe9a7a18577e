#include "spatial/CollisionModel.h"

#include <new>

#include "spatial/BoxTree.h"
#include "spatial/NoLeafBoxTree.h"
#include "spatial/QuantizedBoxTree.h"
#include "spatial/QuantizedNoLeafBoxTree.h"
#include "spatial/TriangleTreeBuilder.h"

bool CCollisionModel::Build(const CollisionModelParams& params) {
  if (params.pMeshInterface == nullptr || !params.pMeshInterface->IsValid() ||
      params.dwLeafLimit != 1)
    return false;
  ReleaseTrees();
  // A single triangle keeps the layout flags too, so that it meets models of its layout.
  m_dwFlags = (params.bNoLeaf ? MODEL_NO_LEAF : 0u) | (params.bQuantized ? MODEL_QUANTIZED : 0u);
  m_dwDegenerateSplits = 0;
  m_pMeshInterface = params.pMeshInterface;

  if (m_pMeshInterface->dwNumberOfTriangles == 1) {
    m_dwFlags |= MODEL_SINGLE_TRIANGLE;
    return true;
  }

  m_sourceTree.reset(new (std::nothrow) CSourceBoxTree);
  if (!m_sourceTree) return false;
  CTriangleTreeBuilder builder(params.dwLeafLimit, params.dwSplitRules,
                               m_pMeshInterface->dwNumberOfTriangles, m_pMeshInterface);
  const bool sourceBuilt = m_sourceTree->Build(&builder);
  m_dwDegenerateSplits = builder.dwDegenerateSplits;
  if (!sourceBuilt) return false;
  if (!CreateTree(params.bNoLeaf, params.bQuantized)) return false;
  if (!m_tree->Build(m_sourceTree.get())) return false;
  if (!params.bKeepSourceTree) m_sourceTree.reset();
  return true;
}

UINT CCollisionModel::GetUsedBytes() const { return m_tree ? m_tree->GetUsedBytes() : 0; }

bool CCollisionModel::Refit() { return m_tree ? m_tree->Refit(m_pMeshInterface) : false; }

bool CCollisionModel::CreateTree(bool noLeaf, bool quantized) {
  m_tree.reset();
  m_dwFlags &= ~(MODEL_NO_LEAF | MODEL_QUANTIZED);
  if (noLeaf) m_dwFlags |= MODEL_NO_LEAF;
  if (quantized) m_dwFlags |= MODEL_QUANTIZED;
  if (noLeaf && quantized)
    m_tree.reset(new (std::nothrow) CQuantizedNoLeafBoxTree);
  else if (noLeaf)
    m_tree.reset(new (std::nothrow) CNoLeafBoxTree);
  else if (quantized)
    m_tree.reset(new (std::nothrow) CQuantizedBoxTree);
  else
    m_tree.reset(new (std::nothrow) CBoxTree);
  return m_tree != nullptr;
}

void CCollisionModel::ReleaseTrees() {
  m_sourceTree.reset();
  m_tree.reset();
}
