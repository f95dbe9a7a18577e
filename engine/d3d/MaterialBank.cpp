#include "d3d/MaterialBank.h"

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/Material.h"

namespace {

const char kSource[] = "D3DMaterial";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;

}  // namespace

CMaterialBank::CMaterialBank(CEngineRenderer* renderer, CEngineLog* log)
    : m_pRenderer(renderer), m_pLog(log) {
  m_pDynamicMaterial =
      NewOrFatal<CMaterial>("Critical Error", "Can't Allocate Memory For Dynamic Material", this);
}

CMaterialBank::~CMaterialBank() {
  // Surfaces the game still holds give their materials back later, after the bank is gone.
  for (CMaterial*& entry : m_Entries) {
    if (entry) entry->Detach();
    entry = nullptr;
  }
  delete m_pDynamicMaterial;
}

CMaterialInterface* CMaterialBank::CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                                  D3DCOLORVALUE* emissive, CVector4* additional1,
                                                  CVector4* additional2, UINT unique) {
  return AddMaterial(diffuse, specular, emissive, additional1, additional2, unique);
}

CMaterial* CMaterialBank::AddMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                      D3DCOLORVALUE* emissive, CVector4* additional1,
                                      CVector4* additional2, UINT unique) {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Adding Material...\n");
  if (!diffuse || !specular || !emissive || !additional1 || !additional2) {
    LogD3D(m_pLog, kSource, __LINE__, kError,
           "ERROR!!! - Can't Add Material Without Its Colours\n");
    return nullptr;
  }
  additional1->x = diffuse->r;
  additional1->y = specular->r;
  additional1->z = specular->a;
  additional2->w = emissive->r;

  if (unique == 0)
    for (UINT i = 0; i < m_dwCount; ++i)
      if (m_Entries[i] &&
          m_Entries[i]->IsSimilar(*diffuse, *specular, *emissive, *additional1, *additional2)) {
        m_Entries[i]->AddReference();
        return m_Entries[i];
      }

  UINT slot = 0;
  while (slot < m_dwCount && m_Entries[slot]) ++slot;
  // Only a material that needs a new entry can find the table full: released ones leave holes.
  if (slot == kMaxMaterials) FatalErrorWithTitle("Critical Error", "Not Enuff Material Entries");
  CMaterial* material =
      NewOrFatal<CMaterial>("Error While Creating Material", "Can't Allocate Memory", this,
                            *diffuse, *specular, *emissive, *additional1, *additional2, unique);
  material->AddReference();
  m_Entries[slot] = material;
  if (slot == m_dwCount) {
    ++m_dwCount;
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "- Number Of Materials: %i\n",
           static_cast<int>(m_dwCount));
  }
  return material;
}

void CMaterialBank::FreeMaterial(CMaterial* material) {
  if (material == m_pDynamicMaterial) return;
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_Entries[i] == material) m_Entries[i] = nullptr;
  if (m_pCurrentMaterial == material) m_pCurrentMaterial = nullptr;
  delete material;
}

void CMaterialBank::SetMaterial(D3DMATERIAL9* material, UINT flag) {
  m_pCurrentMaterial = nullptr;
  m_dwConstantsLoaded = 0;
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (!device) return;
  // A null record is the device's to refuse; it has no constants to load.
  LogDeviceError(device->SetMaterial(material));
  if (flag == 1 && material) {
    const CVector4 registers[4] = {
        {material->Diffuse.r, material->Diffuse.g, material->Diffuse.b, material->Diffuse.a},
        {material->Specular.r, material->Specular.g, material->Specular.b, material->Specular.a},
    };
    LoadConstants(registers, 2);
  }
}

void CMaterialBank::SetMaterial(CMaterialInterface* material, UINT flag) {
  if (material == nullptr) {
    SetMaterial(static_cast<D3DMATERIAL9*>(nullptr), 0);
    return;
  }
  if (material != m_pCurrentMaterial) {
    m_pCurrentMaterial = material;
    m_dwConstantsLoaded = 0;
    if (IDirect3DDevice9* device = m_pRenderer->GetDevice())
      LogDeviceError(device->SetMaterial(material->GetD3DMaterial()));
  } else if (flag != 1 || m_dwConstantsLoaded == 1) {
    return;
  }
  if (flag != 1) return;
  m_dwConstantsLoaded = 1;
  const D3DMATERIAL9& values = *material->GetD3DMaterial();
  const CVector4 registers[4] = {
      {values.Diffuse.r, values.Diffuse.g, values.Diffuse.b, values.Diffuse.a},
      {values.Specular.r, values.Specular.g, values.Specular.b, values.Specular.a},
      *material->GetAdditionalMaterial1(),
      *material->GetAdditionalMaterial2(),
  };
  LoadConstants(registers, 4);
}

UINT CMaterialBank::GetNumberOfMaterialsInUse() const {
  UINT used = 0;
  for (UINT i = 0; i < m_dwCount; ++i) used += m_Entries[i] != nullptr;
  return used;
}

UINT CMaterialBank::OnDeviceLost() {
  m_pCurrentMaterial = nullptr;
  return 1;
}

// Through the renderer's constant cache, which must know what the registers hold.
void CMaterialBank::LoadConstants(const CVector4 (&registers)[4], UINT count) {
  for (UINT r = 0; r < count; ++r)
    LogDeviceError(m_pRenderer->SetPixelShaderConstantF(r, &registers[r].x, 1));
}

void CMaterialBank::LogDeviceError(HRESULT result) {
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - CMaterialBank::SetMaterial - %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
}
