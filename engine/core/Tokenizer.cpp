#include "core/Tokenizer.h"

#include <cctype>
#include <cstring>
#include <new>

#include "core/CharacterClasses.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"

CTokenizer::CTokenizer(CEngineLog* log) : m_log(log), m_tokens(nullptr), m_tokenCount(0) {
  m_tokens = NewArrayOrFatal<char>("Error While Initializing Tokenizer",
                                   "Can't Allocate Memory For Tokens", kMaxTokens * kSlotSize);
}

CTokenizer::~CTokenizer() { delete[] m_tokens; }

int CTokenizer::Tokenize(char* text, int caseMode) {
  // Only the slots of the last line hold anything.
  std::memset(m_tokens, 0, static_cast<size_t>(m_tokenCount) * kSlotSize);
  m_tokenCount = 0;
  if (!text) return 1;

  if (caseMode == kCaseLower || caseMode == kCaseUpper) {
    for (unsigned char* c = reinterpret_cast<unsigned char*>(text); *c; ++c)
      if (*c < 128)
        *c = static_cast<unsigned char>(caseMode == kCaseLower ? std::tolower(*c)
                                                               : std::toupper(*c));
  }

  const char* cursor = text;
  size_t length = 0;
  while (const char* start = FindToken(cursor, &length)) {
    cursor = start + length;
    if (!AddToken(start, length)) break;
  }
  return 1;
}

int CTokenizer::GetNumberOfTokens() { return m_tokenCount; }

const char* CTokenizer::GetToken(int index) {
  if (index < 0 || index >= m_tokenCount) return "";
  return m_tokens + index * kSlotSize;
}

const char* CTokenizer::FindToken(const char* cursor, size_t* length) {
  const unsigned char* c = reinterpret_cast<const unsigned char*>(cursor);
  for (;; ++c) {
    if (IsLineEndCharacter(*c)) return nullptr;
    if (IsPunctuationCharacter(*c)) {
      *length = 1;
      return reinterpret_cast<const char*>(c);
    }
    if (IsNumberCharacter(*c) || IsLetterCharacter(*c)) break;
  }
  const unsigned char* end = c + 1;
  if (IsLetterCharacter(*c))
    while (IsWordCharacter(*end)) ++end;
  else
    while (IsNumberCharacter(*end)) ++end;
  *length = static_cast<size_t>(end - c);
  return reinterpret_cast<const char*>(c);
}

bool CTokenizer::AddToken(const char* start, size_t length) {
  if (length > static_cast<size_t>(kMaxTokenLength)) {
    // Dropped, but the rest of the line is still read.
    if (m_log)
      m_log->Log("ZK3DTokenizer", __LINE__, 2, "Can't Add Token, B'coz Its Lenght Is To Long\n");
    return true;
  }
  if (m_tokenCount >= kMaxTokens) {
    if (m_log)
      m_log->Log("ZK3DTokenizer", __LINE__, 2,
                 "Can't Add Token, B'coz There Are Too Many Tokens\n");
    return false;
  }
  char* slot = m_tokens + m_tokenCount * kSlotSize;
  std::memcpy(slot, start, length);
  slot[length] = '\0';
  ++m_tokenCount;
  return true;
}
