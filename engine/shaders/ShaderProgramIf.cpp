#include "shaders/ShaderProgramIf.h"

#include <cctype>
#include <cstring>
#include <new>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "shaders/Shader.h"
#include "shaders/ShaderImmediates.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramEndIf.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kConstructor[] = "CShaderProgramIf::CShaderProgramIf";
const char kExecute[] = "CShaderProgramIf::Execute";

// The operand as written after the operator: the tokenizer splits "1.5" and "-2" into several
// words, so a number is read from the text. Empty when the text has no operator.
void OperandText(const char* text, char* operand, size_t size) {
  operand[0] = '\0';
  const char* op = std::strpbrk(text, "=!");
  if (op != nullptr) op = std::strchr(op + 1, '=');
  if (op == nullptr) return;
  const char* start = op + 1;
  while (*start == ' ' || *start == '\t') ++start;
  size_t length = 0;
  while (start[length] != '\0' && !std::isspace(static_cast<unsigned char>(start[length])) &&
         length + 1 < size)
    ++length;
  std::memcpy(operand, start, length);
  operand[length] = '\0';
}

}  // namespace

CShaderLine* MakeShaderProgramIf(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramIf(arguments);
}

CShaderProgramIf::CShaderProgramIf(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_dwIndex(arguments.dwIndex) {
  CTokenizer* tokenizer = m_pPass->GetShader()->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(arguments.pLog, "ShaderProgramIfFor", CEngineLog::kLevelInfo, "    - Compile If Line: %s",
        arguments.szLine);
  *arguments.pSuccess = 0;
  m_pVariable = m_pPass->FindVariable(tokenizer->GetToken(1));
  if (m_pVariable == nullptr || CompileComparison(arguments.szLine) == 0) {
    m_pPass->ReportError(27, kConstructor);
    return;
  }
  // A comparison needs a value of its own kind to compare with.
  const UINT fits = m_wComparison == kCompareWhole ? SHADER_VALUE_DWORD : SHADER_VALUE_FLOAT;
  if (m_pVariable->GetType() != fits) {
    m_pPass->ReportError(15, kConstructor);
    return;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramIf::CompileComparison(const char* text) {
  CTokenizer* tokenizer = m_pPass->GetShader()->GetLibrary()->GetTokenizer();
  const char* first = tokenizer->GetToken(2);
  if (std::strcmp(tokenizer->GetToken(3), "=") != 0) return 0;
  if (std::strcmp(first, "=") == 0)
    m_wOperator = kEqual;
  else if (std::strcmp(first, "!") == 0)
    m_wOperator = kNotEqual;
  else
    return 0;
  const char* word = tokenizer->GetToken(4);
  if (word[0] == '\0') return 0;
  m_wComparison = kCompareWhole;
  if (std::strncmp(word, "TRUE", 4) == 0) {
    m_Value.dwValue = 1;
  } else if (std::strncmp(word, "FALSE", 4) == 0) {
    m_Value.dwValue = 0;
  } else {
    m_wComparison = kCompareFloat;
    char operand[CTokenizer::kSlotSize];
    OperandText(text, operand, sizeof operand);
    if (!ReadImmediateFloat(operand, &m_Value.fValue)) return 0;
  }
  return 1;
}

bool CShaderProgramIf::Holds(bool* holds) {
  bool equal = false;
  if (m_wComparison == kCompareWhole) {
    const DWORD* value = m_pVariable->GetDword();
    if (value == nullptr) return false;
    equal = *value == m_Value.dwValue;
  } else if (m_wComparison == kCompareFloat) {
    const float* value = m_pVariable->GetFloat();
    if (value == nullptr) return false;
    equal = *value == m_Value.fValue;  // unordered counts as unequal
  } else {
    return false;
  }
  if (m_wOperator == kEqual)
    *holds = equal;
  else if (m_wOperator == kNotEqual)
    *holds = !equal;
  else
    return false;
  return true;
}

UINT CShaderProgramIf::Execute() {
  bool holds = false;
  if (m_pEndIf == nullptr || !Holds(&holds)) {
    m_pPass->ReportError(256, kExecute);
    return 0;
  }
  m_iSkip = holds ? 0 : static_cast<int>(m_pEndIf->GetIndex() - m_dwIndex);
  return 1;
}
