#pragma once
// Object files: the geometry, surfaces and flags of one mesh.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CMesh;

class CZKOMeshExporter final : public CZKExporter {
 public:
  CZKOMeshExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOMeshExporter") {}

  bool SaveObject(CMesh* mesh);
  bool LoadObject(CMesh* mesh, const char* path, UINT loadFlag);
  bool LoadObjectFromDirectory(CMesh* mesh, const char* directory, const char* name, UINT loadFlag);
};
