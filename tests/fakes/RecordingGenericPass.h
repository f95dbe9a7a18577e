#pragma once
// The default coded rendering path, recording which scenes and meshes it was asked to prepare.
#include <vector>

#include "scene/GenericPassInterface.h"

class RecordingGenericPass final : public CGenericPassInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override { scenes.push_back(scene); }
  void PrepareMesh(CMesh* mesh) override { meshes.push_back(mesh); }

  std::vector<CSceneInterface*> scenes;
  std::vector<CMesh*> meshes;
};
