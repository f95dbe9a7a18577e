#include "d3d/D3D9StateCache.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"

namespace {

const char kSource[] = "D3DRenderer9";
constexpr int kError = CEngineLog::kLevelError;
constexpr int kInfo = CEngineLog::kLevelInfo;
const float kNoConstant = std::bit_cast<float>(CD3D9StateCache::kNoConstantBits);

}  // namespace

CD3D9StateCache::CD3D9StateCache(CEngineLog* log) : m_pLog(log) { Clear(); }

void CD3D9StateCache::Clear() {
  std::fill(std::begin(m_LightEnables), std::end(m_LightEnables), 0u);
  std::fill(std::begin(m_RenderStates), std::end(m_RenderStates), kNoValue);
  std::fill(std::begin(m_TextureStageStates), std::end(m_TextureStageStates), kNoValue);
  std::fill(std::begin(m_SamplerStates), std::end(m_SamplerStates), kNoValue);
  std::fill(std::begin(m_VertexShaderConstants), std::end(m_VertexShaderConstants), kNoConstant);
  std::fill(std::begin(m_PixelShaderConstants), std::end(m_PixelShaderConstants), kNoConstant);
}

HRESULT CD3D9StateCache::Refuse(const char* operation, UINT index, UINT type) {
  LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - %s: Index Out Of Range (%u, %u)\n", operation, index,
         type);
  return D3DERR_INVALIDCALL;
}

HRESULT CD3D9StateCache::SetRenderState(UINT state, UINT value) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (state >= kRenderStates) return Refuse("SetRenderState", state, value);
  if (m_RenderStates[state] == value) return D3D_OK;
  const HRESULT result = m_pDevice->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetRenderState: %i, %i - %s\n%s\n", static_cast<int>(state),
           static_cast<int>(value), D3DResultName(result), D3DResultDescription(result));
    return result;
  }
  m_RenderStates[state] = value;
  return result;
}

HRESULT CD3D9StateCache::SetTextureStageState(UINT stage, UINT type, UINT value, bool verbose) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (stage >= kStages || type >= kStageTypes) return Refuse("SetTextureStageState", stage, type);
  DWORD& cached = m_TextureStageStates[stage * kStageTypes + type];
  if (cached == value) return D3D_OK;
  if (verbose)
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "SetTextureStageState: %i, %i, %i\n", static_cast<int>(stage),
           static_cast<int>(type), static_cast<int>(value));
  const HRESULT result = m_pDevice->SetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetTextureStageState: %s\n%s\n", D3DResultName(result),
           D3DResultDescription(result));
    return result;
  }
  cached = value;
  return result;
}

HRESULT CD3D9StateCache::SetSamplerState(UINT sampler, UINT type, UINT value) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  DWORD* cached = nullptr;
  if (sampler < kStages) {
    if (type >= kStageTypes) return Refuse("SetSamplerState", sampler, type);
    cached = &m_SamplerStates[sampler * kStageTypes + type];
    if (*cached == value) return D3D_OK;
  }
  const HRESULT result = m_pDevice->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetSampleState: %s\n%s\n", D3DResultName(result),
           D3DResultDescription(result));
    return result;
  }
  if (cached) *cached = value;
  return result;
}

HRESULT CD3D9StateCache::SetLightEnable(UINT index, UINT enable) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (index >= kLights) return Refuse("SetLightEnable", index, enable);
  if (m_LightEnables[index] == enable) return D3D_OK;
  const HRESULT result = m_pDevice->LightEnable(index, enable);
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!: LIGHTENABLE: %s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
  m_LightEnables[index] = enable;
  return result;
}

void CD3D9StateCache::GetLightEnableStates(UINT* out) const {
  if (out) std::copy(std::begin(m_LightEnables), std::end(m_LightEnables), out);
}

HRESULT CD3D9StateCache::SetVertexShaderConstantF(UINT start, const float* data, UINT count) {
  return SetShaderConstantF(kVertexShader, start, data, count);
}

HRESULT CD3D9StateCache::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
  return SetShaderConstantF(kPixelShader, start, data, count);
}

bool CD3D9StateCache::IsNoConstant(const float* registerData) {
  for (int i = 0; i < 4; ++i)
    if (std::bit_cast<uint32_t>(registerData[i]) != kNoConstantBits) return false;
  return true;
}

HRESULT CD3D9StateCache::SetShaderConstantF(ShaderKind kind, UINT start, const float* data, UINT count) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (uint64_t{start} + count > kConstantRegisters || (count && !data)) return D3DERR_INVALIDCALL;
  float* cached = (kind == kVertexShader ? m_VertexShaderConstants : m_PixelShaderConstants) + start * 4;
  const UINT components = count * 4;
  // Compared as floats, so that a NaN always counts as a change.
  bool changed = false;
  for (UINT i = 0; i < components && !changed; ++i) changed = !(cached[i] == data[i]);
  if (!changed) return D3D_OK;
  const HRESULT result = kind == kVertexShader ? m_pDevice->SetVertexShaderConstantF(start, data, count)
                                               : m_pDevice->SetPixelShaderConstantF(start, data, count);
  // A refused range keeps the old values, as the other caches do.
  if (SUCCEEDED(result)) memcpy(cached, data, components * sizeof(float));
  return result;
}
