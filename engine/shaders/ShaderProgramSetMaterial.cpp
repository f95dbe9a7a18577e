#include "shaders/ShaderProgramSetMaterial.h"

#include "ZeKorbD3DHeader.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetMaterial::CShaderProgramSetMaterial";

constexpr ShaderCommandKeyword kFlags[] = {{"TRUE", 1}, {"FALSE", 0}};

}  // namespace

CShaderProgramSetMaterial::CShaderProgramSetMaterial(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetMaterial: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetMaterial::Compile() {
  if (Word(1)[0] == '\0' || Word(2)[0] == '\0') return false;
  m_pMaterial = Reference(Word(1), {SHADER_VALUE_MATERIAL, SHADER_VALUE_MATERIAL_VALUE});
  if (m_pMaterial == nullptr) return false;
  const ShaderCommandKeyword* flag = Match(Word(2), kFlags);
  if (flag == nullptr) return false;
  m_dwFlag = flag->dwValue;
  return true;
}

UINT CShaderProgramSetMaterial::Execute() {
  if (CMaterialInterface* material = m_pMaterial->GetMaterial()) {
    material->Set(m_dwFlag);
    return 1;
  }
  if (const float* floats = m_pMaterial->GetMaterialValue()) {
    D3DMATERIAL9 record = MaterialRecord(floats);
    m_pRenderer->GetMaterialStorageInterface()->SetMaterial(&record, m_dwFlag);
    return 1;
  }
  m_pPass->ReportError(256, "CShaderProgramSetMaterial::Execute");
  return 0;
}
