#pragma once
// The device's one swap chain. It is part of the device: its references are the device's.
#include "d3d9.h"

class CDirect3DDevice9;

class CSwapChain9 : public IDirect3DSwapChain9 {
 public:
  explicit CSwapChain9(CDirect3DDevice9* device) : m_device(device) {}
  ~CSwapChain9() override = default;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion,
                  DWORD flags) override;
  HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** backBuffer) override;
  HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* parameters) override;

 private:
  CDirect3DDevice9* m_device;
};
