#pragma once
// Walks Direct3D 9 shader bytecode, which carries no length: callers hand over a pointer only.
#include <cstddef>

#include "d3d9.h"

class CShaderBytecode {
 public:
  static constexpr size_t kMaxTokens = 1 << 20;
  static constexpr DWORD kEndToken = 0x0000FFFF;
  static constexpr DWORD kCommentOpcode = 0xFFFE;

  // Whether the version token names a vertex (vs_1_1 .. vs_3_0) or pixel shader (ps_1_1 .. ps_3_0).
  static bool IsVertexVersion(DWORD version) { return (version >> 16) == 0xFFFE; }
  static bool IsPixelVersion(DWORD version) { return (version >> 16) == 0xFFFF; }
  static UINT MajorVersion(DWORD version) { return (version >> 8) & 0xFF; }
  // Tokens up to and including the end token; 0 when the code is not shader bytecode or runs
  // past kMaxTokens without an end.
  static size_t Length(const DWORD* function);
  // Tokens of the instruction or comment at `at` (1 for the end token), reading no more than
  // `available` tokens; in shader model 1 only the parameter bits tell where it ends.
  static size_t TokenLength(const DWORD* at, size_t available, UINT major);
};
