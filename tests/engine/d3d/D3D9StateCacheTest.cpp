// The renderer's state caches on the null back end: what reaches the device, what a refusal of
// the device leaves behind, and what happens to indices outside the caches.
#include "d3d/D3D9StateCache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "RendererTestBench.h"

namespace {

struct SetterCase {
  const char* name;
  const char* method;  // as the device call log names it
  std::function<HRESULT(CD3D9Renderer&, UINT value)> set;
};

const SetterCase kSetters[] = {
    {"RenderState", "SetRenderState", [](CD3D9Renderer& r, UINT v) { return r.SetRenderState(D3DRS_ALPHAREF, v); }},
    {"TextureStageState", "SetTextureStageState",
     [](CD3D9Renderer& r, UINT v) { return r.SetTextureStageState(2, D3DTSS_BUMPENVLSCALE, v); }},
    {"VerboseTextureStageState", "SetTextureStageState",
     [](CD3D9Renderer& r, UINT v) { return r.SetTextureStageStateVerbose(3, D3DTSS_BUMPENVLOFFSET, v); }},
    {"SamplerState", "SetSamplerState",
     [](CD3D9Renderer& r, UINT v) { return r.SetSamplerState(5, D3DSAMP_MAXMIPLEVEL, v); }},
    {"LightEnable", "LightEnable", [](CD3D9Renderer& r, UINT v) { return r.SetLightEnable(7, v); }},
};

TEST(StateCache, OneDeviceCallPerChange) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  for (const SetterCase& setter : kSetters) {
    SCOPED_TRACE(setter.name);
    bench.ForgetCalls();
    EXPECT_EQ(setter.set(*bench.renderer, 1), D3D_OK);
    EXPECT_EQ(setter.set(*bench.renderer, 1), D3D_OK);
    EXPECT_EQ(setter.set(*bench.renderer, 0), D3D_OK);
    EXPECT_EQ(RendererTestBench::Calls({setter.method}).size(), 2u);
  }
  // Only the verbose setter logs, once for each call that reached the device.
  bench.log.entries.clear();
  bench.renderer->SetTextureStageStateVerbose(3, D3DTSS_BUMPENVLOFFSET, 9);
  bench.renderer->SetTextureStageStateVerbose(3, D3DTSS_BUMPENVLOFFSET, 9);
  bench.renderer->SetTextureStageState(3, D3DTSS_BUMPENVLOFFSET, 10);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo), "SetTextureStageState: 3, 23, 9\n");
}

TEST(StateCache, TheMarkerValueCountsAsNoChange) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_ALPHAREF), CD3D9StateCache::kNoValue);
  EXPECT_EQ(bench.renderer->SetRenderState(D3DRS_ALPHAREF, CD3D9StateCache::kNoValue), D3D_OK);
  EXPECT_TRUE(RendererTestBench::Calls({"SetRenderState"}).empty());
  bench.renderer->SetRenderState(D3DRS_ALPHAREF, 127);
  EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_ALPHAREF), 127u);
}

// The platform's device has 8 stages, 210 render states, 14 sampler types and 224 pixel-shader
// registers: past those it refuses what the caches still hold room for.
struct RefusalCase {
  const char* name;
  const char* method;
  std::function<HRESULT(CD3D9Renderer&)> set;
  const char* message;  // the error line, empty for none
};

const RefusalCase kRefusals[] = {
    {"RenderState", "SetRenderState", [](CD3D9Renderer& r) { return r.SetRenderState(215, 1); },
     "ERROR! - SetRenderState: 215, 1 - D3DERR_INVALIDCALL\n"},
    {"TextureStageState", "SetTextureStageState",
     [](CD3D9Renderer& r) { return r.SetTextureStageState(9, D3DTSS_COLOROP, D3DTOP_ADD); },
     "ERROR! - SetTextureStageState: D3DERR_INVALIDCALL\n"},
    {"SamplerState", "SetSamplerState", [](CD3D9Renderer& r) { return r.SetSamplerState(0, 20, 1); },
     "ERROR! - SetSampleState: D3DERR_INVALIDCALL\n"},
};

TEST(StateCache, ARefusedCallLeavesTheCacheSoTheSameCallIsTriedAgain) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  for (const RefusalCase& refusal : kRefusals) {
    SCOPED_TRACE(refusal.name);
    bench.ForgetCalls();
    EXPECT_EQ(refusal.set(*bench.renderer), D3DERR_INVALIDCALL);
    EXPECT_EQ(refusal.set(*bench.renderer), D3DERR_INVALIDCALL);
    EXPECT_EQ(RendererTestBench::Calls({refusal.method}).size(), 2u);
    ASSERT_EQ(bench.log.entries.size(), 2u);
    EXPECT_EQ(bench.log.entries[0].level, CEngineLog::kLevelError);
    EXPECT_EQ(bench.log.entries[0].source, ".\\Sources\\D3DRenderer9");
    EXPECT_EQ(bench.log.entries[0].text.rfind(refusal.message, 0), 0u) << bench.log.entries[0].text;
  }
  EXPECT_EQ(bench.renderer->GetRenderState(215), CD3D9StateCache::kNoValue);

  // A register range the device refuses is not cached either: its first register, sent alone,
  // still reaches the device.
  const float values[16] = {1, 2, 3, 4};
  EXPECT_EQ(bench.renderer->SetPixelShaderConstantF(222, values, 4), D3DERR_INVALIDCALL);
  EXPECT_EQ(bench.renderer->SetPixelShaderConstantF(222, values, 1), D3D_OK);
  float device[4] = {};
  bench.device->GetPixelShaderConstantF(222, device, 1);
  EXPECT_EQ(device[0], 1.0f);
}

// Reads back a vertex-shader register the renderer may or may not have sent.
CVector4 DeviceRegister(RendererTestBench& bench, UINT index) {
  CVector4 value;
  bench.device->GetVertexShaderConstantF(index, &value.x, 1);
  return value;
}

TEST(StateCache, EqualConstantsStayOffTheDeviceAndANaNIsAlwaysSent) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  const float four[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  ASSERT_EQ(bench.renderer->SetVertexShaderConstantF(10, four, 4), D3D_OK);
  EXPECT_EQ(DeviceRegister(bench, 13).w, 16.0f);

  // The device is changed behind the renderer's back; equal values do not reach it, so the
  // change stays, while one different component sends the whole range again.
  const float behind[4] = {-1, -1, -1, -1};
  bench.device->SetVertexShaderConstantF(10, behind, 1);
  EXPECT_EQ(bench.renderer->SetVertexShaderConstantF(10, four, 4), D3D_OK);
  EXPECT_EQ(DeviceRegister(bench, 10).x, -1.0f);
  float changed[16];
  memcpy(changed, four, sizeof changed);
  changed[15] = 17;
  bench.renderer->SetVertexShaderConstantF(10, changed, 4);
  EXPECT_EQ(DeviceRegister(bench, 10).x, 1.0f);
  EXPECT_EQ(DeviceRegister(bench, 13).w, 17.0f);

  const float nan[4] = {std::numeric_limits<float>::quiet_NaN(), 0, 0, 0};
  bench.renderer->SetVertexShaderConstantF(20, nan, 1);
  bench.device->SetVertexShaderConstantF(20, behind, 1);
  bench.renderer->SetVertexShaderConstantF(20, nan, 1);
  EXPECT_TRUE(std::isnan(DeviceRegister(bench, 20).x));
}

// Everything the cache holds, to show that a refused call wrote nothing anywhere.
std::vector<unsigned char> Snapshot(const CD3D9StateCache& cache) {
  std::vector<unsigned char> bytes;
  auto add = [&](const void* data, size_t size) {
    const auto* begin = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
  };
  add(cache.GetRenderStates(), CD3D9StateCache::kRenderStates * sizeof(DWORD));
  add(cache.GetTextureStageStates(), CD3D9StateCache::kStageEntries * sizeof(DWORD));
  add(cache.GetSamplerStates(), CD3D9StateCache::kStageEntries * sizeof(DWORD));
  add(cache.GetVertexShaderConstants(), CD3D9StateCache::kConstantRegisters * 16);
  add(cache.GetPixelShaderConstants(), CD3D9StateCache::kConstantRegisters * 16);
  UINT lights[CD3D9StateCache::kLights];
  cache.GetLightEnableStates(lights);
  add(lights, sizeof lights);
  return bytes;
}

struct OutOfRangeCase {
  const char* name;
  std::function<HRESULT(CD3D9StateCache&)> set;
};

const float kRegisters[8 * 4] = {1};

const OutOfRangeCase kOutOfRange[] = {
    {"RenderState256", [](CD3D9StateCache& c) { return c.SetRenderState(256, 1); }},
    {"RenderStateAllBits", [](CD3D9StateCache& c) { return c.SetRenderState(0xFFFFFFFF, 1); }},
    {"Stage16", [](CD3D9StateCache& c) { return c.SetTextureStageState(16, D3DTSS_COLOROP, 1, false); }},
    {"StageType34", [](CD3D9StateCache& c) { return c.SetTextureStageState(0, 34, 1, false); }},
    {"StageAllBits", [](CD3D9StateCache& c) { return c.SetTextureStageState(0xFFFFFFFF, 1, 1, true); }},
    {"SamplerType34", [](CD3D9StateCache& c) { return c.SetSamplerState(3, 34, 1); }},
    {"Light8", [](CD3D9StateCache& c) { return c.SetLightEnable(8, 1); }},
    {"Light65535", [](CD3D9StateCache& c) { return c.SetLightEnable(0xFFFF, 1); }},
    {"VertexConstantsPast255", [](CD3D9StateCache& c) { return c.SetVertexShaderConstantF(250, kRegisters, 8); }},
    {"VertexConstantsWrapping",
     [](CD3D9StateCache& c) { return c.SetVertexShaderConstantF(0xFFFFFFF0, kRegisters, 0x20); }},
    {"PixelConstantAt256", [](CD3D9StateCache& c) { return c.SetPixelShaderConstantF(256, kRegisters, 1); }},
    {"PixelConstantsWithoutData", [](CD3D9StateCache& c) { return c.SetPixelShaderConstantF(0, nullptr, 1); }},
};

TEST(StateCache, IndicesOutsideTheCachesAreRefusedWithoutWritingAnything) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CD3D9StateCache cache(&bench.log);
  cache.SetDevice(bench.device.get());
  const std::vector<unsigned char> before = Snapshot(cache);
  for (const OutOfRangeCase& c : kOutOfRange) {
    SCOPED_TRACE(c.name);
    bench.ForgetCalls();
    EXPECT_EQ(c.set(cache), D3DERR_INVALIDCALL);
    EXPECT_TRUE(RendererTestBench::Calls().empty());
    EXPECT_TRUE(Snapshot(cache) == before);
  }
}

TEST(StateCache, SamplersPastTheCacheGoToTheDeviceUncached) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(bench.renderer->SetSamplerState(D3DVERTEXTEXTURESAMPLER1, D3DSAMP_MAGFILTER, D3DTEXF_POINT), D3D_OK);
  EXPECT_EQ(RendererTestBench::Calls({"SetSamplerState"}).size(), 2u);
  DWORD value = 0;
  bench.device->GetSamplerState(D3DVERTEXTEXTURESAMPLER1, D3DSAMP_MAGFILTER, &value);
  EXPECT_EQ(value, DWORD{D3DTEXF_POINT});
  // One the device does not have either is its to refuse, and logged.
  EXPECT_EQ(bench.renderer->SetSamplerState(300, D3DSAMP_MAGFILTER, 1), D3DERR_INVALIDCALL);
  EXPECT_NE(bench.Errors().find("ERROR! - SetSampleState: D3DERR_INVALIDCALL"), std::string::npos);
}

}  // namespace
