#pragma once
// RELEASERENDERTARGET slot SQUARE|CUBE: empties the slot, unlocking a target that is still
// locked so that the bank can hand it out again.
#include "shaders/ShaderRenderTargetLine.h"

class CShaderProgramReleaseRenderTarget final : public CShaderRenderTargetLine {
 public:
  explicit CShaderProgramReleaseRenderTarget(const ShaderLineArguments& arguments);

  // 0 only when there is no owner; an empty slot is logged and left.
  UINT Execute() override;
  UINT GetType() override { return 30; }
};

CShaderLine* MakeShaderProgramReleaseRenderTarget(const ShaderLineArguments& arguments);
