#include "CompiledShaderBlob.h"

#include <cstring>

namespace {

class CBlobWriter {
 public:
  void Word(DWORD value) { m_words.push_back(value); }
  void Text(const std::string& text) {
    Word(static_cast<DWORD>(text.size()));
    const size_t start = m_words.size();
    m_words.resize(start + (text.size() + 3) / 4, 0);
    if (!text.empty()) memcpy(&m_words[start], text.data(), text.size());
  }
  std::vector<DWORD>& Words() { return m_words; }

 private:
  std::vector<DWORD> m_words;
};

class CBlobReader {
 public:
  CBlobReader(const DWORD* words, size_t count) : m_words(words), m_count(count) {}
  bool Word(DWORD* value) {
    if (m_at >= m_count) return false;
    *value = m_words[m_at++];
    return true;
  }
  bool Text(std::string* text) {
    DWORD length;
    if (!Word(&length)) return false;
    const size_t words = (static_cast<size_t>(length) + 3) / 4;
    if (words > m_count - m_at) return false;
    text->assign(reinterpret_cast<const char*>(m_words + m_at), length);
    m_at += words;
    return true;
  }
  // A count of records of at least `minimumWords` each that fit in what is left.
  bool Count(DWORD* count, size_t minimumWords) {
    return Word(count) && static_cast<size_t>(*count) * minimumWords <= m_count - m_at;
  }

 private:
  const DWORD* m_words;
  size_t m_count;
  size_t m_at = 0;
};

}  // namespace

std::vector<DWORD> CCompiledShaderBlob::Serialize() const {
  CBlobWriter w;
  w.Word(kMagic);
  w.Word(0);  // the length, filled in below
  w.Word(isVertex ? 1 : 0);
  w.Text(source);
  w.Word(static_cast<DWORD>(inputs.size()));
  for (const SBlobInput& input : inputs) {
    w.Word(input.usage);
    w.Word(input.usageIndex);
    w.Text(input.name);
  }
  w.Word(static_cast<DWORD>(constants.size()));
  for (const SBlobConstant& c : constants) {
    w.Word(c.registerSet);
    w.Word(c.valueType);
    w.Word(c.firstRegister);
    w.Word(c.registerCount);
    w.Word(c.columns);
    w.Word(c.rows);
    w.Word(c.elements);
    w.Text(c.name);
  }
  w.Word(static_cast<DWORD>(samplers.size()));
  for (const SBlobSampler& s : samplers) {
    w.Word(s.stage);
    w.Text(s.name);
  }
  std::vector<DWORD>& words = w.Words();
  words[1] = static_cast<DWORD>(words.size());
  return words;
}

size_t CCompiledShaderBlob::Length(const DWORD* code) {
  if (!IsBlob(code) || code[1] < 3 || code[1] > kMaxDwords) return 0;
  return code[1];
}

bool CCompiledShaderBlob::Parse(const DWORD* code) {
  const size_t length = Length(code);
  if (length == 0) return false;
  CBlobReader r(code + 2, length - 2);
  DWORD vertex, count;
  if (!r.Word(&vertex) || !r.Text(&source)) return false;
  isVertex = vertex != 0;
  if (!r.Count(&count, 3)) return false;
  inputs.resize(count);
  for (SBlobInput& input : inputs)
    if (!r.Word(&input.usage) || !r.Word(&input.usageIndex) || !r.Text(&input.name)) return false;
  if (!r.Count(&count, 8)) return false;
  constants.resize(count);
  for (SBlobConstant& c : constants)
    if (!r.Word(&c.registerSet) || !r.Word(&c.valueType) || !r.Word(&c.firstRegister) || !r.Word(&c.registerCount) || !r.Word(&c.columns) || !r.Word(&c.rows) ||
        !r.Word(&c.elements) || !r.Text(&c.name))
      return false;
  if (!r.Count(&count, 2)) return false;
  samplers.resize(count);
  for (SBlobSampler& s : samplers)
    if (!r.Word(&s.stage) || !r.Text(&s.name)) return false;
  return true;
}
