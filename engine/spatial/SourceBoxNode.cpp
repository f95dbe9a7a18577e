#include "spatial/SourceBoxNode.h"

#include <utility>

#include "core/FatalError.h"
#include "spatial/BoxTreeBuilder.h"

bool CSourceBoxNode::BuildHierarchy(CBoxTreeBuilder& builder) {
  // Recurses on the first child and loops on the second, so the stack follows one branch.
  CSourceBoxNode* node = this;
  for (;;) {
    builder.ComputeGlobalBox(node->m_pPrimitives, node->m_dwPrimitiveCount, node->box);
    if (!node->Subdivide(builder)) return false;
    if (!node->HasChildren()) return true;
    if (!node->m_pChildren[0].BuildHierarchy(builder)) return false;
    node = &node->m_pChildren[1];
  }
}

const float* CSourceBoxNode::SplittingValues(CBoxTreeBuilder& builder, UINT axis) const {
  // A node built without the tree's room (a bare node in a test) gets room of its own.
  if (builder.splitValues.size() < m_dwPrimitiveCount) builder.splitValues.resize(m_dwPrimitiveCount);
  builder.GetTriangleSplittingValues(m_pPrimitives, m_dwPrimitiveCount, axis,
                                     builder.splitValues.data());
  return builder.splitValues.data();
}

UINT CSourceBoxNode::Partition(CBoxTreeBuilder& builder, UINT axis) {
  const float split = builder.GetSplittingValue(m_pPrimitives, m_dwPrimitiveCount, box, axis);
  const float* values = SplittingValues(builder, axis);
  // A swap only moves an entry already looked at to position i, so values[i] stays the value
  // of the entry at i when it is read.
  UINT front = 0;
  for (UINT i = 0; i < m_dwPrimitiveCount; ++i) {
    if (values[i] > split) std::swap(m_pPrimitives[i], m_pPrimitives[front++]);
  }
  return front;
}

bool CSourceBoxNode::Subdivide(CBoxTreeBuilder& builder) {
  const UINT n = m_dwPrimitiveCount;
  if (n == 1 || !builder.ValidateSubdivision(m_pPrimitives, n, *this)) return true;

  const UINT rules = builder.dwSplitRules;
  UINT firstCount = 0;
  if (rules & RULE_WIDEST_EXTENT) {
    UINT axis = 0;
    if (box.fExtents[1] > box.fExtents[axis]) axis = 1;
    if (box.fExtents[2] > box.fExtents[axis]) axis = 2;
    firstCount = Partition(builder, axis);
  } else if (rules & RULE_CENTROID_SPREAD) {
    float variance[3];
    for (UINT axis = 0; axis < 3; ++axis) {
      const float* values = SplittingValues(builder, axis);
      float sum = 0.0f;
      for (UINT i = 0; i < n; ++i) sum += values[i];
      const float mean = sum * (1.0f / static_cast<float>(n));
      float squares = 0.0f;
      for (UINT i = 0; i < n; ++i) {
        const float d = values[i] - mean;
        squares += d * d;
      }
      variance[axis] = squares * (1.0f / static_cast<float>(n - 1));
    }
    UINT axis = 0;
    if (variance[1] > variance[axis]) axis = 1;
    if (variance[2] > variance[axis]) axis = 2;
    firstCount = Partition(builder, axis);
  } else if (rules & RULE_EVEN_SPLIT) {
    float distance[3];
    for (UINT axis = 0; axis < 3; ++axis) {
      const float ratio = static_cast<float>(Partition(builder, axis)) / static_cast<float>(n);
      distance[axis] = (ratio - 0.5f) * (ratio - 0.5f);
    }
    UINT axis = 0;
    if (distance[1] < distance[axis]) axis = 1;
    if (distance[2] < distance[axis]) axis = 2;
    firstCount = Partition(builder, axis);
  } else if (rules & RULE_AXES_BY_EXTENT) {
    UINT axes[3] = {0, 1, 2};
    for (int pass = 0; pass < 3; ++pass)
      for (int j = 0; j < 2; ++j)
        if (box.fExtents[axes[j]] < box.fExtents[axes[j + 1]]) std::swap(axes[j], axes[j + 1]);
    firstCount = 0;
    for (UINT axis : axes) {
      const UINT count = Partition(builder, axis);
      if (count != 0 && count != n) {
        firstCount = count;
        break;
      }
    }
  } else if (rules & RULE_LIST_MIDDLE) {
    firstCount = n / 2;
  } else {
    return false;
  }

  if (firstCount == 0 || firstCount == n) {
    // No partition separates the run: with one triangle per leaf the tree must still split, so
    // the run is halved in the order the partition left it.
    if (builder.dwLeafLimit != 1) return true;
    ++builder.dwDegenerateSplits;
    firstCount = n / 2;
  }

  if (builder.pNodePool != nullptr) {
    m_pChildren = &builder.pNodePool[builder.dwNodesUsed - 1];
  } else {
    m_ownedChildren.reset(
        NewArrayOrFatal<CSourceBoxNode>(kNoMemoryTitle, "Can't Allocate Memory For Box Tree", 2));
    m_pChildren = m_ownedChildren.get();
  }
  builder.dwNodesUsed += 2;
  m_pChildren[0].SetPrimitives(m_pPrimitives, firstCount);
  m_pChildren[1].SetPrimitives(m_pPrimitives + firstCount, n - firstCount);
  return true;
}
