#pragma once
// D3DX 9 effects: the state manager through which an effect sets every device state, so that
// the application can put its own state caching between the effect and the device. Effects
// themselves are not served.
#include "d3d9.h"
#include "unknwn.h"

struct ID3DXEffectStateManager : public IUnknown {
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT SetTexture(DWORD stage, LPDIRECT3DBASETEXTURE9 texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
  virtual HRESULT SetNPatchMode(FLOAT segments) = 0;
  virtual HRESULT SetFVF(DWORD fvf) = 0;
  virtual HRESULT SetVertexShader(LPDIRECT3DVERTEXSHADER9 shader) = 0;
  virtual HRESULT SetVertexShaderConstantF(UINT start, const FLOAT* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantI(UINT start, const INT* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) = 0;
  virtual HRESULT SetPixelShader(LPDIRECT3DPIXELSHADER9 shader) = 0;
  virtual HRESULT SetPixelShaderConstantF(UINT start, const FLOAT* data, UINT count) = 0;
  virtual HRESULT SetPixelShaderConstantI(UINT start, const INT* data, UINT count) = 0;
  virtual HRESULT SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) = 0;
};
typedef ID3DXEffectStateManager* LPD3DXEFFECTSTATEMANAGER;
