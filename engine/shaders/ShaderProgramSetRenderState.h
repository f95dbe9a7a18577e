#pragma once
// SETRENDERSTATE name value: one render state, its name and (where it is a keyword) its value
// resolved once when the pass compiles. A value that names a DWORD or FLOAT variable is read
// each time the line runs, a float passing its bits, so a pass can drive a state per frame.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetRenderState final : public CShaderCommand {
 public:
  explicit CShaderProgramSetRenderState(const ShaderLineArguments& arguments);

  // Sets the state through the renderer's cache; 1 whatever the renderer answers.
  UINT Execute() override;
  UINT GetType() override { return 5; }

  UINT GetState() const { return m_dwState; }
  UINT GetValue() const { return m_dwValue; }
  CShaderVariableNode* GetVariable() { return m_pVariable; }

 private:
  bool Compile();
  // Token 2 as one of `count` keywords, logging `trace` first (none when null).
  bool CompileKeyword(const ShaderCommandKeyword* table, size_t count, const char* trace);
  bool CompileColorWriteMask();
  bool CompileVariable(UINT type);

  UINT m_dwState = 0;
  UINT m_dwValue = 0;
  CShaderVariableNode* m_pVariable = nullptr;
};
