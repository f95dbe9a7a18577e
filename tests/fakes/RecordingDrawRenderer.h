#pragma once
// A renderer that records, in order, what debug drawings, flares and the scene's camera set-up
// ask of it: transforms, render and texture-stage states, device lights, the vertex format,
// sampler states, shader unbinding and user-memory draws; it hands out the texture bank a test
// gives it.
// The letterbox factor is the test's to choose. Everything else answers neutrally.
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "RecordingShaderBanks.h"
#include "ZeKorbD3DHeader.h"

class RecordingDrawRenderer final : public CD3D9RendererInterface,
                                    public CVertexDeclarationStorageInterface {
 public:
  struct Draw {
    UINT type, minIndex, vertexCount, primitiveCount, indexFormat, stride;
    std::vector<WORD> indices;
    std::vector<unsigned char> vertexBytes;
  };

  // A strip or list drawn from the caller's vertices.
  struct PrimitiveDraw {
    UINT type, primitiveCount, vertexCount, stride;
    std::vector<unsigned char> vertexBytes;
  };

  float wideScreenFactor = 0.0f;
  // "transform 2", "state 8=2", "stage 0 1=4", "light 3=0", "fvf 450", "vertex shader null",
  // "draw", "primitive", ...
  std::vector<std::string> calls;
  std::vector<std::pair<UINT, CMatrix>> transforms;
  std::vector<Draw> draws;
  std::vector<PrimitiveDraw> primitives;
  // Sampler, type and value of every SetSamplerState.
  std::vector<std::array<UINT, 3>> samplerStates;

  float GetWideScreenFactor() override { return wideScreenFactor; }
  HRESULT SetTransform(UINT state, const CMatrix* matrix) override {
    calls.push_back("transform " + std::to_string(state));
    transforms.emplace_back(state, matrix != nullptr ? *matrix : CMatrix());
    return 0;
  }
  HRESULT SetRenderState(UINT state, UINT value) override {
    calls.push_back("state " + std::to_string(state) + "=" + std::to_string(value));
    return 0;
  }
  HRESULT SetTextureStageState(UINT stage, UINT type, UINT value) override {
    calls.push_back("stage " + std::to_string(stage) + " " + std::to_string(type) + "=" +
                    std::to_string(value));
    return 0;
  }
  HRESULT SetLightEnable(WORD index, UINT enable) override {
    calls.push_back("light " + std::to_string(index) + "=" + std::to_string(enable));
    return 0;
  }
  void DrawPrimitive(UINT type, UINT primitiveCount, UINT vertexCount, const void* vertices,
                     UINT stride) override {
    calls.push_back("primitive");
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    primitives.push_back(
        {type, primitiveCount, vertexCount, stride, {bytes, bytes + vertexCount * stride}});
  }
  void SetFVF(DWORD fvf) override { calls.push_back("fvf " + std::to_string(fvf)); }
  void DrawIndexedPrimitiveUP(UINT type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                              const void* indices, UINT indexFormat, const void* vertices,
                              UINT stride) override {
    calls.push_back("draw");
    Draw draw{type, minIndex, vertexCount, primitiveCount, indexFormat, stride, {}, {}};
    const auto* words = static_cast<const WORD*>(indices);
    // Two indices per primitive of a line list, three of a triangle list.
    draw.indices.assign(words, words + primitiveCount * (type == 4 ? 3 : 2));
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    draw.vertexBytes.assign(bytes, bytes + vertexCount * stride);
    draws.push_back(draw);
  }
  CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() override {
    return this;
  }
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override {
    return &m_VertexShaders;
  }
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override {
    return &m_PixelShaders;
  }

  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9*) override {
    return nullptr;
  }
  HRESULT SetViewport() override { return 0; }
  HRESULT Flip(HWND, UINT) override { return 0; }
  HRESULT Clear(UINT, UINT) override { return 0; }
  HRESULT BeginRendering() override { return 0; }
  HRESULT EndRendering() override { return 0; }
  D3DVIEWPORT9* GetViewport() override { return nullptr; }
  HDC GetBackBufferDC() override { return nullptr; }
  UINT IsRenderingBegin() override { return 0; }
  HRESULT GetLightEnableStates(UINT*) override { return 0; }
  HRESULT GetRenderTargetDescription(UINT, UINT*, UINT*, UINT*, UINT*) override { return 0; }
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override { return nullptr; }
  CVertexBufferStorageInterface* GetVertexBufferStorageInterface() override { return nullptr; }
  CMaterialStorageInterface* GetMaterialStorageInterface() override { return nullptr; }
  CTextureStorageInterface* textureStorage = nullptr;
  CTextureStorageInterface* GetTextureStorageInterface() override { return textureStorage; }
  CSpriteStorageInterface* GetSpriteStorageInterface() override { return nullptr; }
  HRESULT SetSamplerState(UINT sampler, UINT type, UINT value) override {
    samplerStates.push_back({sampler, type, value});
    return 0;
  }
  HRESULT SetPixelShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
  HRESULT DrawIndexedPrimitive(UINT) override { return 0; }
  HRESULT DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT) override { return 0; }
  void DrawIndexedPrimitive(UINT, UINT, UINT, UINT, UINT, UINT) override {}
  HRESULT SetLight(UINT, const D3DLIGHT9*) override { return 0; }
  HRESULT SetSoftwareVertexProcessing(UINT) override { return 0; }
  HRESULT EvictManagedResources() override { return 0; }
  HRESULT SetScissorTest(const RECT*) override { return 0; }
  HRESULT GetScissorTest(RECT*) override { return 0; }

 private:
  RecordingVertexShaderStorage m_VertexShaders{calls};
  RecordingPixelShaderStorage m_PixelShaders{calls};
};
