#pragma once
// SETTEXTURE stage source: binds a texture, a square or cube render target's texture, or
// nothing (NULL) on a stage each time the pass runs. The source is a variable, read afresh.
#include "shaders/ShaderCommand.h"

class CShaderProgramSetTexture final : public CShaderCommand {
 public:
  explicit CShaderProgramSetTexture(const ShaderLineArguments& arguments);

  // Binds by the variable's current type; a value that is no texture is logged. 1.
  UINT Execute() override;
  UINT GetType() override { return 14; }

  UINT GetStage() const { return m_dwStage; }
  CShaderVariableNode* GetSource() { return m_pSource; }

 private:
  bool Compile();
  // Binds a render target as the stage's texture; nothing when the value holds none.
  void SetRenderTarget(void* target);
  void ClearStage();

  UINT m_dwStage = 0;
  CShaderVariableNode* m_pSource = nullptr;
};
