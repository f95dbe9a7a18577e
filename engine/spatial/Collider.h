#pragma once
// The collision model of one mesh, built over its faces, shared by the mesh's clones through a
// reference count. Queries go through the engine's one collision manager.
#include "ZKDXInterface.h"
#include "ZKDXRecords.h"
#include "spatial/CollisionModel.h"

class CCollisionManager;
class CD3D9RendererInterface;
class CEngineLog;

class CCollider {
 public:
  // Builds the collider of `mesh` with a reference count of 1. Null when the model cannot be
  // built (no faces, no vertices, or a face using a vertex the mesh lacks): the collider is
  // then released at once, so a failed build holds nothing.
  static CCollider* Create(CCollisionManager* manager, CD3D9RendererInterface* rendererContext,
                           CEngineLog* log, CMeshInterface* mesh);

  void AddRef() { ++m_dwReferenceCount; }
  // Frees the collider, its triangle source and its trees with the last reference.
  void Release();
  UINT GetReferenceCount() const { return m_dwReferenceCount; }

  // The touching (own face, other face) pairs against `other`, placed by both meshes' matrices
  // at their frames; see CCollisionManager::CheckCollision.
  UINT CheckCollisionWith(CMeshInterface* other, CCollider* otherCollider, UINT flags,
                          UINT* numberOfPairs, TrianglePair** pairs);

  const CCollisionModel& GetModel() const { return m_model; }
  CMeshInterface* GetMesh() const { return m_pMesh; }
  // The mesh whose faces, matrix and name the collider reads. Clones share one collider over
  // equal faces; each binds it to itself before using it, so none reads a mesh already freed.
  void SetMesh(CMeshInterface* mesh) {
    if (mesh != nullptr) m_pMesh = mesh;
  }

  // The triangle source's callback: the positions of a face's three vertices.
  static void GetTriangleVertices(UINT triangle, TriangleVertices& out, void* userData);

 private:
  // Made only by Create, through the one allocation helper.
  template <typename T, typename... Args>
  friend T* NewNamedOrFatal(const char* title, const char* format, const char* name, Args&&... args);
  CCollider(CCollisionManager* manager, CD3D9RendererInterface* rendererContext, CEngineLog* log,
            CMeshInterface* mesh, UINT* built);
  ~CCollider();
  CCollider(const CCollider&) = delete;
  CCollider& operator=(const CCollider&) = delete;

  bool FacesUseExistingVertices() const;

  CD3D9RendererInterface* m_pRendererContext;
  CEngineLog* m_pLog;
  CCollisionManager* m_pManager;
  CMeshInterface* m_pMesh;
  CCollisionModel m_model;
  CollisionModelParams m_params;
  UINT m_dwReferenceCount = 0;
};
