#include "shaders/PerVertexPass.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "ZKDXInterface.h"
#include "shaders/SceneBuiltInPassView.h"

namespace {

// Stands for 1 / 0 when a spot light's cones are equal: large, yet finite in the programs.
constexpr float kEqualConesFactor = 1.0e6f;

}  // namespace

CPerVertexPass::CPerVertexPass(CEngineRenderer* renderer, CShaderLibrary* library,
                               CEngineLog* log)
    : m_pRenderer(renderer),
      m_pLibrary(library),
      m_iShadows(CBuiltInPassSteps::ReadShadowsSetting()),
      m_Steps(renderer, log) {}

UINT CPerVertexPass::Render(CSceneInterface* scene, UINT profile) {
  CSceneBuiltInPassView view(scene, m_pLibrary);
  return Render(view, profile);
}

UINT CPerVertexPass::RenderBuiltInPass(CSceneInterface* scene, const char* name, UINT profile) {
  CSceneBuiltInPassView view(scene, m_pLibrary);
  return RenderBuiltInPass(view, name, profile);
}

UINT CPerVertexPass::Render(CBuiltInPassScene& scene, UINT profile) {
  if (!m_Steps.CanDraw(scene)) return 1;
  return AmbientPass(scene, profile) && LightingPass(scene, profile) && m_Steps.Sprites(scene) &&
                 TransparencyPass(scene, profile)
             ? 1
             : 0;
}

UINT CPerVertexPass::RenderBuiltInPass(CBuiltInPassScene& scene, const char* name,
                                       UINT profile) {
  if (name == nullptr) return 0;
  if (std::strcmp(name, "AMBIENTPASS") == 0) return AmbientPass(scene, profile);
  if (std::strcmp(name, "LIGHTINGPASS") == 0) return LightingPass(scene, profile);
  if (std::strcmp(name, "REFLECTIONPASS") == 0) return 1;
  if (std::strcmp(name, "TRANSPARENCYPASS") == 0) return TransparencyPass(scene, profile);
  return 0;
}

UINT CPerVertexPass::AmbientPass(CBuiltInPassScene& scene, UINT) {
  if (!m_Steps.CanDraw(scene)) return 1;
  m_Steps.SetDefaultStates();
  scene.SetCamera();
  m_Steps.VertexConstant(8, scene.GetCameraPosition(), 1.0f);
  m_Steps.VisibleMeshWalk(scene, "AMBIENTPASS");
  return 1;
}

UINT CPerVertexPass::LightingPass(CBuiltInPassScene& scene, UINT profile) {
  if (!m_Steps.CanDraw(scene)) return 1;
  const bool twoSided = m_Steps.UsesTwoSidedStencil();
  const bool stencil = profile == 2;
  m_Steps.VertexConstant(8, scene.GetCameraPosition(), 1.0f);
  m_Steps.State(D3DRS_ZWRITEENABLE, FALSE);
  for (WORD type : {LIGHT_DISTANT, LIGHT_POINT, LIGHT_SPOT})
    m_Steps.LightsOfType(scene, type, [&](CBuiltInPassScene::Object light) {
      if (type != LIGHT_DISTANT) {
        m_Steps.VertexConstant(12, scene.GetLightDirection(light), 1.0f);
        m_Steps.AttenuationConstant(scene, light, 13);
      }
      if (type == LIGHT_SPOT) {
        const D3DLIGHT9 properties = scene.GetLightProperties(light);
        const float outer = std::cos(properties.Phi * 0.5f);
        const float inner = std::cos(properties.Theta * 0.5f);
        const float spread = inner - outer;
        m_Steps.VertexConstant(14, outer, inner, properties.Falloff,
                               spread != 0.0f ? 1.0f / spread : kEqualConesFactor);
      }
      // On two-sided stencil a directional light counts depth passes, the others failures.
      if (stencil)
        m_Steps.StencilStage(scene, light, CBuiltInPassSteps::VolumePassName(type), twoSided,
                             twoSided && type == LIGHT_DISTANT);
      m_Steps.AdditiveBlending();
      if (type == LIGHT_DISTANT) {
        m_Steps.VertexConstant(12, scene.GetLightDirection(light), 1.0f);
      } else {
        m_Steps.VertexConstant(11, scene.GetLightPosition(light), 1.0f);
        if (type == LIGHT_SPOT) m_Steps.VertexConstant(12, scene.GetLightDirection(light), 1.0f);
      }
      m_Steps.RenderLitMeshes(scene, light, CBuiltInPassSteps::OpaquePassName(type));
    });
  m_Steps.State(D3DRS_STENCILENABLE, FALSE);
  return 1;
}

UINT CPerVertexPass::TransparencyPass(CBuiltInPassScene& scene, UINT) {
  return m_Steps.TransparencyPass(scene, D3DBLEND_ONE);
}
