#include "d3d/VertexElementWriter.h"

#include <algorithm>
#include <cstring>

#include "core/FatalError.h"
#include "d3d/VertexElements.h"
#include "d3d/VertexStream.h"
#include "d3dx9math.h"

namespace {

const char kTitle[] = "Error While Creating Vertex Buffer";
const char kUnknownIndex[] = "Unknown Usage Index: %s";

// What a direction (normal, tangent, binormal) of index 0 may be written as.
bool IsDirectionType(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT3:
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_FLOAT16_2:
    case D3DDECLTYPE_FLOAT16_4:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_SHORT4N: return true;
  }
  return false;
}

bool IsTexCoordType(BYTE type) {
  switch (type) {
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_FLOAT16_2:
    case D3DDECLTYPE_FLOAT1:
    case D3DDECLTYPE_FLOAT3:
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_FLOAT4: return true;
  }
  return false;
}

// The fatal text for an element the writer cannot fill, or null when it can.
const char* RefusalOf(const D3DVERTEXELEMENT9& e, bool haveSecond) {
  const BYTE type = e.Type;
  switch (e.Usage) {
    case D3DDECLUSAGE_POSITION:
      if (e.UsageIndex == 0)
        return type == D3DDECLTYPE_FLOAT3 || type == D3DDECLTYPE_FLOAT4
                   ? nullptr
                   : "POSITION Usage Should Have FLOAT3 or FLOAT4 (.w in Normal.x) Type: %s";
      if (e.UsageIndex == 1) {
        if (type != D3DDECLTYPE_FLOAT3) return "POSITION Usage Should Have FLOAT3 Type: %s";
        return haveSecond ? nullptr : kUnknownIndex;
      }
      return kUnknownIndex;
    case D3DDECLUSAGE_NORMAL:
      if (e.UsageIndex == 0)
        return IsDirectionType(type) ? nullptr
                                     : "NORMAL Usage Should Have FLOAT3, FLOAT2, FLOAT16_2, "
                                       "FLOAT16_4, SHORT2N or SHORT4N Type: %s";
      if (e.UsageIndex == 1) {
        if (type != D3DDECLTYPE_FLOAT3) return "NORMAL Usage Should Have FLOAT3 Or FLOAT2 Type: %s";
        return haveSecond ? nullptr : kUnknownIndex;
      }
      return kUnknownIndex;
    case D3DDECLUSAGE_TANGENT:
    case D3DDECLUSAGE_BINORMAL:
      if (e.UsageIndex != 0) return kUnknownIndex;
      if (IsDirectionType(type)) return nullptr;
      return e.Usage == D3DDECLUSAGE_TANGENT ? "TANGENT Usage Should Have FLOAT3, FLOAT2, "
                                               "FLOAT16_2, FLOAT16_4, SHORT2N or SHORT4N Type: %s"
                                             : "BINORMAL Usage Should Have FLOAT3, FLOAT2, "
                                               "FLOAT16_2, FLOAT16_4, SHORT2N, SHORT4N Type: %s";
    case D3DDECLUSAGE_TEXCOORD:
      if (e.UsageIndex > 7) return kUnknownIndex;
      return IsTexCoordType(type) ? nullptr : "TEXCOORD Usage Should Have FLOAT2 Type: %s";
    case D3DDECLUSAGE_BLENDWEIGHT:
      if (e.UsageIndex != 0) return kUnknownIndex;
      return type == D3DDECLTYPE_FLOAT4 || type == D3DDECLTYPE_FLOAT3
                 ? nullptr
                 : "BLENDWEIGHT Usage Should Have FLOAT4 Type: %s";
    case D3DDECLUSAGE_BLENDINDICES:
      if (e.UsageIndex != 0) return kUnknownIndex;
      return type == D3DDECLTYPE_UBYTE4 || type == D3DDECLTYPE_FLOAT4
                 ? nullptr
                 : "BLENDINDICES Usage Should Have UBYTE4 Type: %s";
  }
  return "Unknown Usage: %s";
}

// A normalised component as a signed 16-bit value, truncated toward zero.
int16_t ToShortN(float value) {
  const double scaled = std::clamp(static_cast<double>(value) * 32767.0, -32768.0, 32767.0);
  return static_cast<int16_t>(scaled);
}

// Writes `count` components of `values` as the element type gives them: floats, half floats or
// normalised shorts. The caller has checked the type.
void WriteComponents(BYTE type, const float* values, UINT count, BYTE* target) {
  switch (type) {
    case D3DDECLTYPE_FLOAT16_2:
    case D3DDECLTYPE_FLOAT16_4:
      D3DXFloat32To16Array(reinterpret_cast<D3DXFLOAT16*>(target), values, count);
      return;
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_SHORT4N:
      for (UINT i = 0; i < count; ++i) {
        const int16_t component = ToShortN(values[i]);
        memcpy(target + 2 * i, &component, sizeof component);
      }
      return;
    default: memcpy(target, values, count * sizeof(float));
  }
}

// A direction as the element's type wants it: x, y (two-component types) or x, y, z, 0.
void WriteDirection(BYTE type, const CVector3& v, BYTE* target) {
  const float values[4] = {v.x, v.y, v.z, 0.0f};
  switch (type) {
    case D3DDECLTYPE_FLOAT3: WriteComponents(type, values, 3, target); return;
    case D3DDECLTYPE_FLOAT16_4:
    case D3DDECLTYPE_SHORT4N: WriteComponents(type, values, 4, target); return;
    default: WriteComponents(type, values, 2, target);
  }
}

// A texture value or bone index as a small 1-based number: value + 1 within [0, 25), else 0.
float OneBased(float value) { return value >= 0.0f && value < 25.0f ? value + 1.0f : 0.0f; }

void WriteSmallNumbers(BYTE type, const float (&values)[4], BYTE* target) {
  if (type == D3DDECLTYPE_UBYTE4)
    for (int i = 0; i < 4; ++i) target[i] = static_cast<BYTE>(values[i]);
  else
    memcpy(target, values, sizeof values);
}

}  // namespace

void CVertexElementWriter::Refuse(const char* format) const {
  FatalErrorWithTitle(kTitle, format, m_szName);
}

const Vertex& CVertexElementWriter::Second(UINT vertex) const {
  static const Vertex kNone = {};
  return vertex < m_dwSecondCount ? m_pSecond[vertex] : kNone;
}

void CVertexElementWriter::Check(const CVertexStream& stream) const {
  for (UINT i = 0; i < stream.ElementCount(); ++i)
    if (const char* refusal = RefusalOf(stream.elements[i], m_pSecond != nullptr)) Refuse(refusal);
}

void CVertexElementWriter::Write(const CVertexStream& stream, BYTE* target) const {
  Check(stream);
  for (UINT v = 0; v < stream.dwVertexCount; ++v) {
    BYTE* at = target + uint64_t{v} * stream.dwStride;
    // The elements lie one after the other; their Offset fields are not read.
    for (UINT i = 0; i < stream.ElementCount(); ++i) {
      const D3DVERTEXELEMENT9& element = stream.elements[i];
      WriteElement(element, v, at);
      at += GetVertexElementSize(element.Type);
    }
  }
}

void CVertexElementWriter::WriteElement(const D3DVERTEXELEMENT9& e, UINT vertex,
                                        BYTE* target) const {
  const Vertex& v = m_pVertices[vertex];
  const BYTE type = e.Type;
  switch (e.Usage) {
    case D3DDECLUSAGE_POSITION: {
      const CVector3& p = e.UsageIndex == 0 ? v.vecPosition : Second(vertex).vecPosition;
      const float values[4] = {p.x, p.y, p.z, v.vecNormal.x};
      WriteComponents(type, values, type == D3DDECLTYPE_FLOAT4 ? 4 : 3, target);
      return;
    }
    case D3DDECLUSAGE_NORMAL:
      WriteDirection(type, e.UsageIndex == 0 ? v.vecNormal : Second(vertex).vecNormal, target);
      return;
    case D3DDECLUSAGE_TANGENT: WriteDirection(type, v.vecTangent, target); return;
    case D3DDECLUSAGE_BINORMAL: WriteDirection(type, v.vecBiNormal, target); return;
    case D3DDECLUSAGE_BLENDWEIGHT: {
      const float* w = v.fWeights;
      const float values[4] = {w[0], w[1], w[2], 1.0f - (w[0] + w[1] + w[2])};
      WriteComponents(type, values, type == D3DDECLTYPE_FLOAT4 ? 4 : 3, target);
      return;
    }
    case D3DDECLUSAGE_BLENDINDICES: {
      float values[4];
      for (int i = 0; i < 4; ++i) values[i] = OneBased(static_cast<float>(v.wBonesIndices[i]));
      WriteSmallNumbers(type, values, target);
      return;
    }
    case D3DDECLUSAGE_TEXCOORD: {
      const UINT set = e.UsageIndex;
      if (type == D3DDECLTYPE_FLOAT2 || type == D3DDECLTYPE_FLOAT16_2) {
        const float values[2] = {set < 2 ? v.fTU[set] : 0.0f, set < 2 ? v.fTV[set] : 0.0f};
        WriteComponents(type, values, 2, target);
      } else if (type == D3DDECLTYPE_UBYTE4 || type == D3DDECLTYPE_FLOAT4) {
        // Set 0 packs both coordinate sets as small numbers; other sets are zero.
        float values[4] = {};
        if (set == 0) {
          const float raw[4] = {v.fTU[0], v.fTV[0], v.fTU[1], v.fTV[1]};
          for (int i = 0; i < 4; ++i) values[i] = OneBased(raw[i]);
        }
        WriteSmallNumbers(type, values, target);
      } else {
        memset(target, 0, GetVertexElementSize(type));
      }
      return;
    }
  }
}
