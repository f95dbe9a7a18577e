#include "shaders/ShaderProgramSetVertexShader.h"

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexDeclarationBankInterface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"

namespace {

const char kConstructor[] = "CShaderProgramSetVertexShader::CShaderProgramSetVertexShader";

const ShaderProgramKind kVertexPrograms = {
    "    - Compiling SetVertexShader: %s",
    "Vertex Shader File: %s\n",
    "VSH",
    "VHL",
    "%svsh\\%s",
    kConstructor,
    "CShaderProgramSetVertexShader::CShaderProgramSetVertexShader (2)",
    "CShaderProgramSetVertexShader::Execute",
    "Not Enuff ShaderParameters Entries in Vertex Shader",
    30,
    31,
    1,
    true,
};

// AUTO follows the scheme the technique was written for.
const char* AutoProfile(DWORD techniqueTarget) {
  switch (techniqueTarget) {
    case 2:
    case 4:
    case 8:
    case 16: return "vs_1_1";
    case 32: return "vs_2_0";
    case 64: return "vs_2_a";
    default: return nullptr;
  }
}

}  // namespace

CShaderProgramSetVertexShader::CShaderProgramSetVertexShader(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass),
      m_pRenderer(arguments.pRenderer),
      m_pLog(arguments.pLog),
      m_Setup(arguments.pPass, arguments.pLog, kVertexPrograms) {
  *arguments.pSuccess = 0;
  if (!m_Setup.Compile(arguments.szLine, AutoProfile(m_pPass->GetShader()->GetTechniqueTarget())))
    return;
  if (!m_Setup.IsNull()) {
    m_pShader = m_Setup.CreateProgram(m_pRenderer->GetVertexShaderStorageInterface(), kConstructor);
    if (m_pShader == nullptr) return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramSetVertexShader::Execute() {
  auto* declarations =
      dynamic_cast<CVertexDeclarationBankInterface*>(m_pRenderer->GetVertexDeclarationStorageInterface());
  if (declarations == nullptr || declarations->GetCurrentDeclaration() == nullptr) {
    LogTo(m_pLog, "ExecuteProgram", CEngineLog::kLevelError,
          "ERROR!!! - Pass: %s Does Not Have Vertex Declaration\n", m_pPass->GetName());
    return 0;
  }
  return m_Setup.Run(m_pRenderer->GetVertexShaderStorageInterface(), m_pShader,
                     &CVertexShaderInterface::Set);
}

CShaderLine* MakeSetVertexShader(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetVertexShader(arguments);
}
