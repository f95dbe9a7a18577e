#pragma once
// ENDFOR: closes the loop of the FOREACH before it. Its skip, fixed when the two are linked,
// sends the pass back to the FOREACH.
#include "shaders/ShaderBlockEndLine.h"

class CShaderProgramEndFor final : public CShaderBlockEndLine {
 public:
  explicit CShaderProgramEndFor(const ShaderLineArguments& arguments);

  void LinkBlockStart(CShaderLine* start) override;
};

CShaderLine* MakeShaderProgramEndFor(const ShaderLineArguments& arguments);
