#pragma once
// A surface for mesh tests: a name, a flag word, a material texture 2 slot, a shader answer,
// and records of the per-frame updates and of its release. Everything else answers neutrally.
#include <string>
#include <vector>

#include "scene/MeshSurface.h"

class FakeMeshSurface final : public CMeshSurface {
 public:
  explicit FakeMeshSurface(bool* released = nullptr) : m_pReleased(released) {
    materialTexture2.Clear();
  }

  // --- what mesh tests look at ---
  void UpdateMaterial(float time) override { updateTimes.push_back(time); }
  UINT ReleaseTextures() override {
    ++texturesReleased;
    return 1;
  }
  void AddRef() override { ++references; }
  // Frees itself at the last release, as the real surface does: the mesh hands its surfaces
  // back with Release and never deletes them.
  void Release() override {
    if (--references > 0) return;
    if (m_pReleased != nullptr) *m_pReleased = true;
    delete this;
  }
  const char* GetName() override { return name.c_str(); }
  UINT SetName(const char* text) override {
    name = text ? text : "";
    return static_cast<UINT>(name.size());
  }
  WORD GetFlags() override { return flags; }
  void SetFlags(WORD value) override { flags = value; }
  SurfaceTexture* GetMaterialTexture2() override { return &materialTexture2; }
  UINT AssignShader(SurfaceShaderChooser chooser) override {
    assignedChoosers.push_back(chooser);
    return assignResult;
  }

  std::string name;
  WORD flags = 0;
  SurfaceTexture materialTexture2;
  UINT assignResult = 1;
  int references = 1;
  int texturesReleased = 0;
  std::vector<float> updateTimes;
  std::vector<SurfaceShaderChooser> assignedChoosers;

  // --- neutral answers ---
  CMaterialInterface* GetMaterial(UINT) override { return nullptr; }
  CMeshInterface* GetParentMesh(UINT) override { return nullptr; }
  SurfaceTexture* GetColor0Texture() override { return nullptr; }
  SurfaceTexture* GetColor1Texture() override { return nullptr; }
  SurfaceTexture* GetNormalTexture() override { return nullptr; }
  SurfaceTexture* GetMaterialTexture1() override { return nullptr; }
  SurfaceTexture* GetTexture(UINT) override { return nullptr; }
  UINT GetShadeType() override { return 0; }
  WORD GetNumberOfIndices() override { return 0; }
  float GetMaterialValue(UINT) override { return 0; }
  const char* GetTextureFileName(UINT) override { return nullptr; }
  UINT NoOperation(UINT, UINT) override { return 0; }
  UINT SetTexture(UINT, const char*) override { return 0; }
  void AddFlags(WORD value) override { flags |= value; }
  void SetShadingType(UINT) override {}
  void SetMaterialValue(UINT, float) override {}
  float* GetColor() override { return nullptr; }
  UINT SetIndices(UINT, WORD*) override { return 0; }
  UINT CreateMaterial(D3DCOLORVALUE*, D3DCOLORVALUE*, D3DCOLORVALUE*, CVector4*, CVector4*,
                      UINT) override {
    return 0;
  }
  void SetColor(float*) override {}
  void SetAnimationTime(float) override {}
  float GetAnimationTime() override { return 0; }
  UINT CopyMaterialFrom(CSurfaceInterface*) override { return 0; }
  const char* GetShaderFileName() override { return ""; }
  UINT GetShaderProgram() override { return 0; }
  UINT CreateShader(const char*, ShaderParameter*, UINT, UINT) override { return 0; }
  UINT SetShaderFileName(const char*, UINT) override { return 0; }
  CEnvelopeInterface* GetColorREnvelope() override { return nullptr; }
  CEnvelopeInterface* GetColorGEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetColorBEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetDiffuseEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetLuminosityEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetReflectionEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetRefractionEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetSpecularGlossinessEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetSpecularExponentEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetTransparencyEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetTranslucencyEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetFresnelEnvelope() override { return nullptr; }
  CEnvelopeInterface* GetMaterialEnvelope(UINT) override { return nullptr; }
  void SetMaterialEnvelope(UINT, CEnvelopeInterface*) override {}
  UINT ProjectTextureCoordinates(UINT, UINT, CVector3*, CVector3*, float, float) override {
    return 0;
  }

 private:
  bool* m_pReleased;
};
