#include "spatial/MeshBoundVolume.h"

#include <d3dx9math.h>

#include <algorithm>
#include <utility>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/Bone.h"
#include "spatial/BoundBox.h"
#include "spatial/BoundVolumeDrawing.h"

namespace {

const char kSource[] = ".\\Sources\\ZKMeshBoundVolume";
constexpr WORD kNoBone = 0xFFFF;

const D3DXVECTOR3* AsD3DX(const CVector3& v) { return reinterpret_cast<const D3DXVECTOR3*>(&v); }

// The box's twelve triangles, two per face, and per face the corner and the two edges whose
// cross product is the face's outward normal.
struct ProbeFace {
  int triangles[2][3];
  int origin, edgeA, edgeB;
};
constexpr ProbeFace kProbeFaces[6] = {
    {{{0, 2, 1}, {1, 2, 3}}, 0, 2, 1},  // minimum z
    {{{2, 6, 3}, {3, 6, 7}}, 2, 6, 3},  // maximum y
    {{{1, 3, 5}, {5, 3, 7}}, 1, 3, 5},  // maximum x
    {{{1, 4, 0}, {1, 5, 4}}, 1, 4, 0},  // minimum y
    {{{5, 6, 4}, {5, 7, 6}}, 5, 6, 4},  // maximum z
    {{{4, 2, 0}, {4, 6, 2}}, 4, 2, 0},  // minimum x
};

}  // namespace

CMeshBoundVolume::CMeshBoundVolume(std::unique_ptr<CMeshBoundVolumeOwner> owner)
    : m_pOwner(std::move(owner)) {}

// --- records ---

const CMeshBoundVolume::Record* CMeshBoundVolume::CurrentRecord() const {
  if (m_Records.empty()) return nullptr;
  if (m_Records.size() == 1 || m_pOwner == nullptr) return &m_Records.front();
  const float frame = m_pOwner->GetMatrixFrame();
  // A frame before the first key, after the last or not a number falls to the last record.
  for (size_t i = 0; i + 1 < m_Records.size(); ++i)
    if (m_Records[i].fTime <= frame && frame < m_Records[i + 1].fTime) return &m_Records[i];
  return &m_Records.back();
}

const CMeshBoundVolume::Record* CMeshBoundVolume::GetRecord(UINT index) const {
  return index < m_Records.size() ? &m_Records[index] : nullptr;
}

void CMeshBoundVolume::SetRecords(std::vector<Record> records) { m_Records = std::move(records); }

CMeshBoundVolume::Record CMeshBoundVolume::RecordFromPositions(
    const std::vector<CVector3>& positions, float time) {
  Record record;
  record.fTime = time;
  CVector3 minimum = positions.front(), maximum = positions.front();
  for (const CVector3& p : positions) {
    for (int axis = 0; axis < 3; ++axis) {
      const float value = (&p.x)[axis];
      if (value > (&maximum.x)[axis])
        (&maximum.x)[axis] = value;
      else if (value < (&minimum.x)[axis])
        (&minimum.x)[axis] = value;
    }
  }
  record.vecMin = minimum;
  record.vecMax = maximum;
  record.vecCentre = CBoundBox::CentreOf(minimum, maximum);
  record.vecExtents = CBoundBox::ExtentsOf(maximum, record.vecCentre);
  CBoundBox::FillCorners(record.vecCorners, minimum, maximum);
  return record;
}

const char* CMeshBoundVolume::OwnerName() {
  CMeshInterface* mesh = m_pOwner != nullptr ? m_pOwner->GetMeshInterface() : nullptr;
  const char* name = mesh != nullptr ? mesh->GetName() : nullptr;
  return name != nullptr ? name : "";
}

void CMeshBoundVolume::Calculate() {
  const Vertex* vertices = m_pOwner != nullptr ? m_pOwner->GetVertices() : nullptr;
  const UINT count = vertices != nullptr ? m_pOwner->GetNumberOfVertices() : 0;
  if (count == 0) FatalError("Can't Be No Vertices In A Mesh");

  m_Records.clear();
  std::vector<float> times;
  if (m_pOwner->IsBoned()) times = CollectKeyTimes();
  // Bones without keys give no time to take a box at: the undeformed box stands for every
  // frame, so that the per-frame passes always have a record to read.
  if (times.empty())
    CalculateRigid(vertices, count);
  else
    CalculateBoned(vertices, count, times);
}

void CMeshBoundVolume::CalculateRigid(const Vertex* vertices, UINT count) {
  std::vector<CVector3> positions(count);
  for (UINT i = 0; i < count; ++i) positions[i] = vertices[i].vecPosition;
  m_Records.push_back(RecordFromPositions(positions, 0.0f));
}

std::vector<float> CMeshBoundVolume::CollectKeyTimes() {
  std::vector<float> times;
  for (UINT b = 0; b < m_pOwner->GetNumberOfBones(); ++b) {
    CBone* bone = m_pOwner->GetBone(b);
    if (bone == nullptr) continue;
    CMotion* motion = bone->GetMotion();
    for (UINT c = 0; c < motion->GetNumberOfChannels(); ++c) {
      CChannelEnvelope* channel = motion->GetChannel(c);
      if (channel == nullptr) continue;
      for (UINT k = 0; k < channel->GetNumberOfKeys(); ++k) {
        CKeyInterface* key = channel->GetKey(k);
        if (key == nullptr) continue;
        const float time = key->GetKeyTime();
        if (std::find(times.begin(), times.end(), time) == times.end()) times.push_back(time);
      }
    }
  }
  std::sort(times.begin(), times.end());
  return times;
}

void CMeshBoundVolume::CalculateBoned(const Vertex* vertices, UINT count,
                                      const std::vector<float>& times) {
  const UINT boneCount = m_pOwner->GetNumberOfBones();
  bool reportedBadBone = false;
  std::vector<CVector3> positions(count);
  for (float time : times) {
    // Every bone evaluates before any builds: a bone's build reads its parent's evaluation.
    for (UINT b = 0; b < boneCount; ++b)
      if (CBone* bone = m_pOwner->GetBone(b)) bone->Evaluate(time);
    for (UINT b = 0; b < boneCount; ++b)
      if (CBone* bone = m_pOwner->GetBone(b)) bone->BuildMatrices(time);

    for (UINT i = 0; i < count; ++i) {
      const Vertex& vertex = vertices[i];
      CVector3 deformed;
      bool anySlot = false;
      for (int slot = 0; slot < 4; ++slot) {
        const WORD index = vertex.wBonesIndices[slot];
        if (index == kNoBone) continue;
        CBone* bone = index < boneCount ? m_pOwner->GetBone(index) : nullptr;
        if (bone == nullptr) {
          if (!reportedBadBone && m_pOwner->GetLog() != nullptr)
            m_pOwner->GetLog()->Log(
                kSource, __LINE__, CEngineLog::kLevelError,
                "WARNING!!! - Vertex %u Of Mesh %s Uses Bone %u But The Mesh Has %u Bones\n", i,
                OwnerName(), static_cast<UINT>(index), boneCount);
          reportedBadBone = true;
          continue;
        }
        deformed = deformed + (vertex.vecPosition * *bone->GetBoneMatrix(time)) *
                                  vertex.fWeights[slot];
        anySlot = true;
      }
      // A vertex with no usable bone stays where it was modelled.
      positions[i] = anySlot ? deformed : vertex.vecPosition;
    }
    m_Records.push_back(RecordFromPositions(positions, time));
  }
}

// --- transformed boxes ---

void CMeshBoundVolume::TransformBox(CMatrix* matrix) {
  const Record* record = CurrentRecord();
  if (record == nullptr || matrix == nullptr) return;
  CBoundBox::TransformCorners(m_vecTransformedPoints, record->vecCorners, *matrix);
  const CVector3 minimum = CBoundBox::MinimumOf(m_vecTransformedPoints);
  const CVector3 maximum = CBoundBox::MaximumOf(m_vecTransformedPoints);
  m_vecTransformedPosition = CBoundBox::CentreOf(minimum, maximum);
  m_vecTransformedExtents = CBoundBox::ExtentsOf(maximum, m_vecTransformedPosition);
}

CVector3* CMeshBoundVolume::TransformAABB(CMatrix* matrix) {
  const Record* record = CurrentRecord();
  if (record == nullptr || matrix == nullptr) return &m_vecAlignedExtents;
  CBoundBox::TransformCorners(m_vecAlignedPoints, record->vecCorners, *matrix);
  m_vecAlignedMin = CBoundBox::MinimumOf(m_vecAlignedPoints);
  m_vecAlignedMax = CBoundBox::MaximumOf(m_vecAlignedPoints);
  m_vecAlignedPosition = CBoundBox::CentreOf(m_vecAlignedMin, m_vecAlignedMax);
  m_vecAlignedExtents = CBoundBox::ExtentsOf(m_vecAlignedMax, m_vecAlignedPosition);
  return &m_vecAlignedExtents;
}

CVector3* CMeshBoundVolume::GetAABBPosition(CVector3* out) {
  if (out != nullptr) *out = m_vecAlignedPosition;
  return out;
}
CVector3* CMeshBoundVolume::GetAABBExtents(CVector3* out) {
  if (out != nullptr) *out = m_vecAlignedExtents;
  return out;
}
CVector3* CMeshBoundVolume::GetAABBMax(CVector3* out) {
  if (out != nullptr) *out = m_vecAlignedMax;
  return out;
}
CVector3* CMeshBoundVolume::GetAABBMin(CVector3* out) {
  if (out != nullptr) *out = m_vecAlignedMin;
  return out;
}
void CMeshBoundVolume::GetMinTransformed(CVector3* out) {
  if (out != nullptr) *out = CBoundBox::MinimumOf(m_vecTransformedPoints);
}
void CMeshBoundVolume::GetMaxTransformed(CVector3* out) {
  if (out != nullptr) *out = CBoundBox::MaximumOf(m_vecTransformedPoints);
}
CVector3* CMeshBoundVolume::GetTransformedPosition(CVector3* out) {
  if (out != nullptr) *out = m_vecTransformedPosition;
  return out;
}
CVector3* CMeshBoundVolume::GetTransformedExtents(CVector3* out) {
  if (out != nullptr) *out = m_vecTransformedExtents;
  return out;
}

// --- the current record ---

void CMeshBoundVolume::GetMin(CVector3* out) {
  const Record* record = CurrentRecord();
  if (record != nullptr && out != nullptr) *out = record->vecMin;
}
void CMeshBoundVolume::GetMax(CVector3* out) {
  const Record* record = CurrentRecord();
  if (record != nullptr && out != nullptr) *out = record->vecMax;
}
void CMeshBoundVolume::GetPosition(CVector3* out) {
  const Record* record = CurrentRecord();
  if (record != nullptr && out != nullptr) *out = record->vecCentre;
}
void CMeshBoundVolume::GetExtents(CVector3* out) {
  const Record* record = CurrentRecord();
  if (record != nullptr && out != nullptr) *out = record->vecExtents;
}
CVector4* CMeshBoundVolume::GetPoints() {
  const Record* record = CurrentRecord();
  return record != nullptr ? const_cast<CVector4*>(record->vecCorners) : nullptr;
}

CMeshInterface* CMeshBoundVolume::GetOwnerMesh() {
  return m_pOwner != nullptr ? m_pOwner->GetMeshInterface() : nullptr;
}

// --- tests ---

BYTE CMeshBoundVolume::CheckVisibility(CMatrix& matrix) {
  const Record* record = CurrentRecord();
  // Without a box nothing proves the mesh hidden.
  if (record == nullptr) return 1;
  CVector4 clip[CBoundBox::kCorners];
  CBoundBox::TransformCorners(clip, record->vecCorners, matrix);
  return CBoundBox::AllOutsideOnePlane(clip) ? 0 : 1;
}

UINT CMeshBoundVolume::CheckAAIntersection(CRay& ray, float* distance, UINT /*unused*/) {
  if (distance != nullptr) *distance = CBoundBox::kLargest;
  const Record* record = CurrentRecord();
  if (record == nullptr) return 0;
  return D3DXBoxBoundProbe(AsD3DX(record->vecMin), AsD3DX(record->vecMax),
                           AsD3DX(ray.vecOrigin), AsD3DX(ray.vecDirection))
             ? 1
             : 0;
}

UINT CMeshBoundVolume::CheckOOIntersection(CRay& ray, float* distance, UINT flags,
                                           UINT worldSpace) {
  float nearest = CBoundBox::kLargest;
  const Record* record = CurrentRecord();
  if (record != nullptr) {
    CVector3 corners[CBoundBox::kCorners];
    const CMatrix* world =
        worldSpace == 1 && m_pOwner != nullptr ? m_pOwner->GetCurrentMatrix() : nullptr;
    for (int k = 0; k < CBoundBox::kCorners; ++k) {
      const CVector3 corner(record->vecCorners[k]);
      corners[k] = world != nullptr ? corner * *world : corner;
    }
    for (const ProbeFace& face : kProbeFaces) {
      if ((flags & kProbeAllFaces) == 0) {
        const CVector3& origin = corners[face.origin];
        const CVector3 normal =
            cross(origin - corners[face.edgeA], origin - corners[face.edgeB]);
        // Only faces turned towards the ray's origin.
        if (!(dot(normal, ray.vecDirection) < 0.0f)) continue;
      }
      for (const auto& triangle : face.triangles) {
        float u = 0.0f, v = 0.0f, hit = 0.0f;
        if (D3DXIntersectTri(AsD3DX(corners[triangle[0]]), AsD3DX(corners[triangle[1]]),
                             AsD3DX(corners[triangle[2]]), AsD3DX(ray.vecOrigin),
                             AsD3DX(ray.vecDirection), &u, &v, &hit) &&
            hit > 0.0f && hit < nearest)
          nearest = hit;
      }
    }
  }
  if (distance != nullptr) *distance = nearest;
  return nearest != CBoundBox::kLargest ? 1 : 0;
}

UINT CMeshBoundVolume::CheckAACollision(CMeshBoundVolumeInterface* other, CMatrix& otherMatrix) {
  const Record* record = CurrentRecord();
  if (other == nullptr || record == nullptr || m_pOwner == nullptr) return 0;
  const CMatrix* own = m_pOwner->GetMatrix(m_pOwner->GetMatrixFrame());
  if (own == nullptr) return 0;
  // The other box brought into this mesh's space; a singular matrix gives the zero inverse.
  CMatrix relative = otherMatrix * MatrixInverse(*own);
  other->TransformAABB(&relative);
  CVector3 otherCentre, otherExtents;
  other->GetAABBPosition(&otherCentre);
  other->GetAABBExtents(&otherExtents);
  return CBoundBox::Overlaps(record->vecCentre, record->vecExtents, otherCentre, otherExtents) ? 1
                                                                                              : 0;
}

// --- copy and drawing ---

UINT CMeshBoundVolume::Copy(CMeshBoundVolume** out, std::unique_ptr<CMeshBoundVolumeOwner> newOwner) {
  if (out == nullptr) return 0;
  auto* copy = new CMeshBoundVolume(std::move(newOwner));
  std::copy(std::begin(m_vecTransformedPoints), std::end(m_vecTransformedPoints),
            copy->m_vecTransformedPoints);
  copy->m_vecTransformedPosition = m_vecTransformedPosition;
  copy->m_vecTransformedExtents = m_vecTransformedExtents;
  copy->m_Records = m_Records;
  *out = copy;
  return 1;
}

void CMeshBoundVolume::DrawBox(CD3D9RendererInterface* renderer, CMatrix* matrix) {
  if (CurrentRecord() == nullptr || matrix == nullptr) return;
  TransformAABB(matrix);
  CVector4 corners[CBoundBox::kCorners];
  CBoundBox::FillCorners(corners, m_vecAlignedMin, m_vecAlignedMax);
  CBoundVolumeDrawing::DrawBox(renderer, CMatrix::Identity(), corners);
}

void CMeshBoundVolume::DrawFrameBox(CD3D9RendererInterface* renderer, CMatrix* matrix) {
  const Record* record = CurrentRecord();
  if (record == nullptr || matrix == nullptr) return;
  CBoundVolumeDrawing::DrawBox(renderer, *matrix, record->vecCorners);
}
