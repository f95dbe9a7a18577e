#include "shaders/ShaderProgramSetDefaultStates.h"

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"

CShaderProgramSetDefaultStates::CShaderProgramSetDefaultStates(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments) {
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "    - Compiling SetDefaultStates: %s",
        arguments.szLine);
}

UINT CShaderProgramSetDefaultStates::Execute() {
  m_pRenderer->SetDefaultStates();
  return 1;
}
