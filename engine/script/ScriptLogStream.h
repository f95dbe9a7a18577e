#pragma once
// The output of module compilations: each line goes to the engine's error log.
#include "script/ScriptOutput.h"

class CEngineLog;

class CScriptLogStream final : public CScriptOutput {
 public:
  explicit CScriptLogStream(CEngineLog* log) : m_pLog(log) {}

  void Line(const char* text) override;

 private:
  CEngineLog* m_pLog;
};
