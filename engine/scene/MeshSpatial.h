#pragma once
// What a mesh asks of the spatial subsystem: its bounding volume, its shadow-volume state, its
// collider and its scene's octree. The spatial subsystem implements it and registers itself
// with CMesh::SetSpatial at Init; until then a mesh has no bound volume, no shadow volume and
// is filed in no octree.
#include "ZeKorbD3DHeader.h"
#include "ZKDXInterface.h"

class CBone;
class CCollider;
class CCountedIndexBuffer;
class CMesh;
class CMeshShadowVolume;
class COctree;
class CScene;
class CShadowVolumeGeometry;

class CMeshSpatial {
 public:
  // A new bound volume calculated from the mesh's vertices, or null.
  virtual CMeshBoundVolumeInterface* CreateBoundVolume(CMesh* mesh) = 0;
  virtual void ReleaseBoundVolume(CMeshBoundVolumeInterface* volume) = 0;
  // Transforms the volume's corner points by the matrix (the mesh's world matrix).
  virtual void TransformBoundVolume(CMeshBoundVolumeInterface* volume, const CMatrix& matrix) = 0;
  virtual void DrawBoundVolume(CMeshBoundVolumeInterface* volume, void* rendererContext,
                               const CMatrix& matrix) = 0;
  // One bone of the mesh at the frame, placed by its own matrices and then the mesh's world
  // matrix.
  virtual void DrawBone(CBone* bone, void* rendererContext, float frame,
                        const CMatrix& meshMatrix) = 0;

  // The mesh's shadow-volume state, or null.
  virtual CMeshShadowVolume* CreateShadowVolume(void* rendererContext, CMesh* mesh) = 0;
  virtual void ReleaseShadowVolume(CMeshShadowVolume* shadowVolume) = 0;
  virtual UINT HasShadowGeometry(CMeshShadowVolume* shadowVolume) = 0;
  // Block 0 is the dynamic geometry, block 1 the static; a block that is missing gives null.
  virtual Vertex* GetShadowVolumeBlock(CMeshShadowVolume* shadowVolume, UINT block,
                                       UINT* count) = 0;
  // The per-frame reset: ages the per-light flags (CMeshShadowVolume::ResetLightFlags).
  virtual void ResetShadowVolume(CMeshShadowVolume* shadowVolume) = 0;
  // Hands the built geometry to the shadow volume, which takes over its arrays and the index
  // buffer's reference.
  virtual void SetShadowVolumeGeometry(CMeshShadowVolume* shadowVolume,
                                       CShadowVolumeGeometry& geometry,
                                       CCountedIndexBuffer* indexBuffer) = 0;

  virtual void ReleaseCollider(CCollider* collider) = 0;

  // The scene's octree, or null when it has none.
  virtual COctree* GetSceneOctree(CScene* scene) = 0;
  // Clears the cell's entry when it holds the mesh.
  virtual void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) = 0;
  // Files the mesh in every leaf its transformed box overlaps; each cell is reported back
  // through CMesh::PlaceInOctree.
  virtual void InsertMeshIntoOctree(COctree* octree, CMesh* mesh) = 0;

 protected:
  ~CMeshSpatial() = default;
};
