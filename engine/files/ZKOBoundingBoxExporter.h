#pragma once
// "BBOX": the bounding volume of a mesh in its object file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CMesh;

class CZKOBoundingBoxExporter final : public CZKExporter {
 public:
  CZKOBoundingBoxExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOBoundingBoxExporter") {}

  bool WriteBoundingBox(CMesh* mesh, FILE* stream, UINT& total);
  bool ReadBoundingBox(CMesh* mesh, CChunkReader& in);
};
