#include "shaders/ShaderProgramEndIf.h"

#include <new>

#include "core/EngineLog.h"
#include "shaders/ShaderProgramIf.h"

CShaderLine* MakeShaderProgramEndIf(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramEndIf(arguments);
}

CShaderProgramEndIf::CShaderProgramEndIf(const ShaderLineArguments& arguments)
    : m_dwIndex(arguments.dwIndex) {
  LogTo(arguments.pLog, "ShaderProgramIfFor", CEngineLog::kLevelInfo,
        "    - Compile EndIf Line: %s", arguments.szLine);
  *arguments.pSuccess = 1;
}

void CShaderProgramEndIf::LinkBlockStart(CShaderLine* start) {
  if (auto* opening = dynamic_cast<CShaderProgramIf*>(start)) opening->LinkEndIf(this);
}
