#include "d3d/Material.h"

#include <cmath>

#include "d3d/MaterialBank.h"

namespace {

constexpr float kPowerScale = 120.0f;
constexpr float kSimilarity = 0.01f;

bool Near(float a, float b) { return std::fabs(a - b) < kSimilarity; }

}  // namespace

CMaterial::CMaterial(CMaterialBank* bank, const D3DCOLORVALUE& diffuse,
                     const D3DCOLORVALUE& specular, const D3DCOLORVALUE& emissive,
                     const CVector4& additional1, const CVector4& additional2, UINT unique)
    : m_pBank(bank),
      m_vecAdditional1(additional1),
      m_vecAdditional2(additional2),
      m_dwUnique(unique) {
  m_Material.Diffuse = diffuse;
  m_Material.Ambient = diffuse;
  m_Material.Specular = specular;
  m_Material.Power = specular.a * kPowerScale;
  m_Material.Emissive = {emissive.r, emissive.g, emissive.b, 0.0f};
}

CMaterial::CMaterial(CMaterialBank* bank) : m_pBank(bank), m_dwUnique(1) {}

void CMaterial::Set(UINT flag) {
  if (m_pBank) m_pBank->SetMaterial(this, flag);
}

void CMaterial::Release() {
  if (m_dwReferences == 0) return;
  if (--m_dwReferences != 0) return;
  if (m_pBank)
    m_pBank->FreeMaterial(this);
  else
    delete this;
}

bool CMaterial::IsSimilar(const D3DCOLORVALUE& diffuse, const D3DCOLORVALUE& specular,
                          const D3DCOLORVALUE& emissive, const CVector4& additional1,
                          const CVector4& additional2) const {
  if (m_dwUnique == 1) return false;
  const D3DMATERIAL9& m = m_Material;
  const CVector4& a1 = m_vecAdditional1;
  const CVector4& a2 = m_vecAdditional2;
  return Near(diffuse.a, m.Diffuse.a) && Near(diffuse.r, m.Diffuse.r) &&
         Near(diffuse.b, m.Diffuse.b) && Near(diffuse.g, m.Diffuse.g) &&
         Near(emissive.r, m.Emissive.r) && Near(emissive.g, m.Emissive.g) &&
         Near(emissive.b, m.Emissive.b) && Near(additional1.w, a1.w) && Near(additional1.x, a1.x) &&
         Near(additional1.y, a1.y) && Near(additional1.z, a1.z) && Near(additional2.w, a2.w) &&
         Near(additional2.x, a2.x) && Near(additional2.y, a2.y) && Near(additional2.z, a2.z) &&
         Near(specular.a * kPowerScale, m.Power) && Near(specular.r, m.Specular.r) &&
         Near(specular.g, m.Specular.g) && Near(specular.b, m.Specular.b);
}

void CMaterial::CopyFrom(const CMaterial& other) {
  if (&other == this) return;
  m_Material = other.m_Material;
  m_vecAdditional1 = other.m_vecAdditional1;
  m_vecAdditional2 = other.m_vecAdditional2;
}
