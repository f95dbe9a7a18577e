// The player's and the walking entities' maths against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "cpelto/GameMaths.h"

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectVector(const D3DXVECTOR3& got, float x, float y, float z) {
  EXPECT_NEAR(got.x, x, kTolerance);
  EXPECT_NEAR(got.y, y, kTolerance);
  EXPECT_NEAR(got.z, z, kTolerance);
}

}  // namespace

TEST(GameMathsTest, QuaternionProductAppliesTheFirstRotationFirst) {
  const float h = std::sqrt(0.5f);
  const D3DXQUATERNION aboutX(h, 0.0f, 0.0f, h);  // 90 degrees about x
  const D3DXQUATERNION aboutY(0.0f, h, 0.0f, h);  // 90 degrees about y
  // x first, then y: the Hamilton product y * x = (0.5, 0.5, -0.5, 0.5).
  const D3DXQUATERNION xThenY = MultiplyQuaternions(aboutX, aboutY);
  EXPECT_NEAR(xThenY.x, 0.5f, kTolerance);
  EXPECT_NEAR(xThenY.y, 0.5f, kTolerance);
  EXPECT_NEAR(xThenY.z, -0.5f, kTolerance);
  EXPECT_NEAR(xThenY.w, 0.5f, kTolerance);
  const D3DXQUATERNION yThenX = MultiplyQuaternions(aboutY, aboutX);
  EXPECT_NEAR(yThenX.z, 0.5f, kTolerance);
  // The identity changes nothing.
  const D3DXQUATERNION same = MultiplyQuaternions(D3DXQUATERNION(0, 0, 0, 1), aboutX);
  EXPECT_NEAR(same.x, h, kTolerance);
  EXPECT_NEAR(same.w, h, kTolerance);
}

TEST(GameMathsTest, VerticalRotationTurnsXTowardsMinusZ) {
  const D3DXMATRIX m = RotationAboutVertical(0.5f);
  const float c = std::cos(0.5f), s = std::sin(0.5f);
  const float expected[4][4] = {{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_NEAR(m.m[row][column], expected[row][column], kTolerance) << row << "," << column;
  // A quarter turn with row vectors: x goes to -z, z to x.
  const D3DXMATRIX quarter = RotationAboutVertical(static_cast<float>(M_PI / 2));
  ExpectVector(TransformPoint(D3DXVECTOR3(1, 0, 0), quarter), 0, 0, -1);
  ExpectVector(TransformPoint(D3DXVECTOR3(0, 0, 1), quarter), 1, 0, 0);
}

TEST(GameMathsTest, PointTransformIncludesTheTranslation) {
  D3DXMATRIX m = RotationAboutVertical(static_cast<float>(M_PI));
  m._41 = 3.0f, m._42 = -2.0f, m._43 = 0.5f;
  ExpectVector(TransformPoint(D3DXVECTOR3(1, 2, 3), m), -1 + 3.0f, 2 - 2.0f, -3 + 0.5f);
}

TEST(GameMathsTest, CrossProduct) {
  ExpectVector(CrossProduct(D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0)), 0, 0, 1);
  // (2, 3, 4) x (5, 6, 7) = (3*7 - 4*6, 4*5 - 2*7, 2*6 - 3*5)
  ExpectVector(CrossProduct(D3DXVECTOR3(2, 3, 4), D3DXVECTOR3(5, 6, 7)), -3, 6, -3);
}
