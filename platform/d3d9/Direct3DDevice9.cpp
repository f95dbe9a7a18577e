#include "Direct3DDevice9.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "../win32/CommandReader.h"
#include "AdapterProfile.h"
#include "CubeTexture9.h"
#include "Direct3D9.h"
#include "GLBackend.h"
#include "IndexBuffer9.h"
#include "NullBackend.h"
#include "Shader9.h"
#include "Surface9.h"
#include "Texture9.h"
#include "VertexBuffer9.h"
#include "VertexDeclaration9.h"

namespace {

CD3DTestControl& Control() { return CD3DTestControl::Instance(); }

// Vertices a draw of `count` primitives reads; 0 for an unknown primitive type.
uint64_t VerticesFor(D3DPRIMITIVETYPE type, uint64_t count) {
  switch (type) {
    case D3DPT_POINTLIST:
      return count;
    case D3DPT_LINELIST:
      return count * 2;
    case D3DPT_LINESTRIP:
      return count + 1;
    case D3DPT_TRIANGLELIST:
      return count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return count + 2;
    default:
      return 0;
  }
}

// The largest index among `count` indices of `size` bytes.
UINT MaxIndex(const BYTE* indices, UINT count, UINT size) {
  UINT largest = 0;
  for (UINT i = 0; i < count; ++i) {
    UINT value;
    if (size == 4) {
      uint32_t v;
      memcpy(&v, indices + i * 4, 4);
      value = v;
    } else {
      uint16_t v;
      memcpy(&v, indices + i * 2, 2);
      value = v;
    }
    largest = std::max(largest, value);
  }
  return largest;
}


}  // namespace

CDirect3DDevice9::CDirect3DDevice9(CDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behavior)
    : m_direct3d(direct3d), m_creation{0, type, focusWindow, behavior}, m_swapChain(this) {
  m_direct3d->AddRef();
  m_state.SetDefaults(D3DPRESENT_PARAMETERS{});  // nothing bound yet
  m_lossGeneration = Control().LossGeneration();
  if (Control().Backend() == ZK_D3D_BACKEND_NULL)
    m_backend.reset(new CNullBackend());
  else
    m_backend.reset(new CGLBackend());
}

CDirect3DDevice9::~CDirect3DDevice9() {
  // Objects the caller let go of live on only through their bindings; they end here.
  ReleaseBindings();
  DestroyImplicitSurfaces();
  for (auto& entry : m_fvfDeclarations) entry.second->Release();
  m_fvfDeclarations.clear();
  // Anything still registered was leaked by the caller; it must not reach a freed back end.
  for (CDeviceResource* resource : m_resources) resource->ReleaseBackendObjects();
  m_backend.reset();
  m_direct3d->Release();
}

HRESULT CDirect3DDevice9::CheckPresentParameters(D3DPRESENT_PARAMETERS* p) {
  if (p->BackBufferCount > 3) return D3DERR_INVALIDCALL;
  if (p->SwapEffect < D3DSWAPEFFECT_DISCARD || p->SwapEffect > D3DSWAPEFFECT_COPY) return D3DERR_INVALIDCALL;
  if (p->SwapEffect == D3DSWAPEFFECT_COPY && p->BackBufferCount > 1) return D3DERR_INVALIDCALL;
  if (p->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  if (p->Windowed && p->FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
  // The one interval given must be one the card offers.
  const UINT interval = p->PresentationInterval;
  if (interval != D3DPRESENT_INTERVAL_DEFAULT &&
      ((interval & (interval - 1)) || !(interval & CAdapterProfile::Current().Caps().PresentationIntervals)))
    return D3DERR_INVALIDCALL;
  if (p->BackBufferCount == 0) p->BackBufferCount = 1;
  if (p->BackBufferWidth == 0) p->BackBufferWidth = p->Windowed ? 640 : 0;
  if (p->BackBufferHeight == 0) p->BackBufferHeight = p->Windowed ? 480 : 0;
  if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0) return D3DERR_INVALIDCALL;
  if (p->BackBufferFormat == D3DFMT_UNKNOWN) {
    if (!p->Windowed) return D3DERR_INVALIDCALL;
    p->BackBufferFormat = D3DFMT_X8R8G8B8;
  }
  const CAdapterProfile& profile = CAdapterProfile::Current();
  if (!profile.IsRenderTargetFormat(p->BackBufferFormat) || !CFormatTable::Find(p->BackBufferFormat))
    return D3DERR_INVALIDCALL;
  if (p->EnableAutoDepthStencil &&
      (!profile.IsDepthStencilFormat(p->AutoDepthStencilFormat) || !CFormatTable::Find(p->AutoDepthStencilFormat)))
    return D3DERR_INVALIDCALL;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::Create(CDirect3D9* direct3d, D3DDEVTYPE type, HWND focusWindow, DWORD behavior,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
  const DWORD processing = behavior & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                       D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING)
    return D3DERR_INVALIDCALL;
  if ((behavior & D3DCREATE_PUREDEVICE) && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING)
    return D3DERR_INVALIDCALL;
  D3DPRESENT_PARAMETERS checked = *parameters;
  HRESULT hr = CheckPresentParameters(&checked);
  if (FAILED(hr)) return hr;

  CDirect3DDevice9* created = new CDirect3DDevice9(direct3d, type, focusWindow, behavior);
  created->m_parameters = checked;
  HWND window = checked.hDeviceWindow ? checked.hDeviceWindow : focusWindow;
  if (!created->m_backend->Initialize(window, checked.BackBufferWidth, checked.BackBufferHeight)) {
    created->Release();
    return D3DERR_NOTAVAILABLE;
  }
  created->m_backend->Configure(checked.BackBufferWidth, checked.BackBufferHeight,
                                checked.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
  hr = created->CreateImplicitSurfaces();
  if (FAILED(hr)) {
    created->Release();
    return hr;
  }
  created->m_state.softwareVertexProcessing = processing == D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  *parameters = checked;
  *device = created;
  return D3D_OK;
}

// The device's back buffer and depth buffer keep their objects across resets, so a pointer the
// caller still holds stays valid; only their size and format change.
HRESULT CDirect3DDevice9::CreateImplicitSurfaces() {
  const SFormatInfo* color = CFormatTable::Find(m_parameters.BackBufferFormat);
  if (!color) return D3DERR_INVALIDCALL;
  const UINT width = m_parameters.BackBufferWidth;
  const UINT height = m_parameters.BackBufferHeight;
  const bool lockable = (m_parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
  if (m_backBuffer)
    m_backBuffer->Reshape(*color, width, height, lockable);
  else
    m_backBuffer = new CSurface9(this, SURFACE_RENDER_TARGET, *color, width, height, D3DUSAGE_RENDERTARGET,
                                 D3DPOOL_DEFAULT, lockable, true);
  bool hasDepth = false;
  if (m_parameters.EnableAutoDepthStencil) {
    const SFormatInfo* depth = CFormatTable::Find(m_parameters.AutoDepthStencilFormat);
    if (!depth) return D3DERR_INVALIDCALL;
    if (m_autoDepthStencil)
      m_autoDepthStencil->Reshape(*depth, width, height, false);
    else
      m_autoDepthStencil = new CSurface9(this, SURFACE_DEPTH_STENCIL, *depth, width, height, D3DUSAGE_DEPTHSTENCIL,
                                         D3DPOOL_DEFAULT, false, true);
    hasDepth = true;
  }
  ReleaseBindings();
  m_state.SetDefaults(m_parameters);
  Rebind(m_state.renderTargets[0], m_backBuffer);
  Rebind(m_state.depthStencil, hasDepth ? m_autoDepthStencil : nullptr);
  return D3D_OK;
}

void CDirect3DDevice9::DestroyImplicitSurfaces() {
  delete m_backBuffer;
  delete m_autoDepthStencil;
  m_backBuffer = nullptr;
  m_autoDepthStencil = nullptr;
}

void CDirect3DDevice9::RegisterResource(CDeviceResource* resource) { m_resources.push_back(resource); }

void CDirect3DDevice9::UnregisterResource(CDeviceResource* resource) {
  m_resources.erase(std::remove(m_resources.begin(), m_resources.end(), resource), m_resources.end());
}

namespace {
void BindObject(CBaseTexture* texture) { texture->BindTexture(); }
void UnbindObject(CBaseTexture* texture) { texture->UnbindTexture(); }
template <class T>
void BindObject(T* object) {
  object->Bind();
}
template <class T>
void UnbindObject(T* object) {
  object->Unbind();
}
}  // namespace

template <class T>
void CDirect3DDevice9::Rebind(T*& slot, T* object) {
  if (slot == object) return;
  if (object) BindObject(object);
  T* previous = slot;
  slot = object;
  if (previous) UnbindObject(previous);
}

void CDirect3DDevice9::ReleaseBindings() {
  for (CBaseTexture*& texture : m_state.textures) Rebind(texture, static_cast<CBaseTexture*>(nullptr));
  for (SStreamSource& stream : m_state.streams) Rebind(stream.buffer, static_cast<CVertexBuffer9*>(nullptr));
  Rebind(m_state.indices, static_cast<CIndexBuffer9*>(nullptr));
  Rebind(m_state.declaration, static_cast<CVertexDeclaration9*>(nullptr));
  Rebind(m_state.vertexShader, static_cast<CVertexShader9*>(nullptr));
  Rebind(m_state.pixelShader, static_cast<CPixelShader9*>(nullptr));
  for (CSurface9*& target : m_state.renderTargets) Rebind(target, static_cast<CSurface9*>(nullptr));
  Rebind(m_state.depthStencil, static_cast<CSurface9*>(nullptr));
}



bool CDirect3DDevice9::IsLost() {
  if (Control().LossGeneration() != m_lossGeneration) {
    m_lossGeneration = Control().LossGeneration();
    m_lost = true;
  }
  return m_lost;
}

namespace {
CDirect3DDevice9* DeviceOf(const CDeviceResource* resource) { return resource->Device(); }
CDirect3DDevice9* DeviceOf(const CBaseTexture* texture) { return texture->OwnerDevice(); }
CDirect3DDevice9* DeviceOf(const CVertexDeclaration9* declaration) { return declaration->OwnerDevice(); }
template <class Interface>
CDirect3DDevice9* DeviceOf(const TShader9<Interface>* shader) {
  return shader->OwnerDevice();
}
}  // namespace

template <class T, class I>
T* CDirect3DDevice9::Own(I* object) {
  T* own = dynamic_cast<T*>(object);
  return own && DeviceOf(own) == this ? own : nullptr;
}

HRESULT CDirect3DDevice9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DDevice9});
}

HRESULT CDirect3DDevice9::TestCooperativeLevel() {
  Control().Log("TestCooperativeLevel()");
  if (!IsLost()) return D3D_OK;
  return Control().DeviceLossHeld() ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
}

UINT CDirect3DDevice9::GetAvailableTextureMem() { return 512u * 1024u * 1024u; }

HRESULT CDirect3DDevice9::EvictManagedResources() {
  Control().Log("EvictManagedResources()");
  for (CDeviceResource* resource : m_resources)
    if (resource->Pool() == D3DPOOL_MANAGED) resource->ReleaseBackendObjects();
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetDirect3D(IDirect3D9** direct3d) {
  if (!direct3d) return D3DERR_INVALIDCALL;
  m_direct3d->AddRef();
  *direct3d = m_direct3d;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetDeviceCaps(D3DCAPS9* caps) {
  return m_direct3d->GetDeviceCaps(0, m_creation.DeviceType, caps);
}

HRESULT CDirect3DDevice9::GetDisplayMode(UINT swapChain, D3DDISPLAYMODE* mode) {
  if (swapChain != 0 || !mode) return D3DERR_INVALIDCALL;
  *mode = {m_parameters.BackBufferWidth, m_parameters.BackBufferHeight, 60, m_parameters.BackBufferFormat};
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
  if (!parameters) return D3DERR_INVALIDCALL;
  *parameters = m_creation;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) {
  if (!swapChain) return D3DERR_INVALIDCALL;
  *swapChain = nullptr;
  if (index != 0) return D3DERR_INVALIDCALL;
  m_swapChain.AddRef();
  *swapChain = &m_swapChain;
  return D3D_OK;
}

UINT CDirect3DDevice9::GetNumberOfSwapChains() { return 1; }

HRESULT CDirect3DDevice9::Reset(D3DPRESENT_PARAMETERS* parameters) {
  Control().Log("Reset()");
  if (!parameters) return D3DERR_INVALIDCALL;
  if (IsLost() && Control().DeviceLossHeld()) return D3DERR_DEVICELOST;
  HRESULT injected = Control().TakeResetFailure();
  if (FAILED(injected)) {
    m_lost = true;
    return injected;
  }
  // Every default-pool resource of the caller must be gone: the device cannot keep them. The
  // device's own bindings go first; a reset forgets them anyway.
  ReleaseBindings();
  for (CDeviceResource* resource : m_resources)
    if (resource->Pool() == D3DPOOL_DEFAULT && !resource->IsImplicit()) {
      m_lost = true;
      return D3DERR_INVALIDCALL;
    }
  D3DPRESENT_PARAMETERS checked = *parameters;
  HRESULT hr = CheckPresentParameters(&checked);
  if (FAILED(hr)) {
    m_lost = true;
    return hr;
  }
  // Managed resources keep their memory and are uploaded again on their next use.
  for (CDeviceResource* resource : m_resources) resource->ReleaseBackendObjects();
  m_parameters = checked;
  m_backend->Configure(checked.BackBufferWidth, checked.BackBufferHeight,
                       checked.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
  hr = CreateImplicitSurfaces();
  if (FAILED(hr)) {
    m_lost = true;
    return hr;
  }
  m_state.softwareVertexProcessing = (m_creation.BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
  m_inScene = false;
  m_lost = false;
  *parameters = checked;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::Present(const RECT*, const RECT*, HWND, const void*) {
  return PresentBackBuffer(0);
}

HRESULT CDirect3DDevice9::PresentBackBuffer(DWORD flags) {
  Control().Log("Present(0x%x)", flags);
  if (IsLost()) return D3DERR_DEVICELOST;
  if ((flags & D3DPRESENT_DONOTWAIT) && Control().TakePresentStillDrawing()) return D3DERR_WASSTILLDRAWING;
  CommandReader& commands = CommandReader::Instance();
  ScreenPixels shown;
  const bool capture = commands.ScreenshotDue();
  m_backend->Present(m_backBuffer->TargetRef(), capture ? &shown : nullptr);
  commands.FramePresented(capture ? &shown : nullptr);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                        IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (swapChain != 0 || index >= m_parameters.BackBufferCount || type != D3DBACKBUFFER_TYPE_MONO)
    return D3DERR_INVALIDCALL;
  m_backBuffer->AddRef();
  *surface = m_backBuffer;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CheckTextureRequest(D3DRESOURCETYPE type, UINT width, UINT height, UINT* levels,
                                              DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                              const SFormatInfo** info) {
  const D3DCAPS9& caps = CAdapterProfile::Current().Caps();
  *info = CFormatTable::Find(format);
  if (!*info || width == 0 || height == 0 || width > caps.MaxTextureWidth || height > caps.MaxTextureHeight ||
      pool > D3DPOOL_SCRATCH)
    return D3DERR_INVALIDCALL;
  if (type == D3DRTYPE_CUBETEXTURE && !(caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP)) return D3DERR_INVALIDCALL;
  const DWORD targetUsage = usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL);
  if (targetUsage && pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (FAILED(CAdapterProfile::Current().CheckFormat(targetUsage, type, format))) return D3DERR_INVALIDCALL;
  const UINT full = CBaseTexture::FullChainLength(width, height);
  if (usage & D3DUSAGE_AUTOGENMIPMAP) {
    if (*levels > 1 || pool == D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
    *levels = full;
  }
  if (*levels == 0) *levels = full;
  return *levels > full ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT CDirect3DDevice9::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) {
  Control().Log("CreateTexture(%u, %u, %u, 0x%x, %u, %d)", width, height, levels, usage, static_cast<unsigned>(format),
                static_cast<int>(pool));
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  const SFormatInfo* info = nullptr;
  if (shared) return D3DERR_INVALIDCALL;
  if (const HRESULT injected = Control().TakeTextureCreationFailure(); FAILED(injected)) return injected;
  HRESULT hr = CheckTextureRequest(D3DRTYPE_TEXTURE, width, height, &levels, usage, format, pool, &info);
  if (FAILED(hr)) return hr;
  *texture = new CTexture9(this, *info, width, height, levels, usage, pool);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DCubeTexture9** texture, HANDLE* shared) {
  Control().Log("CreateCubeTexture(%u, %u, 0x%x, %u, %d)", edge, levels, usage, static_cast<unsigned>(format),
                static_cast<int>(pool));
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  const SFormatInfo* info = nullptr;
  if (shared) return D3DERR_INVALIDCALL;
  if (const HRESULT injected = Control().TakeTextureCreationFailure(); FAILED(injected)) return injected;
  HRESULT hr = CheckTextureRequest(D3DRTYPE_CUBETEXTURE, edge, edge, &levels, usage, format, pool, &info);
  if (FAILED(hr)) return hr;
  *texture = new CCubeTexture9(this, *info, edge, levels, usage, pool);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                             IDirect3DVertexBuffer9** buffer, HANDLE* shared) {
  Control().Log("CreateVertexBuffer(%u, 0x%x, 0x%x, %d)", length, usage, fvf, static_cast<int>(pool));
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (shared || length == 0 || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  if (fvf) {
    UINT stride = CVertexDeclaration9::FVFStride(fvf);
    if (stride == 0 || length < stride) return D3DERR_INVALIDCALL;
  }
  *buffer = new CVertexBuffer9(this, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DIndexBuffer9** buffer, HANDLE* shared) {
  Control().Log("CreateIndexBuffer(%u, 0x%x, %u, %d)", length, usage, static_cast<unsigned>(format),
                static_cast<int>(pool));
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (shared || length == 0 || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
  *buffer = new CIndexBuffer9(this, length, usage, format, pool);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreateSurface(ESurfaceKind kind, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        bool lockable, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  const SFormatInfo* info = CFormatTable::Find(format);
  const D3DCAPS9& caps = CAdapterProfile::Current().Caps();
  if (!info || width == 0 || height == 0 || width > caps.MaxTextureWidth || height > caps.MaxTextureHeight)
    return D3DERR_INVALIDCALL;
  DWORD usage = 0;
  if (kind == SURFACE_RENDER_TARGET) {
    if (!CAdapterProfile::Current().IsRenderTargetFormat(format)) return D3DERR_INVALIDCALL;
    usage = D3DUSAGE_RENDERTARGET;
  } else if (kind == SURFACE_DEPTH_STENCIL) {
    if (!CAdapterProfile::Current().IsDepthStencilFormat(format)) return D3DERR_INVALIDCALL;
    usage = D3DUSAGE_DEPTHSTENCIL;
  } else if (info->isDepth) {
    return D3DERR_INVALIDCALL;
  }
  *surface = new CSurface9(this, kind, *info, width, height, usage, pool, lockable, false);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                             D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL lockable,
                                             IDirect3DSurface9** surface, HANDLE* shared) {
  Control().Log("CreateRenderTarget(%u, %u, %u)", width, height, static_cast<unsigned>(format));
  if (shared || multiSample != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  return CreateSurface(SURFACE_RENDER_TARGET, width, height, format, D3DPOOL_DEFAULT, lockable != FALSE, surface);
}

HRESULT CDirect3DDevice9::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                    D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                                    IDirect3DSurface9** surface, HANDLE* shared) {
  Control().Log("CreateDepthStencilSurface(%u, %u, %u)", width, height, static_cast<unsigned>(format));
  if (shared || multiSample != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  return CreateSurface(SURFACE_DEPTH_STENCIL, width, height, format, D3DPOOL_DEFAULT, false, surface);
}

HRESULT CDirect3DDevice9::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                      IDirect3DSurface9** surface, HANDLE* shared) {
  Control().Log("CreateOffscreenPlainSurface(%u, %u, %u, %d)", width, height, static_cast<unsigned>(format),
                static_cast<int>(pool));
  if (shared || pool == D3DPOOL_MANAGED || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  return CreateSurface(SURFACE_OFFSCREEN_PLAIN, width, height, format, pool, true, surface);
}

HRESULT CDirect3DDevice9::UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                        const POINT* destPoint) {
  CSurface9* from = Own<CSurface9>(source);
  CSurface9* to = Own<CSurface9>(dest);
  if (!from || !to) return D3DERR_INVALIDCALL;
  if (from->Pool() != D3DPOOL_SYSTEMMEM || to->Pool() != D3DPOOL_DEFAULT ||
      from->Format().format != to->Format().format || from->IsLocked() || to->IsLocked())
    return D3DERR_INVALIDCALL;
  RECT area = sourceRect ? *sourceRect : RECT{0, 0, static_cast<LONG>(from->Width()), static_cast<LONG>(from->Height())};
  POINT at = destPoint ? *destPoint : POINT{0, 0};
  const UINT block = from->Format().blockSize;
  if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
      static_cast<UINT>(area.right) > from->Width() || static_cast<UINT>(area.bottom) > from->Height() ||
      at.x < 0 || at.y < 0 || static_cast<UINT>(at.x + area.right - area.left) > to->Width() ||
      static_cast<UINT>(at.y + area.bottom - area.top) > to->Height() || area.left % block || area.top % block ||
      at.x % block || at.y % block)
    return D3DERR_INVALIDCALL;
  const UINT rows = (area.bottom - area.top + block - 1) / block;
  const UINT rowBytes = (area.right - area.left + block - 1) / block * from->Format().blockBytes;
  for (UINT row = 0; row < rows; ++row)
    memcpy(to->Memory() + (at.y / block + row) * to->Pitch() + at.x / block * to->Format().blockBytes,
           from->Memory() + (area.top / block + row) * from->Pitch() + area.left / block * from->Format().blockBytes,
           rowBytes);
  to->MarkDirty();
  return D3D_OK;
}

HRESULT CDirect3DDevice9::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) {
  CBaseTexture* from = Own<CBaseTexture>(source);
  CBaseTexture* to = Own<CBaseTexture>(dest);
  if (!from || !to || from->IsCube() != to->IsCube() || &from->Format() != &to->Format() ||
      source->GetType() != dest->GetType())
    return D3DERR_INVALIDCALL;
  const UINT faces = from->IsCube() ? 6 : 1;
  if (from->Levels() < to->Levels()) return D3DERR_INVALIDCALL;
  const UINT skip = from->Levels() - to->Levels();
  for (UINT face = 0; face < faces; ++face)
    for (UINT level = 0; level < to->Levels(); ++level) {
      CSurface9* s = from->Surface(face, level + skip);
      CSurface9* d = to->Surface(face, level);
      if (s->Width() != d->Width() || s->Height() != d->Height()) return D3DERR_INVALIDCALL;
      memcpy(d->Memory(), s->Memory(), CFormatTable::LevelBytes(s->Format(), s->Width(), s->Height()));
      d->MarkDirty();
    }
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) {
  Control().Log("GetRenderTargetData()");
  CSurface9* from = Own<CSurface9>(renderTarget);
  CSurface9* to = Own<CSurface9>(dest);
  if (!from || !to) return D3DERR_INVALIDCALL;
  if (!from->IsColorTarget() || to->Pool() != D3DPOOL_SYSTEMMEM || from->Width() != to->Width() ||
      from->Height() != to->Height() || from->Format().format != to->Format().format || to->IsLocked())
    return D3DERR_INVALIDCALL;
  if (IsLost()) return D3DERR_DEVICELOST;
  return m_backend->ReadTarget(from->TargetRef(), to->Memory(), to->Pitch()) ? D3D_OK : D3DERR_DRIVERINTERNALERROR;
}

HRESULT CDirect3DDevice9::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                      const RECT* destRect, D3DTEXTUREFILTERTYPE filter) {
  Control().Log("StretchRect()");
  CSurface9* from = Own<CSurface9>(source);
  CSurface9* to = Own<CSurface9>(dest);
  if (!from || !to || from == to) return D3DERR_INVALIDCALL;
  if (from->Pool() != D3DPOOL_DEFAULT || to->Pool() != D3DPOOL_DEFAULT || !to->IsColorTarget() ||
      from->IsDepthStencil() || CFormatTable::IsCompressed(from->Format().format))
    return D3DERR_INVALIDCALL;
  auto whole = [](CSurface9* s) { return RECT{0, 0, static_cast<LONG>(s->Width()), static_cast<LONG>(s->Height())}; };
  auto inside = [](const RECT& r, CSurface9* s) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           static_cast<UINT>(r.right) <= s->Width() && static_cast<UINT>(r.bottom) <= s->Height();
  };
  RECT from_rect = sourceRect ? *sourceRect : whole(from);
  RECT to_rect = destRect ? *destRect : whole(to);
  if (!inside(from_rect, from) || !inside(to_rect, to)) return D3DERR_INVALIDCALL;
  m_backend->CopyTarget(from->TargetRef(), from_rect, to->TargetRef(), to_rect, filter == D3DTEXF_LINEAR);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) {
  CSurface9* target = Own<CSurface9>(surface);
  if (!target) return D3DERR_INVALIDCALL;
  if (target->Pool() != D3DPOOL_DEFAULT || !target->IsColorTarget()) return D3DERR_INVALIDCALL;
  D3DRECT area = rect ? D3DRECT{rect->left, rect->top, rect->right, rect->bottom}
                      : D3DRECT{0, 0, static_cast<LONG>(target->Width()), static_cast<LONG>(target->Height())};
  SClearCall clear;
  clear.rectCount = 1;
  clear.rects = &area;
  clear.flags = D3DCLEAR_TARGET;
  clear.color = color;
  clear.targets[0] = target->TargetRef();
  // A fill ignores the viewport and scissor of the device.
  CDeviceState whole = m_state;
  whole.viewport = {0, 0, target->Width(), target->Height(), 0.f, 1.f};
  whole.renderStates[D3DRS_SCISSORTESTENABLE] = FALSE;
  whole.renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
  m_backend->Clear(whole, clear);
  return D3D_OK;
}

void CDirect3DDevice9::ResetRenderTargetArea() {
  CSurface9* target = m_state.renderTargets[0];
  if (!target) return;
  m_state.viewport = {0, 0, target->Width(), target->Height(), 0.f, 1.f};
  m_state.scissor = {0, 0, static_cast<LONG>(target->Width()), static_cast<LONG>(target->Height())};
}

HRESULT CDirect3DDevice9::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
  Control().Log("SetRenderTarget(%u, %p)", index, static_cast<void*>(surface));
  if (index >= kMaxRenderTargets || index >= CAdapterProfile::Current().Caps().NumSimultaneousRTs)
    return D3DERR_INVALIDCALL;
  if (!surface) {
    if (index == 0) return D3DERR_INVALIDCALL;
    Rebind(m_state.renderTargets[index], static_cast<CSurface9*>(nullptr));
    return D3D_OK;
  }
  CSurface9* target = Own<CSurface9>(surface);
  if (!target || !target->IsColorTarget()) return D3DERR_INVALIDCALL;
  Rebind(m_state.renderTargets[index], target);
  if (index == 0) ResetRenderTargetArea();
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (index >= kMaxRenderTargets) return D3DERR_INVALIDCALL;
  if (!m_state.renderTargets[index]) return D3DERR_NOTFOUND;
  m_state.renderTargets[index]->AddRef();
  *surface = m_state.renderTargets[index];
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetDepthStencilSurface(IDirect3DSurface9* surface) {
  Control().Log("SetDepthStencilSurface(%p)", static_cast<void*>(surface));
  CSurface9* depth = surface ? Own<CSurface9>(surface) : nullptr;
  if (surface && (!depth || !depth->IsDepthStencil())) return D3DERR_INVALIDCALL;
  Rebind(m_state.depthStencil, depth);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetDepthStencilSurface(IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (!m_state.depthStencil) return D3DERR_NOTFOUND;
  m_state.depthStencil->AddRef();
  *surface = m_state.depthStencil;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::BeginScene() {
  Control().Log("BeginScene()");
  if (m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = true;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::EndScene() {
  Control().Log("EndScene()");
  if (!m_inScene) return D3DERR_INVALIDCALL;
  m_inScene = false;
  return D3D_OK;
}

void CDirect3DDevice9::FillTargets(STargetRef* targets, STargetRef* depth) {
  for (UINT i = 0; i < kMaxRenderTargets; ++i)
    if (m_state.renderTargets[i]) targets[i] = m_state.renderTargets[i]->TargetRef();
  if (m_state.depthStencil) *depth = m_state.depthStencil->TargetRef();
}

HRESULT CDirect3DDevice9::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                                DWORD stencil) {
  Control().Log("Clear(%u, 0x%x, 0x%08x, %g, %u)", count, flags, color, static_cast<double>(z), stencil);
  if ((count > 0 && !rects) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) || !flags)
    return D3DERR_INVALIDCALL;
  if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_state.depthStencil) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && !m_state.depthStencil->Format().hasStencil) return D3DERR_INVALIDCALL;
  if (z < 0.f || z > 1.f) return D3DERR_INVALIDCALL;
  if (IsLost() || !m_state.renderTargets[0]) return D3D_OK;
  SClearCall clear;
  clear.rectCount = count;
  clear.rects = rects;
  clear.flags = flags;
  clear.color = color;
  clear.z = z;
  clear.stencil = stencil;
  FillTargets(clear.targets, &clear.depthStencil);
  m_backend->Clear(m_state, clear);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  Control().Log("SetTransform(%d)", static_cast<int>(state));
  int slot = CDeviceState::TransformSlot(state);
  if (!matrix || slot < 0) return D3DERR_INVALIDCALL;
  m_state.transforms[slot] = *matrix;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  int slot = CDeviceState::TransformSlot(state);
  if (!matrix || slot < 0 || IsPure()) return D3DERR_INVALIDCALL;
  *matrix = m_state.transforms[slot];
  return D3D_OK;
}

HRESULT CDirect3DDevice9::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  int slot = CDeviceState::TransformSlot(state);
  if (!matrix || slot < 0) return D3DERR_INVALIDCALL;
  // The new matrix is applied first: result = matrix * current.
  const D3DMATRIX current = m_state.transforms[slot];
  D3DMATRIX result;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      float sum = 0.f;
      for (int k = 0; k < 4; ++k) sum += matrix->m[r][k] * current.m[k][c];
      result.m[r][c] = sum;
    }
  m_state.transforms[slot] = result;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetViewport(const D3DVIEWPORT9* viewport) {
  Control().Log("SetViewport(%u, %u, %u, %u)", viewport ? viewport->X : 0, viewport ? viewport->Y : 0,
                viewport ? viewport->Width : 0, viewport ? viewport->Height : 0);
  if (!viewport) return D3DERR_INVALIDCALL;
  CSurface9* target = m_state.renderTargets[0];
  if (target && (viewport->X > target->Width() || viewport->Width > target->Width() - viewport->X ||
                 viewport->Y > target->Height() || viewport->Height > target->Height() - viewport->Y))
    return D3DERR_INVALIDCALL;
  if (viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
  m_state.viewport = *viewport;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = m_state.viewport;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetMaterial(const D3DMATERIAL9* material) {
  Control().Log("SetMaterial()");
  if (!material) return D3DERR_INVALIDCALL;
  m_state.material = *material;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetMaterial(D3DMATERIAL9* material) {
  if (!material || IsPure()) return D3DERR_INVALIDCALL;
  *material = m_state.material;
  return D3D_OK;
}

namespace {
// Lights may be numbered freely by the caller; the list grows up to this many.
constexpr DWORD kMaxLightIndex = 4096;
}  // namespace

HRESULT CDirect3DDevice9::SetLight(DWORD index, const D3DLIGHT9* light) {
  Control().Log("SetLight(%u, %d)", index, light ? static_cast<int>(light->Type) : 0);
  if (!light || index >= kMaxLightIndex) return D3DERR_INVALIDCALL;
  if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
  if (light->Range < 0.f) return D3DERR_INVALIDCALL;
  if (light->Type == D3DLIGHT_SPOT && (light->Theta < 0.f || light->Phi < light->Theta)) return D3DERR_INVALIDCALL;
  if (index >= m_state.lights.size()) m_state.lights.resize(index + 1);
  m_state.lights[index].light = *light;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetLight(DWORD index, D3DLIGHT9* light) {
  if (!light || index >= m_state.lights.size() || IsPure()) return D3DERR_INVALIDCALL;
  *light = m_state.lights[index].light;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::LightEnable(DWORD index, BOOL enable) {
  Control().Log("LightEnable(%u, %d)", index, enable);
  if (index >= kMaxLightIndex) return D3DERR_INVALIDCALL;
  if (index >= m_state.lights.size()) {
    m_state.lights.resize(index + 1);
    SLightSlot& slot = m_state.lights[index];
    slot.light.Type = D3DLIGHT_DIRECTIONAL;
    slot.light.Diffuse = {1, 1, 1, 0};
    slot.light.Direction = {0, 0, 1};
  }
  if (enable && !m_state.lights[index].enabled) {
    UINT active = 0;
    for (const SLightSlot& slot : m_state.lights) active += slot.enabled ? 1 : 0;
    if (active >= CAdapterProfile::Current().Caps().MaxActiveLights) return D3DERR_INVALIDCALL;
  }
  m_state.lights[index].enabled = enable != FALSE;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetLightEnable(DWORD index, BOOL* enable) {
  if (!enable || index >= m_state.lights.size() || IsPure()) return D3DERR_INVALIDCALL;
  *enable = m_state.lights[index].enabled ? TRUE : FALSE;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetClipPlane(DWORD index, const float* plane) {
  if (!plane || index >= kMaxClipPlanes) return D3DERR_INVALIDCALL;
  memcpy(m_state.clipPlanes[index], plane, sizeof m_state.clipPlanes[index]);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetClipPlane(DWORD index, float* plane) {
  if (!plane || index >= kMaxClipPlanes || IsPure()) return D3DERR_INVALIDCALL;
  memcpy(plane, m_state.clipPlanes[index], sizeof m_state.clipPlanes[index]);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  Control().Log("SetRenderState(%d, %u)", static_cast<int>(state), value);
  if (state < 0 || state >= D3D_MAX_RENDERSTATES) return D3DERR_INVALIDCALL;
  m_state.renderStates[state] = value;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (!value || state < 0 || state >= D3D_MAX_RENDERSTATES || IsPure()) return D3DERR_INVALIDCALL;
  *value = m_state.renderStates[state];
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  int slot = CDeviceState::SamplerSlot(stage);
  if (slot < 0 || IsPure()) return D3DERR_INVALIDCALL;
  if (m_state.textures[slot]) {
    *texture = m_state.textures[slot]->Interface();
    (*texture)->AddRef();
  }
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  Control().Log("SetTexture(%u, %p)", stage, static_cast<void*>(texture));
  int slot = CDeviceState::SamplerSlot(stage);
  if (slot < 0) return D3DERR_INVALIDCALL;
  CBaseTexture* bound = texture ? Own<CBaseTexture>(texture) : nullptr;
  if (texture && !bound) return D3DERR_INVALIDCALL;
  Rebind(m_state.textures[slot], bound);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (!value || stage >= kMaxStages || type < 0 || type >= D3D_MAX_TEXTURESTAGESTATES || IsPure())
    return D3DERR_INVALIDCALL;
  *value = m_state.stageStates[stage][type];
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  Control().Log("SetTextureStageState(%u, %d, %u)", stage, static_cast<int>(type), value);
  if (stage >= kMaxStages || type < 0 || type >= D3D_MAX_TEXTURESTAGESTATES) return D3DERR_INVALIDCALL;
  m_state.stageStates[stage][type] = value;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
  int slot = CDeviceState::SamplerSlot(sampler);
  if (!value || slot < 0 || type < 0 || type >= D3D_MAX_SAMPLERSTATES || IsPure()) return D3DERR_INVALIDCALL;
  *value = m_state.samplerStates[slot][type];
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  Control().Log("SetSamplerState(%u, %d, %u)", sampler, static_cast<int>(type), value);
  int slot = CDeviceState::SamplerSlot(sampler);
  if (slot < 0 || type < 0 || type >= D3D_MAX_SAMPLERSTATES) return D3DERR_INVALIDCALL;
  m_state.samplerStates[slot][type] = value;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::ValidateDevice(DWORD* passes) {
  if (!passes) return D3DERR_INVALIDCALL;
  *passes = 1;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetScissorRect(const RECT* rect) {
  Control().Log("SetScissorRect(%d, %d, %d, %d)", rect ? rect->left : 0, rect ? rect->top : 0,
                rect ? rect->right : 0, rect ? rect->bottom : 0);
  if (!rect) return D3DERR_INVALIDCALL;
  m_state.scissor = *rect;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetScissorRect(RECT* rect) {
  if (!rect) return D3DERR_INVALIDCALL;
  *rect = m_state.scissor;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetSoftwareVertexProcessing(BOOL software) {
  Control().Log("SetSoftwareVertexProcessing(%d)", software);
  const DWORD flags = m_creation.BehaviorFlags;
  // Only a mixed device switches; the others accept what they already do.
  if (!(flags & D3DCREATE_MIXED_VERTEXPROCESSING)) {
    const bool isSoftware = (flags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
    if ((software != FALSE) != isSoftware) return D3DERR_INVALIDCALL;
  }
  m_state.softwareVertexProcessing = software != FALSE;
  return D3D_OK;
}

BOOL CDirect3DDevice9::GetSoftwareVertexProcessing() { return m_state.softwareVertexProcessing; }

HRESULT CDirect3DDevice9::SetNPatchMode(float segments) {
  if (segments < 0.f) return D3DERR_INVALIDCALL;
  m_state.nPatchSegments = segments;
  return D3D_OK;
}

float CDirect3DDevice9::GetNPatchMode() { return m_state.nPatchSegments; }

HRESULT CDirect3DDevice9::CheckStreams(const SDrawCall& draw, UINT vertexEnd) {
  const CVertexDeclaration9* declaration = draw.declaration;
  for (const D3DVERTEXELEMENT9& e : declaration->Elements()) {
    const UINT elementEnd = e.Offset + CVertexDeclaration9::TypeSize(e.Type);
    if (draw.userVertices) {
      if (e.Stream != 0) return D3DERR_INVALIDCALL;
      if (vertexEnd > 0 &&
          static_cast<uint64_t>(vertexEnd - 1) * draw.userStride + elementEnd > draw.userVertexBytes)
        return D3DERR_INVALIDCALL;
      continue;
    }
    const SStreamSource& stream = m_state.streams[e.Stream];
    if (!stream.buffer) return D3DERR_INVALIDCALL;
    const uint64_t needed = stream.offset + static_cast<uint64_t>(vertexEnd > 0 ? vertexEnd - 1 : 0) * stream.stride +
                            elementEnd;
    if (needed > stream.buffer->Memory().Size()) return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

bool CDirect3DDevice9::PixelProgramReadsBoundTextures() const {
  bool bound[kMaxSamplers], cube[kMaxSamplers];
  for (UINT i = 0; i < kMaxSamplers; ++i) {
    bound[i] = m_state.textures[i] != nullptr;
    cube[i] = bound[i] && m_state.textures[i]->IsCube();
  }
  const CShaderTranslation& program = m_state.pixelShader->Translation();
  std::string reason;
  if (program.ReadsBoundTextures(bound, cube, &reason)) return true;
  // The translation would read an empty texture unit and draw black.
  if (program.FirstRefusal()) fprintf(stderr, "zkplatform: draw refused: %s\n", reason.c_str());
  return false;
}

HRESULT CDirect3DDevice9::DrawCommon(SDrawCall& draw) {
  if (!m_inScene) return D3DERR_INVALIDCALL;
  if (draw.type < D3DPT_POINTLIST || draw.type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDCALL;
  if (draw.primitiveCount > CAdapterProfile::Current().Caps().MaxPrimitiveCount) return D3DERR_INVALIDCALL;
  // Within the primitive limit the count fits.
  draw.vertexCount = static_cast<UINT>(VerticesFor(draw.type, draw.primitiveCount));
  draw.declaration = m_state.declaration;
  if (!draw.declaration) return D3DERR_INVALIDCALL;
  if (draw.primitiveCount == 0) return D3D_OK;

  // The range of vertices the draw reads, to check it lies inside the streams.
  uint64_t vertexEnd;
  if (draw.indexed) {
    const BYTE* indices;
    if (draw.userIndices) {
      indices = static_cast<const BYTE*>(draw.userIndices);
    } else {
      if (!m_state.indices) return D3DERR_INVALIDCALL;
      const CBufferMemory& memory = m_state.indices->Memory();
      if ((static_cast<uint64_t>(draw.startIndex) + draw.vertexCount) * draw.indexSize > memory.Size())
        return D3DERR_INVALIDCALL;
      indices = memory.Data() + static_cast<size_t>(draw.startIndex) * draw.indexSize;
    }
    const int64_t largest = static_cast<int64_t>(draw.baseVertex) + MaxIndex(indices, draw.vertexCount, draw.indexSize);
    if (largest < 0) return D3DERR_INVALIDCALL;
    vertexEnd = static_cast<uint64_t>(largest) + 1;
  } else {
    vertexEnd = static_cast<uint64_t>(draw.startVertex) + draw.vertexCount;
  }
  if (vertexEnd > 0xFFFFFFFFu) return D3DERR_INVALIDCALL;
  HRESULT hr = CheckStreams(draw, static_cast<UINT>(vertexEnd));
  if (FAILED(hr)) return hr;
  if (IsLost() || !m_state.renderTargets[0]) return D3D_OK;
  if (m_state.pixelShader && !PixelProgramReadsBoundTextures()) return D3DERR_INVALIDCALL;

  if (!draw.userVertices)
    for (UINT i = 0; i < kMaxStreams; ++i)
      if (m_state.streams[i].buffer) draw.streamBuffers[i] = m_state.streams[i].buffer->Upload();
  if (draw.indexed && !draw.userIndices) draw.indexBuffer = m_state.indices->Upload();
  for (CBaseTexture* texture : m_state.textures)
    if (texture) texture->Prepare(*m_backend);
  FillTargets(draw.targets, &draw.depthStencil);
  m_backend->Draw(m_state, draw);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
  Control().Log("DrawPrimitive(%d, %u, %u)", static_cast<int>(type), startVertex, primitiveCount);
  SDrawCall draw;
  draw.type = type;
  draw.startVertex = startVertex;
  draw.primitiveCount = primitiveCount;
  return DrawCommon(draw);
}

HRESULT CDirect3DDevice9::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex,
                                               UINT vertexCount, UINT startIndex, UINT primitiveCount) {
  Control().Log("DrawIndexedPrimitive(%d, %d, %u, %u, %u, %u)", static_cast<int>(type), baseVertex, minVertex,
                vertexCount, startIndex, primitiveCount);
  if (!m_state.indices) return D3DERR_INVALIDCALL;
  SDrawCall draw;
  draw.type = type;
  draw.indexed = true;
  draw.baseVertex = baseVertex;
  draw.startIndex = startIndex;
  draw.indexSize = m_state.indices->IndexSize();
  draw.primitiveCount = primitiveCount;
  return DrawCommon(draw);
}

HRESULT CDirect3DDevice9::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                          UINT stride) {
  Control().Log("DrawPrimitiveUP(%d, %u, %u)", static_cast<int>(type), primitiveCount, stride);
  if (!vertices || stride == 0) return D3DERR_INVALIDCALL;
  SDrawCall draw;
  draw.type = type;
  draw.primitiveCount = primitiveCount;
  draw.userVertices = vertices;
  draw.userStride = stride;
  const uint64_t bytes = VerticesFor(type, primitiveCount) * stride;
  if (bytes > 0x7FFFFFFF) return D3DERR_INVALIDCALL;
  draw.userVertexBytes = static_cast<UINT>(bytes);
  HRESULT hr = DrawCommon(draw);
  // Direct3D unbinds stream 0 after a draw from memory.
  Rebind(m_state.streams[0].buffer, static_cast<CVertexBuffer9*>(nullptr));
  m_state.streams[0] = SStreamSource();
  return hr;
}

HRESULT CDirect3DDevice9::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertex, UINT vertexCount,
                                                 UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                                 const void* vertices, UINT stride) {
  Control().Log("DrawIndexedPrimitiveUP(%d, %u, %u, %u)", static_cast<int>(type), minVertex, vertexCount,
                primitiveCount);
  if (!vertices || !indices || stride == 0 || (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
    return D3DERR_INVALIDCALL;
  SDrawCall draw;
  draw.type = type;
  draw.indexed = true;
  draw.primitiveCount = primitiveCount;
  draw.indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
  draw.userIndices = indices;
  const uint64_t indexBytes = VerticesFor(type, primitiveCount) * draw.indexSize;
  draw.userVertices = vertices;
  draw.userStride = stride;
  // The caller's memory holds vertices up to minVertex + vertexCount.
  const uint64_t vertexBytes = (static_cast<uint64_t>(minVertex) + vertexCount) * stride;
  if (indexBytes > 0x7FFFFFFF || vertexBytes > 0x7FFFFFFF) return D3DERR_INVALIDCALL;
  draw.userIndexBytes = static_cast<UINT>(indexBytes);
  draw.userVertexBytes = static_cast<UINT>(vertexBytes);
  HRESULT hr = DrawCommon(draw);
  Rebind(m_state.streams[0].buffer, static_cast<CVertexBuffer9*>(nullptr));
  m_state.streams[0] = SStreamSource();
  Rebind(m_state.indices, static_cast<CIndexBuffer9*>(nullptr));
  return hr;
}

HRESULT CDirect3DDevice9::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                                  IDirect3DVertexDeclaration9** declaration) {
  Control().Log("CreateVertexDeclaration()");
  if (!declaration) return D3DERR_INVALIDCALL;
  CVertexDeclaration9* created = nullptr;
  HRESULT hr = CVertexDeclaration9::Create(this, elements, &created);
  *declaration = created;
  return hr;
}

HRESULT CDirect3DDevice9::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
  Control().Log("SetVertexDeclaration(%p)", static_cast<void*>(declaration));
  CVertexDeclaration9* own = declaration ? Own<CVertexDeclaration9>(declaration) : nullptr;
  if (declaration && !own) return D3DERR_INVALIDCALL;
  Rebind(m_state.declaration, own);
  m_state.fvf = 0;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) {
  if (!declaration) return D3DERR_INVALIDCALL;
  *declaration = m_state.declaration;
  if (*declaration) (*declaration)->AddRef();
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetFVF(DWORD fvf) {
  Control().Log("SetFVF(0x%x)", fvf);
  if (fvf == 0) {
    m_state.fvf = 0;
    return D3D_OK;
  }
  auto found = m_fvfDeclarations.find(fvf);
  if (found == m_fvfDeclarations.end()) {
    CVertexDeclaration9* declaration = CVertexDeclaration9::FromFVF(this, fvf);
    if (!declaration) return D3DERR_INVALIDCALL;
    found = m_fvfDeclarations.emplace(fvf, declaration).first;
  }
  Rebind(m_state.declaration, found->second);
  m_state.fvf = fvf;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetFVF(DWORD* fvf) {
  if (!fvf) return D3DERR_INVALIDCALL;
  *fvf = m_state.fvf;
  return D3D_OK;
}

namespace {

// A shader object of the given kind for `function`; D3DERR_INVALIDCALL for code that is not
// valid bytecode of that kind or that cannot be translated.
template <class Shader, class Interface>
HRESULT CreateShader(CDirect3DDevice9* device, const DWORD* function, EShaderKind kind, Interface** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  *shader = nullptr;
  if (!function) return D3DERR_INVALIDCALL;
  std::string error;
  std::shared_ptr<const CShaderTranslation> translation = CShaderTranslation::Translate(function, kind, &error);
  if (!translation) {
    fprintf(stderr, "zkplatform: shader rejected: %s\n", error.c_str());
    return D3DERR_INVALIDCALL;
  }
  *shader = new Shader(device, std::move(translation));
  return D3D_OK;
}

}  // namespace

HRESULT CDirect3DDevice9::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
  Control().Log("CreateVertexShader()");
  return CreateShader<CVertexShader9>(this, function, SHADER_VERTEX, shader);
}

HRESULT CDirect3DDevice9::SetVertexShader(IDirect3DVertexShader9* shader) {
  Control().Log("SetVertexShader(%p)", static_cast<void*>(shader));
  CVertexShader9* own = shader ? Own<CVertexShader9>(shader) : nullptr;
  if (shader && !own) return D3DERR_INVALIDCALL;
  Rebind(m_state.vertexShader, own);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetVertexShader(IDirect3DVertexShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  *shader = m_state.vertexShader;
  if (*shader) (*shader)->AddRef();
  return D3D_OK;
}

HRESULT CDirect3DDevice9::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
  Control().Log("CreatePixelShader()");
  return CreateShader<CPixelShader9>(this, function, SHADER_PIXEL, shader);
}

HRESULT CDirect3DDevice9::SetPixelShader(IDirect3DPixelShader9* shader) {
  Control().Log("SetPixelShader(%p)", static_cast<void*>(shader));
  CPixelShader9* own = shader ? Own<CPixelShader9>(shader) : nullptr;
  if (shader && !own) return D3DERR_INVALIDCALL;
  Rebind(m_state.pixelShader, own);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetPixelShader(IDirect3DPixelShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  *shader = m_state.pixelShader;
  if (*shader) (*shader)->AddRef();
  return D3D_OK;
}

namespace {

// Register files: `count` registers of `width` values from `start`, bounds checked.
template <class T>
HRESULT WriteRegisters(T* file, UINT size, UINT width, UINT start, const T* data, UINT count) {
  if (!data || start > size || count > size - start) return D3DERR_INVALIDCALL;
  memcpy(file + static_cast<size_t>(start) * width, data, sizeof(T) * width * count);
  return D3D_OK;
}

template <class T>
HRESULT ReadRegisters(const T* file, UINT size, UINT width, UINT start, T* data, UINT count) {
  if (!data || start > size || count > size - start) return D3DERR_INVALIDCALL;
  memcpy(data, file + static_cast<size_t>(start) * width, sizeof(T) * width * count);
  return D3D_OK;
}

}  // namespace

HRESULT CDirect3DDevice9::SetVertexShaderConstantF(UINT start, const float* data, UINT count) {
  return WriteRegisters(&m_state.vertexConstantsF[0][0], kVertexShaderFloatConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::GetVertexShaderConstantF(UINT start, float* data, UINT count) {
  return ReadRegisters(&m_state.vertexConstantsF[0][0], kVertexShaderFloatConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::SetVertexShaderConstantI(UINT start, const int* data, UINT count) {
  return WriteRegisters(&m_state.vertexConstantsI[0][0], kShaderIntegerConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::GetVertexShaderConstantI(UINT start, int* data, UINT count) {
  return ReadRegisters(&m_state.vertexConstantsI[0][0], kShaderIntegerConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) {
  return WriteRegisters(m_state.vertexConstantsB, kShaderBooleanConstants, 1, start, data, count);
}
HRESULT CDirect3DDevice9::GetVertexShaderConstantB(UINT start, BOOL* data, UINT count) {
  return ReadRegisters(m_state.vertexConstantsB, kShaderBooleanConstants, 1, start, data, count);
}
HRESULT CDirect3DDevice9::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
  return WriteRegisters(&m_state.pixelConstantsF[0][0], kPixelShaderFloatConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::GetPixelShaderConstantF(UINT start, float* data, UINT count) {
  return ReadRegisters(&m_state.pixelConstantsF[0][0], kPixelShaderFloatConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::SetPixelShaderConstantI(UINT start, const int* data, UINT count) {
  return WriteRegisters(&m_state.pixelConstantsI[0][0], kShaderIntegerConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::GetPixelShaderConstantI(UINT start, int* data, UINT count) {
  return ReadRegisters(&m_state.pixelConstantsI[0][0], kShaderIntegerConstants, 4, start, data, count);
}
HRESULT CDirect3DDevice9::SetPixelShaderConstantB(UINT start, const BOOL* data, UINT count) {
  return WriteRegisters(m_state.pixelConstantsB, kShaderBooleanConstants, 1, start, data, count);
}
HRESULT CDirect3DDevice9::GetPixelShaderConstantB(UINT start, BOOL* data, UINT count) {
  return ReadRegisters(m_state.pixelConstantsB, kShaderBooleanConstants, 1, start, data, count);
}

HRESULT CDirect3DDevice9::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
  Control().Log("SetStreamSource(%u, %p, %u, %u)", stream, static_cast<void*>(buffer), offset, stride);
  if (stream >= kMaxStreams || stride > CAdapterProfile::Current().Caps().MaxStreamStride || (offset & 3))
    return D3DERR_INVALIDCALL;
  CVertexBuffer9* own = buffer ? Own<CVertexBuffer9>(buffer) : nullptr;
  if (buffer && !own) return D3DERR_INVALIDCALL;
  SStreamSource& source = m_state.streams[stream];
  Rebind(source.buffer, own);
  source.offset = offset;
  source.stride = stride;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride) {
  if (stream >= kMaxStreams || !buffer || !offset || !stride) return D3DERR_INVALIDCALL;
  const SStreamSource& source = m_state.streams[stream];
  *buffer = source.buffer;
  if (*buffer) (*buffer)->AddRef();
  *offset = source.offset;
  *stride = source.stride;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetStreamSourceFreq(UINT stream, UINT setting) {
  if (stream >= kMaxStreams) return D3DERR_INVALIDCALL;
  m_state.streams[stream].frequency = setting;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetStreamSourceFreq(UINT stream, UINT* setting) {
  if (stream >= kMaxStreams || !setting) return D3DERR_INVALIDCALL;
  *setting = m_state.streams[stream].frequency;
  return D3D_OK;
}

HRESULT CDirect3DDevice9::SetIndices(IDirect3DIndexBuffer9* buffer) {
  Control().Log("SetIndices(%p)", static_cast<void*>(buffer));
  CIndexBuffer9* own = buffer ? Own<CIndexBuffer9>(buffer) : nullptr;
  if (buffer && !own) return D3DERR_INVALIDCALL;
  Rebind(m_state.indices, own);
  return D3D_OK;
}

HRESULT CDirect3DDevice9::GetIndices(IDirect3DIndexBuffer9** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = m_state.indices;
  if (*buffer) (*buffer)->AddRef();
  return D3D_OK;
}
