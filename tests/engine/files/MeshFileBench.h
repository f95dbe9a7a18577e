#pragma once
// What the object-file and mesh-chunk tests share: an engine context with a real virtual file
// system, the spatial services, a collision manager and an index-buffer bank that records its
// buffers; a scene whose directory is a fresh temporary folder; meshes with real geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "ChunkBuilder.h"
#include "EdgedFaces.h"
#include "EngineContextScope.h"
#include "FakeSurfaceBanks.h"
#include "FakeMeshVertexBuffer.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TempDir.h"
#include "TestScene.h"
#include "vfs/VirtualFileSystem.h"
#include "files/ZKOMeshExporter.h"
#include "files/ZKReader.h"
#include "scene/Mesh.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshSpatialServices.h"

class MeshFileBench : public ::testing::Test {
 protected:
  MeshFileBench() : scene(new TestScene(&renderer, &log)) {
    renderer.indexBufferStorage = &indexBuffers;
    renderer.vertexBufferStorage = &vertexBuffers;
    context->pVirtualFileSystem = &vfs;
    context->ports.meshSpatial.Set(&services);
    scene->SetDirectory((dir.Path() + "/").c_str());
  }
  ~MeshFileBench() override { scene->Release(); }

  CMesh* AddMesh(const char* name) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }

  // Vertices with every field set apart, so that a field read into the wrong place shows.
  static std::vector<Vertex> Corners(const std::vector<CVector3>& positions) {
    std::vector<Vertex> vertices(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
      const float f = static_cast<float>(i) + 0.5f;
      Vertex& v = vertices[i];
      v.vecPosition = positions[i];
      for (int k = 0; k < 4; ++k) {
        v.fWeights[k] = f / (k + 2);
        v.wBonesIndices[k] = static_cast<WORD>(i * 4 + k);
      }
      v.vecNormal = {f, -f, 1};
      v.vecTangent = {2 * f, 0, -1};
      v.vecBiNormal = {0, 3 * f, 1};
      v.fTU[0] = f;
      v.fTU[1] = -f;
      v.fTV[0] = f * 10;
      v.fTV[1] = f * 20;
    }
    return vertices;
  }

  // Gives the mesh its vertices and faces and, from the edge builder, its edges and shadow
  // volume (closed triangles only).
  void Shape(CMesh* mesh, const std::vector<CVector3>& positions,
             const std::vector<std::array<WORD, 3>>& triangles) {
    EdgedFaces built = FacesWithEdges(triangles, &log);
    for (size_t i = 0; i < built.faces.size(); ++i)
      built.faces[i].vecNormal = {static_cast<float>(i), 1, -1};
    std::vector<Vertex> vertices = Corners(positions);
    ASSERT_NE(mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1), 0u);
    ASSERT_NE(mesh->SetFaces(static_cast<UINT>(built.faces.size()), built.faces.data()), 0u);
    mesh->PrepareShadowVolume(built.edges.get(), built.edgeCount);
  }

  // A closed tetrahedron: edges with two faces each, shadow-volume geometry, a box, a collider.
  CMesh* Tetrahedron(const char* name) {
    CMesh* mesh = AddMesh(name);
    Shape(mesh, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
          {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
    return mesh;
  }

  std::string ObjectPath(const char* name) const { return dir / ("Objects/" + std::string(name) + ".zko"); }

  std::vector<uint8_t> FileBytes(const std::string& path) const {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  void WriteObject(const char* name, const std::vector<uint8_t>& bytes) const {
    mkdir((dir / "Objects").c_str(), 0755);
    std::ofstream file(ObjectPath(name), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  bool Save(CMesh* mesh) { return reader.GetObjectExporter()->SaveObject(mesh); }

  // A new mesh of the scene loaded from "Objects\\<name>.zko".
  CMesh* Load(const char* name, bool* loaded) {
    CMesh* mesh = AddMesh(name);
    *loaded = reader.GetObjectExporter()->LoadObjectFromDirectory(mesh, scene->GetDirectory(),
                                                                  name, 0);
    return mesh;
  }

  bool Logged(const std::string& text) const {
    return std::any_of(log.entries.begin(), log.entries.end(),
                       [&](const CRecordingEngineLog::Entry& entry) { return entry.text == text; });
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeVertexBufferStorage vertexBuffers;
  CMeshSpatialServices services{&log, &manager};
  CMeshSpatialServices withoutManager{&log, nullptr};
  CCollisionManager manager{&renderer, &log};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  TempDir dir;
  TestScene* scene;
  bool readerMade = false;
  CZKReader reader{&renderer, &log, readerMade};
};
