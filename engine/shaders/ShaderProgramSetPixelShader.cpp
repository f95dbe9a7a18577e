#include "shaders/ShaderProgramSetPixelShader.h"

#include "d3d/D3D9Enumeration.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderLineTable.h"

namespace {

const char kConstructor[] = "CShaderProgramSetPixelShader::CShaderProgramSetPixelShader";

const ShaderProgramKind kPixelPrograms = {
    "    - Compiling SetPixelShader: %s",
    "Pixel Shader File: %s\n",
    "PSH",
    "PHL",
    "%spsh\\%s",
    kConstructor,
    kConstructor,
    "CShaderProgramSetPixelShader::Execute",
    "Not Enuff ShaderParameters Entries in Pixel Shader",
    28,
    29,
    0,
    false,
};

// AUTO follows the scheme the device was set up for, whatever technique is compiled.
const char* AutoProfile(CEngineRenderer* renderer) {
  CD3D9Enumeration* enumeration = renderer->GetEnumeration();
  switch (enumeration != nullptr ? enumeration->GetSelectedScheme() : 0) {
    case 4: return "ps_1_1";
    case 8: return "ps_1_3";
    case 16: return "ps_1_4";
    case 32: return "ps_2_0";
    case 64: return "ps_2_a";
    default: return nullptr;
  }
}

}  // namespace

CShaderProgramSetPixelShader::CShaderProgramSetPixelShader(const ShaderLineArguments& arguments)
    : m_pRenderer(arguments.pRenderer), m_Setup(arguments.pPass, arguments.pLog, kPixelPrograms) {
  *arguments.pSuccess = 0;
  if (!m_Setup.Compile(arguments.szLine, AutoProfile(m_pRenderer))) return;
  if (!m_Setup.IsNull()) {
    m_pShader = m_Setup.CreateProgram(m_pRenderer->GetPixelShaderStorageInterface(), kConstructor);
    if (m_pShader == nullptr) return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramSetPixelShader::Execute() {
  return m_Setup.Run(m_pRenderer->GetPixelShaderStorageInterface(), m_pShader,
                     &CPixelShaderInterface::SetShader);
}

CShaderLine* MakeSetPixelShader(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetPixelShader(arguments);
}
