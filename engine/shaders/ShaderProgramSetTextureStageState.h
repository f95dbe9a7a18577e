#pragma once
// SETTEXTURESTAGESTATE stage state value: one fixed-function texture-stage state. Arguments,
// index and transform flags are resolved when the pass compiles; an operation may instead name
// a DWORD variable, read each time the line runs.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetTextureStageState final : public CShaderCommand {
 public:
  explicit CShaderProgramSetTextureStageState(const ShaderLineArguments& arguments);

  // Sets the state through the renderer's cache; 1.
  UINT Execute() override;
  UINT GetType() override { return 15; }

  UINT GetStage() const { return m_dwStage; }
  UINT GetState() const { return m_dwState; }
  UINT GetValue() const { return m_dwValue; }
  CShaderVariableNode* GetVariable() { return m_pVariable; }

 private:
  bool Compile();
  bool CompileArgument();
  bool CompileOperation();
  void CompileIndexFlags();
  void CompileTransformFlags();

  UINT m_dwStage = 0;
  UINT m_dwState = 0;
  UINT m_dwValue = 0;
  CShaderVariableNode* m_pVariable = nullptr;
};
