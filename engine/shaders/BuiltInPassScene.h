#pragma once
// What the built-in passes read and draw of one scene: its active camera and the camera's
// visible meshes and lights, each light's values and the meshes and shadow volumes it reaches,
// the scene's current light and sprites, and the drawing of one mesh pass. Meshes and lights
// are opaque handles that only the scene they came from reads.
#include "ZKDXMath.h"
#include "d3d9.h"
#include "windef.h"

class CBuiltInPassScene {
 public:
  using Object = void*;

  virtual const char* GetName() = 0;
  virtual bool HasActiveCamera() = 0;
  // Makes the active camera active again, which rebuilds its visible lists and its lights'.
  virtual void SetCamera() = 0;
  virtual CVector3 GetCameraPosition() = 0;
  virtual UINT GetNumberOfVisibleMeshes() = 0;
  virtual Object GetVisibleMesh(UINT index) = 0;
  virtual UINT GetNumberOfVisibleLights() = 0;
  virtual Object GetVisibleLight(UINT index) = 0;

  virtual WORD GetLightType(Object light) = 0;
  virtual D3DLIGHT9 GetLightProperties(Object light) = 0;
  // (0, 0, 1) turned by the light's rotation; zero for a point light.
  virtual CVector3 GetLightDirection(Object light) = 0;
  virtual CVector3 GetLightPosition(Object light) = 0;
  virtual UINT GetNumberOfLitMeshes(Object light) = 0;
  virtual Object GetLitMesh(Object light, UINT index) = 0;
  virtual UINT GetNumberOfShadowVolumes(Object light) = 0;
  virtual Object GetShadowVolume(Object light, UINT index) = 0;
  virtual void SetCurrentLight(Object light) = 0;

  // Whether a CALL of a mesh pass is running this mesh's passes already.
  virtual UINT IsNestedMesh(Object mesh) = 0;
  virtual void RenderMesh(Object mesh, const char* passName, UINT passKind) = 0;
  virtual UINT GetNumberOfSprites() = 0;
  // Draws the sprite of the slot at the scene's current frame; an empty slot draws nothing.
  virtual void DrawSprite(UINT index) = 0;

 protected:
  ~CBuiltInPassScene() = default;
};
