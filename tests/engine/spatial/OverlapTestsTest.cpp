// The four geometric tests: separating axes of two boxes (also under scale), triangle against
// triangle (crossing, apart, coplanar), triangle against box and plane against box.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ZKDXMath.h"
#include "spatial/OverlapTests.h"
#include "spatial/RelativeTransform.h"

namespace {

CollisionBox Box(float cx, float cy, float cz, float ex, float ey, float ez) {
  return {{cx, cy, cz}, {ex, ey, ez}};
}

RelativeTransform Transform(const CMatrix& worldA, const CMatrix& worldB) {
  RelativeTransform transform;
  EXPECT_TRUE(transform.Set(&worldA, &worldB));
  return transform;
}

bool Touch(const CVector3 (&v)[3], const CVector3 (&u)[3]) {
  return TriangleTriangleOverlap(&v[0].x, &v[1].x, &v[2].x, &u[0].x, &u[1].x, &u[2].x);
}

}  // namespace

TEST(BoxBoxOverlap, FaceAxesSeparateAlongX) {
  const RelativeTransform identity = Transform(CMatrix::Identity(), CMatrix::Identity());
  const CollisionBox a = Box(0, 0, 0, 1, 1, 1);
  EXPECT_FALSE(BoxBoxOverlap(identity, a, Box(2.5f, 0, 0, 1, 1, 1), true));
  EXPECT_TRUE(BoxBoxOverlap(identity, a, Box(1.5f, 0, 0, 1, 1, 1), true));
  // Touching faces still overlap: only a strictly greater distance separates.
  EXPECT_TRUE(BoxBoxOverlap(identity, a, Box(0, 0, 2.0f, 1, 1, 1), true));
}

TEST(BoxBoxOverlap, EdgeAxesSeparateOnlyWhenAsked) {
  // Bar A along x and bar B along y, each turned 45 degrees about its own length, B lifted
  // by 2 along z: no face axis separates them, only the cross of the two long edges (z).
  CMatrix worldA, worldB;
  worldA.SetRotateX(0.7853982f);
  worldB.SetRotateY(0.7853982f);
  worldB._43 = 2.0f;
  const RelativeTransform transform = Transform(worldA, worldB);
  const CollisionBox barA = Box(0, 0, 0, 5, 0.5f, 0.5f);
  const CollisionBox barB = Box(0, 0, 0, 0.5f, 5, 0.5f);
  EXPECT_TRUE(BoxBoxOverlap(transform, barA, barB, false));
  EXPECT_FALSE(BoxBoxOverlap(transform, barA, barB, true));
  // Lowered to 1.2 they cross.
  worldB._43 = 1.2f;
  EXPECT_TRUE(BoxBoxOverlap(Transform(worldA, worldB), barA, barB, true));
}

TEST(BoxBoxOverlap, NeverSeparatesBoxesThatShareAPointUnderScaleAndRotation) {
  // A box test that assumed rigid matrices would cut boxes apart that a scaled mesh fills.
  std::mt19937 random(31);
  std::uniform_real_distribution<float> angle(-3.1f, 3.1f), scale(0.2f, 4.0f), unit(-1.0f, 1.0f),
      place(-3.0f, 3.0f), size(0.1f, 2.0f);
  int overlapping = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    CMatrix worlds[2];
    for (CMatrix& world : worlds) {
      world.SetScale(scale(random), scale(random), scale(random));
      world.RotateX(angle(random));
      world.RotateY(angle(random));
      world._41 = place(random);
      world._42 = place(random);
      world._43 = place(random);
    }
    const RelativeTransform transform = Transform(worlds[0], worlds[1]);
    const CollisionBox a = Box(unit(random), unit(random), unit(random), size(random),
                               size(random), size(random));
    const CollisionBox b = Box(unit(random), unit(random), unit(random), size(random),
                               size(random), size(random));
    // A point of b (in B's space) that lies inside a once moved into A's space.
    bool shared = false;
    for (int sample = 0; sample < 200 && !shared; ++sample) {
      float p[3], q[3];
      for (int k = 0; k < 3; ++k) p[k] = b.fCenter[k] + b.fExtents[k] * unit(random);
      transform.BToA(p, q);
      shared = true;
      for (int k = 0; k < 3; ++k)
        shared = shared && std::fabs(q[k] - a.fCenter[k]) <= a.fExtents[k];
    }
    if (!shared) continue;
    ++overlapping;
    EXPECT_TRUE(BoxBoxOverlap(transform, a, b, true)) << "trial " << trial;
  }
  EXPECT_GT(overlapping, 100);
}

TEST(RelativeTransform, RefusesASingularMatrix) {
  CMatrix flat;
  flat.SetScale(1.0f, 0.0f, 1.0f);
  RelativeTransform transform;
  EXPECT_FALSE(transform.Set(&flat, nullptr));
  EXPECT_FALSE(transform.Set(nullptr, &flat));
  EXPECT_TRUE(transform.Set(nullptr, nullptr));
}

TEST(TriangleTriangleOverlap, Cases) {
  struct Case {
    const char* name;
    CVector3 v[3];
    CVector3 u[3];
    bool touch;
  };
  const Case cases[] = {
      {"copy of itself", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, true},
      {"parallel planes 0.5 apart", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
       {{0, 0, 0.5f}, {1, 0, 0.5f}, {0, 1, 0.5f}}, false},
      {"one shared corner", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
       {{0, 0, 0}, {-1, 0, 1}, {0, -1, 1}}, true},
      {"piercing", {{-1, -1, 0}, {2, -1, 0}, {-1, 2, 0}}, {{0.2f, 0.2f, -1}, {0.3f, 0.2f, 1}, {0.2f, 0.4f, 1}},
       true},
      {"crossing the plane beside the triangle", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
       {{2, 2, -1}, {2.5f, 2, 1}, {2, 2.5f, 1}}, false},
      {"edge through edge", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{1, -1, -1}, {1, 1, 1}, {1, -1, 1}}, true},
      {"coplanar apart", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{2, 2, 0}, {3, 2, 0}, {2, 3, 0}}, false},
      {"coplanar inside", {{-5, -5, 0}, {5, -5, 0}, {0, 5, 0}},
       {{0, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}}, true},
      {"coplanar around", {{0, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}},
       {{-5, -5, 0}, {5, -5, 0}, {0, 5, 0}}, true},
      {"coplanar edges crossing", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}},
       {{1.5f, 1.5f, 0}, {1.5f, -1, 0}, {3, 0, 0}}, true},
      {"coplanar in a tilted plane", {{0, 0, 0}, {1, 1, 0}, {0, 1, 1}},
       {{0.2f, 0.6f, 0.4f}, {0.1f, 0.5f, 0.4f}, {0.2f, 0.5f, 0.3f}}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Touch(c.v, c.u), c.touch) << c.name;
    EXPECT_EQ(Touch(c.u, c.v), c.touch) << c.name << " (swapped)";
  }
}

TEST(TriangleBoxOverlap, Cases) {
  const CollisionBox box = Box(0, 0, 0, 1, 1, 1);
  struct Case {
    const char* name;
    float triangle[3][3];
    bool withFaceAxesAndPlane;
    bool withEdgeAxes;
  };
  const Case cases[] = {
      {"inside", {{0, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}}, true, true},
      {"beyond a face", {{1.5f, 0, 0}, {2, 0, 0}, {1.5f, 1, 0}}, false, false},
      {"around the box", {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}}, true, true},
      {"plane misses", {{3, 0, 0}, {0, 3, 0}, {0, 0, 3.5f}}, false, false},
      // In z = 0 next to the corner (1, 1): only the cross of its long edge and z separates.
      {"beside a corner", {{1.6f, 0.6f, 0}, {0.6f, 1.6f, 0}, {2, 2, 0}}, true, false},
      {"touching a corner", {{1.5f, 0.5f, 0}, {0.5f, 1.5f, 0}, {2, 2, 0}}, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TriangleBoxOverlap(c.triangle, box, false), c.withFaceAxesAndPlane) << c.name;
    EXPECT_EQ(TriangleBoxOverlap(c.triangle, box, true), c.withEdgeAxes) << c.name;
  }
  // The box's own centre matters: the same triangle against a moved box.
  const float inside[3][3] = {{10, 10, 10}, {10.5f, 10, 10}, {10, 10.5f, 10}};
  EXPECT_TRUE(TriangleBoxOverlap(inside, Box(10, 10, 10, 1, 1, 1), true));
  EXPECT_FALSE(TriangleBoxOverlap(inside, box, true));
}

TEST(PlaneBoxOverlap, PlanesThroughTheCentreAlwaysTouch) {
  const float extents[3] = {1, 2, 0.5f};
  const float normals[][3] = {{1, 0, 0}, {0, -1, 0}, {0.3f, -0.8f, 0.5f}, {-1, -1, -1}, {0, 0, 0}};
  for (const auto& normal : normals) EXPECT_TRUE(PlaneBoxOverlap(normal, 0.0f, extents));
  const float up[3] = {0, 1, 0};
  EXPECT_FALSE(PlaneBoxOverlap(up, -2.5f, extents));  // y = 2.5, above the box
  EXPECT_FALSE(PlaneBoxOverlap(up, 2.5f, extents));   // y = -2.5, below it
  EXPECT_TRUE(PlaneBoxOverlap(up, -2.0f, extents));   // y = 2, on its top face
}
