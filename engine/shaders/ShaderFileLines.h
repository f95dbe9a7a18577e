#pragma once
// A shader file read line by line, each line upper-cased in place and split into words by the
// library's tokenizer. What the shader and its passes read their parts of the file through.
#include "ZKDXInterface.h"

class CTokenizer;

class CShaderFileLines {
 public:
  // Lines are at most 255 characters; a longer one arrives in pieces.
  static constexpr int kLineSize = 256;

  CShaderFileLines(VFSFile* file, CTokenizer* tokenizer) : m_pFile(file), m_pTokenizer(tokenizer) {}

  // Reads and splits the next line; false at the end of the file.
  bool Next();
  // Splits the current line again, for a reader that used the tokenizer meanwhile.
  void Split();

  const char* Word(int index) const;
  bool HasWords() const;
  // Whether word `index` begins with `keyword`.
  bool WordBeginsWith(int index, const char* keyword) const {
    return BeginsWith(Word(index), keyword);
  }

  // Where the next line starts; where Seek takes the reading back to.
  LONG Tell() { return m_pFile->Tell(); }
  bool Seek(LONG position) { return m_pFile->Seek(position, 0) == 0; }

  VFSFile* GetFile() { return m_pFile; }
  char* GetLine() { return m_szLine; }

  // Keywords match every word that begins with them.
  static bool BeginsWith(const char* word, const char* keyword);

 private:
  VFSFile* m_pFile;
  CTokenizer* m_pTokenizer;
  char m_szLine[kLineSize] = {};
};
