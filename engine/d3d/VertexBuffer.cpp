#include "d3d/VertexBuffer.h"

#include <cctype>
#include <cstdio>
#include <new>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/VertexBufferBank.h"
#include "d3d/VertexDeclaration.h"
#include "d3d/VertexDeclarationBankInterface.h"
#include "d3d/VertexElements.h"
#include "d3d/VertexStream.h"
#include "d3d/VertexStreamSet.h"

namespace {

const char kSource[] = "D3DVertexBuffer";
const char kTitle[] = "Error While Creating Vertex Buffer";

bool SameVector(const CVector3& a, const CVector3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Field by field, exact: the record's padding-free layout is not relied on.
bool SameVertex(const Vertex& a, const Vertex& b) {
  for (int i = 0; i < 4; ++i)
    if (a.fWeights[i] != b.fWeights[i] || a.wBonesIndices[i] != b.wBonesIndices[i]) return false;
  for (int i = 0; i < 2; ++i)
    if (a.fTU[i] != b.fTU[i] || a.fTV[i] != b.fTV[i]) return false;
  return SameVector(a.vecPosition, b.vecPosition) && SameVector(a.vecNormal, b.vecNormal) &&
         SameVector(a.vecTangent, b.vecTangent) && SameVector(a.vecBiNormal, b.vecBiNormal);
}

}  // namespace

CVertexBuffer::CVertexBuffer(CVertexDeclarationBankInterface* declarations, CVertexBufferBank* bank,
                             CEngineLog* log, const Vertex* vertices, Vertex* second, UINT count,
                             const char* name, UINT kind, UINT dynamic)
    : m_pLog(log),
      m_pBank(bank),
      m_pSecond(second),
      m_dwSecondCount(second ? count : 0),
      m_pDeclarations(declarations),
      m_dwVertexCount(count),
      m_dwKind(kind),
      m_dwDynamic(dynamic) {
  snprintf(m_szName, sizeof m_szName, "%s", name ? name : "");
  for (char* c = m_szName; *c; ++c)
    *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo,
         "    - Creating Vertex Buffer For: %s - Dynamic: %s - Number Of Vertices: %i\n", m_szName,
         dynamic == 1 ? "TRUE" : "FALSE", static_cast<int>(count));
  try {
    m_Vertices.assign(vertices, vertices + count);
  } catch (const std::bad_alloc&) {
    FatalErrorWithTitle("Error While Creating VB", "Can't Allocate Memory For Vertex Buffer: %s",
                        m_szName);
  }
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo,
         "      - Copying Data To The Vertex Buffer\n");
}

CVertexBuffer::~CVertexBuffer() = default;

bool CVertexBuffer::IsIdentical(const char* loweredName, UINT kind, const Vertex* vertices,
                                UINT count) const {
  if (strcmp(loweredName, m_szName) != 0 || kind != m_dwKind || count != m_dwVertexCount)
    return false;
  for (UINT i = 0; i < count; ++i)
    if (!SameVertex(m_Vertices[i], vertices[i])) return false;
  return true;
}

UINT CVertexBuffer::CreateCompatibleWithDeclaration(CVertexDeclarationInterface* declaration) {
  return declaration ? CreateCompatibleWith(declaration->GetVertexElement()) : 0;
}

bool CVertexBuffer::CheckLayout(const D3DVERTEXELEMENT9* elements, UINT count) const {
  // A stream's elements must stand together: once a stream is left it may not come back.
  bool seen[CVertexStreamSet::kMaxStreams] = {};
  for (UINT i = 0; i < count; ++i) {
    const WORD stream = elements[i].Stream;
    if (stream >= CVertexStreamSet::kMaxStreams) {
      LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
             "ERROR!!! - Vertex Layout Uses Stream %u Above 7: %s\n", stream, m_szName);
      return false;
    }
    if (seen[stream] && elements[i - 1].Stream != stream) {
      LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
             "ERROR!!! - Vertex Layout Has The Elements Of Stream %u Apart: %s\n", stream,
             m_szName);
      return false;
    }
    seen[stream] = true;
  }
  return true;
}

UINT CVertexBuffer::CreateCompatibleWith(D3DVERTEXELEMENT9* elements) {
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo,
         "  - Creating Compatible Vertex Buffer...\n");
  const UINT count = elements ? GetVertexElementCount(elements) : kNoEndMarker;
  if (count == kNoEndMarker) {
    LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
           "ERROR!!! - Vertex Layout Without An End Marker: %s\n", m_szName);
    return 0;
  }
  for (const auto& set : m_pSets)
    if (set &&
        VertexElementListsEqual(set->elements.data(), set->dwElementCount, elements, count)) {
      LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "    - Already Exists\n");
      return 1;
    }
  if (!CheckLayout(elements, count)) return 0;
  UINT slot = 0;
  while (slot < kMaxStreamSets && m_pSets[slot]) ++slot;
  if (slot == kMaxStreamSets) FatalErrorWithTitle(kTitle, "No Enuff Stream Entries: %s", m_szName);
  auto* set = new (std::nothrow) CVertexStreamSet;
  if (!set) FatalErrorWithTitle(kTitle, "Can't Allocate Memory For VB: %s", m_szName);
  m_pSets[slot].reset(set);
  set->elements.assign(elements, elements + count + 1);
  set->dwElementCount = count;
  UINT highest = 0;
  for (UINT i = 0; i < count; ++i)
    highest = elements[i].Stream > highest ? elements[i].Stream : highest;
  set->dwNumberOfStreams = highest + 1;

  for (UINT s = 0; s < set->dwNumberOfStreams; ++s) {
    LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo,
           "    - Number Of Streams: %i\n    - Number Of Elements: %i\n",
           static_cast<int>(set->dwNumberOfStreams), static_cast<int>(count));
    std::vector<D3DVERTEXELEMENT9> collected;
    for (UINT i = 0; i < count; ++i)
      if (elements[i].Stream == s) collected.push_back(elements[i]);
    // A stream the layout leaves out gets no record and is not set.
    if (collected.empty()) continue;
    collected.push_back(elements[count]);
    set->pStreams[s] = FindOrCreateStream(collected);
    // Without a main buffer a static stream is filled at once (a shared one is already). A
    // dynamic one is filled at every setting anyway, and filling it now would overwrite the
    // dynamic streams that are bound.
    const CVertexStream* record = set->pStreams[s];
    if (m_pBank && m_pBank->GetMainBufferSize() == 0 && !record->dwLoaded && !record->dwDynamic)
      m_pBank->FillTheBuffer(this, set, s);
  }
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "    - Done\n");
  return 1;
}

CVertexStream* CVertexBuffer::FindOrCreateStream(const std::vector<D3DVERTEXELEMENT9>& elements) {
  const UINT count = static_cast<UINT>(elements.size() - 1);
  for (const auto& set : m_pSets)
    if (set)
      for (CVertexStream* record : set->pStreams)
        if (record && VertexElementListsEqual(record->elements.data(), record->ElementCount(),
                                              elements.data(), count, true)) {
          ++record->dwReferences;
          return record;
        }
  auto* record = new (std::nothrow) CVertexStream;
  if (!record)
    FatalErrorWithTitle("Error While Creating Vertex Buffer Stream", "Can't Allocate Memory: %s",
                        m_szName);
  record->elements = elements;
  record->dwReferences = 1;
  record->dwVertexCount = m_dwVertexCount;
  record->dwDynamic = m_dwDynamic;
  for (UINT i = 0; i < count; ++i) {
    const UINT size = GetVertexElementSize(elements[i].Type);
    if (size == 0) LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "!!!UNKNOWN!!!, ");
    record->dwStride += size;
  }
  return record;
}

void CVertexBuffer::SetStreams() {
  if (!m_pBank) return;
  CVertexDeclaration* current =
      m_pDeclarations ? m_pDeclarations->GetCurrentDeclaration() : nullptr;
  if (current)
    for (const auto& set : m_pSets)
      if (set && current->IsEqual(set->elements.data(), set->dwElementCount)) {
        m_pBank->SetStreamSources(this, set.get());
        return;
      }
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
         "ERROR: - There's no adequate VB: %s\n", m_szName);
}

IDirect3DVertexBuffer9* CVertexBuffer::GetDirect3DVertexBuffer() {
  const CVertexStream* first = m_pSets[0] ? m_pSets[0]->pStreams[0] : nullptr;
  return first ? first->pBuffer : nullptr;
}

void CVertexBuffer::SetVertices(Vertex* vertices, UINT count) {
  if (m_dwReferences != 1)
    LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
           "WARNING!!! - You Are Trying to Change Vertex Data For A Vertex Buffer Referenced More "
           "Than Once: %s\n",
           m_szName);
  if (count && !vertices) {
    LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError,
           "ERROR!!! - No Vertices To Put Into The Vertex Buffer: %s\n", m_szName);
    return;
  }
  try {
    m_Vertices.assign(vertices, vertices + count);
  } catch (const std::bad_alloc&) {
    FatalErrorWithTitle("Error While Creating VB", "Can't Allocate Memory For Vertex Buffer: %s",
                        m_szName);
  }
  m_dwVertexCount = count;
  if (!m_pBank) return;
  // A loaded static stream still holds the old vertices, sized for the old count: drawing the
  // new indices from it reads past its end. It gives its place up and is filled again from the
  // new data when next set; dynamic streams are refilled at every setting anyway.
  for (const auto& set : m_pSets)
    if (set)
      for (CVertexStream* record : set->pStreams)
        if (record && record->dwLoaded && !record->dwDynamic) m_pBank->RemoveStream(record);
  // Setting the same set again is skipped, so new data would never reach the device.
  m_pBank->ForgetStreamSet(this);
}

void CVertexBuffer::Release() {
  if (m_dwReferences == 0) return;
  if (--m_dwReferences != 0) return;
  if (m_pBank) m_pBank->SetStreamSource(nullptr, 0, 0);
  for (auto& set : m_pSets) {
    if (!set) continue;
    for (CVertexStream*& record : set->pStreams) {
      if (!record) continue;
      if (--record->dwReferences == 0) {
        if (m_pBank) m_pBank->RemoveStream(record);
        delete record;
      }
      record = nullptr;
    }
    set.reset();
  }
  if (m_pBank) m_pBank->RemoveBuffer(this);
  delete this;
}
