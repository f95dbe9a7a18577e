#include "shaders/ShaderProgramSetRenderTargetAsTexture.h"

#include <cstdlib>
#include <new>

#include "core/Tokenizer.h"
#include "d3d/ColourRenderTarget.h"

CShaderLine* MakeShaderProgramSetRenderTargetAsTexture(const ShaderLineArguments& arguments) {
  return new (std::nothrow) CShaderProgramSetRenderTargetAsTexture(arguments);
}

CShaderProgramSetRenderTargetAsTexture::CShaderProgramSetRenderTargetAsTexture(
    const ShaderLineArguments& arguments)
    : CShaderRenderTargetLine(
          arguments, "    - Compile SetRenderTargetAsTexture Line: %s",
          "CShaderProgramSetRenderTargetAsTexture::CShaderProgramSetRenderTargetAsTexture",
          "CShaderProgramSetRenderTargetAsTexture::Execute") {
  *arguments.pSuccess = 0;
  if (!ReadSlot()) return;
  // The system's own report names the class so when the shape is missing.
  if (Tokens()->GetToken(2)[0] == '\0') {
    Refuse("CShaderProgramSetRenderTargeAsTexturet::CShaderProgramSetRenderTargetAsTexture");
    return;
  }
  if (!ReadShape(false)) return;
  const char* stage = Tokens()->GetToken(3);
  if (stage[0] == '\0') {
    Refuse();
    return;
  }
  m_iStage = std::atoi(stage);
  *arguments.pSuccess = 1;
}

UINT CShaderProgramSetRenderTargetAsTexture::Execute() {
  CWorldObject* owner = FindOwner();
  if (owner == nullptr) return 0;
  if (CColourRenderTarget* target = SlotTarget(owner))
    target->SetAsTexture(static_cast<UINT>(m_iStage));
  return 1;
}
