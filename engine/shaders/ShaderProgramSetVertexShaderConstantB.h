#pragma once
// SETVERTEXSHADERCONSTANTB: loads a variable's value into Boolean vertex-shader constant registers.
#include "shaders/ShaderProgramSetConstant.h"

class CShaderProgramSetVertexShaderConstantB final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetVertexShaderConstantB(const ShaderLineArguments& arguments);
};

CShaderLine* MakeSetVertexShaderConstantB(const ShaderLineArguments& arguments);
