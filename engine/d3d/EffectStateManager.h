#pragma once
// What an effect sets goes through the renderer's state caches, not straight to the device, so
// that the engine's cached states stay true. Effects may not change the vertex format, the
// N-patch mode or the shaders: those stay with the engine's shading language and are refused.
// Not reference counted: AddRef and Release answer 2 and free nothing; its owner deletes it.
#include "d3dx9effect.h"

class CEngineLog;
class CEngineRenderer;

class CEffectStateManager final : public ID3DXEffectStateManager {
 public:
  CEffectStateManager(CEngineRenderer* renderer, CEngineLog* log);
  ~CEffectStateManager() override = default;
  CEffectStateManager(const CEffectStateManager&) = delete;
  CEffectStateManager& operator=(const CEffectStateManager&) = delete;

  // The device's answer; E_NOINTERFACE without a device.
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 2; }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  // Always S_OK: the material bank reports a refusal itself.
  HRESULT SetMaterial(const D3DMATERIAL9* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT SetTexture(DWORD stage, LPDIRECT3DBASETEXTURE9 texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT SetNPatchMode(FLOAT segments) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT SetVertexShader(LPDIRECT3DVERTEXSHADER9 shader) override;
  HRESULT SetVertexShaderConstantF(UINT start, const FLOAT* data, UINT count) override;
  HRESULT SetVertexShaderConstantI(UINT start, const INT* data, UINT count) override;
  HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) override;
  HRESULT SetPixelShader(LPDIRECT3DPIXELSHADER9 shader) override;
  HRESULT SetPixelShaderConstantF(UINT start, const FLOAT* data, UINT count) override;
  HRESULT SetPixelShaderConstantI(UINT start, const INT* data, UINT count) override;
  HRESULT SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) override;

 private:
  // Logs the refusal of `operation`; D3DERR_INVALIDCALL.
  HRESULT Refuse(const char* operation);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
};
