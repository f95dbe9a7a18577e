#include "script/ScriptLogStream.h"

#include "core/EngineLog.h"

void CScriptLogStream::Line(const char* text) {
  if (m_pLog != nullptr)
    m_pLog->Log("scriptmodule", __LINE__, CEngineLog::kLevelError, "%s\n",
                text != nullptr ? text : "");
}
