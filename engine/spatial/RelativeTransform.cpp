#include "spatial/RelativeTransform.h"

#include <cmath>

namespace {

constexpr float kEpsilon = 1e-6f;

void Split(const CMatrix& m, float rotation[3][3], float translation[3]) {
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) rotation[row][col] = m.m[row][col];
  for (int col = 0; col < 3; ++col) translation[col] = m.m[3][col];
}

CollisionLanes Row(const float row[3], int first = 0) {
  return CollisionLanes{row[first % 3], row[(first + 1) % 3], row[(first + 2) % 3], 0.0f};
}

}  // namespace

bool RelativeTransform::Set(const CMatrix* worldA, const CMatrix* worldB) {
  const CMatrix a = worldA ? *worldA : CMatrix::Identity();
  const CMatrix b = worldB ? *worldB : CMatrix::Identity();
  CMatrix inverseA, inverseB;
  if (!a.Inverse(&inverseA) || !b.Inverse(&inverseB)) return false;
  Split(b * inverseA, R, T);
  Split(a * inverseB, RInverse, TInverse);

  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      AbsR[row][col] = std::fabs(R[row][col]) + kEpsilon;
      AbsRInverse[row][col] = std::fabs(RInverse[row][col]) + kEpsilon;
    }
  for (int q = 0; q < 3; ++q) {
    const float* u = R[(q + 1) % 3];
    const float* v = R[(q + 2) % 3];
    AbsRowCross[q][0] = std::fabs(u[1] * v[2] - u[2] * v[1]) + kEpsilon;
    AbsRowCross[q][1] = std::fabs(u[2] * v[0] - u[0] * v[2]) + kEpsilon;
    AbsRowCross[q][2] = std::fabs(u[0] * v[1] - u[1] * v[0]) + kEpsilon;
  }
  lanes.T = Row(T);
  lanes.TInverse = Row(TInverse);
  for (int row = 0; row < 3; ++row) {
    lanes.R[row] = Row(R[row]);
    lanes.RInverse[row] = Row(RInverse[row]);
    lanes.AbsR[row] = Row(AbsR[row]);
    lanes.AbsRInverse[row] = Row(AbsRInverse[row]);
    lanes.AbsRowCross[row] = Row(AbsRowCross[row]);
    lanes.RNext[row] = Row(R[row], 1);
    lanes.RAfterNext[row] = Row(R[row], 2);
    lanes.AbsRNext[row] = Row(AbsR[row], 1);
    lanes.AbsRAfterNext[row] = Row(AbsR[row], 2);
  }
  return true;
}
