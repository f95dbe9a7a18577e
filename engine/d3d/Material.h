#pragma once
// A Direct3D material (lighting colours and specular power) with the two extra vectors the
// shaders read as pixel-shader constants. Shared by the surfaces that ask for nearly the same
// colours and counted: the last release frees its bank entry.
#include "d3d/SurfaceMaterial.h"

class CMaterialBank;

class CMaterial final : public CSurfaceMaterial {
 public:
  // Ambient is the diffuse colour, Power the specular alpha x 120, emissive alpha 0.
  CMaterial(CMaterialBank* bank, const D3DCOLORVALUE& diffuse, const D3DCOLORVALUE& specular,
            const D3DCOLORVALUE& emissive, const CVector4& additional1, const CVector4& additional2,
            UINT unique);
  // The dynamic material: all zero, both vectors (0, 0, 0, 1), unique.
  explicit CMaterial(CMaterialBank* bank);

  void Set(UINT flag) override;
  D3DMATERIAL9* GetD3DMaterial() override { return &m_Material; }
  CVector4* GetAdditionalMaterial1() override { return &m_vecAdditional1; }
  CVector4* GetAdditionalMaterial2() override { return &m_vecAdditional2; }
  void Release() override;

  void AddReference() { ++m_dwReferences; }
  UINT GetReferenceCount() const { return m_dwReferences; }
  UINT IsUnique() const { return m_dwUnique; }
  // Every compared value within 0.01 (ambient and specular alpha are not compared); never for
  // a unique material.
  bool IsSimilar(const D3DCOLORVALUE& diffuse, const D3DCOLORVALUE& specular,
                 const D3DCOLORVALUE& emissive, const CVector4& additional1,
                 const CVector4& additional2) const;
  // Takes the other's colours and vectors; its count and unique flag stay.
  void CopyFrom(const CMaterial& other);
  // The bank went first (shutdown): the material lives on until its last release, setting
  // nothing.
  void Detach() { m_pBank = nullptr; }

 private:
  CMaterialBank* m_pBank;
  D3DMATERIAL9 m_Material = {};
  CVector4 m_vecAdditional1;
  CVector4 m_vecAdditional2;
  UINT m_dwReferences = 0;
  UINT m_dwUnique = 0;
};
