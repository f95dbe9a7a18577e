#pragma once
// An engine scene-file reader that reads nothing: it records the paths and flags it is given,
// makes a test scene for a load and answers as told.
#include <functional>
#include <string>
#include <vector>

#include "TestScene.h"
#include "scene/SceneFileReader.h"

class FakeSceneFileReader final : public CSceneFileReader {
 public:
  bool LoadScene(CScene** scene, const char* path, UINT loadFlag) override {
    paths.emplace_back(path);
    flags.push_back(loadFlag);
    if (scene != nullptr && *scene == nullptr) *scene = new TestScene(0u);
    if (onLoad) onLoad(*scene);
    return result;
  }
  bool SaveScene(CScene* scene) override {
    saved.push_back(scene);
    return result;
  }

  bool result = true;
  std::function<void(CScene*)> onLoad;
  std::vector<std::string> paths;
  std::vector<UINT> flags;
  std::vector<CScene*> saved;
};
