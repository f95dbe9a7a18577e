#pragma once
// SETPIXELSHADERCONSTANTI: loads a variable's value into integer pixel-shader constant registers.
#include "shaders/ShaderProgramSetConstant.h"

class CShaderProgramSetPixelShaderConstantI final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetPixelShaderConstantI(const ShaderLineArguments& arguments);
};

CShaderLine* MakeSetPixelShaderConstantI(const ShaderLineArguments& arguments);
