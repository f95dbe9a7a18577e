#pragma once
// The output stream a null's script runs with: every line the script engine reports goes to
// the engine log at the error level, so a failing script explains itself there.
#include "script/ScriptOutput.h"

class CEngineLog;

class CNullScriptOutput final : public CScriptOutput {
 public:
  explicit CNullScriptOutput(CEngineLog* log) : m_pLog(log) {}

  void Line(const char* text) override;

 private:
  CEngineLog* m_pLog;
};
