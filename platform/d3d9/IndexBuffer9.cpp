#include "IndexBuffer9.h"

#include "D3DTestControl.h"

CIndexBuffer9::CIndexBuffer9(CDirect3DDevice9* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : TResource9(device, pool, D3DRTYPE_INDEXBUFFER), m_memory(length), m_usage(usage), m_format(format) {}

HRESULT CIndexBuffer9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DResource9, &IID_IDirect3DIndexBuffer9});
}

HRESULT CIndexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (const HRESULT injected = CD3DTestControl::Instance().TakeIndexBufferLockFailure(); FAILED(injected)) {
    if (data) *data = nullptr;
    return injected;
  }
  return m_memory.Lock(offset, size, data, flags);
}

HRESULT CIndexBuffer9::Unlock() { return m_memory.Unlock(); }

HRESULT CIndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {m_format, D3DRTYPE_INDEXBUFFER, m_usage, Pool(), m_memory.Size()};
  return D3D_OK;
}

void CIndexBuffer9::ReleaseBackendObjects() { m_memory.ReleaseBackendObject(Backend()); }
