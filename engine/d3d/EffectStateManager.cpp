#include "d3d/EffectStateManager.h"

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"

namespace {

const char kSource[] = "D3DEffectStateManager";

}  // namespace

CEffectStateManager::CEffectStateManager(CEngineRenderer* renderer, CEngineLog* log)
    : m_pRenderer(renderer), m_pLog(log) {}

HRESULT CEffectStateManager::Refuse(const char* operation) {
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
         "WARNING!!! - Trying To Call %s From Within An EffectFile\n", operation);
  return D3DERR_INVALIDCALL;
}

HRESULT CEffectStateManager::QueryInterface(REFIID riid, void** object) {
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  return device ? device->QueryInterface(riid, object) : E_NOINTERFACE;
}

HRESULT CEffectStateManager::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  static_assert(sizeof(D3DMATRIX) == sizeof(CMatrix));
  return m_pRenderer->SetTransform(state, reinterpret_cast<const CMatrix*>(matrix));
}

HRESULT CEffectStateManager::SetMaterial(const D3DMATERIAL9* material) {
  // The bank's setter takes the record as it stands and does not change it.
  m_pRenderer->GetMaterialStorageInterface()->SetMaterial(const_cast<D3DMATERIAL9*>(material));
  return S_OK;
}

HRESULT CEffectStateManager::SetLight(DWORD index, const D3DLIGHT9* light) {
  return m_pRenderer->SetLight(index, light);
}

HRESULT CEffectStateManager::LightEnable(DWORD index, BOOL enable) {
  return m_pRenderer->SetLightEnable(static_cast<WORD>(index), static_cast<UINT>(enable));
}

HRESULT CEffectStateManager::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return m_pRenderer->SetRenderState(state, value);
}

HRESULT CEffectStateManager::SetTexture(DWORD stage, LPDIRECT3DBASETEXTURE9 texture) {
  return m_pRenderer->GetTextureStorageInterface()->SetD3DTexture(texture, stage) == 1 ? S_OK : D3DERR_INVALIDCALL;
}

HRESULT CEffectStateManager::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  return m_pRenderer->SetTextureStageState(stage, type, value);
}

HRESULT CEffectStateManager::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  return m_pRenderer->SetSamplerState(sampler, type, value);
}

HRESULT CEffectStateManager::SetNPatchMode(FLOAT) { return Refuse("SetNPatchMode"); }
HRESULT CEffectStateManager::SetFVF(DWORD) { return Refuse("SetFVF"); }
HRESULT CEffectStateManager::SetVertexShader(LPDIRECT3DVERTEXSHADER9) { return Refuse("SetVertexShader"); }
HRESULT CEffectStateManager::SetPixelShader(LPDIRECT3DPIXELSHADER9) { return Refuse("SetPixelShader"); }

HRESULT CEffectStateManager::SetVertexShaderConstantF(UINT start, const FLOAT* data, UINT count) {
  return m_pRenderer->SetVertexShaderConstantF(start, data, count);
}

HRESULT CEffectStateManager::SetVertexShaderConstantI(UINT start, const INT* data, UINT count) {
  return m_pRenderer->SetVertexShaderConstantI(start, data, count);
}

// The renderer's boolean constants are its overloads on unsigned words.
HRESULT CEffectStateManager::SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) {
  static_assert(sizeof(BOOL) == sizeof(UINT));
  return m_pRenderer->SetVertexShaderConstantF(start, reinterpret_cast<const UINT*>(data), count);
}

HRESULT CEffectStateManager::SetPixelShaderConstantF(UINT start, const FLOAT* data, UINT count) {
  return m_pRenderer->SetPixelShaderConstantF(start, data, count);
}

HRESULT CEffectStateManager::SetPixelShaderConstantI(UINT start, const INT* data, UINT count) {
  return m_pRenderer->SetPixelShaderConstantI(start, data, count);
}

HRESULT CEffectStateManager::SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) {
  return m_pRenderer->SetPixelShaderConstantF(start, reinterpret_cast<const UINT*>(data), count);
}
