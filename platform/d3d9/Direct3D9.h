#pragma once
// The Direct3D object: adapter 0, and a second one when a test adds it, each described by its profile.
#include "ComObject.h"

class CDirect3D9 : public TComObject<IDirect3D9> {
 public:
  CDirect3D9() = default;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  UINT GetAdapterCount() override;
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
  UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
  HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* result) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat,
                          BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT format) override;
  HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format, BOOL windowed,
                                     D3DMULTISAMPLE_TYPE multiSample, DWORD* qualityLevels) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat, D3DFORMAT depthFormat) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behavior,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

  static bool IsValidDeviceType(D3DDEVTYPE type) { return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF; }
  static bool IsDisplayFormat(D3DFORMAT format);

 private:
  ~CDirect3D9() override = default;
};
