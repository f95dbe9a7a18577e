// The loaders of CTexture: image files, precomputed DDS files, the engine's own images, and
// several images packed channel by channel into one texture. D3DX decodes, scales, converts
// and filters; every failure ends the process.
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
#include "d3d/EmbeddedImages.h"
#include "d3d/EngineRenderer.h"
#include "d3d/Texture.h"
#include "d3d/TextureFormats.h"

namespace {

const char kSource[] = "D3DTextures";
constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;
const char kImageTitle[] = "Error While Loading Image";
const char kPlainImageTitle[] = "Error While Loading Image (Plain)";
const char kTextureTitle[] = "Error While Loading Texture";

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

CVirtualFileSystemInterface* FileSystem() {
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  if (files == nullptr) FatalErrorWithTitle("Error While Getting VFS Interface", "VFS Hasn't Been Initialized");
  return files;
}

// A file of an archive, closed again however the caller leaves.
class CArchivedFile {
 public:
  CArchivedFile(const char* name, const char* openTitle) : m_pFile(FileSystem()->OpenNormalFile(name, "rb")) {
    if (m_pFile == nullptr) FatalErrorWithTitle(openTitle, "Can't Open File: %s", name);
  }
  ~CArchivedFile() { m_pFile->Close(); }
  CArchivedFile(const CArchivedFile&) = delete;
  CArchivedFile& operator=(const CArchivedFile&) = delete;
  const void* Bytes() const { return m_pFile->GetFileBuffer(); }
  UINT Length() const { return m_pFile->GetFileLength(); }

 private:
  VFSFile* m_pFile;
};

bool InArchive(const char* file) { return FileSystem()->LocateNormalFile(file) == VFS_SOURCE_ARCHIVE; }

}  // namespace

// --- sources ---

const char* CTexture::ResourceName() {
  switch (m_wKind) {
    case kAttenuationXY: return kAttenuationXYImage;
    case kAttenuationZ: return kAttenuationZImage;
    case kSpotMask: return kSpotImage;
    default: return LowerFirstFileIsFlare() ? kFlareImage : nullptr;
  }
}

bool CTexture::FindPrecomputedDDS(char (&ddsName)[kNameLength + 4]) {
  std::snprintf(ddsName, sizeof ddsName, "%s.dds", m_szName);
  return FileSystem()->LocateNormalFile(ddsName) != VFS_NOT_FOUND;
}

void CTexture::ReadImageInfo(const char* file, D3DXIMAGE_INFO& info, const FileFailure& failure) {
  HRESULT result;
  const bool archived = InArchive(file);
  if (archived) {
    CArchivedFile bytes(file, failure.openTitle);
    result = D3DXGetImageInfoFromFileInMemory(bytes.Bytes(), bytes.Length(), &info);
  } else {
    result = D3DXGetImageInfoFromFileA(file, &info);
  }
  if (FAILED(result))
    FatalErrorWithTitle(archived ? failure.archiveTitle : failure.diskTitle,
                        archived ? failure.archiveText : failure.diskText, file, D3DResultName(result),
                        D3DResultDescription(result));
}

void CTexture::LoadSurfaceFromFile(IDirect3DSurface9* surface, const char* file, const FileFailure& failure) {
  HRESULT result;
  const bool archived = InArchive(file);
  if (archived) {
    CArchivedFile bytes(file, failure.openTitle);
    result = D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, bytes.Bytes(), bytes.Length(), nullptr,
                                             D3DX_DEFAULT, 0, nullptr);
  } else {
    result = D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, file, nullptr, D3DX_DEFAULT, 0, nullptr);
  }
  if (FAILED(result))
    FatalErrorWithTitle(archived ? failure.archiveTitle : failure.diskTitle,
                        archived ? failure.archiveText : failure.diskText, file, D3DResultName(result),
                        D3DResultDescription(result));
}

void CTexture::ReadSourceInfo(D3DXIMAGE_INFO& info, const char* resource, const char* ddsName,
                              const FileFailure& ddsFailure, const FileFailure& fileFailure) {
  if (resource == nullptr) {
    ReadImageInfo(ddsName != nullptr ? ddsName : m_szFileNames[0], info, ddsName != nullptr ? ddsFailure : fileFailure);
    return;
  }
  const HRESULT result = D3DXGetImageInfoFromResourceA(GetEngineImageModule(), resource, &info);
  if (FAILED(result))
    FatalErrorWithTitle(kPlainImageTitle, "Can't Get Image Info: %s\n%s - %s", m_szFileNames[0],
                        D3DResultName(result), D3DResultDescription(result));
}

// --- the common rules ---

bool CTexture::CanAutoGenMipmaps(D3DRESOURCETYPE type) const {
  return m_pRenderer->GetEnumeration()->CanAutoGenMipmapsForFormat(m_Format, type) == 1;
}

void CTexture::ApplyDxtRule() {
  static const char kWarning[] =
      "WARNING!!! - Changing Texture Format To 16bpp Because DXT compression needs the texture dimensions to be "
      "larger than 4: %s\n";
  for (const UINT side : {m_dwWidth, m_dwHeight}) {
    if (side >= 4 || !IsDxt1Or5(m_Format)) continue;
    m_Format = m_Format == D3DFMT_DXT5 ? D3DFMT_A4R4G4B4 : D3DFMT_R5G6B5;
    LogD3D(m_pLog, kSource, __LINE__, kError, kWarning, m_szName);
  }
}

// The rules may leave the format to the loader: the image's own, when the device has textures
// in it, else A8R8G8B8.
void CTexture::ResolveUnknownFormat(D3DFORMAT imageFormat) {
  if (m_Format != D3DFMT_UNKNOWN) return;
  m_Format = D3DFMT_A8R8G8B8;
  TD3DReference<IDirect3D9> direct3D;
  if (imageFormat == D3DFMT_UNKNOWN || FAILED(Device()->GetDirect3D(direct3D.Out()))) return;
  if (SUCCEEDED(direct3D->CheckDeviceFormat(Settings().dwAdapter, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0,
                                            D3DRTYPE_TEXTURE, imageFormat)))
    m_Format = imageFormat;
}

void CTexture::CreateByPolicy(bool plainText, const char* failureName) {
  const DWORD dynamic = m_dwDynamic == 1 ? D3DUSAGE_DYNAMIC : 0;
  UINT levels = 1;
  DWORD usage = dynamic;
  if (m_dwGenerateMipmaps == 1) {
    levels = 0;
    usage = CanAutoGenMipmaps(D3DRTYPE_TEXTURE) ? D3DUSAGE_AUTOGENMIPMAP | dynamic : 0;
  }
  const HRESULT result = Device()->CreateTexture(m_dwWidth, m_dwHeight, levels, usage, m_Format,
                                                 m_dwDynamic == 1 ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED,
                                                 &m_pD3DTexture, nullptr);
  if (FAILED(result) && plainText)
    FatalErrorWithTitle(kTextureTitle, "Can't Create Plain Texture: %s (%i)\n%s - %s", failureName,
                        static_cast<int>(m_Format), D3DResultName(result), D3DResultDescription(result));
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Create Texture: %s\n%s - %s", failureName, D3DResultName(result),
                        D3DResultDescription(result));
}

IDirect3DSurface9* CTexture::TopLevel() {
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = m_pD3DTexture->GetSurfaceLevel(0, &surface);
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Get Surface Level: %s\n%s - %s", m_szName, D3DResultName(result),
                        D3DResultDescription(result));
  return surface;
}

void CTexture::LoadTopLevelFromFile(const char* file, const FileFailure& failure) {
  TD3DReference<IDirect3DSurface9> top(TopLevel());
  LoadSurfaceFromFile(top.Get(), file, failure);
}

void CTexture::FillMipChainFromTop() {
  TD3DReference<IDirect3DSurface9> top;
  HRESULT result = m_pD3DTexture->GetSurfaceLevel(0, top.Out());
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Get Surface 0 Level In File: %s\n%s - %s", m_szName,
                        D3DResultName(result), D3DResultDescription(result));
  for (UINT level = 1; level < m_pD3DTexture->GetLevelCount(); ++level) {
    TD3DReference<IDirect3DSurface9> surface;
    result = m_pD3DTexture->GetSurfaceLevel(level, surface.Out());
    if (FAILED(result))
      FatalErrorWithTitle(kTextureTitle, "Can't Get Surface Level: %s\n%s - %s", m_szName, D3DResultName(result),
                          D3DResultDescription(result));
    result = D3DXLoadSurfaceFromSurface(surface.Get(), nullptr, nullptr, top.Get(), nullptr, nullptr, D3DX_DEFAULT, 0);
    if (FAILED(result))
      FatalErrorWithTitle(kTextureTitle, "Can't Generate MipMap Level: %i In File: %s\n%s - %s",
                          static_cast<int>(level), m_szName, D3DResultName(result), D3DResultDescription(result));
  }
}

void CTexture::ApplyMipmapPolicy() {
  if (m_dwGenerateMipmaps != 1) return;
  if (CanAutoGenMipmaps(D3DRTYPE_TEXTURE)) {
    m_pD3DTexture->SetAutoGenFilterType(D3DTEXF_LINEAR);
    m_pD3DTexture->GenerateMipSubLevels();
  } else {
    FillMipChainFromTop();
  }
}

bool CTexture::TakeDDSLevels(const char* ddsName, const D3DXIMAGE_INFO& info, const char* levelsFailureName,
                             bool dxtRule) {
  m_dwWidth = info.Width;
  m_dwHeight = info.Height;
  ResolveUnknownFormat(info.Format);
  if (dxtRule) ApplyDxtRule();
  if (info.MipLevels <= 1) return false;
  HRESULT result;
  if (InArchive(ddsName)) {
    CArchivedFile bytes(ddsName, kImageTitle);
    result = D3DXCreateTextureFromFileInMemoryEx(Device(), bytes.Bytes(), bytes.Length(), m_dwWidth, m_dwHeight,
                                                 info.MipLevels, 0, m_Format, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 0, nullptr, nullptr, &m_pD3DTexture);
    if (FAILED(result))
      FatalErrorWithTitle(kImageTitle, "(33) Can't Load Image: %s\n%s - %s", ddsName, D3DResultName(result),
                          D3DResultDescription(result));
  } else {
    result = D3DXCreateTextureFromFileExA(Device(), ddsName, m_dwWidth, m_dwHeight, info.MipLevels, 0, m_Format,
                                          D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                          &m_pD3DTexture);
    if (FAILED(result))
      FatalErrorWithTitle(kTextureTitle, "(333) Can't Load File: %s\n%s - %s", levelsFailureName,
                          D3DResultName(result), D3DResultDescription(result));
  }
  return true;
}

bool CTexture::LoadPrecomputedDDS(const char* ddsName, D3DXIMAGE_INFO& info, bool dxtRule,
                                  const char* archiveInfoText, const char* diskInfoText, const char* archiveFillText,
                                  const char* diskFillText) {
  ReadImageInfo(ddsName, info, {kPlainImageTitle, kPlainImageTitle, archiveInfoText, kPlainImageTitle, diskInfoText});
  if (TakeDDSLevels(ddsName, info, m_szFileNames[0], dxtRule)) return true;
  CreateByPolicy(true, m_szName);
  LoadTopLevelFromFile(ddsName, {kImageTitle, kImageTitle, archiveFillText, kTextureTitle, diskFillText});
  ApplyMipmapPolicy();
  return false;
}

void CTexture::ReportSize() const {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - %ix%i (FMT: %s)\n", static_cast<int>(m_dwWidth),
         static_cast<int>(m_dwHeight), GetD3DFormatName(m_Format));
}

void CTexture::ReportLevels(D3DRESOURCETYPE type) const {
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - MipMap Levels: %i (Automaticly Generated: %s)\n",
         static_cast<int>(m_dwLevels), TrueFalse(CanAutoGenMipmaps(type)));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Dynamic: %s\n", TrueFalse(m_dwDynamic == 1));
}

// --- the load dispatch ---

UINT CTexture::Load() {
  if (m_wType == TEXTURE_TYPE_CUBE && m_wKind == kCubeNormalizer) return GenerateCubeNormalizer();
  if (m_wType == TEXTURE_TYPE_2D) {
    switch (m_wKind) {
      case kShadowMask: return FillShadowMask();
      case kShadowLookup2048: return FillShadowLookUp2048();
      case kShadowLookup256: return FillShadowLookUp256();
      case kNdotHPowKLookup: return FillNdotHPowKLookUp();
      case kFresnelTerm: return FillFresnelTerm();
      case kMaterial1: return LoadMaterialTexture1();
      case kMaterial2: return LoadMaterialTexture2();
      case kAlphaOnly: return LoadAlphaOnlyTexture();
      default: break;
    }
  }
  if (m_wType != TEXTURE_TYPE_2D) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING: Incompatible Texture Type: %s\n", m_szName);
    FatalErrorWithTitle(kTextureTitle, "Not Implemented Yet");
  }
  D3DXIMAGE_INFO info = {};
  char ddsName[kNameLength + 4];
  const char* resource = ResourceName();
  ReadSourceInfo(info, resource, resource == nullptr && FindPrecomputedDDS(ddsName) ? ddsName : nullptr,
                 {kPlainImageTitle, kPlainImageTitle, "(1a) Can't Get Image Info: %s\n%s - %s", kPlainImageTitle,
                  "(1b) Can't Get Image Info: %s\n%s - %s"},
                 {kImageTitle, kPlainImageTitle, "(1c) Can't Get Image Info: %s\n%s - %s", kPlainImageTitle,
                  "(1dd) Can't Get Image Info: %s\n%s - %s"});
  switch (info.ResourceType) {
    case D3DRTYPE_CUBETEXTURE:
    case D3DRTYPE_VOLUMETEXTURE:
      LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING: Incompatible Texture Type: %s\n", m_szName);
      m_wType = info.ResourceType == D3DRTYPE_CUBETEXTURE ? TEXTURE_TYPE_CUBE : TEXTURE_TYPE_VOLUME;
      FatalErrorWithTitle(kTextureTitle, "Not Implemented Yet");
    case D3DRTYPE_TEXTURE: return m_dwHasAlpha == 1 ? LoadPlainTextureWithAlpha() : LoadPlainTexture();
    default:
      FatalErrorWithTitle("Error While Loading Texture (Plain)", "Unknown Resource Type: %s", m_szName);
  }
}

// --- the loaders ---

UINT CTexture::LoadPlainTexture() {
  D3DXIMAGE_INFO info = {};
  char ddsName[kNameLength + 4] = {};
  const char* resource = ResourceName();
  const bool dds = resource == nullptr && FindPrecomputedDDS(ddsName);
  bool levelsFromFile = false;
  ReadSourceInfo(info, resource, dds ? ddsName : nullptr,
                 {kPlainImageTitle, kPlainImageTitle, "(1e) Can't Get Image Info: %s\n%s - %s", kPlainImageTitle,
                  "(1f) Can't Get Image Info: %s\n%s - %s"},
                 {kImageTitle, kImageTitle, "(2) Can't Get Image Info: %s\n%s - %s", kImageTitle,
                  "(2) Can't Get Image Info: %s\n%s - %s"});
  if (dds) {
    levelsFromFile = TakeDDSLevels(ddsName, info, ddsName, true);
  } else {
    m_dwWidth = info.Width;
    m_dwHeight = info.Height;
    ResolveUnknownFormat(info.Format);
    ApplyDxtRule();
  }
  if (!levelsFromFile) {
    CreateByPolicy(true, m_szName);
    if (resource != nullptr) {
      TD3DReference<IDirect3DSurface9> top(TopLevel());
      const HRESULT result = D3DXLoadSurfaceFromResourceA(top.Get(), nullptr, nullptr, GetEngineImageModule(),
                                                          resource, nullptr, D3DX_DEFAULT, 0, nullptr);
      if (FAILED(result))
        FatalErrorWithTitle(kPlainImageTitle, "Can't Get Image Info: %s\n%s - %s", m_szName, D3DResultName(result),
                            D3DResultDescription(result));
    } else {
      LoadTopLevelFromFile(dds ? ddsName : m_szFileNames[0],
                           {kImageTitle, kImageTitle, "(3a) Can't Get Image Info: %s\n%s - %s", kTextureTitle,
                            "(3b) Can't Load File: %s\n%s - %s"});
    }
    ApplyMipmapPolicy();
  }
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", dds ? ddsName : m_szName);
  if (levelsFromFile)
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - DDS File Contains: %i MipMaps\n", static_cast<int>(info.MipLevels));
  ReportSize();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - MipMap Levels: %i, From: %i (Automaticly Generated: %s)\n",
         static_cast<int>(m_dwLevels), static_cast<int>(info.MipLevels),
         TrueFalse(CanAutoGenMipmaps(D3DRTYPE_TEXTURE)));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Dynamic: %s\n", TrueFalse(m_dwDynamic == 1));
  m_dwLoaded = 1;
  return 1;
}

UINT CTexture::LoadPlainTextureWithAlpha() {
  if (m_szName[0] == '\0' || m_szFileNames[3][0] == '\0') return 0;
  D3DXIMAGE_INFO info = {};
  char ddsName[kNameLength + 4];
  const bool dds = FindPrecomputedDDS(ddsName);
  bool levelsFromFile = false;
  if (dds) {
    levelsFromFile = LoadPrecomputedDDS(ddsName, info, true, "(1k) Can't Get Image Info: %s\n%s - %s",
                                        "(1l) Can't Get Image Info: %s\n%s - %s",
                                        "(3g) Can't Get Image Info: %s\n%s - %s", "(3h) Can't Load File: %s\n%s - %s");
  } else {
    m_dwWidth = m_dwHeight = 0;
    GrowToImageSize(m_szFileNames[0], m_dwWidth, m_dwHeight);
    GrowToImageSize(m_szFileNames[3], m_dwWidth, m_dwHeight);
    TD3DReference<IDirect3DTexture9> colour(LoadImageToSystemTexture(m_szFileNames[0]));
    TD3DReference<IDirect3DTexture9> alpha(LoadImageToSystemTexture(m_szFileNames[3]));
    CreateByPolicy(false, m_szName);
    PackColourAndAlpha(m_pD3DTexture, colour.Get(), alpha.Get());
    ApplyMipmapPolicy();
  }
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  if (levelsFromFile)
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - DDS File Contains: %i MipMaps\n", static_cast<int>(info.MipLevels));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - With Alpha Channel: %s\n", m_szFileNames[3]);
  ReportSize();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - MipMap Levels: %i, From: %i (Automaticly Generated: %s)\n",
         static_cast<int>(m_dwLevels), levelsFromFile ? static_cast<int>(info.MipLevels) : 1,
         TrueFalse(CanAutoGenMipmaps(D3DRTYPE_TEXTURE)));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Dynamic: %s\n", TrueFalse(m_dwDynamic == 1));
  m_dwLoaded = 1;
  return 1;
}

UINT CTexture::LoadMaterialTexture(Kind kind) {
  struct ChannelLines {
    const char* file;
    const char* value;
  };
  static const ChannelLines kLines[2][4] = {
      {{"    - Diffuse Texture: %s\n", "    - Diffuse Value: %i\n"},
       {"    - Specular Gloss Texture: %s\n", "    - Specular Gloss Value: %i\n"},
       {"    - Specular Exp Texture: %s\n", "    - Specular Exp Value: %i\n"},
       {"    - Reflection Texture: %s\n", "    - Reflection Value: %i\n"}},
      {{"    - Translucency Texture: %s\n", "    - Translucency Value: %i\n"},
       {"    - Fresnel Texture: %s\n", "    - Fresnel Value: %i\n"},
       {"    - Refraction Texture: %s\n", "    - Refraction Value: %i\n"},
       {"    - Luminosity Texture: %s\n", "    - Luminosity Value: %i\n"}}};
  const bool first = kind == kMaterial1;
  const BYTE* values = m_Values + (first ? 0 : 4);
  D3DXIMAGE_INFO info = {};
  char ddsName[kNameLength + 4];
  const bool dds = FindPrecomputedDDS(ddsName);
  bool levelsFromFile = false;
  if (dds) {
    // A precomputed packing keeps its format whatever its size.
    levelsFromFile = LoadPrecomputedDDS(
        ddsName, info, false, first ? "(1g) Can't Get Image Info: %s\n%s - %s" : "(1i) Can't Get Image Info: %s\n%s - %s",
        first ? "(1h) Can't Get Image Info: %s\n%s - %s" : "(1j) Can't Get Image Info: %s\n%s - %s",
        first ? "(3c) Can't Get Image Info: %s\n%s - %s" : "(3e) Can't Get Image Info: %s\n%s - %s",
        first ? "(3d) Can't Load File: %s\n%s - %s" : "(3f) Can't Load File: %s\n%s - %s");
  } else {
    m_dwWidth = m_dwHeight = 0;
    for (const char* file : m_szFileNames) GrowToImageSize(file, m_dwWidth, m_dwHeight);
    // Four values and no file: one texel holds them all.
    if (m_dwWidth == 0 || m_dwHeight == 0) m_dwWidth = m_dwHeight = 1;
    ApplyDxtRule();
    TD3DReference<IDirect3DTexture9> sources[4];
    IDirect3DTexture9* present[4] = {};
    for (int channel = 0; channel < 4; ++channel) {
      if (m_szFileNames[channel][0] != '\0') *sources[channel].Out() = LoadImageToSystemTexture(m_szFileNames[channel]);
      present[channel] = sources[channel].Get();
    }
    CreateByPolicy(false, m_szName);
    PackMaterialChannels(m_pD3DTexture, present, values);
    ApplyMipmapPolicy();
  }
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  for (int channel = 0; channel < 4; ++channel) {
    const ChannelLines& lines = kLines[first ? 0 : 1][channel];
    if (m_szFileNames[channel][0] != '\0')
      LogD3D(m_pLog, kSource, __LINE__, kInfo, lines.file, m_szFileNames[channel]);
    else
      LogD3D(m_pLog, kSource, __LINE__, kInfo, lines.value, static_cast<int>(values[channel]));
  }
  if (levelsFromFile)
    LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - DDS File Contains: %i MipMaps\n", static_cast<int>(info.MipLevels));
  ReportSize();
  ReportLevels(D3DRTYPE_TEXTURE);
  m_dwLoaded = 1;
  return 1;
}

UINT CTexture::LoadAlphaOnlyTexture() {
  const char* file = m_szFileNames[3];
  if (file[0] == '\0') return 0;
  D3DXIMAGE_INFO info = {};
  ReadImageInfo(file, info,
                {kImageTitle, kImageTitle, "(4) Can't Get Image Info: %s\n%s - %s", kImageTitle,
                 "(4) Can't Get Image Info: %s\n%s - %s"});
  m_dwWidth = info.Width;
  m_dwHeight = info.Height;
  TD3DReference<IDirect3DTexture9> system(LoadImageToSystemTexture(file));
  const HRESULT result = Device()->CreateTexture(m_dwWidth, m_dwHeight, m_dwGenerateMipmaps == 1 ? 0 : 1,
                                                 m_dwDynamic == 1 ? D3DUSAGE_DYNAMIC : 0, m_Format,
                                                 m_dwDynamic == 1 ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED,
                                                 &m_pD3DTexture, nullptr);
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Create Texture: %s\n%s - %s", file, D3DResultName(result),
                        D3DResultDescription(result));
  D3DLOCKED_RECT target = {}, source = {};
  HRESULT locked = m_pD3DTexture->LockRect(0, &target, nullptr, 0);
  if (SUCCEEDED(locked)) {
    locked = system->LockRect(0, &source, nullptr, 0);
    if (FAILED(locked)) m_pD3DTexture->UnlockRect(0);
  }
  if (FAILED(locked))
    FatalErrorWithTitle(kTextureTitle, "Can't Lock Surface: %s\n%s - %s", m_szName, D3DResultName(locked),
                        D3DResultDescription(locked));
  for (UINT y = 0; y < m_dwHeight; ++y) {
    BYTE* out = static_cast<BYTE*>(target.pBits) + static_cast<size_t>(y) * target.Pitch;
    const BYTE* in = static_cast<const BYTE*>(source.pBits) + static_cast<size_t>(y) * source.Pitch;
    for (UINT x = 0; x < m_dwWidth; ++x) out[x] = in[4 * x];
  }
  system->UnlockRect(0);
  m_pD3DTexture->UnlockRect(0);
  FillMipChainFromTop();
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  ReportSize();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - MipMap Levels: %i (Automaticaly Generated: FALSE)\n",
         static_cast<int>(m_dwLevels));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Dynamic: %s\n", TrueFalse(m_dwDynamic == 1));
  m_dwLoaded = 1;
  return 1;
}

// --- helpers of the packing loaders ---

UINT CTexture::GrowToImageSize(const char* file, UINT& width, UINT& height) {
  if (file == nullptr || file[0] == '\0') return 1;
  D3DXIMAGE_INFO info = {};
  ReadImageInfo(file, info,
                {kImageTitle, kImageTitle, "(5) Can't Get Image Info: %s\n%s - %s", kImageTitle,
                 "(5) Can't Get Image Info: %s\n%s - %s"});
  if (info.Height > height) height = info.Height;
  if (info.Width > width) width = info.Width;
  return 1;
}

IDirect3DTexture9* CTexture::LoadImageToSystemTexture(const char* file) {
  TD3DReference<IDirect3DTexture9> texture;
  const HRESULT result =
      Device()->CreateTexture(m_dwWidth, m_dwHeight, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, texture.Out(), nullptr);
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Create Texture: %s\n%s - %s", file, D3DResultName(result),
                        D3DResultDescription(result));
  TD3DReference<IDirect3DSurface9> level;
  const HRESULT levelResult = texture->GetSurfaceLevel(0, level.Out());
  if (FAILED(levelResult))
    FatalErrorWithTitle(kTextureTitle, "Can't Get Surface Level: %s\n%s - %s", file, D3DResultName(levelResult),
                        D3DResultDescription(levelResult));
  LoadSurfaceFromFile(level.Get(), file,
                      {kImageTitle, kImageTitle, "(6) Can't Get Image Info: %s\n%s - %s", kTextureTitle,
                       "Can't Load File: %s\n%s - %s"});
  return texture.Detach();
}

UINT CTexture::PackMaterialChannels(IDirect3DTexture9* target, IDirect3DTexture9* const sources[4],
                                    const BYTE values[4]) {
  // Texel memory order is blue, green, red, alpha; the channels come red, green, blue, alpha.
  const PackedByte bytes[4] = {{sources[2], 0, values[2]},
                               {sources[1], 0, values[1]},
                               {sources[0], 0, values[0]},
                               {sources[3], 0, values[3]}};
  PackTexels(target, bytes);
  return 1;
}

UINT CTexture::PackColourAndAlpha(IDirect3DTexture9* target, IDirect3DTexture9* colour, IDirect3DTexture9* alpha) {
  const PackedByte bytes[4] = {{colour, 0, 0}, {colour, 1, 0}, {colour, 2, 0}, {alpha, 0, 0}};
  PackTexels(target, bytes);
  return 1;
}

void CTexture::PackTexels(IDirect3DTexture9* target, const PackedByte (&bytes)[4]) {
  TD3DReference<IDirect3DTexture9> packed;
  HRESULT result =
      Device()->CreateTexture(m_dwWidth, m_dwHeight, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, packed.Out(), nullptr);
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Create Temp Texture For Combining Materials\n%s - %s",
                        D3DResultName(result), D3DResultDescription(result));
  // Each source is locked once, however many bytes it gives.
  IDirect3DTexture9* locked[5] = {};
  D3DLOCKED_RECT rects[5] = {};
  int lockedCount = 0;
  auto unlockAll = [&] {
    for (int i = lockedCount - 1; i >= 0; --i) locked[i]->UnlockRect(0);
    lockedCount = 0;
  };
  auto lock = [&](IDirect3DTexture9* texture) -> const D3DLOCKED_RECT* {
    for (int i = 0; i < lockedCount; ++i)
      if (locked[i] == texture) return &rects[i];
    const HRESULT lockResult = texture->LockRect(0, &rects[lockedCount], nullptr, 0);
    if (FAILED(lockResult)) {
      unlockAll();
      FatalErrorWithTitle(kTextureTitle, "Can't Lock Surface\n%s - %s", D3DResultName(lockResult),
                          D3DResultDescription(lockResult));
    }
    locked[lockedCount] = texture;
    return &rects[lockedCount++];
  };
  const D3DLOCKED_RECT* out = lock(packed.Get());
  const D3DLOCKED_RECT* in[4] = {};
  for (int i = 0; i < 4; ++i)
    if (bytes[i].source != nullptr) in[i] = lock(bytes[i].source);
  for (UINT y = 0; y < m_dwHeight; ++y) {
    BYTE* row = static_cast<BYTE*>(out->pBits) + static_cast<size_t>(y) * out->Pitch;
    for (UINT x = 0; x < m_dwWidth; ++x)
      for (int i = 0; i < 4; ++i)
        row[4 * x + i] = in[i] != nullptr ? static_cast<const BYTE*>(in[i]->pBits)[static_cast<size_t>(y) * in[i]->Pitch +
                                                                                  4 * x + bytes[i].offset]
                                          : bytes[i].value;
  }
  unlockAll();
  TD3DReference<IDirect3DSurface9> from, to;
  packed->GetSurfaceLevel(0, from.Out());
  result = target->GetSurfaceLevel(0, to.Out());
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Get Surface Level: %s\n%s - %s", m_szName, D3DResultName(result),
                        D3DResultDescription(result));
  result = D3DXLoadSurfaceFromSurface(to.Get(), nullptr, nullptr, from.Get(), nullptr, nullptr, D3DX_DEFAULT, 0);
  if (FAILED(result))
    FatalErrorWithTitle(kTextureTitle, "Can't Load Surface: %s\n%s - %s", m_szName, D3DResultName(result),
                        D3DResultDescription(result));
}
