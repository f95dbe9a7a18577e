#pragma once
// The dynamic buffer a fake bank hands the renderer, as device loss and release treat it: a
// default-pool buffer let go on loss and release and made again, alike, on reset. Records the
// events as "lost", "reset", "released".
#include <string>
#include <vector>

#include "d3d9.h"

inline HRESULT CreateDynamicBuffer(IDirect3DDevice9* device, UINT bytes, IDirect3DVertexBuffer9** buffer) {
  return device->CreateVertexBuffer(bytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, buffer,
                                    nullptr);
}
inline HRESULT CreateDynamicBuffer(IDirect3DDevice9* device, UINT bytes, IDirect3DIndexBuffer9** buffer) {
  return device->CreateIndexBuffer(bytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                   buffer, nullptr);
}

template <class Buffer, class Description>
class FakeDynamicBuffer {
 public:
  void OnDeviceLost(Buffer*& buffer) {
    events.push_back("lost");
    Release(buffer);
  }
  void OnDeviceReset(IDirect3DDevice9* device, Buffer*& buffer) {
    events.push_back("reset");
    if (device && bytes) CreateDynamicBuffer(device, bytes, &buffer);
  }
  void ReleaseDeviceObjects(Buffer*& buffer) {
    events.push_back("released");
    Release(buffer);
  }

  std::vector<std::string> events;

 private:
  void Release(Buffer*& buffer) {
    if (!buffer) return;
    Description desc;
    if (SUCCEEDED(buffer->GetDesc(&desc))) bytes = desc.Size;
    buffer->Release();
    buffer = nullptr;
  }
  UINT bytes = 0;
};
