#include "shaders/ShaderProgramSetConstant.h"

#include <cmath>
#include <cstring>
#include <iterator>

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderCommandWords.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSource[] = "ExecuteProgram";

constexpr UINT kFloatTypes[] = {SHADER_VALUE_MATRIX_REFERENCE, SHADER_VALUE_MATRIX,
                                SHADER_VALUE_TABLE, SHADER_VALUE_VECTOR};
constexpr UINT kIntegerTypes[] = {SHADER_VALUE_MATRIX_REFERENCE, SHADER_VALUE_MATRIX,
                                  SHADER_VALUE_VECTOR};
constexpr UINT kBooleanTypes[] = {SHADER_VALUE_DWORD, SHADER_VALUE_FLOAT};

// Toward zero; a NaN reads 0 and values past the integer range stop at its ends.
int Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return 2147483647;
  if (value <= -2147483648.0f) return static_cast<int>(-2147483647 - 1);
  return static_cast<int>(value);
}

// Above 1 gives 1, else below 0 gives 0; a NaN passes unchanged.
float Saturate(float value) {
  if (value > 1.0f) return 1.0f;
  if (value < 0.0f) return 0.0f;
  return value;
}

bool IsMatrix(UINT type) {
  return type == SHADER_VALUE_MATRIX || type == SHADER_VALUE_MATRIX_REFERENCE;
}

}  // namespace

CShaderProgramSetConstant::CShaderProgramSetConstant(const ShaderLineArguments& arguments,
                                                     const ShaderConstantKind& kind)
    : m_pPass(arguments.pPass), m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog),
      m_Kind(kind) {
  *arguments.pSuccess = 0;
  if (!kind.bTraceAfterWord)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, kind.szCompileLog, arguments.szLine);
  const CShaderCommandWords words(m_pPass);
  if (words.IsEmpty(1)) {
    m_pPass->ReportError(27, kind.szConstructor);
    return;
  }
  if (kind.bTraceAfterWord)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, kind.szCompileLog, arguments.szLine);
  if (words.IsEmpty(2)) {
    m_pPass->ReportError(27, kind.szConstructor);
    return;
  }
  m_dwRegister = words.Number(1);
  switch (kind.form) {
    case ShaderConstantForm::kFloat:
      m_pVariable = m_pPass->ReferenceVariable(words.Word(2), kFloatTypes, std::size(kFloatTypes));
      break;
    case ShaderConstantForm::kInteger:
      m_pVariable =
          m_pPass->ReferenceVariable(words.Word(2), kIntegerTypes, std::size(kIntegerTypes));
      break;
    case ShaderConstantForm::kBoolean:
      m_pVariable =
          m_pPass->ReferenceVariable(words.Word(2), kBooleanTypes, std::size(kBooleanTypes));
      break;
  }
  if (m_pVariable == nullptr) {
    m_pPass->ReportError(27, kind.szConstructor);
    return;
  }
  if (std::strcmp(words.Word(3), "SAT") == 0) {
    m_dwSaturate = 1;
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "\t\t- Saturate");
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramSetConstant::Execute() {
  switch (m_Kind.form) {
    case ShaderConstantForm::kFloat: return LoadFloatValue();
    case ShaderConstantForm::kInteger: return LoadIntegerValue();
    case ShaderConstantForm::kBoolean: return LoadBooleanValue();
  }
  return 0;
}

UINT CShaderProgramSetConstant::ReportUnloadable() {
  m_pPass->ReportError(256, m_Kind.szExecute);
  return 0;
}

UINT CShaderProgramSetConstant::LoadTable() { return ReportUnloadable(); }

UINT CShaderProgramSetConstant::LoadFloatValue() {
  const UINT type = m_pVariable->GetType();
  if (type == SHADER_VALUE_VECTOR) {
    D3DXVECTOR4 vector = *m_pVariable->GetVector();
    if (m_dwSaturate != 0)
      vector = {Saturate(vector.x), Saturate(vector.y), Saturate(vector.z), Saturate(vector.w)};
    LoadFloats(m_dwRegister, &vector.x, 1);
    return 1;
  }
  if (IsMatrix(type)) {
    LoadFloats(m_dwRegister, &m_pVariable->GetMatrix()->m[0][0], 4);
    return 1;
  }
  if (type == SHADER_VALUE_TABLE) return LoadTable();
  return ReportUnloadable();
}

UINT CShaderProgramSetConstant::LoadIntegerValue() {
  const UINT type = m_pVariable->GetType();
  int values[16];
  if (type == SHADER_VALUE_VECTOR) {
    const D3DXVECTOR4& vector = *m_pVariable->GetVector();
    const float floats[4] = {vector.x, vector.y, vector.z, vector.w};
    for (int i = 0; i < 4; ++i) values[i] = Truncate(floats[i]);
    LoadIntegers(m_dwRegister, values, 1);
    return 1;
  }
  if (IsMatrix(type)) {
    const D3DXMATRIX& matrix = *m_pVariable->GetMatrix();
    for (int i = 0; i < 16; ++i) values[i] = Truncate(matrix.m[i / 4][i % 4]);
    LoadIntegers(m_dwRegister, values, 4);
    return 1;
  }
  return ReportUnloadable();
}

UINT CShaderProgramSetConstant::LoadBooleanValue() {
  switch (m_pVariable->GetType()) {
    case SHADER_VALUE_DWORD:
      LoadBoolean(*m_pVariable->GetDword());
      return 1;
    case SHADER_VALUE_FLOAT:
      LoadBoolean(static_cast<UINT>(Truncate(*m_pVariable->GetFloat())));
      return 1;
    default:
      return ReportUnloadable();
  }
}

void CShaderProgramSetConstant::LoadFloats(UINT first, const float* values, UINT count) {
  Check(m_Kind.stage == ShaderConstantStage::kVertex
            ? m_pRenderer->SetVertexShaderConstantF(first, values, count)
            : m_pRenderer->SetPixelShaderConstantF(first, values, count));
}

void CShaderProgramSetConstant::LoadIntegers(UINT first, const int* values, UINT count) {
  Check(m_Kind.stage == ShaderConstantStage::kVertex
            ? m_pRenderer->SetVertexShaderConstantI(first, values, count)
            : m_pRenderer->SetPixelShaderConstantI(first, values, count));
}

void CShaderProgramSetConstant::LoadBoolean(UINT value) {
  Check(m_Kind.stage == ShaderConstantStage::kVertex
            ? m_pRenderer->SetVertexShaderConstantF(m_dwRegister, &value, 1)
            : m_pRenderer->SetPixelShaderConstantF(m_dwRegister, &value, 1));
}

void CShaderProgramSetConstant::Check(HRESULT result) {
  if (result < 0)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, m_Kind.szFailure,
          D3DResultName(result), D3DResultDescription(result));
}
