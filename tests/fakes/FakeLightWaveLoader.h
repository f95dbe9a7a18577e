#pragma once
// A LightWave reader that reads nothing: it records the names it is given, makes a test scene
// for a scene load, runs the test's hook (to move the clock, say) and answers as told.
#include <functional>
#include <string>
#include <vector>

#include "TestScene.h"
#include "scene/LightWaveLoader.h"

class FakeLightWaveLoader final : public CLightWaveLoader {
 public:
  UINT LoadScene(CScene** scene, char* name) override {
    sceneNames.emplace_back(name);
    if (scene != nullptr && *scene == nullptr) *scene = new TestScene();
    if (onLoad) onLoad();
    return result;
  }
  UINT LoadMesh(CMesh* mesh, char* path) override {
    meshPaths.emplace_back(path);
    if (onMesh) onMesh(mesh);
    return result;
  }

  void AttachBones(CMesh* mesh, const LWOImportBuffer&) override { attached.push_back(mesh); }

  UINT result = 1;
  std::function<void()> onLoad;
  std::function<void(CMesh*)> onMesh;
  std::vector<std::string> sceneNames;
  std::vector<std::string> meshPaths;
  std::vector<CMesh*> attached;
};
