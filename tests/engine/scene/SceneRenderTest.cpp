#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "EngineContextScope.h"
#include "FakeBoxBoundVolume.h"
#include "FakeEngineTexture.h"
#include "FakeMeshSpatial.h"
#include "FakeOctreeMesh.h"
#include "FakeSceneMesh.h"
#include "FakeSceneShaderLibrary.h"
#include "FakeSprite.h"
#include "PassesTestScene.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingOctreeDrawing.h"
#include "RecordingGenericPass.h"
#include "RecordingScenePasses.h"
#include "TestScene.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"
#include "scene/SceneOverlays.h"
#include "spatial/LightSpatialServices.h"

namespace {

constexpr const char* kUnknownProfile = "WARNING!!! - Unknown Rendering Profile\n";
constexpr const char* kNoCamera =
    "WARNING!!! - No Active Camera In The Scene: level, Flares And Sprites Are Not Drawn\n";

std::vector<std::string> Only(const std::vector<std::string>& calls, const std::string& prefix) {
  std::vector<std::string> kept;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0) kept.push_back(call);
  return kept;
}

int Count(const std::string& text, const std::string& needle) {
  int count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++count;
  return count;
}

CMatrix Translation(float x, float y, float z) {
  CMatrix matrix;
  matrix.SetMove(x, y, z);
  return matrix;
}

// Constant position channels.
void PlaceMotion(CMotion& motion, const CVector3& position) {
  motion.SetNumberOfChannels(3);
  const float values[3] = {position.x, position.y, position.z};
  for (UINT i = 0; i < 3; ++i)
    motion.GetChannel(i)->AddKeyData(values[i], 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
}

// A renderer, a log, recording passes with a flare texture and a scene named "level" with one
// camera at the origin looking along +Z; every debug display switch off.
class SceneRenderTest : public ::testing::Test {
 protected:
  SceneRenderTest() {
    config.wWidth = 640;
    config.wHeight = 480;
    context->pConfig = &config;
    context->pActiveScene = nullptr;
    for (int32_t& value : context->dwDebugSwitches) value = 0;
    context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = -1;
    passes.flareTexture = &flareTexture;
    context->ports.scenePasses.Set(&passes);
    context->ports.lightSpatial.Set(&lightSpatial);
    scene = MakeScene();
    camera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(camera);
  }
  ~SceneRenderTest() override { scene->Release(); }

  PassesTestScene* MakeScene() {
    auto* made = new PassesTestScene(&renderer, &log);
    made->SetName("level");
    return made;
  }
  // A light as a loaded scene makes it, placed by its motion.
  CLight* AddLight(WORD type, const CVector3& position, UINT flare, float range = 5.0f) {
    CMotion motion;
    PlaceMotion(motion, position);
    CLight::ImportedRecord record;
    record.szName = type == LIGHT_DISTANT ? "sun" : "lamp";
    record.wType = type;
    record.dwIsFlare = flare;
    record.pMotion = &motion;
    record.envelopes[CLight::ENVELOPE_RANGE].fValue = range;
    record.envelopes[CLight::ENVELOPE_FLARE_SIZE].fValue = 1.0f;
    record.envelopes[CLight::ENVELOPE_INTENSITY].fValue = 1.0f;
    auto* light = new CLight(&renderer, &log, scene, record);
    scene->AppendWorldObject(light);
    return light;
  }
  CNull* AddNull() {
    auto* null = new CNull(&renderer, &log);
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
    return null;
  }
  FakeSceneMesh* AddFakeMesh(float z) {
    auto* mesh = new FakeSceneMesh(scene, &box);
    mesh->PlaceAt(0, 0, z);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  void RunFrame(float frame) {
    scene->SetFrame(frame);
    scene->PrepareMatrices();
    scene->UpdateHierarchy();
  }
  // One frame as the game draws it; only what Render asks is kept.
  void RenderFrame(float frame) {
    RunFrame(frame);
    renderer.calls.clear();
    renderer.transforms.clear();
    renderer.draws.clear();
    renderer.primitives.clear();
    passes.calls.clear();
    scene->Render();
  }
  std::vector<UINT> DrawnVertexCounts() const {
    std::vector<UINT> counts;
    for (const auto& draw : renderer.draws) counts.push_back(draw.vertexCount);
    return counts;
  }
  std::vector<CMatrix> WorldTransforms() const {
    std::vector<CMatrix> worlds;
    for (const auto& [state, matrix] : renderer.transforms)
      if (state == 256) worlds.push_back(matrix);
    return worlds;
  }

  EngineContextScope context;
  ZeKorbConfig config = {};
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  RecordingScenePasses passes;
  FakeEngineTexture flareTexture;
  CLightSpatialServices lightSpatial{nullptr};
  FakeBoxBoundVolume box{CVector3(-1, -1, -1), CVector3(1, 1, 1)};
  PassesTestScene* scene = nullptr;
  CCamera* camera = nullptr;
};

// --- drawing path ---

TEST_F(SceneRenderTest, RenderingProfileChoosesThePathAndFlaresFollowEach) {
  struct Case {
    UINT profile;
    bool sceneShader;
    std::vector<std::string> passCalls;
  };
  const Case cases[] = {
      {0, false, {"generic level"}}, {0, true, {"shader level 0"}}, {1, false, {"per-vertex 1"}},
      {2, true, {"per-vertex 2"}},   {10, false, {"per-pixel 10"}}, {11, false, {"per-pixel 11"}},
      {12, false, {"per-pixel 12"}}, {13, true, {"per-pixel 13"}},  {3, false, {}},
      {14, false, {}},
  };
  FakeSceneShaderLibrary library;
  library.shaderToReturn = reinterpret_cast<CShader*>(&library);
  context->ports.sceneShaders.Set(&library);
  for (const Case& c : cases) {
    PassesTestScene* drawn = MakeScene();
    drawn->AppendWorldObject(new CCamera(&renderer, &log, drawn));
    ASSERT_EQ(drawn->SetActiveCamera(0), 1u);
    if (c.sceneShader) {
      ASSERT_EQ(drawn->CreateShader("water.ssh", nullptr, 0, 1), 1u);
    }
    drawn->SetShadowMode(c.profile);
    passes.calls.clear();
    renderer.calls.clear();
    log.entries.clear();
    drawn->Render();
    drawn->Render();
    std::vector<std::string> twice = c.passCalls;
    twice.insert(twice.end(), c.passCalls.begin(), c.passCalls.end());
    EXPECT_EQ(passes.calls, twice) << c.profile;
    EXPECT_EQ(Only(renderer.calls, "state 137"),
              (std::vector<std::string>{"state 137=0", "state 137=1", "state 137=0",
                                        "state 137=1"}))
        << c.profile;
    const bool known = !c.passCalls.empty();
    const std::string warnings = known ? "" : std::string(kUnknownProfile) + kUnknownProfile;
    EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), warnings) << c.profile;
    if (!known) {
      EXPECT_EQ(log.entries[0].source, "ZK3DRender");
    }
    drawn->Release();
  }
  EXPECT_EQ(passes.shaders.front(), library.shaderToReturn);
}

TEST_F(SceneRenderTest, TheDefaultCodedPathsFlaresAreNotDrawnASecondTime) {
  // With the default coded path present, profile 0 without a scene shader leaves the flares to
  // it; the other paths still get them from the scene's render entry.
  RecordingGenericPass generic;
  context->ports.genericPass.Set(&generic);
  for (UINT profile : {0u, 1u}) {
    PassesTestScene* drawn = MakeScene();
    drawn->AppendWorldObject(new CCamera(&renderer, &log, drawn));
    ASSERT_EQ(drawn->SetActiveCamera(0), 1u);
    drawn->SetShadowMode(profile);
    renderer.calls.clear();
    drawn->Render();
    EXPECT_EQ(Only(renderer.calls, "state 137").size(), profile == 0 ? 0u : 2u) << profile;
    drawn->Release();
  }
}

TEST_F(SceneRenderTest, RenderingProfileLibraryDrawsInsteadOfTheScenePathsAndFlares) {
  AddLight(LIGHT_POINT, CVector3(0, 0, 5), 1);
  FakeSceneMesh* mesh = AddFakeMesh(10.0f);
  context->dwDebugSwitches[DEBUG_MESH_BOXES] = 1;
  passes.useProfile = true;
  RenderFrame(0.0f);
  EXPECT_EQ(passes.calls, (std::vector<std::string>{"profile level", "default states"}));
  EXPECT_TRUE(renderer.primitives.empty());
  EXPECT_TRUE(Only(renderer.calls, "state 137").empty());
  EXPECT_EQ(mesh->boundVolumeDrawings, 1);
}

TEST_F(SceneRenderTest, SpritesAreDrawnOnlyAfterTheSceneShaderAndWithACamera) {
  FakeSprite first("first"), second("second"), gone("gone");
  scene->AddSprite(&first);
  scene->AddSprite(&gone);
  scene->AddSprite(&second);
  scene->RemoveSprite(&gone);

  RenderFrame(0.0f);  // the default path draws no sprites
  EXPECT_TRUE(first.drawFrames.empty());

  FakeSceneShaderLibrary library;
  library.shaderToReturn = reinterpret_cast<CShader*>(&library);
  context->ports.sceneShaders.Set(&library);
  ASSERT_EQ(scene->CreateShader("water.ssh", nullptr, 0, 1), 1u);
  RenderFrame(1.0f);
  EXPECT_EQ(first.drawFrames, std::vector<float>{-1.0f});
  EXPECT_EQ(second.drawFrames, std::vector<float>{-1.0f});
  EXPECT_TRUE(gone.drawFrames.empty());

  // Sprites are placed by the active camera: without one they wait, logged once.
  EXPECT_EQ(scene->SetActiveCamera(1), 0u);
  scene->Render();
  scene->Render();
  EXPECT_EQ(first.drawFrames.size(), 1u);
  EXPECT_EQ(passes.calls, (std::vector<std::string>{"shader level 1", "shader level 1",
                                                    "shader level 1"}));
  EXPECT_EQ(Count(log.TextAt(CEngineLog::kLevelError), kNoCamera), 1);
}

// --- flares ---

TEST_F(SceneRenderTest, FlareIsDrawnFacingTheCameraWithItsStateSequence) {
  camera->SetRotation(CVector3(0.5f, 0.0f, 0.0f));
  CLight* lamp = AddLight(LIGHT_POINT, CVector3(1, 2, 3), 1);
  AddLight(LIGHT_POINT, CVector3(4, 5, 6), 0);  // no flare: draws nothing, sets nothing
  RenderFrame(0.0f);

  EXPECT_EQ(renderer.calls,
            (std::vector<std::string>{
                "state 27=1", "state 14=0", "state 19=2", "state 20=2", "state 137=0",
                "transform 256", "fvf 450", "vertex shader null", "pixel shader null",
                "stage 0 1=4", "stage 0 2=0", "stage 0 3=2", "stage 0 4=4", "stage 0 5=0",
                "stage 0 6=2", "stage 1 1=1", "stage 1 4=1", "primitive", "state 137=1",
                "state 19=5", "state 20=2", "state 14=1", "state 27=0"}));
  EXPECT_EQ(flareTexture.stagesSet, std::vector<WORD>{0});
  ASSERT_EQ(renderer.transforms.size(), 1u);
  EXPECT_EQ(renderer.transforms[0].second,
            *camera->GetCurrentRotationMatrix() * Translation(1, 2, 3));
  ASSERT_EQ(renderer.primitives.size(), 1u);
  const auto& strip = renderer.primitives[0];
  EXPECT_EQ(strip.type, 5u);
  EXPECT_EQ(strip.primitiveCount, 2u);
  EXPECT_EQ(strip.vertexCount, 4u);
  EXPECT_EQ(strip.stride, 28u);
  ASSERT_EQ(strip.vertexBytes.size(), 4u * 28u);
  EXPECT_EQ(std::memcmp(strip.vertexBytes.data(), lamp->GetFlareQuad(), 4 * 28), 0);
  // The quad of a flare size of 1.0 spans 20 units each way.
  EXPECT_EQ(lamp->GetFlareQuad()[3].x, 20.0f);
}

TEST_F(SceneRenderTest, FrameWithoutCameraSkipsFlaresAndSaysSoOnce) {
  AddLight(LIGHT_POINT, CVector3(0, 0, 5), 1);
  RunFrame(0.0f);
  EXPECT_EQ(scene->SetActiveCamera(3), 0u);
  renderer.primitives.clear();
  scene->Render();
  scene->Render();
  EXPECT_TRUE(renderer.primitives.empty());
  EXPECT_EQ(passes.calls, (std::vector<std::string>{"generic level", "generic level"}));
  const std::string missing = "WARNING!!! - Trying To Set A NonExisting Camera (3) In The Scene: level (1)\n";
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), missing + kNoCamera);

  // Once the camera is back the flares are too; losing it again is reported again.
  RenderFrame(1.0f);
  EXPECT_EQ(renderer.primitives.size(), 1u);
  scene->SetActiveCamera(3);
  scene->Render();
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), missing + kNoCamera + missing + kNoCamera);
}

// --- debug overlays ---

TEST_F(SceneRenderTest, OverlaysResetThePipelineOnlyWhenSwitchedOn) {
  RenderFrame(0.0f);
  EXPECT_EQ(passes.calls, std::vector<std::string>{"generic level"});
  context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = 4;
  RenderFrame(0.0f);
  EXPECT_EQ(passes.calls, (std::vector<std::string>{"generic level", "default states"}));
  // No octree yet: the cell cannot be found.
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "WARNING!!! - OctreeBox With ID: 4 Aint Exist\n");
  context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = -1;
  context->dwDebugSwitches[DEBUG_OCTREE_BOX_AT_POINT] = 1;
  log.entries.clear();
  RenderFrame(0.0f);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "ERROR! - Can't Find Octree Box\n");
}

TEST_F(SceneRenderTest, OverlayModeChoosesDepthTesting) {
  FakeSceneMesh* mesh = AddFakeMesh(10.0f);
  const std::vector<std::string> on = {"state 27=1", "state 19=5", "state 20=2", "state 22=1",
                                       "state 14=0"};
  const std::vector<std::string> stages = {"stage 0 1=2", "stage 0 4=2"};
  const std::vector<std::string> off = {"stage 0 1=4", "stage 0 4=4", "state 27=0", "state 19=2",
                                        "state 20=2", "state 22=3", "state 14=1"};
  std::vector<std::string> withDepth = on;
  withDepth.insert(withDepth.end(), stages.begin(), stages.end());
  withDepth.insert(withDepth.end(), off.begin(), off.end());
  std::vector<std::string> onTop = on;
  onTop.push_back("state 7=0");
  onTop.insert(onTop.end(), stages.begin(), stages.end());
  onTop.insert(onTop.end(), off.begin(), off.end());
  onTop.push_back("state 7=1");

  CSceneOverlays overlays(*scene, nullptr);
  for (const auto& [mode, expected] :
       std::vector<std::pair<int, std::vector<std::string>>>{{1, withDepth}, {2, onTop}, {3, {}}}) {
    context->dwDebugSwitches[DEBUG_MESH_BOXES] = mode;
    renderer.calls.clear();
    overlays.Draw(&CScenePasses::Default());
    EXPECT_EQ(renderer.calls, expected) << mode;
  }
  EXPECT_EQ(mesh->boundVolumeDrawings, 2);
}

TEST_F(SceneRenderTest, EachOverlayDrawsItsObjectsWhenSwitchedOn) {
  FakeSceneMesh* mesh = AddFakeMesh(10.0f);
  CLight* sun = AddLight(LIGHT_DISTANT, CVector3(), 0);
  CLight* lamp = AddLight(LIGHT_POINT, CVector3(0, 3, 0), 0);
  CLight* dark = AddLight(LIGHT_POINT, CVector3(0, 6, 0), 0);
  dark->SetIsActive(0);
  CNull* null = AddNull();
  null->SetPosition(CVector3(7, 0, 0));
  RunFrame(0.0f);
  ASSERT_NE(lamp->GetBoundVolume(), nullptr);
  RecordingOctreeDrawing octree;
  octree.points = {CVector3(1, 2, 3)};
  octree.ids = {9};
  context->vecOverlayPoint = CVector3(1, 2, 3);

  struct Case {
    EngineDebugSwitch which;
    int value;
    std::vector<UINT> drawnVertexCounts;
    std::vector<CMatrix> worlds;
    std::vector<std::string> octreeCalls;
  };
  const CMatrix meshWorld = Translation(0, 0, 10);
  const CMatrix lampWorld = *lamp->GetCurrentMatrix();
  const CMatrix darkWorld = *dark->GetCurrentMatrix();
  const Case cases[] = {
      // Solid and wire passes of each box.
      {DEBUG_MESH_FRAME_BOXES, 1, {8, 8}, {meshWorld}, {}},
      {DEBUG_MESH_BOXES, 1, {}, {}, {}},
      {DEBUG_BONES, 2, {}, {}, {}},
      {DEBUG_LIGHT_BOUNDS, 1, {8, 8, 8, 8}, {lampWorld, darkWorld}, {}},
      // The sun's lamp figure and the active point light's axes.
      {DEBUG_LIGHT_SHAPES, 1, {12, 6}, {*sun->GetCurrentMatrix(), lampWorld}, {}},
      {DEBUG_OCTREE_BOXES, 1, {}, {}, {"boxes"}},
      {DEBUG_OCTREE_BOX_AT_POINT, 2, {}, {}, {"box at point"}},
      {DEBUG_NULLS, 1, {6}, {Translation(7, 0, 0)}, {}},
      {DEBUG_OCTREE_BOX_ID, 9, {}, {}, {"box 9"}},
  };
  for (const Case& c : cases) {
    for (int32_t& value : context->dwDebugSwitches) value = 0;
    context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = -1;
    context->dwDebugSwitches[c.which] = c.value;
    renderer.draws.clear();
    renderer.transforms.clear();
    octree.calls.clear();
    mesh->boneDrawings = mesh->boundVolumeDrawings = 0;
    CSceneOverlays(*scene, &octree).Draw(&passes);
    EXPECT_EQ(DrawnVertexCounts(), c.drawnVertexCounts) << c.which;
    EXPECT_EQ(WorldTransforms(), c.worlds) << c.which;
    EXPECT_EQ(octree.calls, c.octreeCalls) << c.which;
    EXPECT_EQ(mesh->boundVolumeDrawings, c.which == DEBUG_MESH_BOXES ? 1 : 0) << c.which;
    EXPECT_EQ(mesh->boneDrawings, c.which == DEBUG_BONES ? 1 : 0) << c.which;
  }
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "");
}

// --- a whole scene over several frames ---

// Two meshes (one hanging from an animated null), a camera, a distant and a point light with a
// flare: what reaches the renderer frame by frame, and a frame after the camera is lost.
TEST_F(SceneRenderTest, AnimatedSceneReachesTheRendererFrameByFrame) {
  FakeMeshSpatial meshSpatial;
  meshSpatial.boundVolume = &box;
  context->ports.meshSpatial.Set(&meshSpatial);
  CNull* parent = AddNull();
  CMotion* motion = parent->GetMotion(0.0f);
  motion->SetNumberOfChannels(6);
  motion->GetChannel(MOTION_POSITION_X)->AddKeyData(0, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  motion->GetChannel(MOTION_POSITION_X)->AddKeyData(10, 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  auto* child = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(child);
  child->SetParentObject(parent);
  child->SetPosition(CVector3(0, 0, 10));
  child->RebuildBoundVolume();
  auto* far = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(far);
  far->SetPosition(CVector3(3, 0, 20));
  far->RebuildBoundVolume();
  CLight* sun = AddLight(LIGHT_DISTANT, CVector3(), 0);
  CLight* lamp = AddLight(LIGHT_POINT, CVector3(0, 0, 12), 1, 5.0f);
  context->dwDebugSwitches[DEBUG_MESH_FRAME_BOXES] = 1;
  context->dwDebugSwitches[DEBUG_NULLS] = 2;

  for (float frame : {0.0f, 1.0f, 2.0f}) {
    SCOPED_TRACE(frame);
    RenderFrame(frame);
    EXPECT_EQ(passes.calls, (std::vector<std::string>{"generic level", "default states"}));
    // Flare, the two frame boxes (solid and wire each), then the null's axes.
    EXPECT_EQ(WorldTransforms(),
              (std::vector<CMatrix>{*camera->GetCurrentRotationMatrix() * Translation(0, 0, 12),
                                    Translation(frame, 0, 10), Translation(3, 0, 20),
                                    Translation(frame, 0, 0)}));
    EXPECT_EQ(renderer.primitives.size(), 1u);
    EXPECT_EQ(DrawnVertexCounts(), (std::vector<UINT>{8, 8, 8, 8, 6}));
    EXPECT_EQ(Only(renderer.calls, "state 7="), (std::vector<std::string>{"state 7=0", "state 7=1"}));
    // Farthest first.
    ASSERT_EQ(camera->GetNumberOfVisibleMeshes(), 2u);
    EXPECT_EQ(camera->GetVisibleMesh(0), far);
    EXPECT_EQ(camera->GetVisibleMesh(1), child);
    EXPECT_EQ(camera->GetNumberOfVisibleLights(), 2u);
    EXPECT_EQ(sun->GetNumberOfVisibleMeshes(), 2u);
    ASSERT_EQ(lamp->GetNumberOfVisibleMeshes(), 1u);
    EXPECT_EQ(lamp->GetVisibleMesh(0), child);
    EXPECT_EQ(lamp->GetVisibilityStamp(), frame);
  }

  EXPECT_EQ(scene->SetActiveCamera(1), 0u);
  renderer.calls.clear();
  renderer.primitives.clear();
  renderer.draws.clear();
  passes.calls.clear();
  scene->Render();
  EXPECT_TRUE(renderer.primitives.empty());
  EXPECT_EQ(passes.calls, (std::vector<std::string>{"generic level", "default states"}));
  EXPECT_EQ(DrawnVertexCounts(), (std::vector<UINT>{8, 8, 8, 8, 6}));
  EXPECT_EQ(Count(log.TextAt(CEngineLog::kLevelError), kNoCamera), 1);

  scene->Release();
  scene = MakeScene();
  context->ports.meshSpatial.Reset();
}

// A mesh released after the frame's visibility was collected leaves the camera's and the
// lights' lists at once: drawing the frame reaches only what is still in the scene.
TEST_F(SceneRenderTest, AMeshReleasedAfterCollectingLeavesEveryVisibleList) {
  FakeMeshSpatial meshSpatial;
  meshSpatial.boundVolume = &box;
  context->ports.meshSpatial.Set(&meshSpatial);
  auto* kept = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(kept);
  kept->SetPosition(CVector3(0, 0, 10));
  kept->RebuildBoundVolume();
  auto* released = new CMesh(&renderer, &log, scene, 0);
  scene->AppendWorldObject(released);
  released->SetPosition(CVector3(0, 0, 11));
  released->RebuildBoundVolume();
  CLight* sun = AddLight(LIGHT_DISTANT, CVector3(), 0);
  context->dwDebugSwitches[DEBUG_MESH_FRAME_BOXES] = 1;
  RunFrame(0.0f);
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 2u);
  EXPECT_EQ(sun->GetNumberOfVisibleMeshes(), 2u);

  // No assertion returns early from here: the scene must be released while the fake lives.
  released->Release();
  EXPECT_EQ(camera->GetNumberOfVisibleMeshes(), 1u);
  EXPECT_EQ(camera->GetVisibleMesh(0), kept);
  EXPECT_EQ(sun->GetNumberOfVisibleMeshes(), 1u);
  EXPECT_EQ(sun->GetVisibleMesh(0), kept);
  renderer.draws.clear();
  scene->Render();
  EXPECT_EQ(DrawnVertexCounts(), (std::vector<UINT>{8, 8}));  // the kept mesh's frame box only

  scene->Release();
  scene = MakeScene();
  context->ports.meshSpatial.Reset();
}

// The octree overlays draw the cells of the scene's own octree through the render entry: every
// cell a box of 12 lines, or only the cell the id switch names.
TEST_F(SceneRenderTest, TheOctreeOverlaysDrawTheScenesOwnOctree) {
  auto* level = new TestScene(&renderer, &log);
  level->AppendWorldObject(&(new FakeOctreeMesh(level, "a"))->Span({0, 0, 0}, {4, 4, 4}));
  level->AppendWorldObject(&(new FakeOctreeMesh(level, "b"))->Span({1, 1, 1}, {2, 2, 2}));
  ASSERT_EQ(level->BuildOctree(1.0f, 0), 1u);
  const UINT cells = level->GetNumberOfOctreeCells();
  ASSERT_GT(cells, 1u);
  const auto lineBoxes = [this] {
    int boxes = 0;
    for (const auto& draw : renderer.draws) boxes += draw.vertexCount == 8 && draw.primitiveCount == 12;
    return boxes;
  };

  context->dwDebugSwitches[DEBUG_OCTREE_BOXES] = 1;
  renderer.draws.clear();
  level->CScene::Render();  // the render entry itself, not the fake's record
  EXPECT_EQ(lineBoxes(), static_cast<int>(cells));

  context->dwDebugSwitches[DEBUG_OCTREE_BOXES] = 0;
  context->dwDebugSwitches[DEBUG_OCTREE_BOX_ID] = static_cast<int32_t>(cells - 1);
  renderer.draws.clear();
  level->CScene::Render();  // the render entry itself, not the fake's record
  EXPECT_EQ(lineBoxes(), 1);
  level->Release();
}

}  // namespace
