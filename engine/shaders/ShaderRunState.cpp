#include "shaders/ShaderRunState.h"

#include "shaders/Shader.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderProgramForEach.h"

namespace {

// Calls visit(loop) for each FOREACH line of the pass, in line order.
template <class Visit>
void ForEachLoop(CShaderPass* pass, Visit visit) {
  for (UINT i = 0; i < pass->GetNumberOfLines(); ++i)
    if (auto* loop = dynamic_cast<CShaderProgramForEach*>(pass->GetLine(i))) visit(*loop);
}

}  // namespace

CShaderRunState::CShaderRunState(CShaderPass* pass) : m_pPass(pass) {
  if (m_pPass == nullptr) return;
  CShader* shader = m_pPass->GetShader();
  m_pTarget = shader->GetTarget();
  m_fRunValue = shader->GetRunValue();
  ForEachLoop(m_pPass, [this](CShaderProgramForEach& loop) {
    m_NextIndices.push_back(loop.GetNextIndex());
    loop.SetNextIndex(0);
  });
}

CShaderRunState::~CShaderRunState() {
  if (m_pPass == nullptr) return;
  CShader* shader = m_pPass->GetShader();
  shader->SetTarget(m_pTarget);
  shader->SetRunValue(m_fRunValue);
  size_t next = 0;
  ForEachLoop(m_pPass,
              [&](CShaderProgramForEach& loop) { loop.SetNextIndex(m_NextIndices[next++]); });
}
