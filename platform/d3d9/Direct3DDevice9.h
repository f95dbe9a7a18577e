#pragma once
// The device: checks every call as Direct3D does, keeps the state and the resources, and hands
// clears, draws and presents to its back end.
#include <map>
#include <memory>
#include <vector>

#include "ComObject.h"
#include "DeviceState.h"
#include "RenderBackend.h"
#include "SwapChain9.h"

class CDirect3D9;
class CDeviceResource;
struct SFormatInfo;
class CSurface9;
class CBaseTexture;
class CVertexDeclaration9;
enum ESurfaceKind : int;

class CDirect3DDevice9 : public TComObject<IDirect3DDevice9> {
 public:
  // Validates the parameters (filling in the defaults the caller left 0) and creates the device.
  static HRESULT Create(CDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behavior,
                        D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device);

  IRenderBackend& Backend() { return *m_backend; }
  const D3DPRESENT_PARAMETERS& PresentParameters() const { return m_parameters; }
  void RegisterResource(CDeviceResource* resource);
  void UnregisterResource(CDeviceResource* resource);
  HRESULT PresentBackBuffer(DWORD flags);

  // IUnknown
  HRESULT QueryInterface(REFIID riid, void** object) override;

  // IDirect3DDevice9
  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT EvictManagedResources() override;
  HRESULT GetDirect3D(IDirect3D9** direct3d) override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) override;
  HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
  HRESULT GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) override;
  UINT GetNumberOfSwapChains() override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture9** texture, HANDLE* shared) override;
  HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DCubeTexture9** texture, HANDLE* shared) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                             HANDLE* shared) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
  HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                             DWORD quality, BOOL lockable, IDirect3DSurface9** surface, HANDLE* shared) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                    HANDLE* shared) override;
  HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const POINT* destPoint) override;
  HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) override;
  HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) override;
  HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                      const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
  HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;
  HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DSurface9** surface, HANDLE* shared) override;
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT SetMaterial(const D3DMATERIAL9* material) override;
  HRESULT GetMaterial(D3DMATERIAL9* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetClipPlane(DWORD index, const float* plane) override;
  HRESULT GetClipPlane(DWORD index, float* plane) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT ValidateDevice(DWORD* passes) override;
  HRESULT SetScissorRect(const RECT* rect) override;
  HRESULT GetScissorRect(RECT* rect) override;
  HRESULT SetSoftwareVertexProcessing(BOOL software) override;
  BOOL GetSoftwareVertexProcessing() override;
  HRESULT SetNPatchMode(float segments) override;
  float GetNPatchMode() override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex, UINT vertexCount,
                               UINT startIndex, UINT primitiveCount) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertex, UINT vertexCount, UINT primitiveCount,
                                 const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                 UINT stride) override;
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements, IDirect3DVertexDeclaration9** declaration) override;
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
  HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT GetFVF(DWORD* fvf) override;
  HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
  HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
  HRESULT GetVertexShader(IDirect3DVertexShader9** shader) override;
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override;
  HRESULT GetVertexShaderConstantF(UINT start, float* data, UINT count) override;
  HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override;
  HRESULT GetVertexShaderConstantI(UINT start, int* data, UINT count) override;
  HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) override;
  HRESULT GetVertexShaderConstantB(UINT start, BOOL* data, UINT count) override;
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
  HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) override;
  HRESULT SetStreamSourceFreq(UINT stream, UINT setting) override;
  HRESULT GetStreamSourceFreq(UINT stream, UINT* setting) override;
  HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
  HRESULT GetIndices(IDirect3DIndexBuffer9** buffer) override;
  HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
  HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
  HRESULT GetPixelShader(IDirect3DPixelShader9** shader) override;
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override;
  HRESULT GetPixelShaderConstantF(UINT start, float* data, UINT count) override;
  HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override;
  HRESULT GetPixelShaderConstantI(UINT start, int* data, UINT count) override;
  HRESULT SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) override;
  HRESULT GetPixelShaderConstantB(UINT start, BOOL* data, UINT count) override;

 private:
  CDirect3DDevice9(CDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behavior);
  ~CDirect3DDevice9() override;

  // The object as this device's own class; null for an object of another device or kind.
  template <class T, class I>
  T* Own(I* object);
  // Direct3D's rules for a new texture; fills in the level count a request of 0 means.
  static HRESULT CheckTextureRequest(D3DRESOURCETYPE type, UINT width, UINT height, UINT* levels, DWORD usage,
                                     D3DFORMAT format, D3DPOOL pool, const SFormatInfo** info);
  static HRESULT CheckPresentParameters(D3DPRESENT_PARAMETERS* parameters);
  HRESULT CreateImplicitSurfaces();
  void DestroyImplicitSurfaces();
  bool IsLost();
  bool IsPure() const { return (m_creation.BehaviorFlags & D3DCREATE_PUREDEVICE) != 0; }
  // Points a state slot at an object, binding the new one before unbinding the old (which may
  // end it).
  template <class T>
  void Rebind(T*& slot, T* object);
  // Empties every slot that binds an object.
  void ReleaseBindings();
  void ResetRenderTargetArea();
  HRESULT DrawCommon(SDrawCall& draw);
  // Whether the pixel program can read the textures bound to its samplers; reports once when not.
  bool PixelProgramReadsBoundTextures() const;
  HRESULT CheckStreams(const SDrawCall& draw, UINT vertexEnd);
  void FillTargets(STargetRef* targets, STargetRef* depth);
  HRESULT CreateSurface(ESurfaceKind kind, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool, bool lockable,
                        IDirect3DSurface9** surface);

  CDirect3D9* m_direct3d;
  D3DDEVICE_CREATION_PARAMETERS m_creation;
  D3DPRESENT_PARAMETERS m_parameters{};
  std::unique_ptr<IRenderBackend> m_backend;
  CDeviceState m_state;
  CSwapChain9 m_swapChain;
  CSurface9* m_backBuffer = nullptr;
  CSurface9* m_autoDepthStencil = nullptr;
  std::vector<CDeviceResource*> m_resources;
  std::map<DWORD, CVertexDeclaration9*> m_fvfDeclarations;
  bool m_inScene = false;
  bool m_lost = false;
  UINT m_lossGeneration = 0;
};
