#include "d3d/D3D9Enumeration.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "d3d/D3D9EnumerationOwner.h"
#include "d3d/DeviceSettings.h"
#include "d3d/FormatBits.h"
#include "d3d/RenderingSchemes.h"

namespace {

const char kSource[] = "D3DEnumeration9";

// One format of the texture and cube walks, in walking order.
struct WalkedFormat {
  D3DFORMAT format;
  D3DFORMAT bitOf;      // the format whose bit a success sets
  bool renderTarget;    // also tested as a render target
  bool floatFallback;   // on failure, the driver's float FOURCC is tried in its place
  const char* name;
};
const WalkedFormat kWalkedFormats[] = {
    {D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, true, false, "A8R8G8B8"},
    {D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, true, false, "X8R8G8B8"},
    {D3DFMT_R5G6B5, D3DFMT_R5G6B5, true, false, "R5G6B5"},
    {D3DFMT_R32F, D3DFMT_R32F, true, false, "R32F"},
    {D3DFMT_R16F, D3DFMT_R16F, true, false, "R16F"},
    {D3DFMT_A32B32G32R32F, D3DFMT_A32B32G32R32F, true, true, "A32B32G32R32F"},
    {D3DFMT_A16B16G16R16F, D3DFMT_A16B16G16R16F, true, true, "A16B16G16R16F"},
    {D3DFMT_G16R16F, D3DFMT_G16R16F, true, false, "G16R16F"},
    {D3DFMT_G16R16, D3DFMT_G16R16, true, false, "G16R16"},
    {D3DFMT_A2R10G10B10, D3DFMT_A2R10G10B10, true, false, "A2R10G10B10"},
    {D3DFMT_A2B10G10R10, D3DFMT_A2B10G10R10, true, false, "A2B10G10R10"},
    {D3DFMT_A16B16G16R16, D3DFMT_A16B16G16R16, true, false, "A16B16G16R16"},
    {D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4, true, false, "A4R4G4B4"},
    {D3DFMT_L8, D3DFMT_L8, true, false, "L8"},
    {D3DFMT_V8U8, D3DFMT_V8U8, true, false, "V8U8"},
    {D3DFMT_DXT1, D3DFMT_DXT1, false, false, "DXT1"},
    {D3DFMT_DXT2, D3DFMT_DXT2, false, false, "DXT2"},
    {D3DFMT_DXT3, D3DFMT_DXT3, false, false, "DXT3"},
    {D3DFMT_DXT4, D3DFMT_DXT4, false, false, "DXT4"},
    {D3DFMT_DXT5, D3DFMT_DXT5, false, false, "DXT5"},
    // 3Dc is a two-channel compressed format; it counts as DXT5 support.
    {CD3D9Enumeration::k3DcFormat, D3DFMT_DXT5, false, false, "3Dc"},
    {D3DFMT_D16, D3DFMT_D16, true, false, "D16"},
    {D3DFMT_D24S8, D3DFMT_D24S8, true, false, "D24S8"},
    {D3DFMT_D24X8, D3DFMT_D24X8, true, false, "D24X8"},
};

struct CheckedFormat {
  D3DFORMAT format;
  const char* name;
};

struct AdditionalCap {
  CD3D9Enumeration::Feature feature;
  const char* line;
};

}  // namespace

const CD3D9Enumeration::ModeSize CD3D9Enumeration::kStandardModes[kStandardModeCount] = {
    {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024}, {1600, 1200}};

DWORD CD3D9Enumeration::FormatBit(D3DFORMAT format) { return D3DFormatToFormatBit(format); }

CD3D9Enumeration::CD3D9Enumeration(CEngineLog* log, IDirect3D9* d3d, UINT adapter,
                                   CD3D9EnumerationOwner* owner)
    : m_pLog(log), m_pOwner(owner), m_pD3D(d3d), m_dwAdapter(adapter) {
  if (m_pD3D) Enumerate();
}

CD3D9Enumeration::~CD3D9Enumeration() { delete[] m_pDisplayModes; }

void CD3D9Enumeration::ResetFormats() {
  SetFormats(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
}

void CD3D9Enumeration::SetFormats(D3DFORMAT texture, D3DFORMAT secondaryTexture,
                                  D3DFORMAT backBuffer, D3DFORMAT depthStencil) {
  m_TextureFormat = texture;
  m_SecondaryTextureFormat = secondaryTexture;
  m_BackBufferFormat = backBuffer;
  m_DepthStencilFormat = depthStencil;
}

bool CD3D9Enumeration::Enumerate() {
  if (!EnumerateIdentity() || !EnumerateDisplayModes() || !CheckCaps()) return false;
  CheckShaderVersions();
  if (!CheckFormats()) return false;
  CheckGeometryInstancing();
  LogAdditionalCaps();
  ResetFormats();
  MatchSchemes();
  return true;
}

bool CD3D9Enumeration::EnumerateIdentity() {
  if (m_pD3D->GetAdapterIdentifier(m_dwAdapter, 0, &m_Identifier) != D3D_OK) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Can't Get Adapter %i Identifier\n",
          static_cast<int>(m_dwAdapter));
    return false;
  }
  // The driver's texts may fill their 512-byte fields; the description keeps what fits of them.
  m_Identifier.Description[sizeof m_Identifier.Description - 1] = 0;
  m_Identifier.Driver[sizeof m_Identifier.Driver - 1] = 0;
  m_Identifier.DeviceName[sizeof m_Identifier.DeviceName - 1] = 0;
  const uint64_t version = static_cast<uint64_t>(m_Identifier.DriverVersion.QuadPart);
  char full[sizeof m_Identifier.Description + sizeof m_Identifier.Driver + 64];
  snprintf(full, sizeof full, "Device %i: %s on %s (%i.%i.%i.%i)", static_cast<int>(m_dwAdapter),
           m_Identifier.Description, m_Identifier.Driver, static_cast<int>((version >> 48) & 0xFFFF),
           static_cast<int>((version >> 32) & 0xFFFF), static_cast<int>((version >> 16) & 0xFFFF),
           static_cast<int>(version & 0xFFFF));
  const size_t length = strnlen(full, sizeof m_szDescription - 1);
  memcpy(m_szDescription, full, length);
  m_szDescription[length] = 0;
  if (strcmp(m_Identifier.Description, "NVIDIA NVPerfHUD") == 0) m_dwFeatures[kPerformanceHUD] = 1;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - %s\n", m_szDescription);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - VendorID: %i\n",
        static_cast<int>(m_Identifier.VendorId));
  return true;
}

bool CD3D9Enumeration::EnumerateDisplayModes() {
  const UINT count = m_pD3D->GetAdapterModeCount(m_dwAdapter, D3DFMT_X8R8G8B8);
  if (count == 0) return false;
  m_pDisplayModes = new (std::nothrow) D3DDISPLAYMODE[count];
  if (!m_pDisplayModes) return false;
  m_dwDisplayModeCount = count;
  for (UINT i = 0; i < count; ++i)
    if (m_pD3D->EnumAdapterModes(m_dwAdapter, D3DFMT_X8R8G8B8, i, &m_pDisplayModes[i]) != D3D_OK)
      return false;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Display Modes:\n");
  for (UINT i = 0; i < count; ++i) {
    for (int size = 0; size < kStandardModeCount; ++size) {
      if (m_pDisplayModes[i].Width != kStandardModes[size].width ||
          m_pDisplayModes[i].Height != kStandardModes[size].height || m_dwModes[size])
        continue;
      m_dwModes[size] = 1;
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - %ux%u\n", kStandardModes[size].width,
            kStandardModes[size].height);
    }
  }
  return true;
}

bool CD3D9Enumeration::Verdict(const char* opening, bool passed) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", opening);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", passed ? "DONE\n" : "FAILED\n");
  return passed;
}

bool CD3D9Enumeration::CheckMinimum(const char* opening, DWORD value, DWORD minimum) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", opening);
  if (value >= minimum) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "Is %i\n", static_cast<int>(value));
    return true;
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "FAILED\n");
  return false;
}

bool CD3D9Enumeration::CheckCaps() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Checking Caps...\n");
  if (m_pD3D->GetDeviceCaps(m_dwAdapter, D3DDEVTYPE_HAL, &m_Caps) != D3D_OK) return false;
  const D3DCAPS9& c = m_Caps;

  Verdict("      - Checking Caps2...", c.Caps2 & D3DCAPS2_CANAUTOGENMIPMAP);

  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking Presentation Invervals...");
  m_dwFeatures[kImmediatePresentation] = (c.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE) ? 1 : 0;
  LogTo(
      m_pLog, kSource, CEngineLog::kLevelInfo, "%s",
      m_dwFeatures[kImmediatePresentation] ? "Must Not Wait For VSYNC\n" : "Must Wait For VSYNC\n");

  if (!Verdict("      - Checking DevCaps...",
               c.DevCaps & (D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION)))
    return false;
  m_dwHardwareVertexProcessing = 1;
  m_dwFeatures[kPureDevice] = (c.DevCaps & D3DDEVCAPS_PUREDEVICE) ? 1 : 0;
  m_dwFeatures[kNPatches] = (c.DevCaps & D3DDEVCAPS_NPATCHES) ? 1 : 0;

  m_dwFeatures[kStreamOffset] = (c.DevCaps2 & D3DDEVCAPS2_STREAMOFFSET) ? 1 : 0;
  Verdict("      - Checking DevCaps2...", m_dwFeatures[kStreamOffset]);

  if (!Verdict("      - Checking PrimitiveMiscCaps...",
               c.PrimitiveMiscCaps & (D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                                      D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP)))
    return false;

  m_dwFeatures[kAnisotropicFiltering] = (c.RasterCaps & D3DPRASTERCAPS_ANISOTROPY) ? 1 : 0;
  m_dwFeatures[kScissorTest] = (c.RasterCaps & D3DPRASTERCAPS_SCISSORTEST) ? 1 : 0;
  Verdict("      - Checking RasterCaps...",
          m_dwFeatures[kAnisotropicFiltering] && m_dwFeatures[kScissorTest]);

  constexpr DWORD kAnyBlend = 0x23FF;
  if (!Verdict("      - Checking ZCmpCamps...", c.ZCmpCaps & 0xFF) ||
      !Verdict("      - Checking SrcBlendCamps...", c.SrcBlendCaps & kAnyBlend) ||
      !Verdict("      - Checking DestBlendCamps...", c.DestBlendCaps & kAnyBlend) ||
      !CheckTextureCaps())
    return false;

  constexpr DWORD kAddressModes = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP;
  if (!Verdict("      - Checking TextureAddressCaps...", c.TextureAddressCaps & kAddressModes))
    return false;
  if (!Verdict("      - Checking VolumeTextureAddressCaps...", c.VolumeTextureAddressCaps & kAddressModes))
    m_dwFeatures[kVolumeTextures] = 0;

  if (!Verdict("      - Checking LineCaps...", c.LineCaps & D3DLINECAPS_ZTEST) ||
      !CheckMinimum("      - Checking MaxTextureWidth...", c.MaxTextureWidth, 2048) ||
      !CheckMinimum("      - Checking MaxTextureHeight...", c.MaxTextureHeight, 2048))
    return false;

  if (m_dwFeatures[kAnisotropicFiltering]) {
    if (CheckMinimum("      - Checking MaxAnisotropy...", c.MaxAnisotropy, 2))
      m_dwMaxAnisotropy = c.MaxAnisotropy;
    else
      m_dwFeatures[kAnisotropicFiltering] = 0;
  }

  if (!Verdict("      - Checking StencilCaps...", c.StencilCaps & 0xFF)) return false;
  m_dwFeatures[kTwoSidedStencil] = (c.StencilCaps & D3DSTENCILCAPS_TWOSIDED) ? 1 : 0;

  if (!CheckMinimum("      - Checking MaxSamplerRegisters...", c.MaxSimultaneousTextures, 2))
    return false;
  m_dwMaxSimultaneousTextures = c.MaxSimultaneousTextures;

  if (!Verdict("      - Checking VertexProcessingCaps...",
               c.VertexProcessingCaps & (D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                                         D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER)) ||
      !CheckMinimum("      - Checking MaxActiveLights...", c.MaxActiveLights, 8))
    return false;

  m_dwMaxUserClipPlanes = c.MaxUserClipPlanes;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking MaxUserClipPlanes...Is %i\n",
        static_cast<int>(c.MaxUserClipPlanes));
  CheckMinimum("      - Checking MaxStreams...", c.MaxStreams, 1);
  return true;
}

bool CD3D9Enumeration::CheckTextureCaps() {
  const D3DCAPS9& c = m_Caps;
  const bool usable = (c.TextureCaps & (D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_PROJECTED |
                                        D3DPTEXTURECAPS_CUBEMAP)) &&
                      !(c.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
  if (!Verdict("      - Checking TextureCaps...", usable)) return false;
  m_dwFeatures[kMipmapping] = (c.TextureCaps & D3DPTEXTURECAPS_MIPMAP) ? 1 : 0;
  m_dwFeatures[kCubeMipmapping] = (c.TextureCaps & D3DPTEXTURECAPS_MIPCUBEMAP) ? 1 : 0;
  m_dwFeatures[kVolumeTextures] = (c.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP) ? 1 : 0;
  if (m_dwFeatures[kVolumeTextures])
    m_dwFeatures[kVolumeMipmapping] = (c.TextureCaps & D3DPTEXTURECAPS_MIPVOLUMEMAP) ? 1 : 0;
  const bool pow2 = c.TextureCaps & D3DPTEXTURECAPS_POW2;
  m_dwFeatures[kNonPow2Unconditional] = pow2 ? 0 : 1;
  m_dwFeatures[kNonPow2Conditional] =
      (!pow2 || (c.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL)) ? 1 : 0;

  constexpr DWORD kBasicFilters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                                  D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  constexpr DWORD kMipFilters = D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR;
  constexpr DWORD kAnisotropicFilters = D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;
  if (!Verdict("      - Checking TextureFilterCaps...", c.TextureFilterCaps & kBasicFilters))
    return false;
  if (!(c.TextureFilterCaps & kMipFilters)) m_dwFeatures[kMipmapping] = 0;
  if (!(c.TextureFilterCaps & kAnisotropicFilters)) m_dwFeatures[kAnisotropicFiltering] = 0;

  if (!Verdict("      - Checking CubeTextureFilterCaps...", c.CubeTextureFilterCaps & kBasicFilters))
    return false;
  if (!(c.CubeTextureFilterCaps & kMipFilters)) m_dwFeatures[kCubeMipmapping] = 0;

  if (Verdict("      - Checking VolumeTextureFilterCaps...", c.VolumeTextureFilterCaps & kBasicFilters)) {
    if (!(c.VolumeTextureFilterCaps & kMipFilters)) m_dwFeatures[kVolumeMipmapping] = 0;
  } else {
    m_dwFeatures[kVolumeTextures] = 0;
  }
  return true;
}

void CD3D9Enumeration::CheckShaderVersions() {
  const D3DCAPS9& c = m_Caps;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking VertexShaderVersion...");
  m_VertexShaderMajor = static_cast<signed char>((c.VertexShaderVersion >> 8) & 0xFF);
  m_VertexShaderMinor = static_cast<signed char>(c.VertexShaderVersion & 0xFF);
  m_PixelShaderMajor = static_cast<signed char>((c.PixelShaderVersion >> 8) & 0xFF);
  m_PixelShaderMinor = static_cast<signed char>(c.PixelShaderVersion & 0xFF);
  m_dwMaxVertexShaderConstants = c.MaxVertexShaderConst;
  m_fPixelShader1xMaxValue = c.PixelShader1xMaxValue;
  m_dwMaxVertexShaderInstructions = c.MaxVShaderInstructionsExecuted;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%i.%i\n", m_VertexShaderMajor,
        m_VertexShaderMinor);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Constants: %i\n",
        static_cast<int>(c.MaxVertexShaderConst));
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Max Instructions Executed: %i\n",
        static_cast<int>(c.MaxVShaderInstructionsExecuted));
  auto logFlowControl = [this](int dynamicDepth, int staticDepth, int temps) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Dynamic Flow Control Depth: %i\n",
          dynamicDepth);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Static Flow Control Depth: %i\n",
          staticDepth);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Number Of Temporary Registers: %i\n",
          temps);
  };
  if (m_VertexShaderMajor >= 2) {
    if (c.VS20Caps.Caps & D3DVS20CAPS_PREDICATION)
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - VS2.0 Predication\n");
    logFlowControl(c.VS20Caps.DynamicFlowControlDepth, c.VS20Caps.StaticFlowControlDepth,
                   c.VS20Caps.NumTemps);
  }

  m_dwMaxPixelShaderInstructions = c.MaxPShaderInstructionsExecuted;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking PixelShaderVersion...%i.%i\n",
        m_PixelShaderMajor, m_PixelShaderMinor);
  // Without shaders of both kinds the engine's shader paths cannot run in hardware.
  if (m_VertexShaderMajor < 1 || m_PixelShaderMajor < 1) m_dwHardwareVertexProcessing = 0;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Max PS1.x Value: %f\n",
        static_cast<double>(c.PixelShader1xMaxValue));
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Max Instructions Executed: %i\n",
        static_cast<int>(c.MaxPShaderInstructionsExecuted));
  if (m_PixelShaderMajor >= 2) {
    static const struct {
      DWORD bit;
      const char* line;
    } kPixelShaderCaps[] = {
        {D3DPS20CAPS_ARBITRARYSWIZZLE, "        - Arbitary Swizzling\n"},
        {D3DPS20CAPS_GRADIENTINSTRUCTIONS, "        - Gradient Instructions\n"},
        {D3DPS20CAPS_NODEPENDENTREADLIMIT, "        - No Dependant Texture Read Limits\n"},
        {D3DPS20CAPS_NOTEXINSTRUCTIONLIMIT, "        - No Texture Instructions Limits\n"},
        {D3DPS20CAPS_PREDICATION, "        - Predication\n"},
    };
    for (const auto& cap : kPixelShaderCaps)
      if (c.PS20Caps.Caps & cap.bit) LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", cap.line);
    logFlowControl(c.PS20Caps.DynamicFlowControlDepth, c.PS20Caps.StaticFlowControlDepth,
                   c.PS20Caps.NumTemps);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Max Instruction Slots: %i\n",
          c.PS20Caps.NumInstructionSlots);
  }

  m_dwNumSimultaneousRenderTargets = c.NumSimultaneousRTs;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "      - Number Of Simultaneous Render Targets: %i\n",
        static_cast<int>(c.NumSimultaneousRTs));

  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking CanAutomaticGenMipmaps...");
  m_dwFeatures[kAutoGenMipmaps] = (c.Caps2 & D3DCAPS2_CANAUTOGENMIPMAP) ? 1 : 0;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s",
        m_dwFeatures[kAutoGenMipmaps] ? "Supported\n" : "UnSupported\n");
}

bool CD3D9Enumeration::FormatAvailable(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) const {
  return Succeeded(
      m_pD3D->CheckDeviceFormat(m_dwAdapter, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, usage, resourceType, format));
}

bool CD3D9Enumeration::CheckFormats() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Checking Device Formats...\n");
  CheckBackBufferFormats();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "        - Checking Rectangle Textures Formats...\n");
  WalkFormats(D3DRTYPE_TEXTURE, kTextureFormats, kRenderTargetFormats);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Checking Cube Textures Formats...\n");
  WalkFormats(D3DRTYPE_CUBETEXTURE, kCubeTextureFormats, kCubeRenderTargetFormats);
  CheckDepthStencilFormats();
  static const FormatMask kRequired[] = {kBackBufferFormats,  kCubeRenderTargetFormats,
                                         kCubeTextureFormats, kTextureFormats,
                                         kRenderTargetFormats, kDepthStencilFormats};
  for (FormatMask mask : kRequired)
    if (m_dwFormats[mask] == 0) return false;
  CheckVertexTextureFormats();
  return true;
}

void CD3D9Enumeration::CheckBackBufferFormats() {
  static const struct {
    D3DFORMAT adapterFormat;
    CheckedFormat backBuffer;
  } kBackBuffers[] = {
      {D3DFMT_X8R8G8B8, {D3DFMT_A8R8G8B8, "A8R8G8B8"}},
      {D3DFMT_X8R8G8B8, {D3DFMT_X8R8G8B8, "X8R8G8B8"}},
      {D3DFMT_R5G6B5, {D3DFMT_R5G6B5, "R5G6B5"}},
  };
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Checking Back Buffer Formats...\n");
  for (const auto& pair : kBackBuffers) {
    if (!Succeeded(m_pD3D->CheckDeviceType(m_dwAdapter, D3DDEVTYPE_HAL, pair.adapterFormat,
                                           pair.backBuffer.format, FALSE)))
      continue;
    m_dwFormats[kBackBufferFormats] |= FormatBit(pair.backBuffer.format);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "          - %s\n", pair.backBuffer.name);
  }
}

void CD3D9Enumeration::WalkFormats(D3DRESOURCETYPE resourceType, FormatMask plainMask,
                                   FormatMask renderTargetMask) {
  for (const WalkedFormat& walked : kWalkedFormats) {
    D3DFORMAT tested = walked.format;
    bool fallback = false;
    if (!FormatAvailable(0, resourceType, tested)) {
      if (!walked.floatFallback || !FormatAvailable(0, resourceType, kFloatFallbackFormat)) continue;
      tested = kFloatFallbackFormat;
      fallback = true;
    }
    const DWORD bit = FormatBit(walked.bitOf);
    m_dwFormats[plainMask] |= bit;
    const bool renderTarget = walked.renderTarget && FormatAvailable(D3DUSAGE_RENDERTARGET, resourceType, tested);
    if (renderTarget) m_dwFormats[renderTargetMask] |= bit;
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "          - %s%s%s\n", walked.name,
          renderTarget ? " (RT)" : "", fallback ? " (limitation on adressing)" : "");
  }
}

void CD3D9Enumeration::CheckDepthStencilFormats() {
  static const CheckedFormat kDepthFormats[] = {
      {D3DFMT_D16, "D16"}, {D3DFMT_D24X8, "D24X8"}, {D3DFMT_D24S8, "D24S8"}};
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Checking ZBuffer Formats...\n");
  for (const CheckedFormat& depth : kDepthFormats) {
    if (!Succeeded(m_pD3D->CheckDepthStencilMatch(m_dwAdapter, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                  D3DFMT_A8R8G8B8, depth.format)))
      continue;
    m_dwFormats[kDepthStencilFormats] |= FormatBit(depth.format);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "          - %s\n", depth.name);
  }
}

void CD3D9Enumeration::CheckVertexTextureFormats() {
  static const CheckedFormat kVertexFormats[] = {
      {D3DFMT_R32F, "R32F"}, {D3DFMT_A32B32G32R32F, "A32B32G32R32F"}};
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Checking Vertex Textures Formats...\n");
  for (const CheckedFormat& vertexFormat : kVertexFormats) {
    if (!FormatAvailable(D3DUSAGE_QUERY_VERTEXTEXTURE, D3DRTYPE_TEXTURE, vertexFormat.format)) continue;
    m_dwFormats[kVertexTextureFormats] |= FormatBit(vertexFormat.format);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "          - %s\n", vertexFormat.name);
  }
  if (m_dwFormats[kVertexTextureFormats] == 0)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "          - none\n");
}

void CD3D9Enumeration::CheckGeometryInstancing() {
  // Shader model 3 has instancing; older cards announce it with a FOURCC, asked of adapter 0
  // whichever adapter this is.
  m_dwFeatures[kGeometryInstancing] =
      (m_VertexShaderMajor >= 3 ||
       Succeeded(m_pD3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_SURFACE,
                                           kInstancingFormat)))
          ? 1
          : 0;
}

void CD3D9Enumeration::LogAdditionalCaps() const {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Additional Caps:\n");
  static const AdditionalCap kBefore[] = {{kMipmapping, "        - Mipmapping\n"},
                                          {kCubeMipmapping, "        - Cube MipMapping\n"},
                                          {kNPatches, "        - NPatches\n"},
                                          {kTwoSidedStencil, "        - Two Sided Stencil Test\n"}};
  static const AdditionalCap kAfter[] = {{kPureDevice, "        - Pure Device\n"},
                                         {kScissorTest, "        - Scissor Test\n"},
                                         {kStreamOffset, "        - Stream Offset\n"},
                                         {kGeometryInstancing, "        - Geometry Instancing\n"}};
  for (const AdditionalCap& cap : kBefore)
    if (Flag(cap.feature)) LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", cap.line);
  if (Flag(kVolumeTextures))
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s",
          Flag(kVolumeMipmapping) ? "        - Volume Textures With MipMapping\n"
                                  : "        - Volume Textures\n");
  if (Flag(kAnisotropicFiltering))
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "        - Anisotropic Filtering (%i)\n",
          static_cast<int>(m_dwMaxAnisotropy));
  for (const AdditionalCap& cap : kAfter)
    if (Flag(cap.feature)) LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", cap.line);
  if (Flag(kNonPow2Conditional))
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s",
          Flag(kNonPow2Unconditional) ? "        - UnConditional Non-Pow-of-2 Textures Support\n"
                                      : "        - Conditional Non-Pow-of-2 Textures Support\n");
}

void CD3D9Enumeration::MatchSchemes() {
  if (!m_pOwner) return;
  const DWORD count = m_pOwner->GetNumberOfSchemes();
  for (DWORD i = 0; i < count; ++i) {
    const RenderingScheme* record = m_pOwner->GetScheme(i);
    if (!record || !CRenderingSchemes::IsCompatible(*record, *this)) continue;
    m_dwCompatibleSchemes |= record->dwScheme;
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Device Is Compatible With %s Scheme\n",
          record->szName);
  }
  m_dwSupportedSchemes = m_dwCompatibleSchemes;
  m_dwSelectedScheme = CRenderingSchemes::SelectBest(m_dwCompatibleSchemes);
  m_dwUsable = m_dwSelectedScheme ? 1 : 0;
}

UINT CD3D9Enumeration::CanAutoGenMipmapsForFormat(D3DFORMAT format, D3DRESOURCETYPE resourceType) const {
  const DeviceSettings* settings = m_pOwner ? m_pOwner->GetDeviceSettings() : nullptr;
  if (!settings || !settings->dwAllowAutoGenMipmaps || !Flag(kAutoGenMipmaps) || !m_pD3D) return 0;
  // D3DOK_NOAUTOGEN is a success code: the format is accepted even if mipmaps will not follow.
  return FormatAvailable(D3DUSAGE_AUTOGENMIPMAP, resourceType, format) ? 1 : 0;
}
