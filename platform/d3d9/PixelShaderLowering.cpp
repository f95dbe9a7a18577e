#include "PixelShaderLowering.h"

#include <algorithm>

#include "ShaderBytecode.h"
#include "ShaderTranslation.h"

namespace {

constexpr DWORD kMovOpcode = 0x01;
constexpr DWORD kTexcoordOpcode = 0x40;  // texcoord before ps_1_4, texcrd from it on
constexpr DWORD kTexkillOpcode = 0x41;
constexpr DWORD kTexOpcode = 0x42;  // tex before ps_1_4, texld from it on
constexpr DWORD kDefOpcode = 0x51;

constexpr DWORD kTempRegister = 0;
constexpr DWORD kTextureRegister = 3;

constexpr DWORD kSourceModifierMask = 0x0F000000;
constexpr DWORD kDivideByZ = 9;
constexpr DWORD kDivideByW = 10;
// A destination's write mask, result modifiers and shift.
constexpr DWORD kDestinationControlMask = 0x0FFF0000;
constexpr DWORD kFullWriteMask = 0x000F0000;
constexpr DWORD kWriteZ = 0x00040000;
constexpr DWORD kWriteW = 0x00080000;

DWORD RegisterType(DWORD parameter) { return ((parameter >> 28) & 0x7) | ((parameter >> 8) & 0x18); }
UINT RegisterNumber(DWORD parameter) { return parameter & 0x7FF; }

// MojoShader's GLSL name of a pixel shader's temporary or texture register.
std::string VariableName(DWORD parameter) {
  return std::string(RegisterType(parameter) == kTempRegister ? "ps_r" : "ps_t") +
         std::to_string(RegisterNumber(parameter));
}

const char* Divisor(DWORD divide) { return divide == kDivideByZ ? ".z" : ".w"; }

}  // namespace

bool CPixelShaderLowering::Rewrite(const DWORD* function, size_t length, std::string* error) {
  m_tokens.clear();
  m_standIns.clear();
  m_samplers.clear();
  m_textureRegisters.clear();
  m_discards = 0;
  m_lowered = false;
  if (length == 0) return true;
  const DWORD version = function[0];
  if (!CShaderBytecode::IsPixelVersion(version) || CShaderBytecode::MajorVersion(version) != 1) {
    m_tokens.assign(function, function + length);
    return true;
  }
  const bool ps14 = (version & 0xFF) >= 4;
  m_tokens.push_back(version);
  for (size_t at = 1; at < length;) {
    const DWORD* instruction = function + at;
    const size_t size = std::min(CShaderBytecode::TokenLength(instruction, length - at, 1), length - at);
    const DWORD opcode = instruction[0] & 0xFFFF;
    bool lowered = false;
    if (instruction[0] != CShaderBytecode::kEndToken && opcode != CShaderBytecode::kCommentOpcode) {
      if (opcode == kTexcoordOpcode) {
        if (!(ps14 ? LowerTexcrd(instruction, size, error) : LowerTexcoord(instruction, size, error))) return false;
        lowered = true;
      } else if (opcode == kTexOpcode && ps14) {
        if (!LowerTexld(instruction, size, error)) return false;
        lowered = true;
      } else if (opcode == kTexkillOpcode) {
        ++m_discards;
      }
      if (ps14 && opcode != kDefOpcode) NoteTextureRegisters(instruction, size);
    }
    if (!lowered) m_tokens.insert(m_tokens.end(), instruction, instruction + size);
    at += size;
  }
  return true;
}

void CPixelShaderLowering::NoteTextureRegisters(const DWORD* instruction, size_t length) {
  for (size_t i = 1; i < length; ++i) {
    if (RegisterType(instruction[i]) != kTextureRegister) continue;
    const UINT number = RegisterNumber(instruction[i]);
    if (std::find(m_textureRegisters.begin(), m_textureRegisters.end(), number) == m_textureRegisters.end())
      m_textureRegisters.push_back(number);
    m_lowered = true;
  }
}

bool CPixelShaderLowering::LowerTexcoord(const DWORD* instruction, size_t length, std::string* error) {
  if (length != 2 || RegisterType(instruction[1]) != kTextureRegister) {
    *error = "texcoord needs one texture register";
    return false;
  }
  const std::string t = VariableName(instruction[1]);
  // The texture coordinates clamped to 0..1, with 1 in alpha.
  AppendStandIn(instruction[1], t + " = vec4(clamp(" + t + ".xyz, 0.0, 1.0), 1.0);");
  return true;
}

bool CPixelShaderLowering::LowerTexcrd(const DWORD* instruction, size_t length, std::string* error) {
  if (length != 3 || RegisterType(instruction[1]) != kTempRegister ||
      RegisterType(instruction[2]) != kTextureRegister) {
    *error = "texcrd needs a temporary register and a texture register";
    return false;
  }
  const DWORD divide = (instruction[2] & kSourceModifierMask) >> 24;
  const bool divides = divide == kDivideByZ || divide == kDivideByW;
  // The divisor must reach the register too, whatever the write mask.
  const DWORD destination = divides ? instruction[1] | (divide == kDivideByZ ? kWriteZ : kWriteW) : instruction[1];
  AppendMove(destination, instruction[2]);
  m_lowered = true;
  if (divides) {
    const std::string r = VariableName(instruction[1]);
    AppendStandIn(instruction[1], r + ".xy = " + r + ".xy / " + r + Divisor(divide) + ";");
  }
  return true;
}

bool CPixelShaderLowering::LowerTexld(const DWORD* instruction, size_t length, std::string* error) {
  const DWORD sourceType = length == 3 ? RegisterType(instruction[2]) : 0;
  if (length != 3 || RegisterType(instruction[1]) != kTempRegister ||
      (sourceType != kTempRegister && sourceType != kTextureRegister)) {
    *error = "texld needs a temporary register and a temporary or texture register";
    return false;
  }
  const DWORD destination = (instruction[1] & ~kDestinationControlMask) | kFullWriteMask;
  const DWORD divide = AppendMove(destination, instruction[2]);
  // Sampler N for register rN, at the coordinates the mov brought into rN.
  const UINT sampler = RegisterNumber(instruction[1]);
  const std::string r = VariableName(instruction[1]);
  std::string coordinates = r + ".xy";
  if (divide == kDivideByZ || divide == kDivideByW) coordinates += " / " + r + Divisor(divide);
  AppendStandIn(destination, r + " = texture2D(ps_s" + std::to_string(sampler) + ", " + coordinates + ");");
  if (std::find(m_samplers.begin(), m_samplers.end(), sampler) == m_samplers.end()) m_samplers.push_back(sampler);
  return true;
}

DWORD CPixelShaderLowering::AppendMove(DWORD destination, DWORD source) {
  const DWORD modifier = (source & kSourceModifierMask) >> 24;
  const bool divides = modifier == kDivideByZ || modifier == kDivideByW;
  m_tokens.push_back(kMovOpcode);
  m_tokens.push_back(destination);
  m_tokens.push_back(divides ? source & ~kSourceModifierMask : source);
  return divides ? modifier : 0;
}

void CPixelShaderLowering::AppendStandIn(DWORD destination, std::string statement) {
  m_tokens.push_back(kTexkillOpcode);
  m_tokens.push_back((destination & ~kDestinationControlMask) | kFullWriteMask);
  m_standIns.push_back({m_discards++, VariableName(destination), std::move(statement)});
  m_lowered = true;
}

bool CPixelShaderLowering::Complete(std::string* source, std::string* error) const {
  static const char kDiscard[] = "discard;";
  size_t discard = 0;
  auto standIn = m_standIns.begin();
  for (size_t line = 0; line < source->size();) {
    size_t end = source->find('\n', line);
    if (end == std::string::npos) end = source->size();
    const std::string text = source->substr(line, end - line);
    if (text.find(kDiscard) != std::string::npos) {
      if (standIn != m_standIns.end() && standIn->discard == discard) {
        if (text.find(standIn->variable + ".xyz") == std::string::npos) break;
        const size_t indent = text.find_first_not_of(" \t");
        source->replace(line + indent, end - line - indent, standIn->statement);
        end = line + indent + standIn->statement.size();
        ++standIn;
      }
      ++discard;
    }
    line = end + 1;
  }
  if (discard != m_discards || standIn != m_standIns.end()) {
    *error = "translated pixel program does not have the expected form";
    return false;
  }
  const size_t declarations = CShaderTranslation::AfterDirectives(*source);
  // ps_1_4 reads texture registers only through the instructions lowered here (and texkill),
  // so MojoShader declares none.
  for (UINT texture : m_textureRegisters) {
    const std::string number = std::to_string(texture);
    const std::string declaration = "vec4 ps_t" + number + " = gl_TexCoord[" + number + "];\n";
    if (source->find(declaration) == std::string::npos) source->insert(declarations, declaration);
  }
  for (UINT sampler : m_samplers) {
    const std::string declaration = "uniform sampler2D ps_s" + std::to_string(sampler) + ";\n";
    if (source->find(declaration) == std::string::npos) source->insert(declarations, declaration);
  }
  return true;
}
