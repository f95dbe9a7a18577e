#pragma once
// Faces over a list of triangles with the edges the engine's edge builder makes of them, as the
// object readers hand a mesh that casts shadow volumes. Normals are left to the caller.
#include <array>
#include <memory>
#include <vector>

#include "ZKDXRecords.h"
#include "spatial/EdgeList.h"

using Triangle = std::array<WORD, 3>;

struct EdgedFaces {
  std::vector<Face> faces;  // corners, edges and face numbers in triangle order
  std::unique_ptr<Edge[]> edges;
  UINT edgeCount = 0;
  UINT built = 0;  // the edge builder's result: 1 when no edge has more than two faces
};

inline EdgedFaces FacesWithEdges(const std::vector<Triangle>& triangles, CEngineLog* log) {
  // The import's face record as the edge builder reads it.
  struct ImportFace {
    WORD v[3];
    WORD edgeIndex[3];
    Edge* edge[3];
  };
  std::vector<ImportFace> imported(triangles.size());
  for (size_t i = 0; i < triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) imported[i].v[k] = triangles[i][k];
  EdgedFaces result;
  Edge* edges = nullptr;
  result.built = BuildEdgeList(&edges, &result.edgeCount, imported.data(),
                               static_cast<UINT>(imported.size()), log);
  result.edges.reset(edges);
  result.faces.resize(triangles.size());
  for (size_t i = 0; i < triangles.size(); ++i) {
    Face& face = result.faces[i];
    face.wIndex1 = triangles[i][0];
    face.wIndex2 = triangles[i][1];
    face.wIndex3 = triangles[i][2];
    face.wEdge1 = imported[i].edgeIndex[0];
    face.wEdge2 = imported[i].edgeIndex[1];
    face.wEdge3 = imported[i].edgeIndex[2];
    face.wFaceIndex = static_cast<WORD>(i);
  }
  return result;
}
