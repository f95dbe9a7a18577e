#pragma once
// SETTRANSFORM transform matrix: sets a fixed-function transform from a matrix variable each
// time the pass runs.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetTransform final : public CShaderCommand {
 public:
  explicit CShaderProgramSetTransform(const ShaderLineArguments& arguments);

  // The renderer's SetTransform with the variable's current matrix; 1.
  UINT Execute() override;
  UINT GetType() override { return 7; }

  UINT GetTransform() const { return m_dwTransform; }

 private:
  bool Compile();

  UINT m_dwTransform = 0;
  CShaderVariableNode* m_pMatrix = nullptr;
};
