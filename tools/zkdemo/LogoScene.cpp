#include "LogoScene.h"

#include "DemoEngine.h"
#include "DemoFile.h"
#include "DemoMeshes.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Scene.h"

namespace {

constexpr uint32_t kPictureSize = 256;
constexpr float kHalfWidth = 2.0f;
constexpr float kHalfHeight = 1.0f;
constexpr float kHalfDepth = 0.1f;
constexpr float kDistance = 5.0f;  // from the camera to the panel's face

}  // namespace

RgbaImage LogoScene::Picture() {
  RgbaImage image =
      RgbaImage::Solid(kPictureSize, kPictureSize, kColour[0], kColour[1], kColour[2], 255);
  auto paint = [&](uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint8_t shade) {
    for (uint32_t y = y0; y < y1; ++y)
      for (uint32_t x = x0; x < x1; ++x) {
        uint8_t* texel = &image.rgba[(static_cast<size_t>(y) * kPictureSize + x) * 4];
        for (int c = 0; c < 3; ++c) texel[c] = static_cast<uint8_t>(kColour[c] * shade / 255);
      }
  };
  const uint32_t border = kPictureSize / 20;
  paint(0, 0, kPictureSize, border, 96);
  paint(0, kPictureSize - border, kPictureSize, kPictureSize, 96);
  paint(0, 0, border, kPictureSize, 96);
  paint(kPictureSize - border, 0, kPictureSize, kPictureSize, 96);
  // A row of "lettering" in the lower fifth; the middle stays the plain colour.
  const uint32_t bars = 8, bar = kPictureSize / 16, gap = bar / 2;
  const uint32_t left = (kPictureSize - bars * bar - (bars - 1) * gap) / 2;
  for (uint32_t i = 0; i < bars; ++i)
    paint(left + i * (bar + gap), kPictureSize * 3 / 4, left + i * (bar + gap) + bar,
          kPictureSize * 3 / 4 + bar, 160);
  return image;
}

bool LogoScene::Write(DemoEngine& engine, const std::string& folder) {
  const std::string texture = folder + "/Textures/logo.png";
  if (!WriteDemoFile(texture, EncodePng(Picture()))) return false;

  CScene* scene = engine.NewScene("logo", (folder + "/").c_str());
  const float hold = kHoldSeconds * kFramesPerSecond;
  const float gone = (kHoldSeconds + kShrinkSeconds) * kFramesPerSecond;
  scene->SetFramesPerSecond(kFramesPerSecond);
  scene->SetFirstFrame(0);
  scene->SetLastFrame(static_cast<UINT>(gone));
  scene->SetAmbientColor(0xFFFFFFFF);

  scene->AddCamera();

  auto* light = static_cast<CLight*>(scene->AddLight());
  light->SetName("logo light");
  light->SetType(LIGHT_DISTANT);
  light->SetIsActive(1);
  D3DLIGHT9* record = light->GetD3DLightProperties();
  record->Diffuse = {1, 1, 1, 1};
  record->Direction = {0, 0, 1};

  auto* mesh = static_cast<CMesh*>(scene->AddMesh(0));
  mesh->SetName("logo");
  // A closed panel, the front face carrying the whole picture.
  bool written = DemoMeshes::Box(engine, mesh, {-kHalfWidth, -kHalfHeight, -kHalfDepth},
                                 {kHalfWidth, kHalfHeight, kHalfDepth}, "logo", {texture, 1.0f});
  if (written) {
    CMotion* motion = mesh->GetFirstMotion();
    DemoMeshes::Key(motion, MOTION_POSITION_Z, 0, kDistance + kHalfDepth);
    // Whole until the hold ends, then down to nothing; the last key holds it there.
    for (UINT channel = MOTION_SCALE_X; channel <= MOTION_SCALE_X + 2; ++channel) {
      DemoMeshes::Key(motion, channel, 0, 1);
      DemoMeshes::Key(motion, channel, hold, 1);
      DemoMeshes::Key(motion, channel, gone, 0);
    }
  }
  written = written && engine.Save(scene);
  scene->Release();
  return written;
}
