#pragma once
// A mesh as the octree reads it: a transformed box the test places, visibility and dynamic
// flags, and a ray answer the test scripts (hit or not, distance, reported point). It records
// the rays it was asked about.
#include <string>
#include <utility>

#include "FakeMeshBoundVolume.h"
#include "FakeSceneMesh.h"

class FakeOctreeMesh final : public FakeSceneMesh {
  // The box as the bound volume last transformed it.
  struct Box final : FakeMeshBoundVolume {
    CVector3 centre, extents;
    CVector3* GetTransformedPosition(CVector3* out) override {
      *out = centre;
      return out;
    }
    CVector3* GetTransformedExtents(CVector3* out) override {
      *out = extents;
      return out;
    }
    void GetMinTransformed(CVector3* out) override { *out = centre - extents; }
    void GetMaxTransformed(CVector3* out) override { *out = centre + extents; }
  };

 public:
  explicit FakeOctreeMesh(CScene* scene = nullptr, std::string meshName = "mesh")
      : FakeSceneMesh(scene), name(std::move(meshName)) {
    boundVolume = &box;
  }

  // A box from min to max.
  FakeOctreeMesh& Span(const CVector3& min, const CVector3& max) {
    box.centre = (min + max) * 0.5f;
    box.extents = (max - min) * 0.5f;
    return *this;
  }
  // A ray answer: hit at this distance, reporting this point.
  FakeOctreeMesh& Hits(float atDistance, const CVector3& atPoint = {}) {
    hit = 1;
    distance = atDistance;
    point = atPoint;
    return *this;
  }

  Box box;
  std::string name;
  UINT dynamic = 0;
  UINT visibleByCollisions = 1;
  UINT visibleByRays = 1;
  UINT hit = 0;
  float distance = 0.0f;
  CVector3 point;
  int rays = 0;

  const char* GetName() override { return name.c_str(); }
  UINT GetIsDynamic() override { return dynamic; }
  UINT GetVisibleByCollisions() override { return visibleByCollisions; }
  UINT GetVisibleByRays() override { return visibleByRays; }
  UINT CheckIntersectionWith(CRay&, float* d, UINT) override {
    ++rays;
    *d = distance;
    return hit;
  }
  UINT CheckIntersectionWith(CRay& ray, float* d, UINT flags, CVector3* p) override {
    *p = point;
    return CheckIntersectionWith(ray, d, flags);
  }
};
