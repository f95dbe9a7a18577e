#pragma once
// A mesh bounding volume whose visibility answer the test chooses; it records the clip matrices
// it was asked about.
#include <vector>

#include "ZKDXInterface.h"

class FakeMeshBoundVolume : public CMeshBoundVolumeInterface {
 public:
  BYTE visible = 1;
  std::vector<CMatrix> checkedMatrices;

  BYTE CheckVisibility(CMatrix& matrix) override {
    checkedMatrices.push_back(matrix);
    return visible;
  }

  CVector3* TransformAABB(CMatrix*) override { return nullptr; }
  CVector4* GetAABBPoints() override { return nullptr; }
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
  CVector4* GetPoints() override { return nullptr; }
  CVector4* GetTransformedPoints() override { return nullptr; }
  void GetPosition(CVector3*) override {}
  CVector3* GetTransformedPosition(CVector3* out) override { return out; }
  void GetExtents(CVector3*) override {}
  UINT CheckAACollision(CMeshBoundVolumeInterface*, CMatrix&) override { return 0; }
  CVector3* GetTransformedExtents(CVector3* out) override { return out; }
  CMeshInterface* GetOwnerMesh() override { return nullptr; }
};
