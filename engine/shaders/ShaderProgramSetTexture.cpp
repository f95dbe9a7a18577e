#include "shaders/ShaderProgramSetTexture.h"

#include <cstring>

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/ColourRenderTarget.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetTexture::CShaderProgramSetTexture";

}  // namespace

CShaderProgramSetTexture::CShaderProgramSetTexture(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetTexture: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetTexture::Compile() {
  // The vertex-texture samplers are passed to the device uncached, so they are safe to name.
  if (!CompileStage(&m_dwStage, true) || Word(2)[0] == '\0') return false;
  if (std::strcmp(Word(2), "NULL") == 0) return true;
  m_pSource = Reference(Word(2), {SHADER_VALUE_TEXTURE, SHADER_VALUE_SQUARE_RENDER_TEXTURE,
                                  SHADER_VALUE_CUBE_RENDER_TEXTURE});
  return m_pSource != nullptr;
}

UINT CShaderProgramSetTexture::Execute() {
  if (m_pSource == nullptr) {
    ClearStage();
    return 1;
  }
  switch (m_pSource->GetType()) {
    case SHADER_VALUE_CUBE_RENDER_TEXTURE: SetRenderTarget(m_pSource->GetCubeRenderTexture()); break;
    case SHADER_VALUE_SQUARE_RENDER_TEXTURE:
      SetRenderTarget(m_pSource->GetSquareRenderTexture());
      break;
    case SHADER_VALUE_TEXTURE:
      if (CTextureInterface* texture = m_pSource->GetTexture())
        texture->Set(static_cast<WORD>(m_dwStage));
      else
        ClearStage();
      break;
    default:
      LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelError,
            "WARNING!!! - Resource Aint A Texture (%s)\n", m_pSource->GetName());
      break;
  }
  return 1;
}

void CShaderProgramSetTexture::SetRenderTarget(void* target) {
  // Only colour targets have a texture to bind.
  auto* colour = dynamic_cast<CColourRenderTarget*>(static_cast<CRenderTargetInterface*>(target));
  if (colour != nullptr)
    colour->SetAsTexture(m_dwStage);
  else
    ClearStage();
}

void CShaderProgramSetTexture::ClearStage() {
  m_pRenderer->GetTextureStorageInterface()->SetD3DTexture(nullptr, m_dwStage);
}
