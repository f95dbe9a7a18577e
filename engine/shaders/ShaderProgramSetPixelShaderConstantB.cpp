#include "shaders/ShaderProgramSetPixelShaderConstantB.h"

#include "shaders/ShaderLineTable.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kPixel,
    ShaderConstantForm::kBoolean,
    12,
    "    - Compiling PixelShaderConstantB: %s",
    true,
    "CShaderProgramSetPixelShaderConstantB::CShaderProgramSetPixelShaderConstantB",
    "CShaderProgramSetPixelShaderConstant::Execute",
    "ERROR ! - CShaderProgramSetPixelShaderConstantB::Execute - %s\n%s\n",
};

}  // namespace

CShaderProgramSetPixelShaderConstantB::CShaderProgramSetPixelShaderConstantB(const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

CShaderLine* MakeSetPixelShaderConstantB(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetPixelShaderConstantB(arguments);
}
