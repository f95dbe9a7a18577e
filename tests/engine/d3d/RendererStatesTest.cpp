// The default state set, the scissor rectangle and the state stacks of the renderer, on the
// null back end with the device call log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RendererTestBench.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/DefaultStates.h"

namespace {

std::string Call(const char* method, std::initializer_list<UINT> arguments) {
  std::string call = std::string(method) + "(";
  for (UINT argument : arguments) call += (call.back() == '(' ? "" : ", ") + std::to_string(argument);
  return call + ")";
}

struct DefaultStatesCase {
  const char* name;
  TestCard (*card)();
  UINT unboundStages;
};

const DefaultStatesCase kProfiles[] = {
    {"PixelShader14", ShaderModel14Card, 6},
    {"PixelShader20", ShaderModel2Card, 16},
};

class DefaultStatesTest : public ::testing::TestWithParam<DefaultStatesCase> {};

TEST_P(DefaultStatesTest, OnRequestUnbindAndSendOnlyWhatDiffersFromANewDevice) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, GetParam().card());
  bench.renderer->SetLightEnable(3, 1);
  bench.ForgetCalls();
  bench.renderer->SetDefaultStates();

  EXPECT_EQ(bench.shaderCalls, (std::vector<std::string>{"vertex shader null", "pixel shader null"}));
  ASSERT_EQ(bench.textures.d3dTextures.size(), GetParam().unboundStages);
  for (UINT stage = 0; stage < GetParam().unboundStages; ++stage) {
    EXPECT_EQ(bench.textures.d3dTextures[stage].first, nullptr);
    EXPECT_EQ(bench.textures.d3dTextures[stage].second, stage);
  }
  // A new device got the rest already: what is left is the light, the material sources and the
  // addressing of every sampler in use.
  std::vector<std::string> expected = {Call("LightEnable", {3, 0}),
                                       Call("SetRenderState", {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL}),
                                       Call("SetRenderState", {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL})};
  const UINT samplers = bench.renderer->GetEnumeration()->GetMaxSimultaneousTextures();
  ASSERT_GT(samplers, 1u);
  for (UINT sampler = 0; sampler < samplers; ++sampler) {
    expected.push_back(Call("SetSamplerState", {sampler, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}));
    expected.push_back(Call("SetSamplerState", {sampler, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP}));
  }
  EXPECT_EQ(RendererTestBench::Calls(), expected);
}

INSTANTIATE_TEST_SUITE_P(Profiles, DefaultStatesTest, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RendererStates, ANewDeviceGetsTheCreationSetWithTheAnisotropicFilter) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, ShaderModel3Card(), 3);
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL, CD3DTestDevice::Deferred{});
  CD3D9Renderer second(GetEngineContext());
  second.SetSchemes(bench.schemes.GetScheme(0), bench.schemes.GetNumberOfSchemes());
  RendererTestBench::ReadableCard(ShaderModel3Card()).Apply();
  second.Enumerate();
  bench.ForgetCalls();
  DeviceSettings settings = RendererTestBench::WindowedSettings(3);
  second.Initialize(&settings);
  device.Adopt(second.GetDevice());

  // All render states of the set but the two material sources, which only a request sets.
  EXPECT_EQ(RendererTestBench::Calls({"SetRenderState"}).size(), 45u);
  EXPECT_EQ(second.GetRenderState(D3DRS_LOCALVIEWER), DWORD{TRUE});
  EXPECT_EQ(second.GetRenderState(D3DRS_DIFFUSEMATERIALSOURCE), CD3D9StateCache::kNoValue);
  const UINT samplers = second.GetEnumeration()->GetMaxSimultaneousTextures();
  for (UINT sampler : {0u, samplers - 1}) {
    DWORD mip = 0, anisotropy = 0;
    device->GetSamplerState(sampler, D3DSAMP_MIPFILTER, &mip);
    device->GetSamplerState(sampler, D3DSAMP_MAXANISOTROPY, &anisotropy);
    EXPECT_EQ(mip, DWORD{D3DTEXF_ANISOTROPIC});
    EXPECT_EQ(anisotropy, second.GetEnumeration()->GetMaxAnisotropy());
  }
  DWORD coordinates = 0;
  device->GetTextureStageState(samplers - 1, D3DTSS_TEXCOORDINDEX, &coordinates);
  EXPECT_EQ(coordinates, samplers - 1);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo),
            "- Initializing D3D9 Renderer Using Device No. 0 - (64x64- FMT:21; DEPTH:75 )\n  - Windowed\n"
            "  - Using TnL In Hardware\n  - D3D9 Device Successfully Created\n"
            // A renderer given no render-target bank makes its own, here from empty lists.
            "  - Initializing Render Targets:\n    - Creating Physical Render Targets:\n      - none\n"
            "    - Creating FP Physical Render Targets:\n      - none\n    - Creating Depth Buffers:\n"
            "      - Width: 64, Height: 64\n    - Creating Rectangle Render Targets:\n      - none\n"
            "    - Creating FP Rectangle Render Targets:\n      - none\n    - Creating Cube Render Targets:\n"
            "      - none\n    - Creating FP Cube Render Targets:\n      - none\n"
            "  - Viewport Successfully Set\n  - Using GeForce6800 Rendering Scheme\n"
            // A renderer given no texture bank makes its own, with the system textures.
            "- Initializing Texture Storage With 1024 Max Textures\n  - Creating Cube Normalizer\n"
            "  - Creating ShadowMask\n  - Creating 8bit ShadowLookUp\n  - Creating 10bit ShadowLookUp\n"
            "  - Creating AttenuationXY Texture\n  - Creating AttenuationZ Texture\n"
            "  - Creating NdotHpowK LookUp\n  - Creating SpotMask\n  - Creating FresnelTerm\n");
}

TEST(RendererStates, TheScissorRectangleIsClampedToTheViewportAndSentOnChangeOnly) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  D3DVIEWPORT9* viewport = bench.renderer->GetViewport();
  viewport->X = 8;
  viewport->Y = 4;
  viewport->Width = 32;
  viewport->Height = 16;
  bench.renderer->SetViewport();
  const RECT wide = {-10, 0, 100, 18};
  EXPECT_EQ(bench.renderer->SetScissorTest(&wide), D3D_OK);
  RECT cached;
  bench.renderer->GetScissorTest(&cached);
  EXPECT_EQ(cached.left, 8);
  EXPECT_EQ(cached.top, 4);
  EXPECT_EQ(cached.right, 40);
  EXPECT_EQ(cached.bottom, 18);
  EXPECT_EQ(bench.renderer->SetScissorTest(&wide), D3D_OK);
  EXPECT_EQ(RendererTestBench::Calls({"SetScissorRect"}), std::vector<std::string>{"SetScissorRect(8, 4, 40, 18)"});

  // After a change of render target: the viewport's edges, no device call.
  bench.renderer->ResetScissorRect(0, 0);
  bench.renderer->GetScissorTest(&cached);
  EXPECT_EQ(cached.right, 40);
  EXPECT_EQ(cached.bottom, 20);
  EXPECT_EQ(RendererTestBench::Calls({"SetScissorRect"}).size(), 1u);
}

const char kFullStacks[] =
    "ERROR!!! - Not Enough Entries To Save ScissorRect State\n"
    "ERROR!!! - Not Enough Entries To Save WideScreenFactor State\n"
    "ERROR!!! - Not Enough Entries To Save RenderState State\n"
    "ERROR!!! - Not Enough Entries To Save VP State\n"
    "ERROR!!! - Not Enough Entries To Save VertexShaderConstantF State\n"
    "ERROR!!! - Not Enough Entries To Save PixelShaderConstantF State\n"
    "ERROR!!! - Not Enough Entries To Save TextureStageStates State\n"
    "ERROR!!! - Not Enough Entries To Save SamplerStageStates State\n";
const char kEmptyStacks[] =
    "ERROR!!! - Can't Load ScissorRect State\n"
    "ERROR!!! - Can't Load RenderStates State\n"
    "ERROR!!! - Can't Load ViewPort State\n"
    "ERROR!!! - Can't Load VertexShaderConstantF State\n"
    "ERROR!!! - Can't Load PixelShaderConstantF State\n"
    "ERROR!!! - Can't Load TextureStates State\n"
    "ERROR!!! - Can't Load SamplerStates State\n";

TEST(RendererStates, TheStacksHoldFourLevelsAndSayWhenTheyAreFullOrEmpty) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  for (UINT level = 1; level <= 4; ++level) {
    bench.renderer->SetRenderState(D3DRS_ALPHAREF, level);
    EXPECT_EQ(bench.renderer->SaveStates(), 1u);
  }
  bench.renderer->SetRenderState(D3DRS_ALPHAREF, 5);
  EXPECT_EQ(bench.renderer->SaveStates(), 0u);
  EXPECT_EQ(bench.Errors(), kFullStacks);
  for (const auto& entry : bench.log.entries) EXPECT_EQ(entry.source, ".\\Sources\\D3DInitialization9");

  for (UINT level = 4; level >= 1; --level) {
    EXPECT_EQ(bench.renderer->LoadStates(), 1u);
    EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_ALPHAREF), level);
  }
  bench.ForgetCalls();
  const float factor = bench.renderer->GetWideScreenFactor();
  EXPECT_EQ(bench.renderer->LoadStates(), 0u);
  EXPECT_EQ(bench.Errors(), kEmptyStacks);
  EXPECT_EQ(bench.renderer->GetWideScreenFactor(), factor);
  EXPECT_TRUE(RendererTestBench::Calls().empty());
}

TEST(RendererStates, WithoutMemoryEveryStackButTheFactorsSaysSo) {
  EngineContextScope context;
  CRecordingEngineLog log;
  context->pLog = &log;
  context->pAllocator = nullptr;
  CD3D9Renderer renderer(GetEngineContext());
  EXPECT_EQ(renderer.SaveStates(), 0u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Can't Allocate Memory For Saving ScissorRect State\n"
            "ERROR!!! - Can't Allocate Memory For Saving RenderState State\n"
            "ERROR!!! - Can't Allocate Memory For Saving VP State\n"
            "ERROR!!! - Can't Allocate Memory For Saving VertexShaderConstantF State\n"
            "ERROR!!! - Can't Allocate Memory For Saving PixelShaderConstantF State\n"
            "ERROR!!! - Can't Allocate Memory For Saving TextureStageStates State\n"
            "ERROR!!! - Can't Allocate Memory For Saving SamplerStageStates State\n");
}

TEST(RendererStates, LoadingUndoesANestedChangeWithTheDifferencesOnly) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CD3D9Renderer& renderer = *bench.renderer;
  const float a[4] = {1, 1, 1, 1}, b[4] = {2, 2, 2, 2};
  const RECT outer = {0, 0, 32, 32}, inner = {4, 4, 16, 16};
  renderer.SetRenderState(D3DRS_ALPHAREF, 10);
  renderer.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  renderer.SetVertexShaderConstantF(5, a, 1);
  renderer.SetScissorTest(&outer);
  ASSERT_EQ(renderer.SaveStates(), 1u);

  // The nested program: changes, and states that had no value when they were saved.
  renderer.SetRenderState(D3DRS_ALPHAREF, 20);
  renderer.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  renderer.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
  renderer.SetSamplerState(2, D3DSAMP_MIPMAPLODBIAS, 3);
  renderer.SetVertexShaderConstantF(5, b, 1);
  renderer.SetVertexShaderConstantF(6, b, 1);
  renderer.SetScissorTest(&inner);
  bench.ForgetCalls();

  ASSERT_EQ(renderer.LoadStates(), 1u);
  EXPECT_EQ(RendererTestBench::Calls(),
            (std::vector<std::string>{"SetScissorRect(0, 0, 32, 32)", Call("SetRenderState", {D3DRS_ALPHAREF, 10}),
                                      "SetViewport(0, 0, 64, 64)",
                                      Call("SetTextureStageState", {1, D3DTSS_COLOROP, D3DTOP_ADD})}));
  for (const std::string& call : RendererTestBench::Calls())
    EXPECT_EQ(call.find(std::to_string(CD3D9StateCache::kNoValue)), std::string::npos) << call;
  // What had no value keeps the nested one.
  EXPECT_EQ(renderer.GetRenderState(D3DRS_ALPHAFUNC), DWORD{D3DCMP_GREATER});
  float device[4];
  bench.device->GetVertexShaderConstantF(5, device, 1);
  EXPECT_EQ(device[0], 1.0f);
  bench.device->GetVertexShaderConstantF(6, device, 1);
  EXPECT_EQ(device[0], 2.0f);
}

}  // namespace
