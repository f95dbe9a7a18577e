#pragma once
// An axis-aligned box kept as centre and half sizes, the form every box tree stores and the
// overlap tests take.
#include <cfloat>

struct CollisionBox {
  float fCenter[3];
  float fExtents[3];

  void SetMinMax(const float min[3], const float max[3]) {
    for (int k = 0; k < 3; ++k) {
      fCenter[k] = (max[k] + min[k]) * 0.5f;
      fExtents[k] = (max[k] - min[k]) * 0.5f;
    }
  }
  void GetMin(float out[3]) const {
    for (int k = 0; k < 3; ++k) out[k] = fCenter[k] - fExtents[k];
  }
  void GetMax(float out[3]) const {
    for (int k = 0; k < 3; ++k) out[k] = fCenter[k] + fExtents[k];
  }
};

static_assert(sizeof(CollisionBox) == 24);

// Four float lanes (GCC's vector extension); the overlap tests use lanes 0 to 2.
typedef float CollisionLanes __attribute__((vector_size(16)));

// A box as the overlap tests read it: centre and half sizes in lanes 0 to 2, lane 3 zero.
struct CollisionBoxLanes {
  CollisionLanes center;
  CollisionLanes extents;

  static CollisionBoxLanes From(const CollisionBox& box) {
    return {CollisionLanes{box.fCenter[0], box.fCenter[1], box.fCenter[2], 0.0f},
            CollisionLanes{box.fExtents[0], box.fExtents[1], box.fExtents[2], 0.0f}};
  }
};

// Running minimum and maximum of points, starting empty.
struct CollisionBounds {
  float fMin[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
  float fMax[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};

  void Add(const float point[3]) {
    for (int k = 0; k < 3; ++k) {
      if (point[k] < fMin[k]) fMin[k] = point[k];
      if (point[k] > fMax[k]) fMax[k] = point[k];
    }
  }
  void Add(const float min[3], const float max[3]) {
    Add(min);
    Add(max);
  }
  CollisionBox ToBox() const {
    CollisionBox box;
    box.SetMinMax(fMin, fMax);
    return box;
  }
};
