#include "Direct3D9.h"

#include "AdapterProfile.h"
#include "Direct3DDevice9.h"

namespace {

// The one display mode the desktop is in.
const D3DDISPLAYMODE kDesktopMode = {1024, 768, 60, D3DFMT_X8R8G8B8};

}  // namespace

ZKAPI IDirect3D9* Direct3DCreate9(UINT sdkVersion) {
  CD3DTestControl::Instance().Log("Direct3DCreate9(%u)", sdkVersion);
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  return new CDirect3D9();
}

bool CDirect3D9::IsDisplayFormat(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 ||
         format == D3DFMT_A2R10G10B10;
}

HRESULT CDirect3D9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3D9});
}

UINT CDirect3D9::GetAdapterCount() { return CAdapterProfile::AdapterCount(); }

HRESULT CDirect3D9::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER9* identifier) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !identifier) return D3DERR_INVALIDCALL;
  *identifier = profile->Identifier();
  return D3D_OK;
}

UINT CDirect3D9::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile) return 0;
  UINT count = 0;
  for (const D3DDISPLAYMODE& mode : profile->Modes())
    if (mode.Format == format) ++count;
  return count;
}

HRESULT CDirect3D9::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT index, D3DDISPLAYMODE* result) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !result) return D3DERR_INVALIDCALL;
  for (const D3DDISPLAYMODE& mode : profile->Modes()) {
    if (mode.Format != format) continue;
    if (index-- == 0) {
      *result = mode;
      return D3D_OK;
    }
  }
  return D3DERR_INVALIDCALL;
}

HRESULT CDirect3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (!CAdapterProfile::ForAdapter(adapter) || !mode) return D3DERR_INVALIDCALL;
  *mode = kDesktopMode;
  return D3D_OK;
}

HRESULT CDirect3D9::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !IsValidDeviceType(type)) return D3DERR_INVALIDCALL;
  if (!IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
  if (backBufferFormat == D3DFMT_UNKNOWN) return windowed ? D3D_OK : D3DERR_INVALIDCALL;
  return profile->IsRenderTargetFormat(backBufferFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CDirect3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT format) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !IsValidDeviceType(type)) return D3DERR_INVALIDCALL;
  if (!IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
  return profile->CheckFormat(usage, resourceType, format);
}

HRESULT CDirect3D9::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT, BOOL,
                                               D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) {
  if (!CAdapterProfile::ForAdapter(adapter) || !IsValidDeviceType(type)) return D3DERR_INVALIDCALL;
  if (qualityLevels) *qualityLevels = multiSample == D3DMULTISAMPLE_NONE ? 1 : 0;
  return multiSample == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CDirect3D9::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                           D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !IsValidDeviceType(type)) return D3DERR_INVALIDCALL;
  if (!IsDisplayFormat(adapterFormat) || !profile->IsRenderTargetFormat(renderTargetFormat) ||
      !profile->IsDepthStencilFormat(depthFormat))
    return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT CDirect3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  const CAdapterProfile* profile = CAdapterProfile::ForAdapter(adapter);
  if (!profile || !IsValidDeviceType(type) || !caps) return D3DERR_INVALIDCALL;
  *caps = profile->Caps();
  caps->DeviceType = type;
  return D3D_OK;
}

HRESULT CDirect3D9::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behavior,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
  CD3DTestControl::Instance().Log("CreateDevice(%u, %d, 0x%x)", adapter, static_cast<int>(type), behavior);
  if (device) *device = nullptr;
  if (!CAdapterProfile::ForAdapter(adapter) || !IsValidDeviceType(type) || !parameters || !device)
    return D3DERR_INVALIDCALL;
  HRESULT injected = CD3DTestControl::Instance().TakeCreateDeviceFailure();
  if (FAILED(injected)) return injected;
  if (CAdapterProfile::Current().CreateDeviceFails()) return D3DERR_NOTAVAILABLE;
  return CDirect3DDevice9::Create(this, type, focusWindow, behavior, parameters, device);
}
