#include "shaders/ShaderProgramForEach.h"

#include <new>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/Tokenizer.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "shaders/Shader.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramEndFor.h"

namespace {

const char kConstructor[] = "CShaderProgramForEach::CShaderProgramForEach";
const char kExecuteTitle[] = "Error While Executing Shader";

struct KindWord {
  const char* szWord;
  UINT dwKind;
};

// Tried in this order; the kind word must begin with the keyword.
constexpr KindWord kKindWords[] = {
    {"LIGHT", CShaderProgramForEach::kLight},
    {"DISTANTLIGHT", CShaderProgramForEach::kDistantLight},
    {"POINTLIGHT", CShaderProgramForEach::kPointLight},
    {"SPOTLIGHT", CShaderProgramForEach::kSpotLight},
    {"MESH", CShaderProgramForEach::kMesh},
    {"TRANSPARENTMESH", CShaderProgramForEach::kTransparentMesh},
    {"SURFACE", CShaderProgramForEach::kSurface},
};

}  // namespace

CShaderLine* MakeShaderProgramForEach(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramForEach(arguments);
}

CShaderProgramForEach::CShaderProgramForEach(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_dwIndex(arguments.dwIndex) {
  CTokenizer* tokenizer = m_pPass->GetShader()->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(arguments.pLog, "ShaderProgramIfFor", CEngineLog::kLevelInfo,
        "    - Compile ForEach Line: %s", arguments.szLine);
  const char* word = tokenizer->GetToken(1);
  for (const KindWord& kind : kKindWords)
    if (m_dwObjectKind == 0 && CShaderFileLines::BeginsWith(word, kind.szWord))
      m_dwObjectKind = kind.dwKind;
  // A word that names no kind (CAMERA, or none at all) would loop over nothing forever after.
  if (m_dwObjectKind == 0) {
    m_pPass->ReportError(27, kConstructor);
    *arguments.pSuccess = 0;
    return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramForEach::Execute() {
  m_iSkip = 0;
  CScene* scene = m_pPass->GetShader()->GetTargetScene();
  if (scene == nullptr || m_pEndFor == nullptr) {
    m_pPass->ReportError(256, "CShaderProgramForEach::Execute");
    return 0;
  }
  if (VisitNext(scene)) return 1;
  m_iSkip = static_cast<int>(m_pEndFor->GetIndex() - m_dwIndex);
  m_dwNextIndex = 0;
  return 1;
}

bool CShaderProgramForEach::VisitNext(CScene* scene) {
  switch (m_dwObjectKind) {
    case kLight: return VisitNextLight(scene, -1);
    case kDistantLight: return VisitNextLight(scene, LIGHT_DISTANT);
    case kPointLight: return VisitNextLight(scene, LIGHT_POINT);
    case kSpotLight: return VisitNextLight(scene, LIGHT_SPOT);
    case kMesh:
      if (m_pPass->GetShader()->GetTargetKind() != SHADER_TARGET_SCENE)
        FatalErrorWithTitle(kExecuteTitle, "ForEach MESH has to have a scene parent");
      return VisitNextMesh(scene, false);
    case kTransparentMesh: return VisitNextMesh(scene, true);
    case kSurface:
      if (m_pPass->GetShader()->GetTargetKind() != SHADER_TARGET_MESH)
        FatalErrorWithTitle(kExecuteTitle, "ForEach SURFACE has to have a mesh parent");
      return VisitNextSurface(scene);
  }
  return false;
}

// `type` -1 takes every light.
bool CShaderProgramForEach::VisitNextLight(CScene* scene, int type) {
  for (UINT j = m_dwNextIndex; j < scene->GetNumberOfLights(); ++j) {
    CWorldObject* object = scene->GetLightObject(j);
    auto* light = dynamic_cast<CLight*>(object);
    if (type >= 0 && (light == nullptr || light->GetType() != type)) continue;
    scene->SetCurrentLight(object);
    m_dwNextIndex = j + 1;
    return true;
  }
  return false;
}

bool CShaderProgramForEach::VisitNextMesh(CScene* scene, bool transparentOnly) {
  for (UINT j = m_dwNextIndex; j < scene->GetNumberOfMeshes(); ++j) {
    CWorldObject* object = scene->GetMeshObject(j);
    auto* mesh = dynamic_cast<CMesh*>(object);
    if (transparentOnly && (mesh == nullptr || mesh->GetSurfaceState() == 0)) continue;
    scene->SetCurrentMesh(object);
    m_dwNextIndex = j + 1;
    return true;
  }
  return false;
}

bool CShaderProgramForEach::VisitNextSurface(CScene* scene) {
  auto* mesh = dynamic_cast<CMesh*>(scene->GetCurrentMesh());
  if (mesh == nullptr || m_dwNextIndex >= mesh->GetNumberOfSurfaces()) return false;
  mesh->SetCurrentSurface(mesh->GetSurface(m_dwNextIndex++));
  return true;
}
