#include "spatial/MeshSpatialServices.h"

#include <memory>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Bone.h"
#include "spatial/BoundVolumeDrawing.h"
#include "spatial/BoundVolumeMesh.h"
#include "spatial/Collider.h"
#include "spatial/MeshBoundVolume.h"
#include "spatial/MeshShadowVolume.h"
#include "spatial/Octree.h"
#include "spatial/ShadowVolumeGeometry.h"
#include "scene/CountedIndexBuffer.h"

namespace {
// Every volume handed to meshes is one of ours.
CMeshBoundVolume* Ours(CMeshBoundVolumeInterface* volume) {
  return static_cast<CMeshBoundVolume*>(volume);
}
}  // namespace

CMeshBoundVolumeInterface* CMeshSpatialServices::CreateBoundVolume(CMesh* mesh) {
  if (mesh == nullptr) return nullptr;
  CMeshBoundVolume* volume = CBoundVolumeMesh::NewVolume(mesh, m_pLog);
  volume->Calculate();
  return volume;
}

void CMeshSpatialServices::ReleaseBoundVolume(CMeshBoundVolumeInterface* volume) {
  delete Ours(volume);
}

void CMeshSpatialServices::TransformBoundVolume(CMeshBoundVolumeInterface* volume,
                                                const CMatrix& matrix) {
  if (volume == nullptr) return;
  CMatrix world = matrix;
  Ours(volume)->TransformBox(&world);
}

void CMeshSpatialServices::DrawBoundVolume(CMeshBoundVolumeInterface* volume,
                                           void* rendererContext, const CMatrix& matrix) {
  if (volume == nullptr) return;
  CMatrix world = matrix;
  Ours(volume)->DrawFrameBox(static_cast<CD3D9RendererInterface*>(rendererContext), &world);
}

void CMeshSpatialServices::DrawBone(CBone* bone, void* rendererContext, float frame,
                                    const CMatrix& meshMatrix) {
  if (bone == nullptr) return;
  CBoundVolumeDrawing::DrawBone(static_cast<CD3D9RendererInterface*>(rendererContext), bone, frame,
                                meshMatrix, bone->GetRestLength());
}

CMeshShadowVolume* CMeshSpatialServices::CreateShadowVolume(void* /*rendererContext*/,
                                                            CMesh* mesh) {
  return NewOrFatal<CMeshShadowVolume>(
      kNoMemoryTitle, "Can't Allocate Memory For Shadow Volume Manager", mesh, m_pLog);
}

void CMeshSpatialServices::ReleaseShadowVolume(CMeshShadowVolume* shadowVolume) {
  if (shadowVolume == nullptr) return;
  shadowVolume->Release();
  delete shadowVolume;
}

UINT CMeshSpatialServices::HasShadowGeometry(CMeshShadowVolume* shadowVolume) {
  return shadowVolume != nullptr && shadowVolume->HasGeometry() ? 1 : 0;
}

Vertex* CMeshSpatialServices::GetShadowVolumeBlock(CMeshShadowVolume* shadowVolume, UINT block,
                                                   UINT* count) {
  UINT size = 0;
  Vertex* data = nullptr;
  if (shadowVolume != nullptr && block == 0) {
    data = shadowVolume->GetDynamicVertices();
    size = shadowVolume->GetNumberOfDynamicVertices();
  } else if (shadowVolume != nullptr && block == 1) {
    data = shadowVolume->GetStaticVertices();
    size = shadowVolume->GetNumberOfStaticVertices();
  }
  if (count != nullptr) *count = size;
  return data;
}

void CMeshSpatialServices::ResetShadowVolume(CMeshShadowVolume* shadowVolume) {
  if (shadowVolume != nullptr) shadowVolume->ResetLightFlags();
}

ShadowGeometryBuild CMeshSpatialServices::BuildShadowVolumeGeometry(
    CMeshShadowVolume* shadowVolume, CMesh* mesh, const ShadowGeometrySource& source,
    UINT* indexCount, UINT* vertexCount) {
  CShadowVolumeGeometry geometry(source.szName, source.pLog);
  CCountedIndexBuffer* indexBuffer = nullptr;
  const ShadowGeometryBuild built = geometry.BuildForMesh(mesh, source, &indexBuffer);
  if (built != ShadowGeometryBuild::kBuilt) return built;
  *indexCount = static_cast<UINT>(geometry.m_Indices.size());
  *vertexCount = static_cast<UINT>(geometry.m_DynamicVertices.size());
  if (shadowVolume != nullptr)
    shadowVolume->SetGeometry(geometry, indexBuffer);
  else
    indexBuffer->Release();  // nobody to take over the reference
  return built;
}

bool CMeshSpatialServices::CreateCollider(CMesh* mesh, void* rendererContext, CEngineLog* log,
                                          CCollider** collider) {
  *collider = nullptr;
  if (m_pCollisions == nullptr) return false;
  *collider = CCollider::Create(m_pCollisions, static_cast<CD3D9RendererInterface*>(rendererContext),
                                log, mesh);
  return true;
}

void CMeshSpatialServices::ReleaseCollider(CCollider* collider) {
  if (collider != nullptr) collider->Release();
}

COctree* CMeshSpatialServices::GetSceneOctree(CScene* scene) {
  return scene != nullptr ? scene->GetOctree() : nullptr;
}

void CMeshSpatialServices::RemoveMeshFromOctree(COctree* cell, UINT entry, CMesh* mesh) {
  if (cell != nullptr) cell->RemoveMesh(mesh, entry);
}

void CMeshSpatialServices::InsertMeshIntoOctree(COctree* octree, CMesh* mesh) {
  if (octree != nullptr && mesh != nullptr) octree->InsertMesh(mesh);
}
