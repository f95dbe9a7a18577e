#pragma once
// A light that lives in a scene's list for tests of cameras and nulls: its type, activity,
// world matrix (its position is that matrix's translation), rotation and bounding volume are
// the test's to choose. Every other operation answers neutrally.
#include "scene/CameraLightSource.h"
#include "scene/TWorldObject.h"
#include "scene/UpdateInputs.h"

class FakeSceneLight final : public TWorldObject<CLightInterface>, public CCameraLightSource {
 public:
  FakeSceneLight(CScene* scene, WORD lightType, CLightBoundVolumeInterface* volume = nullptr)
      : TWorldObject(scene, nullptr, nullptr, WORLD_OBJECT_LIGHT, 0),
        type(lightType),
        boundVolume(volume) {
    m_mtxMatrix = CMatrix::Identity();
  }

  void PlaceAt(float x, float y, float z) { m_mtxMatrix.SetMove(x, y, z); }

  WORD type;
  CLightBoundVolumeInterface* boundVolume;
  UINT isActive = 1;
  CVector3 rotation;

  CLightBoundVolumeInterface* GetLightBoundVolume() override { return boundVolume; }
  WORD GetType() override { return type; }
  UINT GetIsActive() override { return isActive; }
  void GetPosition(CVector3* out, UINT) override { *out = CVector3() * m_mtxMatrix; }
  void GetRotation(CVector3* out, UINT) override { *out = rotation; }
  CMatrix* GetMatrix(float) override { return &m_mtxMatrix; }
  CMatrix* GetRotationMatrix(float) override { return &m_mtxRotationMatrix; }
  void MotionToMatrix(CMatrix* out, float) override { *out = m_mtxMatrix; }
  float GetFrame() override { return 0.0f; }
  void SetFrame(float frame, UINT) override { m_fFrameSet = frame; }
  const char* GetWorldObjectName() override { return "light"; }
  void GetUpdateInputs(CUpdateInputs*) override {}
  void RemoveAdditionalTransformation() override {}

  D3DLIGHT9* GetD3DLightProperties() override { return {}; }
  CWorldObjectInterface* GetTargetObject(UINT) override { return {}; }
  CSceneInterface* GetParentScene() override { return {}; }
  CVector3* GetLightVector() override { return {}; }
  UINT GetTargetNumber() override { return {}; }
  UINT GetParentNumber() override { return {}; }
  UINT GetTargetType() override { return {}; }
  UINT GetParentType() override { return {}; }
  CEnvelopeInterface* GetFlareSizeEnvelope(UINT) override { return {}; }
  CEnvelopeInterface* GetConeAngleEnvelope(UINT) override { return {}; }
  CEnvelopeInterface* GetRangeEnvelope(UINT) override { return {}; }
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
  void SetParentObject(CWorldObjectInterface* parent) override { SetParent(parent); }
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
  CMatrix* GetCurrentMatrix() override { return {}; }
  void GetUserDefinedData(void**, UINT*, UINT*) override {}
  void SetUserDefinedData(void*, UINT, UINT) override {}
  void SetIsActive(UINT active) override { isActive = active; }
};
