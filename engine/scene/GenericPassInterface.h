#pragma once
// The default coded rendering path as loading and the scene's render entry use it: it prepares
// the meshes of a scene, or one mesh, whose shaders were not assigned, and draws a scene of
// rendering profile 0 without a scene shader. Start-up sets it as the context's generic-pass port
// when it is made; the default prepares nothing (logging that there is no default rendering path)
// and draws nothing.
#include "windef.h"

class CMesh;
class CScene;
class CSceneInterface;

class CGenericPassInterface {
 public:
  virtual void PrepareScene(CSceneInterface* scene) = 0;
  virtual void PrepareMesh(CMesh* mesh) = 0;
  // 1 when the scene was drawn.
  virtual UINT RenderScene(CScene* scene) = 0;

  static CGenericPassInterface& Default();

 protected:
  ~CGenericPassInterface() = default;
};
