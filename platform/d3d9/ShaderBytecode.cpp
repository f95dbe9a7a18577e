#include "ShaderBytecode.h"

namespace {

constexpr DWORD kDefOpcode = 0x51;

}  // namespace

size_t CShaderBytecode::TokenLength(const DWORD* at, size_t available, UINT major) {
  if (available == 0) return 0;
  const DWORD token = at[0];
  if (token == kEndToken) return 1;
  if ((token & 0xFFFF) == kCommentOpcode) return 1 + ((token >> 16) & 0x7FFF);
  if (major >= 2) return 1 + ((token >> 24) & 0xF);  // shader model 2 and 3 give the instruction's length
  if ((token & 0xFFFF) == kDefOpcode) return 6;  // a register and four literals, which need not have the parameter bit set
  // Shader model 1: parameter tokens are the ones with the top bit set.
  size_t length = 1;
  while (length < available && (at[length] & 0x80000000u)) ++length;
  return length;
}

size_t CShaderBytecode::Length(const DWORD* function) {
  if (!function) return 0;
  const DWORD version = function[0];
  if (!IsVertexVersion(version) && !IsPixelVersion(version)) return 0;
  const UINT major = MajorVersion(version);
  if (major < 1 || major > 3) return 0;
  size_t at = 1;
  while (at < kMaxTokens) {
    if (function[at] == kEndToken) return at + 1;
    at += TokenLength(function + at, kMaxTokens - at, major);
  }
  return 0;
}
