#pragma once
// Records what a scene asks of the shader library and answers as the test decides.
#include <string>
#include <vector>

#include "scene/SceneShaderLibrary.h"

class FakeSceneShaderLibrary final : public CSceneShaderLibrary {
 public:
  struct CreateCall {
    std::string fileName;
    CScene* scene;
    ShaderParameter* parameters;
    UINT numberOfParameters;
  };

  CShader* CreateShaderForScene(const char* fileName, CScene* scene, ShaderParameter* parameters,
                                UINT numberOfParameters) override {
    createCalls.push_back({fileName, scene, parameters, numberOfParameters});
    return shaderToReturn;
  }
  UINT ApplyDefaultShaderForScene(CScene* scene) override {
    preparedScenes.push_back(scene);
    return applyResult;
  }

  CShader* shaderToReturn = nullptr;
  UINT applyResult = 1;
  std::vector<CreateCall> createCalls;
  std::vector<CScene*> preparedScenes;
};
