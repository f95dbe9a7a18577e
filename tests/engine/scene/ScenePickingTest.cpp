// Scene queries without an octree: the nearest mesh a ray hits, by the hit or by the meshes'
// pivots, and the meshes near a point that may collide with a body there.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

#include "RayMeshBench.h"
#include "spatial/Octree.h"

namespace {

constexpr float kLargest = std::numeric_limits<float>::max();

class ScenePickingTest : public ::testing::Test {
 protected:
  ScenePickingTest() : scene(bench.NewScene("scene")) {}

  std::vector<CMeshInterface*> Colliders(const CVector3& at, float radius) {
    CVector3 point = at;
    CMeshInterface** meshes = nullptr;
    UINT count = 0xFFFF;
    scene->GetPossibleColliders(point, radius, &meshes, &count);
    return count == 0 ? std::vector<CMeshInterface*>{}
                      : std::vector<CMeshInterface*>(meshes, meshes + count);
  }

  RayMeshBench bench;
  TestScene* scene;
};

TEST_F(ScenePickingTest, NothingHit) {
  bench.AddCube(scene, "cube", {0, 0, 10});
  CRay ray({5, 5, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal(9, 9, 9);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01), nullptr);
  EXPECT_EQ(distance, kLargest);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01, &normal), nullptr);
  EXPECT_EQ(distance, kLargest);
  EXPECT_EQ(normal, CVector3());
}

TEST_F(ScenePickingTest, NearestMeshWhateverTheListOrder) {
  CMesh* far = bench.AddCube(scene, "far", {0, 0, 10});
  CMesh* near = bench.AddCube(scene, "near", {0, 0, 5});
  CRay ray({0.3f, -0.2f, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01), near);
  EXPECT_FLOAT_EQ(distance, 4);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x41, &normal), near);
  EXPECT_FLOAT_EQ(distance, 4);
  EXPECT_EQ(normal, CVector3(0, 0, -1));
  // A mesh the rays do not see is passed over.
  near->SetVisibility(1, 0, 1);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01), far);
  EXPECT_FLOAT_EQ(distance, 9);
}

TEST_F(ScenePickingTest, TiesKeepTheMeshEarlierInTheList) {
  CMesh* first = bench.AddCube(scene, "first", {0, 0, 5});
  bench.AddCube(scene, "second", {0, 0, 5});
  CRay ray({0.3f, -0.2f, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01), first);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01, &normal), first);
}

TEST_F(ScenePickingTest, PivotRankingAgainstHitRanking) {
  // The big cube's near side is closer; the small cube's pivot is.
  CMesh* big = bench.AddCube(scene, "big", {0, 0, 6}, 4);
  CMesh* small = bench.AddCube(scene, "small", {0, 0, 5});
  CRay ray({0.3f, -0.2f, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal(9, 9, 9);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x01), big);
  EXPECT_FLOAT_EQ(distance, 2);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x02, &normal), small);
  EXPECT_FLOAT_EQ(distance, (CVector3(0, 0, 5) - ray.vecOrigin).Length());
  EXPECT_EQ(normal, CVector3());
  // A pivot at the ray's origin is never the answer, though the ray starts in its box.
  CMesh* around = bench.AddCube(scene, "around", {0.3f, -0.2f, 0});
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x02), small);
  around->SetPosition({0.3f, -0.2f, 1});
  RayMeshBench::Place(around);
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x02), around);
  EXPECT_FLOAT_EQ(distance, 1);
}

TEST_F(ScenePickingTest, CollidersWithoutOctreeByBoxCentre) {
  CMesh* inside = bench.AddCube(scene, "inside", {2, 0, 0});
  bench.AddCube(scene, "at the radius", {0, 3, 0});
  bench.AddCube(scene, "outside", {5, 0, 0});
  // Its box centre lies ten units along x in its own space, at the world origin once placed.
  CMesh* shifted = bench.AddCube(scene, "shifted", {-10, 0, 0}, 1, {10, 0, 0});
  EXPECT_EQ(Colliders({0, 0, 0}, 3), (std::vector<CMeshInterface*>{inside, shifted}));
  EXPECT_EQ(Colliders({100, 0, 0}, 3), std::vector<CMeshInterface*>{});
  // A mesh without a box has no centre to measure: it is never a candidate.
  CMesh* empty = dynamic_cast<CMesh*>(scene->AddMesh(0));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(Colliders({0, 0, 0}, 3), (std::vector<CMeshInterface*>{inside, shifted}));
}

// --- with an octree ---

class SceneOctreePickingTest : public ScenePickingTest {
 protected:
  SceneOctreePickingTest() { bench.context->pVirtualFileSystem = nullptr; }  // always built

  bool Warned() const {
    return bench.CountLogged(
               CEngineLog::kLevelError,
               "WARNING!!! - Using Normal RayTracing Method To Determine At Intersection\n") > 0;
  }
};

TEST_F(SceneOctreePickingTest, TheOctreeAnswersAndEveryMeshIsAskedWhenItFindsNothing) {
  bench.AddCube(scene, "far", {0, 0, 10});
  CMesh* near = bench.AddCube(scene, "near", {0, 0, 5});
  ASSERT_EQ(scene->BuildOctree(2.0f, 0), 1u);
  ASSERT_NE(scene->GetOctree(), nullptr);

  CRay ray({0.3f, -0.2f, 0}, {0, 0, 1});
  float distance = 0.0f;
  CVector3 normal;
  EXPECT_EQ(scene->FindNearestIntersection(ray, &distance, 0x41, &normal), near);
  EXPECT_FLOAT_EQ(distance, 4);
  EXPECT_EQ(normal, CVector3(0, 0, -1));
  EXPECT_FALSE(Warned());

  // A ray from outside the tree finds no cell to start from: the meshes are asked one by one.
  CRay outside({0.3f, -0.2f, -50}, {0, 0, 1});
  EXPECT_EQ(scene->FindNearestIntersection(outside, &distance, 0x01), near);
  EXPECT_FLOAT_EQ(distance, 54);
  EXPECT_TRUE(Warned());
}

TEST_F(SceneOctreePickingTest, CollidersComeFromTheCellsAroundThePoint) {
  CMesh* here = bench.AddCube(scene, "here", {0, 0, 0});
  CMesh* ghost = bench.AddCube(scene, "ghost", {0, 0, 0});
  ghost->SetVisibility(1, 1, 0);
  bench.AddCube(scene, "far", {30, 0, 0});
  ASSERT_EQ(scene->BuildOctree(2.0f, 0), 1u);

  // Only what collisions see, from the cell of the point and its column.
  EXPECT_EQ(Colliders({0.5f, 0.5f, 0.5f}, 0.1f), std::vector<CMeshInterface*>{here});
  // A point in no cell gives no candidates and leaves the list pointer alone.
  CVector3 nowhere(500, 0, 0);
  CMeshInterface** meshes = reinterpret_cast<CMeshInterface**>(&nowhere);
  UINT count = 7;
  scene->GetPossibleColliders(nowhere, 3, &meshes, &count);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(meshes, reinterpret_cast<CMeshInterface**>(&nowhere));
}

TEST_F(SceneOctreePickingTest, ARadiusOfACellOrMoreTakesInTheCellsAboveAndBelow) {
  // A tree of edge 8 from the origin, cut into cells of edge 2.
  CMesh* upper = bench.AddCube(scene, "upper", {0.5f, 4.5f, 0.5f}, 0.3f);
  CMesh* lower = bench.AddCube(scene, "lower", {0.5f, 0.5f, 0.5f}, 0.3f);
  bench.AddCube(scene, "corner", {7, 7, 7});
  ASSERT_EQ(scene->BuildOctree(2.0f, 0), 1u);
  EXPECT_EQ(Colliders({0.5f, 4.5f, 0.5f}, 0.4f), std::vector<CMeshInterface*>{upper});
  EXPECT_EQ(Colliders({0.5f, 4.5f, 0.5f}, 1.0f), (std::vector<CMeshInterface*>{upper, lower}));
  EXPECT_EQ(Colliders({0.5f, 0.5f, 0.5f}, 1.0f), (std::vector<CMeshInterface*>{lower, upper}));
}

TEST_F(SceneOctreePickingTest, CollidersWithATreeIncludeEveryMeshTheBoxCentresFind) {
  // A 6x6x6 grid of small cubes, twice over: in the scene that gets a tree, and in one without
  // a tree that answers by box centre.
  TestScene* plain = bench.NewScene("plain");
  std::vector<CMeshInterface*> meshes, twins;
  for (int x = 0; x < 6; ++x)
    for (int y = 0; y < 6; ++y)
      for (int z = 0; z < 6; ++z) {
        const CVector3 at(x * 2.0f + 0.5f, y * 2.0f + 0.5f, z * 2.0f + 0.5f);
        meshes.push_back(bench.AddCube(scene, "grid", at, 0.2f));
        twins.push_back(bench.AddCube(plain, "twin", at, 0.2f));
      }
  ASSERT_EQ(scene->BuildOctree(1.0f, 0), 1u);

  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(0.1f, 10.9f), radius(0.0f, 4.0f);
  for (int query = 0; query < 200; ++query) {
    const CVector3 point(coordinate(random), coordinate(random), coordinate(random));
    const float reach = radius(random);
    std::vector<CMeshInterface*> byCentre;
    {
      CVector3 at = point;
      CMeshInterface** list = nullptr;
      UINT count = 0;
      plain->GetPossibleColliders(at, reach, &list, &count);
      byCentre.assign(list, list + count);
    }
    const std::vector<CMeshInterface*> byTree = Colliders(point, reach);
    for (CMeshInterface* twin : byCentre) {
      const size_t index = std::find(twins.begin(), twins.end(), twin) - twins.begin();
      ASSERT_LT(index, twins.size());
      EXPECT_NE(std::find(byTree.begin(), byTree.end(), meshes[index]), byTree.end())
          << "query " << query << " radius " << reach << " misses mesh " << index;
    }
    // Each mesh at most once.
    std::vector<CMeshInterface*> sorted = byTree;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  }
}

TEST_F(SceneOctreePickingTest, AMissInTheTreeAnswersAsAskingEveryMesh) {
  // A 5x5x5 lattice of cubes in the scene with a tree and in a twin without one; then, after
  // the tree is built, one cube moves out of the tree's box and one is added outside it.
  TestScene* plain = bench.NewScene("plain");
  std::vector<CMesh*> meshes, twins;
  for (int x = 0; x < 5; ++x)
    for (int y = 0; y < 5; ++y)
      for (int z = 0; z < 5; ++z) {
        const CVector3 at(x * 3.0f, y * 3.0f, z * 3.0f);
        meshes.push_back(bench.AddCube(scene, "cube", at, 0.5f));
        twins.push_back(bench.AddCube(plain, "twin", at, 0.5f));
      }
  ASSERT_EQ(scene->BuildOctree(2.0f, 0), 1u);
  COctree* tree = scene->GetOctree();
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(std::all_of(meshes.begin(), meshes.end(),
                          [&](CMesh* mesh) { return tree->ListsMeshWherever(mesh); }));

  std::mt19937 random(11);
  std::uniform_real_distribution<float> coordinate(-4.0f, 16.0f), direction(-1.0f, 1.0f);
  auto sameAnswers = [&](const char* stage) {
    for (int i = 0; i < 300; ++i) {
      const CVector3 origin(coordinate(random), coordinate(random), coordinate(random));
      // Every third ray runs along an axis, between or through the lattice's rows.
      CVector3 way(direction(random), direction(random), direction(random));
      if (i % 3 == 0) way = CVector3(0, 0, 1);
      CRay ray(origin, way), twinRay(origin, way);
      float distance = 0.0f, twinDistance = 0.0f;
      CVector3 normal, twinNormal;
      CMeshInterface* hit = scene->FindNearestIntersection(ray, &distance, 0x01, &normal);
      CMeshInterface* twinHit = plain->FindNearestIntersection(twinRay, &twinDistance, 0x01,
                                                               &twinNormal);
      ASSERT_EQ(hit == nullptr, twinHit == nullptr) << stage << " ray " << i;
      if (hit == nullptr) continue;
      EXPECT_FLOAT_EQ(distance, twinDistance) << stage << " ray " << i;
      EXPECT_EQ(normal, twinNormal) << stage << " ray " << i;
    }
  };
  sameAnswers("built");

  for (std::vector<CMesh*>* list : {&meshes, &twins}) {
    list->front()->SetPosition({30, 1, 1});
    RayMeshBench::Place(list->front());
  }
  EXPECT_FALSE(tree->ListsMeshWherever(meshes.front()));
  bench.AddCube(scene, "late", {1.5f, 1.5f, -20});
  bench.AddCube(plain, "late", {1.5f, 1.5f, -20});
  sameAnswers("moved");
  // Rays aimed at the two cubes outside the tree, from inside and outside it.
  for (const CRay& aimed : {CRay({1, 1, 1}, {1, 0, 0}), CRay({1.5f, 1.5f, 5}, {0, 0, -1}),
                            CRay({40, 1, 1}, {-1, 0, 0})}) {
    CRay ray = aimed, twinRay = aimed;
    float distance = 0.0f, twinDistance = 0.0f;
    ASSERT_NE(plain->FindNearestIntersection(twinRay, &twinDistance, 0x01), nullptr);
    ASSERT_NE(scene->FindNearestIntersection(ray, &distance, 0x01), nullptr);
    EXPECT_FLOAT_EQ(distance, twinDistance);
  }
}

}  // namespace
