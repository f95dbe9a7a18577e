#pragma once
// The steps the per-vertex and per-pixel built-in passes share: render states and constants
// through the renderer's caches, the walks over the camera's visible meshes and lights, the
// stencil count of a light's shadow volumes, the transparency pass and the scene's sprites.
#include "shaders/BuiltInPassScene.h"

class CEngineLog;
class CEngineRenderer;

class CBuiltInPassSteps {
 public:
  using Object = CBuiltInPassScene::Object;

  CBuiltInPassSteps(CEngineRenderer* renderer, CEngineLog* log)
      : m_pRenderer(renderer), m_pLog(log) {}

  // The engine setting "shadows" as an integer; 0 when absent or not an integer.
  static int ReadShadowsSetting();

  // False, logged the first time only, when the scene has no active camera to draw through.
  bool CanDraw(CBuiltInPassScene& scene);
  // Scheme Radeon9700 and above draw each shadow volume once with two-sided stencil.
  bool UsesTwoSidedStencil();

  void State(UINT state, UINT value);
  void DisableStageZero();
  void SetDefaultStates();
  void VertexConstant(UINT reg, const CVector3& value, float w);
  void VertexConstant(UINT reg, float x, float y, float z, float w);
  void PixelConstant(UINT reg, const CVector3& value, float w);
  // (Attenuation0, Attenuation1, Attenuation2, Range) of the light.
  void AttenuationConstant(CBuiltInPassScene& scene, Object light, UINT reg);
  void AdditiveBlending();

  // Runs the pass on every visible mesh that no CALL is running already.
  void VisibleMeshWalk(CBuiltInPassScene& scene, const char* passName);
  // Calls `each` with every visible light of the type, having made it the current light.
  template <class Each>
  void LightsOfType(CBuiltInPassScene& scene, WORD type, Each each) {
    for (UINT i = 0; i < scene.GetNumberOfVisibleLights(); ++i) {
      Object light = scene.GetVisibleLight(i);
      if (scene.GetLightType(light) != type) continue;
      scene.SetCurrentLight(light);
      each(light);
    }
  }
  void RenderLitMeshes(CBuiltInPassScene& scene, Object light, const char* passName);
  // Counts the light's shadow volumes into the stencil buffer (cleared to 128 first), so that
  // the light's pixels pass where the count is back at 128. Two-sided stencil counts depth
  // failures, or depth passes when `depthPass`; one-sided stencil always counts failures,
  // drawing each volume twice.
  void StencilStage(CBuiltInPassScene& scene, Object light, const char* volumePassName,
                    bool twoSided, bool depthPass);
  UINT TransparencyPass(CBuiltInPassScene& scene, UINT destinationBlend);
  UINT Sprites(CBuiltInPassScene& scene);

  static const char* VolumePassName(WORD lightType);
  static const char* OpaquePassName(WORD lightType);

 private:
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  bool m_bNoCameraLogged = false;
};
