#include "shaders/ShaderProgramSetTransform.h"

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetTransform::CShaderProgramSetTransform";

constexpr ShaderCommandKeyword kTransforms[] = {
    {"WORLD", D3DTS_WORLD},       {"VIEW", D3DTS_VIEW},         {"PROJECTION", D3DTS_PROJECTION},
    {"TEXTURE0", D3DTS_TEXTURE0}, {"TEXTURE1", D3DTS_TEXTURE1}, {"TEXTURE2", D3DTS_TEXTURE2},
    {"TEXTURE3", D3DTS_TEXTURE3}, {"TEXTURE4", D3DTS_TEXTURE4}, {"TEXTURE5", D3DTS_TEXTURE5},
    {"TEXTURE6", D3DTS_TEXTURE6}, {"TEXTURE7", D3DTS_TEXTURE7},
};

static_assert(sizeof(CMatrix) == sizeof(D3DXMATRIX));

}  // namespace

CShaderProgramSetTransform::CShaderProgramSetTransform(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling Transform: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetTransform::Compile() {
  if (Word(1)[0] == '\0' || Word(2)[0] == '\0') return false;
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "    - Compiling D3DTS...\n");
  const ShaderCommandKeyword* transform = Match(Word(1), kTransforms);
  if (transform == nullptr) return false;
  m_dwTransform = transform->dwValue;
  m_pMatrix = Reference(Word(2), {SHADER_VALUE_MATRIX_REFERENCE, SHADER_VALUE_MATRIX});
  return m_pMatrix != nullptr;
}

UINT CShaderProgramSetTransform::Execute() {
  if (const D3DXMATRIX* matrix = m_pMatrix->GetMatrix())
    m_pRenderer->SetTransform(m_dwTransform, reinterpret_cast<const CMatrix*>(matrix));
  return 1;
}
