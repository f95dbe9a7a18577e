#pragma once
// How two models' spaces relate for one query: the affine map from B's space into A's and its
// inverse, with the absolute values that the box test reads prepared once per query.
//
// The world matrices need not be rigid (meshes can be scaled), so the maps come from a general
// inverse, and the box test takes each of its axes' radii from the actual maps instead of
// relying on a rotation's transpose being its inverse.
#include "ZKDXMath.h"

struct RelativeTransform {
  // p (row vector) of B's space in A's space: p * R + T.
  float R[3][3];
  float T[3];
  // p of A's space in B's space: p * RInverse + TInverse.
  float RInverse[3][3];
  float TInverse[3];
  // |R| + 1e-6 and |RInverse| + 1e-6, element by element.
  float AbsR[3][3];
  float AbsRInverse[3][3];
  // |R[q1] x R[q2]| + 1e-6, q1 and q2 the two rows other than q: how B's box spreads along
  // the cross axes of A's and B's edges. For a rotation this is |R[q]|.
  float AbsRowCross[3][3];

  // From the two world matrices (null: identity). False when either is not invertible.
  bool Set(const CMatrix* worldA, const CMatrix* worldB);

  void BToA(const float p[3], float out[3]) const;
  void AToB(const float p[3], float out[3]) const;
};
