#include "spatial/BoundVolumeMesh.h"

#include <memory>

#include "core/FatalError.h"
#include "scene/Mesh.h"
#include "spatial/MeshBoundVolume.h"

CMeshBoundVolume* CBoundVolumeMesh::NewVolume(CMesh* mesh, CEngineLog* log) {
  constexpr char kText[] = "Can't Create Bound Volume For Mesh: %s";
  std::unique_ptr<CBoundVolumeMesh> owner(
      NewNamedOrFatal<CBoundVolumeMesh>(kNoMemoryTitle, kText, mesh->GetName(), mesh, log));
  return NewNamedOrFatal<CMeshBoundVolume>(kNoMemoryTitle, kText, mesh->GetName(),
                                           std::move(owner));
}

Vertex* CBoundVolumeMesh::GetVertices() { return m_pMesh->GetVertices(); }
UINT CBoundVolumeMesh::GetNumberOfVertices() { return m_pMesh->GetNumberOfVertices(); }
bool CBoundVolumeMesh::IsBoned() { return m_pMesh->GetUseBones() == 1; }
UINT CBoundVolumeMesh::GetNumberOfBones() { return m_pMesh->GetNumberOfBones(); }
CBone* CBoundVolumeMesh::GetBone(UINT index) { return m_pMesh->GetBone(index); }
float CBoundVolumeMesh::GetMatrixFrame() { return m_pMesh->GetMatrixFrame(); }
CMatrix* CBoundVolumeMesh::GetMatrix(float frame) { return m_pMesh->GetMatrix(frame); }
CMatrix* CBoundVolumeMesh::GetCurrentMatrix() { return m_pMesh->GetCurrentMatrix(); }
CMeshInterface* CBoundVolumeMesh::GetMeshInterface() { return m_pMesh; }
