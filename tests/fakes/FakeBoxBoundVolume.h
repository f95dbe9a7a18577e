#pragma once
// A mesh bounding volume that is a real axis-aligned box: it gives its eight corners and
// answers visibility as a clip test of them (culled only when every corner lies outside one and
// the same clip plane), so a test's geometry decides what cameras and lights see.
#include "ZKDXInterface.h"

class FakeBoxBoundVolume final : public CMeshBoundVolumeInterface {
 public:
  FakeBoxBoundVolume(const CVector3& minimum, const CVector3& maximum) {
    for (UINT k = 0; k < 8; ++k)
      corners[k] = CVector4(k & 1 ? maximum.x : minimum.x, k & 2 ? maximum.y : minimum.y,
                            k & 4 ? maximum.z : minimum.z, 1.0f);
  }

  CVector4 corners[8];

  BYTE CheckVisibility(CMatrix& matrix) override {
    UINT shared = 0x3F;
    for (const CVector4& corner : corners) {
      const CVector4 p = corner * matrix;
      const UINT code = (p.x < -p.w) | (p.x > p.w) << 1 | (p.y < -p.w) << 2 |
                        (p.y > p.w) << 3 | (p.z < 0.0f) << 4 | (p.z > p.w) << 5;
      shared &= code;
    }
    return shared == 0 ? 1 : 0;
  }
  CVector4* GetPoints() override { return corners; }

  CVector3* TransformAABB(CMatrix*) override { return nullptr; }
  CVector4* GetAABBPoints() override { return corners; }
  CVector3* GetAABBPosition(CVector3* out) override { return out; }
  CVector3* GetAABBExtents(CVector3* out) override { return out; }
  CVector3* GetAABBMax(CVector3* out) override { return out; }
  CVector3* GetAABBMin(CVector3* out) override { return out; }
  void GetMinTransformed(CVector3*) override {}
  void GetMaxTransformed(CVector3*) override {}
  void GetMin(CVector3*) override {}
  void GetMax(CVector3*) override {}
  UINT CheckAAIntersection(CRay&, float*, UINT) override { return 0; }
  UINT CheckOOIntersection(CRay&, float*, UINT, UINT) override { return 0; }
  CVector4* GetTransformedPoints() override { return nullptr; }
  void GetPosition(CVector3*) override {}
  CVector3* GetTransformedPosition(CVector3* out) override { return out; }
  void GetExtents(CVector3*) override {}
  UINT CheckAACollision(CMeshBoundVolumeInterface*, CMatrix&) override { return 0; }
  CVector3* GetTransformedExtents(CVector3* out) override { return out; }
  CMeshInterface* GetOwnerMesh() override { return nullptr; }
};
