#include "spatial/BoundVolumeMesh.h"

#include "scene/Mesh.h"

Vertex* CBoundVolumeMesh::GetVertices() { return m_pMesh->GetVertices(); }
UINT CBoundVolumeMesh::GetNumberOfVertices() { return m_pMesh->GetNumberOfVertices(); }
bool CBoundVolumeMesh::IsBoned() { return m_pMesh->GetUseBones() == 1; }
UINT CBoundVolumeMesh::GetNumberOfBones() { return m_pMesh->GetNumberOfBones(); }
CBone* CBoundVolumeMesh::GetBone(UINT index) { return m_pMesh->GetBone(index); }
float CBoundVolumeMesh::GetMatrixFrame() { return m_pMesh->GetMatrixFrame(); }
CMatrix* CBoundVolumeMesh::GetMatrix(float frame) { return m_pMesh->GetMatrix(frame); }
CMatrix* CBoundVolumeMesh::GetCurrentMatrix() { return m_pMesh->GetCurrentMatrix(); }
CMeshInterface* CBoundVolumeMesh::GetMeshInterface() { return m_pMesh; }
