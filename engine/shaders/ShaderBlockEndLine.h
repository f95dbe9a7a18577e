#pragma once
// What ENDIF and ENDFOR share: a command that takes no arguments and does nothing when it runs,
// knows its index in the pass, and moves the pass on by a skip that its link may fix.
#include "shaders/ShaderBlockEnd.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CShaderBlockEndLine : public CShaderLine, public CShaderBlockEnd {
 public:
  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override { return 1; }
  UINT GetType() override { return m_dwType; }
  int GetSkip() override { return m_iSkip; }

  UINT GetIndex() const { return m_dwIndex; }

 protected:
  // Logs `trace` (a format taking the line) and succeeds.
  CShaderBlockEndLine(const ShaderLineArguments& arguments, UINT type, const char* trace);

  int m_iSkip = 0;

 private:
  UINT m_dwType;
  UINT m_dwIndex;
};
