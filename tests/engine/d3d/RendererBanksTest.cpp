// The renderer that builds every bank itself drives them together through a device's life:
// each getter answers its real bank, a reset with objects in use succeeds (the platform refuses
// while default-pool objects live) and leaves each bank as its reset hook says, the frame hands
// the render-target bank its back buffer, and releasing the device leaves nothing alive.
#include <gtest/gtest.h>

#include <functional>

#include "RendererTestBench.h"
#include "d3d/IndexBufferBank.h"
#include "d3d/MaterialBank.h"
#include "d3d/PixelShaderBank.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/TextureBank.h"
#include "d3d/BackBufferRenderTarget.h"
#include "d3d/TextureRenderTarget.h"
#include "d3d/VertexBufferBank.h"
#include "d3d/VertexDeclarationBank.h"
#include "d3d/VertexShaderBank.h"

namespace {

TEST(RendererBanks, EveryBankTheRendererBuildsFollowsTheDevice) {
  const size_t liveBefore = ZkTestD3DLiveObjects();
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, ShaderModel3Card(), 2, false);
  bench.renderer->SetBanks(CD3D9Renderer::Banks{});
  DeviceSettings settings = RendererTestBench::WindowedSettings();
  ConfigureGFXSurface rectangle = {1, SURFACE_KIND_RECTANGLE, 1, 32, 32, 0};
  settings.Descriptors[2] = {{&rectangle}, 1};
  CD3D9Renderer& renderer = *bench.renderer;
  ASSERT_EQ(renderer.Initialize(&settings), 1u);

  struct Getter {
    const char* name;
    std::function<bool()> real;
  };
  const Getter getters[] = {
      {"declarations", [&] { return dynamic_cast<CVertexDeclarationBank*>(renderer.GetVertexDeclarationStorageInterface()); }},
      {"index buffers", [&] { return dynamic_cast<CIndexBufferBank*>(renderer.GetIndexBufferStorageInterface()); }},
      {"vertex shaders", [&] { return dynamic_cast<CVertexShaderBank*>(renderer.GetVertexShaderStorageInterface()); }},
      {"pixel shaders", [&] { return dynamic_cast<CPixelShaderBank*>(renderer.GetPixelShaderStorageInterface()); }},
      {"vertex buffers", [&] { return dynamic_cast<CVertexBufferBank*>(renderer.GetVertexBufferStorageInterface()); }},
      {"materials", [&] { return dynamic_cast<CMaterialBank*>(renderer.GetMaterialStorageInterface()); }},
      {"textures", [&] { return dynamic_cast<CTextureBank*>(renderer.GetTextureStorageInterface()); }},
      {"render targets", [&] { return dynamic_cast<CRenderTargetBank*>(renderer.GetRenderTargetStorageInterface()); }},
  };
  for (const Getter& getter : getters) EXPECT_TRUE(getter.real()) << getter.name;

  auto* declarations = dynamic_cast<CVertexDeclarationBank*>(renderer.GetVertexDeclarationStorageInterface());
  auto* indexBuffers = dynamic_cast<CIndexBufferBank*>(renderer.GetIndexBufferStorageInterface());
  auto* targets = dynamic_cast<CRenderTargetBank*>(renderer.GetRenderTargetStorageInterface());
  D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
  CVertexDeclarationInterface* declaration = declarations->CreateVertexDeclaration(elements);
  ASSERT_NE(declaration, nullptr);
  declaration->Set();
  ASSERT_NE(declarations->GetCurrentDeclaration(), nullptr);

  // In a frame the bank binds the swap chain's back buffer and a target is active at the reset.
  renderer.BeginRendering();
  IDirect3DSurface9* backBuffer = nullptr;
  renderer.GetDevice()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  EXPECT_EQ(targets->GetBackBuffer()->GetSurface(), backBuffer);
  backBuffer->Release();
  CTextureRenderTarget* target = nullptr;
  ASSERT_EQ(targets->GetPlainRenderTarget(&target, SURFACE_KIND_RECTANGLE), 1u);
  ASSERT_EQ(target->SetAsRenderTarget(0, 0), 1u);
  const size_t liveInUse = ZkTestD3DLiveObjects();

  ASSERT_EQ(renderer.Reset(), 1u);
  EXPECT_EQ(declarations->GetCurrentDeclaration(), nullptr);
  EXPECT_NE(indexBuffers->GetDynamicIndexBuffer(), nullptr);
  EXPECT_EQ(targets->GetCurrentRenderTarget(), targets->GetBackBuffer());
  EXPECT_EQ(targets->GetPoolCount(CRenderTargetBank::kPlainPool), 1u);
  EXPECT_EQ(ZkTestD3DLiveObjects(), liveInUse);

  // The end of a frame pops what it left on the stack.
  renderer.BeginRendering();
  ASSERT_EQ(targets->GetPlainRenderTarget(&target, SURFACE_KIND_RECTANGLE), 1u);
  ASSERT_EQ(target->SetAsRenderTarget(0, 0), 1u);
  renderer.EndRendering();
  renderer.Flip(nullptr, 0);
  EXPECT_EQ(targets->GetCurrentRenderTarget(), targets->GetBackBuffer());
  EXPECT_EQ(target->GetLockCount(), 0u);

  renderer.ReleaseDevice();
  bench.device.Release();
  EXPECT_EQ(ZkTestD3DLiveObjects(), liveBefore);
}

}  // namespace
