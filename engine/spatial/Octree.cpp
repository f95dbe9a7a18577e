#include "spatial/Octree.h"

#include <d3dx9math.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <vector>

#include "core/FatalError.h"
#include "core/EngineLog.h"
#include "chunks/ChunkReader.h"
#include "chunks/ChunkWriter.h"
#include "scene/Mesh.h"
#include "scene/NearerHit.h"
#include "scene/UpdateGuard.h"
#include "spatial/BoundBox.h"
#include "spatial/BoundVolumeDrawing.h"

namespace {
const char kNoEntries[] = "Can't Allocate Memory For Octree Entries";

constexpr const char* kSource = "ZK3DOctrees";

// Which half of the parent each child takes: 1 from the centre to the maximum, 0 from the
// minimum to the centre.
constexpr int kOctants[COctree::kChildren][3] = {{1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 0, 0},
                                                 {1, 1, 0}, {1, 1, 1}, {0, 1, 1}, {0, 1, 0}};

constexpr const char* kChildTags[COctree::kChildren] = {"CHL0", "CHL1", "CHL2", "CHL3",
                                                        "CHL4", "CHL5", "CHL6", "CHL7"};
constexpr const char* kBrotherTags[COctree::kBrothers] = {"POSX", "NEGX", "POSY",
                                                          "NEGY", "POSZ", "NEGZ"};
constexpr const char* kBrotherNames[COctree::kBrothers] = {"Positive X", "Negative X",
                                                           "Positive Y", "Negative Y",
                                                           "Positive Z", "Negative Z"};
// Link resolution reports the positive brothers before the negative ones.
constexpr int kResolveOrder[COctree::kBrothers] = {COctree::kPositiveX, COctree::kPositiveY,
                                                   COctree::kPositiveZ, COctree::kNegativeX,
                                                   COctree::kNegativeY, COctree::kNegativeZ};
constexpr const char* kResolveFailures[COctree::kBrothers] = {
    "ERROR!!! - Can't Get Octree (%i) PositiveX Brother\n",
    "ERROR!!! - Can't Get Octree (%i) NegativeX Brother\n",
    "ERROR!!! - Can't Get Octree (%i) PositiveY Brother\n",
    "ERROR!!! - Can't Get Octree (%i) NegativeY Brother\n",
    "ERROR!!! - Can't Get Octree (%i) PositiveZ Brother\n",
    "ERROR!!! - Can't Get Octree (%i) NegativeZ Brother\n"};

constexpr WORD kBoxLines[24] = {0, 1, 1, 2, 2, 3, 3, 0, 0, 4, 1, 5,
                                2, 6, 3, 7, 4, 5, 5, 6, 6, 7, 4, 7};

// A fixed-size sub-chunk after its tag: the size word must be `size`, then `fields` reads the
// payload. Each failure has its message, in the order of the results.
enum { kSizedRead, kSizeUnread, kSizeWrong, kContentUnread };
template <class Fields>
int ReadSized(CChunkReader& reader, uint32_t size, Fields&& fields) {
  uint32_t stored = 0;
  if (!reader.U32(stored)) return kSizeUnread;
  if (stored != size) return kSizeWrong;
  return fields() ? kSizedRead : kContentUnread;
}
constexpr const char* kLinkMessages[3] = {"ERROR!!! - Can't Read Octree::%s Length\n",
                                          "ERROR!!! - Octree::%s Size Mismatch\n",
                                          "ERROR!!! - Can't Get Octree::%s Value\n"};
constexpr const char* kParentMessages[3] = {"ERROR!!! - Can't Read Octree::%s Length\n",
                                            "ERROR!!! - Octree::%s Length Mismatch\n",
                                            "ERROR!!! - Can't Get Octree::%s Value\n"};
constexpr const char* kFieldMessages[3] = {"ERROR!!! - Can't Load Octree::%s Chunk Size\n",
                                           "ERROR!!! - Can't Load Octree::%s, Size Mismatch\n",
                                           "ERROR!!! - Can't Load Octree::%s Content\n"};

float Axis(const CVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float& Axis(CVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

const D3DXVECTOR3* AsD3DX(const CVector3& v) { return reinterpret_cast<const D3DXVECTOR3*>(&v); }

// Whether the octree file keeps the mesh. For an engine mesh what moves it decides (bones, a
// morph target, keys, a moving parent), not whether its last pass recomputed it: every mesh
// counts as changed at its first frame, and a tree saved then must still hold the still ones.
bool IsStatic(CMeshInterface* mesh) {
  if (auto* engineMesh = dynamic_cast<CMesh*>(mesh))
    return !engineMesh->GetGuard()->CanEverChange();
  return mesh->GetIsDynamic() == 0;
}

}  // namespace

COctree::COctree(CEngineLog* log, CD3D9RendererInterface* renderer, COctree* parent,
                 CSceneInterface* scene, const CVector3& min, const CVector3& max,
                 const CVector3& worldCentre, const CVector3& worldExtents, float fMin,
                 UINT* idCounter, WORD level)
    : m_pLog(log),
      m_pRenderer(renderer),
      m_pScene(scene),
      m_pParent(parent),
      m_vecMax(max),
      m_vecMin(min),
      m_wLevel(level) {
  ClearLinkIDs();
  m_vecPosition = CBoundBox::CentreOf(min, max);
  m_vecExtents = CBoundBox::ExtentsOf(max, m_vecPosition);
  m_dwID = *idCounter;
  ++*idCounter;
  const bool subdivides = 2.0f * m_vecExtents.x > fMin && 2.0f * m_vecExtents.y > fMin &&
                          2.0f * m_vecExtents.z > fMin && level < OCTREE_MAX_LEVEL;
  if (subdivides) MakeChildren(worldCentre, worldExtents, fMin, idCounter);
  // A cell that made no child is a leaf, whatever stopped it.
  if (!HasChildren()) AllocateMeshEntries();
}

COctree::COctree(CEngineLog* log, CD3D9RendererInterface* renderer, CSceneInterface* scene)
    : m_pLog(log), m_pRenderer(renderer), m_pScene(scene) {
  ClearLinkIDs();
}

COctree::~COctree() {
  delete[] m_ppMeshes;
  for (COctree*& child : m_pChildren) {
    delete child;
    child = nullptr;
  }
}

void COctree::ClearLinkIDs() {
  m_dwParentID = OCTREE_NO_LINK;
  std::fill(std::begin(m_dwChildIDs), std::end(m_dwChildIDs), OCTREE_NO_LINK);
  std::fill(std::begin(m_dwBrotherIDs), std::end(m_dwBrotherIDs), OCTREE_NO_LINK);
}

bool COctree::HasChildren() const {
  return std::any_of(std::begin(m_pChildren), std::end(m_pChildren),
                     [](const COctree* child) { return child != nullptr; });
}

bool COctree::IsLeaf() const { return !HasChildren(); }

void COctree::MakeChildren(const CVector3& worldCentre, const CVector3& worldExtents, float fMin,
                           UINT* idCounter) {
  for (int child = 0; child < kChildren; ++child) {
    if (*idCounter >= OCTREE_MAX_CELLS) return;
    CVector3 min, max;
    GetOctant(child, &min, &max);
    const CVector3 centre = CBoundBox::CentreOf(min, max);
    if (!CBoundBox::Overlaps(centre, CBoundBox::ExtentsOf(max, centre), worldCentre,
                             worldExtents))
      continue;
    m_pChildren[child] =
        NewOrFatal<COctree>(kNoMemoryTitle, "Can't Allocate Memory For Octree", m_pLog,
                            m_pRenderer, this, m_pScene, min, max, worldCentre, worldExtents, fMin,
                            idCounter, WORD(m_wLevel + 1));
  }
}

void COctree::GetOctant(int child, CVector3* min, CVector3* max) const {
  const int* half = kOctants[child];
  *min = CVector3{half[0] ? m_vecMin.x + m_vecExtents.x : m_vecMin.x,
                  half[1] ? m_vecMin.y + m_vecExtents.y : m_vecMin.y,
                  half[2] ? m_vecMin.z + m_vecExtents.z : m_vecMin.z};
  *max = CVector3{half[0] ? m_vecMax.x : m_vecMax.x - m_vecExtents.x,
                  half[1] ? m_vecMax.y : m_vecMax.y - m_vecExtents.y,
                  half[2] ? m_vecMax.z : m_vecMax.z - m_vecExtents.z};
}

UINT COctree::GetMeshes(CMeshInterface*** entries, UINT* count) {
  if (entries != nullptr) *entries = m_ppMeshes;
  if (count != nullptr) *count = m_wNumberOfEntries;
  return m_wNumberOfEntries;
}

// ---------------------------------------------------------------------------------------------
// Filing meshes

bool COctree::ContainsPoint(const CVector3& p) const {
  return m_vecMin.x <= p.x && p.x < m_vecMax.x && m_vecMin.y <= p.y && p.y < m_vecMax.y &&
         m_vecMin.z <= p.z && p.z < m_vecMax.z;
}

bool COctree::OverlapsMesh(CMeshInterface* mesh) const {
  CMeshBoundVolumeInterface* volume = mesh != nullptr ? mesh->GetBoundingBox(0) : nullptr;
  if (volume == nullptr) return false;
  CVector3 position, extents;
  volume->GetTransformedPosition(&position);
  volume->GetTransformedExtents(&extents);
  return CBoundBox::Overlaps(m_vecPosition, m_vecExtents, position, extents);
}

void COctree::PlaceMesh(CMeshInterface* mesh, UINT slot) {
  m_ppMeshes[slot] = mesh;
  // Only the engine's meshes keep a table of the cells that hold them.
  if (auto* engineMesh = dynamic_cast<CMesh*>(mesh)) engineMesh->PlaceInOctree(this, slot);
}

void COctree::ReplaceEntries(CMeshInterface** entries, WORD count) {
  delete[] m_ppMeshes;
  m_ppMeshes = entries;
  m_wNumberOfEntries = count;
}

void COctree::InsertMesh(CMeshInterface* mesh) {
  if (!OverlapsMesh(mesh)) return;
  if (HasChildren()) {
    for (COctree* child : m_pChildren)
      if (child != nullptr) child->InsertMesh(mesh);
    return;
  }
  if (m_ppMeshes == nullptr) AllocateMeshEntries();
  if (m_ppMeshes == nullptr) return;
  for (UINT slot = 0; slot < m_wNumberOfEntries; ++slot)
    if (m_ppMeshes[slot] == nullptr) {
      PlaceMesh(mesh, slot);
      return;
    }
  if (m_wNumberOfEntries == 0xFFFF) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Octree Box %u Is Full, Can't Add %s\n", m_dwID, mesh->GetName());
    return;
  }
  const UINT grown = m_wNumberOfEntries + 1u;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - Not Enuff Entries For Dynamic Meshes For An Octree Box, Got To Allocate "
        "Additional Memory It (Should Be %i)\n",
        int(grown));
  auto* entries = NewArrayOrFatal<CMeshInterface*>(kNoMemoryTitle, kNoEntries, grown);
  std::copy(m_ppMeshes, m_ppMeshes + m_wNumberOfEntries, entries);
  ReplaceEntries(entries, WORD(grown));
  PlaceMesh(mesh, grown - 1);
}

UINT COctree::RemoveMesh(CMeshInterface* mesh, UINT index) {
  if (m_ppMeshes != nullptr && index < m_wNumberOfEntries && m_ppMeshes[index] == mesh) {
    m_ppMeshes[index] = nullptr;
    return 1;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - Can't Remove Mesh From The Octree Coz There's No Such Mesh In\n");
  return 0;
}

void COctree::LinkBrothers() {
  for (COctree* child : m_pChildren)
    if (child != nullptr) child->LinkBrothers();
  if (m_pParent == nullptr) return;
  COctree* root = m_pParent;
  while (root->m_pParent != nullptr) root = root->m_pParent;
  for (int side = 0; side < kBrothers; ++side) {
    const float step = side % 2 == 0 ? 2.0f : -2.0f;
    CVector3 point = m_vecPosition;
    if (side / 2 == 0) point.x += step * m_vecExtents.x;
    if (side / 2 == 1) point.y += step * m_vecExtents.y;
    if (side / 2 == 2) point.z += step * m_vecExtents.z;
    m_pBrothers[side] = root->FindCellAtLevel(point, m_wLevel);
  }
}

// ---------------------------------------------------------------------------------------------
// Searches

COctree* COctree::FindByID(UINT id) {
  if (m_dwID == id) return this;
  for (COctree* child : m_pChildren)
    if (child != nullptr)
      if (COctree* found = child->FindByID(id)) return found;
  return nullptr;
}

COctree* COctree::FindLeafByPoint(const CVector3& point) {
  COctree* cell = this;
  while (cell->HasChildren()) {
    COctree* next = nullptr;
    for (COctree* child : cell->m_pChildren)
      if (child != nullptr && child->ContainsPoint(point)) {
        next = child;
        break;
      }
    if (next == nullptr) return nullptr;
    cell = next;
  }
  return cell;
}

COctree* COctree::FindCellAtLevel(const CVector3& point, WORD level) {
  if (!ContainsPoint(point)) return nullptr;
  if (m_wLevel == level || !HasChildren()) return this;
  for (COctree* child : m_pChildren)
    if (child != nullptr)
      if (COctree* found = child->FindCellAtLevel(point, level)) return found;
  return nullptr;
}

bool COctree::IntersectsRay(const CRay& ray) const {
  return D3DXBoxBoundProbe(AsD3DX(m_vecMin), AsD3DX(m_vecMax), AsD3DX(ray.vecOrigin),
                           AsD3DX(ray.vecDirection)) != 0;
}

CMeshInterface* COctree::NearestInLeaf(CRay& ray, float* distance, UINT flags,
                                       CVector3* hitPoint) {
  *distance = CBoundBox::kLargest;
  CMeshInterface* nearest = nullptr;
  for (UINT slot = 0; m_ppMeshes != nullptr && slot < m_wNumberOfEntries; ++slot) {
    CMeshInterface* mesh = m_ppMeshes[slot];
    if (mesh == nullptr) continue;
    float d = 0.0f;
    CVector3 point;
    const UINT hit = hitPoint != nullptr ? mesh->CheckIntersectionWith(ray, &d, flags, &point)
                                         : mesh->CheckIntersectionWith(ray, &d, flags);
    // A hit beyond this leaf is left to the leaf it lies in, which may hold a nearer mesh.
    if (hit != 1 || !(d > 0.0f) || !(d < *distance) ||
        !ContainsPoint(ray.vecOrigin + ray.vecDirection * d))
      continue;
    *distance = d;
    nearest = mesh;
    if (hitPoint != nullptr) *hitPoint = point;
  }
  return nearest;
}

CMeshInterface* COctree::FindNearestIntersection(CRay& ray, float* distance, UINT flags) {
  return FindNearestIntersection(ray, distance, flags, nullptr);
}

CMeshInterface* COctree::FindNearestIntersection(CRay& ray, float* distance, UINT flags,
                                                 CVector3* hitPoint) {
  float ignored = 0.0f;
  if (distance == nullptr) distance = &ignored;
  COctree* cell = this;
  // Every step moves to a brother on the side the ray points to, so the walk never returns.
  while (cell != nullptr) {
    COctree* leaf = cell->HasChildren() ? cell->FindLeafByPoint(ray.vecOrigin) : cell;
    if (leaf == nullptr) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Find Octree Box Where The Ray Starts\n");
      return nullptr;
    }
    if (CMeshInterface* mesh = leaf->NearestInLeaf(ray, distance, flags, hitPoint)) return mesh;
    cell = nullptr;
    for (int axis = 0; axis < 3 && cell == nullptr; ++axis) {
      const float component = Axis(ray.vecDirection, axis);
      COctree* brother = component > 0.0f   ? leaf->m_pBrothers[2 * axis]
                         : component < 0.0f ? leaf->m_pBrothers[2 * axis + 1]
                                            : nullptr;
      if (brother != nullptr && brother->IntersectsRay(ray)) cell = brother;
    }
  }
  *distance = CBoundBox::kLargest;
  return nullptr;
}

namespace {

// Whether the half-line from the ray's origin meets the box grown by a margin that absorbs the
// rounding of hit points on shared faces, and where it enters.
bool RayEntersBox(const CRay& ray, const CVector3& min, const CVector3& max, float* entry) {
  float nearest = 0.0f, farthest = CBoundBox::kLargest;
  for (int axis = 0; axis < 3; ++axis) {
    const float margin = 1e-4f * (Axis(max, axis) - Axis(min, axis)) + 1e-6f;
    const float low = Axis(min, axis) - margin, high = Axis(max, axis) + margin;
    const float origin = Axis(ray.vecOrigin, axis), direction = Axis(ray.vecDirection, axis);
    if (direction == 0.0f) {
      if (origin < low || origin > high) return false;
      continue;
    }
    float t0 = (low - origin) / direction, t1 = (high - origin) / direction;
    if (t0 > t1) std::swap(t0, t1);
    nearest = std::max(nearest, t0);
    farthest = std::min(farthest, t1);
    if (!(nearest <= farthest)) return false;
  }
  *entry = nearest;
  return true;
}

}  // namespace

CMeshInterface* COctree::FindNearestInLeavesCrossed(CRay& ray, float* distance, UINT flags,
                                                    CVector3* normal) {
  CMeshInterface* nearest = nullptr;
  std::vector<CMeshInterface*> tested;
  std::vector<COctree*> pending{this};
  while (!pending.empty()) {
    COctree* cell = pending.back();
    pending.pop_back();
    float entry = 0.0f;
    // A cell the ray enters beyond the nearest hit so far cannot hold a nearer one.
    if (!RayEntersBox(ray, cell->m_vecMin, cell->m_vecMax, &entry) || entry > *distance) continue;
    if (cell->HasChildren()) {
      for (COctree* child : cell->m_pChildren)
        if (child != nullptr) pending.push_back(child);
      continue;
    }
    for (UINT slot = 0; cell->m_ppMeshes != nullptr && slot < cell->m_wNumberOfEntries; ++slot) {
      CMeshInterface* mesh = cell->m_ppMeshes[slot];
      if (mesh == nullptr || std::find(tested.begin(), tested.end(), mesh) != tested.end())
        continue;
      tested.push_back(mesh);
      if (TakeNearerHit(mesh, ray, distance, flags, normal)) nearest = mesh;
    }
  }
  return nearest;
}

bool COctree::ListsMeshWherever(CMeshInterface* mesh) const {
  CMeshBoundVolumeInterface* volume = mesh != nullptr ? mesh->GetBoundingBox(0) : nullptr;
  if (volume == nullptr) return false;
  CVector3 position, extents;
  volume->GetTransformedPosition(&position);
  volume->GetTransformedExtents(&extents);
  const CVector3 min = position - extents, max = position + extents;
  for (int axis = 0; axis < 3; ++axis)
    if (!(Axis(min, axis) >= Axis(m_vecMin, axis)) || !(Axis(max, axis) <= Axis(m_vecMax, axis)))
      return false;
  return ListsMeshIn(mesh, min, max);
}

bool COctree::ListsMeshIn(CMeshInterface* mesh, const CVector3& min, const CVector3& max) const {
  if (!HasChildren()) {
    CMeshInterface* const* begin = m_ppMeshes;
    CMeshInterface* const* end = begin + (begin != nullptr ? m_wNumberOfEntries : 0);
    return begin != nullptr && std::find(begin, end, mesh) != end;
  }
  // The part of the box in each octant must lie in the child made for it, which lists it.
  for (int child = 0; child < kChildren; ++child) {
    CVector3 octantMin, octantMax;
    GetOctant(child, &octantMin, &octantMax);
    CVector3 low, high;
    bool reached = true;
    for (int axis = 0; axis < 3; ++axis) {
      Axis(low, axis) = std::max(Axis(min, axis), Axis(octantMin, axis));
      Axis(high, axis) = std::min(Axis(max, axis), Axis(octantMax, axis));
      reached = reached && Axis(low, axis) <= Axis(high, axis);
    }
    if (!reached) continue;
    const COctree* cell = m_pChildren[child];
    if (cell == nullptr) return false;
    for (int axis = 0; axis < 3; ++axis)
      if (!(Axis(cell->m_vecMin, axis) <= Axis(low, axis)) ||
          !(Axis(cell->m_vecMax, axis) >= Axis(high, axis)))
        return false;
    if (!cell->ListsMeshIn(mesh, low, high)) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Collision candidates

bool COctree::CollectMeshes(CMeshInterface** list, UINT* count, UINT capacity) {
  for (UINT slot = 0; m_ppMeshes != nullptr && slot < m_wNumberOfEntries; ++slot) {
    CMeshInterface* mesh = m_ppMeshes[slot];
    if (mesh == nullptr || mesh->GetVisibleByCollisions() != 1) continue;
    if (std::find(list, list + *count, mesh) != list + *count) continue;
    if (*count >= capacity) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Not Enuff Space For Possible Colliders, Only %u Kept\n", capacity);
      return false;
    }
    list[(*count)++] = mesh;
  }
  return true;
}

bool COctree::CollectMeshesAlongZ(CMeshInterface** list, UINT* count, UINT capacity, UINT steps,
                                  COctree* previous) {
  if (!CollectMeshes(list, count, capacity)) return false;
  COctree* cell = this;
  for (; steps > 0; --steps) {
    COctree* next = nullptr;
    if (previous == cell->m_pBrothers[kNegativeZ])
      next = cell->m_pBrothers[kPositiveZ];
    else if (previous == cell->m_pBrothers[kPositiveZ])
      next = cell->m_pBrothers[kNegativeZ];
    if (next == nullptr) break;
    previous = cell;
    cell = next;
    if (!cell->CollectMeshes(list, count, capacity)) return false;
  }
  return true;
}

bool COctree::CollectMeshesInSphere(const CVector3& point, float radius, CMeshInterface** list,
                                    UINT* count, UINT capacity) {
  // Squared distance from the point to this cell's box; a negative or NaN radius reaches nothing.
  float distance = 0.0f;
  for (int axis = 0; axis < 3; ++axis) {
    const float p = Axis(point, axis);
    const float gap = std::max({Axis(m_vecMin, axis) - p, p - Axis(m_vecMax, axis), 0.0f});
    distance += gap * gap;
  }
  if (!(radius >= 0.0f) || !(distance <= radius * radius)) return true;
  if (!HasChildren()) return CollectMeshes(list, count, capacity);
  for (COctree* child : m_pChildren)
    if (child != nullptr && !child->CollectMeshesInSphere(point, radius, list, count, capacity))
      return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// The octree file: cells

UINT COctree::CollectCells(COctree** table, UINT* count, UINT capacity) {
  const UINT start = *count;
  std::vector<COctree*> pending{this};
  while (!pending.empty()) {
    COctree* cell = pending.back();
    pending.pop_back();
    if (*count >= capacity) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
            "ERROR!!! - Can't Save Octree, Not Enuff Temporary Memory\n");
      break;
    }
    table[(*count)++] = cell;
    for (int child = kChildren - 1; child >= 0; --child)
      if (cell->m_pChildren[child] != nullptr) pending.push_back(cell->m_pChildren[child]);
  }
  return *count - start;
}

bool COctree::SaveLinks(CChunkWriter& writer) {
  auto link = [&](const char* tag, COctree* cell, const char* failure) {
    if (cell == nullptr || writer.U32Chunk(tag, cell->GetID())) return true;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save COctree::%s\n", tag);
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "%s", failure);
    return false;
  };
  if (!link("PRNT", m_pParent, "ERROR!!! - Can't Save Octree's Parent\n")) return false;
  char failure[96];
  for (int child = 0; child < kChildren; ++child) {
    std::snprintf(failure, sizeof failure, "ERROR!!! - Can't Save Octree's Child %d\n", child);
    if (!link(kChildTags[child], m_pChildren[child], failure)) return false;
  }
  for (int side = 0; side < kBrothers; ++side) {
    std::snprintf(failure, sizeof failure, "ERROR!!! - Can't Save Octree's %s Brother 0\n",
                  kBrotherNames[side]);
    if (!link(kBrotherTags[side], m_pBrothers[side], failure)) return false;
  }
  return true;
}

bool COctree::SaveMeshes(CChunkWriter& writer) {
  if (m_ppMeshes == nullptr || m_wNumberOfEntries == 0) return true;
  auto fail = [&] {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save COctree::MSHS\n");
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save Octree's Meshes\n");
    return false;
  };
  CChunkWriter::ContainerMark mark;
  if (!writer.BeginContainer("MSHS", mark) || !writer.U32(m_wNumberOfEntries) ||
      !writer.AddToTotal(4))
    return fail();
  // Dynamic meshes are filed again by the next hierarchy pass; only static ones are kept.
  for (UINT slot = 0; slot < m_wNumberOfEntries; ++slot) {
    CMeshInterface* mesh = m_ppMeshes[slot];
    if (mesh == nullptr || !IsStatic(mesh)) continue;
    const UINT meshes = m_pScene != nullptr ? m_pScene->GetNumberOfMeshes() : 0;
    UINT index = 0;
    while (index < meshes && m_pScene->GetMesh(index) != mesh) ++index;
    if (index == meshes) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Save COctree::MESH, Can't Find Mesh In Its Parent Scene\n");
      continue;
    }
    if (!writer.U32Chunk("MESH", index)) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save COctree::MESH\n");
      return fail();
    }
  }
  return writer.EndContainer(mark) || fail();
}

bool COctree::SaveBox(CChunkWriter& writer) {
  struct VectorChunk {
    const char* tag;
    const CVector3* vector;
    const char* failure;
  };
  const VectorChunk vectors[] = {
      {"VPOS", &m_vecPosition, "ERROR!!! - Can't Save Octree's Position\n"},
      {"VEXT", &m_vecExtents, "ERROR!!! - Can't Save Octree's Extents\n"},
      {"VMAX", &m_vecMax, "ERROR!!! - Can't Save Octree's Maximum Point\n"},
      {"VMIN", &m_vecMin, "ERROR!!! - Can't Save Octree's Minimum Point\n"}};
  auto fail = [&](const char* tag, const char* failure) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save COctree::%s\n", tag);
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "%s", failure);
    return false;
  };
  for (const VectorChunk& chunk : vectors) {
    const CVector3& v = *chunk.vector;
    if (!writer.FixedChunk(chunk.tag, 12,
                           [&] { return writer.F32(v.x) && writer.F32(v.y) && writer.F32(v.z); }))
      return fail(chunk.tag, chunk.failure);
  }
  if (!writer.U32Chunk("MYID", m_dwID)) return fail("MYID", "ERROR!!! - Can't Save Octree's ID\n");
  if (!writer.U32Chunk("LEVL", m_wLevel))
    return fail("LEVL", "ERROR!!! - Can't Save Octree's Level\n");
  return true;
}

UINT COctree::Save(FILE* file, UINT* total) {
  CChunkWriter writer(file, *total);
  CChunkWriter::ContainerMark mark;
  if (!writer.BeginContainer("OCTR", mark)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save OCTR\n");
    return 0;
  }
  if (!SaveLinks(writer) || !SaveMeshes(writer) || !SaveBox(writer)) return 0;
  if (!writer.EndContainer(mark) || std::fseek(file, 0, SEEK_END) != 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Save OCTR\n");
    return 0;
  }
  return 1;
}

bool COctree::ReportSized(int result, const char* const* messages, const char* name) const {
  if (result != kSizedRead)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, messages[result - 1], name);
  return result == kSizedRead;
}

bool COctree::ReadLink(CChunkReader& reader, UINT& link, const char* name) {
  uint32_t id = 0;
  // The parent's messages have always read "PNTS" and "Length Mismatch".
  const bool parent = std::strcmp(name, "PNTS") == 0;
  if (!ReportSized(ReadSized(reader, 4, [&] { return reader.U32(id); }),
                   parent ? kParentMessages : kLinkMessages, name))
    return false;
  link = id;
  return true;
}

bool COctree::ReadWord(CChunkReader& reader, UINT& value, const char* tag) {
  uint32_t word = 0;
  if (!ReportSized(ReadSized(reader, 4, [&] { return reader.U32(word); }), kFieldMessages, tag))
    return false;
  value = word;
  return true;
}

bool COctree::ReadVector(CChunkReader& reader, CVector3& vector, const char* tag) {
  CVector3 read;
  if (!ReportSized(ReadSized(reader, 12,
                             [&] {
                               return reader.F32(read.x) && reader.F32(read.y) &&
                                      reader.F32(read.z);
                             }),
                   kFieldMessages, tag))
    return false;
  vector = read;
  return true;
}

bool COctree::ReadMeshes(CChunkReader& reader) {
  uint32_t size = 0;
  if (!reader.U32(size)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Read Octree::MSHS Length\n");
    return false;
  }
  CChunkReader::Payload payload(reader, size);
  if (!payload.Fits()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Read Octree::MSHS Size Mismatch: %i - %i\n", int(size),
          int(reader.BytesLeft()));
    return false;
  }
  uint32_t count = 0;
  if (!reader.U32(count)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Read Octree::MSHS Content\n");
    return false;
  }
  if (count > 0xFFFF) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Read Octree::MSHS, Too Many Entries: %u\n", count);
    return false;
  }
  std::unique_ptr<CMeshInterface*[]> entries(count > 0 ? new CMeshInterface*[count]() : nullptr);
  const UINT meshes = m_pScene != nullptr ? m_pScene->GetNumberOfMeshes() : 0;
  uint32_t read = 0;
  while (reader.NextTagIs("MESH")) {
    if (read == count) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Read Octree::MSHS, Too Many Meshes In SubChunks: %i - %i\n",
            int(read), int(count));
      return false;
    }
    UINT index = 0;
    if (!ReadLink(reader, index, "MESH")) return false;
    if (index >= meshes) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Read Octree::MESH, No Mesh %u In The Scene\n", index);
      return false;
    }
    entries[read++] = m_pScene->GetMesh(index);
  }
  const uint64_t consumed = 4 + 12 * uint64_t{read};
  if (consumed != size) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Read Octree::MSHS Size Mismatch: %i - %i\n", int(size), int(consumed));
    return false;
  }
  // An empty list leaves the cell to AllocateMeshEntries, like a cell without MSHS.
  if (count > 0) ReplaceEntries(entries.release(), WORD(count));
  return true;
}

int COctree::ReadSubChunk(CChunkReader& reader, const ChunkTag& tag) {
  auto done = [](bool read) { return read ? kSubChunkRead : kSubChunkFailed; };
  if (tag.Is("PRNT")) return done(ReadLink(reader, m_dwParentID, "PNTS"));
  for (int child = 0; child < kChildren; ++child)
    if (tag.Is(kChildTags[child])) return done(ReadLink(reader, m_dwChildIDs[child], tag.Text()));
  for (int side = 0; side < kBrothers; ++side)
    if (tag.Is(kBrotherTags[side]))
      return done(ReadLink(reader, m_dwBrotherIDs[side], tag.Text()));
  if (tag.Is("MSHS")) return done(ReadMeshes(reader));
  if (tag.Is("VPOS")) return done(ReadVector(reader, m_vecPosition, tag.Text()));
  if (tag.Is("VEXT")) return done(ReadVector(reader, m_vecExtents, tag.Text()));
  if (tag.Is("VMAX")) return done(ReadVector(reader, m_vecMax, tag.Text()));
  if (tag.Is("VMIN")) return done(ReadVector(reader, m_vecMin, tag.Text()));
  if (tag.Is("MYID")) return done(ReadWord(reader, m_dwID, tag.Text()));
  if (!tag.Is("LEVL")) return kSubChunkUnknown;
  UINT level = 0;
  if (!ReadWord(reader, level, tag.Text())) return kSubChunkFailed;
  if (level > OCTREE_MAX_LEVEL) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Load Octree::LEVL, Level %u Too Deep\n", level);
    return kSubChunkFailed;
  }
  m_wLevel = WORD(level);
  return kSubChunkRead;
}

UINT COctree::Load(CChunkReader& reader) {
  uint32_t length = 0;
  if (!reader.U32(length)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Read Octree::OCTR Length\n");
    return 0;
  }
  CChunkReader::Payload payload(reader, length);
  if (!payload.Fits()) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Octree::OCTR Size Mismatch\n");
    return 0;
  }
  ClearLinkIDs();
  while (!reader.AtEnd()) {
    ChunkTag tag;
    if (!reader.Tag(tag)) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Read Octree::OCTR SubChunk\n");
      return 0;
    }
    const int result = ReadSubChunk(reader, tag);
    if (result == kSubChunkFailed) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Load Octree::%s\n",
            tag.Text());
      return 0;
    }
    // An unknown sub-chunk is skipped by its size, which must stay inside this cell's chunk.
    if (result == kSubChunkUnknown && !reader.SkipChunk()) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Octree::%s Size Mismatch\n",
            tag.Text());
      return 0;
    }
  }
  return 1;
}

COctree* COctree::FindLoadedCell(UINT id, COctree** table, UINT count) {
  if (id < count && table[id] != nullptr && table[id]->m_dwID == id) return table[id];
  for (UINT i = 0; i < count; ++i)
    if (table[i] != nullptr && table[i]->m_dwID == id) return table[i];
  return nullptr;
}

COctree* COctree::ResolveLink(UINT id, COctree** table, UINT count, const char* failure,
                              int index) {
  if (id == OCTREE_NO_LINK) return nullptr;
  COctree* cell = FindLoadedCell(id, table, count);
  if (cell == nullptr) LogTo(m_pLog, kSource, CEngineLog::kLevelError, failure, int(m_dwID), index);
  return cell;
}

UINT COctree::ResolveLinks(COctree** table, UINT count) {
  for (int child = 0; child < kChildren; ++child)
    m_pChildren[child] = ResolveLink(m_dwChildIDs[child], table, count,
                                     "ERROR!!! - Can't Get Octree (%i) Child[ %i ]\n", child);
  m_pParent =
      ResolveLink(m_dwParentID, table, count, "ERROR!!! - Can't Get Octree (%i) Parent\n", 0);
  for (int side : kResolveOrder)
    m_pBrothers[side] =
        ResolveLink(m_dwBrotherIDs[side], table, count, kResolveFailures[side], 0);
  return 1;
}

UINT COctree::AllocateMeshEntries() {
  if (HasChildren() || m_ppMeshes != nullptr) return 1;
  ReplaceEntries(NewArrayOrFatal<CMeshInterface*>(kNoMemoryTitle, kNoEntries, OCTREE_LEAF_ENTRIES),
                 OCTREE_LEAF_ENTRIES);
  return 1;
}

void COctree::AnnounceMeshes() {
  for (UINT slot = 0; m_ppMeshes != nullptr && slot < m_wNumberOfEntries; ++slot)
    if (m_ppMeshes[slot] != nullptr) PlaceMesh(m_ppMeshes[slot], slot);
}

void COctree::DropChildren() { std::fill(std::begin(m_pChildren), std::end(m_pChildren), nullptr); }

// ---------------------------------------------------------------------------------------------
// Debug drawing

UINT COctree::DrawBoxAtPoint(const CVector3& point) {
  COctree* cell = ContainsPoint(point) ? GetCellByPoint(point) : nullptr;
  if (cell == nullptr) return 0;
  cell->DrawBox();
  return 1;
}

UINT COctree::DrawBoxWithID(int id) {
  COctree* cell = id >= 0 ? GetCellByID(static_cast<UINT>(id)) : nullptr;
  if (cell == nullptr) return 0;
  cell->DrawBox();
  return 1;
}

void COctree::DrawBoxes(UINT recurse) {
  if (m_pRenderer == nullptr) return;
  const CVector3& a = m_vecMin;
  const CVector3& b = m_vecMax;
  const CVector3 corners[8] = {{a.x, a.y, a.z}, {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, a.y, a.z},
                               {a.x, b.y, a.z}, {a.x, b.y, b.z}, {b.x, b.y, b.z}, {b.x, b.y, a.z}};
  CBoundVolumeDrawing::DrawLines(m_pRenderer, CMatrix::Identity(), corners, 8, kBoxLines, 12,
                                 OCTREE_DEBUG_COLOR);
  if (recurse != 1) return;
  for (COctree* child : m_pChildren)
    if (child != nullptr) child->DrawBoxes(1);
}
