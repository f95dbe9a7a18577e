#include "d3d/VertexShaderBank.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/EngineSampleScope.h"
#include "core/FatalError.h"
#include "core/Profiler.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexInputSource.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";

const ShaderKind kVertexKind = {
    "Vertex",
    "Error While Creating Shader",
    "Can't Compile (ASM) VS: %s (%s - %s)\n",
    "Can't Compile (HLSL) VS: %s (%s - %s)\n",
    CEngineLog::kLevelInfo,
    CEngineLog::kLevelInfo,
    true,
    false,
    "Error While Creating Vertex Shader",
    "Not Enuff VS Table Entries",
    "Can't Allocate Memory",
};

}  // namespace

CVertexShaderBank::CVertexShaderBank(CVertexInputSource* declarations, CEngineRenderer* renderer, CEngineLog* log,
                                     const char* shadersDirectory)
    : m_Table(log, shadersDirectory, kVertexKind),
      m_pRenderer(renderer),
      m_pLog(log),
      m_pDeclarations(declarations) {}

CVertexShaderBank::~CVertexShaderBank() = default;

CVertexShaderInterface* CVertexShaderBank::CreateShader(const char* fileName, const char* profile,
                                                        ShaderParameter* parameters, UINT count) {
  return Create(fileName, profile ? profile : "", parameters, count);
}

CVertexShaderInterface* CVertexShaderBank::CreateShader(const char* fileName, ShaderParameter* parameters,
                                                        UINT count) {
  return Create(fileName, nullptr, parameters, count);
}

CVertexShader* CVertexShaderBank::Create(const char* fileName, const char* profile,
                                         const ShaderParameter* parameters, UINT count) {
  return m_Table.FindOrCreate(fileName, profile, parameters, count, nullptr, 0,
                              [&](const DWORD* code, const char* name, UINT kept, const char* title,
                                  const char* failure) {
                                return NewNamedOrFatal<CVertexShader>(title, failure, name, this, m_pRenderer, m_pLog,
                                                                  code, name, parameters, kept);
                              });
}

bool CVertexShaderBank::SuppliesInputs(CVertexShader* shader) {
  const UINT inputs = shader->GetNumberOfInputRegisters();
  if (inputs == 0) return true;
  // Without a declaration nothing supplies the inputs the shader reads.
  return m_pDeclarations && m_pDeclarations->CurrentDeclarationHasUsages(shader->GetSemantics(), inputs) != 0;
}

void CVertexShaderBank::SetShader(CVertexShaderInterface* requested) {
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  auto* shader = dynamic_cast<CVertexShader*>(requested);
  if (shader && !SuppliesInputs(shader)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR! - Shader Setting Error!!\nIncompatible Input Registers: %s\n",
          shader->GetShaderName());
    shader = nullptr;
  }
  if (shader == m_pCurrentShader) return;
  m_pCurrentShader = shader;
  if (IDirect3DDevice9* device = m_pRenderer->GetDevice()) {
    const HRESULT result = device->SetVertexShader(shader ? shader->GetD3DShader() : nullptr);
    if (FAILED(result))
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Set Vertex Shader: %s - %s\n%s\n",
            shader ? shader->GetShaderName() : "NULL", D3DResultName(result), D3DResultDescription(result));
  }
  if (CProfiler* profiler = GetEngineContext()->pProfiler) profiler->AddToCounter(CProfiler::kSetVertexShader, 1);
}

UINT CVertexShaderBank::ClearCurrentShader() {
  SetShader(nullptr);
  return 1;
}

void CVertexShaderBank::ReleaseDeviceObjects() {
  m_pCurrentShader = nullptr;
  m_Table.ReleaseDeviceObjects();
}
