#pragma once
// What a scene's render entry asks of the drawing paths and of the engine's rendering
// resources: the rendering profile a preset's library gave, the scene shader's passes, the
// built-in default, per-vertex and per-pixel passes, the pipeline reset and the flare texture.
// Start-up sets the engine's implementation as the context's scene-passes port at Init; with the
// default a scene draws only what it draws itself (flares without a texture, the debug overlays).
#include "windef.h"

class CRenderingProfileInterface;
class CScene;
class CShader;
class CTextureInterface;

class CScenePasses {
 public:
  // Null when no rendering-profile library is loaded.
  virtual CRenderingProfileInterface* GetRenderingProfile() = 0;
  // The scene shader draws the whole scene at the frame with its passes.
  virtual void RenderSceneShader(CShader* shader, CScene* scene, float frame) = 0;
  // The default coded path, for a scene without a scene shader.
  virtual void RenderGenericPass(CScene* scene) = 0;
  // Profiles 1 and 2.
  virtual void RenderPerVertexPass(CScene* scene, UINT profile) = 0;
  // Profiles 10 to 13.
  virtual void RenderPerPixelPass(CScene* scene, UINT profile) = 0;
  // Lights off, no shaders, default texture-stage states.
  virtual void SetDefaultStates() = 0;
  // The texture made from "flare.jpg" at Init, or null.
  virtual CTextureInterface* GetFlareTexture() = 0;

  static CScenePasses& Default();

 protected:
  ~CScenePasses() = default;
};
