#pragma once
// Direct3D 9 shader assembly to bytecode, by MojoShader's assembler (which also runs the
// preprocessor, so macros and #include work as in the original tools).
#include <string>
#include <vector>

#include "d3dx9shader.h"

class CShaderAssembler {
 public:
  // The bytecode of `source`, or false with one line per error, each naming the file and line.
  // `fileName` may be null (errors then name "memory").
  static bool Assemble(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                       std::vector<BYTE>* bytecode, std::string* messages);
};
