#include "d3d/VertexBufferBank.h"

#include <cctype>
#include <cstdio>
#include <functional>
#include <new>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/EngineSampleScope.h"
#include "core/FatalError.h"
#include "core/Profiler.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexBuffer.h"
#include "d3d/VertexElementWriter.h"
#include "d3d/VertexStream.h"
#include "d3d/VertexStreamSet.h"

namespace {

const char kSource[] = "D3DVertexBuffer";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;
constexpr DWORD kDynamicUsage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
// The format the main buffer is made again with after a reset; it is always drawn through
// declarations.
constexpr DWORD kResetMainFormat = 0x65;

}  // namespace

CVertexBufferBank::CVertexBufferBank(CVertexDeclarationBankInterface* declarations,
                                     CEngineRenderer* renderer, CEngineLog* log, UINT mainSize)
    : m_pRenderer(renderer), m_pLog(log), m_pDeclarations(declarations), m_dwMainSize(mainSize) {
  CreateDeviceBuffers(0);
}

CVertexBufferBank::~CVertexBufferBank() {
  ReleaseDeviceObjects();
  // Meshes the game still holds give their buffers back later, after the bank is gone.
  for (CVertexBuffer*& buffer : m_Buffers) {
    if (buffer) buffer->Detach();
    buffer = nullptr;
  }
}

void CVertexBufferBank::CreateDeviceBuffers(DWORD mainFormat) {
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (m_dwMainSize > 0) {
    const HRESULT result =
        device ? device->CreateVertexBuffer(m_dwMainSize, kDynamicUsage, mainFormat,
                                            D3DPOOL_DEFAULT, &m_pMainBuffer, nullptr)
               : D3DERR_INVALIDCALL;
    if (FAILED(result)) {
      LogD3D(m_pLog, kSource, __LINE__, kError,
             "ERROR!!! - Can't Create The Main Vertex Buffer Of %u Bytes, Going On Without It: %s "
             "- %s\n",
             m_dwMainSize, D3DResultName(result), D3DResultDescription(result));
      m_pMainBuffer = nullptr;
      m_dwMainSize = 0;
    }
  }
  const HRESULT result =
      device ? device->CreateVertexBuffer(kDynamicBufferSize, kDynamicUsage, 0, D3DPOOL_DEFAULT,
                                          &m_pDynamicBuffer, nullptr)
             : D3DERR_INVALIDCALL;
  if (FAILED(result))
    FatalErrorWithTitle("Error When Creating Vertex Buffer Bank",
                        "Can't Create Dynamic Vertex Buffer\n%s - %s", D3DResultName(result),
                        D3DResultDescription(result));
}

CVertexBufferInterface* CVertexBufferBank::CreateVertexBuffer(Vertex* vertices,
                                                              Vertex* secondVertices, UINT count,
                                                              const char* name, UINT kind,
                                                              UINT dynamic) {
  char lowered[CVertexBuffer::kNameLength];
  snprintf(lowered, sizeof lowered, "%s", name ? name : "");
  for (char* c = lowered; *c; ++c)
    *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Vertex Buffer For %s...\n", lowered);
  if (count && !vertices) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - No Vertices For The Vertex Buffer Of %s\n", lowered);
    return nullptr;
  }
  // Dynamic buffers change their data, so they are never shared, nor given to a static request.
  if (dynamic == 0)
    for (UINT i = 0; i < m_dwUsed; ++i) {
      CVertexBuffer* buffer = m_Buffers[i];
      if (!buffer) continue;
      LogD3D(m_pLog, kSource, __LINE__, kInfo, "- %s - %i\n", buffer->GetName(),
             static_cast<int>(buffer->GetReferenceCount()));
      if (buffer->IsDynamic() == 0 && buffer->IsIdentical(lowered, kind, vertices, count)) {
        LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Already Exists\n");
        buffer->AddReference();
        return buffer;
      }
    }
  UINT slot = 0;
  while (slot < m_dwUsed && m_Buffers[slot]) ++slot;
  // At most 511 buffers live side by side.
  if (slot == m_dwUsed && m_dwUsed + 1 >= kMaxBuffers)
    FatalErrorWithTitle("Error When Creating Vertex Buffer",
                        "Not Enough Vertex Buffer Entries (%i)\n", static_cast<int>(kMaxBuffers));
  auto* buffer = new (std::nothrow) CVertexBuffer(m_pDeclarations, this, m_pLog, vertices,
                                                  secondVertices, count, lowered, kind, dynamic);
  if (!buffer)
    FatalErrorWithTitle("Error While Creating VB", "Can't Allocate Memory For Vertex Buffer: %s",
                        lowered);
  if (slot == m_dwUsed) ++m_dwUsed;
  m_Buffers[slot] = buffer;
  buffer->AddReference();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Done\n");
  return buffer;
}

void CVertexBufferBank::RemoveBuffer(CVertexBuffer* buffer) {
  for (UINT i = 0; i < m_dwUsed; ++i)
    if (m_Buffers[i] == buffer) m_Buffers[i] = nullptr;
  if (m_pCurrentBuffer == buffer) ForgetStreamSet(buffer);
}

UINT CVertexBufferBank::GetNumberOfBuffers() const {
  UINT live = 0;
  for (UINT i = 0; i < m_dwUsed; ++i) live += m_Buffers[i] != nullptr;
  return live;
}

void CVertexBufferBank::ForgetStreamSet(CVertexBuffer* buffer) {
  if (buffer != m_pCurrentBuffer) return;
  m_pCurrentBuffer = nullptr;
  m_pCurrentSet = nullptr;
}

void CVertexBufferBank::SetFrameNumber(UINT frame) {
  m_dwPreviousFrame = m_dwFrame;
  m_dwFrame = frame;
}

UINT CVertexBufferBank::GetCurrentNumberOfVertices() {
  return m_pCurrentBuffer ? m_pCurrentBuffer->GetNumberOfVertices() : m_dwRawVertexCount;
}

void CVertexBufferBank::SetStreamSources(CVertexBuffer* buffer, CVertexStreamSet* set) {
  if (set == m_pCurrentSet) return;
  m_pCurrentSet = set;
  m_pCurrentBuffer = buffer;
  m_dwRawVertexCount = 0;
  m_dwDynamicUsed = 0;
  bool restarted = false;
  for (UINT s = 0; s < set->dwNumberOfStreams; ++s) {
    CVertexStream* record = set->pStreams[s];
    if (!record) continue;
    if (!record->dwLoaded || record->dwDynamic) {
      record->dwVertexCount = buffer->GetNumberOfVertices();
      record->dwLoaded = 0;
      const UINT evictions = m_dwEvictions;
      if (!FillTheBuffer(buffer, set, s)) {
        LogD3D(m_pLog, kSource, __LINE__, kError,
               "ERROR!!! - Can't Set A Vertex Buffers - FillTheBuffer Has Returned An Error\n");
        continue;
      }
      // Making room dropped the set's streams already bound: fill and bind them again, once.
      if (m_dwEvictions != evictions && s > 0) {
        if (!restarted) {
          restarted = true;
          m_dwDynamicUsed = 0;
          s = ~0u;
          continue;
        }
        LogD3D(m_pLog, kSource, __LINE__, kError,
               "ERROR!!! - The Streams Of %s Don't Fit The Vertex Buffer Together\n",
               buffer->GetName());
      }
    }
    BindStream(s, record->pBuffer, record->dwOffset, record->dwStride);
  }
}

void CVertexBufferBank::SetStreamSource(IDirect3DVertexBuffer9* buffer, UINT stride, UINT count) {
  m_pCurrentSet = nullptr;
  m_pCurrentBuffer = nullptr;
  BindStream(0, buffer, 0, stride);
  m_dwRawVertexCount = count;
}

void CVertexBufferBank::BindStream(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                   UINT stride) {
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (!device) return;
  HRESULT result;
  {
    CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
    result = device->SetStreamSource(stream, buffer, offset, stride);
  }
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetStreamSource - %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  if (CProfiler* profiler = GetEngineContext()->pProfiler)
    profiler->AddToCounter(CProfiler::kSetVertexBuffer, 1);
}

bool CVertexBufferBank::FillTheBuffer(CVertexBuffer* buffer, CVertexStreamSet* set, UINT stream) {
  if (!buffer || !set) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - Can't Fill The Buffer, Vertex Buffer Is NULL (%s)\n",
           buffer ? buffer->GetName() : "");
    return false;
  }
  if (stream >= set->dwNumberOfStreams || !set->pStreams[stream]) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - Can't Fill The Buffer, Requested Stream Number Is Larger Than Maximum "
           "Number Of Stream For "
           "The Buffer (%s)\n",
           buffer->GetName());
    return false;
  }
  CVertexStream* record = set->pStreams[stream];
  if (record->dwLoaded) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING!!! - Vertex Buffer Already Loaded (%s)\n",
           buffer->GetName());
    return true;
  }
  // A bad layout ends the process before anything is placed or locked.
  CVertexElementWriter(buffer->GetVertices(), buffer->GetSecondVertices(),
                       buffer->GetSecondVertexCount(), buffer->GetName())
      .Check(*record);
  const uint64_t size = record->Size();
  // Dynamic data changes at every setting: it always goes through the dynamic buffer.
  if (record->dwDynamic) return FillFromDynamicBuffer(buffer, record, size);
  if (m_pMainBuffer) return FillFromMainBuffer(buffer, record, size);
  return FillOwnBuffer(buffer, record, size);
}

bool CVertexBufferBank::FillFromMainBuffer(CVertexBuffer* buffer, CVertexStream* record,
                                           uint64_t size) {
  if (size > m_dwMainSize) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - The Vertex Buffer Is Not Large Enough (%i - %i)\n", static_cast<int>(size),
           static_cast<int>(m_dwMainSize));
    return false;
  }
  const bool fresh = PlaceInMainBuffer(record, size);
  record->dwLoaded = 1;
  record->pBuffer = m_pMainBuffer;
  record->dwOwnsBuffer = 0;
  const bool uploaded = fresh ? Upload(buffer, record, m_pMainBuffer, 0, 0, D3DLOCK_DISCARD)
                              : Upload(buffer, record, m_pMainBuffer, record->dwOffset,
                                       static_cast<UINT>(size), D3DLOCK_NOOVERWRITE);
  // A record that could not be written gives its place back, to be placed anew next time.
  if (!uploaded) RemoveStream(record);
  return uploaded;
}

bool CVertexBufferBank::PlaceInMainBuffer(CVertexStream* record, uint64_t size) {
  record->dwInMainBuffer = 1;
  for (CVertexStream* r = m_pHead; r; r = r->pNext) {
    const uint64_t end = r->End();
    const uint64_t limit = r->pNext ? r->pNext->dwOffset : m_dwMainSize;
    if (limit >= end && limit - end >= size) {
      record->dwOffset = static_cast<UINT>(end);
      record->pPrevious = r;
      record->pNext = r->pNext;
      if (r->pNext) r->pNext->pPrevious = record;
      r->pNext = record;
      return false;
    }
  }
  // Nothing holds it: every record leaves and is filled again when next set.
  if (m_pHead) ++m_dwEvictions;
  EmptyMainBuffer();
  record->dwInMainBuffer = 1;
  record->dwOffset = 0;
  record->pNext = record->pPrevious = nullptr;
  m_pHead = record;
  return true;
}

void CVertexBufferBank::EmptyMainBuffer() {
  for (CVertexStream* r = m_pHead; r;) {
    CVertexStream* next = r->pNext;
    r->pBuffer = nullptr;
    r->dwOffset = 0;
    r->pNext = r->pPrevious = nullptr;
    r->dwLoaded = 0;
    r->dwInMainBuffer = 0;
    r = next;
  }
  m_pHead = nullptr;
}

bool CVertexBufferBank::FillFromDynamicBuffer(CVertexBuffer* buffer, CVertexStream* record,
                                              uint64_t size) {
  // The streams of one set follow each other, so that binding a later one keeps an earlier one.
  const uint64_t offset = m_dwDynamicUsed;
  if (!m_pDynamicBuffer || offset + size > kDynamicBufferSize) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "WARNING!!! - The Size Dynamic Vertex Buffer Is Not Enough To Hold The Requested "
           "Geometry - %i - %i at "
           "%s\n",
           static_cast<int>(offset + size), static_cast<int>(kDynamicBufferSize),
           buffer->GetName());
    record->pBuffer = nullptr;
    return false;
  }
  record->pBuffer = m_pDynamicBuffer;
  record->dwOwnsBuffer = 0;
  record->dwOffset = static_cast<UINT>(offset);
  const bool uploaded = offset == 0
                            ? Upload(buffer, record, m_pDynamicBuffer, 0, 0, D3DLOCK_DISCARD)
                            : Upload(buffer, record, m_pDynamicBuffer, record->dwOffset,
                                     static_cast<UINT>(size), D3DLOCK_NOOVERWRITE);
  if (!uploaded) return false;
  m_dwDynamicUsed = static_cast<UINT>(offset + size);
  record->dwLoaded = 1;
  return true;
}

bool CVertexBufferBank::FillOwnBuffer(CVertexBuffer* buffer, CVertexStream* record, uint64_t size) {
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration();
  const bool hardware = enumeration && enumeration->IsHardwareVertexProcessing();
  IDirect3DVertexBuffer9* own = nullptr;
  const HRESULT result = !device || size > UINT32_MAX
                             ? D3DERR_INVALIDCALL
                             : device->CreateVertexBuffer(
                                   static_cast<UINT>(size),
                                   hardware ? D3DUSAGE_WRITEONLY : D3DUSAGE_SOFTWAREPROCESSING, 0,
                                   hardware ? D3DPOOL_MANAGED : D3DPOOL_SYSTEMMEM, &own, nullptr);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - Can't Create Vertex Buffer: %s\n(%s - %s)", buffer->GetName(),
           D3DResultName(result), D3DResultDescription(result));
    return false;
  }
  if (!own) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Freshly Allocated VB Is NULL: %i",
           static_cast<int>(size));
    return false;
  }
  record->pBuffer = own;
  record->dwOwnsBuffer = 1;
  record->dwOffset = 0;
  if (!Upload(buffer, record, own, 0, 0, 0)) {
    RemoveStream(record);
    return false;
  }
  record->dwLoaded = 1;
  return true;
}

bool CVertexBufferBank::Upload(CVertexBuffer* buffer, CVertexStream* record,
                               IDirect3DVertexBuffer9* target, UINT offset, UINT size,
                               DWORD flags) {
  void* data = nullptr;
  const HRESULT result = target->Lock(offset, size, &data, flags);
  if (FAILED(result) || !data) {
    if (target == m_pMainBuffer)
      LogD3D(m_pLog, kSource, __LINE__, kError,
             "ERROR!!! - Can't Lock The Vertex Buffer For Updaing\n");
    else
      LogD3D(m_pLog, kSource, __LINE__, kError,
             "ERROR!!! - Can't Lock Vertex Buffer: %s\n(%s - %s)", buffer->GetName(),
             D3DResultName(result), D3DResultDescription(result));
    if (SUCCEEDED(result)) target->Unlock();
    return false;
  }
  // A whole-buffer lock starts at the buffer's start; the record lies at its offset.
  BYTE* at = static_cast<BYTE*>(data) + (size == 0 ? record->dwOffset : 0);
  CVertexElementWriter(buffer->GetVertices(), buffer->GetSecondVertices(),
                       buffer->GetSecondVertexCount(), buffer->GetName())
      .Write(*record, at);
  target->Unlock();
  return true;
}

void CVertexBufferBank::RemoveStream(CVertexStream* record) {
  if (record->dwInMainBuffer) {
    if (record->pPrevious) record->pPrevious->pNext = record->pNext;
    if (record->pNext) record->pNext->pPrevious = record->pPrevious;
    if (m_pHead == record) m_pHead = record->pNext;
    record->pNext = record->pPrevious = nullptr;
    record->dwInMainBuffer = 0;
  } else {
    SetStreamSource(nullptr, 0, 0);
    if (record->dwOwnsBuffer && record->pBuffer) record->pBuffer->Release();
  }
  record->pBuffer = nullptr;
  record->dwOwnsBuffer = 0;
  record->dwLoaded = 0;
  record->dwOffset = 0;
}

void CVertexBufferBank::OnDeviceLost() {
  m_pCurrentSet = nullptr;
  m_pCurrentBuffer = nullptr;
  BindStream(0, nullptr, 0, 0);
  EmptyMainBuffer();
  if (m_pMainBuffer) m_pMainBuffer->Release();
  m_pMainBuffer = nullptr;
  if (m_pDynamicBuffer) m_pDynamicBuffer->Release();
  m_pDynamicBuffer = nullptr;
  // Dynamic records pointed into the released buffer; they are filled again when next set.
  ForEachStream([](CVertexStream& record) {
    if (record.dwOwnsBuffer) return;
    record.pBuffer = nullptr;
    record.dwLoaded = 0;
  });
}

void CVertexBufferBank::OnDeviceReset() { CreateDeviceBuffers(kResetMainFormat); }

void CVertexBufferBank::ReleaseDeviceObjects() {
  OnDeviceLost();
  ForEachStream([](CVertexStream& record) {
    if (!record.dwOwnsBuffer) return;
    record.pBuffer->Release();
    record.pBuffer = nullptr;
    record.dwOwnsBuffer = 0;
    record.dwLoaded = 0;
  });
}

void CVertexBufferBank::ForEachStream(const std::function<void(CVertexStream&)>& visit) {
  for (UINT i = 0; i < m_dwUsed; ++i)
    for (UINT k = 0; m_Buffers[i] && k < CVertexBuffer::kMaxStreamSets; ++k)
      if (CVertexStreamSet* set = m_Buffers[i]->GetStreamSet(k))
        for (CVertexStream* record : set->pStreams)
          if (record) visit(*record);
}
