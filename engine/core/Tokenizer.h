#pragma once
// Splits one line of text into words, numbers and single punctuation characters. Used by the
// settings loader, the console and the shader library, each with a tokenizer of its own.
#include <cstddef>

class CEngineLog;

class CTokenizer {
 public:
  static constexpr int kMaxTokens = 256;
  // A slot holds the token and its terminating zero, so a token is at most 255 characters.
  static constexpr int kSlotSize = 256;
  static constexpr int kMaxTokenLength = kSlotSize - 1;

  // Case modes of Tokenize.
  static constexpr int kCaseUpper = 1;
  static constexpr int kCaseLower = 2;

  explicit CTokenizer(CEngineLog* log);
  CTokenizer(const CTokenizer&) = delete;
  CTokenizer& operator=(const CTokenizer&) = delete;

  // Replaces the previous tokens with those of `text`. kCaseLower and kCaseUpper change the
  // caller's text in place before it is split. Returns 1.
  virtual int Tokenize(char* text, int caseMode);
  virtual int GetNumberOfTokens();
  // The token at `index`, or an empty text when there is no such token.
  virtual const char* GetToken(int index);
  // Last, so that the operations above keep their slots.
  virtual ~CTokenizer();

 private:
  // Finds the token that starts at or after `cursor`; returns its start and length, or null at
  // the end of the line.
  static const char* FindToken(const char* cursor, size_t* length);
  bool AddToken(const char* start, size_t length);

  CEngineLog* m_log;
  char* m_tokens;  // kMaxTokens slots of kSlotSize bytes
  int m_tokenCount;
};
