#include "spatial/CollisionModel.h"

#include "core/FatalError.h"
#include "spatial/BoxTree.h"
#include "spatial/NoLeafBoxTree.h"
#include "spatial/QuantizedBoxTree.h"
#include "spatial/QuantizedNoLeafBoxTree.h"
#include "spatial/TriangleTreeBuilder.h"

namespace {
const char kNoTree[] = "Can't Allocate Memory For Box Tree";
}  // namespace

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

  m_sourceTree.reset(NewOrFatal<CSourceBoxTree>(kNoMemoryTitle, kNoTree));
  CTriangleTreeBuilder builder(params.dwLeafLimit, params.dwSplitRules,
                               m_pMeshInterface->dwNumberOfTriangles, m_pMeshInterface);
  const bool sourceBuilt = m_sourceTree->Build(&builder);
  m_dwDegenerateSplits = builder.dwDegenerateSplits;
  if (!sourceBuilt) return false;
  CreateTree(params.bNoLeaf, params.bQuantized);
  if (!m_tree->Build(m_sourceTree.get())) return false;
  if (!params.bKeepSourceTree) m_sourceTree.reset();
  return true;
}

UINT CCollisionModel::GetUsedBytes() const { return m_tree ? m_tree->GetUsedBytes() : 0; }

bool CCollisionModel::Refit() { return m_tree ? m_tree->Refit(m_pMeshInterface) : false; }

void CCollisionModel::CreateTree(bool noLeaf, bool quantized) {
  m_tree.reset();
  m_dwFlags &= ~(MODEL_NO_LEAF | MODEL_QUANTIZED);
  if (noLeaf) m_dwFlags |= MODEL_NO_LEAF;
  if (quantized) m_dwFlags |= MODEL_QUANTIZED;
  if (noLeaf && quantized)
    m_tree.reset(NewOrFatal<CQuantizedNoLeafBoxTree>(kNoMemoryTitle, kNoTree));
  else if (noLeaf)
    m_tree.reset(NewOrFatal<CNoLeafBoxTree>(kNoMemoryTitle, kNoTree));
  else if (quantized)
    m_tree.reset(NewOrFatal<CQuantizedBoxTree>(kNoMemoryTitle, kNoTree));
  else
    m_tree.reset(NewOrFatal<CBoxTree>(kNoMemoryTitle, kNoTree));
}

void CCollisionModel::ReleaseTrees() {
  m_sourceTree.reset();
  m_tree.reset();
}
