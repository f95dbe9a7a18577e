#pragma once
// What a mesh asks of the spatial subsystem: its bounding volume, its shadow-volume state, its
// collider and its scene's octree. The spatial subsystem implements it; start-up sets it as the
// context's mesh-spatial port. The default gives a mesh no bound volume, no shadow volume and no
// collider, and files it in no octree.
#include "ZeKorbD3DHeader.h"
#include "ZKDXInterface.h"

class CBone;
class CCollider;
class CCountedIndexBuffer;
class CMesh;
class CMeshShadowVolume;
class COctree;
class CScene;
class CEngineLog;

// What the shadow-volume geometry is built from: the mesh's own arrays and flags.
struct ShadowGeometrySource {
  const char* szName;  // the mesh's, for the log and the index buffer's owner
  CEngineLog* pLog;
  Face* pFaces;
  UINT dwFaceCount;
  Edge* pEdges;
  UINT dwEdgeCount;
  const Vertex* pVertices;
  UINT dwVertexCount;
  bool bBoned;   // the vertices move with bones
  bool bStatic;  // neither boned nor a morph: the static block can be built
};

// How building the shadow-volume geometry ended.
enum class ShadowGeometryBuild { kBuilt, kNoGeometry, kNoIndexBuffer };

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
  // Builds the shadow-volume geometry and hands it to the shadow volume with an index buffer
  // over its indices (CMesh::CreateShadowVolumeIndexBuffer, suffix "_shadow_volume_1"); the
  // counts of indices and dynamic vertices on success. kNoGeometry when the geometry cannot be
  // built (the builder logged why).
  virtual ShadowGeometryBuild BuildShadowVolumeGeometry(CMeshShadowVolume* shadowVolume,
                                                        CMesh* mesh,
                                                        const ShadowGeometrySource& source,
                                                        UINT* indexCount, UINT* vertexCount) = 0;

  // False when there is no collision manager to build with (the mesh then has no collider);
  // else true, with the new collider over the mesh's faces, or null when it could not be built.
  virtual bool CreateCollider(CMesh* mesh, void* rendererContext, CEngineLog* log,
                              CCollider** collider) = 0;
  virtual void ReleaseCollider(CCollider* collider) = 0;

  // The scene's octree, or null when it has none.
  virtual COctree* GetSceneOctree(CScene* scene) = 0;
  // Clears the cell's entry when it holds the mesh.
  virtual void RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) = 0;
  // Files the mesh in every leaf its transformed box overlaps; each cell is reported back
  // through CMesh::PlaceInOctree.
  virtual void InsertMeshIntoOctree(COctree* octree, CMesh* mesh) = 0;

  static CMeshSpatial& Default();

 protected:
  ~CMeshSpatial() = default;
};
