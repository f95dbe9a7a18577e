#include "startup/EngineScenePasses.h"

#include "core/EngineContext.h"
#include "d3d/EngineRenderer.h"
#include "scene/GenericPassInterface.h"
#include "scene/Scene.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"
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
void CEngineScenePasses::RenderPerVertexPass(CScene* scene, UINT profile) {
  if (m_pContext && m_pContext->pPerVertexPass) m_pContext->pPerVertexPass->Render(scene, profile);
}
void CEngineScenePasses::RenderPerPixelPass(CScene* scene, UINT profile) {
  if (m_pContext && m_pContext->pPerPixelPass) m_pContext->pPerPixelPass->Render(scene, profile);
}
