#pragma once
// A renderer that hands out the banks a surface uses (any of which may be left null); every
// other operation answers neutrally.
#include "ZeKorbD3DHeader.h"

class FakeSurfaceRenderer final : public CD3D9RendererInterface {
 public:
  CIndexBufferStorageInterface* indexBuffers = nullptr;
  CMaterialStorageInterface* materials = nullptr;
  CTextureStorageInterface* textures = nullptr;

  HRESULT SetRenderState(UINT, UINT) override { return 0; }
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
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override { return indexBuffers; }
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override { return nullptr; }
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override { return nullptr; }
  CVertexBufferStorageInterface* GetVertexBufferStorageInterface() override { return nullptr; }
  CMaterialStorageInterface* GetMaterialStorageInterface() override { return materials; }
  CTextureStorageInterface* GetTextureStorageInterface() override { return textures; }
  CSpriteStorageInterface* GetSpriteStorageInterface() override { return nullptr; }
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
