#pragma once
// SETPIXELSHADERCONSTANTF: loads a variable's value into float pixel-shader constant registers.
#include "shaders/ShaderProgramSetConstant.h"

class CShaderProgramSetPixelShaderConstantF final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetPixelShaderConstantF(const ShaderLineArguments& arguments);
};

CShaderLine* MakeSetPixelShaderConstantF(const ShaderLineArguments& arguments);
