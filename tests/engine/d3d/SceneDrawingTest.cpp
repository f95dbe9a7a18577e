// What a scene draws by itself, on the renderer's real banks: a light's textured flare, the debug
// overlays with a null's axes, and the sprites of its slots after the scene shader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSceneShaderLibrary.h"
#include "PassesTestScene.h"
#include "RealBanksBench.h"
#include "RecordingScenePasses.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Null.h"
#include "spatial/LightSpatialServices.h"

namespace {

D3DVERTEXELEMENT9 g_billboardLayout[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

// A scene named "level" on the real renderer, with a camera at the origin looking along +Z, a
// point light with a flare in front of it and a null; every debug switch off.
class SceneDrawingTest : public testing::Test {
 protected:
  SceneDrawingTest() {
    CEngineContext* context = GetEngineContext();
    config.wWidth = CD3DTestDevice::kWidth;
    config.wHeight = CD3DTestDevice::kHeight;
    context->pConfig = &config;
    context->pRenderer = &banks.Renderer();
    for (int32_t& value : context->dwDebugSwitches) value = 0;
    context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = -1;
    flareTexture = banks.Renderer().GetTextureStorageInterface()->CreateTexture("flare", D3DFMT_A8R8G8B8, 8, 8, 1, 0);
    passes.flareTexture = flareTexture;
    context->ports.scenePasses.Set(&passes);
    context->ports.lightSpatial.Set(&lightSpatial);

    scene = new PassesTestScene(&banks.Renderer(), &banks.bench.log);
    scene->SetName("level");
    scene->AppendWorldObject(new CCamera(&banks.Renderer(), &banks.bench.log, scene));
    CMotion motion;
    motion.SetNumberOfChannels(3);
    const float position[3] = {0, 0, 5};
    for (UINT i = 0; i < 3; ++i)
      motion.GetChannel(i)->AddKeyData(position[i], 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    CLight::ImportedRecord record;
    record.szName = "lamp";
    record.wType = LIGHT_POINT;
    record.dwIsFlare = 1;
    record.pMotion = &motion;
    record.envelopes[CLight::ENVELOPE_RANGE].fValue = 5.0f;
    record.envelopes[CLight::ENVELOPE_FLARE_SIZE].fValue = 1.0f;
    record.envelopes[CLight::ENVELOPE_INTENSITY].fValue = 1.0f;
    scene->AppendWorldObject(new CLight(&banks.Renderer(), &banks.bench.log, scene, record));
    auto* null = new CNull(&banks.Renderer(), &banks.bench.log);
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
  }
  ~SceneDrawingTest() override { scene->Release(); }

  // One frame as the game draws it, the device calls and log lines before it forgotten.
  void RenderFrame() {
    scene->SetFrame(0);
    scene->PrepareMatrices();
    scene->UpdateHierarchy();
    banks.Renderer().BeginRendering();
    banks.bench.ForgetCalls();
    scene->Render();
  }

  RealBanksBench banks;
  ZeKorbConfig config = {};
  CTextureInterface* flareTexture = nullptr;
  RecordingScenePasses passes;
  CLightSpatialServices lightSpatial{nullptr};
  PassesTestScene* scene = nullptr;
};

TEST_F(SceneDrawingTest, TheFlareIsDrawnWithItsTexture) {
  RenderFrame();
  EXPECT_EQ(banks.bench.Errors(), "");
  EXPECT_EQ(RendererTestBench::Calls({"DrawPrimitive"}), std::vector<std::string>{"DrawPrimitive(5, 0, 2)"});
  const std::vector<std::string> textures = RendererTestBench::Calls({"SetTexture"});
  ASSERT_FALSE(textures.empty());
  EXPECT_EQ(textures.back().rfind("SetTexture(0, 0x", 0), 0u) << textures.back();
}

TEST_F(SceneDrawingTest, TheDebugOverlaysAndANullsAxesDrawWithoutAnError) {
  const EngineDebugSwitch overlays[] = {DEBUG_NULLS, DEBUG_LIGHT_SHAPES, DEBUG_LIGHT_BOUNDS};
  for (EngineDebugSwitch overlay : overlays) banks.bench.context->dwDebugSwitches[overlay] = 1;
  RenderFrame();
  EXPECT_EQ(banks.bench.Errors(), "");
  // The null's three axes are one line list of six vertices.
  const std::vector<std::string> draws = RendererTestBench::Calls({"DrawIndexedPrimitive"});
  EXPECT_NE(std::find(draws.begin(), draws.end(), "DrawIndexedPrimitive(2, 0, 0, 6, 0, 3)"), draws.end());
  EXPECT_GE(draws.size(), 3u);
}

TEST_F(SceneDrawingTest, TheSpritesOfItsSlotsAreDrawnAfterTheSceneShader) {
  FakeSceneShaderLibrary library;
  library.shaderToReturn = reinterpret_cast<CShader*>(&library);
  banks.bench.context->ports.sceneShaders.Set(&library);
  ASSERT_EQ(scene->CreateShader("water.ssh", nullptr, 0, 1), 1u);
  CSpriteInterface* sprite = banks.Renderer().GetSpriteStorageInterface()->CreateSprite(
      "glow", 2, g_billboardLayout, nullptr, 0, nullptr, SPRITE_CAMERA_FACING, 1, 0);
  Vertex corners[4] = {};
  corners[0].vecPosition = {-1, 1, 5};
  corners[1].vecPosition = {1, 1, 5};
  corners[2].vecPosition = {-1, -1, 5};
  corners[3].vecPosition = {1, -1, 5};
  sprite->AddIntoQuad(1, &corners[0], &corners[1], &corners[2], &corners[3]);
  scene->AddSprite(sprite);
  EXPECT_EQ(sprite->GetScene(), scene);
  RenderFrame();
  EXPECT_EQ(banks.bench.Errors(), "");
  EXPECT_EQ(RendererTestBench::Calls({"DrawIndexedPrimitive"}),
            std::vector<std::string>{"DrawIndexedPrimitive(4, 0, 0, 4, 0, 2)"});
  // The billboard's centre went through the camera's view: it lies 5 in front of it. (Drawn
  // again: the flare drawn after it took the dynamic buffer.)
  sprite->Draw(-1.0f);
  IDirect3DVertexBuffer9* buffer = banks.Renderer().GetVertexBufferStorageInterface()->GetDynamicVertexBuffer();
  void* data = nullptr;
  ASSERT_EQ(buffer->Lock(0, 20, &data, D3DLOCK_READONLY), D3D_OK);
  EXPECT_NEAR(static_cast<const float*>(data)[2], 5.0f, 1e-4);
  buffer->Unlock();
}

}  // namespace
