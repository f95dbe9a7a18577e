#include "shaders/ShaderProgramSetPixelShaderConstantI.h"

#include "shaders/ShaderLineTable.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kPixel,
    ShaderConstantForm::kInteger,
    13,
    "    - Compiling PixelShaderConstantI: %s",
    true,
    "CShaderProgramSetPixelShaderConstantI::CShaderProgramSetPixelShaderConstantI",
    "CShaderProgramSetPixelShaderConstant::Execute",
    "ERROR ! - CShaderProgramSetPixelShaderConstantI::Execute - %s\n%s\n",
};

}  // namespace

CShaderProgramSetPixelShaderConstantI::CShaderProgramSetPixelShaderConstantI(const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

CShaderLine* MakeSetPixelShaderConstantI(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetPixelShaderConstantI(arguments);
}
