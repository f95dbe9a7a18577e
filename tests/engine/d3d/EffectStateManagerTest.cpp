// The effect state manager on the renderer's real banks: what an effect sets reaches the device
// once per change through the renderer's caches, what effects may not change is refused with
// a warning, and the answers it gives whatever happens.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RealBanksBench.h"

namespace {

struct EffectStateManagerTest : testing::Test {
  ID3DXEffectStateManager& Manager() { return *banks.Renderer().GetEffectFiles()->GetStateManager(); }
  std::string Errors() const { return banks.bench.Errors(); }

  RealBanksBench banks;
};

struct ForwardedCase {
  const char* name;
  const char* method;  // the device call it comes to
  UINT deviceCallsForTwo;  // for two equal calls: 1 where the renderer caches the value
  std::function<HRESULT(ID3DXEffectStateManager&)> call;
};

TEST_F(EffectStateManagerTest, ForwardedCallsReachTheDeviceOncePerChange) {
  static const D3DMATRIX kMatrix = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1}}};
  static const D3DLIGHT9 kLight = {D3DLIGHT_POINT, {}, {}, {}, {}, {}, 10, 0, 1, 0, 0, 0, 0};
  const ForwardedCase cases[] = {
      {"RenderState", "SetRenderState", 1, [](auto& m) { return m.SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME); }},
      {"TextureStageState", "SetTextureStageState", 1,
       [](auto& m) { return m.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD); }},
      {"SamplerState", "SetSamplerState", 1,
       [](auto& m) { return m.SetSamplerState(2, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR); }},
      {"LightEnable", "LightEnable", 1, [](auto& m) { return m.LightEnable(3, TRUE); }},
      {"Transform", "SetTransform", 2, [](auto& m) { return m.SetTransform(D3DTS_WORLD, &kMatrix); }},
      {"Light", "SetLight", 2, [](auto& m) { return m.SetLight(1, &kLight); }},
  };
  for (const ForwardedCase& c : cases) {
    banks.bench.ForgetCalls();
    EXPECT_EQ(c.call(Manager()), D3D_OK) << c.name;
    EXPECT_EQ(c.call(Manager()), D3D_OK) << c.name;
    EXPECT_EQ(RendererTestBench::Calls({c.method}).size(), c.deviceCallsForTwo) << c.name;
  }
  EXPECT_EQ(banks.Renderer().GetRenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_WIREFRAME));
  EXPECT_EQ(Errors(), "");
}

TEST_F(EffectStateManagerTest, ShaderConstantsLandInTheDeviceRegisters) {
  const float floats[4] = {1, 2, 3, 4};
  const INT ints[4] = {5, 6, 7, 8};
  const BOOL bools[2] = {TRUE, FALSE};
  ASSERT_EQ(Manager().SetVertexShaderConstantF(3, floats, 1), D3D_OK);
  ASSERT_EQ(Manager().SetVertexShaderConstantI(1, ints, 1), D3D_OK);
  ASSERT_EQ(Manager().SetVertexShaderConstantB(4, bools, 2), D3D_OK);
  ASSERT_EQ(Manager().SetPixelShaderConstantF(5, floats, 1), D3D_OK);
  ASSERT_EQ(Manager().SetPixelShaderConstantI(2, ints, 1), D3D_OK);
  ASSERT_EQ(Manager().SetPixelShaderConstantB(6, bools, 2), D3D_OK);
  IDirect3DDevice9* device = banks.bench.device.get();
  float f[4] = {};
  INT i[4] = {};
  BOOL b[2] = {};
  device->GetVertexShaderConstantF(3, f, 1);
  EXPECT_EQ(f[3], 4.0f);
  device->GetVertexShaderConstantI(1, i, 1);
  EXPECT_EQ(i[2], 7);
  device->GetVertexShaderConstantB(4, b, 2);
  EXPECT_EQ(b[0], TRUE);
  EXPECT_EQ(b[1], FALSE);
  device->GetPixelShaderConstantF(5, f, 1);
  EXPECT_EQ(f[0], 1.0f);
  device->GetPixelShaderConstantI(2, i, 1);
  EXPECT_EQ(i[3], 8);
  b[0] = FALSE;
  device->GetPixelShaderConstantB(6, b, 1);
  EXPECT_EQ(b[0], TRUE);
}

struct RefusedCase {
  const char* name;
  std::function<HRESULT(ID3DXEffectStateManager&)> call;
};

TEST_F(EffectStateManagerTest, WhatStaysWithTheEngineIsRefusedWithAWarningEachTime) {
  const RefusedCase cases[] = {
      {"SetNPatchMode", [](auto& m) { return m.SetNPatchMode(2.0f); }},
      {"SetFVF", [](auto& m) { return m.SetFVF(D3DFVF_XYZ); }},
      {"SetVertexShader", [](auto& m) { return m.SetVertexShader(nullptr); }},
      {"SetPixelShader", [](auto& m) { return m.SetPixelShader(nullptr); }},
  };
  for (const RefusedCase& c : cases) {
    banks.bench.ForgetCalls();
    EXPECT_EQ(c.call(Manager()), D3DERR_INVALIDCALL) << c.name;
    EXPECT_EQ(c.call(Manager()), D3DERR_INVALIDCALL) << c.name;
    const std::string warning = "WARNING!!! - Trying To Call " + std::string(c.name) + " From Within An EffectFile\n";
    EXPECT_EQ(Errors(), warning + warning) << c.name;
    EXPECT_TRUE(RendererTestBench::Calls({c.name}).empty()) << c.name;
  }
}

TEST_F(EffectStateManagerTest, ItsAnswersDoNotDependOnWhatHappens) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Manager().AddRef(), 2u);
    EXPECT_EQ(Manager().Release(), 2u);
  }
  // The device refuses a missing material; the manager still answers S_OK and the bank logs it.
  EXPECT_EQ(Manager().SetMaterial(nullptr), S_OK);
  EXPECT_NE(Errors().find("ERROR! - CMaterialBank::SetMaterial - D3DERR_INVALIDCALL"), std::string::npos);
  D3DMATERIAL9 material = {};
  material.Diffuse.r = 0.5f;
  EXPECT_EQ(Manager().SetMaterial(&material), S_OK);
  D3DMATERIAL9 set = {};
  banks.bench.device->GetMaterial(&set);
  EXPECT_EQ(set.Diffuse.r, 0.5f);
}

TEST_F(EffectStateManagerTest, TexturesGoThroughTheTextureBankAndQueriesToTheDevice) {
  CTextureInterface* texture =
      banks.Renderer().GetTextureStorageInterface()->CreateTexture("effect", D3DFMT_A8R8G8B8, 4, 4, 1, 0);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(Manager().SetTexture(1, texture->GetD3DTexture()), S_OK);
  EXPECT_EQ(Manager().SetTexture(1, texture->GetD3DTexture()), S_OK);
  EXPECT_EQ(RendererTestBench::Calls({"SetTexture"}).size(), 1u);
  // A sampler the device does not have.
  EXPECT_EQ(Manager().SetTexture(100, texture->GetD3DTexture()), D3DERR_INVALIDCALL);

  void* object = nullptr;
  ASSERT_EQ(Manager().QueryInterface(IID_IDirect3DDevice9, &object), S_OK);
  EXPECT_EQ(object, banks.bench.device.get());
  static_cast<IUnknown*>(object)->Release();
}

}  // namespace
