#pragma once
// The memory of a vertex or index buffer with Direct3D's lock rules, and the range the back end
// has not seen yet.
#include <cstdint>
#include <vector>

#include "d3d9.h"

class IRenderBackend;

class CBufferMemory {
 public:
  explicit CBufferMemory(UINT size);
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
  HRESULT Unlock();
  UINT Size() const { return static_cast<UINT>(m_bytes.size()); }
  const BYTE* Data() const { return m_bytes.data(); }
  bool IsLocked() const { return m_lockCount > 0; }
  // Creates the back end's buffer when needed and sends it the changed range.
  uintptr_t Upload(IRenderBackend& backend);
  void ReleaseBackendObject(IRenderBackend& backend);

 private:
  std::vector<BYTE> m_bytes;
  UINT m_lockCount = 0;
  UINT m_dirtyBegin = 0;
  UINT m_dirtyEnd = 0;
  uintptr_t m_handle = 0;
};
