#pragma once
// The shadow-volume geometry of a mesh in its object file: the "SWVL" container with the
// dynamic vertices ("DSVV"), their indices ("DSVI") and the static vertices ("SSVV"), each
// present only when the mesh has it, and the older top-level pairs "SVVN"+"SVVR" (dynamic
// vertices) and "SVIN"+"SVIX" (their indices), read but no longer written.
//
// What is read is collected for the whole file and handed to the mesh's shadow volume at the
// end of the load, so the older pairs may come in either order and a failed load leaves no
// index buffer behind.
#include <cstdio>
#include <vector>

#include "files/ZKExporter.h"

class CMesh;

class CZKOShadowVolumeExporter final : public CZKExporter {
 public:
  struct Loaded {
    bool bPresent = false;
    std::vector<Vertex> DynamicVertices;
    std::vector<WORD> Indices;
    std::vector<Vertex> StaticVertices;
    // The index buffer's owner name is the mesh's name with this added.
    const char* szOwnerSuffix = "_shadow_volume_1";
  };

  CZKOShadowVolumeExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOShadowVolumeExporter") {}

  bool WriteShadowVolume(CMesh* mesh, FILE* stream, UINT& total);
  // After the "SWVL" tag; the sub-chunks may come in any order and any may be missing.
  bool ReadShadowVolume(CMesh* mesh, CChunkReader& in, Loaded& loaded);
  // After the "SVVN" and the "SVIN" tag.
  bool ReadOlderVertices(CMesh* mesh, CChunkReader& in, Loaded& loaded);
  bool ReadOlderIndices(CMesh* mesh, CChunkReader& in, Loaded& loaded);
  // Gives what was read to the mesh's shadow volume, with an index buffer made over the
  // indices. Nothing to do when the file had no shadow volume.
  bool Apply(CMesh* mesh, Loaded& loaded);
};
