#pragma once
// Lane helpers shared by the overlap tests: each works on lanes 0 to 2 of a box or point.
#include <xmmintrin.h>

#include "spatial/CollisionBox.h"

namespace collision_lanes {

typedef int LaneMask __attribute__((vector_size(16)));

inline CollisionLanes ThreeLanes(const float* p) { return CollisionLanes{p[0], p[1], p[2], 0.0f}; }

inline CollisionLanes Abs(CollisionLanes v) {
  return reinterpret_cast<CollisionLanes>(reinterpret_cast<LaneMask>(v) & 0x7fffffff);
}

// Lane i takes lane i + by (mod 3).
inline CollisionLanes Rotate(CollisionLanes v, int by) {
  // __builtin_shufflevector: both g++ (12 on) and clang know it, unlike g++'s __builtin_shuffle.
  return by == 1 ? __builtin_shufflevector(v, v, 1, 2, 0, 3)
                 : __builtin_shufflevector(v, v, 2, 0, 1, 3);
}

// True when a lane of the three in use has `value` above `limit`.
inline bool AnyAbove(CollisionLanes value, CollisionLanes limit) {
  // One sign-bit gather instead of three lane moves: the walks branch on this at every step.
  return (_mm_movemask_ps(reinterpret_cast<__m128>(value > limit)) & 7) != 0;
}

// Lane by lane, as std::min and std::max choose.
inline CollisionLanes Min(CollisionLanes a, CollisionLanes b) { return b < a ? b : a; }
inline CollisionLanes Max(CollisionLanes a, CollisionLanes b) { return a < b ? b : a; }

// Lane i is component i of a x b, computed as cross() does.
inline CollisionLanes Cross(CollisionLanes a, CollisionLanes b) {
  return Rotate(a, 1) * Rotate(b, 2) - Rotate(a, 2) * Rotate(b, 1);
}

// Lane i of x, y and z is that coordinate of corner i (lane 3 repeats corner 2).
struct CornerColumns {
  CollisionLanes x, y, z;

  static CornerColumns Of(const CollisionLanes (&corner)[3]) {
    const CollisionLanes xy01 = __builtin_shufflevector(corner[0], corner[1], 0, 4, 1, 5);
    const CollisionLanes z01 = __builtin_shufflevector(corner[0], corner[1], 2, 6, 2, 6);
    return {__builtin_shufflevector(xy01, corner[2], 0, 1, 4, 4),
            __builtin_shufflevector(xy01, corner[2], 2, 3, 5, 5),
            __builtin_shufflevector(z01, corner[2], 0, 1, 6, 6)};
  }
};

}  // namespace collision_lanes
