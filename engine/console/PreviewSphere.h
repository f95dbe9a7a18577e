#pragma once
// The surface editor's preview: a scene "sphere_material_scene" holding a sphere of radius 10
// about the origin with one surface, a camera 40 units in front of it and a light. The sphere is
// 22 rings of 46 vertices, 7.5 degrees apart both ways, from 7.5 to 165 degrees below the north
// pole, then the north and the south pole (vertices 1012 and 1013). Each ring closes on its first
// vertex, the poles are joined by caps: 2024 triangles, faces and index list in the same order,
// clockwise seen from outside.
#include <vector>

#include "ZKDXRecords.h"

class CD3D9RendererInterface;
class CEngineLog;
class CSceneInterface;

class CPreviewSphere {
 public:
  static constexpr const char* kSceneName = "sphere_material_scene";
  static constexpr float kRadius = 10.0f;
  static constexpr UINT kRings = 22;
  static constexpr UINT kRingVertices = 46;
  static constexpr UINT kVertexCount = kRings * kRingVertices + 2;  // 1014
  static constexpr UINT kNorthPole = kVertexCount - 2;
  static constexpr UINT kSouthPole = kVertexCount - 1;
  static constexpr UINT kMaxFaces = 2024;

  // Builds the geometry (on the heap).
  CPreviewSphere();

  // A new scene of the renderer and log holding the sphere, its camera and light, prepared; it
  // joins the engine's scene list. Null when no scene could be made.
  static CSceneInterface* CreateScene(CD3D9RendererInterface* renderer, CEngineLog* log);

  std::vector<Vertex>& GetVertices() { return m_Vertices; }
  std::vector<Face>& GetFaces() { return m_Faces; }
  std::vector<WORD>& GetIndices() { return m_Indices; }

 private:
  void AddFace(UINT a, UINT b, UINT c);

  std::vector<Vertex> m_Vertices;
  std::vector<Face> m_Faces;
  std::vector<WORD> m_Indices;
};
