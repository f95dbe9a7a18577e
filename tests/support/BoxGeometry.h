#pragma once
// A closed box as mesh geometry: 8 corners and 12 triangles wound so that normals computed from
// the winding point outwards. Corner k takes x, y, z from the maximum for bits 0, 1, 2 of k.
#include <vector>

#include "ZKDXRecords.h"

inline Vertex VertexAt(float x, float y, float z) {
  Vertex vertex{};
  vertex.vecPosition = {x, y, z};
  return vertex;
}

inline std::vector<Vertex> BoxVertices(const CVector3& min, const CVector3& max) {
  std::vector<Vertex> vertices;
  for (int k = 0; k < 8; ++k)
    vertices.push_back(VertexAt(k & 1 ? max.x : min.x, k & 2 ? max.y : min.y, k & 4 ? max.z : min.z));
  return vertices;
}

inline std::vector<Face> BoxFaces() {
  const WORD quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                            {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  std::vector<Face> faces;
  for (const auto& q : quads) {
    const WORD triangles[2][3] = {{q[0], q[1], q[2]}, {q[0], q[2], q[3]}};
    for (const auto& t : triangles) {
      Face face{};
      face.wIndex1 = t[0];
      face.wIndex2 = t[1];
      face.wIndex3 = t[2];
      faces.push_back(face);
    }
  }
  return faces;
}
