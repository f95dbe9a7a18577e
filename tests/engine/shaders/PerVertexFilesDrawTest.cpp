// The per-vertex default shader files drawing a scene in rendering profile 1 on the GL back end,
// offscreen, read back at probe pixels.
#include <gtest/gtest.h>

#include <memory>

#include "GenericPassScene.h"
#include "RecordingAllocator.h"
#include "WorkingFolderScope.h"
#include "shaders/PerVertexPass.h"
#include "shaders/ShaderLibrary.h"
#include "vfs/VirtualFileSystem.h"

namespace {

class PerVertexFilesDrawTest : public ::testing::Test {
 protected:
  PerVertexFilesDrawTest() {
    CEngineContext& context = *GetEngineContext();
    context.pVirtualFileSystem = &vfs;
    library = std::make_unique<CShaderLibrary>(&world.banks.Renderer(), &world.banks.bench.log,
                                               ZK_SCHEME_RADEON9700, 0, ZK_DEFAULT_SHADERS_DIR);
    context.ports.meshShaders.Set(library.get());
    context.ports.surfaceShaders.Set(library.get());
    context.ports.sceneShaders.Set(library.get());
    world.scene->SetLightingModel(1);
    world.scene->SetShadowMode(1);
  }
  ~PerVertexFilesDrawTest() override {
    CEngineContext& context = *GetEngineContext();
    context.ports.meshShaders.Reset();
    context.ports.surfaceShaders.Reset();
    context.ports.sceneShaders.Reset();
  }

  // Gives the mesh and its surface the files the default assignment picks.
  void Shade(CMesh* mesh) {
    ASSERT_EQ(library->ApplyDefaultShaderForMesh(mesh), 1u) << world.banks.bench.Errors();
    auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(0));
    ASSERT_EQ(library->ApplyDefaultShaderForSurface(surface), 1u) << world.banks.bench.Errors();
  }

  std::vector<D3DCOLOR> Draw() {
    CD3D9Renderer& renderer = world.banks.Renderer();
    renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL | ZK_CLEAR_NO_FRAME_LIMIT,
                   0x000000FF);
    renderer.BeginRendering();
    world.scene->SetActiveCamera(0);
    EXPECT_EQ(passes.Render(world.scene, 1), 1u);
    renderer.EndRendering();
    EXPECT_EQ(world.banks.bench.Errors(), "");
    return world.banks.bench.device.ReadBackBuffer();
  }

  GenericPassScene world{ZK_D3D_BACKEND_GL};
  WorkingFolderScope workingFolder{ZK_DEFAULT_SHADERS_DIR};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&world.banks.bench.log, &allocator, nullptr};
  std::unique_ptr<CShaderLibrary> library;
  CPerVertexPass passes{&world.banks.Renderer(), library.get(), &world.banks.bench.log};
};

TEST_F(PerVertexFilesDrawTest, ATexturedCubeShowsItsTextureLitByAmbientAndTheLight) {
  world.light->GetD3DLightProperties()->Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  Shade(world.AddBox("cube", CVector3(0.0f, 0.0f, 5.0f), 0.5f,
                     world.SolidTexture("red", 0xFFFF0000)));
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const D3DCOLOR cube = CD3DTestDevice::At(pixels, 32, 32);
  EXPECT_GT(int((cube >> 16) & 0xFF), 120) << std::hex << cube;
  EXPECT_LT(int((cube >> 8) & 0xFF), 24) << std::hex << cube;
  EXPECT_LT(int(cube & 0xFF), 24) << std::hex << cube;
  EXPECT_EQ(CD3DTestDevice::At(pixels, 2, 2) & 0xFFFFFF, 0x0000FFu) << "background";
}

}  // namespace
