#include "shaders/ShaderProgramSetPixelShaderConstantF.h"

#include "shaders/ShaderLineTable.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kPixel,
    ShaderConstantForm::kFloat,
    11,
    "    - Compiling PixelShaderConstantF: %s",
    true,
    "CShaderProgramSetPixelShaderConstantF::CShaderProgramSetPixelShaderConstantF",
    "CShaderProgramSetPixelShaderConstant::Execute",
    "ERROR ! - CShaderProgramSetPixelShaderConstantF::Execute - %s\n%s\n",
};

}  // namespace

CShaderProgramSetPixelShaderConstantF::CShaderProgramSetPixelShaderConstantF(const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

CShaderLine* MakeSetPixelShaderConstantF(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetPixelShaderConstantF(arguments);
}
