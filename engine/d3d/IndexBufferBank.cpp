#include "d3d/IndexBufferBank.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/EngineLog.h"
#include "core/EngineSampleScope.h"
#include "core/FatalError.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"

namespace {

const char kSource[] = ".\\Sources\\D3DIndexBuffer9";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;
constexpr DWORD kDefaultPoolUsage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;

// Lower-cases `name` (null: empty) into `field`; false when it does not fit.
bool LowerName(char (&field)[CIndexBuffer::kNameLength], const char* name) {
  memset(field, 0, sizeof field);
  if (name == nullptr) return true;
  const size_t length = strnlen(name, sizeof field);
  if (length >= sizeof field) return false;
  for (size_t i = 0; i < length; ++i) field[i] = static_cast<char>(tolower(static_cast<unsigned char>(name[i])));
  return true;
}

uint64_t EndOf(const IndexAllocation* allocation) {
  return uint64_t{allocation->dwStart} + allocation->dwNumberOfIndices;
}

void CopyIndices(void* target, CIndexBuffer* buffer) {
  if (buffer->GetNumberOfIndices())
    memcpy(target, buffer->GetIndicesPointer(), sizeof(WORD) * buffer->GetNumberOfIndices());
}

// The allocation no longer lies on any buffer.
void ClearAllocation(IndexAllocation* allocation) {
  allocation->pBuffer = nullptr;
  allocation->pNext = allocation->pPrevious = nullptr;
  allocation->dwLastUsed = 0;
  allocation->dwResident = 0;
  allocation->dwOwnBuffer = 0;
}

template <class Object>
void ReleaseObject(Object*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

CIndexBufferBank::CIndexBufferBank(CEngineRenderer* renderer, CEngineLog* log, UINT mainSize)
    : m_pRenderer(renderer), m_pLog(log), m_dwMainSize(mainSize) {
  CreateDeviceBuffers();
}

CIndexBufferBank::~CIndexBufferBank() {
  for (CIndexBuffer*& entry : m_Entries) {
    if (entry && entry->GetAllocation().dwOwnBuffer) ReleaseObject(entry->GetAllocation().pBuffer);
    delete entry;
    entry = nullptr;
  }
  ReleaseObject(m_pMainBuffer);
  ReleaseObject(m_pDynamicBuffer);
}

IDirect3DDevice9* CIndexBufferBank::Device() const { return m_pRenderer ? m_pRenderer->GetDevice() : nullptr; }

void CIndexBufferBank::CreateDeviceBuffers() {
  IDirect3DDevice9* device = Device();
  if (!device) return;
  if (m_dwMainSize) {
    const HRESULT result =
        device->CreateIndexBuffer(m_dwMainSize, kDefaultPoolUsage, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &m_pMainBuffer, nullptr);
    if (FAILED(result)) {
      LogTo(m_pLog, kSource, kError, "Can't Create Main Index Buffer\n%s - %s", D3DResultName(result),
            D3DResultDescription(result));
      m_pMainBuffer = nullptr;
      m_dwMainSize = 0;
    }
  }
  const HRESULT result = device->CreateIndexBuffer(kDynamicIndices * sizeof(WORD), kDefaultPoolUsage, D3DFMT_INDEX16,
                                                   D3DPOOL_DEFAULT, &m_pDynamicBuffer, nullptr);
  if (FAILED(result))
    FatalErrorWithTitle("Error While Initializing Index Buffer Storage", "Can't Create Dynamic Buffer\n%s - %s",
                        D3DResultName(result), D3DResultDescription(result));
}

// ---------------------------------------------------------------------------------------------
// Find or create

CIndexBufferInterface* CIndexBufferBank::CreateIndexBuffer(const char* meshOwner, const char* surfaceOwner,
                                                           WORD* indices, UINT number, UINT unique, UINT dynamic) {
  char mesh[CIndexBuffer::kNameLength];
  char surface[CIndexBuffer::kNameLength];
  if (!LowerName(mesh, meshOwner) || !LowerName(surface, surfaceOwner)) {
    LogTo(m_pLog, kSource, kError, "ERROR!!! - Index Buffer Owner Name Too Long: %s - %s\n",
          meshOwner ? meshOwner : "", surfaceOwner ? surfaceOwner : "");
    return nullptr;
  }
  if (number && !indices) {
    LogTo(m_pLog, kSource, kError, "ERROR!!! - No Indices For Index Buffer: %s - %s\n", mesh, surface);
    return nullptr;
  }
  LogTo(m_pLog, kSource, kInfo, "- Creating Index Buffer For: %s - %s (Dynamic: %s)\n", mesh, surface,
        dynamic == 1 ? "TRUE" : "FALSE");
  UINT slot = m_dwCount;
  for (UINT i = 0; i < m_dwCount; ++i) {
    CIndexBuffer* entry = m_Entries[i];
    if (!entry) {
      if (slot == m_dwCount) slot = i;
      continue;
    }
    if (strcmp(entry->GetMeshOwner(), mesh) == 0 && entry->IsDynamic() == dynamic &&
        strcmp(entry->GetSurfaceOwner(), surface) == 0 && entry->Compare(indices, number, unique)) {
      LogTo(m_pLog, kSource, kInfo, "  - Already Exists\n");
      entry->AddReference();
      return entry;
    }
  }
  if (slot == kCapacity) FatalErrorWithTitle(kCreationTitle, "Not Enuff Index Buffer Entries");
  char failure[sizeof mesh + sizeof surface + 32];
  snprintf(failure, sizeof failure, "Can't Allocate: %s - %s\n", mesh, surface);
  CIndexBuffer* buffer =
      NewOrFatal<CIndexBuffer>(kCreationTitle, failure, this, m_pLog, mesh, surface, indices, number, unique, dynamic);
  m_Entries[slot] = buffer;
  if (slot == m_dwCount) ++m_dwCount;
  buffer->AddReference();
  if (!m_pMainBuffer && !dynamic) Upload(buffer);
  LogTo(m_pLog, kSource, kInfo, "  - Done\n");
  return buffer;
}

CIndexBufferInterface* CIndexBufferBank::GetIndexBuffer(UINT index) {
  return index < kCapacity ? m_Entries[index] : nullptr;
}

void CIndexBufferBank::Remove(CIndexBuffer* buffer) {
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Entries[i] == buffer) m_Entries[i] = nullptr;
  ReleaseAllocation(&buffer->GetAllocation());
  delete buffer;
}

// ---------------------------------------------------------------------------------------------
// Setting

void CIndexBufferBank::NewFrame(UINT frame) {
  m_dwPreviousFrame = m_dwCurrentFrame;
  m_dwCurrentFrame = frame;
}

UINT CIndexBufferBank::GetCurrentStartIndex() { return m_pCurrentAllocation ? m_pCurrentAllocation->dwStart : 0; }

void CIndexBufferBank::SendIndices(IDirect3DIndexBuffer9* buffer) {
  IDirect3DDevice9* device = Device();
  if (!device) return;
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  const HRESULT result = device->SetIndices(buffer);
  if (FAILED(result))
    LogTo(m_pLog, kSource, kError, "ERROR! - Can't Set Index Buffer: %s\n%s\n", D3DResultName(result),
          D3DResultDescription(result));
}

void CIndexBufferBank::SetIndices(IDirect3DIndexBuffer9* buffer) {
  m_pCurrentAllocation = nullptr;
  if (buffer == m_pCurrentBuffer) return;
  m_pCurrentBuffer = buffer;
  SendIndices(buffer);
}

void CIndexBufferBank::SetAllocation(IndexAllocation* allocation) {
  if (!allocation) {
    SetIndices(nullptr);
    return;
  }
  allocation->dwLastUsed = m_dwCurrentFrame;
  if (allocation == m_pCurrentAllocation) return;
  m_pCurrentAllocation = allocation;
  if (allocation->pBuffer == m_pCurrentBuffer) return;
  m_pCurrentBuffer = allocation->pBuffer;
  SendIndices(allocation->pBuffer);
}

// ---------------------------------------------------------------------------------------------
// Uploading

UINT CIndexBufferBank::Upload(CIndexBuffer* buffer) {
  if (!Device()) return 0;
  IndexAllocation& allocation = buffer->GetAllocation();
  // An allocation is never linked into the main buffer's list twice, nor leaks its own buffer.
  if (allocation.dwOwnBuffer || (m_pMainBuffer && allocation.pBuffer == m_pMainBuffer))
    ReleaseAllocation(&allocation);
  return m_pMainBuffer ? UploadToMainBuffer(buffer) : UploadToOwnBuffer(buffer);
}

UINT CIndexBufferBank::UploadToOwnBuffer(CIndexBuffer* buffer) {
  IndexAllocation& allocation = buffer->GetAllocation();
  const UINT number = buffer->GetNumberOfIndices();
  void* target = nullptr;
  if (buffer->IsDynamic()) {
    if (number > kDynamicIndices) {
      LogTo(m_pLog, kSource, kError,
            "WARNING!!! - Dynamic CIndexBuffer Is Too Large To Fit Into D3D Index Buffer: %s - %s\n",
            buffer->GetMeshOwner(), buffer->GetSurfaceOwner());
      allocation.pBuffer = nullptr;
      allocation.dwResident = 0;
      return 0;
    }
    if (!m_pDynamicBuffer)
      FatalErrorWithTitle(kCreationTitle, "Can't Create Index Buffer\n%s - %s\n", D3DResultName(D3DERR_INVALIDCALL),
                          D3DResultDescription(D3DERR_INVALIDCALL));
    const HRESULT locked = m_pDynamicBuffer->Lock(0, 0, &target, D3DLOCK_DISCARD);
    if (FAILED(locked))
      FatalErrorWithTitle(kCreationTitle, "Can't Lock\n%s - %s", D3DResultName(locked), D3DResultDescription(locked));
    allocation.pBuffer = m_pDynamicBuffer;
  } else if (number == 0) {
    // Nothing to hold: the device gets no index buffer for an empty list.
    ClearAllocation(&allocation);
    allocation.dwResident = 1;
    return 1;
  } else {
    CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration();
    const bool hardware = enumeration && enumeration->IsHardwareVertexProcessing();
    IDirect3DIndexBuffer9* own = nullptr;
    const HRESULT created =
        Device()->CreateIndexBuffer(number * sizeof(WORD), hardware ? D3DUSAGE_WRITEONLY : 0, D3DFMT_INDEX16,
                                    hardware ? D3DPOOL_MANAGED : D3DPOOL_SYSTEMMEM, &own, nullptr);
    if (FAILED(created))
      FatalErrorWithTitle(kCreationTitle, "Can't Create Index Buffer\n%s - %s\n", D3DResultName(created),
                          D3DResultDescription(created));
    const HRESULT locked = own->Lock(0, 0, &target, 0);
    if (FAILED(locked)) {
      own->Release();
      FatalErrorWithTitle(kCreationTitle, "Can't Lock\n%s - %s", D3DResultName(locked), D3DResultDescription(locked));
    }
    allocation.pBuffer = own;
    allocation.dwOwnBuffer = 1;
  }
  CopyIndices(target, buffer);
  allocation.pBuffer->Unlock();
  allocation.dwResident = 1;
  allocation.dwStart = 0;
  allocation.dwLastUsed = 0;
  allocation.pNext = allocation.pPrevious = nullptr;
  return 1;
}

UINT CIndexBufferBank::UploadToMainBuffer(CIndexBuffer* buffer) {
  IndexAllocation& allocation = buffer->GetAllocation();
  const UINT number = buffer->GetNumberOfIndices();
  const uint64_t bytes = uint64_t{number} * sizeof(WORD);
  if (bytes > m_dwMainSize) {
    LogTo(m_pLog, kSource, kError, "ERROR!!! - The Index Buffer Is Not Large Enough (%i - %i)\n",
          static_cast<int>(bytes), static_cast<int>(m_dwMainSize));
    return 0;
  }
  const bool whole = !PlaceInMainBuffer(&allocation, number);
  allocation.pBuffer = m_pMainBuffer;
  void* target = nullptr;
  const HRESULT locked =
      whole ? m_pMainBuffer->Lock(0, 0, &target, D3DLOCK_DISCARD)
            : m_pMainBuffer->Lock(allocation.dwStart * sizeof(WORD), number * sizeof(WORD), &target, D3DLOCK_NOOVERWRITE);
  if (FAILED(locked)) {
    LogTo(m_pLog, kSource, kError, "ERROR!!! - Can't Lock The Index Buffer For Updaing\n");
    // The range was linked for indices that never arrived: it goes again.
    Unlink(&allocation);
    ClearAllocation(&allocation);
    allocation.dwStart = 0;
    return 0;
  }
  CopyIndices(target, buffer);
  m_pMainBuffer->Unlock();
  allocation.dwResident = 1;
  return 1;
}

bool CIndexBufferBank::PlaceInMainBuffer(IndexAllocation* allocation, UINT number) {
  allocation->pNext = allocation->pPrevious = nullptr;
  if (!m_pFirstAllocation) {
    allocation->dwStart = 0;
    m_pFirstAllocation = allocation;
    return false;
  }
  // The first gap between two ranges that holds the list.
  IndexAllocation* last = m_pFirstAllocation;
  for (; last->pNext; last = last->pNext) {
    if (uint64_t{last->pNext->dwStart} >= EndOf(last) + number) {
      allocation->dwStart = static_cast<UINT>(EndOf(last));
      LinkAfter(last, allocation);
      return true;
    }
  }
  if (EndOf(last) + number <= m_dwMainSize / sizeof(WORD)) {
    allocation->dwStart = static_cast<UINT>(EndOf(last));
    LinkAfter(last, allocation);
    return true;
  }
  // A stale range (or two stale neighbours) that holds it; the last range is never taken here.
  for (IndexAllocation* range = m_pFirstAllocation; range && range->pNext; range = range->pNext) {
    if (!IsStale(range)) continue;
    IndexAllocation* next = range->pNext;
    const bool alone = range->dwNumberOfIndices >= number;
    if (!alone && !(IsStale(next) && EndOf(next) - range->dwStart >= number)) continue;
    IndexAllocation* previous = range->pPrevious;
    const UINT start = range->dwStart;
    ReleaseAllocation(range);
    if (!alone) ReleaseAllocation(next);
    allocation->dwStart = start;
    LinkAfter(previous, allocation);
    return true;
  }
  ForgetAllRanges();
  allocation->dwStart = 0;
  m_pFirstAllocation = allocation;
  return false;
}

void CIndexBufferBank::LinkAfter(IndexAllocation* previous, IndexAllocation* allocation) {
  allocation->pPrevious = previous;
  allocation->pNext = previous ? previous->pNext : m_pFirstAllocation;
  if (allocation->pNext) allocation->pNext->pPrevious = allocation;
  if (previous)
    previous->pNext = allocation;
  else
    m_pFirstAllocation = allocation;
}

void CIndexBufferBank::Unlink(IndexAllocation* allocation) {
  if (allocation->pPrevious)
    allocation->pPrevious->pNext = allocation->pNext;
  else if (m_pFirstAllocation == allocation)
    m_pFirstAllocation = allocation->pNext;
  if (allocation->pNext) allocation->pNext->pPrevious = allocation->pPrevious;
  allocation->pNext = allocation->pPrevious = nullptr;
}

void CIndexBufferBank::ForgetAllRanges() {
  for (IndexAllocation* range = m_pFirstAllocation; range;) {
    IndexAllocation* next = range->pNext;
    if (range == m_pCurrentAllocation) m_pCurrentAllocation = nullptr;
    ClearAllocation(range);
    range = next;
  }
  m_pFirstAllocation = nullptr;
}

void CIndexBufferBank::ReleaseAllocation(IndexAllocation* allocation) {
  if (allocation == m_pCurrentAllocation) m_pCurrentAllocation = nullptr;
  if (m_pMainBuffer && allocation->pBuffer == m_pMainBuffer) {
    Unlink(allocation);
    ClearAllocation(allocation);
    return;
  }
  SetIndices(nullptr);
  if (allocation->dwOwnBuffer) ReleaseObject(allocation->pBuffer);
  ClearAllocation(allocation);
}

// ---------------------------------------------------------------------------------------------
// The device's life

void CIndexBufferBank::ForgetAllocationsOn(IDirect3DIndexBuffer9* buffer) {
  if (!buffer) return;
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Entries[i] && m_Entries[i]->GetAllocation().pBuffer == buffer) ClearAllocation(&m_Entries[i]->GetAllocation());
}

void CIndexBufferBank::OnDeviceLost() {
  SetIndices(nullptr);
  ForgetAllocationsOn(m_pMainBuffer);
  ForgetAllocationsOn(m_pDynamicBuffer);
  m_pFirstAllocation = nullptr;
  ReleaseObject(m_pDynamicBuffer);
  ReleaseObject(m_pMainBuffer);
}

void CIndexBufferBank::OnDeviceReset() { CreateDeviceBuffers(); }

void CIndexBufferBank::ReleaseDeviceObjects() {
  SetIndices(nullptr);
  for (UINT i = 0; i < m_dwCount; ++i) {
    if (!m_Entries[i]) continue;
    IndexAllocation& allocation = m_Entries[i]->GetAllocation();
    if (allocation.dwOwnBuffer) ReleaseObject(allocation.pBuffer);
    ClearAllocation(&allocation);
  }
  m_pFirstAllocation = nullptr;
  ReleaseObject(m_pDynamicBuffer);
  ReleaseObject(m_pMainBuffer);
}
