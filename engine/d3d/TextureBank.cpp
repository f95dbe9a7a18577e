#include "d3d/TextureBank.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/EngineSampleScope.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "core/Profiler.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/TextureFormats.h"

namespace {

const char kSource[] = "D3DTextures";
const char kLoadTitle[] = "Error While Loading Texture";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;

// What a sampler's Direct3D cache entry holds once a texture object was set there: no Direct3D
// texture equals it, so the next SetD3DTexture always reaches the device.
IDirect3DBaseTexture9* const kObjectSet = reinterpret_cast<IDirect3DBaseTexture9*>(~uintptr_t{0});

bool Same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The files (null: none) and values of a material record, red, green, blue, alpha.
void MaterialChannels(const MaterialTexture1& m, const char* files[4], BYTE values[4]) {
  const char* const f[4] = {m.szDiffuseInRed, m.szSpecularGlossInGreen, m.szSpecularExpInBlue, m.szReflectionInAlpha};
  const BYTE v[4] = {m.DiffuseValueInRed, m.SpecularGlossValueInGreeen, m.SpecularExpValueInBlue,
                     m.ReflectionValueInAlpha};
  std::copy(f, f + 4, files);
  std::copy(v, v + 4, values);
}
void MaterialChannels(const MaterialTexture2& m, const char* files[4], BYTE values[4]) {
  const char* const f[4] = {m.szTranslucencyInRed, m.szFresnelExponentInGreen, m.szRefractionInBlue,
                            m.szLuminosityInAlpha};
  const BYTE v[4] = {m.TranslucencyValueInRed, m.FresnelExponentValueInGreen, m.RefractionValueInBlue,
                     m.LuminosityValueInAlpha};
  std::copy(f, f + 4, files);
  std::copy(v, v + 4, values);
}

}  // namespace

CTextureBank::CTextureBank(CEngineRenderer* renderer, CEngineLog* log) : m_pRenderer(renderer), m_pLog(log) {}

CTextureBank::~CTextureBank() {
  for (UINT i = 0; i < m_dwCount; ++i) delete m_pTextures[i];
}

UINT CTextureBank::Initialize() {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "- Initializing Texture Storage With %i Max Textures\n",
         static_cast<int>(kCapacity));
  struct Row {
    const char* line;
    const char* allocationFailure;
  };
  static const Row kRows[kSystemTextures] = {
      {"  - Creating Cube Normalizer\n", "Can't Allocate Memory For Cube Normalizer"},
      {"  - Creating ShadowMask\n", "Can't Allocate Memory For Shadow Mask Texture "},
      {"  - Creating 8bit ShadowLookUp\n", "Can't Allocate Memory For ShadowLookup256 Texture "},
      {"  - Creating 10bit ShadowLookUp\n", "Can't Allocate Memory For ShadowLookup2048 Texture "},
      {"  - Creating AttenuationXY Texture\n", "Can't Allocate Memory For AttenuationXY Texture "},
      {"  - Creating AttenuationZ Texture\n", "Can't Allocate Memory For AttenuationZ Texture "},
      {"  - Creating NdotHpowK LookUp\n", "Can't Allocate Memory For NDotHPowK LookUp Texture "},
      {"  - Creating SpotMask\n", "Can't Allocate Memory For SpotMask Texture "},
      {"  - Creating FresnelTerm\n", "Can't Allocate Memory For FresnelTerm Texture "},
  };
  CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration();
  for (UINT index = 0; index < kSystemTextures && m_dwCount < kCapacity; ++index) {
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "%s", kRows[index].line);
    std::unique_ptr<CTexture> texture(
        NewOrFatal<CTexture>(kLoadTitle, kRows[index].allocationFailure, this, m_pRenderer, m_pLog));
    if (index == 0)
      texture->MakeCubeNormalizer(
          enumeration->HasCubeTextureFormatBits(1u << 9) == 1 ? D3DFMT_A2R10G10B10 : D3DFMT_A8R8G8B8,
          enumeration->IsCubeMipmappingSupported());
    else
      texture->MakeSystem(index);
    // The bank keeps one reference, so that a holder's last Release cannot free a system texture.
    texture->AddReference();
    m_pSystemTextures[index] = m_pTextures[m_dwCount++] = texture.release();
  }
  return 1;
}

// --- names ---

bool CTextureBank::LowerCaseCopy(const char* text, char (&out)[CTexture::kNameLength]) {
  const size_t length = strnlen(text, CTexture::kNameLength);
  if (length >= CTexture::kNameLength) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Texture Name Too Long: %s\n", text);
    return false;
  }
  for (size_t i = 0; i <= length; ++i) out[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
  return true;
}

bool CTextureBank::NameCopy(const char* text, char (&out)[CTexture::kNameLength]) {
  if (!LowerCaseCopy(text, out)) return false;
  for (char* c = out; *c != '\0'; ++c)
    if (*c == '.') *c = '_';
  return true;
}

CTexture* CTextureBank::FindByName(const char* name) const {
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_pTextures[i] != nullptr && Same(m_pTextures[i]->NameField(), name)) return m_pTextures[i];
  return nullptr;
}

CTexture* CTextureBank::FindByFileNames(const char* first, const char* fourth) const {
  for (UINT i = 0; i < m_dwCount; ++i) {
    CTexture* texture = m_pTextures[i];
    if (texture == nullptr || texture->FileNameField(1)[0] != '\0' || texture->FileNameField(2)[0] != '\0')
      continue;
    if (texture->FileNameField(3)[0] == '\0' || !Same(texture->FileNameField(3), fourth)) continue;
    if (first == nullptr ? texture->FileNameField(0)[0] == '\0' : Same(texture->FileNameField(0), first))
      return texture;
  }
  return nullptr;
}

CTexture* CTextureBank::Shared(CTexture* texture) {
  texture->AddReference();
  return texture;
}

// --- creation ---

template <class Make>
CTexture* CTextureBank::CreationTail(const char* name, Make make) {
  if (m_dwCount >= kCapacity) return nullptr;
  UINT index = 0;
  while (index < m_dwCount && m_pTextures[index] != nullptr) ++index;
  std::unique_ptr<CTexture> texture(
      NewNamedOrFatal<CTexture>(kLoadTitle, "Can't Allocate Memory: %s", name, this, m_pRenderer, m_pLog));
  make(*texture);
  m_pTextures[index] = texture.release();
  if (index == m_dwCount) ++m_dwCount;
  m_pTextures[index]->AddReference();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - DONE...\n");
  return m_pTextures[index];
}

CTextureInterface* CTextureBank::CreateTexture(const char* name, D3DFORMAT format, UINT width, UINT height,
                                               UINT levels, UINT dynamic) {
  if (name == nullptr) return nullptr;
  char lowered[CTexture::kNameLength], copy[CTexture::kNameLength];
  if (!LowerCaseCopy(name, lowered) || !NameCopy(name, copy)) return nullptr;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Texture (0) (%s)...\n", copy);
  for (UINT i = 0; i < m_dwCount; ++i) {
    CTexture* texture = m_pTextures[i];
    if (texture != nullptr && Same(texture->NameField(), copy) && texture->GetLevelCount() == levels &&
        texture->GetFormat() == format && texture->GetWidth() == width && texture->GetHeight() == height)
      return Shared(texture);
  }
  return CreationTail(copy, [&](CTexture& texture) {
    texture.MakeEmpty(lowered, format, width, height, levels, dynamic);
    texture.CreatePlainTexture();
  });
}

CTexture* CTextureBank::CreateTextureKeepFormat(const char* name, UINT normalMap, UINT keepFormat) {
  if (name == nullptr) return nullptr;
  char lowered[CTexture::kNameLength], copy[CTexture::kNameLength];
  if (!LowerCaseCopy(name, lowered) || !NameCopy(name, copy)) return nullptr;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Texture (1) (%s)... (Leave File Format UnChanged: %s)\n", copy,
          keepFormat == 1 ? "TRUE" : "FALSE");
  if (CTexture* found = FindByName(copy)) return Shared(found);
  return CreationTail(copy, [&](CTexture& texture) { texture.MakeSingleFile(lowered, normalMap, keepFormat); });
}

CTexture* CTextureBank::CreateTextureByNames(const char* first, const char* fourth, UINT normalMap) {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Texture (2)...\n");
  if (fourth == nullptr) return nullptr;
  char alpha[CTexture::kNameLength];
  if (!LowerCaseCopy(fourth, alpha)) return nullptr;
  if (first == nullptr) {
    if (CTexture* found = FindByFileNames(nullptr, alpha)) return Shared(found);
    return CreationTail(alpha, [&](CTexture& texture) { texture.MakeAlphaOnly(alpha); });
  }
  char colour[CTexture::kNameLength];
  if (!LowerCaseCopy(first, colour)) return nullptr;
  if (CTexture* found = FindByFileNames(colour, alpha)) return Shared(found);
  // The name joins the colour file with the alpha file's own name.
  const std::string joined = std::string(colour) + GetWholeFileName(alpha);
  char name[CTexture::kNameLength];
  if (!NameCopy(joined.c_str(), name)) return nullptr;
  return CreationTail(name, [&](CTexture& texture) { texture.MakeTwoFiles(name, colour, alpha, normalMap); });
}

// The key names the texture and its precomputed DDS file, so it must tell every recipe apart:
// the record's kind first, then each channel's file or its value marked with "#", separated.
bool CTextureBank::MaterialKey(const char* kindTag, const char* const files[4], const BYTE values[4],
                               char (&key)[CTexture::kNameLength]) {
  std::string text = kindTag;
  for (int channel = 0; channel < 4; ++channel) {
    text += ',';
    text += files[channel] != nullptr ? std::string(files[channel]) : "#" + std::to_string(values[channel]);
  }
  if (text.size() >= CTexture::kNameLength) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Texture Name Too Long: %s\n", text.c_str());
    return false;
  }
  for (char& c : text)
    if (c == '.') c = '_';
  std::memcpy(key, text.c_str(), text.size() + 1);
  return true;
}

template <class Record>
CTexture* CTextureBank::CreateMaterial(Record* material, CTexture::Kind kind) {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Material Texture");
  if (material == nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "\n");
    return nullptr;
  }
  const char* files[4];
  BYTE values[4];
  MaterialChannels(*material, files, values);
  char key[CTexture::kNameLength];
  if (!MaterialKey(kind == CTexture::kMaterial1 ? "mt1" : "mt2", files, values, key)) return nullptr;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, " (%s)...\n", key);
  if (CTexture* found = FindByName(key)) return Shared(found);
  const D3DFORMAT format = ChooseMaterialFormat(m_pRenderer->GetEnumeration()->GetTextureFormat());
  return CreationTail(key, [&](CTexture& texture) { texture.MakeMaterial(key, files, values, kind, format); });
}

CTexture* CTextureBank::CreateMaterialTexture(MaterialTexture1* material) {
  return CreateMaterial(material, CTexture::kMaterial1);
}

CTexture* CTextureBank::CreateMaterialTexture2(MaterialTexture2* material) {
  return CreateMaterial(material, CTexture::kMaterial2);
}

CTexture* CTextureBank::CreateTextureFromD3DTexture(const char* name, IDirect3DTexture9* d3dTexture, UINT width,
                                                    UINT height, D3DFORMAT format, UINT levels) {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Creating Texture (12)...\n");
  if (name == nullptr) return nullptr;
  if (strnlen(name, CTexture::kNameLength) >= CTexture::kNameLength) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Texture Name Too Long: %s\n", name);
    return nullptr;
  }
  for (UINT i = 0; i < m_dwCount; ++i) {
    CTexture* texture = m_pTextures[i];
    if (texture != nullptr && texture->GetD3DTexture() == d3dTexture &&
        std::strlen(texture->FileNameField(0)) == std::strlen(name))
      return Shared(texture);
  }
  return CreationTail(name, [&](CTexture& texture) {
    texture.MakeWrapped(name, d3dTexture, width, height, format, levels);
  });
}

// --- lookups ---

CTextureInterface* CTextureBank::GetTextureByName(const char* name, UINT) {
  if (name == nullptr) return nullptr;
  char copy[CTexture::kNameLength];
  if (!NameCopy(name, copy)) return nullptr;
  for (UINT i = 0; i < m_dwCount; ++i) {
    CTexture* texture = m_pTextures[i];
    if (texture != nullptr && texture->NameField()[0] != '\0' && Same(texture->NameField(), copy)) return texture;
  }
  return nullptr;
}

CTextureInterface* CTextureBank::GetTextureByName(const char* fileName, const char* alphaFileName, UINT) {
  if (alphaFileName == nullptr) return GetTextureByName(fileName, 0);
  char alpha[CTexture::kNameLength], colour[CTexture::kNameLength];
  if (!LowerCaseCopy(alphaFileName, alpha)) return nullptr;
  if (fileName == nullptr) return FindByFileNames(nullptr, alpha);
  if (!LowerCaseCopy(fileName, colour)) return nullptr;
  return FindByFileNames(colour, alpha);
}

CTextureInterface* CTextureBank::GetTextureByID(UINT index) {
  return index < m_dwCount ? m_pTextures[index] : nullptr;
}

CTexture* CTextureBank::GetSystemTexture(UINT index) {
  return index < kSystemTextures ? m_pSystemTextures[index] : nullptr;
}

void CTextureBank::SetTextureEntry(UINT index, CTexture* texture) {
  if (index < kCapacity) m_pTextures[index] = texture;
}

void CTextureBank::ForgetTexture(CTexture* texture) {
  for (UINT i = 0; i < m_dwCount; ++i) {
    if (m_pTextures[i] == texture) {
      m_pTextures[i] = nullptr;
      break;
    }
  }
  for (CTexture*& system : m_pSystemTextures)
    if (system == texture) system = nullptr;
  // A stage must not keep a freed texture as its cached object.
  for (CTextureInterface*& stage : m_pStageTextures)
    if (stage == texture) stage = nullptr;
}

// --- stages ---

int CTextureBank::StageIndex(UINT sampler) {
  if (sampler < 16) return static_cast<int>(sampler);
  if (sampler >= D3DVERTEXTEXTURESAMPLER0 && sampler <= D3DVERTEXTEXTURESAMPLER3)
    return static_cast<int>(sampler - D3DVERTEXTEXTURESAMPLER0 + 16);
  return -1;
}

CTextureInterface* CTextureBank::GetTextureOnStage(WORD sampler) {
  return sampler < kStageEntries ? m_pStageTextures[sampler] : nullptr;
}

UINT CTextureBank::SetTexture(CTextureInterface* texture, WORD sampler, UINT) {
  if (texture == nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetTexture: No Texture For Sampler %u\n", static_cast<unsigned>(sampler));
    return 0;
  }
  const int index = StageIndex(sampler);
  if (index >= 0 && m_pStageTextures[index] == texture) return 1;
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (device == nullptr) return 1;
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  if (index >= 0) {
    m_pStageTextures[index] = texture;
    m_pStageD3DTextures[index] = kObjectSet;
  }
  IDirect3DBaseTexture9* d3dTexture = texture->IsCubeTexture() == 1
                                          ? static_cast<IDirect3DBaseTexture9*>(texture->GetD3DCubeTexture())
                                          : texture->GetD3DTexture();
  const HRESULT result = device->SetTexture(sampler, d3dTexture);
  if (FAILED(result))
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - SetTexture: %s\n%s - %s\n", texture->GetName() ? texture->GetName() : "",
             D3DResultName(result), D3DResultDescription(result));
  if (CProfiler* profiler = GetEngineContext()->pProfiler) profiler->AddToCounter(CProfiler::kSetTexture, 1);
  return 1;
}

UINT CTextureBank::SetD3DTexture(IDirect3DBaseTexture9* texture, UINT sampler) {
  const int index = StageIndex(sampler);
  if (index >= 0 && m_pStageD3DTextures[index] == texture) return 1;
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  if (device == nullptr) return 0;
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  if (index >= 0) m_pStageTextures[index] = nullptr;
  const HRESULT result = device->SetTexture(sampler, texture);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - Can't Set Texture\n%s - %s\n", D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  if (index >= 0) m_pStageD3DTextures[index] = texture;
  if (CProfiler* profiler = GetEngineContext()->pProfiler) profiler->AddToCounter(CProfiler::kSetTexture, 1);
  return 1;
}

UINT CTextureBank::ClearTextureStages() {
  const UINT samplers = m_pRenderer->GetEnumeration()->GetMaxSimultaneousTextures();
  for (UINT sampler = 0; sampler < samplers; ++sampler) SetD3DTexture(nullptr, sampler);
  return 1;
}

void CTextureBank::ReleaseDeviceObjects() {
  // The bank's own references on the system textures go with the device.
  for (CTexture*& texture : m_pSystemTextures) {
    if (texture == nullptr) continue;
    texture->ReleaseDeviceObjects();
    CTexture* released = texture;
    texture = nullptr;
    released->Release();
  }
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_pTextures[i] != nullptr) m_pTextures[i]->ReleaseDeviceObjects();
  for (UINT i = 0; i < kStageEntries; ++i) {
    m_pStageTextures[i] = nullptr;
    m_pStageD3DTextures[i] = nullptr;
  }
}

void CTextureBank::OnDeviceLost() {
  ClearTextureStages();
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_pTextures[i] != nullptr) m_pTextures[i]->OnDeviceLost();
}

void CTextureBank::OnDeviceReset() {
  for (UINT i = 0; i < m_dwCount; ++i)
    if (m_pTextures[i] != nullptr) m_pTextures[i]->OnDeviceReset();
}

// --- loading ---

UINT CTextureBank::LoadAllTextures() {
  for (CTexture* texture : m_pSystemTextures)
    if (texture != nullptr && !texture->IsLoaded()) texture->Load();
  for (UINT i = 0; i < m_dwCount; ++i) {
    CTexture* texture = m_pTextures[i];
    if (texture == nullptr || texture->IsCubeTexture() || texture->IsLoaded()) continue;
    if (!texture->Load()) FatalErrorWithTitle(kLoadTitle, "Can't Load: %s", texture->NameField());
  }
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "- Textures Successfully Loaded\n");
  return 1;
}
