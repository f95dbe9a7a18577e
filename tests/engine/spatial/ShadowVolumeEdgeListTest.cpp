#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RecordingEngineLog.h"
#include "spatial/EdgeList.h"

namespace {

struct ImportFace {
  WORD v[3];
  WORD edgeIndex[3];
  Edge* edge[3];
};

ImportFace Tri(WORD a, WORD b, WORD c) {
  ImportFace face{};
  face.v[0] = a;
  face.v[1] = b;
  face.v[2] = c;
  return face;
}

struct Built {
  UINT result;
  UINT count;
  std::unique_ptr<Edge[]> edges;
};

Built Build(std::vector<ImportFace>& faces, CEngineLog* log) {
  Edge* edges = nullptr;
  Built built{0, 0, nullptr};
  built.result =
      BuildEdgeList(&edges, &built.count, faces.data(), static_cast<UINT>(faces.size()), log);
  built.edges.reset(edges);
  return built;
}

TEST(ShadowVolumeEdgeListTest, TetrahedronEdgesHaveTwoOwnersAndFacesKnowTheirEdges) {
  std::vector<ImportFace> faces = {Tri(0, 2, 1), Tri(0, 1, 3), Tri(0, 3, 2), Tri(1, 2, 3)};
  CRecordingEngineLog log;
  Built built = Build(faces, &log);
  ASSERT_EQ(built.result, 1u);
  ASSERT_EQ(built.count, 6u);
  for (UINT e = 0; e < 6; ++e) {
    const Edge& edge = built.edges[e];
    EXPECT_LT(edge.wIndex1, edge.wIndex2);
    EXPECT_LT(edge.wFace1, edge.wFace2);
    EXPECT_EQ(edge.pOwner1, reinterpret_cast<Face*>(&faces[edge.wFace1]));
    EXPECT_EQ(edge.pOwner2, reinterpret_cast<Face*>(&faces[edge.wFace2]));
    EXPECT_EQ(edge.dwOvershared, 0u);
  }
  // Face 1's first edge (0, 1) was first met as face 0's last edge (1, 0).
  EXPECT_EQ(faces[1].edgeIndex[0], faces[0].edgeIndex[2]);
  for (const ImportFace& face : faces)
    for (UINT k = 0; k < 3; ++k) {
      const Edge& edge = built.edges[face.edgeIndex[k]];
      EXPECT_EQ(face.edge[k], &edge);
      const WORD a = face.v[k], b = face.v[(k + 1) % 3];
      EXPECT_EQ(edge.wIndex1, std::min(a, b));
      EXPECT_EQ(edge.wIndex2, std::max(a, b));
    }
  // Slots past the count stay as the buffer was filled.
  Edge unused;
  std::memset(static_cast<void*>(&unused), 0xFF, sizeof unused);
  EXPECT_EQ(std::memcmp(&built.edges[6], &unused, sizeof unused), 0);
  EXPECT_TRUE(log.entries.empty());
}

TEST(ShadowVolumeEdgeListTest, ThirdFaceOnAnEdgeFlagsItAndIsNotLinked) {
  std::vector<ImportFace> faces = {Tri(0, 1, 2), Tri(1, 0, 3), Tri(0, 1, 4)};
  Built built = Build(faces, nullptr);
  EXPECT_EQ(built.result, 0u);
  const Edge& shared = built.edges[faces[0].edgeIndex[0]];
  EXPECT_EQ(shared.dwOvershared, 1u);
  EXPECT_EQ(shared.wFace1, 0u);
  EXPECT_EQ(shared.wFace2, 1u);
  EXPECT_EQ(faces[2].edge[0], nullptr);
  EXPECT_NE(faces[2].edge[1], nullptr);
}

TEST(ShadowVolumeEdgeListTest, FullBufferIsRefusedAndLogged) {
  // Triangles on fresh points: three new edges each, more than the buffer's 32767.
  std::vector<ImportFace> faces(12000);
  for (UINT i = 0; i < faces.size(); ++i)
    for (UINT k = 0; k < 3; ++k) faces[i].v[k] = static_cast<WORD>(3 * i + k);
  CRecordingEngineLog log;
  Built built = Build(faces, &log);
  EXPECT_EQ(built.result, 0u);
  EXPECT_EQ(built.count, CEdgeList::kCapacity - 1);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "!!!Not Enuff Entries In Edges Buffer\n");
}

}  // namespace
