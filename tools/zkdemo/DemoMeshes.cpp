#include "DemoMeshes.h"

#include <array>
#include <cmath>
#include <vector>

#include "DemoEngine.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Surface.h"
#include "spatial/EdgeList.h"

namespace {

// The import's face record, as the edge builder reads it.
struct EdgeFace {
  WORD v[3];
  WORD edgeIndex[3];
  Edge* edge[3];
};

CVector3 FaceNormal(const CVector3& a, const CVector3& b, const CVector3& c) {
  const CVector3 u = {b.x - a.x, b.y - a.y, b.z - a.z}, w = {c.x - a.x, c.y - a.y, c.z - a.z};
  const CVector3 normal = {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
  const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
  return {normal.x / length, normal.y / length, normal.z / length};
}

}  // namespace

bool DemoMeshes::Box(DemoEngine& engine, CMesh* mesh, const CVector3& low, const CVector3& high,
                     const char* surfaceName, const Look& look) {
  std::vector<Vertex> vertices(8);
  for (UINT i = 0; i < 8; ++i) {
    const bool right = i & 1, up = i & 2, back = i & 4;
    Vertex& v = vertices[i];
    v.vecPosition = {right ? high.x : low.x, up ? high.y : low.y, back ? high.z : low.z};
    v.vecNormal = {0, 0, back ? 1.0f : -1.0f};
    if (look.tiledFromAbove) {
      v.fTU[0] = v.fTU[1] = v.vecPosition.x;
      v.fTV[0] = v.fTV[1] = v.vecPosition.z;
    } else {
      v.fTU[0] = v.fTU[1] = right ? 1.0f : 0.0f;
      v.fTV[0] = v.fTV[1] = up ? 0.0f : 1.0f;
    }
  }
  // Clockwise seen from outside (front faces are clockwise); corner bits: 1 x, 2 y, 4 z.
  const std::array<std::array<WORD, 3>, 12> triangles = {{
      {0, 2, 3},
      {0, 3, 1},  // front (-z)
      {4, 5, 7},
      {4, 7, 6},  // back
      {0, 4, 6},
      {0, 6, 2},  // left
      {1, 3, 7},
      {1, 7, 5},  // right
      {2, 6, 7},
      {2, 7, 3},  // top
      {0, 1, 5},
      {0, 5, 4},  // bottom
  }};
  std::vector<EdgeFace> imported(triangles.size());
  std::vector<Face> faces(triangles.size());
  for (size_t i = 0; i < triangles.size(); ++i)
    for (int k = 0; k < 3; ++k) imported[i].v[k] = triangles[i][k];
  Edge* edges = nullptr;
  UINT edgeCount = 0;
  const UINT closed = BuildEdgeList(&edges, &edgeCount, imported.data(),
                                    static_cast<UINT>(imported.size()), engine.Log());
  for (size_t i = 0; i < faces.size(); ++i) {
    faces[i].vecNormal =
        FaceNormal(vertices[triangles[i][0]].vecPosition, vertices[triangles[i][1]].vecPosition,
                   vertices[triangles[i][2]].vecPosition);
    faces[i].wIndex1 = triangles[i][0];
    faces[i].wIndex2 = triangles[i][1];
    faces[i].wIndex3 = triangles[i][2];
    faces[i].wEdge1 = imported[i].edgeIndex[0];
    faces[i].wEdge2 = imported[i].edgeIndex[1];
    faces[i].wEdge3 = imported[i].edgeIndex[2];
    faces[i].wFaceIndex = static_cast<WORD>(i);
  }
  const bool shaped =
      closed == 1 &&
      mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1) != 0 &&
      mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data()) != 0;
  if (shaped) mesh->PrepareShadowVolume(edges, edgeCount);
  delete[] edges;
  if (!shaped) return false;

  std::vector<WORD> indices;
  for (const auto& triangle : triangles)
    indices.insert(indices.end(), triangle.begin(), triangle.end());
  auto* surface = static_cast<CSurface*>(mesh->CreateSurface());
  if (surface == nullptr) return false;
  surface->SetName(surfaceName);
  D3DCOLORVALUE diffuse = {1, 1, 1, 1}, specular = {0, 0, 0, 0},
                emissive = {look.emissive, look.emissive, look.emissive, 1};
  CVector4 additional1 = {1, 0, 0, 0}, additional2 = {0, 0, 0, 1};
  return surface->SetIndices(static_cast<UINT>(indices.size()), indices.data()) != 0 &&
         surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 1) !=
             0 &&
         (look.texture.empty() ||
          surface->SetTexture(CSurface::TEXTURE_COLOR0, look.texture.c_str()) != 0);
}

void DemoMeshes::Key(CMotion* motion, UINT channel, float frame, float value) {
  if (motion->GetNumberOfChannels() <= channel) motion->SetNumberOfChannels(channel + 1);
  motion->GetChannel(channel)->AddKeyData(value, frame, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
}
