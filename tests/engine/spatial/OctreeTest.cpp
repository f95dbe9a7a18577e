#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeOctreeMesh.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "spatial/Octree.h"

namespace {

constexpr float kLargest = 3.4028235e38f;

class OctreeTest : public ::testing::Test {
 protected:
  // A tree over the cube min..max whose world box is worldMin..worldMax.
  std::unique_ptr<COctree> Build(const CVector3& min, const CVector3& max, const CVector3& worldMin,
                                 const CVector3& worldMax, float fMin) {
    cells = 0;
    const CVector3 centre = (worldMin + worldMax) * 0.5f;
    auto root = std::make_unique<COctree>(&log, &renderer, nullptr, nullptr, min, max, centre,
                                          worldMax - centre, fMin, &cells, 0);
    root->LinkBrothers();
    return root;
  }
  // The cube 0..4 cut into 2 x 2 x 2 leaves of edge 2.
  std::unique_ptr<COctree> EightLeaves() { return Build({}, {4, 4, 4}, {}, {4, 4, 4}, 2.0f); }

  static std::vector<CMeshInterface*> Entries(COctree* cell) {
    CMeshInterface** entries = nullptr;
    UINT count = 0;
    cell->GetMeshes(&entries, &count);
    return entries ? std::vector<CMeshInterface*>(entries, entries + count)
                   : std::vector<CMeshInterface*>();
  }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  CRecordingEngineLog log;
  RecordingDrawRenderer renderer;
  UINT cells = 0;
};

TEST_F(OctreeTest, IdsFollowPreOrderAndLeavesLieOnOneLevel) {
  auto root = Build({}, {4, 4, 4}, {}, {4, 4, 4}, 1.0f);
  ASSERT_EQ(cells, 73u);  // 1 + 8 + 64
  EXPECT_EQ(root->GetID(), 0u);
  // Child 0 is the +x, -y, -z octant and its subtree is numbered before child 1.
  COctree* first = root->GetChild(0);
  EXPECT_EQ(first->GetID(), 1u);
  EXPECT_EQ(first->GetMin(), CVector3(2, 0, 0));
  EXPECT_EQ(first->GetMax(), CVector3(4, 2, 2));
  EXPECT_EQ(first->GetChild(7)->GetID(), 9u);
  EXPECT_EQ(root->GetChild(1)->GetID(), 10u);
  EXPECT_EQ(root->GetChild(7)->GetChild(7)->GetID(), 72u);

  for (UINT id = 0; id < cells; ++id) {
    COctree* cell = root->FindByID(id);
    ASSERT_NE(cell, nullptr) << id;
    EXPECT_EQ(cell->GetID(), id);
    // Edge 1 equals fMin: those cells do not subdivide and are the only ones with entries.
    EXPECT_EQ(cell->IsLeaf(), cell->GetLevel() == 2) << id;
    EXPECT_EQ(Entries(cell).size(), cell->IsLeaf() ? 32u : 0u) << id;
  }
  EXPECT_EQ(root->FindByID(cells), nullptr);
}

TEST_F(OctreeTest, CellsAreCollectedInPreOrderUpToTheTablesCapacity) {
  auto root = Build({}, {4, 4, 4}, {}, {4, 4, 4}, 1.0f);
  std::vector<COctree*> table(cells);
  UINT count = 0;
  EXPECT_EQ(root->CollectCells(table.data(), &count, cells), cells);
  for (UINT i = 0; i < cells; ++i) EXPECT_EQ(table[i]->GetID(), i);
  EXPECT_EQ(log.entries.size(), 0u);

  count = 0;
  EXPECT_EQ(root->CollectCells(table.data(), &count, 3), 3u);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
            "ERROR!!! - Can't Save Octree, Not Enuff Temporary Memory\n");
}

TEST_F(OctreeTest, ACubeNoLargerThanFMinOnAnyAxisIsOneLeaf) {
  struct Case {
    CVector3 max;
    float fMin;
  };
  for (const Case& c : {Case{{2, 2, 2}, 2.0f}, Case{{1, 1, 1}, 2.0f}, Case{{4, 1, 4}, 1.0f}}) {
    auto root = Build({}, c.max, {}, c.max, c.fMin);
    EXPECT_EQ(cells, 1u);
    EXPECT_TRUE(root->IsLeaf());
    std::vector<CMeshInterface*> entries = Entries(root.get());
    EXPECT_EQ(entries, std::vector<CMeshInterface*>(32, nullptr));
    for (UINT side = 0; side < COctree::kBrothers; ++side)
      EXPECT_EQ(root->GetBrother(side), nullptr);
  }
}

TEST_F(OctreeTest, OnlyOctantsThatMeetTheWorldBoxAreMade) {
  // Touching the world box at the centre point is enough for all eight.
  auto touching = Build({}, {4, 4, 4}, {}, {2, 2, 2}, 3.0f);
  EXPECT_EQ(cells, 9u);
  // Any gap leaves only the -x, -y, -z octant (child 3).
  auto apart = Build({}, {4, 4, 4}, {}, {1.9f, 1.9f, 1.9f}, 3.0f);
  EXPECT_EQ(cells, 2u);
  for (UINT child = 0; child < 8; ++child)
    EXPECT_EQ(apart->GetChild(child) != nullptr, child == 3) << child;
  // Outside every made child a point finds no leaf.
  EXPECT_EQ(apart->FindLeafByPoint({3, 3, 3}), nullptr);
}

TEST_F(OctreeTest, SubdivisionStopsAtTheDeepestLevel) {
  // A world box that is a point at the corner meets one octant per level; without a limit a
  // huge cube over a small fMin would go on for a hundred levels.
  auto root = Build({}, {1e30f, 1e30f, 1e30f}, {}, {}, 1e-30f);
  EXPECT_EQ(cells, OCTREE_MAX_LEVEL + 1u);
  COctree* deepest = root->FindLeafByPoint({});
  ASSERT_NE(deepest, nullptr);
  EXPECT_EQ(deepest->GetLevel(), OCTREE_MAX_LEVEL);
  EXPECT_EQ(Entries(deepest).size(), 32u);
}

TEST_F(OctreeTest, MinimumFacesBelongToTheCellAndMaximumFacesToTheNext) {
  auto root = EightLeaves();
  COctree* low = root->GetChild(3);  // 0..2 on every axis
  EXPECT_TRUE(low->ContainsPoint({0, 0, 0}));
  EXPECT_FALSE(low->ContainsPoint({2, 1, 1}));
  EXPECT_EQ(root->FindLeafByPoint({2, 1, 1}), root->GetChild(0));
  EXPECT_EQ(root->FindLeafByPoint({4, 1, 1}), nullptr);
  // A leaf asked directly answers itself without testing its box.
  EXPECT_EQ(low->FindLeafByPoint({9, 9, 9}), low);
}

TEST_F(OctreeTest, BrothersAreTheSameLevelNeighbours) {
  auto root = EightLeaves();
  COctree* low = root->GetChild(3);
  EXPECT_EQ(low->GetPositiveXBrother(), root->GetChild(0));
  EXPECT_EQ(low->GetPositiveYBrother(), root->GetChild(7));
  EXPECT_EQ(low->GetPositiveZBrother(), root->GetChild(2));
  EXPECT_EQ(low->GetNegativeXBrother(), nullptr);
  EXPECT_EQ(low->GetNegativeYBrother(), nullptr);
  EXPECT_EQ(low->GetNegativeZBrother(), nullptr);
  EXPECT_EQ(root->GetChild(5)->GetNegativeXBrother(), root->GetChild(6));
  for (UINT side = 0; side < COctree::kBrothers; ++side)
    EXPECT_EQ(root->GetBrother(side), nullptr);
}

TEST_F(OctreeTest, AMeshIsFiledInEveryLeafItsBoxOverlaps) {
  auto root = EightLeaves();
  FakeOctreeMesh spanning, corner, outside;
  spanning.Span({1, 1, 1}, {2, 3, 1.5f});  // touches x = 2, crosses y = 2: four leaves
  corner.Span({0.5f, 0.5f, 0.5f}, {1, 1, 1});
  outside.Span({5, 5, 5}, {6, 6, 6});
  for (FakeOctreeMesh* mesh : {&spanning, &corner, &outside}) root->InsertMesh(mesh);

  for (UINT child = 0; child < 8; ++child) {
    std::vector<CMeshInterface*> entries = Entries(root->GetChild(child));
    const bool expected = child == 0 || child == 3 || child == 4 || child == 7;
    EXPECT_EQ(entries[0], expected ? &spanning : nullptr) << child;
  }
  EXPECT_EQ(Entries(root->GetChild(3))[1], &corner);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(OctreeTest, AFullLeafGrowsByOneSlotAndFreedSlotsAreReused) {
  auto root = Build({}, {1, 1, 1}, {}, {1, 1, 1}, 2.0f);
  std::vector<std::unique_ptr<FakeOctreeMesh>> meshes;
  for (int i = 0; i < 33; ++i) {
    meshes.push_back(std::make_unique<FakeOctreeMesh>());
    meshes.back()->Span({0, 0, 0}, {1, 1, 1});
    root->InsertMesh(meshes.back().get());
  }
  EXPECT_EQ(Errors(),
            "ERROR!!! - Not Enuff Entries For Dynamic Meshes For An Octree Box, Got To Allocate "
            "Additional Memory It (Should Be 33)\n");
  std::vector<CMeshInterface*> entries = Entries(root.get());
  ASSERT_EQ(entries.size(), 33u);
  EXPECT_EQ(entries[31], meshes[31].get());
  EXPECT_EQ(entries[32], meshes[32].get());

  log.entries.clear();
  EXPECT_EQ(root->RemoveMesh(meshes[5].get(), 5), 1u);
  FakeOctreeMesh late;
  late.Span({0, 0, 0}, {1, 1, 1});
  root->InsertMesh(&late);
  entries = Entries(root.get());
  EXPECT_EQ(entries.size(), 33u);
  EXPECT_EQ(entries[5], &late);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(OctreeTest, RemovingAMeshThatIsNotInTheSlotChangesNothing) {
  auto root = Build({}, {1, 1, 1}, {}, {1, 1, 1}, 2.0f);
  FakeOctreeMesh mesh, other;
  mesh.Span({0, 0, 0}, {1, 1, 1});
  root->InsertMesh(&mesh);
  const std::string message =
      "ERROR!!! - Can't Remove Mesh From The Octree Coz There's No Such Mesh In\n";
  for (UINT index : {0u, 1u, 32u, 0xFFFFFFFFu}) {
    log.entries.clear();
    EXPECT_EQ(root->RemoveMesh(&other, index), 0u) << index;
    EXPECT_EQ(Errors(), message) << index;
  }
  EXPECT_EQ(Entries(root.get())[0], &mesh);
}

class OctreeRayTest : public OctreeTest {
 protected:
  // Along +x through the middle of the lower leaves.
  CRay ray{{0.5f, 1, 1}, {1, 0, 0}};
};

TEST_F(OctreeRayTest, ARayThatStartsOutsideTheCellsFindsNothingAndKeepsTheDistance) {
  auto root = Build({}, {4, 4, 4}, {}, {1.9f, 1.9f, 1.9f}, 3.0f);
  CRay away{{3, 3, 3}, {1, 0, 0}};
  float distance = 7.0f;
  EXPECT_EQ(root->FindNearestIntersection(away, &distance, 0), nullptr);
  EXPECT_EQ(distance, 7.0f);
  EXPECT_EQ(Errors(), "ERROR!!! - Can't Find Octree Box Where The Ray Starts\n");
}

TEST_F(OctreeRayTest, ARayThatHitsNothingGivesTheLargestFloat) {
  auto root = EightLeaves();
  FakeOctreeMesh missed;
  missed.Span({0, 0, 0}, {4, 4, 4});
  root->InsertMesh(&missed);
  float distance = 7.0f;
  EXPECT_EQ(root->FindNearestIntersection(ray, &distance, 0), nullptr);
  EXPECT_EQ(distance, kLargest);
  // Asked in the start leaf and again in the +x brother the ray walks into.
  EXPECT_EQ(missed.rays, 2);
}

TEST_F(OctreeRayTest, OfEqualDistancesTheLowerSlotWins) {
  auto root = EightLeaves();
  FakeOctreeMesh first, second;
  first.Span({0, 0, 0}, {1, 1, 1}).Hits(1.0f);
  second.Span({0, 0, 0}, {1, 1, 1}).Hits(1.0f);
  root->InsertMesh(&first);
  root->InsertMesh(&second);
  float distance = 0.0f;
  EXPECT_EQ(root->FindNearestIntersection(ray, &distance, 0), &first);
  EXPECT_EQ(distance, 1.0f);
}

TEST_F(OctreeRayTest, HitsAtZeroOrBeyondTheLeafWaitForTheLeafTheyLieIn) {
  auto root = EightLeaves();
  FakeOctreeMesh atOrigin, far, near;
  atOrigin.Span({0, 0, 0}, {1, 1, 1}).Hits(0.0f);
  far.Span({0, 0, 0}, {4, 2, 2}).Hits(3.0f, {3.5f, 1, 1});  // lies in the +x leaf
  near.Span({2, 0, 0}, {3, 2, 2}).Hits(2.0f, {2.5f, 1, 1});
  for (FakeOctreeMesh* mesh : {&atOrigin, &far, &near}) root->InsertMesh(mesh);

  float distance = 0.0f;
  CVector3 point;
  EXPECT_EQ(root->FindNearestIntersection(ray, &distance, 0, &point), &near);
  EXPECT_EQ(distance, 2.0f);
  EXPECT_EQ(point, CVector3(2.5f, 1, 1));
}

TEST_F(OctreeTest, CandidatesAreCollidableMeshesListedOnce) {
  auto root = EightLeaves();
  FakeOctreeMesh a, b, hidden;
  a.Span({0, 0, 0}, {1, 1, 1});
  b.Span({0, 0, 0}, {1, 1, 1});
  hidden.Span({0, 0, 0}, {1, 1, 1});
  hidden.visibleByCollisions = 0;
  for (FakeOctreeMesh* mesh : {&a, &hidden, &b}) root->InsertMesh(mesh);

  CMeshInterface* list[4] = {&b};
  UINT count = 1;
  EXPECT_TRUE(root->GetChild(3)->CollectMeshes(list, &count, 4));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(list[1], &a);
}

TEST_F(OctreeTest, CandidatesStopAtTheListsCapacityWithOneMessage) {
  auto root = EightLeaves();
  FakeOctreeMesh a, b, c;
  for (FakeOctreeMesh* mesh : {&a, &b, &c}) root->InsertMesh(&mesh->Span({1, 1, 1}, {3, 3, 3}));

  CMeshInterface* list[2] = {};
  UINT count = 0;
  // From leaf 3 along +z to leaf 2 (leaf 3 is leaf 2's -z brother).
  EXPECT_FALSE(root->GetChild(2)->CollectMeshesAlongZ(list, &count, 2, 5, root->GetChild(3)));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(list[0], &a);
  EXPECT_EQ(list[1], &b);
  EXPECT_EQ(Errors(), "ERROR!!! - Not Enuff Space For Possible Colliders, Only 2 Kept\n");
}

TEST_F(OctreeTest, TheWalkAlongZMovesAwayFromWhereItCameFrom) {
  // Four leaves along z: 0..1, 1..2, 2..3, 3..4 at x, y in 0..1.
  auto root = Build({}, {4, 4, 4}, {}, {0.5f, 0.5f, 4}, 1.0f);
  COctree* cell[4];
  for (int z = 0; z < 4; ++z) cell[z] = root->FindLeafByPoint({0.5f, 0.5f, z + 0.5f});
  FakeOctreeMesh meshes[4];
  for (int z = 0; z < 4; ++z) root->InsertMesh(&meshes[z].Span({0, 0, z + 0.4f}, {1, 1, z + 0.6f}));

  struct Case {
    COctree* start;
    COctree* previous;
    UINT steps;
    std::vector<CMeshInterface*> expected;
  };
  const Case cases[] = {
      {cell[1], cell[0], 5, {&meshes[1], &meshes[2], &meshes[3]}},  // stops at the missing brother
      {cell[1], cell[0], 1, {&meshes[1], &meshes[2]}},
      {cell[2], cell[3], 9, {&meshes[2], &meshes[1], &meshes[0]}},
      {cell[1], root.get(), 3, {&meshes[1]}},  // not a z brother: no walk
  };
  for (const Case& c : cases) {
    CMeshInterface* list[8] = {};
    UINT count = 0;
    EXPECT_TRUE(c.start->CollectMeshesAlongZ(list, &count, 8, c.steps, c.previous));
    EXPECT_EQ(std::vector<CMeshInterface*>(list, list + count), c.expected);
  }
}

TEST_F(OctreeTest, DebugBoxesAreTwelveLinesPerCell) {
  auto root = EightLeaves();
  root->GetChild(0)->DrawBox();
  EXPECT_EQ(renderer.calls,
            (std::vector<std::string>{"transform 256", "fvf 450", "vertex shader null",
                                      "pixel shader null", "state 8=2", "draw", "state 8=3"}));
  ASSERT_EQ(renderer.draws.size(), 1u);
  const RecordingDrawRenderer::Draw& draw = renderer.draws[0];
  EXPECT_EQ(draw.type, 2u);
  EXPECT_EQ(draw.vertexCount, 8u);
  EXPECT_EQ(draw.primitiveCount, 12u);
  EXPECT_EQ(draw.stride, 28u);
  EXPECT_EQ(draw.indices, (std::vector<WORD>{0, 1, 1, 2, 2, 3, 3, 0, 0, 4, 1, 5,
                                             2, 6, 3, 7, 4, 5, 5, 6, 6, 7, 4, 7}));
  // Vertex 2 is (max.x, min.y, max.z) in the octree's colour.
  float position[3];
  DWORD colour;
  std::memcpy(position, &draw.vertexBytes[2 * 28], sizeof position);
  std::memcpy(&colour, &draw.vertexBytes[2 * 28 + 12], sizeof colour);
  EXPECT_EQ(CVector3(position[0], position[1], position[2]), CVector3(4, 0, 2));
  EXPECT_EQ(colour, OCTREE_DEBUG_COLOR);

  renderer.draws.clear();
  root->DrawBoxes(1);
  EXPECT_EQ(renderer.draws.size(), 9u);
}

}  // namespace
