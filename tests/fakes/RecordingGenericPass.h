#pragma once
// The default coded rendering path, recording which scenes and meshes it was asked to prepare
// and which scenes to draw.
#include <vector>

#include "scene/GenericPassInterface.h"

class RecordingGenericPass final : public CGenericPassInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override { scenes.push_back(scene); }
  void PrepareMesh(CMesh* mesh) override { meshes.push_back(mesh); }
  UINT RenderScene(CScene* scene) override {
    rendered.push_back(scene);
    return 1;
  }

  std::vector<CSceneInterface*> scenes;
  std::vector<CMesh*> meshes;
  std::vector<CScene*> rendered;
};
