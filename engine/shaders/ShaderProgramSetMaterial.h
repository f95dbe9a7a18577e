#pragma once
// SETMATERIAL material flag: sets a material of the material bank, or a material record held by
// the variable itself, each time the pass runs. A flag of 1 also loads the material into the
// pixel-shader constants.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetMaterial final : public CShaderCommand {
 public:
  explicit CShaderProgramSetMaterial(const ShaderLineArguments& arguments);

  // 0 (reported) when the variable holds no material; else 1.
  UINT Execute() override;
  UINT GetType() override { return 23; }

  UINT GetFlag() const { return m_dwFlag; }

 private:
  bool Compile();

  CShaderVariableNode* m_pMaterial = nullptr;
  UINT m_dwFlag = 0;
};
