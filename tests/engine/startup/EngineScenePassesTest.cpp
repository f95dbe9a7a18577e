// The engine's scene passes: what a scene's render entry reaches through them.
#include <gtest/gtest.h>

#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "RecordingRenderingProfile.h"
#include "scene/Scene.h"
#include "scene/SceneRender.h"
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
  CSceneRender::SetPasses(&passes);
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
  CSceneRender::SetPasses(nullptr);
}

}  // namespace
