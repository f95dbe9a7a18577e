#include "BufferMemory.h"

#include <algorithm>

#include "RenderBackend.h"

CBufferMemory::CBufferMemory(UINT size) : m_bytes(size), m_dirtyBegin(0), m_dirtyEnd(size) {}

HRESULT CBufferMemory::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (!data) return D3DERR_INVALIDCALL;
  *data = nullptr;
  const UINT total = Size();
  if (offset > total) return D3DERR_INVALIDCALL;
  // A size of 0 locks from the offset to the end of the buffer.
  if (size == 0) size = total - offset;
  if (size > total - offset) return D3DERR_INVALIDCALL;
  if (!(flags & D3DLOCK_READONLY)) {
    // Only the locked range goes to the back end again, also after a discard: what lies
    // outside it is undefined for the caller, so the old bytes serve as well as any.
    const UINT begin = offset;
    const UINT end = offset + size;
    if (m_dirtyBegin >= m_dirtyEnd) {
      m_dirtyBegin = begin;
      m_dirtyEnd = end;
    } else {
      m_dirtyBegin = std::min(m_dirtyBegin, begin);
      m_dirtyEnd = std::max(m_dirtyEnd, end);
    }
  }
  ++m_lockCount;
  *data = m_bytes.data() + offset;
  return D3D_OK;
}

HRESULT CBufferMemory::Unlock() {
  if (m_lockCount == 0) return D3DERR_INVALIDCALL;
  --m_lockCount;
  return D3D_OK;
}

uintptr_t CBufferMemory::Upload(IRenderBackend& backend) {
  if (m_bytes.empty()) return 0;
  if (m_handle == 0) {
    m_handle = backend.CreateBuffer(Size());
    m_dirtyBegin = 0;
    m_dirtyEnd = Size();
  }
  if (m_dirtyBegin < m_dirtyEnd) {
    backend.UploadBuffer(m_handle, m_dirtyBegin, m_dirtyEnd - m_dirtyBegin, m_bytes.data() + m_dirtyBegin);
    m_dirtyBegin = m_dirtyEnd = 0;
  }
  return m_handle;
}

void CBufferMemory::ReleaseBackendObject(IRenderBackend& backend) {
  if (m_handle) backend.DestroyBuffer(m_handle);
  m_handle = 0;
  m_dirtyBegin = 0;
  m_dirtyEnd = Size();
}
