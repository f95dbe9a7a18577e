#pragma once
// Where the console's script runs report: compiler messages and run-time exceptions become
// console output lines of at most 63 characters each, with no character lost.
#include "scene/ScriptOutput.h"

class CConsole;

class CConsoleOutputStream final : public CScriptOutput {
 public:
  static constexpr unsigned kLineLength = 63;

  explicit CConsoleOutputStream(CConsole& console) : m_console(console) {}

  // Splits `text` over new output lines: while 63 or more characters remain a line takes the next
  // 63; what is left (possibly nothing) goes to one more line.
  void Write(const char* text);
  // One message of the script host: written with its own line end, so each shows on its own.
  void Line(const char* text) override;

 private:
  CConsole& m_console;
};
