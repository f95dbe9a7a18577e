#pragma once
// SUBROUTINE name: a named line that compiles but must never be reached; a pass whose run
// reaches it fails.
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CShaderProgramSubRoutine final : public CShaderLine {
 public:
  static constexpr UINT kNameSize = 256;

  explicit CShaderProgramSubRoutine(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override { return 0; }
  UINT GetType() override { return 36; }
  int GetSkip() override { return 0; }

  const char* GetRoutineName() const { return m_szName; }

 private:
  char m_szName[kNameSize] = {};
};

CShaderLine* MakeShaderProgramSubRoutine(const ShaderLineArguments& arguments);
