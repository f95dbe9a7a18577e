#pragma once
// The engine's materials: a fixed table shared by similar colours, the dynamic material, and the
// material set on the device with whether its values are in the pixel-shader constants too, so
// that setting it again costs nothing. Made with the device.
#include "d3d/MaterialBankInterface.h"

class CEngineLog;
class CEngineRenderer;

class CMaterialBank final : public CMaterialBankInterface {
 public:
  static constexpr UINT kMaxMaterials = 256;

  CMaterialBank(CEngineRenderer* renderer, CEngineLog* log);
  // Materials still held elsewhere are detached and left to their last release.
  ~CMaterialBank();
  CMaterialBank(const CMaterialBank&) = delete;
  CMaterialBank& operator=(const CMaterialBank&) = delete;

  CMaterialInterface* CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                     D3DCOLORVALUE* emissive, CVector4* additional1,
                                     CVector4* additional2, UINT unique) override;
  void SetMaterial(D3DMATERIAL9* material) override { SetMaterial(material, 0); }
  void SetMaterial(D3DMATERIAL9* material, UINT flag) override;
  void SetMaterial(CMaterialInterface* material, UINT flag) override;
  CMaterial* GetDynamicMaterial() override { return m_pDynamicMaterial; }
  UINT OnDeviceLost() override;

  // A similar shared material (its count raised) or a new one. Changes the caller's vectors:
  // additional1 becomes (diffuse red, specular red, specular alpha, w), additional2.w the
  // emissive red.
  CMaterial* AddMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular, D3DCOLORVALUE* emissive,
                         CVector4* additional1, CVector4* additional2, UINT unique);
  // Called by a material at its last release: its entry becomes free.
  void FreeMaterial(CMaterial* material);
  // Entries made so far (the highest in use + 1), and those in use now.
  UINT GetNumberOfMaterials() const { return m_dwCount; }
  UINT GetNumberOfMaterialsInUse() const;

 private:
  void LoadConstants(const CVector4 (&registers)[4], UINT count);
  void LogDeviceError(HRESULT result);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CMaterial* m_Entries[kMaxMaterials] = {};
  CMaterialInterface* m_pCurrentMaterial = nullptr;
  CMaterial* m_pDynamicMaterial = nullptr;
  UINT m_dwCount = 0;
  UINT m_dwConstantsLoaded = 0;
};
