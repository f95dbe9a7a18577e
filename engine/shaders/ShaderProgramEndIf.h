#pragma once
// ENDIF: closes the block of the IF before it. Running it does nothing; a false IF jumps past it.
#include "shaders/ShaderBlockEndLine.h"

class CShaderProgramEndIf final : public CShaderBlockEndLine {
 public:
  explicit CShaderProgramEndIf(const ShaderLineArguments& arguments);

  // Gives the IF this line, so that it knows where its block ends.
  void LinkBlockStart(CShaderLine* start) override;
};

CShaderLine* MakeShaderProgramEndIf(const ShaderLineArguments& arguments);
