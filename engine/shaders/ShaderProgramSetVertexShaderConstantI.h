#pragma once
// SETVERTEXSHADERCONSTANTI: loads a variable's value into integer vertex-shader constant registers.
#include "shaders/ShaderProgramSetConstant.h"

class CShaderProgramSetVertexShaderConstantI final : public CShaderProgramSetConstant {
 public:
  explicit CShaderProgramSetVertexShaderConstantI(const ShaderLineArguments& arguments);
};

CShaderLine* MakeSetVertexShaderConstantI(const ShaderLineArguments& arguments);
