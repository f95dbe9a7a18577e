// The surface editor's preview drawn for real: the material sphere rendered by the default coded
// path on the GL back end into the preview target, read back.
#include <gtest/gtest.h>

#include <vector>

#include "EditorBench.h"
#include "console/SurfaceEditor.h"
#include "d3d/TextureRenderTarget.h"
#include "shaders/GenericPass.h"
#include "spatial/MeshSpatialServices.h"
#include "startup/EngineScenePasses.h"

namespace {

int Red(D3DCOLOR c) { return (c >> 16) & 0xFF; }
int Green(D3DCOLOR c) { return (c >> 8) & 0xFF; }
int Blue(D3DCOLOR c) { return c & 0xFF; }
int Brightness(D3DCOLOR c) { return Red(c) + Green(c) + Blue(c); }

// The engine's drawing paths as start-up registers them: scene passes, the coded path and the
// meshes' bound volumes.
class SurfaceEditorPreviewPixelsTest : public ::testing::Test {
 protected:
  SurfaceEditorPreviewPixelsTest() {
    passes.Attach(GetEngineContext(), bench.Renderer());
    EnginePorts& ports = GetEngineContext()->ports;
    ports.scenePasses.Set(&passes);
    ports.genericPass.Set(&pass);
    ports.meshSpatial.Set(&spatial);
  }
  ~SurfaceEditorPreviewPixelsTest() override {
    editor.reset();
    EnginePorts& ports = GetEngineContext()->ports;
    ports.meshSpatial.Reset();
    ports.genericPass.Reset();
    ports.scenePasses.Reset();
  }

  EditorBench bench{{.backend = ZK_D3D_BACKEND_GL}};
  CEngineScenePasses passes;
  CGenericPass pass{bench.Renderer(), bench.Log()};
  CMeshSpatialServices spatial{bench.Log(), nullptr};
  std::unique_ptr<CSurfaceEditor> editor;
};

TEST_F(SurfaceEditorPreviewPixelsTest, TheLitSphereShowsInThePreviewTarget) {
  ASSERT_TRUE(bench.console->started) << bench.Errors();
  editor = std::make_unique<CSurfaceEditor>(bench.Windows(), bench.Log());
  CSurfaceInterface* surface = bench.AddSurface("brick");
  float brick[3] = {1.0f, 0.7f, 0.4f};
  surface->SetColor(brick);
  surface->SetMaterialValue(1, 1.0f);  // fully diffuse
  editor->Show(surface);
  EXPECT_EQ(bench.Errors(), "");
  CTextureRenderTarget* target = editor->GetPreviewTarget();
  ASSERT_NE(target, nullptr);

  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(target->GetD3DTexture()->GetSurfaceLevel(0, &level), D3D_OK);
  const std::vector<D3DCOLOR> pixels = bench.renderer.device.ReadPixels(level);
  level->Release();
  ASSERT_EQ(pixels.size(), 32u * 32u);
  auto at = [&](UINT x, UINT y) { return CD3DTestDevice::At(pixels, x, y, 32); };

  // The corners keep the scene's grey background.
  for (auto [x, y] : {std::pair{0u, 0u}, {31u, 0u}, {0u, 31u}, {31u, 31u}})
    EXPECT_TRUE(ColorNear(at(x, y), 0x7F7F7F)) << x << ", " << y << ": " << std::hex << at(x, y);
  // The centre shows the surface: brighter than the background, its red leading.
  const D3DCOLOR centre = at(16, 16);
  EXPECT_GT(Brightness(centre), Brightness(0x7F7F7F)) << std::hex << centre;
  EXPECT_GT(Red(centre), Green(centre) + 0x30) << std::hex << centre;
  EXPECT_GT(Green(centre), Blue(centre) + 0x30) << std::hex << centre;
  // The light comes from the upper left and in front: that side is lit well beyond the lower
  // right, which keeps the ambient share of the same colour.
  const D3DCOLOR lit = at(12, 11), far = at(20, 22);
  EXPECT_GT(Brightness(lit), Brightness(far) * 3 / 2) << std::hex << lit << " vs " << far;
  EXPECT_GT(Red(far), Blue(far) + 0x30) << std::hex << far;
  // Round in the square target: as wide through the centre as it is tall.
  int wide = 0, tall = 0;
  for (UINT i = 0; i < 32; ++i) {
    wide += !ColorNear(at(i, 16), 0x7F7F7F);
    tall += !ColorNear(at(16, i), 0x7F7F7F);
  }
  EXPECT_GT(wide, 8);
  EXPECT_NEAR(wide, tall, 1);
  bench.Click(CSurfaceEditor::Widget("/OK"));
  EXPECT_EQ(editor->GetPreviewTarget(), nullptr);
}

}  // namespace
