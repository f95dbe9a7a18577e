#pragma once
// A recording IDirect3DDevice9 for tests of D3DX texture creation: it makes CFakeTexture and
// CFakeCubeTexture objects, copies textures in UpdateTexture and logs those calls; every other
// call fails with E_NOTIMPL. The real device answers the same calls with GPU-backed resources.
#include <string>
#include <vector>

#include "FakeCubeTexture.h"
#include "FakeTexture.h"

class CFakeDevice : public IDirect3DDevice9 {
 public:
  struct TextureRequest {
    UINT width, height, levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
  };

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override { return --m_references; }  // lives on the test's stack

  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
  HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture9** texture, HANDLE* sharedHandle) override;
  HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination) override;
  HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
  // Whole source rectangles only, as D3DX uses it.
  HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* destination,
                        const POINT* destPoint) override;

  // Every texture asked for, in order, and the number of UpdateTexture and UpdateSurface calls.
  const std::vector<TextureRequest>& TextureRequests() const { return m_textureRequests; }
  int UpdateCalls() const { return m_updateCalls; }
  int UpdateSurfaceCalls() const { return m_updateSurfaceCalls; }
  // The next CreateTexture fails with `result`.
  void FailNextCreateTexture(HRESULT result) { m_nextCreateResult = result; }

  HRESULT TestCooperativeLevel() override { return E_NOTIMPL; }
  UINT GetAvailableTextureMem() override { return 0; }
  HRESULT EvictManagedResources() override { return E_NOTIMPL; }
  HRESULT GetDirect3D(IDirect3D9**) override { return E_NOTIMPL; }
  HRESULT GetDeviceCaps(D3DCAPS9*) override { return E_NOTIMPL; }
  HRESULT GetDisplayMode(UINT, D3DDISPLAYMODE*) override { return E_NOTIMPL; }
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS*) override { return E_NOTIMPL; }
  HRESULT GetSwapChain(UINT, IDirect3DSwapChain9**) override { return E_NOTIMPL; }
  UINT GetNumberOfSwapChains() override { return 0; }
  HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return E_NOTIMPL; }
  HRESULT Present(const RECT*, const RECT*, HWND, const void*) override { return E_NOTIMPL; }
  HRESULT GetBackBuffer(UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9**) override { return E_NOTIMPL; }
  HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9**, HANDLE*) override {
    return E_NOTIMPL;
  }
  HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer9**, HANDLE*) override {
    return E_NOTIMPL;
  }
  HRESULT CreateRenderTarget(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, DWORD, BOOL, IDirect3DSurface9**,
                             HANDLE*) override {
    return E_NOTIMPL;
  }
  HRESULT CreateDepthStencilSurface(UINT, UINT, D3DFORMAT, D3DMULTISAMPLE_TYPE, DWORD, BOOL, IDirect3DSurface9**,
                                    HANDLE*) override {
    return E_NOTIMPL;
  }
  HRESULT GetRenderTargetData(IDirect3DSurface9*, IDirect3DSurface9*) override { return E_NOTIMPL; }
  HRESULT StretchRect(IDirect3DSurface9*, const RECT*, IDirect3DSurface9*, const RECT*, D3DTEXTUREFILTERTYPE) override {
    return E_NOTIMPL;
  }
  HRESULT ColorFill(IDirect3DSurface9*, const RECT*, D3DCOLOR) override { return E_NOTIMPL; }
  HRESULT SetRenderTarget(DWORD, IDirect3DSurface9*) override { return E_NOTIMPL; }
  HRESULT GetRenderTarget(DWORD, IDirect3DSurface9**) override { return E_NOTIMPL; }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9*) override { return E_NOTIMPL; }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9**) override { return E_NOTIMPL; }
  HRESULT BeginScene() override { return E_NOTIMPL; }
  HRESULT EndScene() override { return E_NOTIMPL; }
  HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return E_NOTIMPL; }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return E_NOTIMPL; }
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return E_NOTIMPL; }
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return E_NOTIMPL; }
  HRESULT SetViewport(const D3DVIEWPORT9*) override { return E_NOTIMPL; }
  HRESULT GetViewport(D3DVIEWPORT9*) override { return E_NOTIMPL; }
  HRESULT SetMaterial(const D3DMATERIAL9*) override { return E_NOTIMPL; }
  HRESULT GetMaterial(D3DMATERIAL9*) override { return E_NOTIMPL; }
  HRESULT SetLight(DWORD, const D3DLIGHT9*) override { return E_NOTIMPL; }
  HRESULT GetLight(DWORD, D3DLIGHT9*) override { return E_NOTIMPL; }
  HRESULT LightEnable(DWORD, BOOL) override { return E_NOTIMPL; }
  HRESULT GetLightEnable(DWORD, BOOL*) override { return E_NOTIMPL; }
  HRESULT SetClipPlane(DWORD, const float*) override { return E_NOTIMPL; }
  HRESULT GetClipPlane(DWORD, float*) override { return E_NOTIMPL; }
  HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return E_NOTIMPL; }
  HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
  HRESULT GetTexture(DWORD, IDirect3DBaseTexture9**) override { return E_NOTIMPL; }
  HRESULT SetTexture(DWORD, IDirect3DBaseTexture9*) override { return E_NOTIMPL; }
  HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return E_NOTIMPL; }
  HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return E_NOTIMPL; }
  HRESULT GetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
  HRESULT SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override { return E_NOTIMPL; }
  HRESULT ValidateDevice(DWORD*) override { return E_NOTIMPL; }
  HRESULT SetScissorRect(const RECT*) override { return E_NOTIMPL; }
  HRESULT GetScissorRect(RECT*) override { return E_NOTIMPL; }
  HRESULT SetSoftwareVertexProcessing(BOOL) override { return E_NOTIMPL; }
  BOOL GetSoftwareVertexProcessing() override { return 0; }
  HRESULT SetNPatchMode(float) override { return E_NOTIMPL; }
  float GetNPatchMode() override { return 0.0f; }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return E_NOTIMPL; }
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, INT, UINT, UINT, UINT, UINT) override { return E_NOTIMPL; }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override { return E_NOTIMPL; }
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE, UINT, UINT, UINT, const void*, D3DFORMAT, const void*,
                                 UINT) override {
    return E_NOTIMPL;
  }
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9*, IDirect3DVertexDeclaration9**) override {
    return E_NOTIMPL;
  }
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9*) override { return E_NOTIMPL; }
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9**) override { return E_NOTIMPL; }
  HRESULT SetFVF(DWORD) override { return E_NOTIMPL; }
  HRESULT GetFVF(DWORD*) override { return E_NOTIMPL; }
  HRESULT CreateVertexShader(const DWORD*, IDirect3DVertexShader9**) override { return E_NOTIMPL; }
  HRESULT SetVertexShader(IDirect3DVertexShader9*) override { return E_NOTIMPL; }
  HRESULT GetVertexShader(IDirect3DVertexShader9**) override { return E_NOTIMPL; }
  HRESULT SetVertexShaderConstantF(UINT, const float*, UINT) override { return E_NOTIMPL; }
  HRESULT GetVertexShaderConstantF(UINT, float*, UINT) override { return E_NOTIMPL; }
  HRESULT SetVertexShaderConstantI(UINT, const int*, UINT) override { return E_NOTIMPL; }
  HRESULT GetVertexShaderConstantI(UINT, int*, UINT) override { return E_NOTIMPL; }
  HRESULT SetVertexShaderConstantB(UINT, const BOOL*, UINT) override { return E_NOTIMPL; }
  HRESULT GetVertexShaderConstantB(UINT, BOOL*, UINT) override { return E_NOTIMPL; }
  HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override { return E_NOTIMPL; }
  HRESULT GetStreamSource(UINT, IDirect3DVertexBuffer9**, UINT*, UINT*) override { return E_NOTIMPL; }
  HRESULT SetStreamSourceFreq(UINT, UINT) override { return E_NOTIMPL; }
  HRESULT GetStreamSourceFreq(UINT, UINT*) override { return E_NOTIMPL; }
  HRESULT SetIndices(IDirect3DIndexBuffer9*) override { return E_NOTIMPL; }
  HRESULT GetIndices(IDirect3DIndexBuffer9**) override { return E_NOTIMPL; }
  HRESULT CreatePixelShader(const DWORD*, IDirect3DPixelShader9**) override { return E_NOTIMPL; }
  HRESULT SetPixelShader(IDirect3DPixelShader9*) override { return E_NOTIMPL; }
  HRESULT GetPixelShader(IDirect3DPixelShader9**) override { return E_NOTIMPL; }
  HRESULT SetPixelShaderConstantF(UINT, const float*, UINT) override { return E_NOTIMPL; }
  HRESULT GetPixelShaderConstantF(UINT, float*, UINT) override { return E_NOTIMPL; }
  HRESULT SetPixelShaderConstantI(UINT, const int*, UINT) override { return E_NOTIMPL; }
  HRESULT GetPixelShaderConstantI(UINT, int*, UINT) override { return E_NOTIMPL; }
  HRESULT SetPixelShaderConstantB(UINT, const BOOL*, UINT) override { return E_NOTIMPL; }
  HRESULT GetPixelShaderConstantB(UINT, BOOL*, UINT) override { return E_NOTIMPL; }

 private:
  ULONG m_references = 1;
  std::vector<TextureRequest> m_textureRequests;
  int m_updateCalls = 0;
  int m_updateSurfaceCalls = 0;
  HRESULT m_nextCreateResult = D3D_OK;
};
