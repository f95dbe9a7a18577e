#pragma once
// One compiled pass of a shader: the lines between a BEGINPASS line and its ENDPASS line, with
// the conditional lines resolved against the shader's parameters, each made into a command or
// variable line, and the variables the pass declares.
#include "ZKDXRecords.h"
#include "scene/MeshShaderLibrary.h"

class CEngineLog;
class CEngineRenderer;
class CShader;
class CShaderFileLines;
class CShaderLine;
class CShaderVariableNode;

enum : UINT {
  SHADER_CALL_NORMAL = 1,
  SHADER_CALL_CALLABLE = 2,
  SHADER_CALL_ONLY_CALLABLE = 3,
};

enum : UINT {
  SHADER_PASS_NORMAL = 1,
  SHADER_PASS_AMBIENT = 4,
  SHADER_PASS_DYNAMIC_SHADOW_VOLUME = 5,
  SHADER_PASS_STATIC_SHADOW_VOLUME = 6,
};

class CShaderPass {
 public:
  static constexpr UINT kNameSize = 256;
  static constexpr UINT kMaxVariables = 64;

  // `lines` holds the BEGINPASS line; afterwards it holds the ENDPASS line and the file stands
  // after it. *success is 0 when the pass cannot be compiled (the reason reported).
  CShaderPass(CShader* shader, CEngineRenderer* renderer, CEngineLog* log, CShaderFileLines& lines,
              UINT passIndex, const ShaderParameter* parameters, UINT numberOfParameters,
              UINT* success);
  ~CShaderPass();
  CShaderPass(const CShaderPass&) = delete;
  CShaderPass& operator=(const CShaderPass&) = delete;

  CShader* GetShader() { return m_pShader; }
  const char* GetName() const { return m_szName; }
  UINT GetNumberOfLines() const { return m_dwLines; }
  // Null at or past the line count.
  CShaderLine* GetLine(UINT index) { return index < m_dwLines ? m_pLines[index] : nullptr; }
  UINT GetCallMode() const { return m_dwCallMode; }
  UINT GetPassKind() const { return m_dwPassKind; }
  UINT GetPassIndex() const { return m_dwPassIndex; }
  CEngineRenderer* GetRenderer() { return m_pRenderer; }
  CEngineLog* GetLog() { return m_pLog; }

  UINT ReportError(UINT code, const char* sender);

  // Makes the shader's target the current object of its owner (a scene shader clears the
  // scene's current light and mesh) and runs the lines in order, each moving on by one plus its
  // skip. A failing line ends the process. Returns 1.
  UINT Execute();

  // Takes the node into the pass's table; 0 (the node left to the caller) when the table
  // already holds a variable of that name, or is full.
  UINT AddVariable(CShaderVariableNode* node);
  // The variable of exactly that name declared so far, or null.
  CShaderVariableNode* FindVariable(const char* name);
  // The variable a command's argument `word` names, when its value is currently of one of the
  // `count` types in `types`; else null, and the command does not compile.
  CShaderVariableNode* ReferenceVariable(const char* word, const UINT* types, UINT count);

  // Room for the stream bindings of the pass, which the shader fills for its mesh.
  ShaderStreamBinding* GetStreamBindings() { return m_Bindings; }

 private:
  enum class LineKind { kCompiled, kSkipped, kBroken };

  void SetCurrentObjects();
  void ReadFlags(CShaderFileLines& lines);
  // Reads the body up to the ENDPASS line, counting (lines == capacity 0) or compiling it.
  bool Scan(CShaderFileLines& lines, bool compile, UINT* counted);
  LineKind Classify(CShaderFileLines& lines);
  bool DirectiveHolds(CShaderFileLines& lines, bool defined) const;
  bool SkipBlock(CShaderFileLines& lines);
  bool CompileLine(CShaderFileLines& lines);
  bool LinkBlockEnd(CShaderLine* end, UINT startType, UINT endType);
  bool BlocksClosed();

  CShader* m_pShader;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  const ShaderParameter* m_pParameters;
  UINT m_dwParameters;
  CShaderLine** m_pLines = nullptr;
  UINT m_dwCapacity = 0;
  UINT m_dwLines = 0;
  char m_szName[kNameSize] = {};
  CShaderVariableNode* m_pVariables[kMaxVariables] = {};
  UINT m_dwVariables = 0;
  UINT m_dwCallMode = SHADER_CALL_NORMAL;
  UINT m_dwPassKind = SHADER_PASS_NORMAL;
  UINT m_dwPassIndex;
  ShaderStreamBinding m_Bindings[MAX_SHADER_STREAM_BINDINGS] = {};
};
