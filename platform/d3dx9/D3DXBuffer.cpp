#include "D3DXBuffer.h"

#include <new>

HRESULT CD3DXBuffer::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_ID3DXBuffer) {
    AddRef();
    *object = static_cast<ID3DXBuffer*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CD3DXBuffer::AddRef() { return ++m_references; }

ULONG CD3DXBuffer::Release() {
  ULONG left = --m_references;
  if (left == 0) delete this;
  return left;
}

LPVOID CD3DXBuffer::GetBufferPointer() { return m_bytes.data(); }

DWORD CD3DXBuffer::GetBufferSize() { return (DWORD)m_bytes.size(); }

HRESULT CD3DXBuffer::Create(std::vector<BYTE> bytes, LPD3DXBUFFER* buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (bytes.size() > 0xffffffffu) return E_OUTOFMEMORY;
  CD3DXBuffer* created = new (std::nothrow) CD3DXBuffer(std::move(bytes));
  if (!created) return E_OUTOFMEMORY;
  *buffer = created;
  return D3D_OK;
}

ZKAPI HRESULT D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* buffer) {
  try {
    return CD3DXBuffer::Create(std::vector<BYTE>(numBytes), buffer);
  } catch (const std::bad_alloc&) {
    if (buffer) *buffer = nullptr;
    return E_OUTOFMEMORY;
  }
}
