// The per-vertex default shader files drawing a scene in rendering profile 1 on the GL back end,
// offscreen, read from the packed shader archive and read back at probe pixels: a texture shows, a point light falls off.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GenericPassScene.h"
#include "RecordingAllocator.h"
#include "shaders/PerVertexPass.h"
#include "shaders/ShaderLibrary.h"
#include "spatial/LightSpatialServices.h"
#include "vfs/VirtualFileSystem.h"

namespace {

class PerVertexFilesDrawTest : public ::testing::Test {
 protected:
  PerVertexFilesDrawTest() {
    CEngineContext& context = *GetEngineContext();
    context.pVirtualFileSystem = &vfs;
    // Read from the packed archive as the game mounts it, not from a loose folder.
    EXPECT_NE(vfs.AddVirtualDisk(ZK_SHADER_ARCHIVE, 1, 0, 0, nullptr), VFS_NOT_FOUND);
    mountLog = world.banks.bench.Errors();  // the mount logs its member count at this level
    library = std::make_unique<CShaderLibrary>(&world.banks.Renderer(), &world.banks.bench.log,
                                               ZK_SCHEME_RADEON9700, 0, "no-loose-shaders");
    context.ports.meshShaders.Set(library.get());
    context.ports.surfaceShaders.Set(library.get());
    context.ports.sceneShaders.Set(library.get());
    context.ports.lightSpatial.Set(&lightVolumes);
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
    EXPECT_EQ(world.banks.bench.Errors(), mountLog);
    return world.banks.bench.device.ReadBackBuffer();
  }

  GenericPassScene world{ZK_D3D_BACKEND_GL};
  CLightSpatialServices lightVolumes{&world.banks.bench.log};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&world.banks.bench.log, &allocator, nullptr};
  std::string mountLog;
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

// A volume every camera sees, with the corners of the box from `low` to `high`.
class CornerVolume final : public FakeMeshBoundVolume {
 public:
  CornerVolume(const CVector3& low, const CVector3& high) {
    for (int c = 0; c < 8; ++c)
      corners[c] = CVector4((c & 1) ? high.x : low.x, (c & 2) ? high.y : low.y,
                            (c & 4) ? high.z : low.z, 1.0f);
  }
  CVector4* GetPoints() override { return corners; }
  CVector4 corners[8];
};

int Brightness(D3DCOLOR colour) {
  return int((colour >> 16) & 0xFF) + int((colour >> 8) & 0xFF) + int(colour & 0xFF);
}

TEST_F(PerVertexFilesDrawTest, AWallIsBrighterNearAPointLight) {
  // A point light off to the left in front of the wall, instead of the distant light; the wall
  // is lit at its corners, so the light falls off across it from left to right.
  CLight& lamp = *world.light;
  lamp.SetType(LIGHT_POINT);
  lamp.SetPosition(CVector3(-4.0f, 0.0f, 6.0f));
  lamp.GetRangeEnvelope(0)->SetValue(30.0f);
  lamp.FinishLoaded();
  lamp.PrepareMatrices(0.0f);
  lamp.UpdateHierarchy(0.0f);
  D3DLIGHT9& record = *lamp.GetD3DLightProperties();
  record.Attenuation0 = 1.0f;
  world.scene->SetAmbientColor(0x101010);
  CornerVolume wallVolume(CVector3(-2.0f, -2.0f, 8.0f), CVector3(2.0f, 2.0f, 12.0f));
  world.spatial.boundVolume = &wallVolume;
  Shade(world.AddBox("wall", CVector3(0.0f, 0.0f, 10.0f), 2.0f, nullptr));
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const int nearLight = Brightness(CD3DTestDevice::At(pixels, 21, 32));
  const int farFromIt = Brightness(CD3DTestDevice::At(pixels, 43, 32));
  EXPECT_GT(nearLight, farFromIt + 20) << nearLight << " vs " << farFromIt;
}

}  // namespace
