#pragma once
#include "BufferMemory.h"
#include "Resource9.h"

class CVertexBuffer9 : public TResource9<IDirect3DVertexBuffer9> {
 public:
  CVertexBuffer9(CDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
  void ReleaseBackendObjects() override;
  uintptr_t Upload() { return m_memory.Upload(Backend()); }
  const CBufferMemory& Memory() const { return m_memory; }

 private:
  CBufferMemory m_memory;
  DWORD m_usage;
  DWORD m_fvf;
};
