#pragma once
// "BONE": one bone of a mesh's skeleton in a scene file: name, parent link, scale-by-length
// flag, falloff, active flag, strength, range, motion, rest length, rotation and position.
#include <cstdio>

#include "files/ZKExporter.h"

class CBone;

class CZKSBoneExporter final : public CZKExporter {
 public:
  CZKSBoneExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSBoneExporter") {}

  bool WriteBone(CBone* bone, FILE* stream, UINT& total);
  // After the "BONE" tag.
  bool ReadBone(CBone* bone, CChunkReader& in);
};
