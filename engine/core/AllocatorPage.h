#pragma once
// One page of the page allocator: a block of memory taken once and carved into blocks first-fit.
// The blocks in use form a list in address order, each described by a descriptor taken from the
// allocator's fixed table.
#include <cstdint>

struct BlockDescriptor {
  uint32_t dwOffset;       // of the block in its page
  uint32_t dwSize;         // in bytes, a multiple of 16
  uint32_t dwInUse;        // 1 while the block is used; a descriptor with 0 is free
  BlockDescriptor* pNext;  // next block of the page, in address order
};

class CAllocatorPage {
 public:
  // Blocks are whole multiples of this, which also keeps every block aligned to it.
  static constexpr uint32_t kGranularity = 16;

  CAllocatorPage(uint32_t size, BlockDescriptor* descriptors, uint32_t descriptorCount);
  ~CAllocatorPage();
  CAllocatorPage(const CAllocatorPage&) = delete;
  CAllocatorPage& operator=(const CAllocatorPage&) = delete;

  bool HasMemory() const { return m_memory != nullptr; }
  // A block of at least `size` bytes, or null when no gap is large enough or no descriptor is
  // free.
  void* Allocate(uint32_t size);
  // Frees the block that starts at `pointer`; false when no block of this page starts there.
  bool Free(const void* pointer);

  CAllocatorPage* GetNext() const { return m_next; }
  void SetNext(CAllocatorPage* page) { m_next = page; }

 private:
  BlockDescriptor* TakeDescriptor();

  uint8_t* m_memory;
  uint32_t m_size;
  BlockDescriptor* m_firstBlock = nullptr;
  CAllocatorPage* m_next = nullptr;
  // The allocator's table, shared by its pages.
  BlockDescriptor* m_descriptors;
  uint32_t m_descriptorCount;
};
