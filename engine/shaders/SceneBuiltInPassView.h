#pragma once
// The built-in passes' view of an engine scene: the scene's active camera object, its lights and
// meshes, and the shader library's nested-mesh stack. Lives for one pass call.
#include "shaders/BuiltInPassScene.h"

class CCamera;
class CSceneInterface;
class CShaderLibrary;

class CSceneBuiltInPassView final : public CBuiltInPassScene {
 public:
  CSceneBuiltInPassView(CSceneInterface* scene, CShaderLibrary* library);

  const char* GetName() override;
  bool HasActiveCamera() override;
  void SetCamera() override;
  CVector3 GetCameraPosition() override;
  UINT GetNumberOfVisibleMeshes() override;
  Object GetVisibleMesh(UINT index) override;
  UINT GetNumberOfVisibleLights() override;
  Object GetVisibleLight(UINT index) override;
  WORD GetLightType(Object light) override;
  D3DLIGHT9 GetLightProperties(Object light) override;
  CVector3 GetLightDirection(Object light) override;
  CVector3 GetLightPosition(Object light) override;
  UINT GetNumberOfLitMeshes(Object light) override;
  Object GetLitMesh(Object light, UINT index) override;
  UINT GetNumberOfShadowVolumes(Object light) override;
  Object GetShadowVolume(Object light, UINT index) override;
  void SetCurrentLight(Object light) override;
  UINT IsNestedMesh(Object mesh) override;
  void RenderMesh(Object mesh, const char* passName, UINT passKind) override;
  UINT GetNumberOfSprites() override;
  void DrawSprite(UINT index) override;

 private:
  CCamera* Camera();

  CSceneInterface* m_pScene;
  CShaderLibrary* m_pLibrary;
};
