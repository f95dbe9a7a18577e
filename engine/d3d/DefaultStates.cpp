#include "d3d/DefaultStates.h"

#include <algorithm>
#include <iterator>

#include "d3d/D3D9Enumeration.h"
#include "d3d/D3D9StateCache.h"
#include "d3d/DeviceSettings.h"
#include "d3d/EngineRenderer.h"

namespace {

struct StateValue {
  D3DRENDERSTATETYPE state;
  DWORD value;
};

// In the order they are set; LOCALVIEWER and the two material sources depend on the occasion.
const StateValue kRenderStatesBeforeMaterialSources[] = {
    {D3DRS_AMBIENT, 0},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_LOCALVIEWER, TRUE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZENABLE, D3DZB_TRUE},
    {D3DRS_ZWRITEENABLE, TRUE},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_DITHERENABLE, TRUE},
    {D3DRS_NORMALIZENORMALS, TRUE},
    {D3DRS_ALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_FOGCOLOR, 0x00FFFFFF},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE},
    {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR},
    {D3DRS_FOGDENSITY, 0},  // 0.0f
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_ALPHATESTENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
    {D3DRS_STENCILMASK, 0xFFFFFFFF},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_PATCHEDGESTYLE, D3DPATCHEDGE_DISCRETE},
    {D3DRS_COLORWRITEENABLE, 0xF},
};
const StateValue kMaterialSources[] = {
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
};
const StateValue kRenderStatesAfterMaterialSources[] = {
    {D3DRS_TWEENFACTOR, 0},  // 0.0f
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    {D3DRS_POSITIONDEGREE, D3DDEGREE_CUBIC},
    {D3DRS_NORMALDEGREE, D3DDEGREE_LINEAR},
    {D3DRS_SCISSORTESTENABLE, FALSE},
    {D3DRS_ANTIALIASEDLINEENABLE, FALSE},
    {D3DRS_TWOSIDEDSTENCILMODE, FALSE},
    {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
    {D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP},
    {D3DRS_CCW_STENCILZFAIL, D3DSTENCILOP_KEEP},
    {D3DRS_BLENDFACTOR, 0xFFFFFFFF},
    {D3DRS_SEPARATEALPHABLENDENABLE, FALSE},
    {D3DRS_SRCBLENDALPHA, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
};

struct StageValue {
  D3DTEXTURESTAGESTATETYPE type;
  DWORD value;
};
const StageValue kFirstStage[] = {
    {D3DTSS_ALPHAOP, D3DTOP_MODULATE},    {D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
    {D3DTSS_ALPHAARG2, D3DTA_TEXTURE},    {D3DTSS_COLOROP, D3DTOP_MODULATE},
    {D3DTSS_COLORARG1, D3DTA_DIFFUSE},    {D3DTSS_COLORARG2, D3DTA_TEXTURE},
    {D3DTSS_TEXCOORDINDEX, 0},            {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
};
// TEXCOORDINDEX, set between them, is the stage's own number.
const StageValue kOtherStagesBeforeCoordinates[] = {
    {D3DTSS_COLOROP, D3DTOP_DISABLE},  {D3DTSS_COLORARG1, D3DTA_TEXTURE}, {D3DTSS_COLORARG2, D3DTA_CURRENT},
    {D3DTSS_ALPHAOP, D3DTOP_DISABLE},  {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}, {D3DTSS_ALPHAARG2, D3DTA_CURRENT},
};

// Magnification, minification and mip filters by the settings' texture filter.
struct FilterSet {
  DWORD mag, min, mip;
};
const FilterSet kFilters[] = {
    {D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE},
    {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_POINT},
    {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
    {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC},
};
constexpr WORD kAnisotropicFilter = 3;

template <size_t N>
void SetRenderStates(CEngineRenderer& renderer, const StateValue (&states)[N]) {
  for (const StateValue& entry : states) renderer.SetRenderState(entry.state, entry.value);
}

template <size_t N>
void SetStageStates(CEngineRenderer& renderer, UINT stage, const StageValue (&states)[N]) {
  for (const StageValue& entry : states) renderer.SetTextureStageState(stage, entry.type, entry.value);
}

void WrapSampler(CEngineRenderer& renderer, UINT sampler) {
  renderer.SetSamplerState(sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
  renderer.SetSamplerState(sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
}

// How many stages lose their texture: as many as the pixel-shader version can address.
UINT TextureStagesToClear(DWORD pixelShaderVersion) {
  if (pixelShaderVersion >= 0x20000) return 16;
  if (pixelShaderVersion >= 0x10004) return 6;
  if (pixelShaderVersion >= 0x10001) return 4;
  return 2;
}

}  // namespace

void CDefaultStates::Apply(CEngineRenderer& renderer, Occasion occasion) {
  if (occasion == kOnRequest) UnbindShadersAndTextures(renderer);
  ApplyRenderStates(renderer, occasion);
  // No more stages than the renderer caches, whatever the caps claim.
  const UINT stages = std::min<UINT>(renderer.GetEnumeration()->GetMaxSimultaneousTextures(), CD3D9StateCache::kStages);
  ApplyStageStates(renderer, occasion, stages);
  ApplySamplerFilters(renderer, occasion, stages);
}

void CDefaultStates::UnbindShadersAndTextures(CEngineRenderer& renderer) {
  for (WORD light = 0; light < 8; ++light) renderer.SetLightEnable(light, 0);
  renderer.GetVertexShaderStorageInterface()->SetShader(nullptr);
  renderer.GetPixelShaderStorageInterface()->SetShader(nullptr);
  CTextureStorageInterface* textures = renderer.GetTextureStorageInterface();
  const UINT stages = TextureStagesToClear(renderer.GetEnumeration()->GetPixelShaderVersion());
  for (UINT stage = 0; stage < stages; ++stage) textures->SetD3DTexture(nullptr, stage);
}

void CDefaultStates::ApplyRenderStates(CEngineRenderer& renderer, Occasion occasion) {
  for (const StateValue& entry : kRenderStatesBeforeMaterialSources) {
    const bool resetViewer = entry.state == D3DRS_LOCALVIEWER && occasion == kDeviceReset;
    renderer.SetRenderState(entry.state, resetViewer ? FALSE : entry.value);
  }
  if (occasion == kOnRequest) SetRenderStates(renderer, kMaterialSources);
  SetRenderStates(renderer, kRenderStatesAfterMaterialSources);
}

void CDefaultStates::ApplyStageStates(CEngineRenderer& renderer, Occasion occasion, UINT stages) {
  SetStageStates(renderer, 0, kFirstStage);
  if (occasion == kOnRequest) WrapSampler(renderer, 0);
  for (UINT stage = 1; stage < stages; ++stage) {
    if (occasion == kOnRequest) WrapSampler(renderer, stage);
    SetStageStates(renderer, stage, kOtherStagesBeforeCoordinates);
    renderer.SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
    renderer.SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  }
}

void CDefaultStates::ApplySamplerFilters(CEngineRenderer& renderer, Occasion occasion, UINT stages) {
  const WORD filter = renderer.GetDeviceSettings()->wTextureFilter;
  if (filter >= std::size(kFilters)) return;
  FilterSet filters = kFilters[filter];
  if (filter == kAnisotropicFilter && occasion == kDeviceReset) filters.mip = D3DTEXF_LINEAR;
  for (UINT sampler = 0; sampler < stages; ++sampler) {
    renderer.SetSamplerState(sampler, D3DSAMP_MAGFILTER, filters.mag);
    renderer.SetSamplerState(sampler, D3DSAMP_MINFILTER, filters.min);
    renderer.SetSamplerState(sampler, D3DSAMP_MIPFILTER, filters.mip);
    if (filter == kAnisotropicFilter)
      renderer.SetSamplerState(sampler, D3DSAMP_MAXANISOTROPY, renderer.GetEnumeration()->GetMaxAnisotropy());
  }
}
