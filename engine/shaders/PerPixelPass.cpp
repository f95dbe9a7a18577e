#include "shaders/PerPixelPass.h"

#include <cstring>
#include <initializer_list>

#include "ZKDXInterface.h"
#include "shaders/SceneBuiltInPassView.h"

namespace {

bool ShadowVolumeForm(UINT profile) { return profile == 10 || profile == 11; }
bool ShadowMapForm(UINT profile) { return profile == 12 || profile == 13; }

}  // namespace

CPerPixelPass::CPerPixelPass(CEngineRenderer* renderer, CShaderLibrary* library, CEngineLog* log)
    : m_pRenderer(renderer),
      m_pLibrary(library),
      m_iShadows(CBuiltInPassSteps::ReadShadowsSetting()),
      m_Steps(renderer, log) {}

UINT CPerPixelPass::Render(CSceneInterface* scene, UINT profile) {
  CSceneBuiltInPassView view(scene, m_pLibrary);
  return Render(view, profile);
}

UINT CPerPixelPass::RenderBuiltInPass(CSceneInterface* scene, const char* name, UINT profile) {
  CSceneBuiltInPassView view(scene, m_pLibrary);
  return RenderBuiltInPass(view, name, profile);
}

UINT CPerPixelPass::Render(CBuiltInPassScene& scene, UINT profile) {
  if (!ShadowVolumeForm(profile) && !ShadowMapForm(profile)) return 0;
  return Sequence(scene, profile);
}

UINT CPerPixelPass::Sequence(CBuiltInPassScene& scene, UINT profile) {
  if (!m_Steps.CanDraw(scene)) return 1;
  return LayingZDownPass(scene, profile) && AmbientPass(scene, profile) &&
                 LightingPass(scene, profile) && m_Steps.Sprites(scene) &&
                 TransparencyPass(scene, profile)
             ? 1
             : 0;
}

UINT CPerPixelPass::RenderBuiltInPass(CBuiltInPassScene& scene, const char* name, UINT profile) {
  if (name == nullptr || (!ShadowVolumeForm(profile) && !ShadowMapForm(profile))) return 0;
  if (std::strcmp(name, "LAYINGZDOWNPASS") == 0) return LayingZDownPass(scene, profile);
  if (std::strcmp(name, "AMBIENTPASS") == 0) return AmbientPass(scene, profile);
  if (std::strcmp(name, "LIGHTINGPASS") == 0) return LightingPass(scene, profile);
  if (std::strcmp(name, "REFLECTIONPASS") == 0)
    return ShadowVolumeForm(profile) ? ReflectionPass(scene, profile) : 1;
  if (std::strcmp(name, "TRANSPARENCYPASS") == 0) return TransparencyPass(scene, profile);
  return 0;
}

UINT CPerPixelPass::LayingZDownPass(CBuiltInPassScene& scene, UINT) {
  if (!m_Steps.CanDraw(scene)) return 1;
  m_Steps.SetDefaultStates();
  scene.SetCamera();
  m_Steps.VertexConstant(15, scene.GetCameraPosition(), 1.0f);
  m_Steps.State(D3DRS_COLORWRITEENABLE, 0);
  m_Steps.DisableStageZero();
  m_Steps.VisibleMeshWalk(scene, "LAYINGZDOWNPASS");
  m_Steps.State(D3DRS_COLORWRITEENABLE, 15);
  return 1;
}

UINT CPerPixelPass::AmbientPass(CBuiltInPassScene& scene, UINT) {
  if (!m_Steps.CanDraw(scene)) return 1;
  const CVector3 camera = scene.GetCameraPosition();
  m_Steps.State(D3DRS_ZWRITEENABLE, FALSE);
  m_Steps.State(D3DRS_ZFUNC, D3DCMP_EQUAL);
  m_Steps.VertexConstant(15, camera, 1.0f);
  m_Steps.VisibleMeshWalk(scene, "AMBIENTPASS");
  return 1;
}

UINT CPerPixelPass::LightingPass(CBuiltInPassScene& scene, UINT profile) {
  if (!m_Steps.CanDraw(scene)) return 1;
  const bool twoSided = m_Steps.UsesTwoSidedStencil();
  const bool stencil = profile == 11;
  m_Steps.VertexConstant(15, scene.GetCameraPosition(), 1.0f);
  m_Steps.State(D3DRS_ZWRITEENABLE, FALSE);
  if (twoSided) m_Steps.AdditiveBlending();
  for (WORD type : {LIGHT_DISTANT, LIGHT_POINT, LIGHT_SPOT})
    m_Steps.LightsOfType(scene, type, [&](CBuiltInPassScene::Object light) {
      if (type != LIGHT_DISTANT) m_Steps.AttenuationConstant(scene, light, 14);
      if (stencil)
        m_Steps.StencilStage(scene, light, CBuiltInPassSteps::VolumePassName(type), twoSided,
                             false);
      m_Steps.AdditiveBlending();
      if (type == LIGHT_DISTANT) {
        const CVector3 direction = scene.GetLightDirection(light);
        m_Steps.VertexConstant(12, direction, 1.0f);
        m_Steps.PixelConstant(5, direction, 1.0f);
      } else {
        m_Steps.VertexConstant(13, scene.GetLightPosition(light), 1.0f);
        if (type == LIGHT_SPOT) m_Steps.VertexConstant(12, scene.GetLightDirection(light), 1.0f);
      }
      m_Steps.RenderLitMeshes(scene, light, CBuiltInPassSteps::OpaquePassName(type));
    });
  m_Steps.State(D3DRS_STENCILENABLE, FALSE);
  return 1;
}

UINT CPerPixelPass::ReflectionPass(CBuiltInPassScene& scene, UINT profile) {
  return Sequence(scene, m_iShadows == 2 && profile == 11 ? 11 : 10);
}

UINT CPerPixelPass::TransparencyPass(CBuiltInPassScene& scene, UINT profile) {
  return m_Steps.TransparencyPass(
      scene, ShadowVolumeForm(profile) ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
}
