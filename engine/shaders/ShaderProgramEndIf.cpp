#include "shaders/ShaderProgramEndIf.h"

#include <new>

#include "shaders/ShaderProgramIf.h"

CShaderLine* MakeShaderProgramEndIf(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramEndIf(arguments);
}

CShaderProgramEndIf::CShaderProgramEndIf(const ShaderLineArguments& arguments)
    : CShaderBlockEndLine(arguments, SHADER_COMMAND_ENDIF, "    - Compile EndIf Line: %s") {}

void CShaderProgramEndIf::LinkBlockStart(CShaderLine* start) {
  if (auto* opening = dynamic_cast<CShaderProgramIf*>(start)) opening->LinkEndIf(this);
}
