#pragma once
// "BONE": one bone of a mesh in a scene file.
// The engine cannot build these objects yet: every operation logs that it is not available
// and fails, so a save or load that needs it stops with a clear error.
#include <cstdio>

#include "ZKExporter.h"

class CBone;

class CZKSBoneExporter final : public CZKExporter {
 public:
  CZKSBoneExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSBoneExporter") {}

  bool WriteBone(CBone* bone, FILE* stream, UINT& total);
  bool ReadBone(CBone* bone, CChunkReader& in);
};
