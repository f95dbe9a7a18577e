#pragma once
// The engine's allocator for short-lived large blocks: one page taken at start-up, carved
// first-fit, with a fixed table of block descriptors, so that no heap call happens after
// construction. The zlib archive takes its member buffers from it; scripts reach it through
// the top interface.
#include <cstdint>

#include "ZKDXInterface.h"
#include "core/AllocatorPage.h"

class CEngineLog;
class CProfilerSample;

class CPageAllocator final : public ZKAllocatorInterface {
 public:
  static constexpr uint32_t kDefaultPageSize = 10485760;
  static constexpr uint32_t kDefaultDescriptorCount = 4096;

  // A page size or descriptor count of 0 takes the default. `sample` ("MemAllocator") times
  // both operations when given. Returns null when the page or the table cannot be allocated.
  static CPageAllocator* Create(CEngineLog* log, uint32_t pageSize, uint32_t descriptorCount,
                                CProfilerSample* sample);
  ~CPageAllocator();
  CPageAllocator(const CPageAllocator&) = delete;
  CPageAllocator& operator=(const CPageAllocator&) = delete;

  // A block of at least `size` bytes, or null (logged).
  void* AllocateMemory(UINT size) override;
  // 1 when `pointer` was the start of a block in use, else 0 (logged).
  UINT DeleteMemory(void* pointer) override;

 private:
  // Made only by Create, through the one allocation helper.
  template <typename T, typename... Args>
  friend T* NewNamedOrFatal(const char* title, const char* format, const char* name, Args&&... args);
  CPageAllocator(CEngineLog* log, uint32_t pageSize, uint32_t descriptorCount,
                 CProfilerSample* sample);

  CEngineLog* m_log;
  CAllocatorPage* m_firstPage = nullptr;
  BlockDescriptor* m_descriptors;
  uint32_t m_descriptorCount;
  CProfilerSample* m_sample;
};
