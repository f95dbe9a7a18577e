#pragma once
// "BBOX": the bounding volume of a mesh in its object file: the box count, the times of the
// boxes when there are several, then per box its centre, extents, minimum and maximum corners
// and its 8 corner points.
#include <cstdint>
#include <cstdio>

#include "files/ZKExporter.h"

class CMesh;

class CZKOBoundingBoxExporter final : public CZKExporter {
 public:
  CZKOBoundingBoxExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKOBoundingBoxExporter") {}

  // The payload size of `boxes` boxes: 180 for one, 180 per box plus 4 otherwise (the single
  // box carries no time, and the count is inside the 180).
  static uint64_t PayloadSize(uint64_t boxes);

  // A mesh without a bound volume writes a count of 0.
  bool WriteBoundingBox(CMesh* mesh, FILE* stream, UINT& total);
  // After the "BBOX" tag: makes a new bound volume of the mesh from the boxes read.
  bool ReadBoundingBox(CMesh* mesh, CChunkReader& in);
};
