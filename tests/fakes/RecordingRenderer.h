#pragma once
// A renderer that records the render, texture-stage and sampler states it is given, its clears,
// draws from the bound streams, default-state requests and state saves and loads, and hands out
// the banks, device, enumeration and settings a test gives it (any of which may be left null);
// everything else answers neutrally.
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "d3d/EngineRenderer.h"

class RecordingRenderer final : public CEngineRenderer {
 public:
  // Every render and stage state, clear, default-state request and shader constant in call
  // order: "state 14=0", "stage 0 1=1", "clear 4 0", "defaults", "vc 15 1,2,3,1", "pc 5 ...",
  // "pci 0 1,2,3,4", "vcb 3 1".
  // A test may append its own entries to see them interleaved.
  std::vector<std::string> sequence;
  static std::string Constant(const char* kind, UINT start, const float* data) {
    char text[128];
    std::snprintf(text, sizeof text, "%s %u %g,%g,%g,%g", kind, start, data[0], data[1], data[2],
                  data[3]);
    return text;
  }

  HRESULT SetRenderState(UINT state, UINT value) override {
    renderStates.emplace_back(state, value);
    sequence.push_back("state " + std::to_string(state) + "=" + std::to_string(value));
    return 0;
  }
  std::vector<std::pair<UINT, UINT>> renderStates;
  // The last value given to the state, as the real renderer's cache answers.
  DWORD GetRenderState(UINT state) override {
    for (auto it = renderStates.rbegin(); it != renderStates.rend(); ++it)
      if (it->first == state) return it->second;
    return 0xFEFEFEFE;
  }

  // Stage, type and value; the verbose setter records here too.
  std::vector<std::array<UINT, 3>> stageStates;
  HRESULT SetTextureStageState(UINT stage, UINT type, UINT value) override {
    stageStates.push_back({stage, type, value});
    sequence.push_back("stage " + std::to_string(stage) + " " + std::to_string(type) + "=" +
                       std::to_string(value));
    return 0;
  }
  HRESULT SetTextureStageStateVerbose(UINT stage, UINT type, UINT value) override {
    return SetTextureStageState(stage, type, value);
  }
  std::vector<std::array<UINT, 3>> samplerStates;
  HRESULT SetSamplerState(UINT sampler, UINT type, UINT value) override {
    samplerStates.push_back({sampler, type, value});
    return 0;
  }

  // Flags and colour of every ClearBuffers.
  std::vector<std::pair<UINT, UINT>> clears;
  HRESULT ClearBuffers(UINT flags, UINT colour) override {
    clears.emplace_back(flags, colour);
    sequence.push_back("clear " + std::to_string(flags) + " " + std::to_string(colour));
    return 0;
  }
  // Type, start vertex and primitive count of every DrawStreamPrimitive.
  std::vector<std::array<UINT, 3>> streamDraws;
  HRESULT DrawStreamPrimitive(UINT type, UINT startVertex, UINT primitiveCount) override {
    streamDraws.push_back({type, startVertex, primitiveCount});
    return 0;
  }
  int defaultStateRequests = 0;
  void SetDefaultStates() override {
    ++defaultStateRequests;
    sequence.push_back("defaults");
  }
  // SaveStates and LoadStates count their calls and answer these results.
  int saves = 0, loads = 0;
  UINT saveResult = 1, loadResult = 1;
  UINT SaveStates() override {
    ++saves;
    return saveResult;
  }
  UINT LoadStates() override {
    ++loads;
    return loadResult;
  }

  IDirect3DDevice9* device = nullptr;
  IDirect3DDevice9* GetDevice() override { return device; }
  CD3D9Enumeration* enumeration = nullptr;
  CD3D9Enumeration* GetEnumeration() override { return enumeration; }
  CD3D9Enumeration* GetAdapterEnumeration(UINT adapter) override {
    return adapter == 0 ? enumeration : nullptr;
  }
  const DeviceSettings* settings = nullptr;
  const DeviceSettings* GetDeviceSettings() override { return settings; }
  CRenderTargetStorageInterface* renderTargetStorage = nullptr;
  CRenderTargetStorageInterface* GetRenderTargetStorageInterface() override {
    return renderTargetStorage;
  }
  void ResetScissorRect(UINT, UINT) override {}

  HRESULT SetViewport() override { return 0; }
  // The frame calls in order, with their arguments: "Clear(7,0)", "BeginRendering",
  // "EndRendering", "Flip(1)", "SetTransform(3)".
  std::vector<std::string> frameCalls;
  std::vector<CMatrix> transforms;
  std::vector<HWND> flipWindows;
  HRESULT Flip(HWND window, UINT show) override {
    flipWindows.push_back(window);
    return Frame("Flip(" + std::to_string(show) + ")");
  }
  HRESULT Clear(UINT flags, UINT colour) override {
    return Frame("Clear(" + std::to_string(flags) + "," + std::to_string(colour) + ")");
  }
  HRESULT BeginRendering() override { return Frame("BeginRendering"); }
  HRESULT EndRendering() override { return Frame("EndRendering"); }
  D3DVIEWPORT9* GetViewport() override { return nullptr; }
  HDC GetBackBufferDC() override { return nullptr; }
  UINT IsRenderingBegin() override { return 0; }
  HRESULT SetLightEnable(WORD, UINT) override { return 0; }
  HRESULT GetLightEnableStates(UINT*) override { return 0; }
  float GetWideScreenFactor() override { return 1; }
  // Kinds without a description leave the outputs as they were.
  std::map<UINT, std::array<UINT, 4>> renderTargetDescriptions;
  HRESULT GetRenderTargetDescription(UINT kind, UINT* width, UINT* height, UINT* edge,
                                     UINT* format) override {
    const auto found = renderTargetDescriptions.find(kind);
    if (found == renderTargetDescriptions.end()) return 0;
    *width = found->second[0];
    *height = found->second[1];
    *edge = found->second[2];
    *format = found->second[3];
    return 0;
  }
  CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() override {
    return vertexDeclarationStorage;
  }
  CVertexDeclarationStorageInterface* vertexDeclarationStorage = nullptr;
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override {
    return indexBufferStorage;
  }
  CIndexBufferStorageInterface* indexBufferStorage = nullptr;
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override {
    return vertexShaderStorage;
  }
  CVertexShaderStorageInterface* vertexShaderStorage = nullptr;
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override {
    return pixelShaderStorage;
  }
  CPixelShaderStorageInterface* pixelShaderStorage = nullptr;
  CVertexBufferStorageInterface* GetVertexBufferStorageInterface() override {
    return vertexBufferStorage;
  }
  CVertexBufferStorageInterface* vertexBufferStorage = nullptr;
  CMaterialStorageInterface* GetMaterialStorageInterface() override { return materialStorage; }
  CMaterialStorageInterface* materialStorage = nullptr;
  CTextureStorageInterface* GetTextureStorageInterface() override { return textureStorage; }
  CTextureStorageInterface* textureStorage = nullptr;
  CSpriteStorageInterface* GetSpriteStorageInterface() override { return spriteStorage; }
  CSpriteStorageInterface* spriteStorage = nullptr;
  HRESULT SetTransform(UINT state, const CMatrix* matrix) override {
    if (matrix) transforms.push_back(*matrix);
    return Frame("SetTransform(" + std::to_string(state) + ")");
  }
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override {
    for (UINT i = 0; i < count; ++i) sequence.push_back(Constant("pc", start + i, data + 4 * i));
    return 0;
  }
  HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override {
    return Registers("pci", start, data, count, 4);
  }
  HRESULT SetPixelShaderConstantF(UINT start, const UINT* data, UINT count) override {
    return Registers("pcb", start, data, count, 1);
  }
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override {
    for (UINT i = 0; i < count; ++i) sequence.push_back(Constant("vc", start + i, data + 4 * i));
    return 0;
  }
  HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override {
    return Registers("vci", start, data, count, 4);
  }
  HRESULT SetVertexShaderConstantF(UINT start, const UINT* data, UINT count) override {
    return Registers("vcb", start, data, count, 1);
  }
  HRESULT DrawIndexedPrimitive(UINT) override { return 0; }
  HRESULT DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT) override { return 0; }
  void DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT, UINT) override {}
  void DrawIndexedPrimitiveUP(UINT, UINT, UINT, UINT, const void*, UINT, const void*,
                              UINT) override {}
  void DrawPrimitive(UINT, UINT, UINT, const void*, UINT) override {}
  HRESULT SetLight(UINT, const D3DLIGHT9*) override { return 0; }
  HRESULT SetSoftwareVertexProcessing(UINT) override { return 0; }
  HRESULT EvictManagedResources() override { return 0; }
  HRESULT SetScissorTest(const RECT*) override { return 0; }
  HRESULT GetScissorTest(RECT*) override { return 0; }

 private:
  // Integer and Boolean constants, one entry a register: "pci 2 1,2,3,4", "vcb 0 1".
  template <typename T>
  HRESULT Registers(const char* kind, UINT start, const T* data, UINT count, UINT perRegister) {
    for (UINT i = 0; i < count; ++i) {
      std::string entry = std::string(kind) + " " + std::to_string(start + i) + " ";
      for (UINT j = 0; j < perRegister; ++j)
        entry += (j ? "," : "") + std::to_string(data[i * perRegister + j]);
      sequence.push_back(entry);
    }
    return 0;
  }
  HRESULT Frame(std::string call) {
    frameCalls.push_back(std::move(call));
    return 0;
  }
};
