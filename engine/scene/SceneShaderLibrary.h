#pragma once
// What a scene asks of the shader library: compile a scene shader and prepare a scene for the
// default rendering path. The shader library implements it and start-up sets it as the
// context's scene-shader port when it is created at Init; the default compiles nothing.
#include "ZKDXInterface.h"

class CScene;
class CShader;

class CSceneShaderLibrary {
 public:
  // The compiled shader for the scene (reused when the file was compiled before), or null when
  // compiling fails.
  virtual CShader* CreateShaderForScene(const char* fileName, CScene* scene,
                                        ShaderParameter* parameters, UINT numberOfParameters) = 0;
  // 1 when the scene is ready for the default path.
  virtual UINT ApplyDefaultShaderForScene(CScene* scene) = 0;

  static CSceneShaderLibrary& Default();

 protected:
  ~CSceneShaderLibrary() = default;
};
