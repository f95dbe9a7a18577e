#include "ShaderAssembler.h"

#include <mojoshader/mojoshader.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

#include "../d3d9/ShaderBytecode.h"
#include "ShaderSemantic.h"
#include "ShaderSourceFile.h"

namespace {

// #include of a file source finds files beside it; a source in memory has nowhere to look.
// MojoShader hands the callbacks no data of ours, so the file being read is the thread's.
struct SIncludeContext {
  const char* fileName;
  size_t depth = 0;
};
thread_local SIncludeContext* t_includes = nullptr;

class CIncludeScope {
 public:
  explicit CIncludeScope(const char* fileName) : m_context{fileName}, m_outer(t_includes) { t_includes = &m_context; }
  ~CIncludeScope() { t_includes = m_outer; }
  CIncludeScope(const CIncludeScope&) = delete;
  CIncludeScope& operator=(const CIncludeScope&) = delete;

 private:
  SIncludeContext m_context;
  SIncludeContext* m_outer;
};

// MojoShader's assembler knows ps_1_1 .. ps_1_3's `texcoord tN` only by ps_1_4's name for the
// same instruction, `texcrd`, for which it writes the same tokens.
void SpellTexcoordAsTexcrd(std::string* text) {
  static const char kName[] = "texcoord";
  constexpr size_t kLength = sizeof kName - 1;
  for (size_t line = 0; line < text->size();) {
    const size_t word = text->find_first_not_of(" \t", line);
    if (word == std::string::npos) break;
    if (text->size() - word > kLength && strncasecmp(text->c_str() + word, kName, kLength) == 0 &&
        isspace(static_cast<unsigned char>((*text)[word + kLength])))
      text->replace(word, kLength, "texcrd");
    const size_t end = text->find('\n', word);
    line = end == std::string::npos ? text->size() : end + 1;
  }
}

// ';' starts a comment in assembly but not for the preprocessor, which would read quotes in it:
// blank comments out, keeping every offset.
void BlankAssemblyComments(std::string* text) {
  for (size_t at = text->find(';'); at != std::string::npos; at = text->find(';', at)) {
    const size_t end = std::min(text->find('\n', at), text->size());
    std::fill(text->begin() + static_cast<std::ptrdiff_t>(at), text->begin() + static_cast<std::ptrdiff_t>(end), ' ');
  }
}

// MojoShader's lexer never returns when a buffer ends inside a quoted literal: the source, an
// included file, a macro's body or argument. A line end closes a literal, so every text gets one
// at its end, and a line that leaves a quote open (outside comments) is refused: no assembly
// has one. Returns that line's number (from 1), or 0. A backslash escapes inside quotes.
size_t LineLeavingQuoteOpen(const std::string& text) {
  char open = 0;
  bool blockComment = false;
  size_t line = 1;
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const char next = at + 1 < text.size() ? text[at + 1] : '\0';
    if (c == '\n') {
      if (open != 0) return line;
      ++line;
    } else if (blockComment) {
      if (c == '*' && next == '/') blockComment = false, ++at;
    } else if (open != 0) {
      if (c == '\\' && next != '\n') ++at;
      else if (c == open) open = 0;
    } else if (c == '/' && next == '/') {
      at = std::min(text.find('\n', at), text.size()) - 1;
    } else if (c == '/' && next == '*') {
      blockComment = true, ++at;
    } else if (c == '"' || c == '\'') {
      open = c;
    }
  }
  return open != 0 ? line : 0;
}

// What the assembler reads of a source or an included file; false when a quote is left open.
bool PrepareText(std::string* text, size_t* openQuoteLine) {
  CShaderSourceFile::ForwardIncludeSlashes(text);
  SpellTexcoordAsTexcrd(text);
  BlankAssemblyComments(text);
  if (text->empty() || text->back() != '\n') text->push_back('\n');
  *openQuoteLine = LineLeavingQuoteOpen(*text);
  return *openQuoteLine == 0;
}

// MojoShader's assembler reads past its tables for a version whose minor number does not fit a
// byte's digit ("ps_1_1000"): a version word must be "vs_" or "ps_", a digit, "_" and a digit or
// letters (vs_2_x, ps_2_sw). Another first word the assembler refuses itself.
bool HasVersionItCannotRead(const char* preprocessed) {
  const char* word = preprocessed + strspn(preprocessed, " \t\r\n");
  const size_t length = strcspn(word, " \t\r\n");
  if (length < 3 || (tolower(word[0]) != 'v' && tolower(word[0]) != 'p') || tolower(word[1]) != 's' || word[2] != '_')
    return false;
  if (length < 6 || !isdigit(static_cast<unsigned char>(word[3])) || word[4] != '_') return true;
  const bool digit = isdigit(static_cast<unsigned char>(word[5]));
  for (size_t at = 5; at < length; ++at)
    if (digit ? at > 5 : !isalpha(static_cast<unsigned char>(word[at]))) return true;
  return false;
}

int MOJOSHADERCALL OpenInclude(MOJOSHADER_includeType, const char* name, const char*, const char** data,
                               unsigned int* bytes, MOJOSHADER_malloc, MOJOSHADER_free, void*) {
  SIncludeContext* context = t_includes;
  std::string path, text;
  if (!context || !context->fileName || context->depth >= CShaderSourceFile::kMaxIncludeDepth ||
      !CShaderSourceFile::ReadInclude(context->fileName, name, &path, &text) || text.size() > UINT_MAX / 2)
    return 0;
  size_t openQuoteLine = 0;
  if (!PrepareText(&text, &openQuoteLine)) return 0;
  char* copy = static_cast<char*>(malloc(text.size() + 1));
  if (!copy) return 0;
  memcpy(copy, text.data(), text.size());
  *data = copy;
  *bytes = static_cast<unsigned>(text.size());
  ++context->depth;
  return 1;
}

void MOJOSHADERCALL CloseInclude(const char* data, MOJOSHADER_malloc, MOJOSHADER_free, void*) {
  free(const_cast<char*>(data));
  if (t_includes && t_includes->depth > 0) --t_includes->depth;
}

std::vector<MOJOSHADER_preprocessorDefine> DefineList(const D3DXMACRO* defines) {
  std::vector<MOJOSHADER_preprocessorDefine> list;
  for (const D3DXMACRO* d = defines; d && d->Name; ++d) list.push_back({d->Name, d->Definition ? d->Definition : ""});
  return list;
}

void AppendErrors(const MOJOSHADER_parseData& data, const char* fileName, std::string* messages) {
  for (int i = 0; i < data.error_count; ++i) {
    const MOJOSHADER_error& e = data.errors[i];
    const char* file = e.filename ? e.filename : fileName ? fileName : "memory";
    *messages += file;
    if (e.error_position >= 0) *messages += "(" + std::to_string(e.error_position) + ")";
    *messages += ": error: ";
    *messages += e.error ? e.error : "unknown error";
    *messages += "\n";
  }
}

constexpr DWORD kDclOpcode = 0x1F;
constexpr DWORD kCommentOpcode = 0xFFFE;
constexpr DWORD kEndToken = 0x0000FFFF;
constexpr DWORD kInputRegister = 1;  // v#

// The usage and index each input register v# is declared with in the preprocessed source.
std::map<DWORD, std::pair<DWORD, DWORD>> InputDeclarations(const std::string& text) {
  std::map<DWORD, std::pair<DWORD, DWORD>> inputs;
  std::istringstream words(text);
  std::string word, operand;
  while (words >> word) {
    if (word.size() <= 4 || strncasecmp(word.c_str(), "dcl_", 4) != 0) continue;
    UINT usage, index;
    std::string modifiers;
    if (!CShaderSemantic::Parse(word.substr(4), &usage, &index, &modifiers) ||
        (!modifiers.empty() && modifiers[0] != '_') || !(words >> operand))
      continue;
    if ((operand[0] != 'v' && operand[0] != 'V') || operand.size() < 2 || !isdigit(static_cast<unsigned char>(operand[1])))
      continue;
    const unsigned long number = strtoul(operand.c_str() + 1, nullptr, 10);
    if (number < 16) inputs[static_cast<DWORD>(number)] = {usage, index};
  }
  return inputs;
}

// MojoShader's assembler writes every pixel shader input declaration as POSITION 0, which
// makes all inputs of a ps_3_0 program read one varying. The source still says what each is:
// write that into the declaration tokens.
void DeclarePixelInputs(const std::string& text, const char* fileName,
                        const std::vector<MOJOSHADER_preprocessorDefine>& defines, std::vector<BYTE>* bytecode) {
  std::vector<DWORD> tokens(bytecode->size() / sizeof(DWORD));
  memcpy(tokens.data(), bytecode->data(), tokens.size() * sizeof(DWORD));
  if (tokens.empty() || !CShaderBytecode::IsPixelVersion(tokens[0]) || CShaderBytecode::MajorVersion(tokens[0]) != 3)
    return;
  const CIncludeScope includes(fileName);
  const MOJOSHADER_preprocessData* data = MOJOSHADER_preprocess(
      fileName, text.data(), static_cast<unsigned>(text.size()), defines.empty() ? nullptr : defines.data(),
      static_cast<unsigned>(defines.size()), OpenInclude, CloseInclude, nullptr, nullptr, nullptr);
  const std::map<DWORD, std::pair<DWORD, DWORD>> inputs =
      data->error_count == 0 && data->output ? InputDeclarations(data->output) : decltype(inputs)();
  MOJOSHADER_freePreprocessData(data);
  for (size_t at = 1; at < tokens.size() && tokens[at] != kEndToken;) {
    const DWORD token = tokens[at];
    const size_t length = (token & 0xFFFF) == kCommentOpcode ? (token >> 16) & 0x7FFF : (token >> 24) & 0xF;
    if ((token & 0xFFFF) == kDclOpcode && length == 2 && at + 2 < tokens.size()) {
      const DWORD reg = tokens[at + 2];
      const DWORD type = ((reg >> 28) & 0x7) | ((reg >> 8) & 0x18);
      const auto found = inputs.find(reg & 0x7FF);
      if (type == kInputRegister && found != inputs.end())
        tokens[at + 1] = (tokens[at + 1] & ~0x000F001Fu) | found->second.first | (found->second.second << 16);
    }
    at += 1 + length;
  }
  memcpy(bytecode->data(), tokens.data(), tokens.size() * sizeof(DWORD));
}

}  // namespace

bool CShaderAssembler::Assemble(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                                std::vector<BYTE>* bytecode, std::string* messages) {
  if (length > UINT_MAX) {
    *messages = "source too large\n";
    return false;
  }
  const std::vector<MOJOSHADER_preprocessorDefine> list = DefineList(defines);
  std::string text(source, length);
  size_t openQuoteLine = 0;
  if (!PrepareText(&text, &openQuoteLine)) {
    *messages = std::string(fileName ? fileName : "memory") + "(" + std::to_string(openQuoteLine) +
                "): error: quote left open\n";
    return false;
  }
  for (const MOJOSHADER_preprocessorDefine& define : list) {
    if (LineLeavingQuoteOpen(define.definition) != 0) {
      *messages = std::string("macro ") + define.identifier + ": error: quote left open\n";
      return false;
    }
  }
  const MOJOSHADER_parseData* data = nullptr;
  {
    const CIncludeScope includes(fileName);
    const MOJOSHADER_preprocessData* preprocessed = MOJOSHADER_preprocess(
        fileName, text.data(), static_cast<unsigned>(text.size()), list.empty() ? nullptr : list.data(),
        static_cast<unsigned>(list.size()), OpenInclude, CloseInclude, nullptr, nullptr, nullptr);
    const bool unreadable = preprocessed->output && HasVersionItCannotRead(preprocessed->output);
    MOJOSHADER_freePreprocessData(preprocessed);
    if (unreadable) {
      *messages = std::string(fileName ? fileName : "memory") + ": error: unknown shader version\n";
      return false;
    }
    data = MOJOSHADER_assemble(fileName, text.data(), static_cast<unsigned>(text.size()), nullptr, 0, nullptr, 0,
                               list.empty() ? nullptr : list.data(), static_cast<unsigned>(list.size()), OpenInclude,
                               CloseInclude, nullptr, nullptr, nullptr);
  }
  bool ok = data->error_count == 0 && data->output && data->output_len > 0;
  if (ok) {
    bytecode->assign(data->output, data->output + data->output_len);
    DeclarePixelInputs(text, fileName, list, bytecode);
  } else {
    AppendErrors(*data, fileName, messages);
    if (messages->empty()) *messages = std::string(fileName ? fileName : "memory") + ": error: no shader assembled\n";
  }
  MOJOSHADER_freeParseData(data);
  return ok;
}
