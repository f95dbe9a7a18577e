#include "spatial/EdgeList.h"

#include <algorithm>
#include <cstring>

#include "core/EngineLog.h"

namespace {
constexpr const char* kSource = "sv";
}

CEdgeList::CEdgeList(CEngineLog* log, UINT mostEdges)
    : m_pLog(log), m_dwSlots(std::clamp(mostEdges, 1u, kCapacity - 1)), m_pEdges(new Edge[m_dwSlots]) {
  // Unused slots read as "no owner, no face" everywhere: every byte 0xFF.
  std::memset(static_cast<void*>(m_pEdges.get()), 0xFF, sizeof(Edge) * m_dwSlots);
  m_Index.reserve(1024);
}

int CEdgeList::FindOrAddEdge(WORD a, WORD b) {
  const WORD lo = std::min(a, b), hi = std::max(a, b);
  const UINT key = (static_cast<UINT>(lo) << 16) | hi;
  if (auto found = m_Index.find(key); found != m_Index.end())
    return static_cast<int>(found->second);
  if (m_dwCount + 1 >= kCapacity || m_dwCount >= m_dwSlots) {
    if (m_pLog != nullptr)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "!!!Not Enuff Entries In Edges Buffer\n");
    return -1;
  }
  Edge& edge = m_pEdges[m_dwCount];
  edge.wIndex1 = lo;
  edge.wIndex2 = hi;
  edge.pOwner1 = nullptr;
  edge.pOwner2 = nullptr;
  m_Index.emplace(key, m_dwCount);
  return static_cast<int>(m_dwCount++);
}

UINT CEdgeList::AddOwner(UINT index, Face* face, WORD faceNumber) {
  Edge& edge = m_pEdges[index];
  if (edge.pOwner1 == nullptr) {
    edge.pOwner1 = face;
    edge.wFace1 = faceNumber;
  } else if (edge.pOwner2 == nullptr) {
    edge.pOwner2 = face;
    edge.wFace2 = faceNumber;
  } else {
    edge.dwOvershared = 1;
    return 0;
  }
  edge.dwOvershared = 0;
  return 1;
}
