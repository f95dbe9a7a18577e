#pragma once
// A renderer that records the render states it is given and hands out the banks a test gives it
// (any of which may be left null); everything else answers neutrally.
#include <utility>
#include <vector>

#include "ZeKorbD3DHeader.h"

class RecordingRenderer final : public CD3D9RendererInterface {
 public:
  HRESULT SetRenderState(UINT state, UINT value) override {
    renderStates.emplace_back(state, value);
    return 0;
  }
  std::vector<std::pair<UINT, UINT>> renderStates;

  HRESULT SetViewport() override { return 0; }
  HRESULT Flip(HWND, UINT) override { return 0; }
  HRESULT Clear(UINT, UINT) override { return 0; }
  HRESULT BeginRendering() override { return 0; }
  HRESULT EndRendering() override { return 0; }
  D3DVIEWPORT9* GetViewport() override { return nullptr; }
  HDC GetBackBufferDC() override { return nullptr; }
  UINT IsRenderingBegin() override { return 0; }
  HRESULT SetLightEnable(WORD, UINT) override { return 0; }
  HRESULT GetLightEnableStates(UINT*) override { return 0; }
  float GetWideScreenFactor() override { return 1; }
  HRESULT GetRenderTargetDescription(UINT, UINT*, UINT*, UINT*, UINT*) override { return 0; }
  CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() override {
    return nullptr;
  }
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override {
    return indexBufferStorage;
  }
  CIndexBufferStorageInterface* indexBufferStorage = nullptr;
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override { return nullptr; }
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override { return nullptr; }
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
  HRESULT SetTextureStageState(UINT, UINT, UINT) override { return 0; }
  HRESULT SetSamplerState(UINT, UINT, UINT) override { return 0; }
  HRESULT SetTransform(UINT, const CMatrix*) override { return 0; }
  HRESULT SetPixelShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetPixelShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const float*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantI(UINT, const int*, UINT) override { return 0; }
  HRESULT SetVertexShaderConstantF(UINT, const UINT*, UINT) override { return 0; }
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
};
