#pragma once
// Gives an indexed triangle list a tangent frame at every vertex, consistent with its texture
// coordinates. Each triangle gets a tangent and a binormal from its positions and coordinates;
// around each vertex position the triangles whose vectors agree form groups, each group gets
// its averaged vector, and a vertex that two groups meet at is split, the copy appended at the
// end of the vertex array. Finally every frame is made orthonormal. Works on plain arrays: the
// import converts its points to these vertices and back.
#include <map>
#include <span>
#include <vector>

#include "ZKDXMath.h"
#include "windef.h"

struct MenderVertex {
  CVector3 position;
  CVector3 normal;
  float s, t;  // the texture coordinates the frame follows
  CVector3 tangent;
  CVector3 binormal;
};

struct MenderTriangle {
  UINT v[3];  // rewritten when a vertex is split
  CVector3 normal;  // only when normals are recomputed
  CVector3 tangent;  // not normalised
  CVector3 binormal;  // not normalised
  UINT grouped;  // placed in a group at the current position
  UINT group;    // group number at the current position, kNoGroup for none
  UINT index;    // its place in the triangle list
};

// Exact ordering of positions: x, then y, then z.
struct Vec3Less {
  bool operator()(const CVector3& a, const CVector3& b) const;
};

class CMeshMender {
 public:
  static constexpr UINT kNoGroup = 0xFFFFFFFF;

  CMeshMender() = default;
  CMeshMender(const CMeshMender&) = delete;
  CMeshMender& operator=(const CMeshMender&) = delete;

  // Mends `vertices` and `indices` (three a triangle) in place and appends to `mapping` one
  // entry per output vertex: the input vertex it descends from. Vectors of neighbouring
  // triangles agree when the dot product of their unit vectors reaches the crease cosine. The
  // switches (1 on): recompute the normals (weighted by area by `areaWeight`), find neighbours
  // by shared vertex indices instead of shared positions, repair texture wrap. Always true.
  bool Mend(std::vector<MenderVertex>& vertices, std::vector<UINT>& indices,
            std::vector<UINT>& mapping, float normalCrease, float tangentCrease,
            float binormalCrease, float weight, UINT recomputeNormals, UINT byIndex,
            UINT fixWrap);

  float normalCreaseCosine = 0.3f;
  float tangentCreaseCosine = 0.0f;
  float binormalCreaseCosine = 0.0f;
  float areaWeight = 0.0f;
  UINT splitsByIndex = 0;
  std::vector<MenderTriangle> triangles;
  // Each exact position in Vec3Less order (equivalent positions as one, the first met standing
  // for them) with its run of positionTriangles: the triangles with a corner there, in
  // triangle order, a triangle listed once a corner.
  struct PositionList {
    CVector3 position;
    UINT first;
    UINT count;
  };
  std::vector<PositionList> positionLists;
  std::vector<UINT> positionTriangles;
  UINT inputVertexCount = 0;

 private:
  // Which triangle vector a split pass groups by and which vertex field it writes.
  enum class Pass : UINT { kNormals, kTangents, kBinormals };
  // An edge as an unordered pair: of vertex indices, or of positions (lower one first).
  struct EdgeKey {
    UINT index[2];
    CVector3 position[2];
    bool valid;  // false for an edge with a NaN end, which equals nothing
  };
  struct EdgeKeyLess {
    bool operator()(const EdgeKey& a, const EdgeKey& b) const;
  };

  MenderTriangle MakeTriangle(UINT i0, UINT i1, UINT i2, bool recomputeNormals) const;
  void ComputeTriangleTangentBinormal(MenderTriangle& triangle) const;
  // Raises the smaller coordinate of each triangle edge that wraps across the texture, on a
  // copy of the vertex made the first time a corner is raised.
  void FixTextureWrap(std::vector<UINT>& indices);
  using List = std::span<const UINT>;
  void BuildPositionLists();
  // Groups the triangles listed at the position numbered `positionId` by agreement and splits
  // its vertices between them.
  void Split(Pass pass, UINT positionId, List list, std::vector<UINT>& mapping, size_t mappingBase);
  void GrowGroup(Pass pass, UINT start);
  // The first two other triangles of a long list, in list order, that share an edge with t
  // (kNoGroup where there are fewer), through the index of its edges.
  void FindNeighbours(List list, UINT t, UINT neighbour[2]) const;
  // The first two neighbours of every place of the list, for GrowGroup's answers by triangle.
  void PrepareNeighbours(List list);
  void PrepareEdges(List list);
  std::vector<UINT>& NewGroup();
  EdgeKey EdgeKeyOf(const MenderTriangle& triangle, UINT k) const;
  static const CVector3& VectorOf(Pass pass, const MenderTriangle& triangle);
  static CVector3& FieldOf(Pass pass, MenderVertex& vertex);
  // Unit vectors whose dot product reaches the pass's limit, or both zero.
  bool Agree(Pass pass, const MenderTriangle& a, const MenderTriangle& b) const;
  void ReplaceVertexInGroup(const std::vector<UINT>& group, UINT from, UINT to);
  void OrthonormalizeFrames();

  std::vector<MenderVertex>* m_vertices = nullptr;
  // A split pass's groups: the first m_groupCount are in use; the rest keep their memory for
  // the next position, as the work lists below do.
  std::vector<std::vector<UINT>> m_groups;
  size_t m_groupCount = 0;
  std::vector<UINT> m_pending;
  std::vector<UINT> m_groupVertices;
  // The pass a vertex was last claimed in by a group, per vertex: positions never share
  // vertices, so one stamp a pass tells claimed from free.
  std::vector<UINT> m_claimedIn;
  UINT m_pass = 0;
  std::vector<UINT> m_wrapSources;  // the input vertex of each wrap copy
  // The list places of the triangles having each edge, for long lists.
  std::map<EdgeKey, std::vector<UINT>, EdgeKeyLess> m_neighbours;
  // The corners' identities of each place of a short list, three a place.
  std::vector<UINT> m_cornerIds;
  // Each corner's number of equal positions, three a triangle, and each position list's.
  std::vector<UINT> m_positionIdOfCorner;
  std::vector<UINT> m_positionIdOfList;
  // Two neighbours a place of the current list, and each listed triangle's place.
  std::vector<UINT> m_listNeighbours;
  std::vector<UINT> m_placeOf;
  // Each triangle's normal, tangent and binormal as unit vectors, three a triangle.
  std::vector<CVector3> m_unitVectors;
};
