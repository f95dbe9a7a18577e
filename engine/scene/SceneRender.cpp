#include "scene/SceneRender.h"

#include <cstdarg>
#include <cstdio>

#include "scene/Camera.h"
#include "scene/EngineSampleScope.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "scene/SceneOverlays.h"
#include "scene/ScenePasses.h"
#include "core/EngineLog.h"
#include "d3d/RenderingProfileInterface.h"
#include "d3d9types.h"

namespace {

constexpr const char* kSource = "ZK3DRender";

CScenePasses* g_pPasses = nullptr;

// Whether an engine light of the light array draws a flare.
bool AnyLightHasFlare(CScene& scene) {
  for (UINT i = 0; i < scene.GetNumberOfLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(scene.GetLightObject(i)); light && light->GetIsFlare() == 1)
      return true;
  return false;
}

bool AnySpriteSlotUsed(CScene& scene) {
  for (UINT i = 0; i < scene.GetNumberOfSprites(); ++i)
    if (scene.GetSprite(i) != nullptr) return true;
  return false;
}

}  // namespace

void CSceneRender::SetPasses(CScenePasses* passes) { g_pPasses = passes; }

CScenePasses* CSceneRender::GetPasses() { return g_pPasses; }

void CSceneRender::Log(CScene& scene, int level, const char* format, ...) {
  CEngineLog* log = scene.GetLog();
  if (log == nullptr) return;
  char text[CEngineLog::kMaxMessage];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  log->Log(kSource, __LINE__, level, "%s", text);
}

// The scene has no octree of its own yet; the overlays will draw CScene::GetOctree's cells
// through CSceneOctreeDrawing once scenes keep one.
CSceneOctreeDrawing* CSceneRender::GetOctreeDrawing(CScene& /*scene*/) { return nullptr; }

void CSceneRender::Render(CScene& scene) {
  if (scene.GetActiveCameraObject() != nullptr) m_bMissingCameraLogged = false;
  CScenePasses* passes = g_pPasses;
  // A rendering-profile library takes the whole drawing over, flares included.
  if (CRenderingProfileInterface* profile = passes ? passes->GetRenderingProfile() : nullptr) {
    profile->RenderScene(&scene);
  } else {
    DrawScene(scene, passes);
    DrawFlares(scene, passes);
  }
  if (CSceneOverlays::AnySwitchOn()) CSceneOverlays(scene, GetOctreeDrawing(scene)).Draw(passes);
}

void CSceneRender::DrawScene(CScene& scene, CScenePasses* passes) {
  const UINT profile = scene.GetShadowMode();
  switch (profile) {
    case 0:
      if (CShader* shader = scene.GetShader()) {
        {
          CEngineSampleScope sample(SAMPLE_SHADER_LIB);
          if (passes != nullptr) passes->RenderSceneShader(shader, &scene, scene.GetFrame());
        }
        DrawSprites(scene);
      } else {
        CEngineSampleScope sample(SAMPLE_GENERIC_PASS);
        if (passes != nullptr) passes->RenderGenericPass(&scene);
      }
      break;
    case 1:
    case 2:
      if (passes != nullptr) passes->RenderPerVertexPass(&scene, profile);
      break;
    case 10:
    case 11:
    case 12:
    case 13:
      if (passes != nullptr) passes->RenderPerPixelPass(&scene, profile);
      break;
    default:
      Log(scene, CEngineLog::kLevelError, "WARNING!!! - Unknown Rendering Profile\n");
      break;
  }
}

void CSceneRender::DrawSprites(CScene& scene) {
  if (scene.GetActiveCameraObject() == nullptr) {
    if (AnySpriteSlotUsed(scene)) NoteMissingCamera(scene);
    return;
  }
  for (UINT i = 0; i < scene.GetNumberOfSprites(); ++i)
    if (CSpriteInterface* sprite = scene.GetSprite(i)) sprite->Draw(-1.0f);
}

void CSceneRender::DrawFlares(CScene& scene, CScenePasses* passes) {
  CD3D9RendererInterface* renderer = scene.GetRenderer();
  if (renderer == nullptr) return;
  CCamera* camera = scene.GetActiveCameraObject();
  if (camera == nullptr) {
    if (AnyLightHasFlare(scene)) NoteMissingCamera(scene);
    return;
  }
  CTextureInterface* texture = passes != nullptr ? passes->GetFlareTexture() : nullptr;
  // Added onto the frame (one, one) without writing depth, unlit.
  renderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  renderer->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  renderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_LIGHTING, 0);
  for (UINT i = 0; i < scene.GetNumberOfLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(scene.GetLightObject(i)))
      light->RenderFlare(*camera, texture);
  renderer->SetRenderState(D3DRS_LIGHTING, 1);
  renderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  renderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  renderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
}

void CSceneRender::NoteMissingCamera(CScene& scene) {
  if (m_bMissingCameraLogged) return;
  m_bMissingCameraLogged = true;
  Log(scene, CEngineLog::kLevelError,
      "WARNING!!! - No Active Camera In The Scene: %s, Flares And Sprites Are Not Drawn\n",
      scene.GetName());
}
