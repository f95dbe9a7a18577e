#include "core/PageAllocator.h"

#include <new>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/ProfilerSample.h"

namespace {

const char kSource[] = "Allocator";
const char kInitTitle[] = "Error While Initializing";
const char kNoPagesText[] = "Can't Allocate Temporary Buffers";

// Times one operation with the "MemAllocator" sample, ending it on every way out.
class CSampleScope {
 public:
  explicit CSampleScope(CProfilerSample* sample) : m_sample(sample) {
    if (m_sample) m_sample->Begin();
  }
  ~CSampleScope() {
    if (m_sample) m_sample->End();
  }
  CSampleScope(const CSampleScope&) = delete;
  CSampleScope& operator=(const CSampleScope&) = delete;

 private:
  CProfilerSample* m_sample;
};

}  // namespace

CPageAllocator* CPageAllocator::Create(CEngineLog* log, uint32_t pageSize, uint32_t descriptorCount,
                                       CProfilerSample* sample) {
  CPageAllocator* allocator = NewOrFatal<CPageAllocator>(
      kInitTitle, kNoPagesText, log, pageSize ? pageSize : kDefaultPageSize,
      descriptorCount ? descriptorCount : kDefaultDescriptorCount, sample);
  if (!allocator->m_descriptors || !allocator->m_firstPage->HasMemory()) {
    delete allocator;
    return nullptr;
  }
  return allocator;
}

// The table's and the page's sizes are the settings': when they cannot be had, Create gives null
// and start-up reports it; the objects themselves are small.
CPageAllocator::CPageAllocator(CEngineLog* log, uint32_t pageSize, uint32_t descriptorCount,
                               CProfilerSample* sample)
    : m_log(log),
      m_descriptors(new (std::nothrow) BlockDescriptor[descriptorCount]()),
      m_descriptorCount(descriptorCount),
      m_sample(sample) {
  m_firstPage = NewOrFatal<CAllocatorPage>(kInitTitle, kNoPagesText, pageSize, m_descriptors,
                                           m_descriptorCount);
}

CPageAllocator::~CPageAllocator() {
  while (m_firstPage) {
    CAllocatorPage* next = m_firstPage->GetNext();
    delete m_firstPage;
    m_firstPage = next;
  }
  delete[] m_descriptors;
}

void* CPageAllocator::AllocateMemory(UINT size) {
  CSampleScope timing(m_sample);
  for (CAllocatorPage* page = m_firstPage; page; page = page->GetNext())
    if (void* block = page->Allocate(size)) return block;
  if (m_log)
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "WARNING!!! - Can't Allocate Memory Of Size: %u\n", size);
  return nullptr;
}

UINT CPageAllocator::DeleteMemory(void* pointer) {
  CSampleScope timing(m_sample);
  for (CAllocatorPage* page = m_firstPage; page; page = page->GetNext())
    if (page->Free(pointer)) return 1;
  if (m_log)
    m_log->Log(kSource, __LINE__, CEngineLog::kLevelError,
               "WARNING!!! - Can't Free The Memory At: %p\n", pointer);
  return 0;
}
