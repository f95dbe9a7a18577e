// The system textures of CTexture that the engine computes: the normalisation cube map and the
// lookup tables of the shading language.
#include <cmath>
#include <cstdio>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/D3DReference.h"
#include "d3d/EngineRenderer.h"
#include "d3d/Texture.h"
#include "d3d/TextureFormats.h"

namespace {

const char kSource[] = "D3DTextures";
constexpr int kInfo = CEngineLog::kLevelInfo;
const char kTitle[] = "Error While Loading Texture";
constexpr UINT kCubeEdge = 256;
constexpr UINT kSquareEdge = 128;

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

// The system textures by number: name and first file name, kind, format, mipmapped.
struct SystemTexture {
  const char* fileName;
  CTexture::Kind kind;
  D3DFORMAT format;
  UINT mipmaps;
};
const SystemTexture kSystemTextures[] = {
    {"shadowmask", CTexture::kShadowMask, D3DFMT_A8R8G8B8, 0},
    {"shadowlookup256", CTexture::kShadowLookup256, D3DFMT_A8R8G8B8, 0},
    {"shadowlookup2048", CTexture::kShadowLookup2048, D3DFMT_A8R8G8B8, 0},
    {"atten2d.png", CTexture::kAttenuationXY, D3DFMT_X8R8G8B8, 0},
    {"atten1d.png", CTexture::kAttenuationZ, D3DFMT_X8R8G8B8, 0},
    {"NdotHpowKLookUp", CTexture::kNdotHPowKLookup, D3DFMT_A8R8G8B8, 1},
    {"spot.png", CTexture::kSpotMask, D3DFMT_X8R8G8B8, 0},
    {"fresnelterm", CTexture::kFresnelTerm, D3DFMT_A8R8G8B8, 0},
};

[[noreturn]] void Fail(const char* format, const char* name, HRESULT result) {
  FatalErrorWithTitle(kTitle, format, name, D3DResultName(result), D3DResultDescription(result));
}

}  // namespace

D3DXVECTOR3* GetCubeMapTexelDirection(UINT face, UINT x, UINT y, D3DXVECTOR3* out) {
  const float s = (static_cast<float>(x) + 0.5f) * 0.00390625f * 2.0f - 1.0f;
  const float t = (static_cast<float>(y) + 0.5f) * 0.00390625f * 2.0f - 1.0f;
  switch (face) {
    case 0: *out = D3DXVECTOR3(1.0f, -t, -s); break;
    case 1: *out = D3DXVECTOR3(-1.0f, -t, s); break;
    case 2: *out = D3DXVECTOR3(s, 1.0f, t); break;
    case 3: *out = D3DXVECTOR3(s, -1.0f, -t); break;
    case 4: *out = D3DXVECTOR3(s, -t, 1.0f); break;
    case 5: *out = D3DXVECTOR3(-s, -t, -1.0f); break;
    default: break;
  }
  return D3DXVec3Normalize(out, out);
}

void CTexture::MakeSystem(UINT number) {
  if (number < 1 || number > 8) FatalErrorWithTitle("Error While Creating Texture", "Uknown Type");
  const SystemTexture& entry = kSystemTextures[number - 1];
  CopyTextureName(m_szName, entry.fileName);
  std::snprintf(m_szFileNames[0], kNameLength, "%s", entry.fileName);
  m_wKind = entry.kind;
  m_Format = entry.format;
  m_dwGenerateMipmaps = entry.mipmaps;
}

void CTexture::MakeCubeNormalizer(D3DFORMAT format, UINT mipmaps) {
  CopyTextureName(m_szName, "CubeNormalizer");
  m_wType = TEXTURE_TYPE_CUBE;
  m_wKind = kCubeNormalizer;
  m_Format = format;
  m_dwGenerateMipmaps = mipmaps == 1 ? 1 : 0;
}

UINT CTexture::GenerateCubeNormalizer() {
  HRESULT result = Device()->CreateCubeTexture(kCubeEdge, m_dwGenerateMipmaps == 1 ? 4 : 1, 0, m_Format,
                                               D3DPOOL_MANAGED, &m_pD3DCubeTexture, nullptr);
  if (FAILED(result)) Fail("Can't Create Cube Texture: %s\n%s - %s", m_szName, result);
  const bool tenBits = m_Format == D3DFMT_A2R10G10B10;
  for (UINT face = 0; face < 6; ++face) {
    const D3DCUBEMAP_FACES cubeFace = static_cast<D3DCUBEMAP_FACES>(face);
    D3DLOCKED_RECT locked = {};
    result = m_pD3DCubeTexture->LockRect(cubeFace, 0, &locked, nullptr, 0);
    if (FAILED(result)) Fail("Can't Lock Cube Surface: %s\n%s - %s", m_szName, result);
    for (UINT y = 0; y < kCubeEdge; ++y) {
      DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
      for (UINT x = 0; x < kCubeEdge; ++x) {
        D3DXVECTOR3 v;
        GetCubeMapTexelDirection(face, x, y, &v);
        row[x] = tenBits ? (DWORD(511 * v.x + 512) << 20) + (DWORD(511 * v.y + 512) << 10) + DWORD(511 * v.z + 512)
                         : (DWORD(127 * v.x + 128) << 16) + (DWORD(127 * v.y + 128) << 8) + DWORD(127 * v.z + 128);
      }
    }
    result = m_pD3DCubeTexture->UnlockRect(cubeFace, 0);
    if (FAILED(result)) Fail("Can't UnLock Cube Surface: %s\n%s - %s", m_szName, result);
  }
  m_dwWidth = m_dwHeight = kCubeEdge;
  m_dwLoaded = 1;
  if (m_dwGenerateMipmaps == 1) {
    for (UINT face = 0; face < 6; ++face) {
      const D3DCUBEMAP_FACES cubeFace = static_cast<D3DCUBEMAP_FACES>(face);
      TD3DReference<IDirect3DSurface9> top;
      result = m_pD3DCubeTexture->GetCubeMapSurface(cubeFace, 0, top.Out());
      if (FAILED(result)) Fail("Can't Get Cube Surface 0 Level In File: %s\n%s - %s", m_szName, result);
      for (UINT level = 1; level < m_pD3DCubeTexture->GetLevelCount(); ++level) {
        TD3DReference<IDirect3DSurface9> surface;
        result = m_pD3DCubeTexture->GetCubeMapSurface(cubeFace, level, surface.Out());
        if (FAILED(result)) Fail("Can't Get Cube Surface Level: %s\n%s - %s", m_szName, result);
        result = D3DXLoadSurfaceFromSurface(surface.Get(), nullptr, nullptr, top.Get(), nullptr, nullptr, D3DX_DEFAULT, 0);
        if (FAILED(result))
          FatalErrorWithTitle(kTitle, "Can't Generate Cube MipMap Level: %i In File: %s\n%s - %s",
                              static_cast<int>(level), m_szName, D3DResultName(result), D3DResultDescription(result));
      }
    }
  }
  m_dwLevels = m_pD3DCubeTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  ReportSize();
  ReportLevels(D3DRTYPE_CUBETEXTURE);
  return 1;
}

UINT CTexture::FillOneRowTable(UINT width) {
  HRESULT result = Device()->CreateTexture(width, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_pD3DTexture, nullptr);
  if (FAILED(result)) Fail("Can't Create Texture: %s\n%s - %s", m_szName, result);
  TD3DReference<IDirect3DSurface9> level;
  result = m_pD3DTexture->GetSurfaceLevel(0, level.Out());
  if (FAILED(result)) Fail("Can't Get Surface Level: %s\n%s - %s", m_szName, result);
  const RECT row = {0, 0, static_cast<LONG>(width), 1};
  D3DLOCKED_RECT locked = {};
  result = level->LockRect(&locked, &row, 0);
  if (FAILED(result)) Fail("Can't Lock Surface: %s\n%s - %s", m_szName, result);
  DWORD* texels = static_cast<DWORD*>(locked.pBits);
  for (UINT i = 0; i < width; ++i) {
    switch (m_wKind) {
      case kShadowMask: texels[i] = i == 0 ? 0 : 0xFFFFFFFFu; break;
      case kShadowLookup256: texels[i] = i * 0x01010101u; break;
      default: texels[i] = ((i & 0xFF00u) | (i << 11)) << 13; break;
    }
  }
  level->UnlockRect();
  m_dwWidth = width;
  m_dwHeight = 1;
  m_dwLoaded = 1;
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  ReportSize();
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - MipMap Levels: %i\n", static_cast<int>(m_dwLevels));
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "    - Dynamic: %s\n", TrueFalse(m_dwDynamic == 1));
  return 1;
}

UINT CTexture::FillSquareTable() {
  m_dwWidth = m_dwHeight = kSquareEdge;
  const bool mipmapped = m_dwGenerateMipmaps == 1;
  const bool autoGen = mipmapped && CanAutoGenMipmaps(D3DRTYPE_TEXTURE);
  HRESULT result = Device()->CreateTexture(kSquareEdge, kSquareEdge, mipmapped ? 0 : 1, autoGen ? D3DUSAGE_AUTOGENMIPMAP : 0,
                                           m_Format, D3DPOOL_MANAGED, &m_pD3DTexture, nullptr);
  if (FAILED(result)) Fail("Can't Create Texture: %s\n%s - %s", m_szName, result);
  D3DLOCKED_RECT locked = {};
  result = m_pD3DTexture->LockRect(0, &locked, nullptr, 0);
  if (FAILED(result)) Fail("Can't Lock: %s\n%s - %s", m_szName, result);
  const bool fresnel = m_wKind == kFresnelTerm;
  for (UINT y = 0; y < kSquareEdge; ++y) {
    DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
    for (UINT x = 0; x < kSquareEdge; ++x) {
      const double base = (x + 1) / 128.0;
      const double v = fresnel ? std::pow(1.0 - base, 120.0 * y / 128.0) : std::pow(base, 120.0 * (y + 1) / 128.0);
      row[x] = static_cast<DWORD>(static_cast<int>(255.0 * v)) * 0x01010101u;
    }
  }
  m_pD3DTexture->UnlockRect(0);
  ApplyMipmapPolicy();
  m_dwLevels = m_pD3DTexture->GetLevelCount();
  m_dwLoaded = 1;
  LogD3D(m_pLog, kSource, __LINE__, kInfo, "  - Texture: %s Loaded\n", m_szName);
  ReportSize();
  ReportLevels(D3DRTYPE_TEXTURE);
  return 1;
}
