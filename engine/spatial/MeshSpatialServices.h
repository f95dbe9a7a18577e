#pragma once
// The spatial subsystem's answer to what meshes ask of it: a bound volume calculated from the
// mesh's vertices, the shadow-volume holder, the release of shared colliders, and the filing of
// meshes in their scene's octree.
#include "scene/MeshSpatial.h"

class CEngineLog;

class CMeshSpatialServices final : public CMeshSpatial {
 public:
  explicit CMeshSpatialServices(CEngineLog* log) : m_pLog(log) {}

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
  void SetShadowVolumeGeometry(CMeshShadowVolume* shadowVolume, CShadowVolumeGeometry& geometry,
                               CCountedIndexBuffer* indexBuffer) override;

  void ReleaseCollider(CCollider* collider) override;

  COctree* GetSceneOctree(CScene* scene) override;
  void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) override;
  void InsertMeshIntoOctree(COctree* octree, CMesh* mesh) override;

 private:
  CEngineLog* m_pLog;
};
