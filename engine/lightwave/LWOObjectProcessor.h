#pragma once
// The processing of an object as read into what mesh construction takes: every triangle bound
// to its surface, face normals (degenerate ones repaired from their neighbours), projected
// texture coordinates, the edge list, smoothing groups, vertex normals, tangent frames, the
// vertices compacted and reordered by
// the mesh optimiser, and one 16-bit triangle list per surface. It works in place on the
// buffer and replaces its point array through ReplacePoints.
#include "scene/LWOImportBuffer.h"

class LWOObjectProcessor {
 public:
  LWOObjectProcessor(LWOImportBuffer& buffer, UINT& nextProjectedMap)
      : m_buffer(buffer), m_nextProjectedMap(nextProjectedMap) {}
  LWOObjectProcessor(const LWOObjectProcessor&) = delete;
  LWOObjectProcessor& operator=(const LWOObjectProcessor&) = delete;

  // Runs every step in order. Returns 1; every failure but the edge list's is fatal.
  UINT Process();

  // The steps, each on the whole buffer.
  void ResolveTags();
  void LinkFaces();
  void CalculateFaceNormals();
  void AssignProjectedMaps();
  void ProjectCoordinates();
  // False, after a log line, when an edge has more than two faces or the edge table is full.
  bool BuildEdges();
  void RepairDegenerateNormals();
  void RecalculateVertexIndices();
  void CalculateVertexNormals();
  // Tangents and binormals from the first coordinate pair, points split where the texture is
  // mirrored.
  void MendTangentSpace();
  void OptimizeMesh();
  void BuildSurfaceIndexLists();

 private:
  // Puts the points in the optimiser's order (point i becomes old point remap[i]) and drops the
  // points past `count`, which no face uses.
  void ReorderPoints(const DWORD* remap, UINT count);

  LWOImportBuffer& m_buffer;
  UINT& m_nextProjectedMap;
};
