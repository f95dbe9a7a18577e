#include "spatial/NoLeafBoxTree.h"

#include "ZKDXInterface.h"
#include "spatial/TreeFlattening.h"

bool CNoLeafBoxTree::Build(const CSourceBoxTree* source) {
  // n - 1 records; a single triangle has none.
  return BuildFlat(source, source ? source->GetNodeCount() / 2 : 0, &FlattenWithoutLeaves);
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
