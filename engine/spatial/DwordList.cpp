#include "spatial/DwordList.h"

#include "core/FatalError.h"

#include <cmath>
#include <cstring>

UINT g_dwDwordLists = 0;
UINT g_dwDwordListBytes = 0;

namespace {
// What the byte counter charges for a list object, whatever the compiler makes of it.
constexpr UINT kListObjectBytes = 16;
}  // namespace

CDwordList::CDwordList() {
  ++g_dwDwordLists;
  g_dwDwordListBytes += kListObjectBytes;
}

CDwordList::~CDwordList() {
  g_dwDwordListBytes -= 4 * m_dwCapacity + kListObjectBytes;
  delete[] m_pEntries;
  m_pEntries = nullptr;
  m_dwCapacity = 0;
  m_dwCount = 0;
  --g_dwDwordLists;
}

bool CDwordList::Resize(UINT needed) {
  UINT capacity = m_dwCapacity == 0
                      ? 2
                      : static_cast<UINT>(std::nearbyint(m_dwCapacity * m_fGrowthFactor));
  if (capacity < m_dwCount + needed) capacity = m_dwCount + needed;
  UINT* entries =
      NewArrayOrFatal<UINT>(kNoMemoryTitle, "Can't Allocate Memory For Dword List", capacity);
  if (m_dwCount != 0) std::memcpy(entries, m_pEntries, m_dwCount * sizeof(UINT));
  g_dwDwordListBytes += 4 * capacity - 4 * m_dwCapacity;
  delete[] m_pEntries;
  m_pEntries = entries;
  m_dwCapacity = capacity;
  return true;
}

bool CDwordList::Add(UINT entry) {
  if (m_dwCount == m_dwCapacity && !Resize(1)) return false;
  m_pEntries[m_dwCount++] = entry;
  return true;
}
