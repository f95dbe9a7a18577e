#include "d3d/StateStack.h"

#include <cstring>

#include "ZKDXInterface.h"

CStateStack::PushResult CStateStack::Push(ZKAllocatorInterface* allocator, const void* data, UINT size) {
  if (m_dwDepth == kDepth) return kFull;
  void* block = allocator ? allocator->AllocateMemory(size) : nullptr;
  if (!block) return kNoMemory;
  memcpy(block, data, size);
  m_pBlocks[m_dwDepth++] = block;
  return kPushed;
}

bool CStateStack::Pop(ZKAllocatorInterface* allocator, void* out, UINT size) {
  if (m_dwDepth == 0) return false;
  void* block = m_pBlocks[--m_dwDepth];
  m_pBlocks[m_dwDepth] = nullptr;
  memcpy(out, block, size);
  allocator->DeleteMemory(block);
  return true;
}

void CStateStack::Release(ZKAllocatorInterface* allocator) {
  while (m_dwDepth > 0) {
    allocator->DeleteMemory(m_pBlocks[--m_dwDepth]);
    m_pBlocks[m_dwDepth] = nullptr;
  }
}
