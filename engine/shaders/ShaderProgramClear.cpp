#include "shaders/ShaderProgramClear.h"

#include "d3d/EngineRenderer.h"

namespace {

const char kSender[] = "CShaderProgramClear::CShaderProgramClear";

constexpr ShaderCommandKeyword kBuffers[] = {
    {"COLOR", D3DCLEAR_TARGET}, {"DEPTH", D3DCLEAR_ZBUFFER}, {"STENCIL", D3DCLEAR_STENCIL},
};

}  // namespace

CShaderProgramClear::CShaderProgramClear(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling Clear: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramClear::Compile() {
  if (NumberOfWords() < 2) return false;
  for (int i = 1; i < NumberOfWords(); ++i) {
    const ShaderCommandKeyword* buffer = Match(Word(i), kBuffers);
    if (buffer == nullptr) return false;
    m_dwFlags |= buffer->dwValue;
  }
  return true;
}

UINT CShaderProgramClear::Execute() {
  m_pRenderer->ClearBuffers(m_dwFlags, 0);
  return 1;
}
