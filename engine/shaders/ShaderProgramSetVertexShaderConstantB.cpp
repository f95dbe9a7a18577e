#include "shaders/ShaderProgramSetVertexShaderConstantB.h"

#include "shaders/ShaderLineTable.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kVertex,
    ShaderConstantForm::kBoolean,
    22,
    "    - Compiling SetVertexShaderConstantB: %s",
    false,
    "CShaderProgramSetVertexShaderConstantB::CShaderProgramSetVertexShaderConstantB",
    "CShaderProgramSetVertexShaderConstantB::Execute",
    "ERROR ! - CShaderProgramSetVertexShaderConstantB::Execute - %s\n%s\n",
};

}  // namespace

CShaderProgramSetVertexShaderConstantB::CShaderProgramSetVertexShaderConstantB(const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

CShaderLine* MakeSetVertexShaderConstantB(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetVertexShaderConstantB(arguments);
}
