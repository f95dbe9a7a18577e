#pragma once
// A light bounding volume whose visibility answer and corners the test chooses; it records the
// clip matrices it was asked about.
#include <vector>

#include "ZKDXInterface.h"

class FakeLightBoundVolume final : public CLightBoundVolumeInterface {
 public:
  BYTE visible = 1;
  // The corners GetPoints answers once a test set them; null before.
  CVector4 points[8] = {};
  bool hasPoints = false;
  std::vector<CMatrix> checkedMatrices;

  BYTE CheckVisibility(CMatrix& matrix) override {
    checkedMatrices.push_back(matrix);
    return visible;
  }

  void ComputeClipCodes(BYTE*) override {}
  void Transform(CMatrix*) override {}
  void GetMinTransformed(CVector3*) override {}
  void GetMaxTransformed(CVector3*) override {}
  CVector3* GetMin(CVector3* out) override { return out; }
  CVector3* GetMax(CVector3* out) override { return out; }
  CVector4* GetPoints() override { return hasPoints ? points : nullptr; }
  CVector4* GetTransformedPoints() override { return nullptr; }
  CVector3* GetPosition(CVector3* out) override { return out; }
  CVector3* GetTransformedPosition(CVector3* out) override { return out; }
  CVector3* GetExtents(CVector3* out) override { return out; }
  UINT CheckAACollision(CLightBoundVolumeInterface*, CMatrix&) override { return 0; }
  UINT CheckAACollision(CMeshBoundVolumeInterface*, CMatrix&) override { return 0; }
};
