#include "d3d/Texture.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/D3DReference.h"
#include "d3d/DeviceSettings.h"
#include "d3d/EngineRenderer.h"
#include "d3d/GuiTextureFactory.h"
#include "d3d/TextureBank.h"
#include "d3d/TextureFormats.h"

namespace {

const char kSource[] = "D3DTextures";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;
const char kFlareName[] = "flare.jpg";

// Copies a text the bank has checked to fit.
void CopyField(char (&field)[CTexture::kNameLength], const char* text) {
  std::snprintf(field, sizeof field, "%s", text != nullptr ? text : "");
}

}  // namespace

CTexture::CTexture(CTextureBank* bank, CEngineRenderer* renderer, CEngineLog* log)
    : m_pRenderer(renderer), m_pLog(log), m_pBank(bank) {}

CTexture::~CTexture() { ReleaseDeviceObjects(); }

void CTexture::CopyTextureName(char (&field)[kNameLength], const char* text) {
  CopyField(field, text);
  for (char* c = field; *c != '\0'; ++c)
    if (*c == '.') *c = '_';
}

const DeviceSettings& CTexture::Settings() const {
  static const DeviceSettings none{};
  const DeviceSettings* settings = m_pRenderer->GetDeviceSettings();
  return settings != nullptr ? *settings : none;
}

IDirect3DDevice9* CTexture::Device() const { return m_pRenderer->GetDevice(); }

UINT CTexture::MipmappingSwitch() const { return Settings().dwMipmapping != 0 ? 1 : 0; }

// --- variants ---

void CTexture::MakeWrapped(const char* name, IDirect3DTexture9* texture, UINT width, UINT height,
                           D3DFORMAT format, UINT levels) {
  CopyTextureName(m_szName, name);
  CopyField(m_szFileNames[0], name);
  if (texture != nullptr) texture->AddRef();
  m_pD3DTexture = texture;
  m_dwWidth = width;
  m_dwHeight = height;
  m_Format = format;
  m_dwLevels = levels;
  m_dwGenerateMipmaps = levels != 1 ? 1 : 0;
  m_dwLoaded = 1;
}

void CTexture::MakeEmpty(const char* name, D3DFORMAT format, UINT width, UINT height, UINT levels, UINT dynamic) {
  CopyTextureName(m_szName, name);
  CopyField(m_szFileNames[0], name);
  m_Format = format;
  m_dwWidth = width;
  m_dwHeight = height;
  m_dwLevels = levels;
  m_dwDynamic = dynamic == 1 ? 1 : 0;
  m_dwGenerateMipmaps = MipmappingSwitch() && levels > 1 ? 1 : 0;
  m_dwLoaded = 1;
}

void CTexture::MakeMaterial(const char* key, const char* const files[kFileNames], const BYTE values[4], Kind kind,
                            D3DFORMAT format) {
  CopyField(m_szName, key);
  for (int i = 0; i < kFileNames; ++i) CopyField(m_szFileNames[i], files[i]);
  std::memcpy(m_Values + (kind == kMaterial1 ? 0 : 4), values, 4);
  m_Format = format;
  m_dwGenerateMipmaps = MipmappingSwitch();
  m_wKind = kind;
  m_dwHasAlpha = 1;
}

void CTexture::MakeSingleFile(const char* name, UINT normalMap, UINT keepFormat) {
  CopyTextureName(m_szName, name);
  CopyField(m_szFileNames[0], name);
  m_dwNormalMap = normalMap;
  m_dwGenerateMipmaps = MipmappingSwitch();
  const TextureFormatChoice choice =
      ChooseSingleFileFormat(normalMap, keepFormat, Settings().SecondaryTextureFormat, Settings().TextureFormat,
                             [this] { return GetFileImageFormat(); });
  if (choice.fatalText != nullptr) FatalErrorWithTitle(choice.fatalTitle, choice.fatalText, m_szFileNames[0]);
  m_Format = choice.format;
}

void CTexture::MakeTwoFiles(const char* name, const char* first, const char* fourth, UINT normalMap) {
  CopyField(m_szName, name);
  CopyField(m_szFileNames[0], first);
  CopyField(m_szFileNames[3], fourth);
  m_dwNormalMap = normalMap;
  m_dwHasAlpha = 1;
  m_dwGenerateMipmaps = MipmappingSwitch();
  const bool wideFormat = m_pRenderer->GetEnumeration()->HasTextureFormatBits(1u << 17) == 1;
  const TextureFormatChoice choice =
      ChooseTwoFileFormat(normalMap, Settings().SecondaryTextureFormat, Settings().TextureFormat,
                          [this] { return GetFileImageFormat(); }, wideFormat);
  if (choice.fatalText != nullptr) FatalErrorWithTitle(choice.fatalTitle, choice.fatalText, m_szFileNames[0]);
  m_Format = choice.format;
}

void CTexture::MakeAlphaOnly(const char* fourth) {
  CopyTextureName(m_szName, fourth);
  CopyField(m_szFileNames[3], fourth);
  m_dwHasAlpha = 1;
  m_wKind = kAlphaOnly;
  m_Format = D3DFMT_L8;
  m_dwGenerateMipmaps = MipmappingSwitch();
}

// --- references ---

UINT CTexture::Set(WORD stage) { return m_pBank->SetTexture(this, stage, 0); }

void CTexture::Release() {
  m_pBank->SetD3DTexture(nullptr, 0);
  m_pBank->SetD3DTexture(nullptr, 1);
  if (m_dwReferences > 0) --m_dwReferences;
  if (m_dwReferences != 0) return;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "- (CTexture) Releasing %s\n", m_szName);
  m_pBank->ForgetTexture(this);
  delete this;
}

void CTexture::ReleaseDeviceObjects() {
  if (m_pDCSurface != nullptr) m_pDCSurface->Release();
  m_pDCSurface = nullptr;
  if (m_pD3DTexture != nullptr) m_pD3DTexture->Release();
  else if (m_pD3DCubeTexture != nullptr) m_pD3DCubeTexture->Release();
  m_pD3DTexture = nullptr;
  m_pD3DCubeTexture = nullptr;
  m_dwLoaded = 0;
}

void CTexture::OnDeviceLost() {
  if (m_dwDynamic == 1) ReleaseDeviceObjects();
}

void CTexture::OnDeviceReset() {
  if (m_dwDynamic != 1 || m_pD3DTexture != nullptr) return;
  CreatePlainTexture();
  m_dwLoaded = 1;
}

CGUITexture* CTexture::GetGUITexture() {
  if (m_pGUITexture == nullptr) m_pGUITexture = GetEngineContext()->ports.guiTextures->CreateGUITexture(this);
  if (m_pGUITexture != nullptr) AddReference();
  return m_pGUITexture;
}

// --- device contexts ---

HDC CTexture::TakeDC(IDirect3DSurface9* surface, HRESULT levelResult) {
  if (FAILED(levelResult)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Get Surface Level For: %s\n%s - %s\n", m_szName,
           D3DResultName(levelResult), D3DResultDescription(levelResult));
    return nullptr;
  }
  HDC dc = nullptr;
  const HRESULT result = surface->GetDC(&dc);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Get HDC For Surface In: %s\n%s - %s\n", m_szName,
           D3DResultName(result), D3DResultDescription(result));
    // Nothing was handed out, so nothing keeps the surface.
    surface->Release();
    return nullptr;
  }
  m_pDCSurface = surface;
  return dc;
}

bool CTexture::MayHandOutDC(const void* texture, const char* missingText) {
  if (m_pDCSurface != nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - You Have Already Gotten A HDC For : %s\n", m_szName);
    return false;
  }
  if (texture == nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kError, missingText, m_szName);
    return false;
  }
  return true;
}

HDC CTexture::GetDC(UINT level) {
  if (!MayHandOutDC(m_pD3DTexture, "ERROR!!! - %s Is Not A Plain Texture\n")) return nullptr;
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = m_pD3DTexture->GetSurfaceLevel(level, &surface);
  return TakeDC(surface, result);
}

HDC CTexture::GetCubeDC(D3DCUBEMAP_FACES face, UINT level) {
  if (!MayHandOutDC(m_pD3DCubeTexture, "ERROR!!! - %s Is Not A Cube Texture\n")) return nullptr;
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = m_pD3DCubeTexture->GetCubeMapSurface(face, level, &surface);
  return TakeDC(surface, result);
}

// Handing the context back also lets the surface go, so the next GetDC can take one again.
UINT CTexture::ReleaseDC(HDC dc, UINT) {
  const HRESULT result = m_pDCSurface != nullptr ? m_pDCSurface->ReleaseDC(dc) : D3DERR_INVALIDCALL;
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Release HDC For Surface In: %s\n%s - %s\n", m_szName,
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  m_pDCSurface->Release();
  m_pDCSurface = nullptr;
  return 1;
}

// --- locks and copies ---

UINT CTexture::Lock(UINT level, RECT* area, D3DLOCKED_RECT* out) {
  if (m_pD3DTexture == nullptr) return 0;
  if (FAILED(m_pD3DTexture->LockRect(level, out, area, 0))) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Lock Texture: %s\n", m_szName);
    return 0;
  }
  return 1;
}

HRESULT CTexture::Unlock(UINT level) { return m_pD3DTexture != nullptr ? m_pD3DTexture->UnlockRect(level) : 0; }

UINT CTexture::CopyToSystemMemorySurface(IDirect3DSurface9** out, D3DFORMAT format) {
  if (m_pD3DTexture == nullptr || out == nullptr || Device() == nullptr) return 0;
  TD3DReference<IDirect3DSurface9> copy, level;
  HRESULT result = Device()->CreateOffscreenPlainSurface(m_dwWidth, m_dwHeight, format, D3DPOOL_SYSTEMMEM,
                                                         copy.Out(), nullptr);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - Can't Create OffScreen Plain Surface\n%s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  result = m_pD3DTexture->GetSurfaceLevel(0, level.Out());
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - Can't Get Surface Level\n%s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
    return 0;
  }
  result = D3DXLoadSurfaceFromSurface(copy.Get(), nullptr, nullptr, level.Get(), nullptr, nullptr, D3DX_FILTER_NONE, 0);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR! - Can't Copy Surface\n%s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
    return 0;
  }
  *out = copy.Detach();
  return 1;
}

UINT CTexture::CreatePlainTexture() {
  const bool mipmapped = m_dwGenerateMipmaps == 1;
  const HRESULT result =
      Device() != nullptr
          ? Device()->CreateTexture(m_dwWidth, m_dwHeight, mipmapped ? m_dwLevels : 1,
                                    m_dwDynamic == 1 ? D3DUSAGE_DYNAMIC : 0, m_Format,
                                    m_dwDynamic == 1 ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &m_pD3DTexture, nullptr)
          : D3DERR_INVALIDCALL;
  if (FAILED(result))
    FatalErrorWithTitle("Error While Loading Texture", "Can't Create Plain Texture: %s (%i)\n%s - %s", m_szName,
                        static_cast<int>(m_Format), D3DResultName(result), D3DResultDescription(result));
  return 1;
}

UINT CTexture::SaveAsDDS() {
  char file[1024];
  std::snprintf(file, sizeof file, "%s.dds", m_szName);
  const HRESULT result = D3DXSaveTextureToFileA(file, D3DXIFF_DDS, m_pD3DTexture, nullptr);
  if (FAILED(result)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Save Texture: %s (%s - %s)\n", file,
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  return 1;
}

// --- the source image's format ---

bool CTexture::LowerFirstFileIsFlare() {
  for (char* c = m_szFileNames[0]; *c != '\0'; ++c) *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return std::strncmp(m_szFileNames[0], kFlareName, sizeof kFlareName - 1) == 0;
}

D3DFORMAT CTexture::GetFileImageFormat() {
  if (LowerFirstFileIsFlare()) return D3DFMT_X8R8G8B8;
  static const char kTitle[] = "Error While Loading Image (Plain)";
  D3DXIMAGE_INFO info = {};
  char ddsName[kNameLength + 4];
  if (FindPrecomputedDDS(ddsName))
    ReadImageInfo(ddsName, info,
                  {kTitle, kTitle, "(1a) Can't Get Image Info: %s\n%s - %s", kTitle,
                   "(1b) Can't Get Image Info: %s\n%s - %s"});
  else
    ReadImageInfo(m_szFileNames[0], info,
                  {kTitle, kTitle, "(1c) Can't Get Image Info: %s\n%s - %s", kTitle,
                   "(1dd) Can't Get Image Info: %s\n%s - %s"});
  return info.Format;
}
