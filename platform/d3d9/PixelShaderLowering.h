#pragma once
// Pixel shader 1.x instructions that MojoShader's GLSL profile does not translate: texcoord
// (ps_1_1 .. ps_1_3), and texcrd and texld (ps_1_4). Each is rewritten in the bytecode into
// what MojoShader takes — a mov that brings the operand into the destination register — and,
// where more is needed, a texkill of that register that stands in for the rest. After
// translation, the GLSL of each stand-in texkill (the program's only discards, emitted in
// instruction order) is replaced with the sample, divide or clamp it stands for, and the
// texture coordinates ps_1_4 reads are declared.
#include <string>
#include <vector>

#include "d3d9.h"

class CPixelShaderLowering {
 public:
  // Rewrites `length` tokens of shader bytecode; false with a message when an instruction to
  // lower has operands it cannot have. Code of other versions passes through unchanged.
  bool Rewrite(const DWORD* function, size_t length, std::string* error);
  // Whether the translation needs Complete().
  bool Lowered() const { return m_lowered; }
  const std::vector<DWORD>& Tokens() const { return m_tokens; }
  // Puts the lowered statements into the translated GLSL and declares the samplers they read.
  bool Complete(std::string* source, std::string* error) const;
  // Sampler registers read by lowered texld instructions.
  const std::vector<UINT>& Samplers() const { return m_samplers; }

 private:
  struct SStandIn {
    size_t discard;         // which texkill of the rewritten code, in order
    std::string variable;   // the GLSL variable the texkill tests
    std::string statement;  // what replaces it
  };

  bool LowerTexcoord(const DWORD* instruction, size_t length, std::string* error);
  bool LowerTexcrd(const DWORD* instruction, size_t length, std::string* error);
  bool LowerTexld(const DWORD* instruction, size_t length, std::string* error);
  // Appends `mov destination, source` without the source's divide modifier; returns the divide.
  // Records the texture registers a ps_1_4 instruction reads, which the GLSL must declare.
  void NoteTextureRegisters(const DWORD* instruction, size_t length);
  DWORD AppendMove(DWORD destination, DWORD source);
  void AppendStandIn(DWORD destination, std::string statement);

  std::vector<DWORD> m_tokens;
  std::vector<SStandIn> m_standIns;
  std::vector<UINT> m_samplers;
  std::vector<UINT> m_textureRegisters;
  size_t m_discards = 0;
  bool m_lowered = false;
};
