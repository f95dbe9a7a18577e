#pragma once
// A renderer that records the render, texture-stage and sampler states it is given, its clears,
// draws from the bound streams, default-state requests, state saves and loads, lights, light
// enables and scissor rectangles, and hands out the banks, device, enumeration, settings and
// viewport a test gives it (any of which may be left null); everything else answers neutrally.
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
  // ResetScissorRect calls, and the rectangles SetScissorTest was given.
  int scissorResets = 0;
  std::vector<RECT> scissorRects;
  void ResetScissorRect(UINT, UINT) override { ++scissorResets; }

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
  // Null until a test gives the renderer a viewport.
  D3DVIEWPORT9* viewport = nullptr;
  D3DVIEWPORT9* GetViewport() override { return viewport; }
  HDC GetBackBufferDC() override { return nullptr; }
  UINT IsRenderingBegin() override { return 0; }
  // Index and flag of every SetLightEnable, index and record of every SetLight.
  std::vector<std::pair<UINT, UINT>> lightEnables;
  HRESULT SetLightEnable(WORD index, UINT enable) override {
    lightEnables.emplace_back(index, enable);
    return 0;
  }
  std::vector<std::pair<UINT, D3DLIGHT9>> lights;
  HRESULT SetLight(UINT index, const D3DLIGHT9* light) override {
    lights.emplace_back(index, *light);
    return 0;
  }
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
  // What every constant setter answers.
  HRESULT constantResult = 0;
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override {
    for (UINT i = 0; i < count; ++i) sequence.push_back(Constant("pc", start + i, data + 4 * i));
    return constantResult;
  }
  // Integer registers as "vi 3 1,-1,0,2", Boolean ones as "vb 3 1".
  HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override {
    return Integers("pi", start, data, count, 4);
  }
  HRESULT SetPixelShaderConstantF(UINT start, const UINT* data, UINT count) override {
    return Integers("pb", start, reinterpret_cast<const int*>(data), count, 1);
  }
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override {
    for (UINT i = 0; i < count; ++i) sequence.push_back(Constant("vc", start + i, data + 4 * i));
    return constantResult;
  }
  HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override {
    return Integers("vi", start, data, count, 4);
  }
  HRESULT SetVertexShaderConstantF(UINT start, const UINT* data, UINT count) override {
    return Integers("vb", start, reinterpret_cast<const int*>(data), count, 1);
  }
  // The one-argument draw as "draw 10".
  HRESULT DrawIndexedPrimitive(UINT primitiveCount) override {
    sequence.push_back("draw " + std::to_string(primitiveCount));
    return 0;
  }
  HRESULT DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT) override { return 0; }
  void DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT, UINT) override {}
  void DrawIndexedPrimitiveUP(UINT, UINT, UINT, UINT, const void*, UINT, const void*,
                              UINT) override {}
  // Draws from memory with a copy of their vertices.
  struct MemoryDraw {
    UINT type, primitives, vertexCount, stride;
    std::vector<unsigned char> vertices;
  };
  std::vector<MemoryDraw> memoryDraws;
  void DrawPrimitive(UINT type, UINT primitives, UINT vertexCount, const void* vertices,
                     UINT stride) override {
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    memoryDraws.push_back({type, primitives, vertexCount, stride,
                           bytes ? std::vector<unsigned char>(bytes, bytes + vertexCount * stride)
                                 : std::vector<unsigned char>()});
    sequence.push_back("DrawPrimitive");
  }
  HRESULT SetSoftwareVertexProcessing(UINT) override { return 0; }
  HRESULT EvictManagedResources() override { return 0; }
  HRESULT SetScissorTest(const RECT* rect) override {
    scissorRects.push_back(*rect);
    return 0;
  }
  HRESULT GetScissorTest(RECT*) override { return 0; }

 private:
  HRESULT Integers(const char* kind, UINT start, const int* data, UINT count, UINT width) {
    for (UINT i = 0; i < count; ++i) {
      std::string text = std::string(kind) + " " + std::to_string(start + i) + " ";
      for (UINT k = 0; k < width; ++k)
        text += (k > 0 ? "," : "") + std::to_string(data[width * i + k]);
      sequence.push_back(text);
    }
    return constantResult;
  }
  HRESULT Frame(std::string call) {
    frameCalls.push_back(std::move(call));
    return 0;
  }
};
