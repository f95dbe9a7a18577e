#pragma once
// The scene and mesh a command of a shader works on, found from what the shader is run for: a
// scene shader's scene (and its current mesh), a mesh shader's mesh and its scene, a surface
// shader's surface, its mesh and that mesh's scene.
class CMesh;
class CScene;
class CShader;

class CShaderTargetObjects {
 public:
  // Null when the shader has no such object at the moment.
  static CScene* Scene(CShader* shader);
  static CMesh* Mesh(CShader* shader);
};
