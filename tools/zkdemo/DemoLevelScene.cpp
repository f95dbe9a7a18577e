#include "DemoLevelScene.h"

#include "DemoEngine.h"
#include "DemoMeshes.h"
#include "DemoTextures.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Scene.h"

namespace {

CLight* AddLight(CScene* scene, const char* name, WORD type, float intensity) {
  auto* light = static_cast<CLight*>(scene->AddLight());
  light->SetName(name);
  light->SetType(type);
  light->SetIsActive(1);
  light->GetD3DLightProperties()->Diffuse = {intensity, intensity, intensity, 1};
  return light;
}

}  // namespace

bool DemoLevelScene::Write(DemoEngine& engine, const std::string& folder, const char* name,
                           int width, int height) {
  const std::string directory = folder + "/";
  const std::string texture = directory + "Textures/floor.png";
  if (!DemoTextures::WritePng(texture, DemoTextures::Tile(DemoTextures::kFloor, 64))) return false;

  CScene* scene = engine.NewScene(name, directory.c_str());
  scene->SetFramesPerSecond(kFramesPerSecond);
  scene->SetFirstFrame(0);
  scene->SetLastFrame(kLastFrame);
  // Bright enough that every object shows its own colour in a screenshot, in shade too.
  scene->SetAmbientColor(0xFF909090);
  scene->GetAmbLightIntensityEnvelope()->SetValue(1.0f);
  for (int i = 0; i < 3; ++i) scene->AddCamera();

  CLight* sun = AddLight(scene, "sun", LIGHT_DISTANT, 0.6f);
  // A distant light shines along its rotated +z: about 60 degrees down, turned a little
  // towards +x, so the floor and the walls' two lit faces differ.
  DemoMeshes::Key(sun->GetOwnMotion(), MOTION_HEADING, 0, 0.54f);
  DemoMeshes::Key(sun->GetOwnMotion(), MOTION_PITCH, 0, 1.04f);
  CLight* lamp = AddLight(scene, "lamp", LIGHT_POINT, 0.8f);
  DemoMeshes::Key(lamp->GetOwnMotion(), MOTION_POSITION_X, 0, width / 2.0f);
  DemoMeshes::Key(lamp->GetOwnMotion(), MOTION_POSITION_Y, 0, kPointLightHeight);
  DemoMeshes::Key(lamp->GetOwnMotion(), MOTION_POSITION_Z, 0, height / 2.0f);
  // Reaching every corner of the floor; the engine clamps (with a warning) anything past 1000.
  lamp->GetRangeEnvelope(0)->SetValue(static_cast<float>(width + height) + kPointLightHeight);

  auto* floor = static_cast<CMesh*>(scene->AddMesh(0));
  floor->SetName((std::string(name) + "_floor").c_str());
  DemoMeshes::Look look{texture};
  look.tiledFromAbove = true;
  const bool written =
      DemoMeshes::Box(engine, floor, {0, -0.1f, 0},
                      {static_cast<float>(width), 0, static_cast<float>(height)}, "floor", look) &&
      engine.Save(scene);
  scene->Release();
  return written;
}
