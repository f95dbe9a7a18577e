#include "shaders/ShaderBlockEndLine.h"

#include "core/EngineLog.h"

CShaderBlockEndLine::CShaderBlockEndLine(const ShaderLineArguments& arguments, UINT type,
                                         const char* trace)
    : m_dwType(type), m_dwIndex(arguments.dwIndex) {
  LogTo(arguments.pLog, "ShaderProgramIfFor", CEngineLog::kLevelInfo, trace, arguments.szLine);
  *arguments.pSuccess = 1;
}
