#pragma once
// Stands in for the engine's drawing paths as a scene's render entry sees them: records, in
// order, which path drew which scene at which frame and each pipeline reset, and hands out the
// rendering profile and flare texture a test chooses. Registers itself for its lifetime.
#include <string>
#include <vector>

#include "d3d/RenderingProfileInterface.h"
#include "scene/Scene.h"
#include "scene/ScenePasses.h"
#include "scene/SceneRender.h"

class RecordingScenePasses final : public CScenePasses {
 public:
  // A rendering-profile library's profile that records the scenes it draws.
  struct Profile final : CRenderingProfileInterface {
    explicit Profile(std::vector<std::string>& log) : calls(log) {}
    void RenderScene(CSceneInterface* scene) override {
      calls.push_back(std::string("profile ") + scene->GetName());
    }
    void PrepareScene(CSceneInterface*) override {}
    void PrepareMesh(CMeshInterface*) override {}
    void OnDeviceLost() override {}
    void OnDeviceReset() override {}
    void RenderMesh(CMeshInterface*) override {}
    void RenderSurface(CSurfaceInterface*) override {}
    std::vector<std::string>& calls;
  };

  RecordingScenePasses() = default;
  RecordingScenePasses(const RecordingScenePasses&) = delete;
  RecordingScenePasses& operator=(const RecordingScenePasses&) = delete;

  // "shader <scene> <frame>", "generic <scene>", "per-vertex <profile>", "per-pixel <profile>",
  // "default states", "profile <scene>".
  std::vector<std::string> calls;
  Profile profile{calls};
  bool useProfile = false;
  CTextureInterface* flareTexture = nullptr;
  std::vector<CShader*> shaders;

  CRenderingProfileInterface* GetRenderingProfile() override {
    return useProfile ? &profile : nullptr;
  }
  void RenderSceneShader(CShader* shader, CScene* scene, float frame) override {
    shaders.push_back(shader);
    calls.push_back(std::string("shader ") + scene->GetName() + " " + Number(frame));
  }
  void RenderGenericPass(CScene* scene) override {
    calls.push_back(std::string("generic ") + scene->GetName());
  }
  void RenderPerVertexPass(CScene*, UINT renderingProfile) override {
    calls.push_back("per-vertex " + std::to_string(renderingProfile));
  }
  void RenderPerPixelPass(CScene*, UINT renderingProfile) override {
    calls.push_back("per-pixel " + std::to_string(renderingProfile));
  }
  void SetDefaultStates() override { calls.push_back("default states"); }
  CTextureInterface* GetFlareTexture() override { return flareTexture; }

 private:
  static std::string Number(float value) { return std::to_string(static_cast<int>(value)); }
};
