#pragma once
// The default coded rendering path as loading uses it: it prepares the meshes of a scene, or one
// mesh, whose shaders were not assigned. Start-up sets it as the context's generic-pass port when
// it is made; the default prepares nothing and logs that there is no default rendering path.
class CMesh;
class CSceneInterface;

class CGenericPassInterface {
 public:
  virtual void PrepareScene(CSceneInterface* scene) = 0;
  virtual void PrepareMesh(CMesh* mesh) = 0;

  static CGenericPassInterface& Default();

 protected:
  ~CGenericPassInterface() = default;
};
