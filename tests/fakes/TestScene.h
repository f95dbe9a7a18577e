#pragma once
// A scene whose per-frame passes and rendering are not under test: those operations record
// their names and answer neutrally.
#include <string>
#include <vector>

#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Scene.h"

class TestScene final : public CScene {
 public:
  explicit TestScene(CD3D9RendererInterface* renderer = nullptr, CEngineLog* log = nullptr,
                     bool* destroyed = nullptr)
      : CScene(renderer, log), m_pDestroyed(destroyed) {}
  // The scene as the file readers make it.
  explicit TestScene(UINT reserved, CD3D9RendererInterface* renderer = nullptr,
                     CEngineLog* log = nullptr)
      : CScene(reserved, renderer, log), m_pDestroyed(nullptr) {}

  void Render() override { Record("Render"); }
  void PrepareMatrices() override { Record("PrepareMatrices"); }
  void UpdateHierarchy() override { Record("UpdateHierarchy"); }
  void SetAsActiveScene() override { Record("SetAsActiveScene"); }
  void SetFrame(float) override { Record("SetFrame"); }

  std::vector<std::string> calls;

  // A camera of the scene's renderer and log, made the active one.
  CCamera* AddActiveCamera() {
    auto* camera = new CCamera(GetRenderer(), GetLog(), this);
    AppendWorldObject(camera);
    RebuildCameraArray();
    SetActiveCamera(0);
    return camera;
  }
  // A light of `type`, appended to the scene's lights.
  CLight* AddTypedLight(WORD type) {
    auto* light = new CLight(GetRenderer(), GetLog(), this);
    AppendWorldObject(light);
    light->SetType(type);
    return light;
  }

 protected:
  ~TestScene() override {
    if (m_pDestroyed != nullptr) *m_pDestroyed = true;
  }

 private:
  UINT Record(const char* call) {
    calls.emplace_back(call);
    return 0;
  }
  bool* m_pDestroyed;
};
