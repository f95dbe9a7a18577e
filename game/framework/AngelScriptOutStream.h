#pragma once
// Where the script engine's messages go: each non-empty text lands in the script log as it is.
class geCAngelScriptOutStream {
 public:
  virtual ~geCAngelScriptOutStream() = default;
  virtual void Write(const char* szText);
};
