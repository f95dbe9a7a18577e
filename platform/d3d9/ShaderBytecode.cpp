#include "ShaderBytecode.h"

namespace {

constexpr DWORD kEndToken = 0x0000FFFF;
constexpr DWORD kCommentOpcode = 0xFFFE;
constexpr DWORD kDefOpcode = 0x51;

}  // namespace

size_t CShaderBytecode::Length(const DWORD* function) {
  if (!function) return 0;
  const DWORD version = function[0];
  if (!IsVertexVersion(version) && !IsPixelVersion(version)) return 0;
  const UINT major = MajorVersion(version);
  if (major < 1 || major > 3) return 0;
  size_t at = 1;
  while (at < kMaxTokens) {
    const DWORD token = function[at];
    if (token == kEndToken) return at + 1;
    if ((token & 0xFFFF) == kCommentOpcode) {
      at += 1 + ((token >> 16) & 0x7FFF);
    } else if (major >= 2) {
      at += 1 + ((token >> 24) & 0xF);  // shader model 2 and 3 give the instruction's length
    } else if ((token & 0xFFFF) == kDefOpcode) {
      at += 6;  // a register and four literals, which need not have the parameter bit set
    } else {
      // Shader model 1: parameter tokens are the ones with the top bit set.
      ++at;
      while (at < kMaxTokens && (function[at] & 0x80000000u)) ++at;
    }
  }
  return 0;
}
