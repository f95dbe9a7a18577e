#pragma once
// Answers which triangles of two collision models touch when each is placed by a world
// matrix: walks the two optimised trees side by side, prunes node pairs whose boxes are apart
// and tests the triangle pairs that remain. The touching pairs are kept in the collider's pair
// list, two entries per pair (model A's triangle, then model B's): the TrianglePair layout.
#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "spatial/BoxTreeNodes.h"
#include "spatial/CollisionTriangle.h"
#include "spatial/DwordList.h"
#include "spatial/RelativeTransform.h"
#include "spatial/TriangleCache.h"

class CCollisionMeshInterface;
class CCollisionModel;
class COptimizedBoxTree;

// Collider flags.
enum : UINT {
  COLLIDER_FIRST_CONTACT = 1,
  // Try the pair the last first-contact query found before walking (first contact only).
  COLLIDER_TEMPORAL_COHERENCE = 2,
  // Status of the last query.
  COLLIDER_CONTACT_FOUND = 4,
};

// What the caller keeps between queries: the pair found first by the last first-contact query,
// and the two models of the current query, A first.
struct CollisionCache {
  UINT dwId0 = 0;
  UINT dwId1 = 1;
  const CCollisionModel* pModel0 = nullptr;
  const CCollisionModel* pModel1 = nullptr;
};

class CTreeCollider {
 public:
  CTreeCollider() = default;
  CTreeCollider(const CTreeCollider&) = delete;
  CTreeCollider& operator=(const CTreeCollider&) = delete;

  // A message for settings that cannot work together, or null.
  const char* ValidateSettings() const;
  void ResetStatus() { dwFlags &= ~COLLIDER_CONTACT_FOUND; }

  // Runs one query; a null matrix stands for the identity. False, with the last answer left
  // alone, for a missing cache, model, source or tree, models of different layouts, or a
  // matrix that cannot be inverted.
  bool Collide(CollisionCache* cache, const CMatrix* worldA, const CMatrix* worldB);

  bool ContactFound() const { return (dwFlags & COLLIDER_CONTACT_FOUND) != 0; }
  UINT GetPairCount() const { return m_pairs.GetCount() / 2; }
  // The pair list read as pairs; valid until the next query.
  const TrianglePair* GetPairs() const {
    return reinterpret_cast<const TrianglePair*>(m_pairs.GetEntries());
  }
  TrianglePair* GetPairs() { return reinterpret_cast<TrianglePair*>(m_pairs.GetEntries()); }
  UINT GetBoxBoxTests() const { return m_dwBoxBoxTests; }
  UINT GetTriangleTriangleTests() const { return m_dwTriangleTriangleTests; }
  UINT GetTriangleBoxTests() const { return m_dwTriangleBoxTests; }

  // Settings, written by the owner before a query.
  UINT dwFlags = 0;
  bool bFullBoxBoxTest = true;
  bool bFullTriangleBoxTest = true;

 private:
  enum Side { kSideA, kSideB };

  void InitQuery(const RelativeTransform& transform);
  bool Done() const {
    return (dwFlags & (COLLIDER_FIRST_CONTACT | COLLIDER_CONTACT_FOUND)) ==
           (COLLIDER_FIRST_CONTACT | COLLIDER_CONTACT_FOUND);
  }
  void RecordPair(UINT triangleA, UINT triangleB);
  CollisionTriangleLanes FetchTriangle(const CCollisionMeshInterface* source, UINT triangle) const;
  CollisionTriangleLanes MovedBToA(const CollisionTriangleLanes& triangle) const;
  // A triangle of A, and one of B moved into A's space, fetched once a query.
  const CollisionTriangleLanes& TriangleOfA(UINT triangle);
  const CollisionTriangleLanes& TriangleOfBInA(UINT triangle);
  // Triangle a of A against triangle b of B, in A's space.
  void TestTrianglePair(UINT triangleA, UINT triangleB);
  // Inline: every step of every walk ends here.
  [[gnu::always_inline]] inline bool BoxesOverlap(const CollisionBoxLanes& a,
                                                  const CollisionBoxLanes& b);
  // Keeps `triangle` of the other side, moved into `side`'s space, for a walk over `side`.
  void StoreTriangle(Side side, UINT triangle);
  // The stored triangle against `triangle` of `side`, decided in A's space with A's triangle
  // first, exactly as TestTrianglePair decides it, so every layout gives the same pairs.
  void TestStoredTriangle(Side side, UINT triangle);
  // The stored triangle in the walked tree's space and its plane in A's, each worked out the
  // first time it is asked for: most carried leaves meet only one box, or only leaves.
  const CollisionTriangleLanes& StoredInWalkedSpace();
  const TrianglePlane& StoredPlaneInA();

  template <typename Record>
  void CollideLayout(const COptimizedBoxTree* treeA, const COptimizedBoxTree* treeB);
  template <typename Record>
  void CollideSingleTriangle(Side treeSide, const COptimizedBoxTree* tree);
  template <typename Record>
  void WalkLeafTrees(UINT a, UINT b);
  template <typename Record>
  void WalkNoLeafTrees(UINT a, UINT b);
  template <typename Record>
  void WalkTriangleAgainst(Side side, UINT record);
  template <typename Record>
  const Record& Node(Side side, UINT index) const {
    return static_cast<const Record*>(side == kSideA ? m_pNodesA : m_pNodesB)[index];
  }
  template <typename Record>
  CollisionBoxLanes Box(Side side, UINT index) const {
    return DecodeBoxLanes(Node<Record>(side, index),
                     side == kSideA ? m_dequantizationA : m_dequantizationB);
  }

  CDwordList m_pairs;
  const CCollisionMeshInterface* m_pSourceA = nullptr;
  const CCollisionMeshInterface* m_pSourceB = nullptr;
  UINT m_dwBoxBoxTests = 0;
  UINT m_dwTriangleTriangleTests = 0;
  UINT m_dwTriangleBoxTests = 0;
  RelativeTransform m_transform{};
  // The trees of the current query, as their layout's records.
  const void* m_pNodesA = nullptr;
  const void* m_pNodesB = nullptr;
  DequantizationLanes m_dequantizationA;
  DequantizationLanes m_dequantizationB;
  // The leaf triangle a triangle-against-subtree walk carries, in the walked tree's space.
  CollisionTriangleLanes m_storedTriangle{};
  // The same triangle in A's space, where every pair is decided, and its plane there.
  CollisionTriangleLanes m_storedInA{};
  TrianglePlane m_storedPlaneInA{};
  bool m_bStoredInWalkedSpace = false;
  bool m_bStoredPlaneInA = false;
  CTriangleCache m_trianglesOfA;
  CTriangleCache m_trianglesOfBInA;
  UINT m_dwStoredTriangleIndex = 0;
  // Which side's walk the stored triangle was made for; nothing is stored when a query starts.
  Side m_storedSide = kSideA;
  bool m_bTriangleStored = false;
};
