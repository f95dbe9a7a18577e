#include "SwapChain9.h"

#include "Direct3DDevice9.h"

HRESULT CSwapChain9::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualGUID(riid, IID_IUnknown) && !IsEqualGUID(riid, IID_IDirect3DSwapChain9)) return E_NOINTERFACE;
  AddRef();
  *object = this;
  return S_OK;
}

ULONG CSwapChain9::AddRef() { return m_device->AddRef(); }
ULONG CSwapChain9::Release() { return m_device->Release(); }

HRESULT CSwapChain9::Present(const RECT*, const RECT*, HWND, const void*, DWORD flags) {
  return m_device->PresentBackBuffer(flags);
}

HRESULT CSwapChain9::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** backBuffer) {
  return m_device->GetBackBuffer(0, index, type, backBuffer);
}

HRESULT CSwapChain9::GetDisplayMode(D3DDISPLAYMODE* mode) { return m_device->GetDisplayMode(0, mode); }

HRESULT CSwapChain9::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  m_device->AddRef();
  *device = m_device;
  return D3D_OK;
}

HRESULT CSwapChain9::GetPresentParameters(D3DPRESENT_PARAMETERS* parameters) {
  if (!parameters) return D3DERR_INVALIDCALL;
  *parameters = m_device->PresentParameters();
  return D3D_OK;
}
