#pragma once
// "SURF": one surface of a mesh in its object file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CSurface;

class CZKOSurfaceExporter final : public CZKExporter {
 public:
  CZKOSurfaceExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOSurfaceExporter") {}

  bool WriteSURF(CSurface* surface, FILE* stream, UINT& total);
  bool ReadSURF(CSurface* surface, CChunkReader& in, const char* textureDirectory);
};
