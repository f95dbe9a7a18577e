#pragma once
// The engine's mesh as its bound volume reads it.
#include "spatial/MeshBoundVolumeOwner.h"

class CMesh;
class CMeshBoundVolume;

class CBoundVolumeMesh final : public CMeshBoundVolumeOwner {
 public:
  CBoundVolumeMesh(CMesh* mesh, CEngineLog* log) : m_pMesh(mesh), m_pLog(log) {}

  // A new volume that reads `mesh`, its records not yet made.
  static CMeshBoundVolume* NewVolume(CMesh* mesh, CEngineLog* log);

  Vertex* GetVertices() override;
  UINT GetNumberOfVertices() override;
  bool IsBoned() override;
  UINT GetNumberOfBones() override;
  CBone* GetBone(UINT index) override;
  float GetMatrixFrame() override;
  CMatrix* GetMatrix(float frame) override;
  CMatrix* GetCurrentMatrix() override;
  CMeshInterface* GetMeshInterface() override;
  CEngineLog* GetLog() override { return m_pLog; }

 private:
  CMesh* m_pMesh;
  CEngineLog* m_pLog;
};
