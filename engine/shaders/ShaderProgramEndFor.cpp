#include "shaders/ShaderProgramEndFor.h"

#include <new>

#include "core/EngineLog.h"
#include "shaders/ShaderProgramForEach.h"

CShaderLine* MakeShaderProgramEndFor(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramEndFor(arguments);
}

CShaderProgramEndFor::CShaderProgramEndFor(const ShaderLineArguments& arguments)
    : m_dwIndex(arguments.dwIndex) {
  LogTo(arguments.pLog, "ShaderProgramIfFor", CEngineLog::kLevelInfo,
        "    - Compile EndFor Line: %s", arguments.szLine);
  *arguments.pSuccess = 1;
}

void CShaderProgramEndFor::LinkBlockStart(CShaderLine* start) {
  auto* loop = dynamic_cast<CShaderProgramForEach*>(start);
  if (loop == nullptr) return;
  loop->LinkEndFor(this);
  // The pass moves on by skip + 1, which lands on the FOREACH again.
  m_iSkip = static_cast<int>(loop->GetIndex()) - static_cast<int>(m_dwIndex) - 1;
}
