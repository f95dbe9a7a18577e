#include "scene/SceneRender.h"

#include <cstdarg>
#include <cstdio>

#include "scene/Camera.h"
#include "scene/GenericPassInterface.h"
#include "core/EngineSampleScope.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "scene/SceneOverlays.h"
#include "scene/ScenePasses.h"
#include "core/EngineLog.h"
#include "spatial/Octree.h"
#include "d3d/RenderingProfileInterface.h"
#include "d3d9types.h"

namespace {

constexpr const char* kSource = CSceneRender::kLogSource;

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

CSceneOctreeDrawing* CSceneRender::GetOctreeDrawing(CScene& scene) { return scene.GetOctree(); }

void CSceneRender::Render(CScene& scene) {
  if (scene.GetActiveCameraObject() != nullptr) m_bMissingCameraLogged = false;
  CScenePasses* passes = GetEngineContext()->ports.scenePasses.Get();
  // A rendering-profile library takes the whole drawing over, flares included.
  if (CRenderingProfileInterface* profile = passes->GetRenderingProfile()) {
    profile->RenderScene(&scene);
  } else {
    // The default coded path draws the flares as its own last step; drawn again here they
    // would add up twice as bright.
    if (!DrawScene(scene, passes)) DrawFlares(scene, passes);
  }
  if (CSceneOverlays::AnySwitchOn()) CSceneOverlays(scene, GetOctreeDrawing(scene)).Draw(passes);
}

bool CSceneRender::DrawScene(CScene& scene, CScenePasses* passes) {
  const UINT profile = scene.GetShadowMode();
  switch (profile) {
    case 0:
      if (CShader* shader = scene.GetShader()) {
        {
          CEngineSampleScope sample(SAMPLE_SHADER_LIB);
          passes->RenderSceneShader(shader, &scene, scene.GetFrame());
        }
        DrawSprites(scene);
      } else {
        CEngineSampleScope sample(SAMPLE_GENERIC_PASS);
        passes->RenderGenericPass(&scene);
        return !GetEngineContext()->ports.genericPass.IsDefault();
      }
      break;
    case 1:
    case 2:
      passes->RenderPerVertexPass(&scene, profile);
      break;
    case 10:
    case 11:
    case 12:
    case 13:
      passes->RenderPerPixelPass(&scene, profile);
      break;
    default:
      LogTo(scene.GetLog(), kSource, CEngineLog::kLevelError,
            "WARNING!!! - Unknown Rendering Profile\n");
      break;
  }
  return false;
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
  CTextureInterface* texture = passes->GetFlareTexture();
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
  LogTo(scene.GetLog(), kSource, CEngineLog::kLevelError,
        "WARNING!!! - No Active Camera In The Scene: %s, Flares And Sprites Are Not Drawn\n",
        scene.GetName());
}
