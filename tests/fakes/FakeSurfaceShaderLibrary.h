#pragma once
// A shader library for surface tests: records the shaders asked for and the pipeline resets,
// answers with a set shader (null to fail), and applies its default shader when told to.
#include <string>
#include <vector>

#include "scene/Surface.h"
#include "scene/SurfaceShaderLibrary.h"

class FakeSurfaceShaderLibrary final : public CSurfaceShaderLibrary {
 public:
  CShader* shaderToGive = nullptr;
  CShader* defaultShader = nullptr;
  int defaultStateResets = 0;
  std::vector<std::string> requestedFiles;
  std::vector<UINT> requestedParameterCounts;

  void SetDefaultStates() override { ++defaultStateResets; }
  CShader* CreateShaderForSurface(const char* fileName, CSurface*, ShaderParameter*,
                                  UINT numberOfParameters) override {
    requestedFiles.emplace_back(fileName);
    requestedParameterCounts.push_back(numberOfParameters);
    return shaderToGive;
  }
  UINT ExecuteSurfacePass(CShader* shader, const char* passName, CSurface* surface,
                          float value) override {
    runs.push_back({shader, passName, surface, value});
    return 1;
  }
  struct Run {
    CShader* shader;
    std::string passName;
    CSurface* surface;
    float value;
  };
  std::vector<Run> runs;
  UINT ApplyDefaultShaderForSurface(CSurface* surface) override {
    surface->SetShaderFileName("none", 0);
    surface->SetShader(defaultShader);
    return defaultShader != nullptr ? 1 : 0;
  }
};
