#include "d3d/ShaderRecord.h"

#include "core/EngineLog.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";

}  // namespace

CShaderRecord::CShaderRecord(const char* name, const ShaderParameter* parameters, UINT count)
    : m_Name(name), m_Parameters(parameters, parameters + (parameters ? count : 0)) {}

ShaderParameter* CShaderRecord::GetParameter(UINT index, CEngineLog* log, const char* error) {
  if (index >= m_Parameters.size()) {
    LogTo(log, kSource, CEngineLog::kLevelError, "%s", error);
    return nullptr;
  }
  return &m_Parameters[index];
}
