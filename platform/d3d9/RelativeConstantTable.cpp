#include "RelativeConstantTable.h"

#include <algorithm>
#include <cstring>

#include "ShaderBytecode.h"

namespace {

constexpr DWORD kTableTag = 0x42415443;  // "CTAB"
constexpr DWORD kDclOpcode = 0x1F;
constexpr DWORD kDefOpcode = 0x51;
constexpr DWORD kDefiOpcode = 0x52;
constexpr DWORD kDefbOpcode = 0x53;
constexpr DWORD kConstRegister = 2;
constexpr DWORD kRelativeAddressing = 1u << 13;

constexpr DWORD kHeaderSize = 28;
constexpr WORD kRegisterSetFloat4 = 2;
constexpr WORD kClassVector = 1;
constexpr WORD kTypeFloat = 3;

DWORD RegisterType(DWORD parameter) { return ((parameter >> 28) & 0x7) | ((parameter >> 8) & 0x18); }

bool IsComment(DWORD token) { return (token & 0xFFFF) == CShaderBytecode::kCommentOpcode; }

// Little-endian bytes of the table body, padded to whole tokens at the end.
class CTableWriter {
 public:
  void Dword(DWORD value) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
  }
  void Word(WORD value) {
    m_bytes.push_back(static_cast<BYTE>(value));
    m_bytes.push_back(static_cast<BYTE>(value >> 8));
  }
  void Text(const char* text) { m_bytes.insert(m_bytes.end(), text, text + std::strlen(text) + 1); }
  DWORD Offset() const { return static_cast<DWORD>(m_bytes.size()); }
  std::vector<DWORD> Tokens() {
    while (m_bytes.size() % 4 != 0) m_bytes.push_back(0);
    std::vector<DWORD> tokens(m_bytes.size() / 4);
    for (size_t i = 0; i < tokens.size(); ++i)
      for (int b = 0; b < 4; ++b) tokens[i] |= static_cast<DWORD>(m_bytes[4 * i + b]) << (8 * b);
    return tokens;
  }

 private:
  std::vector<BYTE> m_bytes;
};

}  // namespace

void CRelativeConstantTable::AddWhereNeeded(std::vector<DWORD>* tokens) {
  if (tokens->empty() || HasConstantTable(*tokens)) return;
  const DWORD version = (*tokens)[0];
  UINT lowest = 0;
  if (!LowestRelativeRegister(*tokens, &lowest)) return;
  const UINT registers = CShaderBytecode::IsVertexVersion(version) ? kVertexFloatRegisters : kPixelFloatRegisters;
  if (lowest >= registers) return;  // MojoShader reports the register itself
  const std::vector<DWORD> comment = Comment(version, lowest, registers - lowest);
  tokens->insert(tokens->begin() + 1, comment.begin(), comment.end());
}

bool CRelativeConstantTable::LowestRelativeRegister(const std::vector<DWORD>& tokens, UINT* lowest) {
  const UINT major = CShaderBytecode::MajorVersion(tokens[0]);
  bool found = false;
  for (size_t at = 1; at < tokens.size();) {
    const DWORD* instruction = tokens.data() + at;
    const size_t size = std::min(CShaderBytecode::TokenLength(instruction, tokens.size() - at, major), tokens.size() - at);
    const DWORD opcode = instruction[0] & 0xFFFF;
    // Declarations and definitions hold usages and literals, not register reads.
    const bool reads = instruction[0] != CShaderBytecode::kEndToken && !IsComment(instruction[0]) &&
                       opcode != kDclOpcode && opcode != kDefOpcode && opcode != kDefiOpcode && opcode != kDefbOpcode;
    for (size_t i = 1; reads && i < size; ++i) {
      const DWORD parameter = instruction[i];
      if (RegisterType(parameter) != kConstRegister || (parameter & kRelativeAddressing) == 0) continue;
      const UINT number = parameter & 0x7FF;
      *lowest = found ? std::min(*lowest, number) : number;
      found = true;
    }
    at += std::max<size_t>(size, 1);
  }
  return found;
}

bool CRelativeConstantTable::HasConstantTable(const std::vector<DWORD>& tokens) {
  const UINT major = CShaderBytecode::MajorVersion(tokens[0]);
  for (size_t at = 1; at < tokens.size();) {
    const DWORD* token = tokens.data() + at;
    if (IsComment(token[0]) && at + 1 < tokens.size() && token[1] == kTableTag) return true;
    at += std::max<size_t>(CShaderBytecode::TokenLength(token, tokens.size() - at, major), 1);
  }
  return false;
}

std::vector<DWORD> CRelativeConstantTable::Comment(DWORD version, UINT firstRegister, UINT count) {
  // Header, one constant, its type, then the texts the offsets point at.
  constexpr DWORD kConstantInfo = kHeaderSize;
  constexpr DWORD kTypeInfo = kConstantInfo + 20;
  constexpr DWORD kTexts = kTypeInfo + 16;
  static const char kCreator[] = "zkplatform";
  static const char kName[] = "relative";
  const std::string target = std::string(CShaderBytecode::IsVertexVersion(version) ? "vs_" : "ps_") +
                             std::to_string(CShaderBytecode::MajorVersion(version)) + "_" +
                             std::to_string(version & 0xFF);
  CTableWriter table;
  table.Dword(kHeaderSize);
  table.Dword(kTexts);  // creator
  table.Dword(version);
  table.Dword(1);  // constants
  table.Dword(kConstantInfo);
  table.Dword(0);  // flags
  table.Dword(kTexts + sizeof kCreator + sizeof kName);  // target
  table.Dword(kTexts + sizeof kCreator);  // name
  table.Word(kRegisterSetFloat4);
  table.Word(static_cast<WORD>(firstRegister));
  table.Word(static_cast<WORD>(count));
  table.Word(0);
  table.Dword(kTypeInfo);
  table.Dword(0);  // no default value
  table.Word(kClassVector);
  table.Word(kTypeFloat);
  table.Word(1);  // rows
  table.Word(4);  // columns
  table.Word(static_cast<WORD>(count));  // elements
  table.Word(0);  // structure members
  table.Dword(0);
  table.Text(kCreator);
  table.Text(kName);
  table.Text(target.c_str());
  std::vector<DWORD> body = table.Tokens();
  std::vector<DWORD> comment;
  comment.push_back(CShaderBytecode::kCommentOpcode | (static_cast<DWORD>(body.size() + 1) << 16));
  comment.push_back(kTableTag);
  comment.insert(comment.end(), body.begin(), body.end());
  return comment;
}
