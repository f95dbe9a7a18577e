#include "d3d/IndexBuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/CopyName.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/IndexBufferBank.h"

namespace {

const char kSource[] = ".\\Sources\\D3DIndexBuffer9";

const char* TrueOrFalse(UINT flag) { return flag == 1 ? "TRUE" : "FALSE"; }

// The owners' index array, or the end of the process.
WORD* NewIndices(UINT number, const char* meshOwner, const char* surfaceOwner) {
  char text[2 * CIndexBuffer::kNameLength + 32];
  snprintf(text, sizeof text, "Can't Allocate: %s - %s\n", meshOwner, surfaceOwner);
  return NewArrayOrFatal<WORD>(CIndexBufferBank::kCreationTitle, text, number);
}

}  // namespace

CIndexBuffer::CIndexBuffer(CIndexBufferBank* bank, CEngineLog* log, const char* meshOwner, const char* surfaceOwner,
                           const WORD* indices, UINT number, UINT unique, UINT dynamic)
    : m_pBank(bank), m_pLog(log), m_dwUnique(unique), m_dwDynamic(dynamic) {
  CopyName(m_szMeshOwner, meshOwner);
  CopyName(m_szSurfaceOwner, surfaceOwner);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "    - Creating Index Buffer For: %s - %s - Dynamic: %s - Number Of Indices: %i\n", m_szMeshOwner,
        m_szSurfaceOwner, TrueOrFalse(dynamic), static_cast<int>(number));
  m_pIndices.reset(NewIndices(number, m_szMeshOwner, m_szSurfaceOwner));
  if (number) memcpy(m_pIndices.get(), indices, sizeof(WORD) * number);
  m_dwCapacity = m_dwNumberOfIndices = number;
  m_Allocation.dwNumberOfIndices = number;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Copying Data To The Index Buffer\n");
}

WORD* CIndexBuffer::SetIndicesSource(WORD* indices, UINT number) {
  if (m_dwReferences != 1)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - You Are Trying to Change Index Data For A Index Buffer Referenced More Than Once: %s - "
          "%s\n",
          m_szMeshOwner, m_szSurfaceOwner);
  m_pBank->ReleaseAllocation(&m_Allocation);
  if (number > m_dwCapacity) {
    m_pIndices.reset(NewIndices(number, m_szMeshOwner, m_szSurfaceOwner));
    m_dwCapacity = number;
  } else {
    std::fill_n(m_pIndices.get(), m_dwCapacity, WORD{0});
  }
  if (number) memcpy(m_pIndices.get(), indices, sizeof(WORD) * number);
  m_dwNumberOfIndices = m_Allocation.dwNumberOfIndices = number;
  return m_pIndices.get();
}

UINT CIndexBuffer::Set() {
  if (m_Allocation.dwResident && !m_dwDynamic) {
    m_pBank->SetAllocation(&m_Allocation);
    return 1;
  }
  m_Allocation.dwNumberOfIndices = m_dwNumberOfIndices;
  m_pBank->Upload(this);
  m_pBank->SetAllocation(&m_Allocation);
  return 1;
}

UINT CIndexBuffer::Compare(WORD* indices, UINT number, UINT unique) {
  if (unique == 1 || m_dwUnique == 1 || number != m_dwNumberOfIndices) return 0;
  if (number == 0) return 1;
  return indices != nullptr && std::equal(indices, indices + number, m_pIndices.get()) ? 1 : 0;
}

void CIndexBuffer::Release() {
  if (m_dwReferences > 0) --m_dwReferences;
  if (m_dwReferences == 0) m_pBank->Remove(this);
}
