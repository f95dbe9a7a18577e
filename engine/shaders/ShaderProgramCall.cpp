#include "shaders/ShaderProgramCall.h"

#include <cstring>
#include <new>

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "d3d/EngineRenderer.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderRunState.h"

namespace {

const char kSource[] = "ShaderProgram";
const char kConstructor[] = "CShaderProgramCall::CShaderProgramCall";
const char kExecute[] = "CShaderProgramCall::Execute";

struct CallWord {
  const char* szWord;
  UINT dwKind;
};

constexpr CallWord kCallWords[] = {{"SCENE", CShaderProgramCall::kCallScene},
                                   {"MESH", CShaderProgramCall::kCallMesh},
                                   {"SURFACE", CShaderProgramCall::kCallSurface}};

// A scene shader reaches only scene passes, a mesh shader also its own, a surface shader all.
bool MayCall(UINT targetKind, UINT callKind) {
  switch (targetKind) {
    case SHADER_TARGET_SCENE: return callKind == CShaderProgramCall::kCallScene;
    case SHADER_TARGET_MESH: return callKind != CShaderProgramCall::kCallSurface;
    case SHADER_TARGET_SURFACE: return true;
  }
  return false;
}

bool IsPerVertexProfile(UINT profile) { return profile == 1 || profile == 2; }
bool IsPerPixelProfile(UINT profile) { return profile >= 10 && profile <= 13; }

}  // namespace

CShaderLine* MakeShaderProgramCall(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramCall(arguments);
}

CShaderProgramCall::CShaderProgramCall(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog) {
  CShader* shader = m_pPass->GetShader();
  CTokenizer* tokenizer = shader->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Compile Call Line: %s", arguments.szLine);
  *arguments.pSuccess = 0;
  for (const CallWord& word : kCallWords)
    if (std::strcmp(tokenizer->GetToken(1), word.szWord) == 0) m_dwCallKind = word.dwKind;
  if (m_dwCallKind == 0 || std::strcmp(tokenizer->GetToken(2), ".") != 0) {
    m_pPass->ReportError(25, kConstructor);
    return;
  }
  const char* name = tokenizer->GetToken(3);
  if (name[0] == '\0') {
    m_pPass->ReportError(26, kConstructor);
    return;
  }
  std::strcpy(m_szPassName, name);  // a token is at most 255 characters
  if (!MayCall(shader->GetTargetKind(), m_dwCallKind)) {
    m_pPass->ReportError(25, kConstructor);
    return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramCall::Execute() {
  CShader* shader = m_pPass->GetShader();
  if (shader->GetTargetKind() == SHADER_TARGET_SCENE)
    return CallFromScene(shader->GetTargetScene());
  return CallFromMesh(shader, shader->GetTargetMesh());
}

UINT CShaderProgramCall::CallFromScene(CScene* scene) {
  if (scene == nullptr || m_dwCallKind != kCallScene) {
    m_pPass->ReportError(256, kExecute);
    return 0;
  }
  // The called pass starts with no current light or mesh; the caller goes on with its own.
  CWorldObject* light = scene->GetCurrentLight();
  CWorldObject* mesh = scene->GetCurrentMesh();
  RunPass(m_pPass->GetShader(), scene);
  scene->SetCurrentLight(light);
  scene->SetCurrentMesh(mesh);
  return 1;
}

UINT CShaderProgramCall::CallFromMesh(CShader* shader, CMesh* mesh) {
  CScene* scene = mesh != nullptr ? static_cast<CWorldObject*>(mesh)->GetOwnerScene() : nullptr;
  if (scene == nullptr || scene->GetCurrentMesh() != static_cast<CWorldObject*>(mesh)) {
    m_pPass->ReportError(256, kExecute);
    return 0;
  }
  CShaderLibrary* library = shader->GetLibrary();
  // A full stack means the calls nest without end; the library has said so.
  if (library->PushNestedMesh(mesh) < 0) return 1;
  CSurfaceInterface* surface = mesh->GetCurrentSurface();
  UINT result = 1;
  switch (m_dwCallKind) {
    case kCallScene: {
      CWorldObject* light = scene->GetCurrentLight();
      result = CallScene(scene);
      scene->SetCurrentLight(light);
      break;
    }
    case kCallMesh:
      RunPass(shader->GetTargetKind() == SHADER_TARGET_MESH ? shader : mesh->GetShader(), mesh);
      break;
    case kCallSurface: RunPass(shader, shader->GetTarget()); break;
  }
  library->PopNestedMesh(mesh);
  scene->SetCurrentMesh(mesh);
  mesh->SetCurrentSurface(surface);
  return result;
}

UINT CShaderProgramCall::CallScene(CScene* scene) {
  const UINT profile = scene->GetShadowMode();
  if (profile == 0) {
    CShader* sceneShader = scene->GetShader();
    if (sceneShader == nullptr) return 0;
    RunPass(sceneShader, scene);
    return 1;
  }
  CEngineContext* context = GetEngineContext();
  if (IsPerVertexProfile(profile)) {
    if (CPerVertexPass* passes = context->pPerVertexPass)
      RunGuarded(nullptr, [&] { passes->RenderBuiltInPass(scene, m_szPassName, profile); });
    return 1;
  }
  if (IsPerPixelProfile(profile)) {
    if (CPerPixelPass* passes = context->pPerPixelPass)
      RunGuarded(nullptr, [&] { passes->RenderBuiltInPass(scene, m_szPassName, profile); });
    return 1;
  }
  return 0;
}

void CShaderProgramCall::RunPass(CShader* shader, void* target) {
  CShaderPass* called = shader != nullptr ? shader->FindPass(m_szPassName) : nullptr;
  if (called == nullptr) return;
  RunGuarded(called, [&] {
    shader->SetTarget(target);
    called->Execute();
  });
}

template <class Run>
void CShaderProgramCall::RunGuarded(CShaderPass* called, Run run) {
  if (m_pRenderer->SaveStates() == 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Save States, Pass Not Called: %s\n", m_szPassName);
    return;
  }
  {
    const CShaderRunState caller(m_pPass);
    const CShaderRunState callee(called);
    run();
  }
  m_pRenderer->LoadStates();
}
