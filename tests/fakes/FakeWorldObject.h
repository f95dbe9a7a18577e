#pragma once
// A small world object of any type word for tests of the scene container, the world-object
// base and the update guard: it reports the update inputs a test gives it, records the frames
// it is asked for and tells the test when it is destroyed.
#include <string>
#include <vector>

#include "scene/TWorldObject.h"
#include "scene/UpdateInputs.h"

class FakeWorldObject final : public TWorldObject<CWorldObjectInterface> {
 public:
  FakeWorldObject(CScene* scene, UINT type, const char* name = "", UINT guardMode = 0,
                  bool* destroyed = nullptr, CEngineLog* log = nullptr)
      : TWorldObject(scene, nullptr, log, type, guardMode), name(name), m_pDestroyed(destroyed) {}
  ~FakeWorldObject() override {
    if (m_pDestroyed != nullptr) *m_pDestroyed = true;
  }

  CMatrix* GetMatrix(float frame) override {
    matrixFrames.push_back(frame);
    return GetMatrixPointer();
  }
  CMatrix* GetRotationMatrix(float frame) override {
    matrixFrames.push_back(frame);
    return GetRotationMatrixPointer();
  }
  void MotionToMatrix(CMatrix* out, float /*frame*/) override { *out = CMatrix::Identity(); }
  float GetFrame() override { return m_fFrameSet; }
  void SetFrame(float frame, UINT /*recurse*/) override { m_fFrameSet = frame; }
  void RemoveAdditionalTransformation() override { ClearExplicitValues(true, true, true, true); }
  const char* GetWorldObjectName() override { return name.c_str(); }
  void GetUpdateInputs(CUpdateInputs* out) override {
    ++inputQueries;
    *out = inputs;
  }

  std::string name;
  CUpdateInputs inputs;
  int inputQueries = 0;
  std::vector<float> matrixFrames;

 private:
  bool* m_pDestroyed;
};
