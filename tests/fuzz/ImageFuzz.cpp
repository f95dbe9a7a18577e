// Image files as the engine loads textures: read from memory by the D3DX image loaders (DDS by
// our own reader, PNG, JPEG, TGA and BMP through stb), for their information, as a texture with
// the file's size, format and levels, and scaled into a small surface, on the null device.
#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "d3dx9tex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  IDirect3DDevice9* device = harness.NullDevice();
  harness.Run([&] {
    D3DXIMAGE_INFO info{};
    if (FAILED(D3DXGetImageInfoFromFileInMemory(data, static_cast<UINT>(size), &info))) return;

    IDirect3DTexture9* texture = nullptr;
    D3DXCreateTextureFromFileInMemoryEx(device, data, static_cast<UINT>(size), D3DX_DEFAULT,
                                        D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                        nullptr, &texture);
    ReleasingPtr<IDirect3DTexture9> textureOwner(texture);

    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(16, 16, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                      &surface, nullptr))) {
      ReleasingPtr<IDirect3DSurface9> surfaceOwner(surface);
      const RECT part{1, 1, 9, 7};
      D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, data, static_cast<UINT>(size),
                                      &part, D3DX_FILTER_LINEAR, 0xFF000000, nullptr);
      D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, data, static_cast<UINT>(size),
                                      nullptr, D3DX_FILTER_POINT, 0, nullptr);
    }
  });
  return 0;
}
