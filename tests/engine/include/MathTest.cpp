#include "ZKDXMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;
constexpr float kTolerance = 1e-6f;

void ExpectNear(const CVector3& actual, const CVector3& expected, float tolerance = kTolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectNear(const CMatrix& actual, const CMatrix& expected, float tolerance = kTolerance) {
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col)
      EXPECT_NEAR(actual.m[row][col], expected.m[row][col], tolerance)
          << "element _" << row + 1 << col + 1;
}

// A matrix with sixteen different, non-round elements and an inverse.
CMatrix General() {
  return {2, 0.5f, -1, 0, 0.25f, 3, 0.75f, 0, -1.5f, 1, 4, 0, 5, -6, 7, 1};
}

TEST(Vector, ConstructorsKeepOrSetTheFourthComponent) {
  EXPECT_EQ(CVector3(), CVector3(0, 0, 0));
  EXPECT_EQ(CVector4(), CVector4(0, 0, 0, 1));
  EXPECT_EQ(CVector4(CVector3(1, 2, 3)), CVector4(1, 2, 3, 1));
  EXPECT_EQ(CVector3(CVector4(1, 2, 3, 4)), CVector3(1, 2, 3));
}

TEST(Vector, NaNComponentMakesAVectorUnequalToItself) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const CVector3 v3(1, nan, 3);
  const CVector4 v4(1, 2, 3, nan);
  EXPECT_FALSE(v3 == v3);
  EXPECT_TRUE(v3 != v3);
  EXPECT_FALSE(v4 == v4);
  EXPECT_TRUE(v4 != v4);
  // One differing component is enough, the fourth included.
  EXPECT_TRUE(CVector4(1, 2, 3, 4) != CVector4(1, 2, 3, 5));
  EXPECT_FALSE(CVector4(1, 2, 3, 4) != CVector4(1, 2, 3, 4));
}

TEST(Vector, LengthDotAndCross) {
  EXPECT_FLOAT_EQ(CVector3(3, 4, 0).Length(), 5);
  EXPECT_FLOAT_EQ(CVector4(1, 1, 1, 1).Length(), 2);
  EXPECT_FLOAT_EQ(dot(CVector3(1, 2, 3), CVector3(4, -5, 6)), 12);
  EXPECT_FLOAT_EQ(dot(CVector4(1, 2, 3, 4), CVector4(4, -5, 6, 0.5f)), 14);

  struct Case {
    CVector3 a, b, expected;
  };
  const Case cases[] = {
      {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},
      {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
      {{2, 3, 4}, {5, 6, 7}, {-3, 6, -3}},
      {{1, 2, 3}, {2, 4, 6}, {0, 0, 0}},  // parallel
  };
  for (const Case& c : cases) EXPECT_EQ(cross(c.a, c.b), c.expected);
}

TEST(Vector, DotSumsInTheEngineOrder) {
  // (z*z' + y*y') + x*x': the large terms cancel before the small one is added.
  const CVector3 a(1, 1e8f, -1e8f), b(1, 1, 1);
  EXPECT_EQ(dot(a, b), 1.0f);
}

TEST(Vector, LerpExtrapolatesOutsideZeroToOne) {
  const CVector3 a(1, 2, 3), b(3, 2, -1);
  EXPECT_EQ(lerp(a, b, 0), a);
  EXPECT_EQ(lerp(a, b, 1), b);
  EXPECT_EQ(lerp(a, b, 2), CVector3(5, 2, -5));  // twice the second minus the first
  EXPECT_EQ(lerp(a, b, -1), CVector3(-1, 2, 7));
  EXPECT_EQ(lerp(CVector4(0, 0, 0, 0), CVector4(2, 4, 6, 8), 0.5f), CVector4(1, 2, 3, 4));
}

TEST(Vector, ArithmeticAndTheFourVectorSub) {
  EXPECT_EQ(CVector3(1, 2, 3) + CVector3(1, 1, 1), CVector3(2, 3, 4));
  EXPECT_EQ(CVector3(1, 2, 3) - CVector3(1, 1, 1), CVector3(0, 1, 2));
  EXPECT_EQ(CVector3(1, 2, 3) * 2, CVector3(2, 4, 6));
  EXPECT_EQ(CVector4(1, 2, 3, 4) * 2, CVector4(2, 4, 6, 8));
  const CVector4 a(5, 6, 7, 8), b(1, 2, 3, 4);
  EXPECT_EQ(a - b, CVector4(4, 4, 4, 4));
  EXPECT_EQ(sub(a, b), a - b);
}

TEST(Vector, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
  CVector3 v(3, 4, 0);
  v.Normalize();
  ExpectNear(v, {0.6f, 0.8f, 0});

  CVector4 w(2, 0, 0, 2);
  w.Normalize();
  EXPECT_NEAR(w.Length(), 1, kTolerance);
  EXPECT_NEAR(w.x, std::sqrt(0.5f), kTolerance);

  // No division by zero: the zero vector stays zero, and so does one whose length underflows.
  CVector3 zero;
  zero.Normalize();
  EXPECT_EQ(zero, CVector3(0, 0, 0));
  CVector3 tiny(1e-30f, 0, 0);
  tiny.Normalize();
  EXPECT_EQ(tiny, CVector3(0, 0, 0));
  CVector4 zero4(0, 0, 0, 0);
  zero4.Normalize();
  EXPECT_EQ(zero4, CVector4(0, 0, 0, 0));
}

TEST(Matrix, DefaultIsZeroAndLoadIdentityIsTheIdentity) {
  CMatrix m;
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i / 4][i % 4], 0.0f);
  m.LoadIdentity();
  EXPECT_EQ(m, CMatrix::Identity());
  // The named fields are the rows, in order.
  const CMatrix g = General();
  EXPECT_EQ(g._12, 0.5f);
  EXPECT_EQ(g._21, 0.25f);
  EXPECT_EQ(g._43, 7.0f);
}

TEST(Matrix, SetOperationsMapPointsAsRowVectors) {
  struct Case {
    const char* name;
    void (*set)(CMatrix&);
    CVector3 point, expected;
  };
  const Case cases[] = {
      {"SetMove", [](CMatrix& m) { m.SetMove(1, 2, 3); }, {0, 0, 0}, {1, 2, 3}},
      {"SetTranslation", [](CMatrix& m) { m.SetTranslation(1, 2, 3); }, {1, 1, 1}, {2, 3, 4}},
      {"SetRotateX", [](CMatrix& m) { m.SetRotateX(kHalfPi); }, {0, 1, 0}, {0, 0, 1}},
      {"SetRotateY", [](CMatrix& m) { m.SetRotateY(kHalfPi); }, {0, 0, 1}, {1, 0, 0}},
      {"SetRotationY", [](CMatrix& m) { m.SetRotationY(kHalfPi); }, {1, 0, 0}, {0, 0, -1}},
      {"SetRotateZ", [](CMatrix& m) { m.SetRotateZ(kHalfPi); }, {1, 0, 0}, {0, 1, 0}},
      {"SetRotationZ", [](CMatrix& m) { m.SetRotationZ(kHalfPi); }, {0, 1, 0}, {-1, 0, 0}},
      {"SetScale", [](CMatrix& m) { m.SetScale(2, 3, 4); }, {1, 1, 1}, {2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMatrix m = General();  // set-operations must overwrite every element
    c.set(m);
    ExpectNear(c.point * m, c.expected);
    EXPECT_EQ(m._44, 1.0f);
    EXPECT_EQ(m._14, 0.0f);
  }
}

TEST(Matrix, IncrementalStepsApplyAfterWhatTheMatrixHolds) {
  CMatrix m;
  m.SetScale(2, 2, 2);
  m.Move(1, 0, 0);
  ExpectNear(CVector3(1, 0, 0) * m, {3, 0, 0});  // scaled first, then moved

  CMatrix n;
  n.SetMove(1, 0, 0);
  n.Scale(2, 2, 2);
  ExpectNear(CVector3(1, 0, 0) * n, {4, 0, 0});  // moved first, then scaled

  CMatrix r;
  r.SetMove(1, 0, 0);
  r.RotateZ(kHalfPi);
  r.RotateX(kHalfPi);
  r.RotateY(kHalfPi);
  // (1,0,0) -> (2,0,0) -> Z: (0,2,0) -> X: (0,0,2) -> Y: (2,0,0)
  ExpectNear(CVector3(1, 0, 0) * r, {2, 0, 0}, 1e-5f);
}

TEST(Matrix, ProductFollowsTheRowVectorConvention) {
  CMatrix move, rotate;
  move.SetMove(1, 0, 0);
  rotate.SetRotateZ(kHalfPi);
  // p * (A * B) == (p * A) * B
  const CVector3 p(2, 3, 4);
  ExpectNear(p * (move * rotate), (p * move) * rotate);
  ExpectNear(CVector3(0, 0, 0) * (move * rotate), {0, 1, 0});
  ExpectNear(CVector3(0, 0, 0) * (rotate * move), {1, 0, 0});
}

TEST(Matrix, MultiplyIntoAnOperandGivesTheWholeProduct) {
  const CMatrix a = General();
  CMatrix b;
  b.SetRotateY(0.3f);
  b.Move(1, 2, 3);
  const CMatrix expected = a * b;

  CMatrix intoThis = a;
  EXPECT_EQ(&intoThis.Multiply(intoThis, b), &intoThis);
  EXPECT_EQ(intoThis, expected);

  CMatrix intoOther = b;
  a.Multiply(intoOther, intoOther);
  EXPECT_EQ(intoOther, expected);

  CMatrix self = a;
  EXPECT_EQ(&self.Assign(self), &self);
  EXPECT_EQ(self, a);
}

TEST(Matrix, ScalarSumAndDifference) {
  const CMatrix m = General();
  EXPECT_EQ(m * 3.0f, 3.0f * m);
  EXPECT_EQ(m - m, CMatrix());
  EXPECT_EQ(m + m, m * 2.0f);
  EXPECT_EQ((m * 0.5f)._41, 2.5f);
}

TEST(Matrix, PointTransformIsNotDividedByTheFourthComponent) {
  CMatrix projective = CMatrix::Identity();
  projective._14 = 1;  // w' = x + 1
  projective._44 = 1;
  ExpectNear(CVector3(2, 3, 4) * projective, {2, 3, 4});
  const CVector4 h = CVector4(2, 3, 4, 1) * projective;
  EXPECT_EQ(h, CVector4(2, 3, 4, 3));
  // A 4-vector's w takes part in the translation.
  CMatrix move;
  move.SetMove(1, 2, 3);
  EXPECT_EQ(CVector4(1, 1, 1, 0) * move, CVector4(1, 1, 1, 0));
  EXPECT_EQ(CVector4(1, 1, 1, 2) * move, CVector4(3, 5, 7, 2));
}

TEST(Matrix, TransposeTwiceRestores) {
  CMatrix m = General();
  m.Transpose();
  EXPECT_EQ(m._12, 0.25f);
  EXPECT_EQ(m._21, 0.5f);
  EXPECT_EQ(m._14, 5.0f);
  m.Transpose();
  EXPECT_EQ(m, General());
}

TEST(Matrix, InverseUndoesTheTransform) {
  CMatrix identity = CMatrix::Identity();
  identity.Invert();
  EXPECT_EQ(identity, CMatrix::Identity());

  CMatrix inverse = General();
  inverse.Invert();
  ExpectNear(General() * inverse, CMatrix::Identity(), 1e-5f);
  ExpectNear(MatrixInverse(General()), inverse, 0);

  CMatrix world;
  world.SetScale(2, 2, 2);
  world.RotateY(0.7f);
  world.Move(10, -4, 3);
  const CVector3 p(1, 2, 3);
  ExpectNear((p * world) * MatrixInverse(world), p, 1e-5f);
}

TEST(Matrix, SingularMatrixHasNoInverse) {
  const CMatrix singulars[] = {
      CMatrix(),
      [] {
        CMatrix flat;
        flat.SetScale(1, 0, 1);
        return flat;
      }(),
      // Two equal rows.
      CMatrix(1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0, 4, 5, 6, 1),
  };
  for (const CMatrix& singular : singulars) {
    CMatrix inPlace = singular;
    inPlace.Invert();
    EXPECT_EQ(inPlace, singular);  // left unchanged
    EXPECT_EQ(MatrixInverse(singular), CMatrix());  // a new matrix stays zero
    CMatrix out = General();
    EXPECT_FALSE(singular.Inverse(&out));
    EXPECT_EQ(out, General());
  }
}

TEST(Ray, TransformMovesTheOriginButOnlyTurnsTheDirection) {
  struct Case {
    const char* name;
    void (*set)(CMatrix&);
    CVector3 origin, direction;
  };
  const Case cases[] = {
      {"translation", [](CMatrix& m) { m.SetMove(5, 0, 0); }, {6, 0, 0}, {0, 1, 0}},
      {"rotation", [](CMatrix& m) { m.SetRotateZ(kHalfPi); }, {0, 1, 0}, {-1, 0, 0}},
      {"scale", [](CMatrix& m) { m.SetScale(2, 2, 2); }, {2, 0, 0}, {0, 2, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CMatrix m;
    c.set(m);
    CRay ray(CVector3(1, 0, 0), CVector3(0, 1, 0));
    ray.Transform(m);
    ExpectNear(ray.vecOrigin, c.origin);
    ExpectNear(ray.vecDirection, c.direction);
  }
}

TEST(Ray, IntoObjectSpaceThroughTheInverseMatrix) {
  CMatrix world;
  world.SetRotateY(0.4f);
  world.Move(3, 2, 1);
  const CRay worldRay(CVector3(1, 2, 3), CVector3(0, 0, 1));
  CRay local = worldRay;
  local.Transform(MatrixInverse(world));
  local.Transform(world);
  ExpectNear(local.vecOrigin, worldRay.vecOrigin, 1e-5f);
  ExpectNear(local.vecDirection, worldRay.vecDirection, 1e-5f);
}

TEST(Ray, AccessorsReachTheRayItself) {
  CRay ray;
  EXPECT_EQ(ray.vecOrigin, CVector3(0, 0, 0));
  EXPECT_EQ(ray.vecDirection, CVector3(0, 0, 0));
  ray.GetOrigin().x = 4;
  ray.GetDirection().z = -1;
  EXPECT_EQ(ray.vecOrigin, CVector3(4, 0, 0));
  EXPECT_EQ(ray.vecDirection, CVector3(0, 0, -1));
  CVector3 origin(7, 8, 9);
  ray.SetOrigin(origin);
  origin.x = 0;
  EXPECT_EQ(ray.vecOrigin, CVector3(7, 8, 9));
  ray.SetDirection(CVector3(0, 3, 0));
  EXPECT_EQ(ray.vecDirection, CVector3(0, 3, 0));  // not normalised
}

}  // namespace
