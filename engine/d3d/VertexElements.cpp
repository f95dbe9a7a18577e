#include "d3d/VertexElements.h"

bool IsEndMarker(const D3DVERTEXELEMENT9& element) {
  return element.Stream == 0xFF && element.Offset == 0 && element.Type == D3DDECLTYPE_UNUSED;
}

UINT GetVertexElementCount(const D3DVERTEXELEMENT9* elements) {
  for (UINT i = 0; i <= kMaxVertexElements; ++i)
    if (IsEndMarker(elements[i])) return i;
  return kNoEndMarker;
}

UINT GetVertexElementSize(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT1:
    case D3DDECLTYPE_D3DCOLOR:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_UBYTE4N:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N:
    case D3DDECLTYPE_FLOAT16_2: return 4;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT4:
    case D3DDECLTYPE_SHORT4N:
    case D3DDECLTYPE_FLOAT16_4: return 8;
    case D3DDECLTYPE_FLOAT3: return 12;
    case D3DDECLTYPE_FLOAT4: return 16;
  }
  return 0;
}

bool VertexElementsEqual(const D3DVERTEXELEMENT9& a, const D3DVERTEXELEMENT9& b,
                         bool ignoreStream) {
  return a.Method == b.Method && a.Offset == b.Offset && (ignoreStream || a.Stream == b.Stream) &&
         a.Type == b.Type && a.Usage == b.Usage && a.UsageIndex == b.UsageIndex;
}

bool VertexElementListsEqual(const D3DVERTEXELEMENT9* a, UINT countA, const D3DVERTEXELEMENT9* b,
                             UINT countB, bool ignoreStream) {
  if (countA != countB) return false;
  for (UINT i = 0; i < countA; ++i)
    if (!VertexElementsEqual(a[i], b[i], ignoreStream)) return false;
  return true;
}
