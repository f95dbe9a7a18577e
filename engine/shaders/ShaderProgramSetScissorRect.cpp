#include "shaders/ShaderProgramSetScissorRect.h"

#include <algorithm>
#include <cmath>

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Scene.h"
#include "shaders/ShaderPass.h"

namespace {

const char kSender[] = "CShaderProgramSetScissorTest::CShaderProgramSetScissorTest";

constexpr ShaderCommandKeyword kModes[] = {
    {"DEFAULT", CShaderProgramSetScissorRect::kDefault},
    {"CURRENT_LIGHT", CShaderProgramSetScissorRect::kCurrentLight},
};

// A corner this close to the camera plane, or behind it, projects nowhere useful: the division
// by w flips or blows up its position.
constexpr float kMinimumW = 1e-4f;
constexpr LONG kFarEdge = 16777215;
constexpr int kCorners = 8;

}  // namespace

CShaderProgramSetScissorRect::CShaderProgramSetScissorRect(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetScissorRect: %s") {
  if (const ShaderCommandKeyword* mode = Match(Word(1), kModes))
    m_dwMode = mode->dwValue;
  else
    Refuse(arguments, kSender);
}

UINT CShaderProgramSetScissorRect::Execute() {
  switch (m_dwMode) {
    case kDefault: m_pRenderer->ResetScissorRect(0, 0); return 1;
    case kCurrentLight: return ScissorCurrentLight();
    default: m_pPass->ReportError(17, "CShaderProgramSetScissorRect::Execute"); return 0;
  }
}

UINT CShaderProgramSetScissorRect::ScissorCurrentLight() {
  CScene* scene = TargetScene();
  if (scene == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramSetScissorRect::Execute");
    return 0;
  }
  auto* light = dynamic_cast<CLight*>(scene->GetCurrentLight());
  CCamera* camera = scene->GetActiveCameraObject();
  CLightBoundVolumeInterface* volume = light != nullptr ? light->GetBoundVolume() : nullptr;
  const CVector4* points = volume != nullptr ? volume->GetPoints() : nullptr;
  if (light == nullptr || light->GetType() == LIGHT_DISTANT || points == nullptr ||
      camera == nullptr) {
    LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelError,
          "WARNING!!! - SetScissorTest::Execute, there's no active light or active light is a "
          "distant light\n");
    return 1;
  }
  const CMatrix toClip = *light->GetMatrix(light->GetFrame()) *
                         *camera->GetWorld2CameraMatrix(camera->GetFrame()) *
                         *camera->GetProjectionMatrix();
  const D3DVIEWPORT9& viewport = *m_pRenderer->GetViewport();
  const float x0 = static_cast<float>(viewport.X), y0 = static_cast<float>(viewport.Y);
  const float width = static_cast<float>(viewport.Width);
  const float height = static_cast<float>(viewport.Height);
  RECT rect = {kFarEdge, kFarEdge, -kFarEdge, -kFarEdge};
  for (int i = 0; i < kCorners; ++i) {
    const CVector4 corner = CVector4{points[i].x, points[i].y, points[i].z, 1.0f} * toClip;
    float x = x0 + (corner.x / corner.w + 1.0f) * width / 2.0f;
    float y = y0 + (1.0f - corner.y / corner.w) * height / 2.0f;
    // With a corner at or behind the camera (the camera inside the light's range) the light
    // may cover any part of the screen.
    if (!(corner.w > kMinimumW) || !std::isfinite(x) || !std::isfinite(y)) {
      rect = {static_cast<LONG>(viewport.X), static_cast<LONG>(viewport.Y),
              static_cast<LONG>(viewport.X + viewport.Width),
              static_cast<LONG>(viewport.Y + viewport.Height)};
      break;
    }
    // Far off-screen positions only need to stay past the edges, within what a LONG holds.
    x = std::clamp(x, -static_cast<float>(kFarEdge), static_cast<float>(kFarEdge));
    y = std::clamp(y, -static_cast<float>(kFarEdge), static_cast<float>(kFarEdge));
    if (x < rect.left) rect.left = static_cast<LONG>(x);
    if (y < rect.top) rect.top = static_cast<LONG>(y);
    if (x > rect.right) rect.right = static_cast<LONG>(x);
    if (y > rect.bottom) rect.bottom = static_cast<LONG>(y);
  }
  m_pRenderer->SetScissorTest(&rect);
  return 1;
}
