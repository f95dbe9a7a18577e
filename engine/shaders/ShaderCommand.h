#pragma once
// What the command lines of a pass share: the pass, renderer and log they were compiled for, the
// words of their statement while they compile, keyword tables matched by the longest keyword a
// word begins with, references to the pass's variables, and the scene the shader is run for.
#include <cstddef>
#include <initializer_list>
#include <new>

#include "d3d9types.h"
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CLightInterface;
class CScene;
class CShaderVariableNode;

// The source name the commands log under.
inline constexpr char kShaderCommandSource[] = "ExecuteProgram";

// The texture stages and samplers whose states the renderer caches.
inline constexpr UINT kShaderStages = 16;

// One keyword of a command's value table and the value it stands for.
struct ShaderCommandKeyword {
  const char* szKeyword;
  DWORD dwValue;
};

class CShaderCommand : public CShaderLine {
 public:
  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  int GetSkip() override { return 0; }

  // The entry of `table` whose keyword `word` begins with, the longest where several do; null
  // for none. Any entry type with a `szKeyword`.
  template <class Entry>
  static const Entry* Match(const char* word, const Entry* table, size_t count) {
    const Entry* best = nullptr;
    size_t longest = 0;
    for (size_t i = 0; i < count; ++i) {
      const size_t length = MatchedLength(word, table[i].szKeyword);
      if (length > longest) {
        best = &table[i];
        longest = length;
      }
    }
    return best;
  }
  template <class Entry, size_t N>
  static const Entry* Match(const char* word, const Entry (&table)[N]) {
    return Match(word, table, N);
  }
  // The length of a non-empty `keyword` when `word` begins with it, else 0.
  static size_t MatchedLength(const char* word, const char* keyword);
  // The decimal number a word begins with, 0 for a word that is no number; saturates.
  static UINT Number(const char* word);

 protected:
  // Splits the statement with the library's tokenizer (upper case) and logs `trace` with it.
  // The statement counts as compiled until Refuse says otherwise.
  CShaderCommand(const ShaderLineArguments& arguments, const char* trace);
  // Splits nothing, for a command that takes no words.
  explicit CShaderCommand(const ShaderLineArguments& arguments);

  // Word `index` of the statement as it was split; empty past the last. Only while compiling.
  const char* Word(int index) const;
  int NumberOfWords() const;
  // The stage or sampler number of word 1 (decimal; a word that is no number gives 0). False when
  // the word is missing or the number lies past the renderer's 16 cached stages, unless
  // `vertexSamplers` lets the four vertex-texture samplers through as well.
  bool CompileStage(UINT* stage, bool vertexSamplers = false) const;
  // Reports error 27 from `sender` and marks the statement as not compiled.
  void Refuse(const ShaderLineArguments& arguments, const char* sender);
  // The variable `word` names when it is currently of one of `types`; else null.
  CShaderVariableNode* Reference(const char* word, std::initializer_list<UINT> types);
  // A material held by value: the Direct3D record, float by float.
  static D3DMATERIAL9 MaterialRecord(const float* floats);
  // Whether the fixed pipeline knows the light's type: distant, point or spot.
  static bool IsDeviceLight(CLightInterface* light);
  // The scene of the shader's target: a scene shader's scene, a mesh shader's mesh's scene, a
  // surface shader's surface's mesh's scene; null for anything else.
  CScene* TargetScene();

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CShaderPass* m_pPass;
};

// The keyword table's constructor for a command class that is made from the line's arguments.
template <class Command>
CShaderLine* MakeShaderCommand(const ShaderLineArguments& arguments) {
  return new (std::nothrow) Command(arguments);
}
