#pragma once
// Walks Direct3D 9 shader bytecode, which carries no length: callers hand over a pointer only.
#include <cstddef>

#include "d3d9.h"

class CShaderBytecode {
 public:
  static constexpr size_t kMaxTokens = 1 << 20;

  // Whether the version token names a vertex (vs_1_1 .. vs_3_0) or pixel shader (ps_1_1 .. ps_3_0).
  static bool IsVertexVersion(DWORD version) { return (version >> 16) == 0xFFFE; }
  static bool IsPixelVersion(DWORD version) { return (version >> 16) == 0xFFFF; }
  static UINT MajorVersion(DWORD version) { return (version >> 8) & 0xFF; }
  // Tokens up to and including the end token; 0 when the code is not shader bytecode or runs
  // past kMaxTokens without an end.
  static size_t Length(const DWORD* function);
};
