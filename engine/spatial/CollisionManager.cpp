#include "spatial/CollisionManager.h"

#include "core/EngineLog.h"
#include "spatial/Collider.h"

namespace {
const char kSource[] = "ZK3DCollisions";
}  // namespace

CCollisionManager::CCollisionManager(CD3D9RendererInterface* renderer, CEngineLog* log)
    : m_pRenderer(renderer), m_pLog(log) {}

UINT CCollisionManager::CheckCollision(CMeshInterface* first, CCollider* firstCollider,
                                       CMeshInterface* second, CCollider* secondCollider,
                                       UINT flags, UINT* numberOfPairs, TrianglePair** pairs) {
  if (first == nullptr || second == nullptr) return 0;
  if (first->GetVisibleByCollisions() == 0 || second->GetVisibleByCollisions() == 0) return 0;
  if ((flags & COLLISION_QUERY_PAIRS) == 0) {
    if (numberOfPairs) *numberOfPairs = 0;
    if (pairs) *pairs = nullptr;
    return 0;
  }

  const bool firstContact = (flags & COLLISION_QUERY_FIRST_CONTACT) != 0;
  m_collider.dwFlags = (m_collider.dwFlags & ~COLLIDER_FIRST_CONTACT) |
                       (firstContact ? COLLIDER_FIRST_CONTACT : 0u) | COLLIDER_TEMPORAL_COHERENCE;
  m_collider.bFullBoxBoxTest = true;
  m_collider.bFullTriangleBoxTest = true;

  const CCollisionModel* modelA = firstCollider ? &firstCollider->GetModel() : nullptr;
  const CCollisionModel* modelB = secondCollider ? &secondCollider->GetModel() : nullptr;
  // The cached pair belongs to the meshes that found it; another pair of meshes starts afresh.
  if (modelA != m_cache.pModel0 || modelB != m_cache.pModel1) {
    m_cache.dwId0 = 0;
    m_cache.dwId1 = 1;
  }
  m_cache.pModel0 = modelA;
  m_cache.pModel1 = modelB;

  const CMatrix worldB = *second->GetMatrix(second->GetFrame());
  const CMatrix worldA = *first->GetMatrix(first->GetFrame());
  if (!m_collider.Collide(&m_cache, &worldA, &worldB)) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR!!! - Can't Perform Collision Query Between: %s - %s\n", first->GetName(),
                  second->GetName());
    return 0;
  }
  if (!m_collider.ContactFound()) return 0;
  if (numberOfPairs) *numberOfPairs = m_collider.GetPairCount();
  if (pairs) *pairs = m_collider.GetPairs();
  return 1;
}
