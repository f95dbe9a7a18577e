#include "DemoObjects.h"

#include "DemoEngine.h"
#include "DemoMeshes.h"
#include "DemoTextures.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Null.h"
#include "scene/Scene.h"

namespace {

struct ObjectFolder {
  DemoEngine& engine;
  std::string folder;  // ending in a separator

  // The texture of `colour` beside the scenes, as the surfaces name it.
  std::string Texture(const char* name, DemoColour colour) const {
    const std::string path = folder + "Textures/" + name + ".png";
    return DemoTextures::WritePng(path, DemoTextures::Tile(colour, 64)) ? path : std::string();
  }

  CScene* Scene(const char* name, UINT lastFrame) const {
    CScene* scene = engine.NewScene(name, folder.c_str());
    scene->SetFramesPerSecond(DemoObjects::kFramesPerSecond);
    scene->SetFirstFrame(0);
    scene->SetLastFrame(lastFrame);
    // A scene without a camera is loaded with a warning; the game uses the level's cameras.
    scene->AddCamera();
    return scene;
  }

  bool Save(CScene* scene, bool shaped) const {
    const bool saved = shaped && engine.Save(scene);
    scene->Release();
    return saved;
  }

  // A scene of one box named `name`; under a null "master_null" for a node that walks its
  // objects by that null.
  bool Block(const char* name, DemoColour colour, const CVector3& low, const CVector3& high,
             bool tiledFromAbove = false, bool underMasterNull = false) const {
    DemoMeshes::Look look{Texture(name, colour)};
    look.tiledFromAbove = tiledFromAbove;
    CScene* scene = Scene(name, 0);
    auto* mesh = static_cast<CMesh*>(scene->AddMesh(0));
    mesh->SetName(name);
    if (underMasterNull) {
      auto* master = static_cast<CNull*>(scene->AddNull());
      master->SetName("master_null");
      mesh->SetParentObject(master);
    }
    return Save(scene,
                !look.texture.empty() && DemoMeshes::Box(engine, mesh, low, high, name, look));
  }

  // A character's body, keyed in every animation range.
  CMesh* Body(CScene* scene, const char* name, const std::string& texture) const {
    auto* mesh = static_cast<CMesh*>(scene->AddMesh(0));
    mesh->SetName(name);
    if (texture.empty() ||
        !DemoMeshes::Box(engine, mesh, {-0.3f, 0.0f, -0.3f}, {0.3f, 1.2f, 0.3f}, name, {texture}))
      return nullptr;
    CMotion* motion = mesh->GetFirstMotion();
    for (UINT range = 0; range < DemoObjects::kAnimations; ++range) {
      const float first = static_cast<float>(range * DemoObjects::kAnimationFrames);
      const float last = first + DemoObjects::kAnimationFrames - 1;
      DemoMeshes::Key(motion, MOTION_POSITION_Y, first, 0.0f);
      DemoMeshes::Key(motion, MOTION_POSITION_Y, (first + last) / 2, DemoObjects::BobHeight(range));
      DemoMeshes::Key(motion, MOTION_POSITION_Y, last, 0.0f);
    }
    return mesh;
  }
};

constexpr UINT kCharacterLastFrame = DemoObjects::kAnimations * DemoObjects::kAnimationFrames - 1;

}  // namespace

float DemoObjects::BobHeight(UINT range) { return 0.04f * static_cast<float>(1 + range % 4); }

bool DemoObjects::Write(DemoEngine& engine, const std::string& folder) {
  const ObjectFolder objects{engine, folder + "/objects/"};
  bool written = objects.Block("wall", DemoTextures::kWall, {0, 0, 0}, {1, 1, 1});
  written = objects.Block("wet_floor", DemoTextures::kWetFloor, {0, 0, 0}, {1, 0.02f, 1}, true) &&
            written;
  written = objects.Block("crate", DemoTextures::kCrate, {-0.4f, 0, -0.4f}, {0.4f, 0.8f, 0.4f}) &&
            written;
  // The socket is a walking entity that stands still, so it has the entity's master null too.
  written = objects.Block("socket", DemoTextures::kSocket, {-0.3f, 0, -0.3f}, {0.3f, 0.1f, 0.3f},
                          false, true) &&
            written;

  {
    CScene* scene = objects.Scene("player", kCharacterLastFrame);
    written = objects.Save(scene, objects.Body(scene, "player_body",
                                               objects.Texture("player", DemoTextures::kPlayer))) &&
              written;
  }
  {
    CScene* scene = objects.Scene("sub_player", kCharacterLastFrame);
    CMesh* body = objects.Body(scene, "sub_player_body",
                               objects.Texture("sub_player", DemoTextures::kSubPlayer));
    if (body) {
      auto* outlet = static_cast<CNull*>(scene->AddNull());
      outlet->SetName("kabelek");
      outlet->SetParentObject(body);
      DemoMeshes::Key(outlet->GetOwnMotion(), MOTION_POSITION_Y, 0, kCableOutletHeight);
      DemoMeshes::Key(outlet->GetOwnMotion(), MOTION_POSITION_Z, 0, -0.3f);
    }
    written = objects.Save(scene, body != nullptr) && written;
  }
  {
    CScene* scene = objects.Scene("entity", kCharacterLastFrame);
    auto* master = static_cast<CNull*>(scene->AddNull());
    master->SetName("master_null");
    CMesh* body =
        objects.Body(scene, "entity_body", objects.Texture("entity", DemoTextures::kEntity));
    if (body) body->SetParentObject(master);
    written = objects.Save(scene, body != nullptr) && written;
  }
  {
    // The game camera node loads its scene like every object of a level; it draws nothing.
    CScene* scene = objects.Scene("camera", 0);
    scene->AddNull()->SetName("camera_null");
    written = objects.Save(scene, true) && written;
  }

  // The progress bar: a self-lit strip in front of the camera that grows from its left end.
  const ObjectFolder progress{engine, folder + "/progress/"};
  const std::string texture = progress.Texture("progress", DemoTextures::kProgress);
  CScene* scene = progress.Scene("progress", kProgressFrames);
  scene->SetAmbientColor(0xFFFFFFFF);
  auto* bar = static_cast<CMesh*>(scene->AddMesh(0));
  bar->SetName("progress_bar");
  const bool shaped =
      !texture.empty() &&
      DemoMeshes::Box(engine, bar, {0, -0.15f, 0}, {4, 0.15f, 0.1f}, "progress", {texture, 1.0f});
  if (shaped) {
    CMotion* motion = bar->GetFirstMotion();
    DemoMeshes::Key(motion, MOTION_POSITION_X, 0, -2.0f);
    DemoMeshes::Key(motion, MOTION_POSITION_Y, 0, -1.5f);
    DemoMeshes::Key(motion, MOTION_POSITION_Z, 0, 5.0f);
    DemoMeshes::Key(motion, MOTION_SCALE_X, 0, 0.0f);
    DemoMeshes::Key(motion, MOTION_SCALE_X, static_cast<float>(kProgressFrames), 1.0f);
    DemoMeshes::Key(motion, MOTION_SCALE_Y, 0, 1.0f);
    DemoMeshes::Key(motion, MOTION_SCALE_Z, 0, 1.0f);
  }
  return progress.Save(scene, shaped) && written;
}
