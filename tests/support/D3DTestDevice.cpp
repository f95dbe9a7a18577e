#include "D3DTestDevice.h"

#include <cstdlib>
#include <cstring>

CD3DTestDevice::CD3DTestDevice(ZkTestD3DBackend backend, DWORD behavior, HWND window) {
  ZkTestD3DResetControl();
  ZkTestD3DSetBackend(backend);
  m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!m_d3d) return;
  m_parameters.BackBufferWidth = kWidth;
  m_parameters.BackBufferHeight = kHeight;
  m_parameters.BackBufferFormat = D3DFMT_A8R8G8B8;
  m_parameters.BackBufferCount = 1;
  m_parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  m_parameters.Windowed = TRUE;
  m_parameters.EnableAutoDepthStencil = TRUE;
  m_parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
  m_parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  m_parameters.hDeviceWindow = window;
  m_result = m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behavior, &m_parameters, &m_device);
}

CD3DTestDevice::CD3DTestDevice(ZkTestD3DBackend backend, Deferred) {
  ZkTestD3DResetControl();
  ZkTestD3DSetBackend(backend);
}

CD3DTestDevice::~CD3DTestDevice() { Release(); }

void CD3DTestDevice::Adopt(IDirect3DDevice9* device) {
  Release();
  if (device) device->AddRef();
  m_device = device;
  m_result = device ? D3D_OK : E_FAIL;
}

void CD3DTestDevice::Release() {
  if (m_device) m_device->Release();
  if (m_d3d) m_d3d->Release();
  m_device = nullptr;
  m_d3d = nullptr;
}

std::vector<D3DCOLOR> CD3DTestDevice::ReadPixels(IDirect3DSurface9* target) {
  std::vector<D3DCOLOR> pixels;
  D3DSURFACE_DESC desc;
  if (FAILED(target->GetDesc(&desc))) return pixels;
  IDirect3DSurface9* copy = nullptr;
  if (FAILED(m_device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr)))
    return pixels;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(m_device->GetRenderTargetData(target, copy)) && SUCCEEDED(copy->LockRect(&locked, nullptr, 0))) {
    pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
      memcpy(&pixels[y * desc.Width], static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch, desc.Width * 4);
    copy->UnlockRect();
  }
  copy->Release();
  return pixels;
}

std::vector<D3DCOLOR> CD3DTestDevice::ReadBackBuffer() {
  IDirect3DSurface9* target = nullptr;
  if (FAILED(m_device->GetRenderTarget(0, &target))) return {};
  std::vector<D3DCOLOR> pixels = ReadPixels(target);
  target->Release();
  return pixels;
}

bool ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance, bool compareAlpha) {
  for (int shift = 0; shift < (compareAlpha ? 32 : 24); shift += 8) {
    int a = static_cast<int>((actual >> shift) & 0xFF);
    int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}
