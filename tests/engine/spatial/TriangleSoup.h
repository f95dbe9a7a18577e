#pragma once
// A triangle source over plain arrays of corner positions and corner indices, for tests of the
// collision library; the library reads it only through the callback, as it reads a mesh.
#include <cstddef>
#include <random>
#include <vector>

#include "ZKDXInterface.h"
#include "ZKDXMath.h"

class TriangleSoup {
 public:
  TriangleSoup() { source.SetCallback(&TriangleSoup::Corners, this); }
  TriangleSoup(const TriangleSoup&) = delete;
  TriangleSoup& operator=(const TriangleSoup&) = delete;

  UINT AddVertex(float x, float y, float z) {
    positions.push_back({x, y, z});
    Sync();
    return static_cast<UINT>(positions.size() - 1);
  }
  void AddTriangle(UINT a, UINT b, UINT c) {
    indices.insert(indices.end(), {a, b, c});
    Sync();
  }
  void AddTriangle(const CVector3& a, const CVector3& b, const CVector3& c) {
    const UINT first = AddVertex(a.x, a.y, a.z);
    AddVertex(b.x, b.y, b.z);
    AddVertex(c.x, c.y, c.z);
    AddTriangle(first, first + 1, first + 2);
  }
  UINT TriangleCount() const { return static_cast<UINT>(indices.size() / 3); }
  const CVector3& Corner(UINT triangle, int corner) const {
    return positions[indices[3 * triangle + corner]];
  }

  // Small triangles scattered through a cube of side `size` at the origin.
  void AddRandomTriangles(std::mt19937& random, UINT count, float size, float triangleSize) {
    std::uniform_real_distribution<float> place(-size / 2, size / 2);
    std::uniform_real_distribution<float> offset(-triangleSize, triangleSize);
    for (UINT i = 0; i < count; ++i) {
      const CVector3 centre = {place(random), place(random), place(random)};
      AddTriangle(centre + CVector3{offset(random), offset(random), offset(random)},
                  centre + CVector3{offset(random), offset(random), offset(random)},
                  centre + CVector3{offset(random), offset(random), offset(random)});
    }
  }

  // Every callback index is checked: the library must never ask for a triangle it lacks.
  UINT outOfRangeRequests = 0;
  std::vector<CVector3> positions;
  std::vector<UINT> indices;
  CCollisionMeshInterface source;

 private:
  void Sync() {
    source.dwNumberOfTriangles = TriangleCount();
    source.dwNumberOfVertices = static_cast<UINT>(positions.size());
  }
  static void Corners(UINT triangle, TriangleVertices& out, void* userData) {
    TriangleSoup* soup = static_cast<TriangleSoup*>(userData);
    if (triangle >= soup->TriangleCount()) {
      ++soup->outOfRangeRequests;
      triangle = 0;
    }
    for (int corner = 0; corner < 3; ++corner)
      out.pVertex[corner] = &soup->positions[soup->indices[3 * triangle + corner]].x;
  }
};
