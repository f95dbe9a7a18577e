#pragma once
// The built-in passes of the per-vertex rendering profiles 1 and 2: an ambient pass that lays
// depth and colour at once, the additive per-light lighting (in profile 2 masked by a stencil
// count of each light's shadow volumes), the scene's sprites and transparency. The lighting is
// computed by the mesh shaders' vertex programs from vertex c8 and c11 to c14.
#include "shaders/BuiltInPassSteps.h"

class CEngineLog;
class CEngineRenderer;
class CSceneInterface;
class CShaderLibrary;

class CPerVertexPass {
 public:
  // Reads the setting "shadows" once. The library answers which meshes a CALL is running.
  CPerVertexPass(CEngineRenderer* renderer, CShaderLibrary* library, CEngineLog* log);

  // 1 when every step returned non-zero; the profile is not checked.
  UINT Render(CSceneInterface* scene, UINT profile);
  // The built-in pass of that exact name; 0 for an unknown name.
  UINT RenderBuiltInPass(CSceneInterface* scene, const char* name, UINT profile);

  UINT Render(CBuiltInPassScene& scene, UINT profile);
  UINT RenderBuiltInPass(CBuiltInPassScene& scene, const char* name, UINT profile);
  UINT AmbientPass(CBuiltInPassScene& scene, UINT profile);
  // The stencil stage runs in profile 2 only.
  UINT LightingPass(CBuiltInPassScene& scene, UINT profile);
  UINT TransparencyPass(CBuiltInPassScene& scene, UINT profile);

  int GetShadows() const { return m_iShadows; }

 private:
  CEngineRenderer* m_pRenderer;
  CShaderLibrary* m_pLibrary;
  int m_iShadows;
  CBuiltInPassSteps m_Steps;
};
