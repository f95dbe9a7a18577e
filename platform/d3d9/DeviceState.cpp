#include "DeviceState.h"

#include <cstring>

namespace {

const D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

}  // namespace

void CDeviceState::SetDefaults(const D3DPRESENT_PARAMETERS& parameters) {
  memset(renderStates, 0, sizeof renderStates);
  DWORD* rs = renderStates;
  rs[D3DRS_ZENABLE] = parameters.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_FOGSTART] = FloatBits(0.f);
  rs[D3DRS_FOGEND] = FloatBits(1.f);
  rs[D3DRS_FOGDENSITY] = FloatBits(1.f);
  rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_LOCALVIEWER] = TRUE;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_POINTSIZE] = FloatBits(1.f);
  rs[D3DRS_POINTSIZE_MIN] = FloatBits(1.f);
  rs[D3DRS_POINTSCALE_A] = FloatBits(1.f);
  rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
  rs[D3DRS_DEBUGMONITORTOKEN] = 0xBAADCAFE;
  rs[D3DRS_POINTSIZE_MAX] = FloatBits(64.f);
  rs[D3DRS_COLORWRITEENABLE] = rs[D3DRS_COLORWRITEENABLE1] = rs[D3DRS_COLORWRITEENABLE2] =
      rs[D3DRS_COLORWRITEENABLE3] = 0xF;
  rs[D3DRS_BLENDOP] = rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
  rs[D3DRS_POSITIONDEGREE] = D3DDEGREE_CUBIC;
  rs[D3DRS_NORMALDEGREE] = D3DDEGREE_LINEAR;
  rs[D3DRS_MINTESSELLATIONLEVEL] = rs[D3DRS_MAXTESSELLATIONLEVEL] = FloatBits(1.f);
  rs[D3DRS_ADAPTIVETESS_Z] = FloatBits(1.f);
  rs[D3DRS_CCW_STENCILFAIL] = rs[D3DRS_CCW_STENCILZFAIL] = rs[D3DRS_CCW_STENCILPASS] = D3DSTENCILOP_KEEP;
  rs[D3DRS_CCW_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFF;
  rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;

  memset(stageStates, 0, sizeof stageStates);
  for (UINT stage = 0; stage < kMaxStages; ++stage) {
    DWORD* ts = stageStates[stage];
    ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = stage;
    ts[D3DTSS_COLORARG0] = ts[D3DTSS_ALPHAARG0] = ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
  }
  memset(samplerStates, 0, sizeof samplerStates);
  for (UINT sampler = 0; sampler < kMaxSamplers; ++sampler) {
    DWORD* ss = samplerStates[sampler];
    ss[D3DSAMP_ADDRESSU] = ss[D3DSAMP_ADDRESSV] = ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    ss[D3DSAMP_MAXANISOTROPY] = 1;
  }
  for (D3DMATRIX& matrix : transforms) matrix = kIdentity;
  lights.assign(kMaxActiveLights, SLightSlot());
  for (SLightSlot& slot : lights) {
    // An unset light is a white directional light pointing down +z.
    slot.light.Type = D3DLIGHT_DIRECTIONAL;
    slot.light.Diffuse = {1, 1, 1, 0};
    slot.light.Direction = {0, 0, 1};
  }
  memset(&material, 0, sizeof material);
  viewport = {0, 0, parameters.BackBufferWidth, parameters.BackBufferHeight, 0.f, 1.f};
  scissor = {0, 0, static_cast<LONG>(parameters.BackBufferWidth), static_cast<LONG>(parameters.BackBufferHeight)};
  memset(clipPlanes, 0, sizeof clipPlanes);
  memset(textures, 0, sizeof textures);
  for (SStreamSource& stream : streams) stream = SStreamSource();
  indices = nullptr;
  declaration = nullptr;
  fvf = 0;
  vertexShader = nullptr;
  pixelShader = nullptr;
  memset(vertexConstantsF, 0, sizeof vertexConstantsF);
  memset(vertexConstantsI, 0, sizeof vertexConstantsI);
  memset(vertexConstantsB, 0, sizeof vertexConstantsB);
  memset(pixelConstantsF, 0, sizeof pixelConstantsF);
  memset(pixelConstantsI, 0, sizeof pixelConstantsI);
  memset(pixelConstantsB, 0, sizeof pixelConstantsB);
  memset(renderTargets, 0, sizeof renderTargets);
  depthStencil = nullptr;
  softwareVertexProcessing = FALSE;
  nPatchSegments = 0.f;
}

float CDeviceState::RenderStateFloat(D3DRENDERSTATETYPE state) const {
  float value;
  memcpy(&value, &renderStates[state], sizeof value);
  return value;
}

int CDeviceState::TransformSlot(D3DTRANSFORMSTATETYPE state) {
  if (state == D3DTS_WORLD) return TRANSFORM_WORLD;
  if (state == D3DTS_VIEW) return TRANSFORM_VIEW;
  if (state == D3DTS_PROJECTION) return TRANSFORM_PROJECTION;
  if (state >= D3DTS_TEXTURE0 && state <= D3DTS_TEXTURE7) return TRANSFORM_TEXTURE0 + (state - D3DTS_TEXTURE0);
  return -1;
}

int CDeviceState::SamplerSlot(DWORD sampler) {
  if (sampler < kFirstVertexSamplerSlot) return static_cast<int>(sampler);
  if (sampler >= D3DVERTEXTEXTURESAMPLER0 && sampler <= D3DVERTEXTEXTURESAMPLER3)
    return static_cast<int>(kFirstVertexSamplerSlot + (sampler - D3DVERTEXTEXTURESAMPLER0));
  return -1;
}
