#pragma once
// The shadow-volume geometry of a closed mesh: one vertex copy per face corner (carrying the
// face normal and the face's strongest bones) and an index list that holds every face once,
// with reversed winding, plus a quad of no area along every edge. The shading passes stretch
// the quads by moving the corners of faces turned away from the light, which closes the volume.
#include <vector>

#include "ZKDXRecords.h"
#include "scene/MeshSpatial.h"

class CCountedIndexBuffer;
class CEngineLog;

class CShadowVolumeGeometry {
 public:
  // Indices are 16 bits wide and every face takes three vertices of its own.
  static constexpr UINT kMaxFaces = 65535 / 3;
  static constexpr WORD kNoVertex = 0xFFFF;

  CShadowVolumeGeometry(const char* meshName, CEngineLog* log);

  // Builds from a mesh whose edges name their two faces (numbers in wFace1, wFace2) and are
  // oriented along their first face. Rewrites each face's wFaceIndex and visited mark and each
  // edge's flag (1 once its quad is emitted). `boned` takes bone weights from the vertices;
  // `rigid` (neither boned nor morphed) also builds the static extrusion vertices. False, with
  // the outputs emptied and the failure logged, when the mesh cannot have a shadow volume.
  bool Build(Face* faces, UINT faceCount, Edge* edges, UINT edgeCount, const Vertex* vertices,
             UINT vertexCount, bool boned, bool rigid);
  // Builds from the mesh's arrays and makes the index buffer over the indices through
  // CMesh::CreateShadowVolumeIndexBuffer (suffix "_shadow_volume_1"); on kBuilt *indexBuffer
  // holds its reference for the shadow volume to take over.
  ShadowGeometryBuild BuildForMesh(CMesh* mesh, const ShadowGeometrySource& source,
                                   CCountedIndexBuffer** indexBuffer);

  std::vector<Vertex> m_DynamicVertices;  // 3 per face: vertex 3i + c is corner c of face i
  std::vector<WORD> m_Indices;            // 3 per face and 6 per edge
  std::vector<Vertex> m_StaticVertices;   // each mesh vertex twice, rigid meshes only

 private:
  // One of a face's 12 bone slots while the weights are gathered.
  struct BoneSlot {
    float fWeight;
    WORD wBone;
    WORD wCount;
  };
  static constexpr UINT kBoneSlots = 12;
  static constexpr UINT kUsedBones = 4;

  bool CheckNumbering() const;
  void GatherFaceBones(const Face& face, BoneSlot* slots) const;
  void BuildFaceVertices();
  bool EmitFaces();
  // Emits the face and its quads, then walks its unvisited neighbours depth first.
  bool EmitFrom(UINT face);
  void EmitFaceAndQuads(UINT face);
  // The face across edge `edge` from `face`, or -1 (logged) when the adjacency is broken.
  int Neighbour(UINT edge, UINT face) const;
  // The corners a, b (first face at p, q) and c, d (second face at q, p) of the edge's quad;
  // false when a corner cannot be matched by position.
  bool ComputeEdgeQuad(const Edge& edge, WORD quad[4]) const;
  void BuildStaticVertices();

  const char* m_szMeshName;
  CEngineLog* m_pLog;
  Face* m_pFaces = nullptr;
  UINT m_dwFaces = 0;
  Edge* m_pEdges = nullptr;
  UINT m_dwEdges = 0;
  const Vertex* m_pVertices = nullptr;
  UINT m_dwVertices = 0;
  bool m_bBoned = false;
};
