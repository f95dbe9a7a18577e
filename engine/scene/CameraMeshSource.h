#pragma once
// What a camera tells a mesh that CMeshInterface does not carry: the mesh's distance from the
// camera that last collected it, which picks the mesh's level of detail. The engine's mesh
// class implements it.
class CCameraMeshSource {
 public:
  virtual void SetCameraDistance(float distance) = 0;

 protected:
  ~CCameraMeshSource() = default;
};
