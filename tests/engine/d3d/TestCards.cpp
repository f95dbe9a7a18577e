#include "TestCards.h"

#include <algorithm>
#include <cstdio>

#include "zktest/ZkTestD3D.h"

namespace {

const D3DFORMAT kColourFormats[] = {
    D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8,     D3DFMT_R5G6B5,        D3DFMT_A4R4G4B4,
    D3DFMT_L8,       D3DFMT_V8U8,         D3DFMT_A2R10G10B10,   D3DFMT_G16R16,
    D3DFMT_R32F,     D3DFMT_R16F,         D3DFMT_G16R16F,       D3DFMT_A16B16G16R16F,
    D3DFMT_A32B32G32R32F, D3DFMT_A16B16G16R16};
const D3DFORMAT kCompressedFormats[] = {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5};
const D3DFORMAT kDepthFormats[] = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8};

DWORD Version(DWORD kind, int major, int minor) {
  return kind | (static_cast<DWORD>(major) << 8) | static_cast<DWORD>(minor);
}

}  // namespace

void TestCard::Apply() const {
  const ZkTestD3DAdapterProfile profile = Profile();
  ZkTestD3DSetAdapterProfile(&profile);
}

void TestCard::ApplyAsSecondAdapter() const {
  const ZkTestD3DAdapterProfile profile = Profile();
  ZkTestD3DSetSecondAdapterProfile(&profile);
}

ZkTestD3DAdapterProfile TestCard::Profile() const {
  ZkTestD3DAdapterProfile profile = {};
  profile.identifier = identifier;
  profile.caps = caps;
  profile.textureFormats = textureFormats.data();
  profile.textureFormatCount = static_cast<UINT>(textureFormats.size());
  profile.cubeTextureFormats = cubeTextureFormats.data();
  profile.cubeTextureFormatCount = static_cast<UINT>(cubeTextureFormats.size());
  profile.renderTargetFormats = renderTargetFormats.data();
  profile.renderTargetFormatCount = static_cast<UINT>(renderTargetFormats.size());
  profile.depthStencilFormats = depthStencilFormats.data();
  profile.depthStencilFormatCount = static_cast<UINT>(depthStencilFormats.size());
  profile.vertexTextureFormats = vertexTextureFormats.data();
  profile.vertexTextureFormatCount = static_cast<UINT>(vertexTextureFormats.size());
  profile.modes = modes.data();
  profile.modeCount = static_cast<UINT>(modes.size());
  return profile;
}

void TestCard::SetShaderVersions(int vsMajor, int vsMinor, int psMajor, int psMinor) {
  caps.VertexShaderVersion = Version(0xFFFE0000, vsMajor, vsMinor);
  caps.PixelShaderVersion = Version(0xFFFF0000, psMajor, psMinor);
}

void TestCard::Remove(std::vector<D3DFORMAT>& formats, D3DFORMAT format) {
  formats.erase(std::remove(formats.begin(), formats.end(), format), formats.end());
}

void TestCard::RemoveEverywhere(D3DFORMAT format) {
  for (std::vector<D3DFORMAT>* list : {&textureFormats, &cubeTextureFormats, &renderTargetFormats,
                                       &depthStencilFormats, &vertexTextureFormats})
    Remove(*list, format);
}

TestCardScope::~TestCardScope() { ZkTestD3DSetAdapterProfile(nullptr); }

TestCard ShaderModel3Card() {
  TestCard card;
  snprintf(card.identifier.Description, sizeof card.identifier.Description, "Test Card");
  snprintf(card.identifier.Driver, sizeof card.identifier.Driver, "test.dll");
  snprintf(card.identifier.DeviceName, sizeof card.identifier.DeviceName, "\\\\.\\DISPLAY1");
  card.identifier.DriverVersion.QuadPart = (6LL << 48) | (14LL << 32) | (10LL << 16) | 7772;
  card.identifier.VendorId = 0x10DE;

  D3DCAPS9& c = card.caps;
  c.Caps2 = D3DCAPS2_CANAUTOGENMIPMAP;
  c.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  c.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_PUREDEVICE;
  c.DevCaps2 = D3DDEVCAPS2_STREAMOFFSET;
  c.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  c.RasterCaps = D3DPRASTERCAPS_ANISOTROPY | D3DPRASTERCAPS_SCISSORTEST;
  c.ZCmpCaps = 0xFF;
  c.SrcBlendCaps = c.DestBlendCaps = 0x23FF;
  c.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_PROJECTED | D3DPTEXTURECAPS_CUBEMAP |
                  D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_MIPCUBEMAP | D3DPTEXTURECAPS_VOLUMEMAP |
                  D3DPTEXTURECAPS_MIPVOLUMEMAP;
  const DWORD filters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
                        D3DPTFILTERCAPS_MAGFLINEAR | D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR;
  c.TextureFilterCaps = filters | D3DPTFILTERCAPS_MINFANISOTROPIC | D3DPTFILTERCAPS_MAGFANISOTROPIC;
  c.CubeTextureFilterCaps = c.VolumeTextureFilterCaps = filters;
  c.TextureAddressCaps = c.VolumeTextureAddressCaps =
      D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP;
  c.LineCaps = D3DLINECAPS_ZTEST;
  c.MaxTextureWidth = c.MaxTextureHeight = 4096;
  c.MaxAnisotropy = 16;
  c.StencilCaps = 0xFF | D3DSTENCILCAPS_TWOSIDED;
  c.MaxSimultaneousTextures = 8;
  c.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_DIRECTIONALLIGHTS;
  c.MaxActiveLights = 8;
  c.MaxUserClipPlanes = 6;
  c.MaxStreams = 16;
  c.MaxVertexShaderConst = 256;
  c.PixelShader1xMaxValue = 65504.0f;
  c.MaxVShaderInstructionsExecuted = 65535;
  c.MaxPShaderInstructionsExecuted = 65535;
  c.NumSimultaneousRTs = 4;
  c.VS20Caps = {D3DVS20CAPS_PREDICATION, 24, 32, 4};
  c.PS20Caps = {D3DPS20CAPS_ARBITRARYSWIZZLE | D3DPS20CAPS_PREDICATION, 24, 32, 4, 512};
  c.MaxVertexShader30InstructionSlots = 512;
  c.MaxPixelShader30InstructionSlots = 512;
  card.SetShaderVersions(3, 0, 3, 0);

  card.textureFormats.assign(std::begin(kColourFormats), std::end(kColourFormats));
  card.textureFormats.insert(card.textureFormats.end(), std::begin(kCompressedFormats), std::end(kCompressedFormats));
  card.textureFormats.insert(card.textureFormats.end(), std::begin(kDepthFormats), std::end(kDepthFormats));
  card.cubeTextureFormats = card.textureFormats;
  card.renderTargetFormats.assign(std::begin(kColourFormats), std::end(kColourFormats));
  card.renderTargetFormats.insert(card.renderTargetFormats.end(), std::begin(kDepthFormats), std::end(kDepthFormats));
  card.depthStencilFormats.assign(std::begin(kDepthFormats), std::end(kDepthFormats));
  card.vertexTextureFormats = {D3DFMT_R32F, D3DFMT_A32B32G32R32F};
  card.modes = {{640, 480, 60, D3DFMT_X8R8G8B8},   {800, 600, 60, D3DFMT_X8R8G8B8},
                {1024, 768, 60, D3DFMT_X8R8G8B8},  {1280, 1024, 60, D3DFMT_X8R8G8B8},
                {1600, 1200, 60, D3DFMT_X8R8G8B8}};
  return card;
}

TestCard ShaderModel2Card() {
  TestCard card = ShaderModel3Card();
  card.SetShaderVersions(2, 0, 2, 0);
  card.caps.VS20Caps = {0, 0, 12, 1};
  card.caps.PS20Caps = {0, 0, 12, 0, 96};
  card.caps.MaxVertexShader30InstructionSlots = card.caps.MaxPixelShader30InstructionSlots = 0;
  card.caps.PixelShader1xMaxValue = 8.0f;
  card.vertexTextureFormats.clear();
  return card;
}

TestCard ShaderModel2aCard() {
  TestCard card = ShaderModel2Card();
  card.caps.VS20Caps.DynamicFlowControlDepth = 24;
  return card;
}

TestCard ShaderModel14Card() {
  TestCard card = ShaderModel2Card();
  card.SetShaderVersions(1, 1, 1, 4);
  card.caps.MaxVertexShaderConst = 192;
  card.caps.MaxSimultaneousTextures = 6;
  card.caps.NumSimultaneousRTs = 1;
  card.caps.StencilCaps = 0xFF;
  card.caps.VS20Caps = {};
  card.caps.PS20Caps = {};
  for (D3DFORMAT format : {D3DFMT_R32F, D3DFMT_R16F, D3DFMT_G16R16F, D3DFMT_A16B16G16R16F,
                           D3DFMT_A32B32G32R32F})
    card.RemoveEverywhere(format);
  return card;
}

TestCard ShaderModel11Card() {
  TestCard card = ShaderModel14Card();
  card.SetShaderVersions(1, 1, 1, 3);
  card.caps.MaxVertexShaderConst = 96;
  card.caps.MaxSimultaneousTextures = 4;
  card.caps.PixelShader1xMaxValue = 1.0f;
  return card;
}

TestCard NoDxtCard() {
  TestCard card = ShaderModel2Card();
  for (D3DFORMAT format : kCompressedFormats) card.RemoveEverywhere(format);
  return card;
}

TestCard SmallTexturesCard() {
  TestCard card = ShaderModel2Card();
  card.caps.MaxTextureWidth = 1024;
  return card;
}
