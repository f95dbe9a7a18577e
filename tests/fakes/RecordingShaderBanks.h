#pragma once
// Vertex- and pixel-shader banks that write each SetShader call into a shared call list
// ("vertex shader null", "pixel shader"), so a test sees shader changes in order with the
// other calls it records. They create nothing.
#include <string>
#include <vector>

#include "ZeKorbD3DHeader.h"

class RecordingVertexShaderStorage final : public CVertexShaderStorageInterface {
 public:
  explicit RecordingVertexShaderStorage(std::vector<std::string>& log) : calls(log) {}
  void SetShader(CVertexShaderInterface* shader) override {
    calls.push_back(shader == nullptr ? "vertex shader null" : "vertex shader");
  }
  CVertexShaderInterface* CreateShader(const char*, const char*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  CVertexShaderInterface* CreateShader(const char*, ShaderParameter*, UINT) override { return nullptr; }
  std::vector<std::string>& calls;
};

class RecordingPixelShaderStorage final : public CPixelShaderStorageInterface {
 public:
  explicit RecordingPixelShaderStorage(std::vector<std::string>& log) : calls(log) {}
  void SetShader(CPixelShaderInterface* shader) override {
    calls.push_back(shader == nullptr ? "pixel shader null" : "pixel shader");
  }
  CPixelShaderInterface* CreateShader(const char*, const char*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  CPixelShaderInterface* CreateShader(const char*, ShaderParameter*, UINT) override { return nullptr; }
  std::vector<std::string>& calls;
};
