#include "core/AllocatorPage.h"

#include <new>

// The size is the settings': without that much memory the page has none (HasMemory), which the
// allocator reports, rather than ending here.
CAllocatorPage::CAllocatorPage(uint32_t size, BlockDescriptor* descriptors,
                               uint32_t descriptorCount)
    : m_memory(new (std::nothrow) uint8_t[size]),
      m_size(size),
      m_descriptors(descriptors),
      m_descriptorCount(descriptorCount) {}

CAllocatorPage::~CAllocatorPage() { delete[] m_memory; }

BlockDescriptor* CAllocatorPage::TakeDescriptor() {
  for (uint32_t i = 0; i < m_descriptorCount; ++i) {
    if (m_descriptors[i].dwInUse) continue;
    m_descriptors[i] = BlockDescriptor{0, 0, 1, nullptr};
    return &m_descriptors[i];
  }
  return nullptr;
}

void* CAllocatorPage::Allocate(uint32_t size) {
  // Refused before rounding, so that a size near 2^32 cannot wrap to a small block.
  if (!m_memory || size > m_size) return nullptr;
  // The next multiple of 16 above the size: a multiple of 16 grows by a whole 16.
  uint64_t rounded = uint64_t{size} + kGranularity - size % kGranularity;
  if (rounded > m_size) return nullptr;

  // Where the new block goes: behind `before` (null: at the front, offset 0).
  BlockDescriptor* before = nullptr;
  if (m_firstBlock && m_firstBlock->dwOffset < rounded) {
    before = m_firstBlock;
    for (;;) {
      uint64_t end = uint64_t{before->dwOffset} + before->dwSize;
      uint64_t limit = before->pNext ? before->pNext->dwOffset : m_size;
      if (limit - end >= rounded) break;
      if (!before->pNext) return nullptr;
      before = before->pNext;
    }
  }

  BlockDescriptor* block = TakeDescriptor();
  if (!block) return nullptr;
  block->dwSize = static_cast<uint32_t>(rounded);
  if (before) {
    block->dwOffset = before->dwOffset + before->dwSize;
    block->pNext = before->pNext;
    before->pNext = block;
  } else {
    block->dwOffset = 0;
    block->pNext = m_firstBlock;
    m_firstBlock = block;
  }
  return m_memory + block->dwOffset;
}

bool CAllocatorPage::Free(const void* pointer) {
  const uint8_t* address = static_cast<const uint8_t*>(pointer);
  if (!m_memory || address < m_memory || address >= m_memory + m_size) return false;
  uint32_t offset = static_cast<uint32_t>(address - m_memory);
  BlockDescriptor** link = &m_firstBlock;
  for (BlockDescriptor* block = m_firstBlock; block; link = &block->pNext, block = block->pNext) {
    if (block->dwOffset != offset) continue;
    *link = block->pNext;
    block->dwInUse = 0;
    block->pNext = nullptr;
    return true;
  }
  return false;
}
