#pragma once
// The shadow-volume geometry of a mesh in its object file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CMesh;

class CZKOShadowVolumeExporter final : public CZKExporter {
 public:
  CZKOShadowVolumeExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOShadowVolumeExporter") {}

  bool WriteShadowVolume(CMesh* mesh, FILE* stream, UINT& total);
  bool ReadShadowVolume(CMesh* mesh, CChunkReader& in);
};
