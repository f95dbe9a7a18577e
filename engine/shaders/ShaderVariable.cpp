#include "shaders/ShaderVariable.h"

#include <cctype>
#include <cstring>
#include <new>

#include "ZKDXInterface.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/Tokenizer.h"
#include "shaders/Shader.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderImmediates.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderVariableNode.h"
#include "shaders/ShaderVertexElements.h"

namespace {

const char kSource[] = "ShaderVariable";
const char kConstructor[] = "CShaderVariable";
const char kDeclaration[] = "CShaderVariable::InitializeVariable";
const char kExpression[] = "CShaderVariable::CompileExpression";
const char kModifier[] = "CShaderVariable::CompileModifier";
const char kElements[] = "CShaderVariable::CompileDeclarationValues";
const char kExecute[] = "CShaderVariable::Execute";

struct TypeKeyword {
  const char* szKeyword;
  UINT dwType;
};

// Tried in this order; a word declares the first type it begins with.
constexpr TypeKeyword kTypeKeywords[] = {
    {"TEXTURE", SHADER_VALUE_TEXTURE}, {"MATERIAL", SHADER_VALUE_MATERIAL},
    {"DECLARATION", SHADER_VALUE_DECLARATION}, {"FLOAT", SHADER_VALUE_FLOAT},
    {"DWORD", SHADER_VALUE_DWORD}, {"VECTOR", SHADER_VALUE_VECTOR},
    {"TABLE", SHADER_VALUE_TABLE}, {"MATRIX", SHADER_VALUE_MATRIX_REFERENCE},
};

// Value sources, matched as whole words.
constexpr const char* kSourceWords[] = {"SURFACE", "MESH", "SCENE", "CAMERA", "LIGHT", "SYSTEM"};

// Element names of a matrix mask, each setting the bit of its place in row-major order.
constexpr const char* kMatrixElements[] = {"_11", "_12", "_13", "_14", "_21", "_22",
                                           "_23", "_24", "_31", "_32", "_33", "_34",
                                           "_41", "_42", "_43", "_44"};

bool IsMatrix(UINT type) {
  return type == SHADER_VALUE_MATRIX || type == SHADER_VALUE_MATRIX_REFERENCE;
}

bool IsSourceWord(const char* word) {
  for (const char* source : kSourceWords)
    if (std::strcmp(word, source) == 0) return true;
  return false;
}

// Whether "+" and "*" compute anything for values of this type.
bool IsArithmetic(UINT type) {
  return type == SHADER_VALUE_MATRIX || type == SHADER_VALUE_VECTOR ||
         type == SHADER_VALUE_DWORD || type == SHADER_VALUE_FLOAT;
}

}  // namespace

CShaderLine* MakeShaderVariable(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderVariable(arguments.pPass, arguments.pRenderer, arguments.pLog,
                                            arguments.pFile, arguments.szLine,
                                            arguments.pSuccess);
}

CShaderVariable::CShaderVariable(CShaderPass* pass, CEngineRenderer* renderer, CEngineLog* log,
                                 VFSFile* file, char* text, UINT* success)
    : m_pPass(pass), m_pRenderer(renderer), m_pLog(log) {
  CTokenizer* tokenizer = pass->GetShader()->GetLibrary()->GetTokenizer();
  tokenizer->Tokenize(text, CTokenizer::kCaseUpper);
  Compile(file, tokenizer, 0, text, success);
}

CShaderVariable::CShaderVariable(CShaderPass* pass, CEngineRenderer* renderer, CEngineLog* log,
                                 VFSFile* file, CTokenizer* tokenizer, int first, char* text,
                                 UINT* success)
    : m_pPass(pass), m_pRenderer(renderer), m_pLog(log) {
  Compile(file, tokenizer, first, text, success);
}

CShaderVariable::~CShaderVariable() = default;

UINT CShaderVariable::ReportError(UINT code, const char* sender) {
  return m_pPass->ReportError(code, sender);
}

void CShaderVariable::Compile(VFSFile* file, CTokenizer* tokenizer, int first, char* text,
                              UINT* success) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Parsing Variable: %s", text);
  const char* word = tokenizer->GetToken(first);
  bool declaration = false;
  for (const TypeKeyword& keyword : kTypeKeywords)
    if (CShaderFileLines::BeginsWith(word, keyword.szKeyword)) {
      m_Value.dwType = keyword.dwType;
      declaration = true;
      break;
    }
  *success = 0;
  if (declaration) {
    if (CompileDeclaration(file, tokenizer, first, text) == 0) {
      ReportError(10, kConstructor);
      return;
    }
  } else if (CompileExpression(file, tokenizer, first, text) == 0) {
    ReportError(11, kConstructor);
    return;
  }
  *success = 1;
}

CShaderVariableNode* CShaderVariable::FindNode(const char* word) {
  char name[CShaderVariableNode::kNameSize] = {};
  std::strncpy(name, word, sizeof name - 1);
  return m_pPass->FindVariable(name);
}

UINT CShaderVariable::CompileDeclaration(VFSFile* file, CTokenizer* tokenizer, int first,
                                         char* text) {
  // A variable is named by a word; "=" or a number could never be referred to.
  const char* name = tokenizer->GetToken(first + 1);
  const bool word = std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_';
  auto* node =
      word ? new (std::nothrow) CShaderVariableNode(m_pLog, this, name, m_Value.dwType) : nullptr;
  if (node == nullptr) {
    ReportError(12, kDeclaration);
    return 0;
  }
  // The pass takes the node; a name it holds already, or a full table, leaves it to us.
  if (m_pPass->AddVariable(node) == 0) {
    delete node;
    ReportError(24, kDeclaration);
    return 0;
  }
  m_pTarget = node;
  if (tokenizer->GetToken(first + 2)[0] != '=') {
    ReportError(13, kDeclaration);
    return 0;
  }
  m_dwOperation = SHADER_OPERATION_ASSIGN;
  const char* value = tokenizer->GetToken(first + 3);
  if (IsSourceWord(value)) return CompileSource(tokenizer, first + 3, text);
  if (value[0] == '<') return CompileImmediate(file, tokenizer, text, kDeclaration);
  ReportError(14, kDeclaration);  // TEXTURE and TABLE have no immediate form
  return 0;
}

UINT CShaderVariable::CompileExpression(VFSFile* file, CTokenizer* tokenizer, int first,
                                        char* text) {
  const char* word = tokenizer->GetToken(first);
  m_pTarget = word[0] != '\0' ? FindNode(word) : nullptr;
  if (m_pTarget == nullptr) {
    ReportError(10, kExpression);
    return 0;
  }
  m_Value.dwType = m_pTarget->GetType();
  int operatorAt = first + 1;
  if (tokenizer->GetToken(first + 1)[0] == '.') {
    if (CompileModifier(tokenizer->GetToken(first + 2), m_Value.dwType, &m_wTargetModifier) == 0) {
      ReportError(35, kExpression);
      return 0;
    }
    operatorAt = first + 3;
  }
  switch (tokenizer->GetToken(operatorAt)[0]) {
    case '=': m_dwOperation = SHADER_OPERATION_ASSIGN; break;
    case '+': m_dwOperation = SHADER_OPERATION_ADD; break;
    case '*': m_dwOperation = SHADER_OPERATION_MULTIPLY; break;
    case '/': m_dwOperation = SHADER_OPERATION_DIVIDE; break;
    case '-': m_dwOperation = SHADER_OPERATION_SUBTRACT; break;
    default:
      ReportError(13, kExpression);
      return 0;
  }
  const int operand = operatorAt + 1;
  const char* right = tokenizer->GetToken(operand);
  if (right[0] == '\0') {
    ReportError(25, kExpression);
    return 0;
  }
  if (IsSourceWord(right)) return CompileSource(tokenizer, operand, text);
  if (right[0] == '<') return CompileImmediate(file, tokenizer, text, kExpression);
  const char after = tokenizer->GetToken(operand + 3)[0];
  if (operand + 2 < tokenizer->GetNumberOfTokens() && after != '/' && after != ';' &&
      after != '\\') {
    UINT compiled = 0;
    m_pRightExpression.reset(new (std::nothrow) CShaderVariable(
        m_pPass, m_pRenderer, m_pLog, file, tokenizer, operand, text, &compiled));
    if (m_pRightExpression == nullptr || compiled == 0) {
      ReportError(25, kExpression);
      return 0;
    }
    return 1;
  }
  m_pRightVariable = FindNode(right);
  if (m_pRightVariable == nullptr) {
    ReportError(14, kExpression);
    return 0;
  }
  if (tokenizer->GetToken(operand + 1)[0] == '.')
    return CompileModifier(tokenizer->GetToken(operand + 2), m_pRightVariable->GetType(),
                           &m_wRightModifier);
  return 1;
}

UINT CShaderVariable::CompileModifier(const char* text, UINT type, WORD* mask) {
  *mask = 0;
  const size_t length = std::strlen(text);
  if (IsMatrix(type)) {
    // Three characters a name; one or two left over are ignored.
    for (size_t at = 0; at + 3 <= length; at += 3) {
      WORD bit = 0;
      for (UINT i = 0; i < std::size(kMatrixElements) && bit == 0; ++i)
        if (std::strncmp(text + at, kMatrixElements[i], 3) == 0) bit = static_cast<WORD>(1u << i);
      if (bit == 0) {
        ReportError(35, kModifier);
        return 0;
      }
      *mask |= bit;
    }
  } else if (type == SHADER_VALUE_VECTOR) {
    for (size_t at = 0; at < length; ++at) {
      const char* component = std::strchr("XYZW", text[at]);
      if (component == nullptr) {
        ReportError(35, kModifier);
        return 0;
      }
      *mask |= static_cast<WORD>(1u << (component - "XYZW"));
    }
  } else {
    return 0;  // the caller names what went wrong
  }
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Modifier: %i\n", static_cast<int>(*mask));
  if (*mask == 0) {
    ReportError(35, kModifier);
    return 0;
  }
  return 1;
}

UINT CShaderVariable::CompileImmediate(VFSFile* file, CTokenizer* tokenizer, char* text,
                                       const char* sender) {
  switch (m_Value.dwType) {
    case SHADER_VALUE_MATRIX:
    case SHADER_VALUE_MATRIX_REFERENCE:
      FatalErrorWithTitle("", "CShaderVariable::CompileMATRIXValues\n");
    case SHADER_VALUE_DECLARATION: return CompileDeclarationValues(file, tokenizer, sender);
    case SHADER_VALUE_DWORD:
    case SHADER_VALUE_FLOAT: return CompileScalar(text, sender);
    case SHADER_VALUE_VECTOR: return CompileVector(text, sender);
    case SHADER_VALUE_MATERIAL_VALUE:
    case SHADER_VALUE_MATERIAL: return 0;
    default:
      ReportError(14, sender);
      return 0;
  }
}

UINT CShaderVariable::CompileVector(const char* text, const char* sender) {
  float values[4] = {};
  UINT count = 0;
  if (!ReadImmediateFloats(text, values, 4, &count)) {
    ReportError(14, sender);
    return 0;
  }
  // One number fills x, y and z; two fill x, y and z from y; w only when written.
  D3DXVECTOR4& vector = m_Value.vecValue;
  vector.x = values[0];
  vector.y = count >= 2 ? values[1] : values[0];
  vector.z = count >= 3 ? values[2] : vector.y;
  if (count == 4) vector.w = values[3];
  m_Value.dwType = SHADER_VALUE_VECTOR;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
        "      - Compiled Immediate Value: %f, %f, %f, %f\n", vector.x, vector.y, vector.z,
        vector.w);
  return 1;
}

UINT CShaderVariable::CompileScalar(const char* text, const char* sender) {
  UINT count = 0;
  const bool dword = m_Value.dwType == SHADER_VALUE_DWORD;
  const bool read = dword ? ReadImmediateDwords(text, &m_Value.scalar.dwValue, 1, &count)
                          : ReadImmediateFloats(text, &m_Value.scalar.fValue, 1, &count);
  if (!read) {
    ReportError(14, sender);
    return 0;
  }
  if (dword)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Compiled Immediate Value: %i\n",
          static_cast<int>(m_Value.scalar.dwValue));
  else
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - Compiled Immediate Value: %f\n",
          m_Value.scalar.fValue);
  return 1;
}

namespace {

// The first token that begins with "<", or -1.
int FindOpeningBracket(CTokenizer* tokenizer) {
  for (int i = 0; i < tokenizer->GetNumberOfTokens(); ++i)
    if (tokenizer->GetToken(i)[0] == '<') return i;
  return -1;
}

// A line continues after ">" when a backslash follows, straight away or after a comma.
bool Continues(CTokenizer* tokenizer, int after) {
  const char* next = tokenizer->GetToken(after);
  if (std::strcmp(next, ",") == 0) next = tokenizer->GetToken(after + 1);
  return next[0] == '\\';
}

// Reads the next line that holds an element into `line`; false at the end of the file.
bool NextElementLine(VFSFile* file, CTokenizer* tokenizer, char (&line)[CShaderFileLines::kLineSize]) {
  for (;;) {
    std::memset(line, 0, sizeof line);
    if (file == nullptr || file->Gets(line, sizeof line) == nullptr) return false;
    tokenizer->Tokenize(line, CTokenizer::kCaseUpper);
    if (tokenizer->GetNumberOfTokens() == 0) continue;
    if (tokenizer->GetToken(0)[0] == '\\' && tokenizer->GetToken(1)[0] == '\\') continue;
    return true;
  }
}

}  // namespace

UINT CShaderVariable::CompileDeclarationValues(VFSFile* file, CTokenizer* tokenizer,
                                               const char* sender) {
  D3DVERTEXELEMENT9 elements[kMaxElements + 1];
  UINT count = 0;
  char line[CShaderFileLines::kLineSize];
  for (;;) {
    const int first = FindOpeningBracket(tokenizer);
    int after = 0;
    if (first < 0 || count == kMaxElements ||
        !ReadVertexElement(tokenizer, first, &elements[count], &after)) {
      ReportError(14, sender);
      return 0;
    }
    ++count;
    if (!Continues(tokenizer, after)) break;
    if (!NextElementLine(file, tokenizer, line)) {
      ReportError(14, sender);  // the list runs past the end of the file
      return 0;
    }
  }
  elements[count] = D3DDECL_END();
  m_pElements.reset(new (std::nothrow) D3DVERTEXELEMENT9[count + 1]);
  if (m_pElements == nullptr) {
    ReportError(4, kElements);
    return 0;
  }
  std::memcpy(m_pElements.get(), elements, (count + 1) * sizeof(D3DVERTEXELEMENT9));
  m_Value.dwType = SHADER_VALUE_DECLARATION;
  m_Value.pValue = m_pElements.get();
  m_pTarget->SetValue(m_Value);
  return 1;
}

UINT CShaderVariable::CompileSource(CTokenizer* tokenizer, int first, const char* text) {
  if (m_Source.Compile(tokenizer, first, text) == 0) return 0;
  // Commands that name the variable later in the pass check the type the source gives it.
  ShaderVariableValue* held = m_pTarget->GetValue();
  held->dwType = m_Value.dwType;
  held->wSource = m_Value.wSource;
  held->wValueID = m_Value.wValueID;
  return 1;
}

UINT CShaderVariable::Execute() {
  switch (m_dwOperation) {
    case SHADER_OPERATION_ASSIGN: return Assign();
    case SHADER_OPERATION_ADD:
    case SHADER_OPERATION_MULTIPLY: return Combine();
    default:
      ReportError(17, kExecute);
      return 0;
  }
}

UINT CShaderVariable::Assign() {
  if (m_pTarget == nullptr) {
    ReportError(16, kExecute);
    return 0;
  }
  if (m_pRightExpression != nullptr) {
    CShaderVariable& right = *m_pRightExpression;
    if (right.Execute() == 0) return 0;
    // A sum or product of references computes nothing; its record would leave the target
    // without its reference.
    if (right.m_dwOperation != SHADER_OPERATION_ASSIGN && !IsArithmetic(right.m_Value.dwType))
      return 1;
    m_Value = right.m_Value;
    m_pTarget->SetValue(m_Value);
    return 1;
  }
  if (m_pRightVariable != nullptr) return AssignFrom(m_pRightVariable);
  if (m_Value.wSource != SHADER_SOURCE_NONE) {
    static constexpr UINT kSourceErrors[] = {0, 18, 19, 20, 22, 21, 23};
    if (m_Value.wSource >= std::size(kSourceErrors)) {
      ReportError(16, kExecute);
      return 0;
    }
    if (m_Source.Evaluate() == 0) {
      ReportError(kSourceErrors[m_Value.wSource], kExecute);
      return 0;
    }
  }
  m_pTarget->SetValue(m_Value);
  return 1;
}

UINT CShaderVariable::AssignFrom(CShaderVariableNode* right) {
  // Same types copy whole, whatever the masks say.
  if (right->GetType() == m_pTarget->GetType()) {
    m_Value = *right->GetValue();
    m_pTarget->SetValue(m_Value);
    return 1;
  }
  // The one mix that works: a float into the masked components of a vector.
  if (m_pTarget->GetType() != SHADER_VALUE_VECTOR || m_wTargetModifier == 0 ||
      right->GetType() != SHADER_VALUE_FLOAT || m_wRightModifier != 0)
    return 0;
  m_Value = *m_pTarget->GetValue();
  const float value = right->GetValue()->scalar.fValue;
  float* components = m_Value.vecValue;
  for (int i = 0; i < 4; ++i)
    if ((m_wTargetModifier & (1u << i)) != 0) components[i] = value;
  m_pTarget->SetValue(m_Value);
  return 1;
}

bool CShaderVariable::OperandValue(CShaderVariableNode* variable, CShaderVariable* expression,
                                   ShaderVariableValue* value) {
  if (variable != nullptr) {
    *value = *variable->GetValue();
    return true;
  }
  if (expression == nullptr) {
    ReportError(16, kExecute);
    return false;
  }
  if (expression->Execute() == 0) return false;
  *value = expression->m_Value;
  return true;
}

UINT CShaderVariable::Combine() {
  ShaderVariableValue left, right;
  if (!OperandValue(m_pTarget, m_pLeftExpression.get(), &left) ||
      !OperandValue(m_pRightVariable, m_pRightExpression.get(), &right))
    return 0;
  if (m_wTargetModifier != 0 || m_wRightModifier != 0 || left.dwType != right.dwType) {
    ReportError(17, kExecute);
    return 0;
  }
  const bool product = m_dwOperation == SHADER_OPERATION_MULTIPLY;
  m_Value.dwType = left.dwType;
  switch (left.dwType) {
    case SHADER_VALUE_VECTOR: {
      const float* a = left.vecValue;
      const float* b = right.vecValue;
      float* result = m_Value.vecValue;
      for (int i = 0; i < 4; ++i) result[i] = product ? a[i] * b[i] : a[i] + b[i];
      break;
    }
    case SHADER_VALUE_MATRIX:
      if (!product) {
        ReportError(10, kExecute);
        return 0;
      }
      D3DXMatrixMultiply(&m_Value.mtxValue, &left.mtxValue, &right.mtxValue);
      break;
    case SHADER_VALUE_DWORD:
      m_Value.scalar.dwValue = product ? left.scalar.dwValue * right.scalar.dwValue
                                       : left.scalar.dwValue + right.scalar.dwValue;
      break;
    case SHADER_VALUE_FLOAT:
      m_Value.scalar.fValue = product ? left.scalar.fValue * right.scalar.fValue
                                      : left.scalar.fValue + right.scalar.fValue;
      break;
    default:
      break;  // references, tables and material values have no sum or product
  }
  return 1;
}
