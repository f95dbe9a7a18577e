#pragma once
// Everything the device remembers between calls: render, stage and sampler states, transforms,
// lights, material, viewport, bindings. Bound objects are referenced by the device, not here.
#include <cstring>
#include <vector>

#include "d3d9.h"

class CBaseTexture;
class CSurface9;
class CVertexBuffer9;
class CIndexBuffer9;
class CVertexDeclaration9;
template <class Interface>
class TShader9;
using CVertexShader9 = TShader9<IDirect3DVertexShader9>;
using CPixelShader9 = TShader9<IDirect3DPixelShader9>;

constexpr UINT kMaxStages = 8;
constexpr UINT kMaxSamplers = 20;  // 16 pixel samplers, then the 4 vertex samplers
constexpr UINT kMaxStreams = 16;
constexpr UINT kMaxRenderTargets = 4;
constexpr UINT kMaxActiveLights = 8;
constexpr UINT kMaxClipPlanes = 6;
constexpr UINT kVertexShaderFloatConstants = 256;
constexpr UINT kPixelShaderFloatConstants = 224;
constexpr UINT kShaderIntegerConstants = 16;
constexpr UINT kShaderBooleanConstants = 16;
constexpr UINT kFirstVertexSamplerSlot = 16;  // slots of D3DVERTEXTEXTURESAMPLER0..3 follow the pixel samplers

enum ETransformSlot {
  TRANSFORM_WORLD = 0,
  TRANSFORM_VIEW,
  TRANSFORM_PROJECTION,
  TRANSFORM_TEXTURE0,
  TRANSFORM_COUNT = TRANSFORM_TEXTURE0 + 8
};

struct SStreamSource {
  CVertexBuffer9* buffer = nullptr;
  UINT offset = 0;
  UINT stride = 0;
  UINT frequency = 1;
};

// One half's constant register files, as a shader program reads them.
struct SShaderRegisterFiles {
  const float (*floats)[4];
  UINT floatCount;
  const int (*integers)[4];
  const BOOL* booleans;
};

struct SLightSlot {
  D3DLIGHT9 light{};
  bool enabled = false;
};

// A float's bits as a render state or register word holds them.
inline DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

class CDeviceState {
 public:
  // Direct3D's documented initial values; the viewport and scissor cover the back buffer.
  void SetDefaults(const D3DPRESENT_PARAMETERS& parameters);
  float RenderStateFloat(D3DRENDERSTATETYPE state) const;

  // Maps D3DTS_* to a slot; -1 for a transform the device does not keep.
  static int TransformSlot(D3DTRANSFORMSTATETYPE state);
  // Maps a sampler number (0-15, D3DVERTEXTEXTURESAMPLER0-3) to a slot; -1 when invalid.
  static int SamplerSlot(DWORD sampler);

  DWORD renderStates[D3D_MAX_RENDERSTATES];
  DWORD stageStates[kMaxStages][D3D_MAX_TEXTURESTAGESTATES];
  DWORD samplerStates[kMaxSamplers][D3D_MAX_SAMPLERSTATES];
  D3DMATRIX transforms[TRANSFORM_COUNT];
  std::vector<SLightSlot> lights;
  D3DMATERIAL9 material;
  D3DVIEWPORT9 viewport;
  RECT scissor;
  float clipPlanes[kMaxClipPlanes][4];
  CBaseTexture* textures[kMaxSamplers];
  SStreamSource streams[kMaxStreams];
  CIndexBuffer9* indices;
  CVertexDeclaration9* declaration;
  DWORD fvf;
  CVertexShader9* vertexShader;
  CPixelShader9* pixelShader;
  float vertexConstantsF[kVertexShaderFloatConstants][4];
  int vertexConstantsI[kShaderIntegerConstants][4];
  BOOL vertexConstantsB[kShaderBooleanConstants];
  float pixelConstantsF[kPixelShaderFloatConstants][4];
  int pixelConstantsI[kShaderIntegerConstants][4];
  BOOL pixelConstantsB[kShaderBooleanConstants];
  CSurface9* renderTargets[kMaxRenderTargets];
  CSurface9* depthStencil;
  BOOL softwareVertexProcessing;
  float nPatchSegments;
};
