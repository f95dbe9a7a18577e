#include "spatial/NoLeafBoxTree.h"

#include "ZKDXInterface.h"
#include "spatial/SourceBoxTree.h"
#include "spatial/TreeFlattening.h"

bool CNoLeafBoxTree::Build(const CSourceBoxTree* source) {
  if (source == nullptr || !source->IsComplete()) return false;
  // A single triangle has no inner node to keep.
  if (source->GetNodeCount() < 3) return false;
  if (!AllocateNodes(source->GetNodeCount() / 2, true)) return false;
  FlattenWithoutLeaves(*source, m_nodes.get());
  return true;
}

bool CNoLeafBoxTree::Refit(const CCollisionMeshInterface* source) {
  if (source == nullptr || source->fpCallback == nullptr) return false;
  // Children always lie after their parent, so one backward pass goes bottom up.
  for (UINT i = m_dwNodeCount; i-- > 0;) {
    NoLeafBoxNode& node = m_nodes[i];
    CollisionBounds bounds;
    for (const UINT link : {node.dwPositiveLink, node.dwNegativeLink}) {
      if (IsLeafLink(link)) {
        TriangleVertices corners{};
        source->fpCallback(LinkTriangle(link), corners, source->pUserData);
        for (const float* corner : corners.pVertex) bounds.Add(corner);
      } else {
        float min[3], max[3];
        m_nodes[LinkRecord(link)].box.GetMin(min);
        m_nodes[LinkRecord(link)].box.GetMax(max);
        bounds.Add(min, max);
      }
    }
    node.box = bounds.ToBox();
  }
  return true;
}
