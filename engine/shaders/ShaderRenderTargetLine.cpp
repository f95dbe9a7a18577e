#include "shaders/ShaderRenderTargetLine.h"

#include <cstdlib>

#include "core/EngineLog.h"
#include "core/Tokenizer.h"
#include "d3d/ColourRenderTarget.h"
#include "d3d/EngineRenderer.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/WorldObject.h"
#include "shaders/Shader.h"
#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderPass.h"

namespace {
const char kSource[] = "ShaderProgramRenderTargets";
}  // namespace

CShaderRenderTargetLine::CShaderRenderTargetLine(const ShaderLineArguments& arguments,
                                                 const char* trace, const char* sender,
                                                 const char* executeSender)
    : m_pPass(arguments.pPass),
      m_pRenderer(arguments.pRenderer),
      m_pLog(arguments.pLog),
      m_szSender(sender),
      m_szExecuteSender(executeSender) {
  Tokens()->Tokenize(arguments.szLine, CTokenizer::kCaseUpper);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, trace, arguments.szLine);
}

CTokenizer* CShaderRenderTargetLine::Tokens() {
  return m_pPass->GetShader()->GetLibrary()->GetTokenizer();
}

bool CShaderRenderTargetLine::Refuse(const char* sender) {
  m_pPass->ReportError(27, sender != nullptr ? sender : m_szSender);
  return false;
}

bool CShaderRenderTargetLine::ReadSlot() {
  const char* word = Tokens()->GetToken(1);
  char* end = nullptr;
  const long slot = std::strtol(word, &end, 10);
  // Each table holds four targets.
  if (word[0] == '\0' || *end != '\0' || slot < 0 ||
      slot >= static_cast<long>(CWorldObject::kRenderTargets))
    return Refuse();
  m_iSlot = static_cast<int>(slot);
  return true;
}

bool CShaderRenderTargetLine::ReadShape(bool physical) {
  const char* word = Tokens()->GetToken(2);
  if (CShaderFileLines::BeginsWith(word, "SQUARE"))
    m_dwShape = kSquare;
  else if (CShaderFileLines::BeginsWith(word, "CUBE"))
    m_dwShape = kCube;
  else if (physical && CShaderFileLines::BeginsWith(word, "PHYSICAL"))
    m_dwShape = kPhysical;
  else
    return Refuse();
  return true;
}

UINT CShaderRenderTargetLine::ReportExecuteError() {
  m_pPass->ReportError(256, m_szExecuteSender);
  return 0;
}

CWorldObject* CShaderRenderTargetLine::FindOwner() {
  CShader* shader = m_pPass->GetShader();
  CWorldObject* owner = nullptr;
  if (shader->GetTargetKind() == SHADER_TARGET_SCENE) {
    if (CScene* scene = shader->GetTargetScene()) owner = scene->GetCurrentLight();
  } else {
    owner = shader->GetTargetMesh();
  }
  if (owner == nullptr) ReportExecuteError();
  return owner;
}

CColourRenderTarget* CShaderRenderTargetLine::SlotTarget(CWorldObject* owner) {
  const UINT slot = static_cast<UINT>(m_iSlot);
  CRenderTargetInterface* target =
      m_dwShape == kCube ? owner->GetCubeRenderTarget(slot) : owner->GetRenderTarget(slot);
  auto* colour = dynamic_cast<CColourRenderTarget*>(target);
  if (colour == nullptr)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING! - %s, Render Target Slot %i Is Empty\n", m_szExecuteSender, m_iSlot);
  return colour;
}

void CShaderRenderTargetLine::StoreTarget(CWorldObject* owner, CColourRenderTarget* target) {
  const UINT slot = static_cast<UINT>(m_iSlot);
  if (m_dwShape == kCube)
    owner->SetCubeRenderTarget(slot, target);
  else
    owner->SetRenderTarget(slot, target);
}

CRenderTargetStorageInterface* CShaderRenderTargetLine::Bank() {
  return m_pRenderer->GetRenderTargetStorageInterface();
}
