#include "spatial/TreeCollider.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "ZKDXInterface.h"
#include "spatial/BoxTree.h"
#include "spatial/CollisionModel.h"
#include "spatial/NoLeafBoxTree.h"
#include "spatial/OverlapTests.h"
#include "spatial/QuantizedBoxTree.h"
#include "spatial/QuantizedNoLeafBoxTree.h"

namespace {

template <typename Record>
struct LayoutOf;
template <>
struct LayoutOf<BoxTreeNode> {
  using Tree = CBoxTree;
};
template <>
struct LayoutOf<NoLeafBoxNode> {
  using Tree = CNoLeafBoxTree;
};
template <>
struct LayoutOf<QuantizedBoxNode> {
  using Tree = CQuantizedBoxTree;
};
template <>
struct LayoutOf<QuantizedNoLeafBoxNode> {
  using Tree = CQuantizedNoLeafBoxTree;
};

template <typename Record>
DequantizationLanes DequantizationOf(const typename LayoutOf<Record>::Tree& tree) {
  if constexpr (std::is_same_v<Record, QuantizedBoxNode> ||
                std::is_same_v<Record, QuantizedNoLeafBoxNode>)
    return DequantizationLanes::From(tree.GetDequantization());
  else
    return DequantizationLanes();
}

// The largest stored extent decides which record of a quantized pair is descended.
UINT LargestStoredExtent(const QuantizedBoxNode& node) {
  return std::max({node.wExtents[0], node.wExtents[1], node.wExtents[2]});
}

// A box grown by a few units in the last place. A box kept as centre and half extents loses
// its faces' exact positions, and a triangle lying in a face (two meshes meeting along a ring)
// must not be cut off before the triangle test, which decides such contacts.
CollisionBoxLanes Padded(CollisionBoxLanes box) {
  const CollisionLanes absCenter = box.center < 0.0f ? -box.center : box.center;
  box.extents += (absCenter + box.extents) * 0x1p-20f;
  return box;
}

}  // namespace

const char* CTreeCollider::ValidateSettings() const {
  if ((dwFlags & COLLIDER_TEMPORAL_COHERENCE) && !(dwFlags & COLLIDER_FIRST_CONTACT))
    return "Temporal coherence only works with First contact mode!";
  return nullptr;
}

bool CTreeCollider::Collide(CollisionCache* cache, const CMatrix* worldA, const CMatrix* worldB) {
  if (cache == nullptr || cache->pModel0 == nullptr || cache->pModel1 == nullptr) return false;
  const CCollisionModel& modelA = *cache->pModel0;
  const CCollisionModel& modelB = *cache->pModel1;
  const CCollisionMeshInterface* sourceA = modelA.GetMeshInterface();
  const CCollisionMeshInterface* sourceB = modelB.GetMeshInterface();
  if (sourceA == nullptr || sourceB == nullptr) return false;
  const bool singleA = modelA.HasFlag(MODEL_SINGLE_TRIANGLE);
  const bool singleB = modelB.HasFlag(MODEL_SINGLE_TRIANGLE);
  if ((!singleA && modelA.GetTree() == nullptr) || (!singleB && modelB.GetTree() == nullptr))
    return false;
  // The layout that is walked: both trees must share it; a single triangle has no tree.
  const CCollisionModel& layoutModel = singleA ? modelB : modelA;
  const UINT layoutFlags = MODEL_NO_LEAF | MODEL_QUANTIZED;
  if (!singleA && !singleB &&
      (modelA.GetFlags() & layoutFlags) != (modelB.GetFlags() & layoutFlags))
    return false;
  RelativeTransform transform;
  if (!transform.Set(worldA, worldB)) return false;

  m_pSourceA = sourceA;
  m_pSourceB = sourceB;
  InitQuery(transform);

  if ((dwFlags & COLLIDER_TEMPORAL_COHERENCE) && (dwFlags & COLLIDER_FIRST_CONTACT) &&
      cache->dwId0 < sourceA->dwNumberOfTriangles && cache->dwId1 < sourceB->dwNumberOfTriangles) {
    TestTrianglePair(cache->dwId0, cache->dwId1);
    if (ContactFound()) return true;
  }

  const bool noLeaf = layoutModel.HasFlag(MODEL_NO_LEAF);
  const bool quantized = layoutModel.HasFlag(MODEL_QUANTIZED);
  if (singleA && singleB) {
    TestTrianglePair(0, 0);
  } else if (singleA || singleB) {
    const Side treeSide = singleA ? kSideB : kSideA;
    const COptimizedBoxTree* tree = layoutModel.GetTree();
    if (noLeaf && quantized)
      CollideSingleTriangle<QuantizedNoLeafBoxNode>(treeSide, tree);
    else if (noLeaf)
      CollideSingleTriangle<NoLeafBoxNode>(treeSide, tree);
    else if (quantized)
      CollideSingleTriangle<QuantizedBoxNode>(treeSide, tree);
    else
      CollideSingleTriangle<BoxTreeNode>(treeSide, tree);
  } else if (noLeaf && quantized) {
    CollideLayout<QuantizedNoLeafBoxNode>(modelA.GetTree(), modelB.GetTree());
  } else if (noLeaf) {
    CollideLayout<NoLeafBoxNode>(modelA.GetTree(), modelB.GetTree());
  } else if (quantized) {
    CollideLayout<QuantizedBoxNode>(modelA.GetTree(), modelB.GetTree());
  } else {
    CollideLayout<BoxTreeNode>(modelA.GetTree(), modelB.GetTree());
  }

  if (ContactFound() && m_pairs.GetCount() >= 2) {
    cache->dwId0 = m_pairs.GetEntries()[0];
    cache->dwId1 = m_pairs.GetEntries()[1];
  }
  return true;
}

void CTreeCollider::InitQuery(const RelativeTransform& transform) {
  ResetStatus();
  m_dwBoxBoxTests = 0;
  m_dwTriangleTriangleTests = 0;
  m_dwTriangleBoxTests = 0;
  m_pairs.Clear();
  m_transform = transform;
  m_bTriangleStored = false;
  m_trianglesOfA.Clear();
  m_trianglesOfBInA.Clear();
}

template <typename Record>
void CTreeCollider::CollideLayout(const COptimizedBoxTree* treeA, const COptimizedBoxTree* treeB) {
  using Tree = typename LayoutOf<Record>::Tree;
  const Tree& a = *static_cast<const Tree*>(treeA);
  const Tree& b = *static_cast<const Tree*>(treeB);
  if (a.GetNodeCount() == 0 || b.GetNodeCount() == 0) return;
  m_pNodesA = a.GetNodes();
  m_pNodesB = b.GetNodes();
  m_dequantizationA = DequantizationOf<Record>(a);
  m_dequantizationB = DequantizationOf<Record>(b);
  if constexpr (LeafRecordLayout<Record>)
    WalkLeafTrees<Record>(0, 0);
  else
    WalkNoLeafTrees<Record>(0, 0);
}

template <typename Record>
void CTreeCollider::CollideSingleTriangle(Side treeSide, const COptimizedBoxTree* tree) {
  using Tree = typename LayoutOf<Record>::Tree;
  const Tree& walked = *static_cast<const Tree*>(tree);
  if (walked.GetNodeCount() == 0) return;
  const DequantizationLanes dequantization = DequantizationOf<Record>(walked);
  if (treeSide == kSideA) {
    m_pNodesA = walked.GetNodes();
    m_dequantizationA = dequantization;
  } else {
    m_pNodesB = walked.GetNodes();
    m_dequantizationB = dequantization;
  }
  StoreTriangle(treeSide, 0);
  WalkTriangleAgainst<Record>(treeSide, 0);
}

void CTreeCollider::RecordPair(UINT triangleA, UINT triangleB) {
  // Both entries or neither, so that the list always reads as whole pairs.
  if (m_pairs.GetCapacity() - m_pairs.GetCount() < 2 && !m_pairs.Resize(2)) {
    dwFlags |= COLLIDER_CONTACT_FOUND;
    return;
  }
  m_pairs.Add(triangleA);
  m_pairs.Add(triangleB);
  dwFlags |= COLLIDER_CONTACT_FOUND;
}

CollisionTriangleLanes CTreeCollider::FetchTriangle(const CCollisionMeshInterface* source,
                                                    UINT triangle) const {
  TriangleVertices corners{};
  source->fpCallback(triangle, corners, source->pUserData);
  return CollisionTriangleLanes::From(corners.pVertex[0], corners.pVertex[1], corners.pVertex[2]);
}

CollisionTriangleLanes CTreeCollider::MovedBToA(const CollisionTriangleLanes& triangle) const {
  return {{m_transform.BToA(triangle.corner[0]), m_transform.BToA(triangle.corner[1]),
           m_transform.BToA(triangle.corner[2])}};
}

const CollisionTriangleLanes& CTreeCollider::TriangleOfA(UINT triangle) {
  return m_trianglesOfA.Get(triangle, [&] { return FetchTriangle(m_pSourceA, triangle); });
}

const CollisionTriangleLanes& CTreeCollider::TriangleOfBInA(UINT triangle) {
  return m_trianglesOfBInA.Get(triangle,
                               [&] { return MovedBToA(FetchTriangle(m_pSourceB, triangle)); });
}

void CTreeCollider::TestTrianglePair(UINT triangleA, UINT triangleB) {
  const CollisionTriangleLanes& a = TriangleOfA(triangleA);
  const CollisionTriangleLanes& moved = TriangleOfBInA(triangleB);
  ++m_dwTriangleTriangleTests;
  if (TriangleTriangleOverlap(a, TrianglePlane::Of(a), moved, nullptr))
    RecordPair(triangleA, triangleB);
}

inline bool CTreeCollider::BoxesOverlap(const CollisionBoxLanes& a, const CollisionBoxLanes& b) {
  ++m_dwBoxBoxTests;
  return BoxBoxOverlap(m_transform, a, b, bFullBoxBoxTest || m_dwBoxBoxTests == 1);
}

void CTreeCollider::StoreTriangle(Side side, UINT triangle) {
  // A walk often carries the same leaf into several subtrees in a row.
  if (m_bTriangleStored && m_storedSide == side && m_dwStoredTriangleIndex == triangle) return;
  m_bTriangleStored = true;
  m_storedSide = side;
  // The stored triangle belongs to the side that is not walked; every pair is decided in A's
  // space, where a triangle of B is already the walked tree's.
  if (side == kSideA) {
    m_storedInA = TriangleOfBInA(triangle);
    m_storedTriangle = m_storedInA;
    m_bStoredInWalkedSpace = true;
  } else {
    m_storedInA = TriangleOfA(triangle);
    m_bStoredInWalkedSpace = false;
  }
  m_bStoredPlaneInA = false;
  m_dwStoredTriangleIndex = triangle;
}

const CollisionTriangleLanes& CTreeCollider::StoredInWalkedSpace() {
  if (!m_bStoredInWalkedSpace) {
    // Only a triangle of A waits here: it is walked against B.
    for (int i = 0; i < 3; ++i)
      m_storedTriangle.corner[i] = m_transform.AToB(m_storedInA.corner[i]);
    m_bStoredInWalkedSpace = true;
  }
  return m_storedTriangle;
}

const TrianglePlane& CTreeCollider::StoredPlaneInA() {
  if (!m_bStoredPlaneInA) {
    m_storedPlaneInA = TrianglePlane::Of(m_storedInA);
    m_bStoredPlaneInA = true;
  }
  return m_storedPlaneInA;
}

void CTreeCollider::TestStoredTriangle(Side side, UINT triangle) {
  ++m_dwTriangleTriangleTests;
  // The triangle test is not symmetric on touching triangles, nor exact across a round trip
  // between the spaces: the same order and the same space as TestTrianglePair.
  if (side == kSideA) {
    const CollisionTriangleLanes& corners = TriangleOfA(triangle);
    if (TriangleTriangleOverlap(corners, TrianglePlane::Of(corners), m_storedInA,
                                &StoredPlaneInA()))
      RecordPair(triangle, m_dwStoredTriangleIndex);
    return;
  }
  if (TriangleTriangleOverlap(m_storedInA, StoredPlaneInA(), TriangleOfBInA(triangle), nullptr))
    RecordPair(m_dwStoredTriangleIndex, triangle);
}

template <typename Record>
void CTreeCollider::WalkLeafTrees(UINT a, UINT b) {
  // Recurses on every pair but the last, which the loop continues with.
  for (;;) {
    if (!BoxesOverlap(Box<Record>(kSideA, a), Box<Record>(kSideB, b))) return;
    const Record& nodeA = Node<Record>(kSideA, a);
    const Record& nodeB = Node<Record>(kSideB, b);
    const bool leafA = nodeA.IsLeaf();
    const bool leafB = nodeB.IsLeaf();
    if (leafA && leafB) {
      TestTrianglePair(LinkTriangle(nodeA.dwLink), LinkTriangle(nodeB.dwLink));
      return;
    }
    const UINT firstA = LinkRecord(nodeA.dwLink);
    const UINT firstB = LinkRecord(nodeB.dwLink);

    bool descendB;
    if constexpr (std::is_same_v<Record, QuantizedBoxNode>)
      descendB = leafA || (!leafB && LargestStoredExtent(nodeA) <= LargestStoredExtent(nodeB));
    else
      descendB = !leafB;
    const bool descendA = !leafA && !(std::is_same_v<Record, QuantizedBoxNode> && descendB);

    if (descendA && descendB) {
      WalkLeafTrees<Record>(firstA + 1, firstB + 1);
      if (Done()) return;
      WalkLeafTrees<Record>(firstA + 1, firstB);
      if (Done()) return;
      WalkLeafTrees<Record>(firstA, firstB + 1);
      if (Done()) return;
      a = firstA;
      b = firstB;
    } else if (descendB) {
      WalkLeafTrees<Record>(a, firstB + 1);
      if (Done()) return;
      b = firstB;
    } else {
      WalkLeafTrees<Record>(firstA + 1, b);
      if (Done()) return;
      a = firstA;
    }
  }
}

template <typename Record>
void CTreeCollider::WalkNoLeafTrees(UINT a, UINT b) {
  // Recurses on every pair of records but the last, which the loop continues with.
  for (;;) {
    if (!BoxesOverlap(Box<Record>(kSideA, a), Box<Record>(kSideB, b))) return;
    const Record& nodeA = Node<Record>(kSideA, a);
    const Record& nodeB = Node<Record>(kSideB, b);
    const UINT linksA[2] = {nodeA.dwPositiveLink, nodeA.dwNegativeLink};
    const UINT linksB[2] = {nodeB.dwPositiveLink, nodeB.dwNegativeLink};
    for (int i = 0; i < 2; ++i) {
      const UINT linkA = linksA[i];
      // A leaf of A is carried into B's space once for both of B's links.
      if (IsLeafLink(linkA)) StoreTriangle(kSideB, LinkTriangle(linkA));
      for (int j = 0; j < 2; ++j) {
        const UINT linkB = linksB[j];
        if (IsLeafLink(linkA) && IsLeafLink(linkB)) {
          TestStoredTriangle(kSideB, LinkTriangle(linkB));
        } else if (IsLeafLink(linkA)) {
          WalkTriangleAgainst<Record>(kSideB, LinkRecord(linkB));
        } else if (IsLeafLink(linkB)) {
          StoreTriangle(kSideA, LinkTriangle(linkB));
          WalkTriangleAgainst<Record>(kSideA, LinkRecord(linkA));
        } else if (i == 1 && j == 1) {
          break;
        } else {
          WalkNoLeafTrees<Record>(LinkRecord(linkA), LinkRecord(linkB));
        }
        if (Done()) return;
      }
    }
    // Here only when the last pair is two records.
    if (IsLeafLink(linksA[1]) || IsLeafLink(linksB[1])) return;
    a = LinkRecord(linksA[1]);
    b = LinkRecord(linksB[1]);
  }
}

template <typename Record>
void CTreeCollider::WalkTriangleAgainst(Side side, UINT record) {
  for (;;) {
    ++m_dwTriangleBoxTests;
    if (!TriangleBoxOverlap(StoredInWalkedSpace(), Padded(Box<Record>(side, record)),
                            bFullTriangleBoxTest))
      return;
    const Record& node = Node<Record>(side, record);
    UINT links[2];
    if constexpr (LeafRecordLayout<Record>) {
      if (node.IsLeaf()) {
        TestStoredTriangle(side, LinkTriangle(node.dwLink));
        return;
      }
      links[0] = RecordLink(LinkRecord(node.dwLink));
      links[1] = RecordLink(LinkRecord(node.dwLink) + 1);
    } else {
      links[0] = node.dwPositiveLink;
      links[1] = node.dwNegativeLink;
    }
    if (IsLeafLink(links[0]))
      TestStoredTriangle(side, LinkTriangle(links[0]));
    else
      WalkTriangleAgainst<Record>(side, LinkRecord(links[0]));
    if (Done()) return;
    if (IsLeafLink(links[1])) {
      TestStoredTriangle(side, LinkTriangle(links[1]));
      return;
    }
    record = LinkRecord(links[1]);
  }
}
