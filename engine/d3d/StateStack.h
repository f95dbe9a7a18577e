#pragma once
// One of the renderer's state stacks: up to four saved copies of a block of cached state, each
// in a block of the engine allocator, so that a nested shader program can be undone.
#include "windef.h"

class ZKAllocatorInterface;

class CStateStack {
 public:
  static constexpr UINT kDepth = 4;
  enum PushResult { kPushed, kFull, kNoMemory };

  CStateStack() = default;
  CStateStack(const CStateStack&) = delete;
  CStateStack& operator=(const CStateStack&) = delete;

  // Saves a copy of `size` bytes; the stack is unchanged unless kPushed. A null allocator is
  // out of memory.
  PushResult Push(ZKAllocatorInterface* allocator, const void* data, UINT size);
  // Copies the newest copy into `out` and gives its block back; false when the stack is empty.
  bool Pop(ZKAllocatorInterface* allocator, void* out, UINT size);
  // Gives every block back.
  void Release(ZKAllocatorInterface* allocator);
  UINT GetDepth() const { return m_dwDepth; }

 private:
  void* m_pBlocks[kDepth] = {};
  UINT m_dwDepth = 0;
};
