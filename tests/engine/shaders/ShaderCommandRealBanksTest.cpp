// SETTEXTURE and SETMATERIAL on the renderer's own texture, render-target and material banks
// over the null back end, against what reaches the device.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "RecordingAllocator.h"
#include "RenderTargetTestBench.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"
#include "d3d/Material.h"
#include "d3d/MaterialBank.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramSetMaterial.h"
#include "shaders/ShaderProgramSetTexture.h"
#include "shaders/ShaderVariableNode.h"
#include "vfs/VirtualFileSystem.h"
#include "zktest/ZkTestD3D.h"

namespace {

// A texture target and a cube target, besides the screen's depth buffer.
void TargetsOfEachKind(RenderTargetTestBench& b, DeviceSettings& s) {
  b.Add(s, RenderTargetTestBench::kRectangle, 1, 0x1, 64, 64);
  b.Add(s, RenderTargetTestBench::kCube, 1, 0x1, 32);
}

class ShaderCommandRealBanksTest : public testing::Test {
 protected:
  ShaderCommandRealBanksTest() {
    b.bench.context->pVirtualFileSystem = &vfs;
    library = std::make_unique<CShaderLibrary>(b.Renderer(), &b.bench.log, ZK_SCHEME_GEFORCEFX, 0,
                                               folder.Path().c_str());
    folder.Write("test.ssh",
                 "BEGINTECHNIQUE TARGET GEFORCEFX\nBEGINPASS MAIN\n"
                 "TEXTURE T = SYSTEM.TSHADOWMASK\nTEXTURE Q = LIGHT.TSQUARERENDERTEXTURE0\n"
                 "TEXTURE C = MESH.TCUBERENDERTEXTURE0\nMATERIAL MAT = SURFACE.MATERIAL\n"
                 "SETTEXTURE 0 NULL\nSETTEXTURE 1 T\nSETTEXTURE 2 Q\nSETTEXTURE 3 C\n"
                 "SETMATERIAL MAT TRUE\nENDPASS\nENDTECHNIQUE\n");
    CShader* shader = library->CreateShader("test.ssh", nullptr, SHADER_TARGET_MESH, nullptr, 0);
    pass = shader != nullptr ? shader->GetPass(0) : nullptr;
  }

  // The values the declarations' sources would give, stored by hand.
  void Store(const char* name, void* pointer) {
    pass->FindVariable(name)->GetValue()->pValue = pointer;
  }
  // Runs the command lines, after the four declarations, from `first` to `last`.
  void Run(UINT first, UINT last) {
    for (UINT i = first; i <= last; ++i) ASSERT_EQ(pass->GetLine(i)->Execute(), 1u) << i;
  }
  std::array<float, 4> PixelConstant(UINT reg) {
    std::array<float, 4> value{};
    b.Renderer()->GetDevice()->GetPixelShaderConstantF(reg, value.data(), 1);
    return value;
  }
  static std::string Bound(UINT stage, const void* texture) {
    char text[64];
    std::snprintf(text, sizeof text, "SetTexture(%u, %p)", stage, texture);
    return text;
  }

  RenderTargetTestBench b{TargetsOfEachKind};
  TempDir folder;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&b.bench.log, &allocator, nullptr};
  std::unique_ptr<CShaderLibrary> library;
  CShaderPass* pass = nullptr;
};

TEST_F(ShaderCommandRealBanksTest, TexturesAndRenderTargetsReachTheirStages) {
  ASSERT_NE(pass, nullptr) << b.Errors();
  CTextureInterface* texture = b.Renderer()->GetTextureStorageInterface()->CreateTexture(
      "PLAIN", D3DFMT_A8R8G8B8, 16, 16, 1, 0);
  ASSERT_NE(texture, nullptr);
  CTextureRenderTarget* square = b.bank->GetPlainPoolEntry(CRenderTargetBank::kPlainPool, 0);
  CCubeRenderTarget* cube = b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0);
  ASSERT_NE(square, nullptr);
  ASSERT_NE(cube, nullptr);
  Store("T", texture);
  Store("Q", static_cast<CRenderTargetInterface*>(square));
  Store("C", static_cast<CRenderTargetInterface*>(cube));
  b.bench.ForgetCalls();

  Run(4, 7);
  // Stage 0 holds nothing yet, so clearing it needs no call.
  EXPECT_EQ(RendererTestBench::Calls({"SetTexture"}),
            (std::vector<std::string>{Bound(1, texture->GetD3DTexture()),
                                      Bound(2, square->GetD3DTexture()),
                                      Bound(3, cube->GetD3DCubeTexture())}));
  // Bound already: the bank's stage cache keeps the second run off the device.
  b.bench.ForgetCalls();
  Run(4, 7);
  EXPECT_TRUE(RendererTestBench::Calls({"SetTexture"}).empty());

  // Values that hold nothing clear their stages; NULL clears stage 0 once it holds something.
  Store("T", nullptr);
  Store("Q", nullptr);
  Store("C", nullptr);
  texture->Set(0);
  b.bench.ForgetCalls();
  Run(4, 7);
  EXPECT_EQ(RendererTestBench::Calls({"SetTexture"}),
            (std::vector<std::string>{Bound(0, nullptr), Bound(1, nullptr), Bound(2, nullptr),
                                      Bound(3, nullptr)}));
  EXPECT_EQ(b.Errors(), "");
}

TEST_F(ShaderCommandRealBanksTest, AMaterialWithFlagOneLoadsThePixelConstantsOnce) {
  ASSERT_NE(pass, nullptr) << b.Errors();
  auto& bank = static_cast<CMaterialBank&>(*b.Renderer()->GetMaterialStorageInterface());
  D3DCOLORVALUE diffuse = {0.5f, 0.25f, 0.125f, 1.0f}, specular = {1, 1, 1, 0.5f},
                emissive = {0, 0, 0, 0};
  CVector4 additional1 = {1, 2, 3, 4}, additional2 = {5, 6, 7, 8};
  CMaterial* material =
      bank.AddMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
  ASSERT_NE(material, nullptr);
  Store("MAT", static_cast<CMaterialInterface*>(material));
  b.bench.ForgetCalls();
  Run(8, 8);
  EXPECT_EQ(ZkTestD3DCountCalls("SetMaterial"), 1u);
  EXPECT_EQ(PixelConstant(0), (std::array<float, 4>{0.5f, 0.25f, 0.125f, 1.0f}));
  const CVector4& second = *material->GetAdditionalMaterial2();
  EXPECT_EQ(PixelConstant(3), (std::array<float, 4>{second.x, second.y, second.z, second.w}));
  // Loaded already: a second run leaves the registers to whoever wrote them since.
  const std::array<float, 4> marker = {9, 9, 9, 9};
  b.Renderer()->SetPixelShaderConstantF(0, marker.data(), 1);
  Run(8, 8);
  EXPECT_EQ(ZkTestD3DCountCalls("SetMaterial"), 1u);
  EXPECT_EQ(PixelConstant(0), marker);
  EXPECT_EQ(b.Errors(), "");
  material->Release();
}

}  // namespace
