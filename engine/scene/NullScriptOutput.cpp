#include "scene/NullScriptOutput.h"

#include "core/EngineLog.h"

void CNullScriptOutput::Line(const char* text) {
  if (m_pLog != nullptr)
    m_pLog->Log("ZK3DNullProcessing", __LINE__, CEngineLog::kLevelError, "%s\n",
                text != nullptr ? text : "");
}
