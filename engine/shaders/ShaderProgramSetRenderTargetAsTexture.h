#pragma once
// SETRENDERTARGETASTEXTURE slot SQUARE|CUBE stage: binds the parked target as the texture of a
// sampler stage.
#include "shaders/ShaderRenderTargetLine.h"

class CShaderProgramSetRenderTargetAsTexture final : public CShaderRenderTargetLine {
 public:
  explicit CShaderProgramSetRenderTargetAsTexture(const ShaderLineArguments& arguments);

  UINT Execute() override;
  UINT GetType() override { return 6; }

  int GetStage() const { return m_iStage; }

 private:
  int m_iStage = 0;
};

CShaderLine* MakeShaderProgramSetRenderTargetAsTexture(const ShaderLineArguments& arguments);
