#pragma once
// SETCAMERA mode: renders the scene from the current light (along its direction, its cone as the
// field of view), from the current light or mesh towards one of the six cube directions, or with
// DEFAULT from the scene's own camera again. A light or mesh gets its camera the first time and
// keeps it.
#include "ZKDXMath.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CCamera;
class CEngineLog;
class CEngineRenderer;
class CScene;
class CShaderPass;
class CWorldObject;

class CShaderProgramSetCamera final : public CShaderLine {
 public:
  enum : UINT {
    kDefault = 1,
    kCurrentLight = 2,
    kLightCubeFirst = 3,  // +x, +y, +z, -x, -y, -z
    kLightCubeLast = 8,
    kMeshCubeFirst = 10,
    kMeshCubeLast = 15,
  };

  explicit CShaderProgramSetCamera(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  // 0 when the shader's target has no scene or no camera can be made.
  UINT Execute() override;
  UINT GetType() override { return 24; }
  int GetSkip() override { return 0; }

  UINT GetMode() const { return m_dwMode; }

 private:
  // The screen the camera renders to: the current render target's size, or 512 x 512.
  void ScreenSize(float* width, float* height);
  // Places `camera` at `eye` looking at `target` and makes it the scene's active camera.
  void Place(CScene* scene, CCamera* camera, CVector3 eye, CVector3 target, float zoom, float bank);
  // A camera in the object's scene; null (logged with `failure`) without memory.
  CCamera* MakeCamera(CWorldObject* object, const char* failure);
  UINT FromLight(CScene* scene);
  UINT FromMesh(CScene* scene);

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  UINT m_dwMode = 0;
};

CShaderLine* MakeShaderProgramSetCamera(const ShaderLineArguments& arguments);
