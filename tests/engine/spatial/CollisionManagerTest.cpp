// The per-mesh collider and the collision manager, over meshes read through the mesh
// interface: building and releasing colliders, and triangle queries between two meshes.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

#include "FakeMesh.h"
#include "RecordingEngineLog.h"
#include "spatial/Collider.h"
#include "spatial/CollisionManager.h"
#include "spatial/OverlapTests.h"

namespace {

using PairSet = std::set<std::pair<UINT, UINT>>;

// A closed box of 8 vertices and 12 faces.
void AddBox(CFakeMesh& mesh, float half) {
  const UINT first = mesh.GetNumberOfVertices();
  for (int i = 0; i < 8; ++i)
    mesh.AddVertex(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half);
  const UINT quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                            {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (const auto& q : quads) {
    mesh.AddFace(first + q[0], first + q[1], first + q[2]);
    mesh.AddFace(first + q[0], first + q[2], first + q[3]);
  }
}

CMatrix Placement(float scale, float angle, float x, float y, float z) {
  CMatrix world;
  world.SetScale(scale, scale, scale);
  world.RotateY(angle);
  world.RotateZ(angle * 0.5f);
  world.Move(x, y, z);
  return world;
}

// Every face pair tested in world space.
PairSet BruteForce(CFakeMesh& a, CFakeMesh& b) {
  auto corners = [](CFakeMesh& mesh, UINT face, CVector3 (&out)[3]) {
    const Face& f = mesh.faces[face];
    const WORD indices[3] = {f.wIndex1, f.wIndex2, f.wIndex3};
    for (int i = 0; i < 3; ++i) out[i] = mesh.vertices[indices[i]].vecPosition * mesh.world;
  };
  PairSet pairs;
  for (UINT i = 0; i < a.faces.size(); ++i)
    for (UINT j = 0; j < b.faces.size(); ++j) {
      CVector3 u[3], v[3];
      corners(a, i, u);
      corners(b, j, v);
      if (TriangleTriangleOverlap(&u[0].x, &u[1].x, &u[2].x, &v[0].x, &v[1].x, &v[2].x))
        pairs.insert({i, j});
    }
  return pairs;
}

PairSet ToSet(const TrianglePair* pairs, UINT count) {
  PairSet set;
  for (UINT i = 0; i < count; ++i) set.insert({pairs[i].dwIdOne, pairs[i].dwIdTwo});
  return set;
}

struct ColliderRelease {
  void operator()(CCollider* collider) const { collider->Release(); }
};
using ColliderHandle = std::unique_ptr<CCollider, ColliderRelease>;

class CollisionManagerTest : public ::testing::Test {
 protected:
  CollisionManagerTest() : manager(nullptr, &log), first("First"), second("Second") {
    AddBox(first, 1.0f);
    AddBox(second, 1.0f);
    second.world = Placement(1.0f, 0.5f, 1.3f, 0.4f, 0.2f);
  }

  ColliderHandle Make(CFakeMesh& mesh) {
    return ColliderHandle(CCollider::Create(&manager, nullptr, &log, &mesh));
  }

  CRecordingEngineLog log;
  CCollisionManager manager;
  CFakeMesh first;
  CFakeMesh second;
};

}  // namespace

TEST_F(CollisionManagerTest, ColliderBuildsThePlainTreeAndLogsIt) {
  ColliderHandle collider = Make(first);
  ASSERT_NE(collider, nullptr);
  EXPECT_EQ(collider->GetReferenceCount(), 1u);
  EXPECT_EQ(collider->GetModel().GetFlags(), 0u);
  EXPECT_EQ(collider->GetModel().GetUsedBytes(), 28u * 23u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "  - BV-Tree For First Built\n");
  ASSERT_FALSE(log.entries.empty());
  EXPECT_EQ(log.entries[0].source, "ZK3DCollisions");
}

TEST_F(CollisionManagerTest, FailedBuildReleasesTheColliderAndHandsOutNone) {
  struct Case {
    const char* name;
    void (*spoil)(CFakeMesh&);
    const char* error;
  };
  const Case cases[] = {
      {"no faces", [](CFakeMesh& mesh) { mesh.faces.clear(); }, ""},
      {"no vertices", [](CFakeMesh& mesh) { mesh.vertices.clear(); }, ""},
      {"face past the vertices", [](CFakeMesh& mesh) { mesh.faces[3].wIndex2 = 8; },
       "ERROR!!! - Face 3 Of First Uses A Vertex The Mesh Does Not Have\n"},
  };
  for (const Case& c : cases) {
    CFakeMesh mesh("First");
    AddBox(mesh, 1.0f);
    c.spoil(mesh);
    log.entries.clear();
    EXPECT_EQ(Make(mesh), nullptr) << c.name;
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
              "  - BV-Tree For First Built\n- (CCollider) Releasing Of First\n")
        << c.name;
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), c.error) << c.name;
  }
}

TEST_F(CollisionManagerTest, SharedColliderLivesUntilTheLastRelease) {
  CCollider* collider = CCollider::Create(&manager, nullptr, &log, &first);
  ASSERT_NE(collider, nullptr);
  collider->AddRef();
  collider->Release();
  EXPECT_EQ(collider->GetReferenceCount(), 1u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "  - BV-Tree For First Built\n");
  collider->Release();
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo),
            "  - BV-Tree For First Built\n- (CCollider) Releasing Of First\n");
}

TEST_F(CollisionManagerTest, TouchingMeshesAnswerEveryTouchingFacePair) {
  ColliderHandle a = Make(first), b = Make(second);
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(a->CheckCollisionWith(&second, b.get(), 3, &count, &pairs), 1u);
  const PairSet expected = BruteForce(first, second);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(count, expected.size());
  EXPECT_EQ(ToSet(pairs, count), expected);
  for (UINT i = 0; i < count; ++i) EXPECT_LT(pairs[i].dwIdOne, first.faces.size());
}

TEST_F(CollisionManagerTest, FirstContactAnswersOnePair) {
  ColliderHandle a = Make(first), b = Make(second);
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 131, &count, &pairs), 1u);
  ASSERT_EQ(count, 1u);
  EXPECT_TRUE(BruteForce(first, second).count({pairs[0].dwIdOne, pairs[0].dwIdTwo}));
}

TEST_F(CollisionManagerTest, WithoutPairBitsNothingIsTested) {
  ColliderHandle a = Make(first), b = Make(second);
  for (const UINT flags : {0u, 128u, 4u}) {
    UINT count = 77;
    TrianglePair sentinel{};
    TrianglePair* pairs = &sentinel;
    EXPECT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), flags, &count, &pairs), 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(pairs, nullptr);
  }
  EXPECT_TRUE(first.matrixFrames.empty());
  EXPECT_EQ(manager.GetTreeCollider().GetBoxBoxTests(), 0u);
}

TEST_F(CollisionManagerTest, UnansweredQueriesLeaveTheOutValuesAlone) {
  ColliderHandle a = Make(first), b = Make(second);
  CFakeMesh inner("Inner");
  AddBox(inner, 0.25f);  // inside `first`, touching none of its faces
  ColliderHandle c = Make(inner);

  struct Case {
    const char* name;
    CFakeMesh* other;
    CCollider* otherCollider;
    UINT firstVisible;
    UINT otherVisible;
    const char* error;
  };
  const Case cases[] = {
      {"first not visible by collisions", &second, b.get(), 0, 1, ""},
      {"second not visible by collisions", &second, b.get(), 1, 0, ""},
      {"boxes overlap, triangles apart", &inner, c.get(), 1, 1, ""},
      {"no collider", &second, nullptr, 1, 1,
       "ERROR!!! - Can't Perform Collision Query Between: First - Second\n"},
  };
  for (const Case& c : cases) {
    first.visibleByCollisions = c.firstVisible;
    c.other->visibleByCollisions = c.otherVisible;
    log.entries.clear();
    UINT count = 77;
    TrianglePair sentinel{};
    TrianglePair* pairs = &sentinel;
    EXPECT_EQ(
        manager.CheckCollision(&first, a.get(), c.other, c.otherCollider, 3, &count, &pairs), 0u)
        << c.name;
    EXPECT_EQ(count, 77u) << c.name;
    EXPECT_EQ(pairs, &sentinel) << c.name;
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), c.error) << c.name;
    c.other->visibleByCollisions = 1;
  }
}

TEST_F(CollisionManagerTest, PlacementsAreTheMatricesAtEachMeshsFrame) {
  ColliderHandle a = Make(first), b = Make(second);
  first.frame = 12.0f;
  second.frame = 30.0f;
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  manager.CheckCollision(&first, a.get(), &second, b.get(), 3, &count, &pairs);
  EXPECT_EQ(first.matrixFrames, std::vector<float>{12.0f});
  EXPECT_EQ(second.matrixFrames, std::vector<float>{30.0f});

  // Moved apart, then scaled up until it reaches again.
  second.world = Placement(1.0f, 0.5f, 4.0f, 0.0f, 0.0f);
  EXPECT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 3, &count, &pairs), 0u);
  second.world = Placement(2.5f, 0.5f, 4.0f, 0.0f, 0.0f);
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(first, second));
}

TEST_F(CollisionManagerTest, NextQueryReplacesTheAnswerInTheSameArray) {
  ColliderHandle a = Make(first), b = Make(second);
  // The larger answer first, so that the second fits the array the first one grew.
  CMatrix placements[2] = {Placement(1.0f, 0.5f, 1.3f, 0.4f, 0.2f),
                           Placement(1.0f, 0.2f, -1.8f, -0.3f, 0.1f)};
  second.world = placements[1];
  const PairSet smaller = BruteForce(first, second);
  second.world = placements[0];
  const PairSet larger = BruteForce(first, second);
  ASSERT_GE(larger.size(), smaller.size());
  ASSERT_NE(larger, smaller);
  ASSERT_FALSE(smaller.empty());

  UINT count = 0;
  TrianglePair* firstAnswer = nullptr;
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 3, &count, &firstAnswer), 1u);
  second.world = placements[1];
  TrianglePair* secondAnswer = nullptr;
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 3, &count, &secondAnswer), 1u);
  EXPECT_EQ(secondAnswer, firstAnswer);
  EXPECT_EQ(ToSet(secondAnswer, count), smaller);
}

TEST_F(CollisionManagerTest, SingleFaceMeshIsTestedDirectly) {
  CFakeMesh blade("Blade");
  blade.AddVertex(-3, 0.1f, -0.2f);
  blade.AddVertex(3, 0.2f, 0.1f);
  blade.AddVertex(0, 0.3f, 3);
  ColliderHandle a = Make(first);
  blade.AddFace(0, 1, 2);
  ColliderHandle blad = Make(blade);
  ASSERT_NE(blad, nullptr);
  EXPECT_TRUE(blad->GetModel().HasFlag(MODEL_SINGLE_TRIANGLE));
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &blade, blad.get(), 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count), BruteForce(first, blade));
  ASSERT_EQ(manager.CheckCollision(&blade, blad.get(), &first, a.get(), 3, &count, &pairs), 1u);
  EXPECT_EQ(ToSet(pairs, count).size(), BruteForce(first, blade).size());
}

TEST_F(CollisionManagerTest, CachedPairOfOtherMeshesIsNeverFetched) {
  ColliderHandle a = Make(first), b = Make(second);
  UINT count = 0;
  TrianglePair* pairs = nullptr;
  // Lifted along z, `second` misses the two faces of `first` at z = -1, so the first contact
  // cached is a face of `first` beyond the small mesh's two faces.
  second.world.SetMove(0.3f, 0.2f, 1.8f);
  ASSERT_EQ(manager.CheckCollision(&first, a.get(), &second, b.get(), 131, &count, &pairs), 1u);
  ASSERT_GE(manager.GetCache().dwId0, 2u);

  CFakeMesh small("Small");
  small.AddVertex(-2, 0.9f, -2);
  small.AddVertex(2, 0.9f, -2);
  small.AddVertex(0, 0.9f, 2);
  small.AddVertex(0, 3, 0);
  small.AddFace(0, 1, 2);
  small.AddFace(0, 1, 3);
  ColliderHandle s = Make(small);
  ASSERT_EQ(manager.CheckCollision(&small, s.get(), &first, a.get(), 131, &count, &pairs), 1u);
  EXPECT_EQ(small.outOfRangeRequests, 0u);
  EXPECT_EQ(first.outOfRangeRequests, 0u);
  EXPECT_LT(manager.GetCache().dwId0, 2u);
}
