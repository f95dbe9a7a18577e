#pragma once
// A variable line of a pass: it declares a named value that the pass's later lines refer to.
// The pass keeps its variables in a table searched by name.
#include "shaders/ShaderLine.h"

class CShaderVariable : public CShaderLine {
 public:
  UINT GetKind() override { return SHADER_LINE_VARIABLE; }
  UINT GetType() override { return 0; }
  int GetSkip() override { return 0; }
  // The declared name, in capitals.
  virtual const char* GetName() = 0;
};
