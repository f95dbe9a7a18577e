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

struct Blocks {
  std::mutex mutex;
  std::unordered_map<uintptr_t, Block> byHandle;
  std::unordered_map<uintptr_t, uintptr_t> handleOf;  // by address
  // Moveable handles end in 8, so they never equal an address that malloc returns (16-aligned).
  uintptr_t nextMoveable = 0x10008;
};

// Lives as long as the process: a sound callback thread may still free blocks while the
// program's statics are being destroyed.
Blocks& State() {
  static Blocks* blocks = new Blocks;
  return *blocks;
}

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
  Blocks& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  uintptr_t handle = Key(data);
  if (uFlags & GMEM_MOVEABLE) {
    handle = state.nextMoveable;
    state.nextMoveable += 16;
  }
  state.byHandle[handle] = Block{data, dwBytes, 0};
  state.handleOf[Key(data)] = handle;
  return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL hMem) {
  Blocks& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.byHandle.find(Key(hMem));
  if (found == state.byHandle.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (found->first != Key(found->second.data)) ++found->second.locks;  // fixed blocks stay at 0
  return found->second.data;
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  Blocks& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.byHandle.find(Key(hMem));
  if (found == state.byHandle.end()) return FailWith(ERROR_INVALID_HANDLE);
  if (found->second.locks == 0) return FailWith(ERROR_NOT_LOCKED);
  --found->second.locks;
  if (found->second.locks == 0) return FailWith(ERROR_SUCCESS);
  return TRUE;
}

HGLOBAL GlobalHandle(LPCVOID pMem) {
  Blocks& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.handleOf.find(Key(pMem));
  if (found == state.handleOf.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<HGLOBAL>(found->second);
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  Blocks& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  auto found = state.byHandle.find(Key(hMem));
  if (found == state.byHandle.end()) {
    FailWith(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->second.size;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  if (!hMem) return nullptr;
  void* data = nullptr;
  {
    Blocks& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto found = state.byHandle.find(Key(hMem));
    if (found == state.byHandle.end()) {
      FailWith(ERROR_INVALID_HANDLE);
      return hMem;
    }
    data = found->second.data;
    state.handleOf.erase(Key(data));
    state.byHandle.erase(found);
  }
  std::free(data);
  return nullptr;
}

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) { return GlobalAlloc(uFlags, uBytes); }

HLOCAL LocalFree(HLOCAL hMem) { return GlobalFree(hMem); }
