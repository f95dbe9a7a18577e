#pragma once
// SETPIXELSHADERCONSTANTB: loads a variable's value into Boolean pixel-shader constant registers.
#include "shaders/ShaderProgramSetConstant.h"

class CShaderProgramSetPixelShaderConstantB final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetPixelShaderConstantB(const ShaderLineArguments& arguments);
};

CShaderLine* MakeSetPixelShaderConstantB(const ShaderLineArguments& arguments);
