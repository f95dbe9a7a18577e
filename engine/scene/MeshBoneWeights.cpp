#include "scene/MeshBoneWeights.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/Bone.h"
#include "scene/LWOImportBuffer.h"

namespace {

constexpr const char* kSource = "Bones";
constexpr const char* kLoadTitle = "Error While Loading LWO";

// A sum of exactly zero scales by one, leaving the weights as they are.
float Reciprocal(float sum) { return 1.0f / (sum == 0.0f ? 1.0f : sum); }

}  // namespace

CMeshBoneWeights::CMeshBoneWeights(CBone* bones, UINT boneCount, std::vector<Vertex>& vertices,
                                   const char* meshName, CEngineLog* log)
    : m_pBones(bones),
      m_dwBoneCount(bones != nullptr ? boneCount : 0),
      m_Vertices(vertices),
      m_szMeshName(meshName),
      m_pLog(log) {}

float CMeshBoneWeights::DistanceToBone(const CMatrix& inverseRest, float restLength,
                                       const CVector3& point) {
  const CVector3 local = point * inverseRest;
  if (local.z < 0.0f) return local.Length();
  if (local.z > restLength) return CVector3{local.x, local.y, local.z - restLength}.Length();
  return std::sqrt(local.x * local.x + local.y * local.y);
}

float CMeshBoneWeights::DistanceToBone(CBone& bone, const CVector3& point) {
  return DistanceToBone(MatrixInverse(*bone.GetRestMatrix(0.0f)), bone.GetRestLength(), point);
}

UINT CMeshBoneWeights::CalculateBonesWeights(const LWOImportBuffer& object) {
  UINT mapped = 0;
  for (UINT b = 0; b < m_dwBoneCount; ++b)
    if (m_pBones[b].GetHasWeightMap() != 0) ++mapped;
  if (mapped != 0 && mapped != m_dwBoneCount)
    FatalErrorWithTitle(kLoadTitle,
                        "The Engine Supports Only Bones With WeightMaps Or Only With Unlimited "
                        "Range LW5.5 Style: %s",
                        m_szMeshName);
  if (m_dwBoneCount == 0) return 1;
  if (mapped == 0)
    WeighByDistance();
  else
    WeighByMaps(object);
  return 1;
}

void CMeshBoneWeights::AddBoneWeightsByDistance(CBone& bone, UINT index,
                                                Candidate* candidates) const {
  const float strength = bone.GetScaleByLength() != 0 ? bone.GetRestLength() : bone.GetStrength();
  // The falloff type is the exponent of the distance.
  const float exponent = static_cast<float>(bone.GetFalloffType());
  // Inverted once for the bone; every vertex measures against the same matrix.
  const CMatrix inverseRest = MatrixInverse(*bone.GetRestMatrix(0.0f));
  const float restLength = bone.GetRestLength();
  for (size_t v = 0; v < m_Vertices.size(); ++v) {
    const float distance = DistanceToBone(inverseRest, restLength, m_Vertices[v].vecPosition);
    candidates[v * m_dwBoneCount + index] = {
        static_cast<WORD>(index), strength / (std::pow(distance, exponent) + 0.000001f)};
  }
}

void CMeshBoneWeights::WeighByDistance() {
  const UINT bones = m_dwBoneCount;
  // One row of candidates a vertex, one column a bone; only needed for this call.
  std::unique_ptr<Candidate[]> candidates(NewArrayOrFatal<Candidate>(
      "Error While Calculating Bones", "Can't Allocate Memory For WeightList",
      m_Vertices.size() * bones));
  std::fill_n(candidates.get(), m_Vertices.size() * bones, Candidate{kNoCandidate, 0.0f});
  for (UINT b = 0; b < bones; ++b) AddBoneWeightsByDistance(m_pBones[b], b, candidates.get());

  const UINT kept = std::min(bones, kSlots);
  for (size_t v = 0; v < m_Vertices.size(); ++v) {
    Candidate* row = candidates.get() + v * bones;
    float sum = 0.0f;
    for (UINT b = 0; b < bones; ++b) sum += row[b].weight;
    const float scale = Reciprocal(sum);
    for (UINT b = 0; b < bones; ++b) row[b].weight *= scale;

    std::stable_sort(row, row + bones, CompareBoneWeights);
    float keptSum = 0.0f;
    for (UINT k = 0; k < kept; ++k) keptSum += row[k].weight;
    const float keptScale = Reciprocal(keptSum);
    Vertex& vertex = m_Vertices[v];
    for (UINT k = 0; k < kept; ++k) {
      if (row[k].bone == kNoCandidate) continue;
      vertex.fWeights[k] = keptScale * row[k].weight;
      vertex.wBonesIndices[k] = row[k].bone;
    }
  }
}

void CMeshBoneWeights::WeighByMaps(const LWOImportBuffer& object) {
  const size_t vertexCount =
      std::min<size_t>(m_Vertices.size(), object.points != nullptr ? object.pointCount : 0);
  // The vertices of each file point, in vertex order: a point split by the processing has
  // several.
  std::vector<std::pair<UINT, UINT>> byPoint(vertexCount);
  std::vector<UINT> weightCount(vertexCount);
  for (size_t v = 0; v < vertexCount; ++v) {
    byPoint[v] = {object.points[v].index, static_cast<UINT>(v)};
    weightCount[v] = object.points[v].weightCount;
  }
  std::sort(byPoint.begin(), byPoint.end());

  const UINT mapCount = std::min(object.weightMapCount, LWOImportBuffer::kMaxWeightMaps);
  for (UINT b = 0; b < m_dwBoneCount; ++b) {
    const char* mapName = m_pBones[b].GetWeightMapName();
    for (UINT m = 0; m < mapCount; ++m) {
      const LWOWeightMap& map = object.weightMaps[m];
      if (std::strcmp(map.name, mapName) != 0 || map.entries == nullptr) continue;
      for (UINT e = 0; e < map.count; ++e) {
        const LWOWeightEntry& entry = map.entries[e];
        auto [first, last] = std::equal_range(
            byPoint.begin(), byPoint.end(), std::pair<UINT, UINT>{entry.point, 0},
            [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto it = first; it != last; ++it) {
          const UINT v = it->second;
          const UINT k = weightCount[v];
          if (k >= kSlots)
            FatalErrorWithTitle(kLoadTitle, "Too Much Weights Per Vertex: %s (%i)",
                                object.fileName, static_cast<int>(k));
          m_Vertices[v].fWeights[k] = entry.weight;
          m_Vertices[v].wBonesIndices[k] = static_cast<WORD>(b);
          if (++weightCount[v] > kSlots - 1)
            LogTo(m_pLog, kSource, CEngineLog::kLevelError, "WARNING!!!: %s\n", mapName);
        }
      }
    }
  }
  for (Vertex& vertex : m_Vertices) {
    float sum = 0.0f;
    for (float weight : vertex.fWeights) sum += weight;
    if (sum == 0.0f) continue;  // no map reaches the vertex: its weights stay zero
    for (float& weight : vertex.fWeights) weight /= sum;
  }
}
