#pragma once
// What the six shader-constant commands share (SETVERTEXSHADERCONSTANTF/I/B and their pixel
// twins): the line "register variable [SAT]", the check that the variable holds a type the
// command can load, and loading the variable's current value into float, integer or Boolean
// registers each run. A failed renderer call is logged and the command goes on.
#include "shaders/ShaderLine.h"

class CEngineLog;
class CEngineRenderer;
class CShaderPass;
class CShaderVariableNode;
struct ShaderLineArguments;

enum class ShaderConstantStage { kVertex, kPixel };
enum class ShaderConstantForm { kFloat, kInteger, kBoolean };

struct ShaderConstantKind {
  ShaderConstantStage stage;
  ShaderConstantForm form;
  UINT dwType;                // the command's type id
  const char* szCompileLog;   // the trace of the line
  bool bTraceAfterWord;       // the trace only once the register word is known to be there
  const char* szConstructor;  // sender of the compile errors
  const char* szExecute;      // sender of error 256
  const char* szFailure;      // the log line of a failed renderer call
};

class CShaderProgramSetConstant : public CShaderLine {
 public:
  CShaderProgramSetConstant(const ShaderLineArguments& arguments, const ShaderConstantKind& kind);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return m_Kind.dwType; }
  int GetSkip() override { return 0; }

  UINT GetRegister() const { return m_dwRegister; }
  CShaderVariableNode* GetVariable() const { return m_pVariable; }
  UINT GetSaturate() const { return m_dwSaturate; }

 protected:
  // A TABLE value in a float command. None can be loaded here: error 256.
  virtual UINT LoadTable();
  // `count` four-float registers from `first`.
  void LoadFloats(UINT first, const float* values, UINT count);
  UINT ReportUnloadable();

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CShaderVariableNode* m_pVariable = nullptr;  // the pass's
  UINT m_dwRegister = 0;

 private:
  UINT LoadFloatValue();
  UINT LoadIntegerValue();
  UINT LoadBooleanValue();
  void LoadIntegers(UINT first, const int* values, UINT count);
  void LoadBoolean(UINT value);
  void Check(HRESULT result);

  const ShaderConstantKind& m_Kind;
  UINT m_dwSaturate = 0;
};
