#pragma once
// Where the script engine's messages go: each non-empty text lands in the script log as it is.
class geCAngelScriptOutStream {
 public:
  virtual ~geCAngelScriptOutStream() = default;
  virtual void Write(const char* szText);
};

// The framework's one stream for the script engine's messages.
extern geCAngelScriptOutStream g_AngelScriptOutStream;
