#pragma once
// What surface suites share: the fake banks behind a renderer, a recording log, the fake shader
// library, and a scene whose meshes own the surfaces under test. Surfaces made with Make() are
// released by the bench unless a test released them already (Take()).
#include <algorithm>
#include <vector>

#include "EngineContextScope.h"
#include "FakeSurfaceBanks.h"
#include "FakeSurfaceShaderLibrary.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"

class SurfaceTestBench {
 public:
  SurfaceTestBench() : scene(new TestScene(&renderer, &log)) {
    renderer.indexBufferStorage = &indexBuffers;
    renderer.materialStorage = &materials;
    renderer.textureStorage = &textures;
    context->ports.surfaceFactory.Set(&surfaces);
    context->ports.surfaceShaders.Set(&shaders);
  }
  ~SurfaceTestBench() {
    for (CSurface* surface : m_Surfaces) surface->Release();
    scene->Release();
  }
  SurfaceTestBench(const SurfaceTestBench&) = delete;
  SurfaceTestBench& operator=(const SurfaceTestBench&) = delete;

  CMesh* AddMesh(const char* name, UINT dynamicBuffers = 0) {
    auto* mesh = new CMesh(&renderer, &log, scene, dynamicBuffers);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  // A surface of the mesh (or of none) that the bench releases at the end.
  CSurface* Make(const char* name, CMesh* mesh = nullptr) {
    auto* surface = new CSurface(&renderer, &log, mesh);
    surface->SetName(name);
    m_Surfaces.push_back(surface);
    return surface;
  }
  // The test takes over the bench's reference (to release it, or to hand it on).
  CSurface* Take(CSurface* surface) {
    m_Surfaces.erase(std::remove(m_Surfaces.begin(), m_Surfaces.end(), surface), m_Surfaces.end());
    return surface;
  }
  void Adopt(CSurface* surface) { m_Surfaces.push_back(surface); }

  EngineContextScope context;
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeMaterialStorage materials;
  FakeTextureStorage textures;
  FakeSurfaceShaderLibrary shaders;
  CSurfaceFactory surfaces;
  CRecordingEngineLog log;
  TestScene* scene;

 private:
  std::vector<CSurface*> m_Surfaces;
};
