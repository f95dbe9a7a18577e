#include "shaders/ShaderProgramSetVertexDeclaration.h"

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "scene/Mesh.h"
#include "shaders/Shader.h"
#include "shaders/ShaderCommandWords.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSource[] = "ExecuteProgram";
const char kConstructor[] =
    "CShaderProgramSetVertexDeclaration::CShaderProgramSetVertexDeclaration";
constexpr UINT kShadowVolumeGeometry = 1;

}  // namespace

CShaderProgramSetVertexDeclaration::CShaderProgramSetVertexDeclaration(
    const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog) {
  *arguments.pSuccess = 0;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Compiling SetVertexDeclaration: %s",
        arguments.szLine);
  const CShaderCommandWords words(m_pPass);
  static const UINT kTypes[] = {SHADER_VALUE_DECLARATION};
  if (!words.IsEmpty(1)) m_pVariable = m_pPass->ReferenceVariable(words.Word(1), kTypes, 1);
  if (m_pVariable == nullptr) {
    m_pPass->ReportError(27, kConstructor);
    return;
  }
  m_dwGeometry = words.Number(2);
  CVertexDeclarationStorageInterface* bank = m_pRenderer->GetVertexDeclarationStorageInterface();
  D3DVERTEXELEMENT9* elements = m_pVariable->GetDeclaration();
  if (bank != nullptr && elements != nullptr) m_pDeclaration = bank->CreateVertexDeclaration(elements);
  if (m_pDeclaration == nullptr) {
    m_pPass->ReportError(27, kConstructor);
    return;
  }
  *arguments.pSuccess = 1;
}

const D3DVERTEXELEMENT9* CShaderProgramSetVertexDeclaration::GetDeclarationElements() {
  return m_pVariable->GetDeclaration();
}

UINT CShaderProgramSetVertexDeclaration::Execute() {
  m_pDeclaration->Set();
  CShader* shader = m_pPass->GetShader();
  if (shader->GetTargetKind() != SHADER_TARGET_MESH || shader->GetTarget() == nullptr) return 1;
  auto* mesh = static_cast<CMesh*>(shader->GetTarget());
  if (m_dwGeometry == kShadowVolumeGeometry) {
    mesh->SetVertexDeclarationType(kShadowVolumeGeometry);
    if (CVertexBufferInterface* buffer = mesh->GetShadowVolumeVertexBuffer())
      buffer->SetStreams();
    else
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Shadow Volume Vertex Buffer Is Null (%s)\n", mesh->GetName());
    return 1;
  }
  mesh->SetVertexDeclarationType(0);
  if (CVertexBufferInterface* buffer = mesh->GetVertexBuffer(0)) buffer->SetStreams();
  return 1;
}

CShaderLine* MakeSetVertexDeclaration(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetVertexDeclaration(arguments);
}
