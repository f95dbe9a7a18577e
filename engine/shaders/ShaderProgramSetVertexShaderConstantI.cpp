#include "shaders/ShaderProgramSetVertexShaderConstantI.h"

#include "shaders/ShaderLineTable.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kVertex,
    ShaderConstantForm::kInteger,
    20,
    "    - Compiling SetVertexShaderConstantI: %s",
    false,
    "CShaderProgramSetVertexShaderConstantI::CShaderProgramSetVertexShaderConstantI",
    "CShaderProgramSetVertexShaderConstantI::Execute",
    "ERROR ! - CShaderProgramSetVertexShaderConstantI::Execute - %s\n%s\n",
};

}  // namespace

CShaderProgramSetVertexShaderConstantI::CShaderProgramSetVertexShaderConstantI(const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

CShaderLine* MakeSetVertexShaderConstantI(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetVertexShaderConstantI(arguments);
}
