#include "spatial/ShadowVolumeGeometry.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "core/EngineLog.h"

namespace {

constexpr const char* kSource = "sv";
constexpr WORD kNoBone = 0xFFFF;
constexpr WORD kNoFace = 0xFFFF;

bool SamePosition(const CVector3& a, const CVector3& b) {
  // Exact equality on purpose: vertices split along texture seams share their positions bit for
  // bit, and nothing else should join.
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

WORD FaceEdge(const Face& face, UINT k) {
  return k == 0 ? face.wEdge1 : k == 1 ? face.wEdge2 : face.wEdge3;
}

WORD FaceCorner(const Face& face, UINT k) {
  return k == 0 ? face.wIndex1 : k == 1 ? face.wIndex2 : face.wIndex3;
}

}  // namespace

CShadowVolumeGeometry::CShadowVolumeGeometry(const char* meshName, CEngineLog* log)
    : m_szMeshName(meshName != nullptr ? meshName : ""), m_pLog(log) {}

void CShadowVolumeGeometry::Log(int level, const char* format, ...) const {
  if (m_pLog == nullptr) return;
  char text[CEngineLog::kMaxMessage];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  m_pLog->Log(kSource, __LINE__, level, "%s", text);
}

bool CShadowVolumeGeometry::Build(Face* faces, UINT faceCount, Edge* edges, UINT edgeCount,
                                  const Vertex* vertices, UINT vertexCount, bool boned,
                                  bool rigid) {
  m_DynamicVertices.clear();
  m_Indices.clear();
  m_StaticVertices.clear();
  // Checked before anything is allocated; an empty mesh has no volume either.
  if (faces == nullptr || faceCount == 0 || faceCount > kMaxFaces) {
    Log(CEngineLog::kLevelError, "ERROR! - Can't Calculate SV Geometry For %s\n", m_szMeshName);
    return false;
  }
  m_pFaces = faces;
  m_dwFaces = faceCount;
  m_pEdges = edges;
  m_dwEdges = edges != nullptr ? edgeCount : 0;
  m_pVertices = vertices;
  m_dwVertices = vertices != nullptr ? vertexCount : 0;
  m_bBoned = boned;

  bool built = CheckNumbering();
  if (built) {
    BuildFaceVertices();
    built = EmitFaces();
  }
  if (!built) {
    Log(CEngineLog::kLevelError, "ERROR! - Can't Prepare Geometry For Shadow Volume In %s\n",
        m_szMeshName);
    m_DynamicVertices.clear();
    m_Indices.clear();
    return false;
  }
  if (rigid) BuildStaticVertices();
  return true;
}

bool CShadowVolumeGeometry::CheckNumbering() const {
  for (UINT i = 0; i < m_dwFaces; ++i)
    for (UINT k = 0; k < 3; ++k)
      if (FaceCorner(m_pFaces[i], k) >= m_dwVertices || FaceEdge(m_pFaces[i], k) >= m_dwEdges)
        return false;
  for (UINT e = 0; e < m_dwEdges; ++e)
    if (m_pEdges[e].wIndex1 >= m_dwVertices || m_pEdges[e].wIndex2 >= m_dwVertices) return false;
  return true;
}

void CShadowVolumeGeometry::GatherFaceBones(const Face& face, BoneSlot* slots) const {
  for (UINT k = 0; k < 3; ++k) {
    const Vertex& vertex = m_pVertices[FaceCorner(face, k)];
    for (UINT b = 0; b < 4; ++b) {
      const WORD bone = vertex.wBonesIndices[b];
      if (bone == kNoBone) continue;
      BoneSlot* slot = std::find_if(slots, slots + kBoneSlots,
                                    [bone](const BoneSlot& s) { return s.wBone == bone; });
      if (slot == slots + kBoneSlots)
        slot = std::find_if(slots, slots + kBoneSlots,
                            [](const BoneSlot& s) { return s.wBone == kNoBone; });
      // With all slots taken by other bones the weight is dropped.
      if (slot == slots + kBoneSlots) continue;
      slot->wBone = bone;
      slot->fWeight += vertex.fWeights[b];
      ++slot->wCount;
    }
  }
  for (UINT s = 0; s < kBoneSlots; ++s)
    if (slots[s].wCount != 0) slots[s].fWeight /= static_cast<float>(slots[s].wCount);
  std::stable_sort(slots, slots + kBoneSlots,
                   [](const BoneSlot& a, const BoneSlot& b) { return a.fWeight > b.fWeight; });
  float sum = 0.0f;
  for (UINT s = 0; s < kUsedBones; ++s) sum += slots[s].fWeight;
  if (sum > 0.0f)
    for (UINT s = 0; s < kUsedBones; ++s) slots[s].fWeight /= sum;
}

void CShadowVolumeGeometry::BuildFaceVertices() {
  m_DynamicVertices.assign(static_cast<size_t>(m_dwFaces) * 3, Vertex{});
  for (UINT i = 0; i < m_dwFaces; ++i) {
    Face& face = m_pFaces[i];
    face.wFaceIndex = static_cast<WORD>(i);
    face.cWorkingMark2 = 0;
    BoneSlot slots[kBoneSlots];
    std::fill(slots, slots + kBoneSlots, BoneSlot{0.0f, kNoBone, 0});
    if (m_bBoned) GatherFaceBones(face, slots);
    for (UINT c = 0; c < 3; ++c) {
      Vertex& vertex = m_DynamicVertices[3 * i + c];
      vertex = m_pVertices[FaceCorner(face, c)];
      vertex.vecNormal = face.vecNormal;
      // The shader reads the face's three strongest weights from the tangent and its four
      // strongest bones from the texture coordinates.
      vertex.vecTangent = CVector3(slots[0].fWeight, slots[1].fWeight, slots[2].fWeight);
      vertex.fTU[0] = static_cast<float>(slots[0].wBone);
      vertex.fTV[0] = static_cast<float>(slots[2].wBone);
      vertex.fTU[1] = static_cast<float>(slots[1].wBone);
      vertex.fTV[1] = static_cast<float>(slots[3].wBone);
    }
  }
}

bool CShadowVolumeGeometry::EmitFaces() {
  m_Indices.reserve(3 * static_cast<size_t>(m_dwFaces) + 6 * static_cast<size_t>(m_dwEdges));
  for (UINT e = 0; e < m_dwEdges; ++e) m_pEdges[e].dwOvershared = 0;
  for (UINT i = 0; i < m_dwFaces; ++i) m_pFaces[i].cWorkingMark2 = 0;
  // Each walk covers one connected surface; the next starts at the first face left unmarked.
  for (UINT i = 0; i < m_dwFaces; ++i)
    if (m_pFaces[i].cWorkingMark2 == 0 && !EmitFrom(i)) return false;
  return true;
}

void CShadowVolumeGeometry::EmitFaceAndQuads(UINT i) {
  Face& face = m_pFaces[i];
  const WORD base = static_cast<WORD>(3 * face.wFaceIndex);
  m_Indices.insert(m_Indices.end(), {static_cast<WORD>(base + 2), static_cast<WORD>(base + 1),
                                     base});
  face.cWorkingMark2 = 1;
}

bool CShadowVolumeGeometry::EmitFrom(UINT start) {
  // An explicit stack in place of recursion: a connected surface may have 21845 faces. Each
  // entry is a face and the next of its three edges to follow, which keeps the depth-first
  // order of faces and quads.
  struct Step {
    UINT dwFace;
    UINT dwNextEdge;
  };
  std::vector<Step> stack;
  auto enter = [&](UINT i) -> bool {
    EmitFaceAndQuads(i);
    for (UINT k = 0; k < 3; ++k) {
      Edge& edge = m_pEdges[FaceEdge(m_pFaces[i], k)];
      if (edge.dwOvershared != 0) continue;
      WORD quad[4];
      if (!ComputeEdgeQuad(edge, quad)) return false;
      m_Indices.insert(m_Indices.end(), {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]});
      edge.dwOvershared = 1;
    }
    stack.push_back({i, 0});
    return true;
  };
  if (!enter(start)) return false;
  while (!stack.empty()) {
    Step& step = stack.back();
    if (step.dwNextEdge == 3) {
      stack.pop_back();
      continue;
    }
    const UINT face = step.dwFace;
    const int neighbour = Neighbour(FaceEdge(m_pFaces[face], step.dwNextEdge++), face);
    if (neighbour < 0) return false;
    if (m_pFaces[neighbour].cWorkingMark2 == 0 && !enter(static_cast<UINT>(neighbour)))
      return false;
  }
  return true;
}

int CShadowVolumeGeometry::Neighbour(UINT index, UINT face) const {
  const Edge& edge = m_pEdges[index];
  WORD other;
  if (edge.wFace1 != face) {
    if (edge.wFace2 != face) {
      Log(CEngineLog::kLevelError,
          "ERROR! - While Preparing Geometry For Shadow Volume, Implementation Error In: %s\n",
          m_szMeshName);
      return -1;
    }
    other = edge.wFace1;
  } else {
    other = edge.wFace2;
  }
  if (other == kNoFace || other >= m_dwFaces) {
    Log(CEngineLog::kLevelError, "ERROR! - Edge Is NULL While Preparing Geometry For SV In: %s\n",
        m_szMeshName);
    return -1;
  }
  return other;
}

bool CShadowVolumeGeometry::ComputeEdgeQuad(const Edge& edge, WORD quad[4]) const {
  std::fill(quad, quad + 4, kNoVertex);
  const CVector3& p = m_pVertices[edge.wIndex1].vecPosition;
  const CVector3& q = m_pVertices[edge.wIndex2].vecPosition;
  // Owner 0 sets a and b at p, q (or c and d the other way); owner 1 sets c and d.
  const WORD owners[2] = {edge.wFace1, edge.wFace2};
  for (UINT o = 0; o < 2; ++o) {
    if (owners[o] >= m_dwFaces) continue;
    const Face& face = m_pFaces[owners[o]];
    const UINT base = 3u * face.wFaceIndex;
    for (UINT k = 0; k < 3; ++k) {
      const UINT u = k, v = (k + 1) % 3;
      const CVector3& pu = m_pVertices[FaceCorner(face, u)].vecPosition;
      const CVector3& pv = m_pVertices[FaceCorner(face, v)].vecPosition;
      const WORD wu = static_cast<WORD>(base + u), wv = static_cast<WORD>(base + v);
      if (SamePosition(pu, p) && SamePosition(pv, q)) {
        if (o == 0) {
          quad[0] = wu;
          quad[1] = wv;
        } else {
          quad[2] = wv;
          quad[3] = wu;
        }
        break;
      }
      if (SamePosition(pu, q) && SamePosition(pv, p)) {
        quad[2] = wu;
        quad[3] = wv;
        break;
      }
    }
  }
  // An unmatched corner would index past the vertices.
  return std::none_of(quad, quad + 4, [](WORD w) { return w == kNoVertex; });
}

void CShadowVolumeGeometry::BuildStaticVertices() {
  m_StaticVertices.assign(static_cast<size_t>(m_dwVertices) * 2, Vertex{});
  for (UINT j = 0; j < m_dwVertices; ++j) {
    Vertex& front = m_StaticVertices[j];
    Vertex& back = m_StaticVertices[m_dwVertices + j];
    // The normal's x tells the vertex shader which copy stays and which is extruded.
    front.vecPosition = m_pVertices[j].vecPosition;
    front.vecNormal.x = 1.0f;
    back.vecPosition = front.vecPosition;
  }
}
