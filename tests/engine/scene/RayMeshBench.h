#pragma once
// Meshes built in code for the ray and collider queries: cubes and loose triangles with the real
// spatial services (their bound volumes), a vertex buffer each and their matrices prepared at
// frame 0, in scenes the bench releases.
#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeMeshVertexBuffer.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "spatial/MeshSpatialServices.h"

class RayMeshBench {
 public:
  RayMeshBench() : m_services(&log) { CMesh::SetSpatial(&m_services); }
  ~RayMeshBench() {
    for (TestScene* scene : m_scenes) scene->Release();
    CMesh::SetSpatial(nullptr);
  }
  RayMeshBench(const RayMeshBench&) = delete;
  RayMeshBench& operator=(const RayMeshBench&) = delete;

  TestScene* NewScene(const char* name) {
    auto* scene = new TestScene(&renderer, &log);
    scene->SetName(name);
    m_scenes.push_back(scene);
    return scene;
  }

  // Released before the bench ends, e.g. to see what each scene's release frees.
  void Release(TestScene* scene) {
    std::erase(m_scenes, scene);
    scene->Release();
  }

  static Vertex At(float x, float y, float z) {
    Vertex vertex{};
    vertex.vecPosition = {x, y, z};
    return vertex;
  }

  // A mesh of the given geometry with outward normals computed from the winding.
  CMesh* AddMesh(TestScene* scene, const char* name, std::vector<Vertex> vertices,
                 std::vector<Face> faces) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
    mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data());
    mesh->ComputeNormals();
    m_buffers.push_back(std::make_unique<FakeMeshVertexBuffer>(name, vertices.data(),
                                                               static_cast<UINT>(vertices.size())));
    mesh->SetGenericPathData(m_buffers.back().get());
    Place(mesh);
    return mesh;
  }

  // The cube of half edge `half` around `centre` of its own space, placed at `position`.
  CMesh* AddCube(TestScene* scene, const char* name, const CVector3& position, float half = 1.0f,
                 const CVector3& centre = {}) {
    CMesh* mesh = AddMesh(scene, name, CubeVertices(half, centre), CubeFaces());
    mesh->SetPosition(position);
    Place(mesh);
    return mesh;
  }

  static std::vector<Vertex> CubeVertices(float half, const CVector3& centre = {}) {
    std::vector<Vertex> vertices;
    for (int i = 0; i < 8; ++i)
      vertices.push_back(At(centre.x + (i & 1 ? half : -half), centre.y + (i & 2 ? half : -half),
                            centre.z + (i & 4 ? half : -half)));
    return vertices;
  }

  // Twelve triangles wound so that the computed normals point outwards.
  static std::vector<Face> CubeFaces() {
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

  // The matrix and hierarchy passes at frame 0, so the matrices follow what was set.
  static void Place(CMesh* mesh) {
    mesh->PrepareMatrices(0.0f);
    mesh->UpdateHierarchy(0.0f);
  }

  int CountLogged(int level, const std::string& text) const {
    int count = 0;
    for (const auto& entry : log.entries)
      if (entry.level == level && entry.text == text) ++count;
    return count;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  RecordingDrawRenderer renderer;

 private:
  CMeshSpatialServices m_services;
  std::vector<std::unique_ptr<FakeMeshVertexBuffer>> m_buffers;
  std::vector<TestScene*> m_scenes;
};
