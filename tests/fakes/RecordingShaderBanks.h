#pragma once
// Vertex- and pixel-shader banks that write each SetShader call into a shared call list
// ("vertex shader null", "pixel shader"), so a test sees shader changes in order with the
// other calls it records, and count what a reset and a shutdown ask of them. They create nothing.
#include <string>
#include <vector>

#include "d3d/PixelShaderBankInterface.h"
#include "d3d/VertexShaderBankInterface.h"

class RecordingVertexShaderStorage final : public CVertexShaderBankInterface {
 public:
  explicit RecordingVertexShaderStorage(std::vector<std::string>& log) : calls(log) {}
  void SetShader(CVertexShaderInterface* shader) override {
    calls.push_back(shader == nullptr ? "vertex shader null" : "vertex shader");
  }
  CVertexShaderInterface* CreateShader(const char*, const char*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  CVertexShaderInterface* CreateShader(const char*, ShaderParameter*, UINT) override { return nullptr; }
  UINT ClearCurrentShader() override { return static_cast<UINT>(++clears); }
  void ReleaseDeviceObjects() override { ++releases; }
  std::vector<std::string>& calls;
  int clears = 0, releases = 0;
};

class RecordingPixelShaderStorage final : public CPixelShaderBankInterface {
 public:
  explicit RecordingPixelShaderStorage(std::vector<std::string>& log) : calls(log) {}
  void SetShader(CPixelShaderInterface* shader) override {
    calls.push_back(shader == nullptr ? "pixel shader null" : "pixel shader");
  }
  CPixelShaderInterface* CreateShader(const char*, const char*, ShaderParameter*, UINT) override {
    return nullptr;
  }
  CPixelShaderInterface* CreateShader(const char*, ShaderParameter*, UINT) override { return nullptr; }
  UINT ClearCurrentShader() override { return static_cast<UINT>(++clears); }
  void ReleaseDeviceObjects() override { ++releases; }
  std::vector<std::string>& calls;
  int clears = 0, releases = 0;
};
