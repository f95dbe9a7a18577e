// The engine's scene passes: what a scene's render entry reaches through them.
#include <gtest/gtest.h>

#include <string>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "RecordingRenderingProfile.h"
#include "scene/Scene.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"
#include "startup/EngineScenePasses.h"

namespace {

TEST(EngineScenePasses, ASceneReachesTheProfileAndTheRendererThroughThem) {
  EngineContextScope context;
  CRecordingEngineLog log;
  context->pLog = &log;
  RecordingRenderer renderer;
  RecordingRenderingProfile profile;
  CEngineScenePasses passes;
  passes.Attach(GetEngineContext(), &renderer);
  context->ports.scenePasses.Set(&passes);
  CScene* scene = new CScene(&renderer, &log);
  context->pRenderingProfile = nullptr;
  scene->Render();
  EXPECT_TRUE(profile.renderedScenes.empty());
  context->pRenderingProfile = &profile;
  scene->Render();
  EXPECT_EQ(profile.renderedScenes, std::vector<CSceneInterface*>{scene});
  scene->Release();
  passes.SetDefaultStates();
  EXPECT_EQ(renderer.defaultStateRequests, 1);
  // Detached, they answer nothing.
  passes.Attach(nullptr, nullptr);
  passes.SetDefaultStates();
  EXPECT_EQ(passes.GetRenderingProfile(), nullptr);
  EXPECT_EQ(renderer.defaultStateRequests, 1);
}

// Scenes of the per-vertex and per-pixel profiles reach the context's pass objects; these
// scenes have no camera, which each object reports.
TEST(EngineScenePasses, ScenesOfLightingProfilesReachTheContextsPassObjects) {
  EngineContextScope context;
  CRecordingEngineLog log;
  context->pLog = &log;
  RecordingRenderer renderer;
  CEngineScenePasses passes;
  passes.Attach(GetEngineContext(), &renderer);
  context->ports.scenePasses.Set(&passes);
  CPerVertexPass vertex(&renderer, nullptr, &log);
  CPerPixelPass pixel(&renderer, nullptr, &log);
  context->pPerVertexPass = &vertex;
  context->pPerPixelPass = &pixel;
  const std::string line = "WARNING! - Scene Without Active Camera Is Not Drawn: room\n";
  size_t reports = 0;
  for (UINT profile : {1u, 13u}) {
    CScene* scene = new CScene(&renderer, &log);
    scene->SetName("room");
    scene->SetShadowMode(profile);
    scene->Render();
    scene->Release();
    const std::string errors = log.TextAt(CEngineLog::kLevelError);
    size_t count = 0;
    for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
      ++count;
    EXPECT_EQ(count, ++reports) << profile;
  }
}

}  // namespace
