#pragma once
// The engine's one answerer of mesh-against-mesh triangle queries. Its tree collider, cache and
// pair list are shared by every pair of meshes, so one query's answer lasts until the next.
#include "ZKDXInterface.h"
#include "ZKDXRecords.h"
#include "spatial/TreeCollider.h"

class CCollider;
class CD3D9RendererInterface;
class CEngineLog;

// Query flags of CheckCollision; other bits are ignored.
enum : UINT {
  COLLISION_QUERY_PAIRS = 3,            // either bit: pairs are wanted; neither: no test
  COLLISION_QUERY_FIRST_CONTACT = 128,  // stop at the first touching pair
};

class CCollisionManager {
 public:
  CCollisionManager(CD3D9RendererInterface* renderer, CEngineLog* log);
  CCollisionManager(const CCollisionManager&) = delete;
  CCollisionManager& operator=(const CCollisionManager&) = delete;

  // 1 when the two meshes' triangles touch, each placed by its matrix at its own frame; then
  // *numberOfPairs holds the pair count and *pairs the first pair (dwIdOne a face of `first`),
  // valid until the next query. 0 otherwise: without pair bits in `flags` both out-values are
  // cleared; for a mesh not visible by collisions or a mesh without a collider they are left
  // alone. Null out-pointers are skipped.
  UINT CheckCollision(CMeshInterface* first, CCollider* firstCollider, CMeshInterface* second,
                      CCollider* secondCollider, UINT flags, UINT* numberOfPairs,
                      TrianglePair** pairs);

  const CTreeCollider& GetTreeCollider() const { return m_collider; }
  const CollisionCache& GetCache() const { return m_cache; }

 private:
  CD3D9RendererInterface* m_pRenderer;
  CEngineLog* m_pLog;
  CTreeCollider m_collider;
  CollisionCache m_cache;
};
