#pragma once
// "MESH": a mesh's place in a scene file; its geometry lies in its own object file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CMesh;

class CZKSMeshExporter final : public CZKExporter {
 public:
  CZKSMeshExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSMeshExporter") {}

  bool WriteMesh(CMesh* mesh, FILE* stream, UINT& total);
  bool ReadMesh(CMesh* mesh, CChunkReader& in, UINT loadFlag);

 private:
  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
