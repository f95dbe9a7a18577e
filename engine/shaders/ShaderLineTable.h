#pragma once
// Which line class a pass makes of a line, chosen by the line's first word: the keywords in the
// order they are tried, each with its command type id and the constructor of its class. A word
// matches a keyword it begins with, so a longer keyword sharing a prefix comes first. A word
// that matches no keyword declares a variable.
#include <array>

#include "windef.h"

class CEngineLog;
class CEngineRenderer;
class CShaderLine;
class CShaderPass;
class VFSFile;

// What every line constructor receives.
struct ShaderLineArguments {
  CShaderPass* pPass;
  CEngineRenderer* pRenderer;
  CEngineLog* pLog;
  VFSFile* pFile;  // stands at the line after this one
  char* szLine;    // the line, upper-cased; the library's tokenizer still holds its words
  UINT dwIndex;    // the index the line takes in its pass
  UINT* pSuccess;  // set to 0, after reporting why, when the line cannot be made
};

using ShaderLineFactory = CShaderLine* (*)(const ShaderLineArguments& arguments);

struct ShaderKeyword {
  const char* szKeyword;  // "" for the variable entry, which every word matches
  UINT dwType;
  ShaderLineFactory pCreate;  // null while the engine has no class for the keyword
  bool bNotImplemented;       // the language reserves the keyword but offers no command
};

class CShaderLineTable {
 public:
  static constexpr size_t kEntries = 40;

  // The engine's keywords with the line classes the engine has.
  CShaderLineTable();

  // The entry of a line whose first word is `word`.
  const ShaderKeyword& Find(const char* word) const;
  // Gives `keyword` ("" for variables) the constructor `create`; false for an unknown keyword.
  bool SetFactory(const char* keyword, ShaderLineFactory create);

  static const CShaderLineTable& Engine();

 private:
  std::array<ShaderKeyword, kEntries> m_Entries;
};
