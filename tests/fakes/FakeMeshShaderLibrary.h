#pragma once
// Records what meshes ask of the shader library. Its one shader has the passes a test lays out,
// each a list of stream bindings the mesh fills in.
#include <string>
#include <vector>

#include "scene/MeshShaderLibrary.h"

class FakeMeshShaderLibrary final : public CMeshShaderLibrary {
 public:
  // Stands for a compiled shader; only its address is used.
  CShader* Shader() { return reinterpret_cast<CShader*>(&m_shaderTag); }

  CShader* CreateShaderForMesh(const char* fileName, CMesh* mesh, ShaderParameter*,
                               UINT numberOfParameters) override {
    createCalls.push_back({fileName ? fileName : "", mesh, numberOfParameters});
    return createSucceeds ? Shader() : nullptr;
  }
  UINT ApplyDefaultShaderForMesh(CMesh* mesh) override {
    defaultShaderMeshes.push_back(mesh);
    return applyResult;
  }
  UINT GetNumberOfPasses(CShader* shader) override {
    return shader == Shader() ? static_cast<UINT>(passes.size()) : 0;
  }
  UINT ExecuteMeshPass(CShader* shader, const char* passName, CMesh* mesh, float value,
                       UINT passKind) override {
    runs.push_back({shader, passName, mesh, value, passKind});
    return 1;
  }
  struct Run {
    CShader* shader;
    std::string passName;
    CMesh* mesh;
    float value;
    UINT passKind;
  };
  std::vector<Run> runs;
  ShaderStreamBinding* GetStreamBindings(CShader* shader, UINT pass, UINT* count) override {
    if (shader != Shader() || pass >= passes.size()) return nullptr;
    *count = static_cast<UINT>(passes[pass].size());
    return passes[pass].data();
  }

  struct CreateCall {
    std::string fileName;
    CMesh* mesh;
    UINT numberOfParameters;
  };
  bool createSucceeds = true;
  UINT applyResult = 1;
  std::vector<std::vector<ShaderStreamBinding>> passes;
  std::vector<CreateCall> createCalls;
  std::vector<CMesh*> defaultShaderMeshes;

 private:
  int m_shaderTag = 0;
};
