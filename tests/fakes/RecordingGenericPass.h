#pragma once
// The default coded rendering path, recording which scenes and meshes it was asked to prepare
// and which scenes to draw. With `makeBuffers` it gives the meshes it prepares a vertex buffer
// of their vertices, as the real path does, so that ray tests reach them.
#include <memory>
#include <vector>

#include "FakeMeshVertexBuffer.h"
#include "scene/GenericPassInterface.h"
#include "scene/Mesh.h"

class RecordingGenericPass final : public CGenericPassInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override {
    scenes.push_back(scene);
    for (UINT i = 0; makeBuffers && i < scene->GetNumberOfMeshes(); ++i)
      GiveBuffer(dynamic_cast<CMesh*>(scene->GetMesh(i)));
  }
  void PrepareMesh(CMesh* mesh) override {
    meshes.push_back(mesh);
    if (makeBuffers) GiveBuffer(mesh);
  }
  UINT RenderScene(CScene* scene) override {
    rendered.push_back(scene);
    return 1;
  }

  bool makeBuffers = false;
  std::vector<CSceneInterface*> scenes;
  std::vector<CMesh*> meshes;
  std::vector<CScene*> rendered;
  std::vector<std::unique_ptr<FakeMeshVertexBuffer>> buffers;

 private:
  void GiveBuffer(CMesh* mesh) {
    if (!mesh) return;
    buffers.push_back(std::make_unique<FakeMeshVertexBuffer>(mesh->GetName(), mesh->GetVertices(),
                                                             mesh->GetNumberOfVertices()));
    mesh->SetGenericPathData(buffers.back().get());
  }
};
