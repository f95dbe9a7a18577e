#include "shaders/ShaderVariableNode.h"

#include <cstdio>

#include "core/EngineLog.h"

CShaderVariableNode::CShaderVariableNode(CEngineLog* log, CShaderVariable* owner,
                                         const char* name, UINT type)
    : m_pLog(log), m_pOwner(owner) {
  std::snprintf(m_szName, sizeof m_szName, "%s", name);
  m_Value.dwType = type;
  LogTo(m_pLog, "ShaderVariable", CEngineLog::kLevelInfo, "      - Variable Name: %s...\n",
        m_szName);
}

D3DXMATRIX* CShaderVariableNode::GetMatrix() {
  // A matrix taken from an object is copied into the record under either tag, since the
  // objects hand out matrices that do not outlive the call.
  if (m_Value.dwType == SHADER_VALUE_MATRIX || m_Value.dwType == SHADER_VALUE_MATRIX_REFERENCE)
    return &m_Value.mtxValue;
  return nullptr;
}

D3DXVECTOR4* CShaderVariableNode::GetVector() {
  return m_Value.dwType == SHADER_VALUE_VECTOR ? &m_Value.vecValue : nullptr;
}

DWORD* CShaderVariableNode::GetDword() {
  return m_Value.dwType == SHADER_VALUE_DWORD ? &m_Value.scalar.dwValue : nullptr;
}

float* CShaderVariableNode::GetFloat() {
  return m_Value.dwType == SHADER_VALUE_FLOAT ? &m_Value.scalar.fValue : nullptr;
}

DWORD* CShaderVariableNode::GetTable() {
  return m_Value.dwType == SHADER_VALUE_TABLE ? &m_Value.scalar.dwValue : nullptr;
}

float* CShaderVariableNode::GetMaterialValue() {
  return m_Value.dwType == SHADER_VALUE_MATERIAL_VALUE ? m_Value.fMaterial : nullptr;
}

CTextureInterface* CShaderVariableNode::GetTexture() {
  return static_cast<CTextureInterface*>(PointerOf(SHADER_VALUE_TEXTURE));
}

D3DVERTEXELEMENT9* CShaderVariableNode::GetDeclaration() {
  return static_cast<D3DVERTEXELEMENT9*>(PointerOf(SHADER_VALUE_DECLARATION));
}

CMaterialInterface* CShaderVariableNode::GetMaterial() {
  return static_cast<CMaterialInterface*>(PointerOf(SHADER_VALUE_MATERIAL));
}

void* CShaderVariableNode::GetSquareRenderTexture() {
  return PointerOf(SHADER_VALUE_SQUARE_RENDER_TEXTURE);
}

void* CShaderVariableNode::GetCubeRenderTexture() {
  return PointerOf(SHADER_VALUE_CUBE_RENDER_TEXTURE);
}
