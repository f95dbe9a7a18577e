#include "d3d/SpriteVertexWriter.h"

#include <cstring>

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"
#include "d3d/VertexElements.h"

namespace {

const char kSource[] = "D3DSprites";
const char kUnknownUsage[] = "ERROR!!! - Can't Draw Sprite, Unknown Usage: %s";
const char kUnknownIndex[] = "ERROR!!! - Can't Draw Sprite, Unknown Usage Index: %s";
const char kPositionType[] =
    "ERROR!!! - Can't Draw Sprite, POSITION Usage Should Have FLOAT3 or FLOAT4 (.w in Normal.x) Type: %s";
constexpr BYTE kMaxTexCoordIndex = 7;

void Put(BYTE* target, const float* values, UINT count) { memcpy(target, values, count * sizeof(float)); }

}  // namespace

CSpriteVertexWriter::CSpriteVertexWriter(CEngineLog* log, const char* name, const D3DVERTEXELEMENT9* elements,
                                         UINT vertexSize, Space space, const Screen& screen)
    : m_pLog(log), m_szName(name), m_Space(space), m_Screen(screen) {
  const UINT count = GetVertexElementCount(elements);
  if (count == kNoEndMarker) return;
  for (UINT i = 0; i < count; ++i) {
    if (elements[i].Offset + GetVertexElementSize(elements[i].Type) > vertexSize) {
      Refuse("ERROR!!! - Can't Draw Sprite, Element Lies Past The Vertex: %s");
      continue;
    }
    BYTE pair = 0;
    const Kind kind = Classify(elements[i], &pair);
    if (kind != kSkip) m_Elements.push_back({elements[i].Offset, kind, pair});
  }
}

CSpriteVertexWriter::Kind CSpriteVertexWriter::Refuse(const char* format) const {
  LogD3D(m_pLog, kSource, __LINE__, CEngineLog::kLevelError, format, m_szName);
  return kSkip;
}

CSpriteVertexWriter::Kind CSpriteVertexWriter::Classify(const D3DVERTEXELEMENT9& element, BYTE* pair) const {
  const BYTE type = element.Type;
  const BYTE index = element.UsageIndex;
  // Object space and camera facing take POSITION, screen space POSITIONT; COLOR is not lit in
  // object space.
  const bool screen = m_Space == kScreenSpace;
  switch (element.Usage) {
    case D3DDECLUSAGE_POSITION:
      if (screen) return Refuse(kUnknownUsage);
      if (index > 0) return Refuse(kUnknownIndex);
      if (type == D3DDECLTYPE_FLOAT3) return kPosition3;
      if (type == D3DDECLTYPE_FLOAT4) return kPosition4;
      return Refuse(kPositionType);
    case D3DDECLUSAGE_POSITIONT:
      if (!screen) return Refuse(kUnknownUsage);
      if (index > 0) return Refuse(kUnknownIndex);
      return type == D3DDECLTYPE_FLOAT4 ? kScreenPosition : Refuse(kPositionType);
    case D3DDECLUSAGE_NORMAL:
      if (index > 0) return Refuse(kUnknownIndex);
      return type == D3DDECLTYPE_FLOAT3 ? kNormal
                                        : Refuse("ERROR!!! - Can't Draw Sprite, NORMAL Usage Should Have FLOAT3 Type: %s");
    case D3DDECLUSAGE_TANGENT:
      if (index > 0) return Refuse(kUnknownIndex);
      return type == D3DDECLTYPE_FLOAT3
                 ? kTangent
                 : Refuse("ERROR!!! - Can't Draw Sprite, TANGENT Usage Should Have FLOAT3 Type: %s");
    case D3DDECLUSAGE_BINORMAL:
      if (index > 0) return Refuse(kUnknownIndex);
      return type == D3DDECLTYPE_FLOAT3
                 ? kBinormal
                 : Refuse("ERROR!!! - Can't Draw Sprite, BINORMAL Usage Should Have FLOAT3 Type: %s");
    case D3DDECLUSAGE_COLOR:
      if (m_Space == kObjectSpace) return Refuse(kUnknownUsage);
      return type == D3DDECLTYPE_D3DCOLOR
                 ? kColor
                 : Refuse("ERROR!!! - Can't Draw Sprite, COLOR Usage Should Have D3DCOLOR Type: %s");
    case D3DDECLUSAGE_TEXCOORD:
      if (index > kMaxTexCoordIndex) return Refuse(kUnknownIndex);
      switch (type) {
        case D3DDECLTYPE_FLOAT2:
          if (index > 1) return kZero2;
          *pair = index;
          return kTexCoordPair;
        case D3DDECLTYPE_FLOAT1: return kZero1;
        case D3DDECLTYPE_FLOAT3: return kZero3;
      }
      return Refuse("ERROR!!! - Can't Draw Sprite, TEXCOORD Usage Should Have FLOAT2 Type: %s");
  }
  return Refuse(kUnknownUsage);
}

void CSpriteVertexWriter::Write(const Vertex& vertex, const CVector3& position, BYTE* target) const {
  for (const Element& element : m_Elements) {
    BYTE* at = target + element.wOffset;
    switch (element.kind) {
      case kPosition3: Put(at, &position.x, 3); break;
      case kPosition4: {
        const float values[4] = {position.x, position.y, position.z, vertex.vecNormal.x};
        Put(at, values, 4);
        break;
      }
      case kScreenPosition: {
        const float f = m_Screen.fWideScreenFactor;
        // Between the letterbox bars when there are bars: 0 to 1 covers the picture.
        const float y = f != 0.0f ? f + (1.0f - 2.0f * f) * vertex.vecPosition.y : vertex.vecPosition.y;
        const float values[4] = {m_Screen.fWidth * vertex.vecPosition.x, m_Screen.fHeight * y, 0.5f, 0.5f};
        Put(at, values, 4);
        break;
      }
      case kNormal: Put(at, &vertex.vecNormal.x, 3); break;
      case kTangent: Put(at, &vertex.vecTangent.x, 3); break;
      case kBinormal: Put(at, &vertex.vecBiNormal.x, 3); break;
      case kColor: {
        const D3DCOLOR color = D3DCOLOR_ARGB(vertex.wBonesIndices[0] & 0xFF, vertex.wBonesIndices[1] & 0xFF,
                                             vertex.wBonesIndices[2] & 0xFF, vertex.wBonesIndices[3] & 0xFF);
        memcpy(at, &color, sizeof color);
        break;
      }
      case kTexCoordPair: {
        const float values[2] = {vertex.fTU[element.cPair], vertex.fTV[element.cPair]};
        Put(at, values, 2);
        break;
      }
      case kZero1:
      case kZero2:
      case kZero3: {
        const float zeros[3] = {};
        Put(at, zeros, 1 + (element.kind - kZero1));
        break;
      }
      case kSkip: break;
    }
  }
}
