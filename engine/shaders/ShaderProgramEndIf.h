#pragma once
// ENDIF: closes the block of the IF before it. Running it does nothing; a false IF jumps past it.
#include "shaders/ShaderBlockEnd.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CShaderProgramEndIf final : public CShaderLine, public CShaderBlockEnd {
 public:
  explicit CShaderProgramEndIf(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override {
    m_iSkip = 0;
    return 1;
  }
  UINT GetType() override { return SHADER_COMMAND_ENDIF; }
  int GetSkip() override { return m_iSkip; }
  // Gives the IF this line, so that it knows where its block ends.
  void LinkBlockStart(CShaderLine* start) override;

  UINT GetIndex() const { return m_dwIndex; }

 private:
  UINT m_dwIndex;
  int m_iSkip = 0;
};

CShaderLine* MakeShaderProgramEndIf(const ShaderLineArguments& arguments);
