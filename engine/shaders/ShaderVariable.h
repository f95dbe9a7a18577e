#pragma once
// A variable line of a pass. A declaration (TYPE NAME = value) makes a named variable of the
// pass and refreshes its value each time the pass runs; an assignment (NAME[.mask] = ...)
// gives a declared variable a new value from an immediate, a value source, another variable or
// an expression. Expressions chain to the right: A = B * E + G is A = (B * (E + G)), each link a
// line of its own that computes into its own record.
#include <memory>

#include "d3d9types.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderValueSource.h"
#include "shaders/ShaderVariableValue.h"

class CEngineLog;
class CEngineRenderer;
class CShaderPass;
class CShaderVariableNode;
class CTokenizer;
class VFSFile;

// Operations of a variable line.
enum : UINT {
  SHADER_OPERATION_ADD = 1,
  SHADER_OPERATION_SUBTRACT = 2,
  SHADER_OPERATION_MULTIPLY = 3,
  SHADER_OPERATION_DIVIDE = 4,
  SHADER_OPERATION_ASSIGN = 5,
};

class CShaderVariable final : public CShaderLine {
 public:
  // A vertex-element list holds at most this many elements and its end marker.
  static constexpr UINT kMaxElements = 31;

  // Compiles the pass line `text` (upper-cased), splitting it again with the library's
  // tokenizer. `file` stands at the next line, where a vertex-element list continues.
  // *success is 0 when the line cannot be compiled (the reason reported).
  CShaderVariable(CShaderPass* pass, CEngineRenderer* renderer, CEngineLog* log, VFSFile* file,
                  char* text, UINT* success);
  // Compiles the rest of a line that `tokenizer` already holds, from token `first`, as an
  // expression.
  CShaderVariable(CShaderPass* pass, CEngineRenderer* renderer, CEngineLog* log, VFSFile* file,
                  CTokenizer* tokenizer, int first, char* text, UINT* success);
  ~CShaderVariable() override;
  CShaderVariable(const CShaderVariable&) = delete;
  CShaderVariable& operator=(const CShaderVariable&) = delete;

  UINT GetKind() override { return SHADER_LINE_VARIABLE; }
  // "=" stores the new value into the target; "+" and "*" compute into this line's record.
  // 0 when nothing could be stored or computed; the target then keeps its value.
  UINT Execute() override;
  UINT GetType() override { return 0; }
  int GetSkip() override { return 0; }

  // The variable the line declares or assigns; for an expression, its left operand.
  CShaderVariableNode* GetTarget() { return m_pTarget; }
  const ShaderVariableValue& GetValue() const { return m_Value; }
  UINT GetOperation() const { return m_dwOperation; }
  CShaderVariable* GetRightExpression() { return m_pRightExpression.get(); }
  CShaderVariableNode* GetRightVariable() { return m_pRightVariable; }
  WORD GetTargetModifier() const { return m_wTargetModifier; }
  WORD GetRightModifier() const { return m_wRightModifier; }

  // An assignment or expression from token `first`; 1 on success.
  UINT CompileExpression(VFSFile* file, CTokenizer* tokenizer, int first, char* text);
  // The component mask `text` names for a value of `type`: letters X, Y, Z, W of a vector, or
  // element names _11 to _44 of a matrix. 0 for a bad or empty mask, or another type.
  UINT CompileModifier(const char* text, UINT type, WORD* mask);
  // The vertex-element list of the line, continued on following lines of `file` while a line
  // ends in a backslash; stored into the target at once.
  UINT CompileDeclarationValues(VFSFile* file, CTokenizer* tokenizer, const char* sender);

 private:
  void Compile(VFSFile* file, CTokenizer* tokenizer, int first, char* text, UINT* success);
  UINT CompileDeclaration(VFSFile* file, CTokenizer* tokenizer, int first, char* text);
  // The immediate written in `text` for a record of `type`; errors reported by `sender`.
  UINT CompileImmediate(VFSFile* file, CTokenizer* tokenizer, char* text, const char* sender);
  UINT CompileVector(const char* text, const char* sender);
  // A FLOAT or DWORD, by the record's type.
  UINT CompileScalar(const char* text, const char* sender);
  // The source value named from token `first` into this line's record.
  UINT CompileSource(CTokenizer* tokenizer, int first, const char* text);
  UINT Assign();
  UINT AssignFrom(CShaderVariableNode* right);
  // The sum or product of the operands into this line's record.
  UINT Combine();
  // The value of an operand: the variable's record, or the expression's after running it.
  bool OperandValue(CShaderVariableNode* variable, CShaderVariable* expression,
                    ShaderVariableValue* value);
  CShaderVariableNode* FindNode(const char* word);
  UINT ReportError(UINT code, const char* sender);

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  std::unique_ptr<CShaderVariable> m_pLeftExpression;
  std::unique_ptr<CShaderVariable> m_pRightExpression;
  CShaderVariableNode* m_pTarget = nullptr;
  CShaderVariableNode* m_pRightVariable = nullptr;
  ShaderVariableValue m_Value = {};
  CShaderValueSource m_Source{m_pPass, m_pRenderer, m_pLog, &m_Value};
  UINT m_dwOperation = 0;
  WORD m_wTargetModifier = 0;
  WORD m_wRightModifier = 0;
  std::unique_ptr<D3DVERTEXELEMENT9[]> m_pElements;
};

// The line constructor of the pass compiler's keyword table for lines that are no command.
CShaderLine* MakeShaderVariable(const ShaderLineArguments& arguments);
