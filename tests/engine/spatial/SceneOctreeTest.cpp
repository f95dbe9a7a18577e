#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeOctreeMesh.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Mesh.h"
#include "spatial/MeshSpatialServices.h"
#include "spatial/Octree.h"

namespace {

using ::testing::HasSubstr;

// The cells of the tree whose entries hold the mesh.
std::set<COctree*> CellsHolding(COctree* root, CMeshInterface* mesh) {
  std::vector<COctree*> cells(OCTREE_MAX_CELLS);
  UINT count = 0;
  root->CollectCells(cells.data(), &count, OCTREE_MAX_CELLS);
  std::set<COctree*> holding;
  for (UINT i = 0; i < count; ++i) {
    CMeshInterface** entries = nullptr;
    UINT slots = 0;
    cells[i]->GetMeshes(&entries, &slots);
    for (UINT slot = 0; entries != nullptr && slot < slots; ++slot)
      if (entries[slot] == mesh) holding.insert(cells[i]);
  }
  return holding;
}

class SceneOctreeTest : public ::testing::Test {
 protected:
  SceneOctreeTest() : scene(new TestScene(nullptr, &log)) {
    context->pVirtualFileSystem = nullptr;  // no octree file to find
    scene->SetName("level");
  }
  ~SceneOctreeTest() override { ReleaseScene(); }
  void ReleaseScene() {
    if (scene != nullptr) scene->Release();
    scene = nullptr;
  }

  FakeOctreeMesh* AddFake(const char* name, const CVector3& min, const CVector3& max) {
    auto* mesh = new FakeOctreeMesh(scene, name);
    mesh->Span(min, max);
    scene->AppendWorldObject(mesh);
    return mesh;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  TestScene* scene;
};

TEST_F(SceneOctreeTest, TheRootIsACubeAroundTheWorldAndTheOrigin) {
  FakeOctreeMesh* a = AddFake("a", {1, 1, 1}, {3, 2, 2});
  // Seen by cameras only: filed, but the world box is made of what rays and collisions see.
  FakeOctreeMesh* b = AddFake("b", {2, 0.5f, 1}, {5, 1, 1});
  b->visibleByRays = 0;
  FakeOctreeMesh* c = AddFake("c", {0, 0, 0}, {1, 1, 1});
  c->visibleByRays = c->visibleByCollisions = c->visibleByCameras = 0;

  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  EXPECT_EQ(scene->calls, (std::vector<std::string>{"SetFrame", "PrepareMatrices",
                                                    "UpdateHierarchy"}));
  COctree* root = scene->GetOctree();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetMin(), CVector3(0, -0.00001f, 0));
  EXPECT_EQ(root->GetMax(), CVector3(3, 3, 3));
  const UINT cells = scene->GetNumberOfOctreeCells();
  EXPECT_EQ(root->FindByID(cells - 1)->GetID(), cells - 1);
  EXPECT_EQ(root->FindByID(cells), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
            "- Building Octree For: level.oct (1.000000)\n"
            "  - Building Hierarchy\n"
            "  - 3.000000 (1.000000)\n"
            "    - World: 0.000000, -0.000010, 0.000000 - 3.000000, 3.000000, 3.000000\n"
            "    - " + std::to_string(cells + 1) + " Octree Boxes Created\n"
            "    - 1 Octree Levels Created\n"
            "  - Adding Geometry\n"
            "    - Adding a\n"
            "    - Adding b\n"
            "    - Done\n"
            "  - Updating Hierarchy\n"
            "    - Done\n");
  EXPECT_FALSE(CellsHolding(root, a).empty());
  EXPECT_FALSE(CellsHolding(root, b).empty());
  EXPECT_TRUE(CellsHolding(root, c).empty());
  // Brothers were linked.
  COctree* leaf = root->FindLeafByPoint({0.1f, 0.1f, 0.1f});
  ASSERT_NE(leaf, nullptr);
  EXPECT_NE(leaf->GetPositiveXBrother(), nullptr);
}

TEST_F(SceneOctreeTest, SizesThatCannotEndAndSecondTreesAreRefused) {
  AddFake("a", {0, 0, 0}, {2, 2, 2});
  for (float size : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
    log.entries.clear();
    EXPECT_EQ(scene->BuildOctree(size, 0), 0u) << size;
    EXPECT_EQ(scene->GetOctree(), nullptr);
    EXPECT_THAT(log.TextAt(CEngineLog::kLevelError),
                HasSubstr("ERROR!!! - Incorrect Octree Minimum Cell Size: "));
  }
  EXPECT_TRUE(scene->calls.empty());

  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  COctree* first = scene->GetOctree();
  log.entries.clear();
  EXPECT_EQ(scene->BuildOctree(0.5f, 0), 0u);
  EXPECT_EQ(scene->GetOctree(), first);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - The Scene level Has Got An Octree Already\n");
}

// Engine meshes with real bound volumes, filed by the build and re-filed by their own
// hierarchy pass through the spatial calls.
class SceneOctreeMeshTest : public SceneOctreeTest {
 protected:
  SceneOctreeMeshTest() { context->ports.meshSpatial.Set(&spatial); }
  // The meshes give their bound volumes back through the spatial calls.
  ~SceneOctreeMeshTest() override { ReleaseScene(); }

  CMesh* AddBox(const char* name, const CVector3& min, const CVector3& max) {
    auto* mesh = new CMesh(nullptr, &log, scene, 0);
    mesh->SetName(name);
    Vertex corners[2] = {};
    corners[0].vecPosition = min;
    corners[1].vecPosition = max;
    EXPECT_EQ(mesh->SetVertices(2, corners, 1), 2u);
    scene->AppendWorldObject(mesh);
    // The scene's own passes are not under test here; the mesh runs its passes at frame 0.
    mesh->PrepareMatrices(0.0f);
    mesh->UpdateHierarchy(0.0f);
    return mesh;
  }
  // The cells the mesh was told it is in; each must hold the mesh at the entry it was told.
  static std::set<COctree*> PairedCells(CMesh* mesh) {
    std::set<COctree*> cells;
    const CMesh::OctreeEntry* pairs = mesh->GetOctreeEntries();
    for (UINT i = 0; i < mesh->GetOctreeEntryCapacity(); ++i) {
      if (pairs[i].pCell == nullptr) continue;
      CMeshInterface** entries = nullptr;
      UINT slots = 0;
      pairs[i].pCell->GetMeshes(&entries, &slots);
      EXPECT_LT(pairs[i].dwEntry, slots);
      if (pairs[i].dwEntry < slots) {
        EXPECT_EQ(entries[pairs[i].dwEntry], mesh);
      }
      cells.insert(pairs[i].pCell);
    }
    return cells;
  }

  CMeshSpatialServices spatial{&log, nullptr};
};

TEST_F(SceneOctreeMeshTest, AMeshMovedByItsHierarchyPassIsFiledAgain) {
  CMesh* moving = AddBox("moving", {0, 0, 0}, {1, 1, 1});
  CMesh* still = AddBox("still", {3, 3, 3}, {4, 4, 4});
  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  COctree* root = scene->GetOctree();

  const std::set<COctree*> before = CellsHolding(root, moving);
  EXPECT_EQ(before.size(), 8u);  // the unit box touches its neighbours on three sides
  EXPECT_EQ(PairedCells(moving), before);
  EXPECT_EQ(PairedCells(still), CellsHolding(root, still));

  moving->SetPosition({2.2f, 2.2f, 2.2f});
  moving->PrepareMatrices(1.0f);
  ASSERT_EQ(moving->GetIsDynamic(), 1u);
  moving->UpdateHierarchy(1.0f);

  const std::set<COctree*> after = CellsHolding(root, moving);
  EXPECT_EQ(PairedCells(moving), after);
  EXPECT_TRUE(after.count(root->FindLeafByPoint({2.7f, 2.7f, 2.7f})));
  for (COctree* cell : before) EXPECT_FALSE(after.count(cell));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
}

// A mesh freed while its scene lives leaves the octree; one that outlives its scene forgets the
// scene's cells, so neither leaves a dangling entry or touches freed cells.
TEST_F(SceneOctreeMeshTest, MeshesLeaveTheOctreeWhenFreedOrDetached) {
  CMesh* freed = AddBox("freed", {0, 0, 0}, {1, 1, 1});
  CMesh* survivor = AddBox("survivor", {3, 3, 3}, {4, 4, 4});
  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);
  COctree* root = scene->GetOctree();
  ASSERT_FALSE(CellsHolding(root, freed).empty());

  freed->Release();
  EXPECT_TRUE(CellsHolding(root, freed).empty());
  EXPECT_FALSE(CellsHolding(root, survivor).empty());

  survivor->AddRef();
  ReleaseScene();
  EXPECT_TRUE(PairedCells(survivor).empty());
  survivor->UpdateHierarchy(2.0f);
  survivor->Release();
}

}  // namespace
