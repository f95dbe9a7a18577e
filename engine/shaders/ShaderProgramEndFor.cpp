#include "shaders/ShaderProgramEndFor.h"

#include <new>

#include "shaders/ShaderProgramForEach.h"

CShaderLine* MakeShaderProgramEndFor(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramEndFor(arguments);
}

CShaderProgramEndFor::CShaderProgramEndFor(const ShaderLineArguments& arguments)
    : CShaderBlockEndLine(arguments, SHADER_COMMAND_ENDFOR, "    - Compile EndFor Line: %s") {}

void CShaderProgramEndFor::LinkBlockStart(CShaderLine* start) {
  auto* loop = dynamic_cast<CShaderProgramForEach*>(start);
  if (loop == nullptr) return;
  loop->LinkEndFor(this);
  // The pass moves on by skip + 1, which lands on the FOREACH again.
  m_iSkip = static_cast<int>(loop->GetIndex()) - static_cast<int>(GetIndex()) - 1;
}
