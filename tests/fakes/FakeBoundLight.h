#pragma once
// A light as its bound volume reads it: type, range and cone envelopes, frame and world
// matrix are the test's to choose; it records the frames its matrix is asked for. Every other
// operation answers neutrally.
#include <vector>

#include "FakeEnvelopes.h"
#include "scene/TWorldObject.h"
#include "scene/UpdateInputs.h"

class FakeBoundLight final : public TWorldObject<CLightInterface> {
 public:
  explicit FakeBoundLight(WORD lightType)
      : TWorldObject(nullptr, nullptr, nullptr, WORLD_OBJECT_LIGHT, 0), type(lightType) {
    m_mtxMatrix = CMatrix::Identity();
  }

  WORD type;
  FakeEnvelope range;
  FakeEnvelope coneAngle;
  float frame = 0.0f;
  std::vector<float> matrixFrames;

  WORD GetType() override { return type; }
  CEnvelopeInterface* GetRangeEnvelope(UINT) override { return &range; }
  CEnvelopeInterface* GetConeAngleEnvelope(UINT) override { return &coneAngle; }
  float GetFrame() override { return frame; }
  CMatrix* GetMatrix(float atFrame) override {
    matrixFrames.push_back(atFrame);
    return &m_mtxMatrix;
  }
  void PlaceAt(float x, float y, float z) { m_mtxMatrix.SetMove(x, y, z); }

  CMatrix* GetRotationMatrix(float) override { return &m_mtxRotationMatrix; }
  void MotionToMatrix(CMatrix* out, float) override { *out = m_mtxMatrix; }
  void SetFrame(float atFrame, UINT) override { m_fFrameSet = atFrame; }
  const char* GetWorldObjectName() override { return "light"; }
  void GetUpdateInputs(CUpdateInputs*) override {}
  void RemoveAdditionalTransformation() override {}
  UINT GetIsActive() override { return 1; }
  void GetPosition(CVector3* out, UINT) override { *out = CVector3() * m_mtxMatrix; }
  void GetRotation(CVector3* out, UINT) override { *out = CVector3(); }
  D3DLIGHT9* GetD3DLightProperties() override { return {}; }
  CWorldObjectInterface* GetTargetObject(UINT) override { return {}; }
  CSceneInterface* GetParentScene() override { return {}; }
  CVector3* GetLightVector() override { return {}; }
  UINT GetTargetNumber() override { return {}; }
  UINT GetParentNumber() override { return {}; }
  UINT GetTargetType() override { return {}; }
  UINT GetParentType() override { return {}; }
  CEnvelopeInterface* GetFlareSizeEnvelope(UINT) override { return {}; }
  CEnvelopeInterface* GetIntensityEnvelope(UINT) override { return {}; }
  UINT GetFallOffType() override { return {}; }
  CMatrix* GetProjectionMatrix() override { return {}; }
  UINT GetIsFlare() override { return {}; }
  UINT GetColor() override { return {}; }
  CVector3* GetColorVector(CVector3* out) override { return out; }
  WORD GetNumber() override { return {}; }
  const char* GetName() override { return "light"; }
  void SetName(const char*) override {}
  void SetPosition(const CVector3&) override {}
  void SetRotation(const CVector3&) override {}
  void SetParentObject(CWorldObjectInterface*) override {}
  void SetTargetObject(CWorldObjectInterface*) override {}
  CMotionInterface* GetMotion(float) override { return {}; }
  CWorldObjectInterface* GetTopmostParent() override { return {}; }
  UINT SetTag(UINT) override { return {}; }
  UINT Clone(CLightInterface**) override { return {}; }
  void SetFallOffType(UINT) override {}
  void SetIsFlare(UINT) override {}
  void SetColor(UINT) override {}
  void SetType(WORD lightType) override { type = lightType; }
  CMatrix* GetCurrentRotationMatrix() override { return {}; }
  CMatrix* GetCurrentMatrix() override { return &m_mtxMatrix; }
  void GetUserDefinedData(void**, UINT*, UINT*) override {}
  void SetUserDefinedData(void*, UINT, UINT) override {}
  void SetIsActive(UINT) override {}
};
