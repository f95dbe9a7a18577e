#include "lightwave/LWOObjectProcessor.h"

#include <cmath>
#include <memory>
#include <vector>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3dx9.h"
#include "dxerr9.h"
#include "scene/ImportRecordHelpers.h"
#include "lightwave/LWOChunkHelpers.h"
#include "lightwave/LWOSmoothingGroups.h"
#include "lightwave/LWOVertexMultiplier.h"
#include "lightwave/MeshMender.h"
#include "scene/Scene.h"
#include "scene/SurfaceProjection.h"
#include "spatial/EdgeList.h"

namespace {

constexpr const char* kSource = "LWOProcessing";
// Point indices are 16 bits, and one value stays free.
constexpr UINT kMaxPoints = 65534;
// A normal this short is taken as no normal at all.
constexpr float kDegenerateNormal = 0.0001f;
constexpr WORD kUnmapped = 0xFFFF;

CEngineLog* Log() { return GetEngineContext()->pLog; }

template <class T>
struct ReleaseCom {
  void operator()(T* object) const { object->Release(); }
};
template <class T>
using ComPtr = std::unique_ptr<T, ReleaseCom<T>>;

[[noreturn]] void MeshFailure(const char* format, HRESULT result) {
  FatalErrorWithTitle("", format, DXGetErrorString9A(result), DXGetErrorDescription9A(result));
}

// Locks the whole of a mesh buffer (taking over the reference the mesh handed out), lets
// `write` fill it and unlocks it; a lock that fails is fatal with `failure`.
template <class Buffer, class Write>
void FillBuffer(Buffer* buffer, const char* failure, const Write& write) {
  const ComPtr<Buffer> owner(buffer);
  void* data = nullptr;
  const HRESULT result = owner->Lock(0, 0, &data, 0);
  if (FAILED(result)) MeshFailure(failure, result);
  write(data);
  owner->Unlock();
}

bool HasProjection(const LWOSurfaceChannel& channel) {
  return CSurfaceProjection::IsKnown(channel.projection);
}

}  // namespace

UINT LWOObjectProcessor::Process() {
  ResolveTags();
  LinkFaces();
  CalculateFaceNormals();
  AssignProjectedMaps();
  ProjectCoordinates();
  const bool edgesBuilt = BuildEdges();
  RepairDegenerateNormals();
  // Smoothing groups are found across the edges, so only when they were built.
  if (edgesBuilt) {
    LWOSmoothingGroups(m_buffer).CalculateSmoothingGroups();
    LWOVertexMultiplier(m_buffer).MultiplyVertices();
    LinkFaces();
  }
  RecalculateVertexIndices();
  CalculateVertexNormals();
  LWOVertexMultiplier(m_buffer).MultiplyVerticesForVMAD(0);
  RecalculateVertexIndices();
  CScene::ComplementImportedPointValues(m_buffer);
  LinkFaces();
  MendTangentSpace();
  OptimizeMesh();
  BuildSurfaceIndexLists();
  return 1;
}

void LWOObjectProcessor::ResolveTags() {
  LWOImportBuffer& b = m_buffer;
  for (UINT f = 0; f < b.faceCount; ++f) {
    LWOFace& face = b.faces[f];
    // A face whose tag is past the table (or with no table) names no surface either.
    if (face.tag < b.tagCount && b.tags[face.tag].isSurface == 1) {
      face.tag = b.tags[face.tag].surfaceIndex;
      continue;
    }
    for (UINT t = 0; t < b.tagCount; ++t)
      LogTo(Log(), kSource, CEngineLog::kLevelInfo, "TAG: %i - %s, %i, %i\n", int(t), b.tags[t].name,
            int(b.tags[t].isSurface), int(b.tags[t].surfaceIndex));
    FatalErrorWithTitle(kLwoLoadTitle, "Can't Get TAGS Reference: %s - %i - %s\n", b.fileName,
                        int(face.tag), face.tag < b.tagCount ? b.tags[face.tag].name : "");
  }
}

void LWOObjectProcessor::LinkFaces() {
  LWOImportBuffer& b = m_buffer;
  for (UINT f = 0; f < b.faceCount; ++f) {
    LWOFace& face = b.faces[f];
    for (UINT k = 0; k < 3; ++k) face.corner[k] = &b.points[face.v[k]];
    face.surfaceRecord = &b.surfaces[face.tag];
  }
}

void LWOObjectProcessor::CalculateFaceNormals() {
  for (UINT f = 0; f < m_buffer.faceCount; ++f) {
    LWOFace& face = m_buffer.faces[f];
    const CVector3& p0 = face.corner[0]->position;
    const CVector3 a = face.corner[1]->position - p0;
    const CVector3 c = face.corner[2]->position - p0;
    face.normal = CVector3(a.y * c.z - a.z * c.y, a.z * c.x - a.x * c.z, a.x * c.y - a.y * c.x);
    face.normal.Normalize();
  }
}

void LWOObjectProcessor::AssignProjectedMaps() {
  for (UINT s = 0; s < m_buffer.surfaceCount; ++s)
    for (UINT c : {LWO_CHANNEL_COLOR, LWO_CHANNEL_SECOND_COLOR}) {
      LWOSurfaceChannel& channel = m_buffer.surfaces[s].channel[c];
      if (HasProjection(channel)) channel.uvMap = static_cast<INT>(m_nextProjectedMap++);
    }
}

void LWOObjectProcessor::ProjectCoordinates() {
  for (UINT f = 0; f < m_buffer.faceCount; ++f) {
    const LWOFace& face = m_buffer.faces[f];
    const LWOSurface& surface = *face.surfaceRecord;
    const LWOSurfaceChannel& channel = surface.channel[LWO_CHANNEL_COLOR];
    if (!HasProjection(channel)) continue;
    for (LWOPoint* point : face.corner) {
      LWOUVEntry entry = {};
      surface.ProjectUV(LWO_CHANNEL_COLOR, point->position.x, point->position.y,
                        point->position.z, &entry.u, &entry.v, face.normal.x, face.normal.y,
                        face.normal.z);
      entry.polygon = f;
      entry.perPolygon = 1;
      entry.uvMap = static_cast<UINT>(channel.uvMap);
      m_buffer.AppendUVEntry(*point, 0, entry);
    }
  }
}

bool LWOObjectProcessor::BuildEdges() {
  LWOImportBuffer& b = m_buffer;
  Edge* edges = nullptr;
  UINT count = 0;
  const UINT built = BuildEdgeList(&edges, &count, b.faces, b.faceCount, Log());
  // The edges are kept however far they were built.
  b.edges.reset(edges);
  b.edgeCount = count;
  if (built != 0) return true;
  LogTo(Log(), kSource, CEngineLog::kLevelError,
        "ERROR!!! - Can't Compute Edges: The Edge Can't Belong To More Than 2 Faces (%s)\n",
        b.fileName);
  return false;
}

void LWOObjectProcessor::RepairDegenerateNormals() {
  for (UINT f = 0; f < m_buffer.faceCount; ++f) {
    LWOFace& face = m_buffer.faces[f];
    if (face.normal.Length() > kDegenerateNormal) continue;
    CVector3 sum;
    UINT neighbours = 0;
    for (const Edge* edge : face.edge) {
      if (edge == nullptr || edge->pOwner1 == nullptr || edge->pOwner2 == nullptr) continue;
      const Face* other = edge->pOwner1 == reinterpret_cast<Face*>(&face) ? edge->pOwner2 : edge->pOwner1;
      sum = sum + reinterpret_cast<const LWOFace*>(other)->normal;
      ++neighbours;
    }
    // A face with no neighbour keeps its zero normal.
    if (neighbours == 0) continue;
    face.normal = sum * (1.0f / float(neighbours));
    face.normal.Normalize();
  }
}

void LWOObjectProcessor::RecalculateVertexIndices() {
  if (m_buffer.pointCount > kMaxPoints)
    FatalErrorWithTitle("Error While Recalculating Vertex Indices", "Too Many Vertices (%s)",
                        m_buffer.fileName);
  for (UINT i = 0; i < m_buffer.pointCount; ++i) m_buffer.points[i].index16 = static_cast<WORD>(i);
}

void LWOObjectProcessor::CalculateVertexNormals() {
  LWOImportBuffer& b = m_buffer;
  for (UINT i = 0; i < b.pointCount; ++i) {
    b.points[i].normal = CVector3();
    b.points[i].cornerCount = 0;
  }
  for (UINT f = 0; f < b.faceCount; ++f)
    for (LWOPoint* corner : b.faces[f].corner) {
      corner->normal = corner->normal + b.faces[f].normal;
      ++corner->cornerCount;
    }
  for (UINT i = 0; i < b.pointCount; ++i) {
    LWOPoint& point = b.points[i];
    if (point.cornerCount == 0) continue;
    point.normal = point.normal * (1.0f / float(point.cornerCount));
    point.normal.Normalize();
  }
}

void LWOObjectProcessor::MendTangentSpace() {
  LWOImportBuffer& b = m_buffer;
  std::vector<MenderVertex> vertices(b.pointCount);
  for (UINT i = 0; i < b.pointCount; ++i) {
    const LWOPoint& point = b.points[i];
    vertices[i] = {point.position, point.normal, point.uv[0].u, point.uv[0].v, {}, {}};
  }
  std::vector<UINT> indices;
  indices.reserve(size_t{b.faceCount} * 3);
  for (UINT f = 0; f < b.faceCount; ++f) indices.insert(indices.end(), b.faces[f].v, b.faces[f].v + 3);
  std::vector<UINT> mapping;
  mapping.reserve(b.pointCount);
  {
    CMeshMender mender;
    if (!mender.Mend(vertices, indices, mapping, 0.0f, 0.0f, 0.0f, 1.0f, 0, 0, 0))
      FatalErrorWithTitle("", "Can't Mend");
  }
  LogTo(Log(), kSource, CEngineLog::kLevelInfo, "  - Mender (%s): %i - %i\n", b.fileName,
        int(b.pointCount), int(vertices.size()));
  // Copies at mirror seams can pass what 16-bit corners name: the limit of the vertex indices.
  const UINT count = static_cast<UINT>(vertices.size());
  if (count > kMaxPoints)
    FatalErrorWithTitle("Error While Recalculating Vertex Indices", "Too Many Vertices (%s)",
                        b.fileName);
  UINT capacity = 0;
  std::unique_ptr<LWOPoint[]> points = b.TakePointArray(count, capacity);
  if (points == nullptr && count > 0)
    FatalErrorWithTitle("", "Can't Allocate Memory For Mended Vertices (%s)", b.fileName);
  for (UINT i = 0; i < count; ++i) {
    const MenderVertex& vertex = vertices[i];
    const LWOPoint& source = b.points[mapping[i]];
    LWOPoint& point = points[i];
    point = LWOPoint{};
    point.position = vertex.position;
    point.normal = vertex.normal;
    point.tangent = vertex.tangent;
    point.binormal = vertex.binormal;
    point.uv[0].u = vertex.s;
    point.uv[0].v = vertex.t;
    point.uv[1].u = source.uv[1].u;
    point.uv[1].v = source.uv[1].v;
    point.index16 = source.index16;
    point.index = source.index;
    point.weightCount = source.weightCount;
    // The last four words of the reserved block.
    std::copy(std::end(source.reserved) - 16, std::end(source.reserved), std::end(point.reserved) - 16);
  }
  for (UINT f = 0; f < b.faceCount; ++f)
    for (UINT k = 0; k < 3; ++k) b.faces[f].v[k] = static_cast<WORD>(indices[size_t{f} * 3 + k]);
  b.ReplacePoints(std::move(points), count, capacity);
  LinkFaces();
}

void LWOObjectProcessor::OptimizeMesh() {
  LWOImportBuffer& b = m_buffer;
  // The optimiser refuses an empty mesh, and an object without faces has nothing to order.
  if (b.faceCount == 0) return;
  static const D3DVERTEXELEMENT9 kLayout[] = {
      {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
  // The mesh lives in system memory, which needs no device.
  LPD3DXMESH created = nullptr;
  HRESULT result = D3DXCreateMesh(b.faceCount, b.pointCount, D3DXMESH_SYSTEMMEM, kLayout, nullptr,
                                  &created);
  if (FAILED(result))
    FatalErrorWithTitle("", "Can't Create ID3DXMesh( %i, %i)\n%s - %s\n", int(b.faceCount),
                        int(b.pointCount), DXGetErrorString9A(result),
                        DXGetErrorDescription9A(result));
  const ComPtr<ID3DXMesh> mesh(created);

  // The vertices carry only which point they are: the optimiser merges nothing, so its remap
  // tells which point each new vertex is.
  LPDIRECT3DINDEXBUFFER9 indexBuffer = nullptr;
  mesh->GetIndexBuffer(&indexBuffer);
  FillBuffer(indexBuffer, "Can't LOCK IB ID3DXMesh\n%s - %s\n", [&b](void* data) {
    WORD* index = static_cast<WORD*>(data);
    for (UINT f = 0; f < b.faceCount; ++f)
      for (WORD corner : b.faces[f].v) *index++ = corner;
  });
  LPDIRECT3DVERTEXBUFFER9 vertexBuffer = nullptr;
  mesh->GetVertexBuffer(&vertexBuffer);
  FillBuffer(vertexBuffer, "Can't LOCK VB ID3DXMesh\n%s - %s\n", [&b](void* data) {
    float* vertex = static_cast<float*>(data);
    for (UINT i = 0; i < b.pointCount; ++i) {
      const float f = float(b.points[i].index16);
      *vertex++ = f;
      *vertex++ = f;
      *vertex++ = f;
    }
  });
  LPD3DXBUFFER remapBuffer = nullptr;
  result = mesh->OptimizeInplace(D3DXMESHOPT_COMPACT | D3DXMESHOPT_DEVICEINDEPENDENT, nullptr,
                                 nullptr, nullptr, &remapBuffer);
  if (FAILED(result)) MeshFailure("Can't Optimize ID3DXMesh\n%s - %s\n", result);
  const ComPtr<ID3DXBuffer> remapOwner(remapBuffer);
  const UINT count = mesh->GetNumVertices();
  LogTo(Log(), kSource, CEngineLog::kLevelInfo,
        "  - Optimized Number Of Vertices Is %i ( Was %i ), Faces %i ( Was %i )\n", int(count),
        int(b.pointCount), int(mesh->GetNumFaces()), int(b.faceCount));

  const DWORD* remap = static_cast<const DWORD*>(remapOwner->GetBufferPointer());
  // Where each old point went: the first remap entry naming it wins.
  std::vector<UINT> newIndex(b.pointCount, kUnmapped);
  for (UINT i = 0; i < count; ++i) {
    if (remap[i] >= b.pointCount)
      FatalErrorWithTitle("", "Exceeded Optimized Vertex Index: %i (%s)\n", int(remap[i]), b.fileName);
    UINT& slot = newIndex[remap[i] & 0xFFFF];
    if (slot == kUnmapped) slot = i;
  }
  for (UINT f = 0; f < b.faceCount; ++f)
    for (WORD& corner : b.faces[f].v) {
      if (newIndex[corner] != kUnmapped) corner = static_cast<WORD>(newIndex[corner]);
      if (corner >= count)
        FatalErrorWithTitle("", "Exceeded Optimized Vertex Index: %i (%s)\n", int(corner), b.fileName);
    }
  ReorderPoints(remap, count);
  LinkFaces();

  UINT unused = 0;
  for (UINT i = 0; i < b.pointCount; ++i) b.points[i].used = 0;
  for (UINT f = 0; f < b.faceCount; ++f)
    for (WORD corner : b.faces[f].v) b.points[corner].used = 1;
  for (UINT i = 0; i < b.pointCount; ++i) unused += b.points[i].used == 0 ? 1 : 0;
  LogTo(Log(), kSource, CEngineLog::kLevelInfo, "  - Final Number Of Vertices Is: %i (%i Unused!!!)\n",
        int(b.pointCount), int(unused));
}

void LWOObjectProcessor::ReorderPoints(const DWORD* remap, UINT count) {
  LWOImportBuffer& b = m_buffer;
  // Point i of the new order is point remap[i]; a remap that names a point twice (which the
  // optimiser never gives) gets copies in a new array.
  std::vector<BYTE> named(b.pointCount, 0);
  bool permutation = true;
  for (UINT i = 0; i < count && permutation; ++i) permutation = named[remap[i]]++ == 0;
  if (!permutation) {
    std::unique_ptr<LWOPoint[]> points;
    UINT allocated = 0;
    if (!AllocateZeroed(points, allocated, count))
      FatalErrorWithTitle("", "Can't Allocate Memory For Optimized Vertices\n");
    for (UINT i = 0; i < count; ++i) points[i] = b.points[remap[i]];
    b.ReplacePoints(std::move(points), count);
    return;
  }
  // Otherwise the points move within their array, by the cycles of the order completed with
  // the points left out: tens of megabytes are neither allocated nor copied twice.
  std::vector<UINT> source(remap, remap + count);
  for (UINT old = 0; old < b.pointCount; ++old)
    if (named[old] == 0) source.push_back(old);
  std::vector<BYTE> placed(b.pointCount, 0);
  for (UINT start = 0; start < b.pointCount; ++start) {
    if (placed[start] != 0 || source[start] == start) continue;
    const LWOPoint held = b.points[start];
    UINT to = start;
    while (source[to] != start) {
      b.points[to] = b.points[source[to]];
      placed[to] = 1;
      to = source[to];
    }
    b.points[to] = held;
    placed[to] = 1;
  }
  b.pointCount = count;
}

void LWOObjectProcessor::BuildSurfaceIndexLists() {
  LWOImportBuffer& b = m_buffer;
  UINT faces[LWOImportBuffer::kMaxSurfaces] = {};
  for (UINT f = 0; f < b.faceCount; ++f) ++faces[b.faces[f].tag];
  for (UINT s = 0; s < b.surfaceCount; ++s)
    if (faces[s] * 3 > LWOSurface::kMaxIndices)
      FatalErrorWithTitle(kLwoTitle, "Too Much Indiecs, Change ZEKORB_MAX_INDICES (%s, %i)",
                          b.fileName, int(faces[s] * 3));
  UINT written[LWOImportBuffer::kMaxSurfaces] = {};
  for (UINT f = 0; f < b.faceCount; ++f) {
    LWOSurface& surface = b.surfaces[b.faces[f].tag];
    for (WORD corner : b.faces[f].v) surface.indices[written[b.faces[f].tag]++] = corner;
  }
  for (UINT s = 0; s < b.surfaceCount; ++s)
    b.surfaces[s].indexCount = b.surfaces[s].indexCountCopy = static_cast<WORD>(faces[s] * 3);
}
