#pragma once
// IF variable == value, IF variable != value: runs the lines up to its ENDIF only while the
// condition holds, else jumps past the ENDIF. The value is TRUE or FALSE for a DWORD variable,
// or a number for a FLOAT variable.
#include "shaders/ShaderBlockStart.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CShaderPass;
class CShaderProgramEndIf;
class CShaderVariableNode;

class CShaderProgramIf final : public CShaderLine, public CShaderBlockStart {
 public:
  // Comparison kinds.
  static constexpr WORD kCompareFloat = 2;
  static constexpr WORD kCompareWhole = 3;
  // Operators.
  static constexpr WORD kEqual = 1;
  static constexpr WORD kNotEqual = 2;

  explicit CShaderProgramIf(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  // Sets the skip by the condition; 0 when the comparison cannot be made.
  UINT Execute() override;
  UINT GetType() override { return SHADER_COMMAND_IF; }
  int GetSkip() override { return m_iSkip; }
  bool IsBlockClosed() const override { return m_pEndIf != nullptr; }

  void LinkEndIf(CShaderProgramEndIf* endIf) { m_pEndIf = endIf; }
  WORD GetComparisonKind() const { return m_wComparison; }
  WORD GetOperator() const { return m_wOperator; }
  DWORD GetWholeValue() const { return m_Value.dwValue; }
  float GetFloatValue() const { return m_Value.fValue; }

 private:
  // The operator and the value from the line's words and text; 0 when they are not there.
  UINT CompileComparison(const char* text);
  bool Holds(bool* holds);

  CShaderPass* m_pPass;
  CShaderProgramEndIf* m_pEndIf = nullptr;
  int m_iSkip = 0;
  CShaderVariableNode* m_pVariable = nullptr;
  WORD m_wComparison = 0;
  WORD m_wOperator = 0;
  UINT m_dwIndex;
  union {
    DWORD dwValue;
    float fValue;
  } m_Value = {};
};

CShaderLine* MakeShaderProgramIf(const ShaderLineArguments& arguments);
