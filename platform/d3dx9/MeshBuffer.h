#pragma once
// The vertex or index buffer of a system-memory D3DX mesh: plain memory with Direct3D's lock
// rules, reference counted on its own so that a buffer handed out outlives its mesh.
#include <atomic>
#include <vector>

#include "d3d9.h"

template <class Interface, class Desc>
class TMeshBuffer final : public Interface {
 public:
  TMeshBuffer(IDirect3DDevice9* device, D3DFORMAT format, UINT size)
      : m_device(device), m_format(format), m_bytes(size) {
    if (m_device) m_device->AddRef();
  }
  ~TMeshBuffer() {
    if (m_device) m_device->Release();
  }

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown) return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IUnknown*>(this);
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetDevice(IDirect3DDevice9** device) override {
    if (!device || !m_device) return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *device = m_device;
    return D3D_OK;
  }
  DWORD SetPriority(DWORD) override { return 0; }
  DWORD GetPriority() override { return 0; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return Type(static_cast<Desc*>(nullptr)); }

  // A size of 0 locks from the offset to the end.
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD) override {
    if (!data) return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (offset > Size() || (size != 0 && size > Size() - offset)) return D3DERR_INVALIDCALL;
    ++m_locks;
    *data = m_bytes.data() + offset;
    return D3D_OK;
  }
  HRESULT Unlock() override {
    if (m_locks == 0) return D3DERR_INVALIDCALL;
    --m_locks;
    return D3D_OK;
  }
  HRESULT GetDesc(Desc* desc) override {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = Desc{};
    desc->Format = m_format;
    desc->Type = GetType();
    desc->Pool = D3DPOOL_SYSTEMMEM;
    desc->Size = Size();
    return D3D_OK;
  }

  UINT Size() const { return static_cast<UINT>(m_bytes.size()); }
  bool IsLocked() const { return m_locks > 0; }
  std::vector<BYTE>& Bytes() { return m_bytes; }

 private:
  static D3DRESOURCETYPE Type(D3DVERTEXBUFFER_DESC*) { return D3DRTYPE_VERTEXBUFFER; }
  static D3DRESOURCETYPE Type(D3DINDEXBUFFER_DESC*) { return D3DRTYPE_INDEXBUFFER; }

  std::atomic<ULONG> m_references{1};
  IDirect3DDevice9* m_device;
  D3DFORMAT m_format;
  std::vector<BYTE> m_bytes;
  UINT m_locks = 0;
};

using CMeshVertexBuffer = TMeshBuffer<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC>;
using CMeshIndexBuffer = TMeshBuffer<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC>;
