#pragma once
// What a mesh bound volume reads of its mesh. The engine's mesh answers through
// CBoundVolumeMesh; tests answer with their own meshes.
#include "ZKDXInterface.h"

class CBone;
class CEngineLog;

class CMeshBoundVolumeOwner {
 public:
  virtual ~CMeshBoundVolumeOwner() = default;

  virtual Vertex* GetVertices() = 0;
  virtual UINT GetNumberOfVertices() = 0;
  // Whether the mesh is deformed by its bones.
  virtual bool IsBoned() = 0;
  virtual UINT GetNumberOfBones() = 0;
  // Null for an index at or above the bone count.
  virtual CBone* GetBone(UINT index) = 0;
  // The frame of the mesh's last matrix pass; it picks the current box record.
  virtual float GetMatrixFrame() = 0;
  // The world matrix at a frame, bringing the hierarchy up to it.
  virtual CMatrix* GetMatrix(float frame) = 0;
  // The world matrix as it stands, without re-evaluation.
  virtual CMatrix* GetCurrentMatrix() = 0;
  virtual CMeshInterface* GetMeshInterface() = 0;
  // May be null.
  virtual CEngineLog* GetLog() = 0;
};
