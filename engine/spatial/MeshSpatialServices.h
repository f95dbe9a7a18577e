#pragma once
// The spatial subsystem's answer to what meshes ask of it: a bound volume calculated from the
// mesh's vertices, the shadow-volume holder, the release of shared colliders, and the filing of
// meshes in their scene's octree. Colliders are built with the collision manager it was given
// (none: meshes have no colliders).
#include "scene/MeshSpatial.h"

class CCollisionManager;
class CEngineLog;

class CMeshSpatialServices final : public CMeshSpatial {
 public:
  CMeshSpatialServices(CEngineLog* log, CCollisionManager* collisions)
      : m_pLog(log), m_pCollisions(collisions) {}

  CMeshBoundVolumeInterface* CreateBoundVolume(CMesh* mesh) override;
  void ReleaseBoundVolume(CMeshBoundVolumeInterface* volume) override;
  void TransformBoundVolume(CMeshBoundVolumeInterface* volume, const CMatrix& matrix) override;
  void DrawBone(CBone* bone, void* rendererContext, float frame,
                const CMatrix& meshMatrix) override;
  void DrawBoundVolume(CMeshBoundVolumeInterface* volume, void* rendererContext,
                       const CMatrix& matrix) override;

  CMeshShadowVolume* CreateShadowVolume(void* rendererContext, CMesh* mesh) override;
  void ReleaseShadowVolume(CMeshShadowVolume* shadowVolume) override;
  UINT HasShadowGeometry(CMeshShadowVolume* shadowVolume) override;
  Vertex* GetShadowVolumeBlock(CMeshShadowVolume* shadowVolume, UINT block,
                               UINT* count) override;
  void ResetShadowVolume(CMeshShadowVolume* shadowVolume) override;
  ShadowGeometryBuild BuildShadowVolumeGeometry(CMeshShadowVolume* shadowVolume, CMesh* mesh,
                                                const ShadowGeometrySource& source,
                                                UINT* indexCount, UINT* vertexCount) override;

  bool CreateCollider(CMesh* mesh, void* rendererContext, CEngineLog* log,
                      CCollider** collider) override;
  void ReleaseCollider(CCollider* collider) override;

  COctree* GetSceneOctree(CScene* scene) override;
  void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) override;
  void InsertMeshIntoOctree(COctree* octree, CMesh* mesh) override;

 private:
  CEngineLog* m_pLog;
  CCollisionManager* m_pCollisions;
};
