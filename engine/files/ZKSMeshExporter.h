#pragma once
// "MESH": a mesh's place in a scene file — name, motion, bones ("BONN"), parent link,
// morphing, pivot, dissolve envelope, visibility, shadow options and shader. Its geometry
// lies in its own object file, saved right after the chunk and loaded as soon as the name is
// read.
#include <cstdio>

#include "files/ZKExporter.h"

class CMesh;

class CZKSMeshExporter final : public CZKExporter {
 public:
  CZKSMeshExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSMeshExporter") {}

  bool WriteMesh(CMesh* mesh, FILE* stream, UINT& total);
  // After the "MESH" tag, into a new mesh that already belongs to its scene.
  bool ReadMesh(CMesh* mesh, CChunkReader& in, UINT loadFlag);

  bool WriteBones(CMesh* mesh, FILE* stream, UINT& total);
  // After the "BONN" tag: a new skeleton of the count read, each entry a "BONE" chunk.
  bool ReadBones(CMesh* mesh, CChunkReader& in);

 private:
  bool WriteMorph(CMesh* mesh, FILE* stream, UINT& total);
  bool ReadMorph(CMesh* mesh, CChunkReader& in);
  bool ReadName(CMesh* mesh, CChunkReader& in);
  bool ReadShader(CMesh* mesh, CChunkReader& in);

  UINT m_dwLoadFlag = 0;  // stored by each load and handed to the readers below it
};
