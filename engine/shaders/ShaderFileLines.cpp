#include "shaders/ShaderFileLines.h"

#include <cstring>

#include "core/Tokenizer.h"

bool CShaderFileLines::Next() {
  if (m_pFile->Gets(m_szLine, kLineSize) == nullptr) {
    m_szLine[0] = '\0';
    m_pTokenizer->Tokenize(m_szLine, CTokenizer::kCaseUpper);
    return false;
  }
  Split();
  return true;
}

void CShaderFileLines::Split() { m_pTokenizer->Tokenize(m_szLine, CTokenizer::kCaseUpper); }

const char* CShaderFileLines::Word(int index) const { return m_pTokenizer->GetToken(index); }

bool CShaderFileLines::HasWords() const { return m_pTokenizer->GetNumberOfTokens() > 0; }

bool CShaderFileLines::BeginsWith(const char* word, const char* keyword) {
  return std::strncmp(word, keyword, std::strlen(keyword)) == 0;
}
