#pragma once
#include "BufferMemory.h"
#include "Resource9.h"

class CIndexBuffer9 : public TResource9<IDirect3DIndexBuffer9> {
 public:
  CIndexBuffer9(CDirect3DDevice9* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
  void ReleaseBackendObjects() override;
  uintptr_t Upload() { return m_memory.Upload(Backend()); }
  const CBufferMemory& Memory() const { return m_memory; }
  UINT IndexSize() const { return m_format == D3DFMT_INDEX32 ? 4 : 2; }

 private:
  CBufferMemory m_memory;
  DWORD m_usage;
  D3DFORMAT m_format;
};
