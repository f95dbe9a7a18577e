#include "startup/EngineScenePasses.h"

#include "core/EngineContext.h"
#include "d3d/EngineRenderer.h"

CRenderingProfileInterface* CEngineScenePasses::GetRenderingProfile() {
  return m_pContext ? m_pContext->pRenderingProfile : nullptr;
}

void CEngineScenePasses::SetDefaultStates() {
  if (m_pRenderer) m_pRenderer->SetDefaultStates();
}

void CEngineScenePasses::RenderSceneShader(CShader*, CScene*, float) {}
void CEngineScenePasses::RenderGenericPass(CScene*) {}
void CEngineScenePasses::RenderPerVertexPass(CScene*, UINT) {}
void CEngineScenePasses::RenderPerPixelPass(CScene*, UINT) {}
