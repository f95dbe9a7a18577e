#pragma once
// How two models' spaces relate for one query: the affine map from B's space into A's and its
// inverse, with the absolute values that the box test reads prepared once per query.
//
// The world matrices need not be rigid (meshes can be scaled), so the maps come from a general
// inverse, and the box test takes each of its axes' radii from the actual maps instead of
// relying on a rotation's transpose being its inverse.
#include "ZKDXMath.h"
#include "spatial/CollisionBox.h"

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

  // The rows above as lanes, for the box test, which takes its three axes of a kind at once.
  // Next and AfterNext hold row j shifted so that lane i reads column i + 1 and i + 2 (mod 3).
  struct Lanes {
    CollisionLanes R[3], T, RInverse[3], TInverse, AbsR[3], AbsRInverse[3], AbsRowCross[3];
    CollisionLanes RNext[3], RAfterNext[3], AbsRNext[3], AbsRAfterNext[3];
  } lanes;

  // From the two world matrices (null: identity). False when either is not invertible.
  bool Set(const CMatrix* worldA, const CMatrix* worldB);

  // Inline: the tree walks move a box centre or a triangle corner at every step.
  void BToA(const float p[3], float out[3]) const { Apply(R, T, p, out); }
  void AToB(const float p[3], float out[3]) const { Apply(RInverse, TInverse, p, out); }
  // The same maps on a point in lanes, each lane summing in the order Apply does.
  CollisionLanes BToA(CollisionLanes p) const {
    return ((p[0] * lanes.R[0] + p[1] * lanes.R[1]) + p[2] * lanes.R[2]) + lanes.T;
  }
  CollisionLanes AToB(CollisionLanes p) const {
    return ((p[0] * lanes.RInverse[0] + p[1] * lanes.RInverse[1]) + p[2] * lanes.RInverse[2]) +
           lanes.TInverse;
  }

 private:
  static void Apply(const float rotation[3][3], const float translation[3], const float p[3],
                    float out[3]) {
    const float x = p[0], y = p[1], z = p[2];
    out[0] = x * rotation[0][0] + y * rotation[1][0] + z * rotation[2][0] + translation[0];
    out[1] = x * rotation[0][1] + y * rotation[1][1] + z * rotation[2][1] + translation[1];
    out[2] = x * rotation[0][2] + y * rotation[1][2] + z * rotation[2][2] + translation[2];
  }
};
