#pragma once
// The default coded rendering path as loading uses it: it prepares the meshes of a scene, or one
// mesh, whose shaders were not assigned. Registered in the engine context when it is made.
class CMesh;
class CSceneInterface;

class CGenericPassInterface {
 public:
  virtual void PrepareScene(CSceneInterface* scene) = 0;
  virtual void PrepareMesh(CMesh* mesh) = 0;

 protected:
  ~CGenericPassInterface() = default;
};
