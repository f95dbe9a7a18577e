#include "ShaderRegisterAllocator.h"

#include <cctype>

namespace {

// The source without its comments, so that a commented-out declaration places nothing.
std::string WithoutComments(const char* source, size_t length) {
  std::string text;
  text.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    if (source[i] == '/' && i + 1 < length && source[i + 1] == '/') {
      while (i < length && source[i] != '\n') ++i;
      if (i < length) text += '\n';
    } else if (source[i] == '/' && i + 1 < length && source[i + 1] == '*') {
      i += 2;
      while (i + 1 < length && !(source[i] == '*' && source[i + 1] == '/')) ++i;
      ++i;
      text += ' ';
    } else {
      text += source[i];
    }
  }
  return text;
}

bool IsNameChar(char c) { return isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class CScanner {
 public:
  explicit CScanner(const std::string& text) : m_text(text) {}
  size_t At() const { return m_at; }
  void Seek(size_t at) { m_at = at; }
  void SkipSpace() {
    while (m_at < m_text.size() && isspace(static_cast<unsigned char>(m_text[m_at]))) ++m_at;
  }
  bool Char(char c) {
    SkipSpace();
    if (m_at >= m_text.size() || m_text[m_at] != c) return false;
    ++m_at;
    return true;
  }
  std::string Word() {
    SkipSpace();
    const size_t start = m_at;
    while (m_at < m_text.size() && IsNameChar(m_text[m_at])) ++m_at;
    return m_text.substr(start, m_at - start);
  }

 private:
  const std::string& m_text;
  size_t m_at = 0;
};

// "c12" as letter and number; false for anything else.
bool ParseRegister(const std::string& word, char* letter, UINT* number) {
  if (word.size() < 2 || word.size() > 6 || !isalpha(static_cast<unsigned char>(word[0]))) return false;
  unsigned long value = 0;
  for (size_t i = 1; i < word.size(); ++i) {
    if (!isdigit(static_cast<unsigned char>(word[i]))) return false;
    value = value * 10 + static_cast<unsigned long>(word[i] - '0');
  }
  *letter = static_cast<char>(tolower(static_cast<unsigned char>(word[0])));
  *number = static_cast<UINT>(value);
  return true;
}

}  // namespace

CShaderRegisterAllocator::CShaderRegisterAllocator(const char* source, size_t length,
                                                   const UINT (&limits)[kSetCount]) {
  for (UINT set = 0; set < kSetCount; ++set) m_taken[set].assign(limits[set], false);
  const std::string text = WithoutComments(source, length);
  // Every "name [dims] : register( [profile ,] xN )" of the text.
  CScanner scanner(text);
  for (size_t colon = text.find(':'); colon != std::string::npos; colon = text.find(':', colon + 1)) {
    scanner.Seek(colon + 1);
    if (scanner.Word() != "register" || !scanner.Char('(')) continue;
    std::string word = scanner.Word();
    if (scanner.Char(',')) word = scanner.Word();  // a profile-specific placement
    SPlacement placement;
    if (!ParseRegister(word, &placement.letter, &placement.number) || !scanner.Char(')')) continue;
    // The name before the colon, past any array dimensions.
    size_t end = colon;
    while (end > 0 && isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    while (end > 0 && text[end - 1] == ']') {
      const size_t open = text.rfind('[', end - 1);
      if (open == std::string::npos) break;
      end = open;
      while (end > 0 && isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    }
    size_t start = end;
    while (start > 0 && IsNameChar(text[start - 1])) --start;
    if (start < end) m_explicit[text.substr(start, end - start)] = placement;
  }
}

bool CShaderRegisterAllocator::Explicit(const std::string& name, EBlobRegisterSet* set, UINT* first) const {
  const auto found = m_explicit.find(name);
  if (found == m_explicit.end()) return false;
  switch (found->second.letter) {
    case 'c':
      *set = BLOB_REGISTERS_FLOAT;
      break;
    case 'i':
      *set = BLOB_REGISTERS_INTEGER;
      break;
    case 'b':
      *set = BLOB_REGISTERS_BOOLEAN;
      break;
    case 's':
      *set = BLOB_REGISTERS_SAMPLER;
      break;
    default:
      return false;
  }
  *first = found->second.number;
  return true;
}

bool CShaderRegisterAllocator::Reserve(EBlobRegisterSet set, UINT first, UINT count) {
  std::vector<bool>& taken = m_taken[set];
  if (first > taken.size() || count > taken.size() - first) return false;
  for (UINT r = first; r < first + count; ++r) taken[r] = true;
  return true;
}

bool CShaderRegisterAllocator::Allocate(EBlobRegisterSet set, UINT count, UINT* first) {
  const std::vector<bool>& taken = m_taken[set];
  UINT run = 0;
  for (UINT r = 0; r < taken.size(); ++r) {
    run = taken[r] ? 0 : run + 1;
    if (run == count) {
      *first = r + 1 - count;
      return Reserve(set, *first, count);
    }
  }
  return false;
}
