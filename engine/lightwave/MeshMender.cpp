#include "lightwave/MeshMender.h"

#include <algorithm>
#include <bit>
#include <compare>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Exact comparison, with NaN after every number so that maps stay ordered whatever a file holds.
bool FloatLess(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return !std::isnan(a) && std::isnan(b);
  return a < b;
}

CVector3 Normalized(CVector3 v) {
  v.Normalize();
  return v;
}

// An unsigned key that orders floats as FloatLess does: both zeros alike, every NaN alike and
// after every number.
uint32_t OrderKey(float f) {
  if (std::isnan(f)) return 0xFFFFFFFFu;
  if (f == 0.0f) f = 0.0f;
  uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

bool IsZero(const CVector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// Lists up to this long are searched for neighbours directly; longer ones through an index of
// their edges, so that a position many triangles meet at costs no more than its triangles.
constexpr size_t kDirectSearch = 32;

// Triangles given by their corners' identities: vertex indices when neighbours go by index,
// else numbers of equal positions.
bool SharesEdge(const UINT a[3], const UINT b[3]) {
  // Every two corners of a triangle make one of its edges (1-0, 0-2, 2-1), so the triangles
  // share an edge when two corners of a are two different corners of b. In the 3 by 3 table of
  // equal corners that takes two equal pairs in different rows and columns, which is there
  // exactly when two rows and two columns hold one.
  const UINT a0 = a[0], a1 = a[1], a2 = a[2], b0 = b[0], b1 = b[1], b2 = b[2];
  const bool e00 = a0 == b0, e01 = a0 == b1, e02 = a0 == b2;
  const bool e10 = a1 == b0, e11 = a1 == b1, e12 = a1 == b2;
  const bool e20 = a2 == b0, e21 = a2 == b1, e22 = a2 == b2;
  const int rows = int(e00 | e01 | e02) + int(e10 | e11 | e12) + int(e20 | e21 | e22);
  const int columns = int(e00 | e10 | e20) + int(e01 | e11 | e21) + int(e02 | e12 | e22);
  return rows >= 2 && columns >= 2;
}

}  // namespace

bool Vec3Less::operator()(const CVector3& a, const CVector3& b) const {
  if (FloatLess(a.x, b.x)) return true;
  if (FloatLess(b.x, a.x)) return false;
  if (FloatLess(a.y, b.y)) return true;
  if (FloatLess(b.y, a.y)) return false;
  return FloatLess(a.z, b.z);
}

bool CMeshMender::Mend(std::vector<MenderVertex>& vertices, std::vector<UINT>& indices,
                       std::vector<UINT>& mapping, float normalCrease, float tangentCrease,
                       float binormalCrease, float weight, UINT recomputeNormals, UINT byIndex,
                       UINT fixWrap) {
  normalCreaseCosine = normalCrease;
  tangentCreaseCosine = tangentCrease;
  binormalCreaseCosine = binormalCrease;
  areaWeight = weight;
  splitsByIndex = byIndex == 1 ? 1 : 0;
  m_vertices = &vertices;
  triangles.clear();
  positionLists.clear();
  positionTriangles.clear();

  const UINT n = static_cast<UINT>(vertices.size());
  const size_t mappingBase = mapping.size();
  m_wrapSources.clear();
  if (fixWrap == 1) FixTextureWrap(indices);

  inputVertexCount = n;
  for (UINT i = 0; i < n; ++i) mapping.push_back(i);
  for (UINT i = n; i < vertices.size(); ++i) mapping.push_back(m_wrapSources[i - n]);
  const size_t triangleCount = indices.size() / 3;
  triangles.reserve(triangleCount);
  for (size_t t = 0; t < triangleCount; ++t) {
    MenderTriangle triangle =
        MakeTriangle(indices[t * 3], indices[t * 3 + 1], indices[t * 3 + 2], recomputeNormals == 1);
    triangle.index = static_cast<UINT>(t);
    triangles.push_back(triangle);
  }
  BuildPositionLists();

  m_claimedIn.assign(vertices.size(), 0);
  m_pass = 0;
  m_unitVectors.resize(triangles.size() * 3);
  for (const MenderTriangle& triangle : triangles)
    for (Pass pass : {Pass::kNormals, Pass::kTangents, Pass::kBinormals})
      m_unitVectors[triangle.index * 3 + static_cast<UINT>(pass)] =
          Normalized(VectorOf(pass, triangle));
  m_placeOf.assign(triangles.size(), 0);
  for (size_t rank = 0; rank < positionLists.size(); ++rank) {
    const PositionList& at = positionLists[rank];
    const List list(positionTriangles.data() + at.first, at.count);
    const UINT id = m_positionIdOfList[rank];
    // Copies keep their position, so neighbours by position hold for every pass; neighbours
    // by index change as the vertices are split.
    if (splitsByIndex == 0) PrepareNeighbours(list);
    if (recomputeNormals == 1) Split(Pass::kNormals, id, list, mapping, mappingBase);
    Split(Pass::kTangents, id, list, mapping, mappingBase);
    Split(Pass::kBinormals, id, list, mapping, mappingBase);
  }
  for (const MenderTriangle& triangle : triangles)
    std::copy(triangle.v, triangle.v + 3, indices.begin() + ptrdiff_t{triangle.index} * 3);
  OrthonormalizeFrames();
  m_vertices = nullptr;
  return true;
}

void CMeshMender::BuildPositionLists() {
  // Corners are numbered by distinct position through a hash of keys that order as Vec3Less
  // does, looked up once a vertex; only the distinct positions are sorted, and each position's
  // run then takes its triangles in the order they were met, as an ordered map of lists would,
  // without a node and a list allocated per position.
  const std::vector<MenderVertex>& v = *m_vertices;
  struct Key {
    uint64_t xy;
    uint32_t z;
    auto operator<=>(const Key&) const = default;
  };
  struct Distinct {
    Key key;
    UINT firstCorner;
    UINT count;
    bool hasNaN;
  };
  const size_t cornerCount = triangles.size() * 3;
  std::vector<Distinct> distinct;
  std::vector<UINT> idOfCorner(cornerCount);
  std::vector<UINT> idOfVertex(v.size(), kNoGroup);
  m_positionIdOfCorner.resize(cornerCount);
  size_t slots = 64;
  while (slots < std::min(cornerCount, v.size()) * 2) slots *= 2;
  std::vector<UINT> table(slots, kNoGroup);
  const auto findOrAdd = [&](const CVector3& position, UINT corner) {
    const Key key = {uint64_t{OrderKey(position.x)} << 32 | OrderKey(position.y),
                     OrderKey(position.z)};
    uint64_t hash = (key.xy ^ (uint64_t{key.z} * 0x165667B19E3779F9ull)) * 0x9E3779B97F4A7C15ull;
    hash = (hash ^ (hash >> 32)) * 0xC2B2AE3D27D4EB4Full;
    size_t slot = static_cast<size_t>(hash ^ (hash >> 29)) & (slots - 1);
    while (table[slot] != kNoGroup && distinct[table[slot]].key != key)
      slot = (slot + 1) & (slots - 1);
    if (table[slot] == kNoGroup) {
      table[slot] = static_cast<UINT>(distinct.size());
      // Only a NaN has an order key of all ones.
      const bool hasNaN = key.z == 0xFFFFFFFFu || (key.xy & 0xFFFFFFFFu) == 0xFFFFFFFFu ||
                          key.xy >> 32 == 0xFFFFFFFFu;
      distinct.push_back({key, corner, 0, hasNaN});
    }
    return table[slot];
  };
  for (UINT c = 0; c < cornerCount; ++c) {
    const UINT vertex = triangles[c / 3].v[c % 3];
    if (idOfVertex[vertex] == kNoGroup) idOfVertex[vertex] = findOrAdd(v[vertex].position, c);
    const UINT id = idOfVertex[vertex];
    idOfCorner[c] = id;
    ++distinct[id].count;
    // For neighbours by position a NaN equals nothing: such a corner gets a number of its own,
    // made unique below.
    m_positionIdOfCorner[c] = distinct[id].hasNaN ? kNoGroup : id;
  }
  for (UINT c = 0; c < cornerCount; ++c)
    if (m_positionIdOfCorner[c] == kNoGroup)
      m_positionIdOfCorner[c] = static_cast<UINT>(distinct.size()) + c;
  // Sorted with their keys beside them: no lookup through the table per comparison.
  struct Ranked {
    Key key;
    UINT id;
  };
  std::vector<Ranked> order(distinct.size());
  for (UINT i = 0; i < order.size(); ++i) order[i] = {distinct[i].key, i};
  std::sort(order.begin(), order.end(),
            [](const Ranked& a, const Ranked& b) { return a.key < b.key; });

  positionLists.resize(distinct.size());
  m_positionIdOfList.resize(distinct.size());
  std::vector<UINT> next(distinct.size());
  UINT first = 0;
  for (UINT rank = 0; rank < order.size(); ++rank) {
    const UINT id = order[rank].id;
    const Distinct& at = distinct[id];
    positionLists[rank] = {v[triangles[at.firstCorner / 3].v[at.firstCorner % 3]].position, first,
                           at.count};
    m_positionIdOfList[rank] = id;
    next[id] = first;
    first += at.count;
  }
  positionTriangles.resize(cornerCount);
  for (UINT c = 0; c < cornerCount; ++c) positionTriangles[next[idOfCorner[c]]++] = c / 3;
}

MenderTriangle CMeshMender::MakeTriangle(UINT i0, UINT i1, UINT i2, bool recomputeNormals) const {
  MenderTriangle triangle = {};
  triangle.v[0] = i0;
  triangle.v[1] = i1;
  triangle.v[2] = i2;
  triangle.group = kNoGroup;
  if (recomputeNormals) {
    const std::vector<MenderVertex>& v = *m_vertices;
    const CVector3 normal = cross(v[i1].position - v[i0].position, v[i2].position - v[i0].position);
    triangle.normal = normal;
    if (areaWeight < 1.0f)
      triangle.normal = normal * areaWeight + Normalized(normal) * (1.0f - areaWeight);
  }
  ComputeTriangleTangentBinormal(triangle);
  return triangle;
}

void CMeshMender::ComputeTriangleTangentBinormal(MenderTriangle& triangle) const {
  const std::vector<MenderVertex>& v = *m_vertices;
  const MenderVertex& v0 = v[triangle.v[0]];
  const MenderVertex& v1 = v[triangle.v[1]];
  const MenderVertex& v2 = v[triangle.v[2]];
  const CVector3 e1 = v1.position - v0.position;
  const CVector3 e2 = v2.position - v0.position;
  const float ds1 = v1.s - v0.s, dt1 = v1.t - v0.t;
  const float ds2 = v2.s - v0.s, dt2 = v2.t - v0.t;
  const float det = ds1 * dt2 - ds2 * dt1;
  // Collinear coordinates: the difference vectors unscaled.
  const float r = std::fabs(det) > 0.0001f ? 1.0f / det : 1.0f;
  triangle.tangent = (e1 * dt2 - e2 * dt1) * r;
  triangle.binormal = (e2 * ds1 - e1 * ds2) * r;
}

void CMeshMender::FixTextureWrap(std::vector<UINT>& indices) {
  std::vector<MenderVertex>& v = *m_vertices;
  const UINT n = static_cast<UINT>(v.size());
  for (size_t t = 0; t + 3 <= indices.size(); t += 3) {
    bool raised[3] = {};
    for (float MenderVertex::*coordinate : {&MenderVertex::s, &MenderVertex::t})
      for (UINT k = 0; k < 3; ++k) {
        const UINT a = indices[t + k], b = indices[t + (k + 1) % 3];
        const float ca = v[a].*coordinate, cb = v[b].*coordinate;
        if (ca < 0.0f || ca > 1.0f || cb < 0.0f || cb > 1.0f || std::fabs(ca - cb) <= 0.5f) continue;
        const UINT corner = ca < cb ? k : (k + 1) % 3;
        UINT& index = indices[t + corner];
        if (!raised[corner]) {
          const MenderVertex copy = v[index];
          m_wrapSources.push_back(index < n ? index : m_wrapSources[index - n]);
          index = static_cast<UINT>(v.size());
          v.push_back(copy);
          raised[corner] = true;
        }
        v[index].*coordinate += 1.0f;
      }
  }
}

void CMeshMender::Split(Pass pass, UINT positionId, List list, std::vector<UINT>& mapping,
                        size_t mappingBase) {
  std::vector<MenderVertex>& v = *m_vertices;
  for (UINT t : list) {
    triangles[t].grouped = 0;
    triangles[t].group = kNoGroup;
  }
  if (splitsByIndex == 1) PrepareNeighbours(list);
  m_groupCount = 0;
  for (UINT t : list)
    if (triangles[t].grouped == 0) GrowGroup(pass, t);

  // A vertex a group before this one took gets a copy in this group.
  const UINT stamp = ++m_pass;
  for (size_t g = 0; g < m_groupCount; ++g) {
    const std::vector<UINT>& group = m_groups[g];
    CVector3 sum;
    for (UINT t : group) sum = sum + VectorOf(pass, triangles[t]);
    const CVector3 vector = Normalized(sum);
    m_groupVertices.clear();
    for (UINT t : group)
      for (UINT k = 0; k < 3; ++k) {
        if (m_positionIdOfCorner[size_t{t} * 3 + k] != positionId) continue;
        UINT i = triangles[t].v[k];
        if (m_claimedIn[i] != stamp) {
          FieldOf(pass, v[i]) = vector;
        } else {
          MenderVertex copy = v[i];
          FieldOf(pass, copy) = vector;
          const UINT j = static_cast<UINT>(v.size());
          v.push_back(copy);
          m_claimedIn.push_back(0);
          mapping.push_back(i < inputVertexCount ? i : mapping[mappingBase + i]);
          ReplaceVertexInGroup(group, i, j);
          i = j;
        }
        m_groupVertices.push_back(i);
      }
    for (UINT i : m_groupVertices) m_claimedIn[i] = stamp;
  }
}

std::vector<UINT>& CMeshMender::NewGroup() {
  if (m_groupCount == m_groups.size()) m_groups.emplace_back();
  std::vector<UINT>& group = m_groups[m_groupCount++];
  group.clear();
  return group;
}

void CMeshMender::GrowGroup(Pass pass, UINT start) {
  // Depth first, as a recursion from `start` through both neighbours would go, on a stack of
  // its own: a position can be shared by thousands of triangles.
  m_pending.assign(1, start);
  while (!m_pending.empty()) {
    const UINT t = m_pending.back();
    m_pending.pop_back();
    MenderTriangle& triangle = triangles[t];
    if (triangle.grouped != 0) continue;
    const UINT* neighbour = &m_listNeighbours[m_placeOf[t] * 2];
    for (UINT k = 0; k < 2; ++k) {
      const UINT n = neighbour[k];
      if (n == kNoGroup) continue;
      const MenderTriangle& other = triangles[n];
      if (other.group == kNoGroup || !Agree(pass, triangle, other)) continue;
      m_groups[other.group].push_back(triangle.index);
      triangle.group = other.group;
    }
    if (triangle.group == kNoGroup) {
      triangle.group = static_cast<UINT>(m_groupCount);
      NewGroup().push_back(triangle.index);
    }
    triangle.grouped = 1;
    for (int k = 1; k >= 0; --k)
      if (neighbour[k] != kNoGroup) m_pending.push_back(neighbour[k]);
  }
}

void CMeshMender::FindNeighbours(List list, UINT t, UINT neighbour[2]) const {
  neighbour[0] = neighbour[1] = kNoGroup;
  UINT found = 0;
  // The first two list places past t's own among the lists of its three edges.
  std::vector<UINT> places;
  for (UINT k = 0; k < 3; ++k) {
    const auto edge = m_neighbours.find(EdgeKeyOf(triangles[t], k));
    if (edge == m_neighbours.end()) continue;
    UINT taken = 0;
    for (UINT place : edge->second) {
      if (list[place] == t) continue;
      places.push_back(place);
      if (++taken == 2) break;
    }
  }
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  for (UINT place : places) {
    neighbour[found++] = list[place];
    if (found == 2) return;
  }
}

void CMeshMender::PrepareNeighbours(List list) {
  PrepareEdges(list);
  // A triangle listed twice answers from its first place.
  for (UINT place = static_cast<UINT>(list.size()); place-- > 0;) m_placeOf[list[place]] = place;
  m_listNeighbours.resize(list.size() * 2);
  if (list.size() > kDirectSearch) {
    for (UINT place = 0; place < list.size(); ++place)
      FindNeighbours(list, list[place], &m_listNeighbours[place * 2]);
    return;
  }
  // Sharing an edge goes both ways, so each pair is tested once; a place's neighbours are then
  // the two lowest places it shares an edge with.
  uint32_t sharing[kDirectSearch] = {};
  for (UINT p = 0; p < list.size(); ++p)
    for (UINT q = p + 1; q < list.size(); ++q)
      if (list[p] != list[q] && SharesEdge(&m_cornerIds[p * 3], &m_cornerIds[q * 3])) {
        sharing[p] |= uint32_t{1} << q;
        sharing[q] |= uint32_t{1} << p;
      }
  for (UINT place = 0; place < list.size(); ++place) {
    uint32_t rest = sharing[place];
    for (UINT k = 0; k < 2; ++k) {
      m_listNeighbours[place * 2 + k] = rest != 0 ? list[std::countr_zero(rest)] : kNoGroup;
      rest &= rest - 1;
    }
  }
}

void CMeshMender::PrepareEdges(List list) {
  m_neighbours.clear();
  if (list.size() <= kDirectSearch) {
    // Corners as vertex indices, or as numbers of equal positions.
    m_cornerIds.clear();
    for (UINT t : list) {
      const UINT* ids = splitsByIndex == 1 ? triangles[t].v : &m_positionIdOfCorner[size_t{t} * 3];
      m_cornerIds.insert(m_cornerIds.end(), ids, ids + 3);
    }
    return;
  }
  for (UINT place = 0; place < list.size(); ++place)
    for (UINT k = 0; k < 3; ++k) {
      const EdgeKey key = EdgeKeyOf(triangles[list[place]], k);
      if (!key.valid) continue;
      std::vector<UINT>& places = m_neighbours[key];
      if (places.empty() || places.back() != place) places.push_back(place);
    }
}

CMeshMender::EdgeKey CMeshMender::EdgeKeyOf(const MenderTriangle& triangle, UINT k) const {
  // Edges 1-0, 0-2 and 2-1, as unordered pairs.
  static constexpr UINT kEnds[3][2] = {{1, 0}, {0, 2}, {2, 1}};
  const UINT a = triangle.v[kEnds[k][0]], b = triangle.v[kEnds[k][1]];
  EdgeKey key = {};
  if (splitsByIndex == 1) {
    key.index[0] = std::min(a, b);
    key.index[1] = std::max(a, b);
    key.valid = true;
    return key;
  }
  CVector3 p = (*m_vertices)[a].position, q = (*m_vertices)[b].position;
  // A NaN is equal to nothing: such an edge is shared with no one.
  for (float c : {p.x, p.y, p.z, q.x, q.y, q.z})
    if (std::isnan(c)) return key;
  if (Vec3Less()(q, p)) std::swap(p, q);
  key.position[0] = p;
  key.position[1] = q;
  key.valid = true;
  return key;
}

bool CMeshMender::EdgeKeyLess::operator()(const EdgeKey& a, const EdgeKey& b) const {
  if (a.index[0] != b.index[0]) return a.index[0] < b.index[0];
  if (a.index[1] != b.index[1]) return a.index[1] < b.index[1];
  const Vec3Less less;
  if (less(a.position[0], b.position[0])) return true;
  if (less(b.position[0], a.position[0])) return false;
  return less(a.position[1], b.position[1]);
}

const CVector3& CMeshMender::VectorOf(Pass pass, const MenderTriangle& triangle) {
  switch (pass) {
    case Pass::kNormals: return triangle.normal;
    case Pass::kTangents: return triangle.tangent;
    default: return triangle.binormal;
  }
}

CVector3& CMeshMender::FieldOf(Pass pass, MenderVertex& vertex) {
  switch (pass) {
    case Pass::kNormals: return vertex.normal;
    case Pass::kTangents: return vertex.tangent;
    default: return vertex.binormal;
  }
}

bool CMeshMender::Agree(Pass pass, const MenderTriangle& a, const MenderTriangle& b) const {
  const float limit = pass == Pass::kNormals    ? normalCreaseCosine
                      : pass == Pass::kTangents ? tangentCreaseCosine
                                                : binormalCreaseCosine;
  const CVector3& va = m_unitVectors[a.index * 3 + static_cast<UINT>(pass)];
  const CVector3& vb = m_unitVectors[b.index * 3 + static_cast<UINT>(pass)];
  return dot(va, vb) >= limit || (IsZero(va) && IsZero(vb));
}

void CMeshMender::ReplaceVertexInGroup(const std::vector<UINT>& group, UINT from, UINT to) {
  for (UINT t : group)
    for (UINT& corner : triangles[t].v)
      if (corner == from) corner = to;
}

void CMeshMender::OrthonormalizeFrames() {
  for (MenderVertex& vertex : *m_vertices) {
    const CVector3& n = vertex.normal;
    const CVector3 t1 = vertex.tangent - n * dot(n, vertex.tangent);
    const CVector3 b1 = vertex.binormal - n * dot(n, vertex.binormal) - t1 * dot(t1, vertex.binormal);
    CVector3 t = Normalized(t1), b = Normalized(b1);
    const float lt = t.Length(), lb = b.Length();
    if (lt > 0.001f && lb > 0.001f) {
      // Nearly parallel: the binormal from the normal and the tangent.
      if (dot(t, b) > 0.999f) b = cross(n, t);
    } else if (lt > 0.5f) {
      b = cross(n, t);
    } else if (lb > 0.5f) {
      t = cross(b, n);
    } else {
      const CVector3 axis = n.y <= n.x ? CVector3(0, 1, 0) : CVector3(1, 0, 0);
      t = cross(n, axis);
      b = cross(n, t);
    }
    vertex.tangent = t;
    vertex.binormal = b;
  }
}
