#include "AdapterProfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "FormatTable.h"
#include "GLBackend.h"

namespace {

std::mutex g_profileLock;
std::unique_ptr<CAdapterProfile> g_testProfile;
std::unique_ptr<CAdapterProfile> g_secondProfile;

void CopyText(char* target, size_t size, const char* text) { snprintf(target, size, "%s", text); }

}  // namespace

bool CAdapterProfile::Contains(const std::vector<D3DFORMAT>& list, D3DFORMAT format) {
  for (D3DFORMAT entry : list)
    if (entry == format) return true;
  return false;
}

const CAdapterProfile& CAdapterProfile::Real() {
  static const CAdapterProfile real = BuildReal();
  return real;
}

const CAdapterProfile& CAdapterProfile::Current() {
  std::lock_guard<std::mutex> lock(g_profileLock);
  return g_testProfile ? *g_testProfile : Real();
}

const CAdapterProfile* CAdapterProfile::ForAdapter(UINT adapter) {
  if (adapter == 0) return &Current();
  std::lock_guard<std::mutex> lock(g_profileLock);
  return adapter == 1 ? g_secondProfile.get() : nullptr;
}

UINT CAdapterProfile::AdapterCount() {
  std::lock_guard<std::mutex> lock(g_profileLock);
  return g_secondProfile ? 2 : 1;
}

void CAdapterProfile::UseReal() {
  std::lock_guard<std::mutex> lock(g_profileLock);
  g_testProfile.reset();
}

void CAdapterProfile::UseTestProfile(const ZkTestD3DAdapterProfile& source) {
  std::unique_ptr<CAdapterProfile> profile = FromTest(source);
  std::lock_guard<std::mutex> lock(g_profileLock);
  g_testProfile = std::move(profile);
}

void CAdapterProfile::UseSecondAdapter(const ZkTestD3DAdapterProfile* source) {
  std::unique_ptr<CAdapterProfile> profile = source ? FromTest(*source) : nullptr;
  std::lock_guard<std::mutex> lock(g_profileLock);
  g_secondProfile = std::move(profile);
}

std::unique_ptr<CAdapterProfile> CAdapterProfile::FromTest(const ZkTestD3DAdapterProfile& source) {
  std::unique_ptr<CAdapterProfile> profile(new CAdapterProfile());
  profile->m_identifier = source.identifier;
  profile->m_identifier.Driver[MAX_DEVICE_IDENTIFIER_STRING - 1] = 0;
  profile->m_identifier.Description[MAX_DEVICE_IDENTIFIER_STRING - 1] = 0;
  profile->m_identifier.DeviceName[sizeof profile->m_identifier.DeviceName - 1] = 0;
  profile->m_caps = source.caps;
  auto copy = [](const D3DFORMAT* list, UINT count) {
    return list ? std::vector<D3DFORMAT>(list, list + count) : std::vector<D3DFORMAT>();
  };
  profile->m_textureFormats = copy(source.textureFormats, source.textureFormatCount);
  profile->m_cubeFormats = copy(source.cubeTextureFormats, source.cubeTextureFormatCount);
  profile->m_renderTargetFormats = copy(source.renderTargetFormats, source.renderTargetFormatCount);
  profile->m_depthFormats = copy(source.depthStencilFormats, source.depthStencilFormatCount);
  profile->m_vertexTextureFormats = copy(source.vertexTextureFormats, source.vertexTextureFormatCount);
  if (source.modes) profile->m_modes.assign(source.modes, source.modes + source.modeCount);
  profile->m_createDeviceFails = source.createDeviceFails != FALSE;
  return profile;
}

void CAdapterProfile::Describe(ZkTestD3DAdapterProfile* profile) const {
  memset(profile, 0, sizeof *profile);
  profile->identifier = m_identifier;
  profile->caps = m_caps;
  profile->textureFormats = m_textureFormats.data();
  profile->textureFormatCount = static_cast<UINT>(m_textureFormats.size());
  profile->cubeTextureFormats = m_cubeFormats.data();
  profile->cubeTextureFormatCount = static_cast<UINT>(m_cubeFormats.size());
  profile->renderTargetFormats = m_renderTargetFormats.data();
  profile->renderTargetFormatCount = static_cast<UINT>(m_renderTargetFormats.size());
  profile->depthStencilFormats = m_depthFormats.data();
  profile->depthStencilFormatCount = static_cast<UINT>(m_depthFormats.size());
  profile->vertexTextureFormats = m_vertexTextureFormats.data();
  profile->vertexTextureFormatCount = static_cast<UINT>(m_vertexTextureFormats.size());
  profile->modes = m_modes.data();
  profile->modeCount = static_cast<UINT>(m_modes.size());
  profile->createDeviceFails = m_createDeviceFails;
}

bool CAdapterProfile::IsDepthStencilFormat(D3DFORMAT format) const { return Contains(m_depthFormats, format); }
bool CAdapterProfile::IsRenderTargetFormat(D3DFORMAT format) const {
  return Contains(m_renderTargetFormats, format);
}

HRESULT CAdapterProfile::CheckFormat(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) const {
  if (usage & D3DUSAGE_DEPTHSTENCIL) return Contains(m_depthFormats, format) ? D3D_OK : D3DERR_NOTAVAILABLE;
  if ((usage & D3DUSAGE_RENDERTARGET) && !Contains(m_renderTargetFormats, format)) return D3DERR_NOTAVAILABLE;
  if ((usage & D3DUSAGE_QUERY_VERTEXTEXTURE) && !Contains(m_vertexTextureFormats, format))
    return D3DERR_NOTAVAILABLE;
  bool known;
  switch (type) {
    case D3DRTYPE_CUBETEXTURE:
      known = Contains(m_cubeFormats, format);
      break;
    case D3DRTYPE_SURFACE:
      known = Contains(m_textureFormats, format) || Contains(m_renderTargetFormats, format) ||
              Contains(m_depthFormats, format);
      break;
    default:
      known = Contains(m_textureFormats, format);
      break;
  }
  if (!known) return D3DERR_NOTAVAILABLE;
  // Mipmaps are generated by GL for plain colour formats only.
  if ((usage & D3DUSAGE_AUTOGENMIPMAP) &&
      (!(m_caps.Caps2 & D3DCAPS2_CANAUTOGENMIPMAP) || CFormatTable::IsCompressed(format)))
    return D3DOK_NOAUTOGEN;
  return D3D_OK;
}

CAdapterProfile CAdapterProfile::BuildReal() {
  CAdapterProfile profile;
  SGLLimits limits;
  bool probed = CGLBackend::Probe(&limits);

  D3DADAPTER_IDENTIFIER9& id = profile.m_identifier;
  CopyText(id.Driver, sizeof id.Driver, "zkplatform-gl.drv");
  CopyText(id.Description, sizeof id.Description, probed ? limits.renderer : "OpenGL Direct3D 9 adapter");
  CopyText(id.DeviceName, sizeof id.DeviceName, "\\\\.\\DISPLAY1");
  id.DriverVersion.QuadPart = (9LL << 48) | (18LL << 32) | 1;
  id.DeviceIdentifier = {0x5a4b4431, 0x9d3d, 0x4c9e, {0x8a, 0x1f, 0x21, 0x5b, 0x0c, 0x6e, 0x33, 0x90}};
  id.WHQLLevel = 1;

  D3DCAPS9& c = profile.m_caps;
  c.DeviceType = D3DDEVTYPE_HAL;
  c.Caps = D3DCAPS_READ_SCANLINE;
  c.Caps2 = D3DCAPS2_FULLSCREENGAMMA | D3DCAPS2_CANMANAGERESOURCE | D3DCAPS2_DYNAMICTEXTURES |
            D3DCAPS2_CANAUTOGENMIPMAP;
  c.Caps3 = D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD | D3DCAPS3_COPY_TO_VIDMEM | D3DCAPS3_COPY_TO_SYSTEMMEM;
  c.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  c.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_EXECUTEVIDEOMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
              D3DDEVCAPS_TLVERTEXVIDEOMEMORY | D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
              D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_TEXTURENONLOCALVIDMEM |
              D3DDEVCAPS_DRAWPRIMITIVES2 | D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT |
              D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_PUREDEVICE;
  c.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                        D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_TSSARGTEMP |
                        D3DPMISCCAPS_BLENDOP | D3DPMISCCAPS_INDEPENDENTWRITEMASKS | D3DPMISCCAPS_PERSTAGECONSTANT |
                        D3DPMISCCAPS_FOGANDSPECULARALPHA | D3DPMISCCAPS_SEPARATEALPHABLEND |
                        D3DPMISCCAPS_MRTINDEPENDENTBITDEPTHS | D3DPMISCCAPS_MRTPOSTPIXELSHADERBLENDING |
                        D3DPMISCCAPS_FOGVERTEXCLAMPED;
  c.RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_FOGTABLE |
                 D3DPRASTERCAPS_MIPMAPLODBIAS | D3DPRASTERCAPS_FOGRANGE | D3DPRASTERCAPS_ANISOTROPY |
                 D3DPRASTERCAPS_WFOG | D3DPRASTERCAPS_ZFOG | D3DPRASTERCAPS_COLORPERSPECTIVE |
                 D3DPRASTERCAPS_SCISSORTEST | D3DPRASTERCAPS_SLOPESCALEDEPTHBIAS | D3DPRASTERCAPS_DEPTHBIAS;
  c.ZCmpCaps = c.AlphaCmpCaps = 0xFF;
  c.SrcBlendCaps = c.DestBlendCaps = 0x3FFF;
  c.ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_PROJECTED |
                  D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_MIPCUBEMAP;
  c.TextureFilterCaps = c.CubeTextureFilterCaps =
      D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MINFANISOTROPIC |
      D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
      D3DPTFILTERCAPS_MAGFLINEAR | D3DPTFILTERCAPS_MAGFANISOTROPIC;
  c.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                         D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV | D3DPTADDRESSCAPS_MIRRORONCE;
  c.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP | D3DLINECAPS_FOG;
  c.MaxTextureWidth = c.MaxTextureHeight = probed ? limits.maxTextureSize : 4096;
  c.MaxTextureRepeat = 8192;
  c.MaxTextureAspectRatio = c.MaxTextureWidth;
  c.MaxAnisotropy = probed ? limits.maxAnisotropy : 16;
  c.MaxVertexW = 1e10f;
  c.GuardBandLeft = c.GuardBandTop = -32768.f;
  c.GuardBandRight = c.GuardBandBottom = 32768.f;
  c.StencilCaps = 0x1FF;
  c.FVFCaps = 8 | D3DFVFCAPS_PSIZE;
  // Every combiner operation but the two bump-mapping ones.
  c.TextureOpCaps = 0x03FFFFFF & ~(D3DTEXOPCAPS_BUMPENVMAP | D3DTEXOPCAPS_BUMPENVMAPLUMINANCE);
  c.MaxTextureBlendStages = c.MaxSimultaneousTextures = 8;
  c.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 | D3DVTXPCAPS_DIRECTIONALLIGHTS |
                           D3DVTXPCAPS_POSITIONALLIGHTS | D3DVTXPCAPS_LOCALVIEWER;
  c.MaxActiveLights = 8;
  c.MaxUserClipPlanes = 6;
  c.MaxVertexBlendMatrices = 1;
  c.MaxPointSize = 64.f;
  c.MaxPrimitiveCount = 0x00FFFFFF;
  c.MaxVertexIndex = 0x00FFFFFF;
  c.MaxStreams = 16;
  c.MaxStreamStride = 508;
  c.VertexShaderVersion = D3DVS_VERSION(3, 0);
  c.MaxVertexShaderConst = 256;
  c.PixelShaderVersion = D3DPS_VERSION(3, 0);
  c.PixelShader1xMaxValue = 65504.f;
  c.DevCaps2 = D3DDEVCAPS2_STREAMOFFSET | D3DDEVCAPS2_CAN_STRETCHRECT_FROM_TEXTURES |
               D3DDEVCAPS2_VERTEXELEMENTSCANSHARESTREAMOFFSET;
  c.NumberOfAdaptersInGroup = 1;
  c.DeclTypes = D3DDTCAPS_UBYTE4 | D3DDTCAPS_UBYTE4N | D3DDTCAPS_SHORT2N | D3DDTCAPS_SHORT4N |
                D3DDTCAPS_USHORT2N | D3DDTCAPS_USHORT4N | D3DDTCAPS_UDEC3 | D3DDTCAPS_FLOAT16_2 |
                D3DDTCAPS_FLOAT16_4;
  c.NumSimultaneousRTs = 4;
  c.StretchRectFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
                            D3DPTFILTERCAPS_MAGFLINEAR;
  // No dynamic flow control in vertex shaders of version 2: that is a vs_2_a feature the shader
  // translation does not promise. Version 3 shaders keep theirs.
  c.VS20Caps = {D3DVS20CAPS_PREDICATION, 0, D3DVS20_MAX_NUMTEMPS, D3DVS20_MAX_STATICFLOWCONTROLDEPTH};
  c.PS20Caps = {0x1F, D3DPS20_MAX_DYNAMICFLOWCONTROLDEPTH, D3DPS20_MAX_NUMTEMPS,
                D3DPS20_MAX_STATICFLOWCONTROLDEPTH, D3DPS20_MAX_NUMINSTRUCTIONSLOTS};
  c.VertexTextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
  c.MaxVShaderInstructionsExecuted = c.MaxPShaderInstructionsExecuted = 65535;
  c.MaxVertexShader30InstructionSlots = c.MaxPixelShader30InstructionSlots = D3DMAX30SHADERINSTRUCTIONS;

  profile.m_renderTargetFormats = {D3DFMT_A8R8G8B8,    D3DFMT_X8R8G8B8,    D3DFMT_R5G6B5,        D3DFMT_A1R5G5B5,
                                   D3DFMT_X1R5G5B5,    D3DFMT_A4R4G4B4,    D3DFMT_A2R10G10B10,   D3DFMT_A2B10G10R10,
                                   D3DFMT_A8B8G8R8,    D3DFMT_X8B8G8R8,    D3DFMT_G16R16,        D3DFMT_A16B16G16R16,
                                   D3DFMT_R16F,        D3DFMT_G16R16F,     D3DFMT_A16B16G16R16F, D3DFMT_R32F,
                                   D3DFMT_G32R32F,     D3DFMT_A32B32G32R32F};
  profile.m_textureFormats = profile.m_renderTargetFormats;
  for (D3DFORMAT format : {D3DFMT_A8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_L16, D3DFMT_V8U8, D3DFMT_V16U16,
                           D3DFMT_Q8W8V8U8})
    profile.m_textureFormats.push_back(format);
  if (!probed || limits.hasS3tc)
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5})
      profile.m_textureFormats.push_back(format);
  profile.m_cubeFormats = profile.m_textureFormats;
  profile.m_depthFormats = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32};
  profile.m_vertexTextureFormats = {D3DFMT_R32F, D3DFMT_A32B32G32R32F, D3DFMT_A16B16G16R16F};
  const UINT modes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
  for (const auto& mode : modes) profile.m_modes.push_back({mode[0], mode[1], 60, D3DFMT_X8R8G8B8});
  return profile;
}
