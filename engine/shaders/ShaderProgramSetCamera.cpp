#include "shaders/ShaderProgramSetCamera.h"

#include <cmath>
#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "d3d/BackBufferRenderTarget.h"
#include "d3d/CubeRenderTarget.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetStorageInterface.h"
#include "d3d/TextureRenderTarget.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Motion.h"
#include "scene/Scene.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"

namespace {

const char kSource[] = "ShaderProgram";

struct ModeWord {
  const char* szWord;
  UINT dwMode;
};

// Tried in this order; the word must begin with the name. CURRENT_LIGHT comes last, as every
// light cube name begins with it.
constexpr ModeWord kModeWords[] = {
    {"DEFAULT", CShaderProgramSetCamera::kDefault},
    {"CURRENT_LIGHT_CUBE_POSITIVE_X", 3},
    {"CURRENT_LIGHT_CUBE_POSITIVE_Y", 4},
    {"CURRENT_LIGHT_CUBE_POSITIVE_Z", 5},
    {"CURRENT_LIGHT_CUBE_NEGATIVE_X", 6},
    {"CURRENT_LIGHT_CUBE_NEGATIVE_Y", 7},
    {"CURRENT_LIGHT_CUBE_NEGATIVE_Z", 8},
    {"CURRENT_MESH_CUBE_POSITIVE_X", 10},
    {"CURRENT_MESH_CUBE_POSITIVE_Y", 11},
    {"CURRENT_MESH_CUBE_POSITIVE_Z", 12},
    {"CURRENT_MESH_CUBE_NEGATIVE_X", 13},
    {"CURRENT_MESH_CUBE_NEGATIVE_Y", 14},
    {"CURRENT_MESH_CUBE_NEGATIVE_Z", 15},
    {"CURRENT_LIGHT", CShaderProgramSetCamera::kCurrentLight},
};

// The point one unit from `eye` along the cube direction (0 +x, 1 +y, 2 +z, 3 -x, 4 -y, 5 -z).
CVector3 CubeTarget(const CVector3& eye, UINT direction) {
  CVector3 target = eye;
  const float step = direction < 3 ? 1.0f : -1.0f;
  float* axes[3] = {&target.x, &target.y, &target.z};
  *axes[direction % 3] += step;
  return target;
}

}  // namespace

CShaderLine* MakeShaderProgramSetCamera(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramSetCamera(arguments);
}

CShaderProgramSetCamera::CShaderProgramSetCamera(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog) {
  CTokenizer* tokenizer = m_pPass->GetShader()->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Compiling SetCamera: %s", arguments.szLine);
  const char* word = tokenizer->GetToken(1);
  for (const ModeWord& mode : kModeWords)
    if (m_dwMode == 0 && std::strncmp(word, mode.szWord, std::strlen(mode.szWord)) == 0)
      m_dwMode = mode.dwMode;
  if (m_dwMode == 0) {
    m_pPass->ReportError(27, "CShaderProgramSetMaterial::CShaderProgramSetMaterial");
    *arguments.pSuccess = 0;
    return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramSetCamera::Execute() {
  CScene* scene = m_pPass->GetShader()->GetTargetScene();
  if (scene == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramSetCamera::Execute");
    return 0;
  }
  if (m_dwMode == kDefault) {
    scene->SetActiveCamera(scene->GetActiveCameraNumber());
    return 1;
  }
  return m_dwMode >= kMeshCubeFirst ? FromMesh(scene) : FromLight(scene);
}

UINT CShaderProgramSetCamera::FromLight(CScene* scene) {
  auto* light = dynamic_cast<CLight*>(scene->GetCurrentLight());
  if (light == nullptr) {
    // Nothing to place a camera at; stopping the engine would be out of all proportion.
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING! - SetCamera Without Current Light Does Nothing\n");
    return 1;
  }
  auto* camera = dynamic_cast<CCamera*>(light->GetCamera());
  if (camera == nullptr) {
    camera = MakeCamera(light, "ERROR!!! - Can't Allocate Memory For Light's Camera\n");
    if (camera == nullptr) return 0;
    light->SetCamera(camera);
  }
  CVector3 eye;
  light->GetPosition(&eye, 0);
  if (m_dwMode != kCurrentLight) {
    Place(scene, camera, eye, CubeTarget(eye, m_dwMode - kLightCubeFirst), 1.0f, 0.0f);
    return 1;
  }
  const float angle = light->GetConeAngleEnvelope(0)->GetValue() * 0.017453292f;
  const float bank = light->GetMotion(light->GetFrame())->GetChannel(MOTION_BANK)->GetValue();
  Place(scene, camera, eye, CVector3(0.0f, 0.0f, 1.0f) * *light->GetMatrixPointer(),
        std::cos(angle) / std::sin(angle), -bank);
  return 1;
}

UINT CShaderProgramSetCamera::FromMesh(CScene* scene) {
  auto* mesh = dynamic_cast<CMesh*>(scene->GetCurrentMesh());
  if (mesh == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING! - SetCamera Without Current Mesh Does Nothing\n");
    return 1;
  }
  CCamera* camera = mesh->GetCamera();
  if (camera == nullptr) {
    camera = MakeCamera(mesh, "ERROR!!! - Can't Allocate Memory For Mesh's Camera\n");
    if (camera == nullptr) return 0;
    mesh->SetCamera(camera);
  }
  CVector3 eye;
  mesh->GetPosition(&eye, 0);
  Place(scene, camera, eye, CubeTarget(eye, m_dwMode - kMeshCubeFirst), 1.0f, 0.0f);
  return 1;
}

CCamera* CShaderProgramSetCamera::MakeCamera(CWorldObject* object, const char* failure) {
  auto* camera = new (std::nothrow) CCamera(m_pRenderer, m_pLog, object->GetOwnerScene());
  if (camera == nullptr) LogTo(m_pLog, kSource, CEngineLog::kLevelError, "%s", failure);
  return camera;
}

void CShaderProgramSetCamera::ScreenSize(float* width, float* height) {
  *width = *height = 512.0f;
  CRenderTargetStorageInterface* targets = m_pRenderer->GetRenderTargetStorageInterface();
  CRenderTargetInterface* current =
      targets != nullptr ? targets->GetCurrentRenderTarget() : nullptr;
  if (current == nullptr) return;
  UINT w = 0, h = 0;
  if (auto* texture = dynamic_cast<CTextureRenderTarget*>(current)) {
    w = texture->GetWidth();
    h = texture->GetHeight();
  } else if (auto* cube = dynamic_cast<CCubeRenderTarget*>(current)) {
    w = h = cube->GetEdgeLength();
  } else if (auto* back = dynamic_cast<CBackBufferRenderTarget*>(current)) {
    w = back->GetWidth();
    h = back->GetHeight();
  }
  // A target that knows no size of its own draws into the viewport; a 0 x 0 screen would give
  // the camera a degenerate projection.
  if (w == 0 || h == 0) {
    const D3DVIEWPORT9* viewport = m_pRenderer->GetViewport();
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0) return;
    w = viewport->Width;
    h = viewport->Height;
  }
  *width = static_cast<float>(w);
  *height = static_cast<float>(h);
}

void CShaderProgramSetCamera::Place(CScene* scene, CCamera* camera, CVector3 eye, CVector3 target,
                                    float zoom, float bank) {
  float width = 0.0f, height = 0.0f;
  ScreenSize(&width, &height);
  camera->SetScreenSize(width, height);
  camera->GetZoomEnvelope(0)->SetValue(zoom);
  camera->LookAt(&eye, &target, bank);
  camera->ClearVisibleLights();
  camera->ClearVisibleMeshes();
  scene->UpdateVisibility(camera, 1);
}
