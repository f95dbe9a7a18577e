#pragma once
// Gives the vertices of a mesh filled from an imported object their bone numbers and weights,
// up to four a vertex: from the object's weight maps when every bone names one, else from each
// vertex's distance to the bones' rest segments (LightWave 5.5's unlimited-range bones). A
// mesh's bones must all be of one kind.
#include <vector>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "windef.h"

class CBone;
class CEngineLog;
class LWOImportBuffer;

class CMeshBoneWeights {
 public:
  // One bone's pull on one vertex while distance weights are gathered.
  struct Candidate {
    WORD bone;  // kNoCandidate when no bone has weighed in
    float weight;
  };
  static constexpr WORD kNoCandidate = 0xFFFF;
  static constexpr UINT kSlots = 4;

  // `bones` must have their rest matrices built; `meshName` names the mesh in errors.
  CMeshBoneWeights(CBone* bones, UINT boneCount, std::vector<Vertex>& vertices,
                   const char* meshName, CEngineLog* log);

  // Fills the vertices' weight slots from `object`, whose point records match the vertices
  // one for one. Mixed bone kinds, a fifth weight on one vertex or no memory end the process.
  UINT CalculateBonesWeights(const LWOImportBuffer& object);

  // The distance from `point` to the bone's rest segment, which runs from the bone's origin
  // along its +Z axis for its rest length. `inverseRest` is the inverse of its rest matrix.
  static float DistanceToBone(const CMatrix& inverseRest, float restLength,
                              const CVector3& point);
  static float DistanceToBone(CBone& bone, const CVector3& point);
  // Sort order of candidates: the larger weight first.
  static bool CompareBoneWeights(const Candidate& a, const Candidate& b) {
    return a.weight > b.weight;
  }

 private:
  // Puts the bone's pull on every vertex into column `index` of the candidates.
  void AddBoneWeightsByDistance(CBone& bone, UINT index, Candidate* candidates) const;
  void WeighByDistance();
  void WeighByMaps(const LWOImportBuffer& object);

  CBone* m_pBones;
  UINT m_dwBoneCount;
  std::vector<Vertex>& m_Vertices;
  const char* m_szMeshName;
  CEngineLog* m_pLog;
};
