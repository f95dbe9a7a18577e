#include "startup/EngineScenePasses.h"

#include "core/EngineContext.h"
#include "d3d/EngineRenderer.h"
#include "scene/GenericPassInterface.h"
#include "shaders/Shader.h"

CRenderingProfileInterface* CEngineScenePasses::GetRenderingProfile() {
  return m_pContext ? m_pContext->pRenderingProfile : nullptr;
}

void CEngineScenePasses::SetDefaultStates() {
  if (m_pRenderer) m_pRenderer->SetDefaultStates();
}

void CEngineScenePasses::RenderSceneShader(CShader* shader, CScene* scene, float frame) {
  if (shader != nullptr) shader->ExecuteScenePasses(scene, frame);
}
void CEngineScenePasses::RenderGenericPass(CScene* scene) {
  if (m_pContext) m_pContext->ports.genericPass->RenderScene(scene);
}
void CEngineScenePasses::RenderPerVertexPass(CScene*, UINT) {}
void CEngineScenePasses::RenderPerPixelPass(CScene*, UINT) {}
