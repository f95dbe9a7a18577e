#pragma once
// A Direct3D 9 device for tests: created on the chosen back end with a small back buffer and a
// depth-stencil buffer, with helpers to draw pre-made vertices and read pixels back.
#include <cstdint>
#include <vector>

#include "d3d9.h"
#include "zktest/ZkTestD3D.h"

class CD3DTestDevice {
 public:
  static constexpr UINT kWidth = 64;
  static constexpr UINT kHeight = 64;

  // Resets the test control, selects the back end and creates the device (HAL, hardware
  // vertex processing, D24S8 auto depth-stencil), on `window` when one is given. Check ok()
  // before use.
  explicit CD3DTestDevice(ZkTestD3DBackend backend, DWORD behavior = D3DCREATE_HARDWARE_VERTEXPROCESSING,
                          HWND window = nullptr);
  // Resets the test control and selects the back end only; the device comes from Adopt.
  struct Deferred {};
  CD3DTestDevice(ZkTestD3DBackend backend, Deferred);
  ~CD3DTestDevice();
  CD3DTestDevice(const CD3DTestDevice&) = delete;
  CD3DTestDevice& operator=(const CD3DTestDevice&) = delete;

  bool ok() const { return m_device != nullptr; }
  HRESULT result() const { return m_result; }
  IDirect3D9* d3d() const { return m_d3d; }
  IDirect3DDevice9* operator->() const { return m_device; }
  IDirect3DDevice9* get() const { return m_device; }
  D3DPRESENT_PARAMETERS& parameters() { return m_parameters; }

  // Every pixel of a render-target surface as D3DCOLOR (A8R8G8B8 or X8R8G8B8), top row first.
  std::vector<D3DCOLOR> ReadPixels(IDirect3DSurface9* target);
  // The pixels of the current render target 0.
  std::vector<D3DCOLOR> ReadBackBuffer();
  static D3DCOLOR At(const std::vector<D3DCOLOR>& pixels, UINT x, UINT y, UINT width = kWidth) {
    return pixels[y * width + x];
  }
  // Takes a reference to a device made elsewhere (by the renderer) in place of its own.
  void Adopt(IDirect3DDevice9* device);
  // Releases the device and the Direct3D object now (for tests of what survives them).
  void Release();

 private:
  IDirect3D9* m_d3d = nullptr;
  IDirect3DDevice9* m_device = nullptr;
  D3DPRESENT_PARAMETERS m_parameters{};
  HRESULT m_result = E_FAIL;
};

// True when each channel of two colours differs by at most `tolerance`.
bool ColorNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance = 3, bool compareAlpha = false);
