#pragma once
// The built-in passes of the per-pixel rendering profiles 10 to 13: lay depth, ambient, the
// additive per-light lighting (in profile 11 masked by a stencil count of each light's shadow
// volumes), the scene's sprites and transparency. The mesh shaders' passes of fixed names
// supply the programs; these passes supply the order, blending, stencil and a few constants
// (vertex c12 to c15, pixel c5).
#include "shaders/BuiltInPassSteps.h"

class CEngineLog;
class CEngineRenderer;
class CSceneInterface;
class CShaderLibrary;

class CPerPixelPass {
 public:
  // Reads the setting "shadows" once. The library answers which meshes a CALL is running.
  CPerPixelPass(CEngineRenderer* renderer, CShaderLibrary* library, CEngineLog* log);

  // 1 when every step returned non-zero; profiles other than 10 to 13 draw nothing and give 0.
  UINT Render(CSceneInterface* scene, UINT profile);
  // The built-in pass of that exact name for the profile; 0 for an unknown name or profile.
  UINT RenderBuiltInPass(CSceneInterface* scene, const char* name, UINT profile);

  UINT Render(CBuiltInPassScene& scene, UINT profile);
  UINT RenderBuiltInPass(CBuiltInPassScene& scene, const char* name, UINT profile);
  UINT LayingZDownPass(CBuiltInPassScene& scene, UINT profile);
  UINT AmbientPass(CBuiltInPassScene& scene, UINT profile);
  // The stencil stage runs in profile 11 only.
  UINT LightingPass(CBuiltInPassScene& scene, UINT profile);
  // The whole sequence again, with the stencil stage only for "shadows" 2 and profile 11.
  UINT ReflectionPass(CBuiltInPassScene& scene, UINT profile);
  // Profiles 10 and 11 blend SRCALPHA / INVSRCALPHA, the others SRCALPHA / ONE.
  UINT TransparencyPass(CBuiltInPassScene& scene, UINT profile);

  int GetShadows() const { return m_iShadows; }

 private:
  UINT Sequence(CBuiltInPassScene& scene, UINT profile);

  CEngineRenderer* m_pRenderer;
  CShaderLibrary* m_pLibrary;
  int m_iShadows;
  CBuiltInPassSteps m_Steps;
};
