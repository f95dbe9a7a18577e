#pragma once
// ENDFOR: closes the loop of the FOREACH before it. Its skip, fixed when the two are linked,
// sends the pass back to the FOREACH.
#include "shaders/ShaderBlockEnd.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CShaderProgramEndFor final : public CShaderLine, public CShaderBlockEnd {
 public:
  explicit CShaderProgramEndFor(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override { return 1; }
  UINT GetType() override { return SHADER_COMMAND_ENDFOR; }
  int GetSkip() override { return m_iSkip; }
  void LinkBlockStart(CShaderLine* start) override;

  UINT GetIndex() const { return m_dwIndex; }

 private:
  UINT m_dwIndex;
  int m_iSkip = 0;
};

CShaderLine* MakeShaderProgramEndFor(const ShaderLineArguments& arguments);
