#pragma once
// The engine's drawing paths as a scene's render entry reaches them: the rendering profile of
// the preset's library and the renderer's default states, and the scene shader, the default
// coded path, the lighting passes and the flare texture as their subsystems register them.
#include "scene/ScenePasses.h"

class CEngineContext;
class CEngineRenderer;

class CEngineScenePasses final : public CScenePasses {
 public:
  // What the passes read; null answers nothing.
  void Attach(CEngineContext* context, CEngineRenderer* renderer) {
    m_pContext = context;
    m_pRenderer = renderer;
  }

  CRenderingProfileInterface* GetRenderingProfile() override;
  void SetDefaultStates() override;
  // Runs the scene shader's passes with the frame as their run value.
  void RenderSceneShader(CShader* shader, CScene* scene, float frame) override;
  // The context's generic pass draws the scene.
  void RenderGenericPass(CScene* scene) override;
  // The context's per-vertex and per-pixel passes draw the scene; nothing before they are made.
  void RenderPerVertexPass(CScene* scene, UINT profile) override;
  void RenderPerPixelPass(CScene* scene, UINT profile) override;
  CTextureInterface* GetFlareTexture() override { return m_pFlareTexture; }
  // The texture flares are drawn with; null draws them untextured.
  void SetFlareTexture(CTextureInterface* texture) { m_pFlareTexture = texture; }

 private:
  CEngineContext* m_pContext = nullptr;
  CEngineRenderer* m_pRenderer = nullptr;
  CTextureInterface* m_pFlareTexture = nullptr;
};
