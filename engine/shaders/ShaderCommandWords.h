#pragma once
// The words of the command line being compiled, as the shader library's tokenizer split it
// (upper-cased; every punctuation character a word of its own). An absent word reads as empty.
#include "windef.h"

class CShaderPass;
class CTokenizer;

class CShaderCommandWords {
 public:
  explicit CShaderCommandWords(CShaderPass* pass);

  const char* Word(int index) const;
  bool IsEmpty(int index) const { return Word(index)[0] == '\0'; }
  // The word's leading decimal digits as a number; 0 for a word that does not start with one.
  UINT Number(int index) const;

 private:
  CTokenizer* m_pTokenizer;
};
