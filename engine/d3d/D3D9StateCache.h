#pragma once
// The renderer's caches of the device states that change most often: render states, texture
// stage and sampler states, light enables and the float shader constants. Every setter compares
// with its cache first, so a call that would not change the device never reaches it. Indices
// outside the cached ranges are refused with D3DERR_INVALIDCALL, except samplers past 15 (the
// vertex-texture samplers among them), which go to the device uncached. Without a device every
// setter answers D3DERR_INVALIDCALL and caches nothing.
#include <cstdint>

#include "d3d9.h"

class CEngineLog;

class CD3D9StateCache {
 public:
  static constexpr UINT kRenderStates = 256;
  static constexpr UINT kStages = 16;
  static constexpr UINT kStageTypes = 34;
  static constexpr UINT kStageEntries = kStages * kStageTypes;
  static constexpr UINT kLights = 8;
  static constexpr UINT kConstantRegisters = 256;
  // An entry without a cached value; setting it is taken for no change.
  static constexpr DWORD kNoValue = 0xFEFEFEFE;
  // A constant component without a cached value: the largest finite float.
  static constexpr uint32_t kNoConstantBits = 0x7F7FFFFF;

  explicit CD3D9StateCache(CEngineLog* log);
  CD3D9StateCache(const CD3D9StateCache&) = delete;
  CD3D9StateCache& operator=(const CD3D9StateCache&) = delete;

  void SetDevice(IDirect3DDevice9* device) { m_pDevice = device; }
  // Every entry back to its marker, light enables to 0.
  void Clear();

  HRESULT SetRenderState(UINT state, UINT value);
  // kNoValue also for a state outside the cache.
  DWORD GetRenderState(UINT state) const { return state < kRenderStates ? m_RenderStates[state] : kNoValue; }
  // `verbose` logs each call that reaches the device first.
  HRESULT SetTextureStageState(UINT stage, UINT type, UINT value, bool verbose);
  HRESULT SetSamplerState(UINT sampler, UINT type, UINT value);
  // The cache takes the new value even when the device refuses it.
  HRESULT SetLightEnable(UINT index, UINT enable);
  void GetLightEnableStates(UINT* out) const;
  // `count` registers of four floats from `start`; the whole range must lie in c0-c255.
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count);
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count);

  // The caches themselves, for the state stacks.
  const DWORD* GetRenderStates() const { return m_RenderStates; }
  const DWORD* GetTextureStageStates() const { return m_TextureStageStates; }
  const DWORD* GetSamplerStates() const { return m_SamplerStates; }
  const float* GetVertexShaderConstants() const { return m_VertexShaderConstants; }
  const float* GetPixelShaderConstants() const { return m_PixelShaderConstants; }
  // True when no component of the register holds a value.
  static bool IsNoConstant(const float* registerData);

 private:
  enum ShaderKind { kVertexShader, kPixelShader };
  HRESULT SetShaderConstantF(ShaderKind kind, UINT start, const float* data, UINT count);
  HRESULT Refuse(const char* operation, UINT index, UINT type);

  CEngineLog* m_pLog;
  IDirect3DDevice9* m_pDevice = nullptr;
  DWORD m_LightEnables[kLights];
  DWORD m_RenderStates[kRenderStates];
  float m_VertexShaderConstants[kConstantRegisters * 4];
  float m_PixelShaderConstants[kConstantRegisters * 4];
  DWORD m_TextureStageStates[kStageEntries];
  DWORD m_SamplerStates[kStageEntries];
};
