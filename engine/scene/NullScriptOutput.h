#pragma once
// The output stream a null's script runs with: every line the script engine reports goes to
// the engine log at the error level, so a failing script explains itself there.
class CEngineLog;

class CNullScriptOutput {
 public:
  explicit CNullScriptOutput(CEngineLog* log) : m_pLog(log) {}

  void Line(const char* text);

 private:
  CEngineLog* m_pLog;
};
