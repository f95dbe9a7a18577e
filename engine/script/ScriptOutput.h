#pragma once
// Where the messages of a script run go: the compiler's diagnostics and a run-time exception,
// one line each, without a line end. The nulls' script runs log them, the console prints them.
class CScriptOutput {
 public:
  virtual void Line(const char* text) = 0;

 protected:
  ~CScriptOutput() = default;
};
