// The tree collider over all four layouts: its answers against a brute-force test of every
// triangle pair, its pruning, first contact with the cached pair, and its refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "TriangleSoup.h"
#include "spatial/CollisionModel.h"
#include "spatial/OverlapTests.h"
#include "spatial/RelativeTransform.h"
#include "spatial/TreeCollider.h"

namespace {

using PairSet = std::set<std::pair<UINT, UINT>>;

struct Layout {
  const char* name;
  bool noLeaf;
  bool quantized;
};
const Layout kLayouts[] = {
    {"plain", false, false},
    {"no-leaf", true, false},
    {"quantized", false, true},
    {"quantized no-leaf", true, true},
};

struct Model {
  TriangleSoup soup;
  CCollisionModel model;

  void Build(const Layout& layout) {
    CollisionModelParams params;
    params.pMeshInterface = &soup.source;
    params.bNoLeaf = layout.noLeaf;
    params.bQuantized = layout.quantized;
    ASSERT_TRUE(model.Build(params)) << layout.name;
  }
};

PairSet Pairs(const CTreeCollider& collider) {
  PairSet pairs;
  for (UINT i = 0; i < collider.GetPairCount(); ++i)
    pairs.insert({collider.GetPairs()[i].dwIdOne, collider.GetPairs()[i].dwIdTwo});
  return pairs;
}

// Every triangle of A against every triangle of B moved into A's space.
PairSet BruteForce(const TriangleSoup& a, const TriangleSoup& b, const CMatrix* worldA,
                   const CMatrix* worldB) {
  RelativeTransform transform;
  EXPECT_TRUE(transform.Set(worldA, worldB));
  PairSet pairs;
  for (UINT i = 0; i < a.TriangleCount(); ++i)
    for (UINT j = 0; j < b.TriangleCount(); ++j) {
      float moved[3][3];
      for (int corner = 0; corner < 3; ++corner)
        transform.BToA(&b.Corner(j, corner).x, moved[corner]);
      if (TriangleTriangleOverlap(&a.Corner(i, 0).x, &a.Corner(i, 1).x, &a.Corner(i, 2).x,
                                  moved[0], moved[1], moved[2]))
        pairs.insert({i, j});
    }
  return pairs;
}

CMatrix RandomPlacement(std::mt19937& random, bool scaled) {
  std::uniform_real_distribution<float> angle(-3.1f, 3.1f), scale(0.4f, 2.5f), place(-1.5f, 1.5f);
  CMatrix world;
  if (scaled)
    world.SetScale(scale(random), scale(random), scale(random));
  else
    world.SetIdentity();
  world.RotateX(angle(random));
  world.RotateY(angle(random));
  world.RotateZ(angle(random));
  world.Move(place(random), place(random), place(random));
  return world;
}

bool Collide(CTreeCollider& collider, Model& a, Model& b, const CMatrix* worldA,
             const CMatrix* worldB, CollisionCache& cache) {
  cache.pModel0 = &a.model;
  cache.pModel1 = &b.model;
  return collider.Collide(&cache, worldA, worldB);
}

// A sphere of latitude rings. `mirrorHeight` > 0 mirrors it in the plane y = mirrorHeight, so a
// ring at that height keeps exactly the same corners: two such spheres touch along the ring.
void AddSphere(TriangleSoup& soup, int slices, int stacks, float mirrorHeight) {
  const float pi = 3.14159265f;
  for (int stack = 0; stack <= stacks; ++stack)
    for (int slice = 0; slice < slices; ++slice) {
      const float theta = pi * stack / stacks, phi = 2 * pi * slice / slices;
      float y = stack == 0 ? 1.0f : stack == stacks ? -1.0f : std::cos(theta);
      if (mirrorHeight > 0) y = 2 * mirrorHeight - y;
      soup.AddVertex(std::sin(theta) * std::cos(phi), y, std::sin(theta) * std::sin(phi));
    }
  const auto at = [slices](int stack, int slice) { return UINT(stack * slices + slice % slices); };
  for (int stack = 0; stack < stacks; ++stack)
    for (int slice = 0; slice < slices; ++slice) {
      // The poles' rows share one point: only triangles with area.
      if (stack + 1 < stacks)
        soup.AddTriangle(at(stack, slice), at(stack + 1, slice), at(stack + 1, slice + 1));
      if (stack > 0)
        soup.AddTriangle(at(stack, slice), at(stack + 1, slice + 1), at(stack, slice + 1));
    }
}

}  // namespace

TEST(TreeCollider, AnswersEqualBruteForceUnderRigidAndScaledPlacements) {
  std::mt19937 random(2024);
  for (const Layout& layout : kLayouts) {
    size_t touching = 0;
    for (int trial = 0; trial < 12; ++trial) {
      Model a, b;
      a.soup.AddRandomTriangles(random, 80, 3.0f, 0.8f);
      // Now and then a single triangle, which has no tree.
      b.soup.AddRandomTriangles(random, trial % 4 == 3 ? 1 : 60, 3.0f, 0.8f);
      a.Build(layout);
      b.Build(layout);
      const bool scaled = trial % 2 == 1;
      const CMatrix worldA = RandomPlacement(random, scaled);
      const CMatrix worldB = RandomPlacement(random, scaled);

      CTreeCollider collider;
      CollisionCache cache;
      ASSERT_TRUE(Collide(collider, a, b, &worldA, &worldB, cache));
      const PairSet expected = BruteForce(a.soup, b.soup, &worldA, &worldB);
      touching += expected.size();
      EXPECT_EQ(Pairs(collider), expected) << layout.name << " trial " << trial;
      EXPECT_EQ(collider.GetPairCount(), expected.size()) << "no pair twice";
      EXPECT_EQ(collider.ContactFound(), !expected.empty());
      // The same query the other way round gives the mirrored pairs.
      ASSERT_TRUE(Collide(collider, b, a, &worldB, &worldA, cache));
      PairSet mirrored;
      for (const auto& [i, j] : expected) mirrored.insert({j, i});
      EXPECT_EQ(Pairs(collider), mirrored) << layout.name << " trial " << trial << " mirrored";
      EXPECT_EQ(a.soup.outOfRangeRequests + b.soup.outOfRangeRequests, 0u);
    }
    // The placements must make the comparison worth something.
    EXPECT_GT(touching, 100u) << layout.name;
  }
}

TEST(TreeCollider, SpheresTouchingAlongARingGiveThePairsOfTheTriangleTest) {
  // Boxes that only touch, flat along y where the ring lies, must still be descended.
  for (const Layout& layout : kLayouts)
    for (const int stacks : {8, 12, 16}) {
      Model a, b;
      AddSphere(a.soup, 24, stacks, 0.0f);
      const int ring = stacks / 4 + 1;
      AddSphere(b.soup, 24, stacks, a.soup.positions[ring * 24].y);
      a.Build(layout);
      b.Build(layout);
      const PairSet expected = BruteForce(a.soup, b.soup, nullptr, nullptr);
      ASSERT_GT(expected.size(), 24u);
      CTreeCollider collider;
      CollisionCache cache;
      ASSERT_TRUE(Collide(collider, a, b, nullptr, nullptr, cache));
      EXPECT_TRUE(Pairs(collider) == expected) << layout.name << " stacks " << stacks << " got " << Pairs(collider).size() << " of " << expected.size();
      EXPECT_EQ(collider.GetPairCount(), expected.size()) << "no pair twice";
    }
}

TEST(TreeCollider, IdenticalModelsTouchEveryTriangleWithItself) {
  std::mt19937 random(99);
  for (const Layout& layout : kLayouts) {
    Model model;
    model.soup.AddRandomTriangles(random, 50, 6.0f, 0.5f);
    model.Build(layout);
    CMatrix world;
    world.SetRotateY(0.3f);
    world.Move(5, 6, 7);
    CTreeCollider collider;
    CollisionCache cache;
    ASSERT_TRUE(Collide(collider, model, model, &world, &world, cache));
    const PairSet pairs = Pairs(collider);
    for (UINT i = 0; i < model.soup.TriangleCount(); ++i)
      EXPECT_TRUE(pairs.count({i, i})) << layout.name << " triangle " << i;
  }
}

TEST(TreeCollider, FarApartModelsCostOneBoxTest) {
  std::mt19937 random(4);
  for (const Layout& layout : kLayouts) {
    Model a, b;
    a.soup.AddRandomTriangles(random, 30, 4.0f, 0.5f);
    b.soup.AddRandomTriangles(random, 30, 4.0f, 0.5f);
    a.Build(layout);
    b.Build(layout);
    CMatrix far;
    far.SetMove(100, 0, 0);
    CTreeCollider collider;
    CollisionCache cache;
    ASSERT_TRUE(Collide(collider, a, b, nullptr, &far, cache));
    EXPECT_EQ(collider.GetBoxBoxTests(), 1u) << layout.name;
    EXPECT_EQ(collider.GetTriangleTriangleTests(), 0u) << layout.name;
    EXPECT_EQ(collider.GetPairCount(), 0u) << layout.name;
    EXPECT_FALSE(collider.ContactFound()) << layout.name;
  }
}

TEST(TreeCollider, FirstContactRecordsOnePairThatTheNextQueryFindsAtOnce) {
  std::mt19937 random(8);
  for (const Layout& layout : kLayouts) {
    Model a, b;
    a.soup.AddRandomTriangles(random, 40, 3.0f, 0.6f);
    b.soup.AddRandomTriangles(random, 40, 3.0f, 0.6f);
    a.Build(layout);
    b.Build(layout);
    const PairSet all = BruteForce(a.soup, b.soup, nullptr, nullptr);
    ASSERT_FALSE(all.empty());

    CTreeCollider collider;
    collider.dwFlags = COLLIDER_FIRST_CONTACT | COLLIDER_TEMPORAL_COHERENCE;
    CollisionCache cache;
    cache.dwId0 = 5000;  // out of range: skipped, not fetched
    ASSERT_TRUE(Collide(collider, a, b, nullptr, nullptr, cache));
    ASSERT_EQ(collider.GetPairCount(), 1u) << layout.name;
    const TrianglePair found = collider.GetPairs()[0];
    EXPECT_TRUE(all.count({found.dwIdOne, found.dwIdTwo})) << layout.name;
    EXPECT_EQ(cache.dwId0, found.dwIdOne);
    EXPECT_EQ(cache.dwId1, found.dwIdTwo);
    EXPECT_GT(collider.GetBoxBoxTests(), 0u);

    ASSERT_TRUE(Collide(collider, a, b, nullptr, nullptr, cache));
    EXPECT_EQ(collider.GetBoxBoxTests(), 0u) << layout.name;
    EXPECT_EQ(collider.GetTriangleTriangleTests(), 1u) << layout.name;
    ASSERT_EQ(collider.GetPairCount(), 1u);
    EXPECT_EQ(collider.GetPairs()[0].dwIdOne, found.dwIdOne);
    EXPECT_EQ(a.soup.outOfRangeRequests + b.soup.outOfRangeRequests, 0u);
  }
}

TEST(TreeCollider, TemporalCoherenceWithoutFirstContactIsFlaggedAndIgnored) {
  CTreeCollider collider;
  collider.dwFlags = COLLIDER_TEMPORAL_COHERENCE;
  ASSERT_NE(collider.ValidateSettings(), nullptr);
  EXPECT_STREQ(collider.ValidateSettings(), "Temporal coherence only works with First contact mode!");
  collider.dwFlags |= COLLIDER_FIRST_CONTACT;
  EXPECT_EQ(collider.ValidateSettings(), nullptr);

  std::mt19937 random(12);
  Model a, b;
  a.soup.AddRandomTriangles(random, 30, 3.0f, 0.6f);
  b.soup.AddRandomTriangles(random, 30, 3.0f, 0.6f);
  a.Build(kLayouts[0]);
  b.Build(kLayouts[0]);
  collider.dwFlags = COLLIDER_TEMPORAL_COHERENCE;
  CollisionCache cache;
  ASSERT_TRUE(Collide(collider, a, b, nullptr, nullptr, cache));
  EXPECT_EQ(Pairs(collider), BruteForce(a.soup, b.soup, nullptr, nullptr));
}

TEST(TreeCollider, NullMatrixIsTheIdentity) {
  std::mt19937 random(15);
  Model a, b;
  a.soup.AddRandomTriangles(random, 30, 3.0f, 0.6f);
  b.soup.AddRandomTriangles(random, 30, 3.0f, 0.6f);
  a.Build(kLayouts[0]);
  b.Build(kLayouts[0]);
  const CMatrix identity = CMatrix::Identity();
  CTreeCollider collider;
  CollisionCache cache;
  ASSERT_TRUE(Collide(collider, a, b, &identity, &identity, cache));
  const PairSet withIdentity = Pairs(collider);
  ASSERT_FALSE(withIdentity.empty());
  ASSERT_TRUE(Collide(collider, a, b, nullptr, nullptr, cache));
  EXPECT_EQ(Pairs(collider), withIdentity);
}

TEST(TreeCollider, RefusesQueriesItCannotRunAndKeepsTheLastAnswer) {
  std::mt19937 random(16);
  Model plain, noLeaf, other, empty;
  plain.soup.AddRandomTriangles(random, 20, 3.0f, 0.6f);
  noLeaf.soup.AddRandomTriangles(random, 20, 3.0f, 0.6f);
  other.soup.AddRandomTriangles(random, 20, 3.0f, 0.6f);
  plain.Build(kLayouts[0]);
  noLeaf.Build(kLayouts[1]);
  other.Build(kLayouts[0]);

  CTreeCollider collider;
  CollisionCache cache;
  ASSERT_TRUE(Collide(collider, plain, plain, nullptr, nullptr, cache));
  const PairSet answer = Pairs(collider);
  ASSERT_FALSE(answer.empty());

  CMatrix flat;
  flat.SetScale(1, 0, 1);
  EXPECT_FALSE(Collide(collider, plain, noLeaf, nullptr, nullptr, cache)) << "layouts differ";
  EXPECT_FALSE(Collide(collider, plain, empty, nullptr, nullptr, cache)) << "model never built";
  EXPECT_FALSE(Collide(collider, plain, other, &flat, nullptr, cache)) << "singular matrix";
  EXPECT_FALSE(collider.Collide(nullptr, nullptr, nullptr)) << "no cache";
  cache.pModel1 = nullptr;
  EXPECT_FALSE(collider.Collide(&cache, nullptr, nullptr)) << "no model";
  EXPECT_EQ(Pairs(collider), answer);
  EXPECT_TRUE(collider.ContactFound());
}
