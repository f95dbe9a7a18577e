#pragma once
// Meshes built in code for the ray and collider queries: cubes and loose triangles with the real
// spatial services (their bound volumes), a vertex buffer each and their matrices prepared at
// frame 0, in scenes the bench releases.
#include <memory>
#include <string>
#include <vector>

#include "BoxGeometry.h"
#include "EngineContextScope.h"
#include "FakeMeshVertexBuffer.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "spatial/MeshSpatialServices.h"

class RayMeshBench {
 public:
  RayMeshBench() : m_services(&log, nullptr) { context->ports.meshSpatial.Set(&m_services); }
  ~RayMeshBench() {
    for (TestScene* scene : m_scenes) scene->Release();
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
    CMesh* mesh = AddMesh(scene, name, CubeVertices(half, centre), BoxFaces());
    mesh->SetPosition(position);
    Place(mesh);
    return mesh;
  }

  static std::vector<Vertex> CubeVertices(float half, const CVector3& centre = {}) {
    return BoxVertices(centre - CVector3(half, half, half), centre + CVector3(half, half, half));
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
