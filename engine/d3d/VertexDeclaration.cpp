#include "d3d/VertexDeclaration.h"

#include <cstdio>
#include <iterator>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexDeclarationBank.h"
#include "d3d/VertexElements.h"

namespace {

const char kSource[] = "D3DVertexDeclaration";
const char kCreationTitle[] = "Error While Creating Vertex Declaration";
const char kUnknown[] = "!!!UNKNOWN!!!, ";

const char* const kTypeNames[] = {
    "D3DDECLTYPE_FLOAT1, ",
    "D3DDECLTYPE_FLOAT2, ",
    "D3DDECLTYPE_FLOAT3, ",
    "D3DDECLTYPE_FLOAT4, ",
    "D3DDECLTYPE_D3DCOLOR, ",
    "D3DDECLTYPE_UBYTE4, ",
    "D3DDECLTYPE_SHORT2, ",
    "D3DDECLTYPE_SHORT4, ",
    "D3DDECLTYPE_UBYTE4N, ",
    "D3DDECLTYPE_SHORT2N, ",
    "D3DDECLTYPE_SHORT4N, ",
    kUnknown,
    kUnknown,
    "D3DDECLTYPE_UDEC3, ",
    "D3DDECLTYPE_DEC3N, ",
    "D3DDECLTYPE_FLOAT16_2, ",
    "D3DDECLTYPE_FLOAT16_4, ",
    "D3DDECLTYPE_UNUSED, ",
};
const char* const kMethodNames[] = {
    "D3DDECLMETHOD_DEFAULT, ",          "D3DDECLMETHOD_PARTIALU, ", "D3DDECLMETHOD_PARTIALV, ",
    "D3DDECLMETHOD_CROSSUV, ",          "D3DDECLMETHOD_UV, ",       "D3DDECLMETHOD_LOOKUP, ",
    "D3DDECLMETHOD_LOOKUPPRESAMPLED, ",
};
const char* const kUsageNames[] = {
    "D3DDECLUSAGE_POSITION, ",  "D3DDECLUSAGE_BLENDWEIGHT, ", "D3DDECLUSAGE_BLENDINDICES, ",
    "D3DDECLUSAGE_NORMAL, ",    "D3DDECLUSAGE_PSIZE, ",       "D3DDECLUSAGE_TEXCOORD, ",
    "D3DDECLUSAGE_TANGENT, ",   "D3DDECLUSAGE_BINORMAL, ",    "D3DDECLUSAGE_TESSFACTOR, ",
    "D3DDECLUSAGE_POSITIONT, ", "D3DDECLUSAGE_COLOR, ",       "D3DDECLUSAGE_FOG, ",
    "D3DDECLUSAGE_DEPTH, ",     "D3DDECLUSAGE_SAMPLE, ",
};

template <size_t N>
const char* NameOf(const char* const (&names)[N], BYTE value) {
  return value < N ? names[value] : kUnknown;
}

}  // namespace

CVertexDeclaration::CVertexDeclaration(CVertexDeclarationBank* bank, CEngineRenderer* renderer,
                                       CEngineLog* log, const D3DVERTEXELEMENT9* elements)
    : m_pRenderer(renderer), m_pLog(log), m_pBank(bank) {
  const UINT count = GetVertexElementCount(elements);
  if (count == 0) FatalErrorWithTitle(kCreationTitle, "Vertex Elements Have 0 Definitions");
  if (count == kNoEndMarker)
    FatalErrorWithTitle(kCreationTitle, "Vertex Elements Have No End Marker");
  m_dwElementCount = count;
  m_Elements.assign(elements, elements + count + 1);
  for (UINT i = 0; i < count; ++i) LogElement(m_Elements[i]);

  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  const HRESULT result = device
                             ? device->CreateVertexDeclaration(m_Elements.data(), &m_pDeclaration)
                             : D3DERR_INVALIDCALL;
  if (FAILED(result))
    FatalErrorWithTitle(kCreationTitle, "Can't Create... %s - %s\n", D3DResultName(result),
                        D3DResultDescription(result));
}

CVertexDeclaration::~CVertexDeclaration() { ReleaseDeviceObject(); }

void CVertexDeclaration::ReleaseDeviceObject() {
  if (m_pDeclaration) m_pDeclaration->Release();
  m_pDeclaration = nullptr;
}

void CVertexDeclaration::Set() { m_pBank->Set(this); }

bool CVertexDeclaration::IsEqual(const D3DVERTEXELEMENT9* elements, UINT count) const {
  return VertexElementListsEqual(m_Elements.data(), m_dwElementCount, elements, count);
}

UINT CVertexDeclaration::HasUsages(const D3DXSEMANTIC* pairs, UINT count) const {
  for (UINT p = 0; p < count; ++p) {
    bool matched = false;
    for (UINT i = 0; i < m_dwElementCount && !matched; ++i)
      matched =
          m_Elements[i].Usage == pairs[p].Usage && m_Elements[i].UsageIndex == pairs[p].UsageIndex;
    if (!matched) return 0;
  }
  return 1;
}

UINT CVertexDeclaration::GetVertexSize() const {
  UINT size = 0;
  for (UINT i = 0; i < m_dwElementCount; ++i) {
    const UINT bytes = GetVertexElementSize(m_Elements[i].Type);
    if (bytes == 0) LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "%s", kUnknown);
    size += bytes;
  }
  return size;
}

void CVertexDeclaration::LogElement(const D3DVERTEXELEMENT9& element) const {
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "    - %i, %i, ", element.Stream,
         element.Offset);
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "%s", NameOf(kTypeNames, element.Type));
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "%s",
         NameOf(kMethodNames, element.Method));
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "%s",
         NameOf(kUsageNames, element.Usage));
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelInfo, "%i\n", element.UsageIndex);
}
