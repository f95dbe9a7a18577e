#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "EdgedFaces.h"
#include "EngineContextScope.h"
#include "FakeSurfaceBanks.h"
#include "FakeMeshSpatial.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "spatial/ShadowVolumeGeometry.h"

namespace {

Vertex At(float x, float y, float z) {
  Vertex vertex{};
  vertex.vecPosition = {x, y, z};
  return vertex;
}

bool SamePosition(const Vertex& a, const Vertex& b) {
  return a.vecPosition.x == b.vecPosition.x && a.vecPosition.y == b.vecPosition.y &&
         a.vecPosition.z == b.vecPosition.z;
}

// A tetrahedron wound outwards.
const std::vector<Vertex> kTetraVertices = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 0, 1)};
const std::vector<Triangle> kTetraFaces = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};

class ShadowVolumeGeometryTest : public ::testing::Test {
 protected:
  ShadowVolumeGeometryTest() : scene(new TestScene(&renderer, &log)) {
    renderer.indexBufferStorage = &indexBuffers;
    context->ports.meshSpatial.Set(&spatial);
  }
  ~ShadowVolumeGeometryTest() override { scene->Release(); }

  CMesh* AddMesh(const char* name) {
    auto* mesh = new CMesh(&renderer, &log, scene, 1);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }

  // Edges come from `edgeFaces` (the import's numbering); the mesh gets `meshFaces`, which may
  // name split copies of the same points. Returns the edge builder's result.
  UINT Load(CMesh* mesh, const std::vector<Vertex>& vertices,
            const std::vector<Triangle>& edgeFaces, std::vector<Triangle> meshFaces = {}) {
    if (meshFaces.empty()) meshFaces = edgeFaces;
    EdgedFaces built = FacesWithEdges(edgeFaces, &log);
    std::vector<Face>& faces = built.faces;
    for (size_t i = 0; i < faces.size(); ++i) {
      faces[i].wIndex1 = meshFaces[i][0];
      faces[i].wIndex2 = meshFaces[i][1];
      faces[i].wIndex3 = meshFaces[i][2];
      faces[i].vecNormal = {static_cast<float>(i), 1, 0};
    }
    std::vector<Vertex> copy = vertices;
    mesh->SetVertices(static_cast<UINT>(copy.size()), copy.data(), 0);
    mesh->SetFaces(static_cast<UINT>(faces.size()), faces.data());
    mesh->PrepareShadowVolume(built.edges.get(), built.edgeCount);
    return built.built;
  }

  bool GeometryStored() const {
    return std::count(spatial.calls.begin(), spatial.calls.end(), "SetShadowVolumeGeometry") == 1;
  }

  EngineContextScope context;
  RecordingRenderer renderer;
  CRecordingEngineLog log;
  FakeIndexBufferStorage indexBuffers;
  FakeMeshSpatial spatial;
  TestScene* scene;
};

// Splits the index list into face triangles (all three corners from one face's vertices) and
// quads (the two triangles that follow), checking each quad lies on one edge of the mesh: a and
// d at one end, b and c at the other, a and b from one face, c and d from another.
struct ParsedVolume {
  std::vector<Triangle> faces;
  std::set<std::pair<int, int>> quadEdges;  // the mesh vertices at the quad's ends, ordered
};

ParsedVolume Parse(const std::vector<WORD>& indices, const std::vector<Vertex>& corners,
                   CMesh* mesh) {
  ParsedVolume parsed;
  auto meshVertexAt = [&](WORD corner) {
    for (UINT v = 0; v < mesh->GetNumberOfVertices(); ++v)
      if (SamePosition(*mesh->GetVertex(v), corners[corner])) return static_cast<int>(v);
    return -1;
  };
  for (size_t i = 0; i + 2 < indices.size();) {
    const WORD a = indices[i], b = indices[i + 1], c = indices[i + 2];
    if (a / 3 == b / 3 && b / 3 == c / 3) {
      parsed.faces.push_back({a, b, c});
      i += 3;
      continue;
    }
    EXPECT_LE(i + 6, indices.size());
    const WORD d = indices[i + 5];
    EXPECT_EQ(indices[i + 3], a);
    EXPECT_EQ(indices[i + 4], c);
    EXPECT_TRUE(SamePosition(corners[a], corners[d])) << "quad at " << i;
    EXPECT_TRUE(SamePosition(corners[b], corners[c])) << "quad at " << i;
    EXPECT_FALSE(SamePosition(corners[a], corners[b])) << "quad at " << i;
    EXPECT_EQ(a / 3, b / 3);
    EXPECT_EQ(c / 3, d / 3);
    EXPECT_NE(a / 3, c / 3);
    const int p = meshVertexAt(a), q = meshVertexAt(b);
    EXPECT_TRUE(parsed.quadEdges.insert({std::min(p, q), std::max(p, q)}).second)
        << "second quad on one edge at " << i;
    i += 6;
  }
  return parsed;
}

TEST_F(ShadowVolumeGeometryTest, TetrahedronGetsEveryFaceReversedAndAQuadOnEveryEdge) {
  CMesh* mesh = AddMesh("tetra");
  ASSERT_EQ(Load(mesh, kTetraVertices, kTetraFaces), 1u);

  EXPECT_EQ(mesh->GetIsClosed(), 1u);
  EXPECT_EQ(mesh->GetNumberOfEdges(), 6u);
  ASSERT_TRUE(GeometryStored());
  const std::vector<Vertex>& corners = spatial.shadowBlocks[0];
  ASSERT_EQ(corners.size(), 12u);
  ASSERT_EQ(spatial.shadowIndices.size(), 48u);
  for (WORD index : spatial.shadowIndices) EXPECT_LT(index, 12);

  // Corner c of face i is vertex 3i + c and carries the face normal and no bones.
  for (size_t i = 0; i < 4; ++i)
    for (size_t c = 0; c < 3; ++c) {
      const Vertex& corner = corners[3 * i + c];
      EXPECT_TRUE(SamePosition(corner, kTetraVertices[kTetraFaces[i][c]]));
      EXPECT_EQ(corner.vecNormal.x, static_cast<float>(i));
      EXPECT_EQ(corner.vecTangent.x, 0.0f);
      EXPECT_EQ(corner.fTU[0], 65535.0f);
      EXPECT_EQ(corner.fTV[1], 65535.0f);
    }

  const ParsedVolume parsed = Parse(spatial.shadowIndices, corners, mesh);
  ASSERT_EQ(parsed.faces.size(), 4u);
  EXPECT_EQ(parsed.faces[0], (Triangle{2, 1, 0}));  // the walk starts at face 0, reversed
  std::set<WORD> facesSeen;
  for (const Triangle& face : parsed.faces) facesSeen.insert(face[0] / 3);
  EXPECT_EQ(facesSeen.size(), 4u);
  EXPECT_EQ(parsed.quadEdges.size(), 6u);

  // A rigid mesh also gets each vertex twice, the first copy flagged to stay.
  const std::vector<Vertex>& extrusion = spatial.shadowBlocks[1];
  ASSERT_EQ(extrusion.size(), 8u);
  for (size_t j = 0; j < 4; ++j) {
    EXPECT_TRUE(SamePosition(extrusion[j], kTetraVertices[j]));
    EXPECT_TRUE(SamePosition(extrusion[4 + j], kTetraVertices[j]));
    EXPECT_EQ(extrusion[j].vecNormal.x, 1.0f);
    EXPECT_EQ(extrusion[4 + j].vecNormal.x, 0.0f);
  }

  ASSERT_EQ(indexBuffers.made.size(), 1u);
  const FakeIndexBuffer& call = *indexBuffers.made[0];
  EXPECT_EQ(call.meshOwner, "tetra_shadow_volume_1");
  EXPECT_EQ(call.surfaceOwner, "tetra_shadow_volume_1");
  EXPECT_EQ(call.indices.size(), 48u);
  EXPECT_EQ(call.unique, 0u);
  EXPECT_EQ(call.dynamic, 1u);
  EXPECT_EQ(spatial.shadowIndexBuffer, indexBuffers.made[0].get());
  EXPECT_EQ(indexBuffers.made[0]->indices, spatial.shadowIndices);
  const std::string info = log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_NE(info.find("- Creating Shadow Volume Geometry For: tetra\n"), std::string::npos);
  EXPECT_NE(info.find("  - Done (48 Indices, 12 Vertices)\n  - tetra has 6 edges\n"),
            std::string::npos);
}

TEST_F(ShadowVolumeGeometryTest, QuadsJoinFacesByPositionAcrossSeamsAndWindings) {
  // Vertex 4 is vertex 0 split for a texture seam: face 2 uses it, the edges were built on the
  // points before the split.
  std::vector<Vertex> seamVertices = kTetraVertices;
  seamVertices.push_back(At(0, 0, 0));
  seamVertices[4].fTU[0] = 0.5f;
  std::vector<Triangle> seamFaces = kTetraFaces;
  seamFaces[2] = {4, 3, 2};
  // A face wound against its neighbours meets each shared edge in the same direction.
  std::vector<Triangle> flipped = kTetraFaces;
  flipped[3] = {1, 3, 2};
  struct Case {
    const char* name;
    const std::vector<Vertex>& vertices;
    const std::vector<Triangle>& edgeFaces;
    const std::vector<Triangle>& meshFaces;
  };
  const Case cases[] = {{"seam", seamVertices, kTetraFaces, seamFaces},
                        {"flipped", kTetraVertices, flipped, flipped}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    spatial.calls.clear();
    CMesh* mesh = AddMesh(test.name);
    ASSERT_EQ(Load(mesh, test.vertices, test.edgeFaces, test.meshFaces), 1u);
    ASSERT_TRUE(GeometryStored());
    EXPECT_EQ(mesh->GetIsClosed(), 1u);
    ASSERT_EQ(spatial.shadowIndices.size(), 48u);
    const ParsedVolume parsed = Parse(spatial.shadowIndices, spatial.shadowBlocks[0], mesh);
    EXPECT_EQ(parsed.quadEdges.size(), 6u);
  }
}

TEST_F(ShadowVolumeGeometryTest, OpenOrOversharedMeshesGetNoGeometry) {
  struct Case {
    const char* name;
    std::vector<Vertex> vertices;
    std::vector<Triangle> faces;
    UINT edgeListResult;
    UINT closed;
    UINT hasGeometryFlag;
  };
  std::vector<Vertex> fin = kTetraVertices;
  fin.push_back(At(1, 1, 1));
  // Two tetrahedra glued along the edge 0-1 give that edge four faces.
  std::vector<Triangle> glued = kTetraFaces;
  glued.insert(glued.end(), {{0, 1, 4}, {1, 2, 4}, {0, 4, 2}});
  const Case cases[] = {
      {"single", {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)}, {{0, 1, 2}}, 1, 0, 1},
      {"glued", fin, glued, 0, 1, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    spatial.calls.clear();
    log.entries.clear();
    CMesh* mesh = AddMesh(test.name);
    EXPECT_EQ(Load(mesh, test.vertices, test.faces), test.edgeListResult);
    EXPECT_EQ(mesh->GetIsClosed(), test.closed);
    EXPECT_EQ(mesh->GetHasShadowVolumeGeometry(), test.hasGeometryFlag);
    EXPECT_FALSE(GeometryStored());
    EXPECT_TRUE(indexBuffers.made.empty());
    const bool warned =
        log.TextAt(CEngineLog::kLevelError)
            .find("WARNING!!! - The Object " + std::string(test.name) +
                  " Can Cast Shadow Because It's Not Closed\n") != std::string::npos;
    EXPECT_EQ(warned, test.closed == 0);
  }
}

// Faces that are their own neighbour on every edge (all on one triangle): a stand-in closed
// surface of any size, odd ones included.
void SelfClosedFaces(UINT faceCount, std::vector<Face>& faces, std::vector<Edge>& edges) {
  faces.assign(faceCount, Face{});
  edges.assign(3 * static_cast<size_t>(faceCount), Edge{});
  for (UINT i = 0; i < faceCount; ++i) {
    Face& face = faces[i];
    face.wIndex1 = 0;
    face.wIndex2 = 1;
    face.wIndex3 = 2;
    face.wEdge1 = static_cast<WORD>(3 * i);
    face.wEdge2 = static_cast<WORD>(3 * i + 1);
    face.wEdge3 = static_cast<WORD>(3 * i + 2);
    for (WORD k = 0; k < 3; ++k) {
      Edge& edge = edges[3 * i + k];
      edge.wIndex1 = k;
      edge.wIndex2 = static_cast<WORD>((k + 1) % 3);
      edge.wFace1 = edge.wFace2 = static_cast<WORD>(i);
    }
  }
}

TEST_F(ShadowVolumeGeometryTest, SixteenBitIndicesAllowAtMost21845Faces) {
  std::vector<Vertex> triangle = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
  std::vector<Face> faces;
  std::vector<Edge> edges;

  SelfClosedFaces(21845, faces, edges);
  CMesh* largest = AddMesh("largest");
  largest->SetVertices(3, triangle.data(), 0);
  ASSERT_NE(largest->SetFaces(21845, faces.data()), 0u);
  largest->PrepareShadowVolume(edges.data(), static_cast<UINT>(edges.size()));
  EXPECT_EQ(largest->GetIsClosed(), 1u);
  ASSERT_TRUE(GeometryStored());
  EXPECT_EQ(spatial.shadowBlocks[0].size(), 65535u);
  EXPECT_EQ(spatial.shadowIndices.size(), 3u * 21845 + 6u * edges.size());

  // One face more is refused before anything is built, and the mesh casts no volume.
  SelfClosedFaces(21846, faces, edges);
  CMesh* tooLarge = AddMesh("tooLarge");
  tooLarge->SetVertices(3, triangle.data(), 0);
  ASSERT_NE(tooLarge->SetFaces(21846, faces.data()), 0u);
  tooLarge->SetCastsShadowVolume(1);
  tooLarge->CreateShadowVolumeGeometry();
  EXPECT_EQ(tooLarge->GetIsClosed(), 0u);
  EXPECT_EQ(indexBuffers.made.size(), 1u);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError)
                .find("ERROR! - Can't Calculate SV Geometry For tooLarge\n"),
            std::string::npos);
}

TEST_F(ShadowVolumeGeometryTest, LongTubeIsWalkedWithoutRecursion) {
  // A closed three-sided tube of 3640 segments: 21842 faces whose walk runs thousands deep.
  const UINT segments = 3640;
  std::vector<Vertex> vertices;
  const float corner[3][2] = {{1, 0}, {-0.5f, 0.866f}, {-0.5f, -0.866f}};
  for (UINT r = 0; r <= segments; ++r)
    for (const auto& xy : corner) vertices.push_back(At(xy[0], xy[1], static_cast<float>(r)));
  std::vector<Triangle> faces = {{0, 2, 1}};
  for (UINT r = 0; r < segments; ++r)
    for (UINT j = 0; j < 3; ++j) {
      const WORD a = static_cast<WORD>(3 * r + j), b = static_cast<WORD>(3 * r + (j + 1) % 3);
      const WORD c = static_cast<WORD>(a + 3), d = static_cast<WORD>(b + 3);
      faces.push_back({a, b, d});
      faces.push_back({a, d, c});
    }
  const WORD last = static_cast<WORD>(3 * segments);
  faces.push_back({last, static_cast<WORD>(last + 1), static_cast<WORD>(last + 2)});
  CMesh* mesh = AddMesh("tube");
  ASSERT_EQ(Load(mesh, vertices, faces), 1u);

  ASSERT_TRUE(GeometryStored());
  const size_t faceCount = faces.size();
  EXPECT_EQ(mesh->GetNumberOfEdges(), 3 * faceCount / 2);
  ASSERT_EQ(spatial.shadowIndices.size(), 3 * faceCount + 6 * (3 * faceCount / 2));
  std::vector<int> emitted(faceCount, 0);
  const std::vector<WORD>& indices = spatial.shadowIndices;
  for (size_t i = 0; i < indices.size();) {
    const bool face = indices[i] / 3 == indices[i + 1] / 3 && indices[i + 1] / 3 == indices[i + 2] / 3;
    if (face) ++emitted[indices[i] / 3];
    i += face ? 3 : 6;
  }
  EXPECT_TRUE(std::all_of(emitted.begin(), emitted.end(), [](int n) { return n == 1; }));
}

TEST_F(ShadowVolumeGeometryTest, BrokenAdjacencyOrMissingIndexBufferLeavesTheMeshOpen) {
  std::vector<Vertex> triangle = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
  std::vector<Face> faces;
  std::vector<Edge> edges;
  SelfClosedFaces(2, faces, edges);
  struct Case {
    const char* name;
    WORD face1, face2;  // the owners given to face 0's second edge after it was taken over
    const char* walkError;
  };
  const Case cases[] = {
      {"notOwner", 1, 1,
       "ERROR! - While Preparing Geometry For Shadow Volume, Implementation Error In: notOwner\n"},
      // A face the mesh does not have: its corners cannot be matched, nothing reads past faces.
      {"missingFace", 0, 7, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    log.entries.clear();
    CMesh* mesh = AddMesh(test.name);
    mesh->SetVertices(3, triangle.data(), 0);
    mesh->SetFaces(2, faces.data());
    mesh->PrepareShadowVolume(edges.data(), static_cast<UINT>(edges.size()));
    ASSERT_EQ(mesh->GetIsClosed(), 1u);
    mesh->GetEdge(1)->wFace1 = test.face1;
    mesh->GetEdge(1)->wFace2 = test.face2;
    mesh->CreateShadowVolumeGeometry();
    EXPECT_EQ(mesh->GetIsClosed(), 0u);
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
              std::string(test.walkError) + "ERROR! - Can't Prepare Geometry For Shadow Volume In " +
                  test.name + "\n");
  }

  indexBuffers.fail = true;
  CMesh* noBuffer = AddMesh("noBuffer");
  noBuffer->SetVertices(3, triangle.data(), 0);
  noBuffer->SetFaces(2, faces.data());
  noBuffer->PrepareShadowVolume(edges.data(), static_cast<UINT>(edges.size()));
  EXPECT_EQ(noBuffer->GetIsClosed(), 0u);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError)
                .find("ERROR! - Can't Create Index Buffer For Shadow Volume Geometry For: "
                      "noBuffer\n"),
            std::string::npos);
}

}  // namespace

namespace {

TEST(ShadowVolumeBoneSlotsTest, RepeatedBonesMergeIntoOneFaceSlotStrongestFirst) {
  Vertex corners[3] = {At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)};
  const WORD bones[3][4] = {{3, 3, 5, 0xFFFF}, {5, 0xFFFF, 0xFFFF, 0xFFFF},
                            {7, 0xFFFF, 0xFFFF, 0xFFFF}};
  const float weights[3][4] = {{0.2f, 0.2f, 0.6f, 0}, {1, 0, 0, 0}, {1, 0, 0, 0}};
  for (int v = 0; v < 3; ++v)
    for (int b = 0; b < 4; ++b) {
      corners[v].wBonesIndices[b] = bones[v][b];
      corners[v].fWeights[b] = weights[v][b];
    }
  std::vector<Face> faces;
  std::vector<Edge> edges;
  SelfClosedFaces(1, faces, edges);
  CShadowVolumeGeometry geometry("boned", nullptr);
  ASSERT_TRUE(geometry.Build(faces.data(), 1, edges.data(), 3, corners, 3, true, false));

  // Averages per bone: 7 -> 1.0, 5 -> 0.8, 3 -> 0.2; scaled to sum to 1.
  for (const Vertex& vertex : geometry.m_DynamicVertices) {
    EXPECT_FLOAT_EQ(vertex.vecTangent.x, 0.5f);
    EXPECT_FLOAT_EQ(vertex.vecTangent.y, 0.4f);
    EXPECT_FLOAT_EQ(vertex.vecTangent.z, 0.1f);
    EXPECT_EQ(vertex.fTU[0], 7.0f);
    EXPECT_EQ(vertex.fTU[1], 5.0f);
    EXPECT_EQ(vertex.fTV[0], 3.0f);
    EXPECT_EQ(vertex.fTV[1], 65535.0f);
  }
  EXPECT_TRUE(geometry.m_StaticVertices.empty());  // a boned mesh is extruded on the card
}

}  // namespace
