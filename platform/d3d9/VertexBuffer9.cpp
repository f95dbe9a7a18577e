#include "VertexBuffer9.h"

CVertexBuffer9::CVertexBuffer9(CDirect3DDevice9* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : TResource9(device, pool, D3DRTYPE_VERTEXBUFFER), m_memory(length), m_usage(usage), m_fvf(fvf) {}

HRESULT CVertexBuffer9::QueryInterface(REFIID riid, void** object) {
  return AnswerInterface(riid, object, {&IID_IDirect3DResource9, &IID_IDirect3DVertexBuffer9});
}

HRESULT CVertexBuffer9::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  return m_memory.Lock(offset, size, data, flags);
}

HRESULT CVertexBuffer9::Unlock() { return m_memory.Unlock(); }

HRESULT CVertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, m_usage, Pool(), m_memory.Size(), m_fvf};
  return D3D_OK;
}

void CVertexBuffer9::ReleaseBackendObjects() { m_memory.ReleaseBackendObject(Backend()); }
