// Global and local memory blocks. Every handle is checked against the blocks handed out, so a
// wrong or doubly freed handle is an error instead of heap corruption.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "LastError.h"

namespace {

struct Block {
  void* data;
  SIZE_T size;
  DWORD locks;
};

std::mutex g_mutex;
std::unordered_map<uintptr_t, Block> g_blocks;       // by handle
std::unordered_map<uintptr_t, uintptr_t> g_handles;  // handle by address
// Moveable handles end in 8, so they never equal an address that malloc returns (16-aligned).
uintptr_t g_nextMoveable = 0x10008;

uintptr_t Key(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

}  // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  // Sharing and discarding hints mean nothing to a heap block.
  constexpr UINT kKnownFlags = GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_NOCOMPACT | GMEM_NODISCARD |
                               GMEM_DISCARDABLE | GMEM_SHARE;
  if (uFlags & ~kKnownFlags) {
    FailWith(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* data = (uFlags & GMEM_ZEROINIT) ? std::calloc(1, dwBytes ? dwBytes : 1)
                                        : std::malloc(dwBytes ? dwBytes : 1);
  if (!data) {
    FailWith(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(g_mutex);
  uintptr_t handle = Key(data);
  if (uFlags & GMEM_MOVEABLE) {
    handle = g_nextMoveable;
    g_nextMoveable += 16;
  }
  g_blocks[handle] = Block{data, dwBytes, 0};
  g_handles[Key(data)] = handle;
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL hMem) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_blocks.find(Key(hMem));
  if (found == g_blocks.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (found->first != Key(found->second.data)) ++found->second.locks;  // fixed blocks stay at 0
  return found->second.data;
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_blocks.find(Key(hMem));
  if (found == g_blocks.end()) return FailWith(ERROR_INVALID_HANDLE);
  if (found->second.locks == 0) return FailWith(ERROR_NOT_LOCKED);
  --found->second.locks;
  if (found->second.locks == 0) return FailWith(ERROR_SUCCESS);
  return TRUE;
}

HGLOBAL GlobalHandle(LPCVOID pMem) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_handles.find(Key(pMem));
  if (found == g_handles.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(found->second);
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto found = g_blocks.find(Key(hMem));
  if (found == g_blocks.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->second.size;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  void* data = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_blocks.find(Key(hMem));
    if (found == g_blocks.end()) {
      FailWith(ERROR_INVALID_HANDLE);
      return hMem;
    }
    data = found->second.data;
    g_handles.erase(Key(data));
    g_blocks.erase(found);
  }
  std::free(data);
  return nullptr;
}

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) { return GlobalAlloc(uFlags, uBytes); }

HLOCAL LocalFree(HLOCAL hMem) { return GlobalFree(hMem); }
