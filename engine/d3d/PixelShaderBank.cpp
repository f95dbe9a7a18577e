#include "d3d/PixelShaderBank.h"

#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/Profiler.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";
const char kTitle[] = "Error While Creating Pixel Shader";

const ShaderKind kPixelKind = {
    "Pixel",
    kTitle,
    "Can't Compile: %s\n(%s - %s)\n",
    "Can't Compile: %s\n(%s - %s)\n",
    CEngineLog::kLevelError,
    CEngineLog::kLevelInfo,
    false,
    true,
    kTitle,
    "Not Enuff PS Table Entries",
    "Can't Allocate Memory (%s)\n",
};

// The settings that switch on a workaround of a card family, and the macro each gives the
// high-level sources.
struct CardMacro {
  const char* setting;
  const char* macro;
};
const CardMacro kCardMacros[] = {
    {"fx_ps20_halfway_bug", "FX_PS20_HALFWAY_BUG"},
    {"fx_ps20_favour_speed", "FX_PS20_FAVOUR_SPEED"},
    {"r8500_ps14_favour_speed", "R8500_PS14_FAVOUR_SPEED"},
};

}  // namespace

CPixelShaderBank::CPixelShaderBank(CEngineRenderer* renderer, CEngineLog* log, const char* shadersDirectory,
                                   CSettings* settings)
    : m_pRenderer(renderer), m_pLog(log), m_Table(log, shadersDirectory, kPixelKind) {
  for (const CardMacro& row : kCardMacros) {
    CSettingEntry* entry = settings ? settings->GetSetting(row.setting) : nullptr;
    if (!entry) continue;
    ShaderParameter macro = {};
    macro.dwValue = static_cast<DWORD>(entry->GetInt());
    CopyName(macro.szParameterName, row.macro);
    m_CardMacros.push_back(macro);
  }
}

CPixelShaderBank::~CPixelShaderBank() = default;

CPixelShaderInterface* CPixelShaderBank::CreateShader(const char* fileName, const char* profile,
                                                      ShaderParameter* parameters, UINT count) {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "Parameters: %i\n", static_cast<int>(count));
  return Create(fileName, profile ? profile : "", parameters, count);
}

CPixelShaderInterface* CPixelShaderBank::CreateShader(const char* fileName, ShaderParameter* parameters, UINT count) {
  return Create(fileName, nullptr, parameters, count);
}

// A full table stops as the vertex bank's does rather than write past it.
CPixelShader* CPixelShaderBank::Create(const char* fileName, const char* profile, const ShaderParameter* parameters,
                                       UINT count) {
  return m_Table.FindOrCreate(fileName, profile, parameters, count, m_CardMacros.data(),
                              static_cast<UINT>(m_CardMacros.size()),
                              [&](const DWORD* code, const char* name, UINT kept, const char* title,
                                  const char* failure) {
                                return NewNamedOrFatal<CPixelShader>(title, failure, name, this, m_pRenderer, m_pLog,
                                                                  code, name, parameters, kept);
                              });
}

void CPixelShaderBank::SetShader(CPixelShaderInterface* requested) {
  auto* shader = dynamic_cast<CPixelShader*>(requested);
  if (shader == m_pCurrentShader) return;
  m_pCurrentShader = shader;
  if (IDirect3DDevice9* device = m_pRenderer->GetDevice()) {
    const HRESULT result = device->SetPixelShader(shader ? shader->GetDirect3DShader() : nullptr);
    if (FAILED(result))
      LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR! - Can't Set Pixel Shader: %s\n(%s - %s)\n",
            shader ? shader->GetShaderName() : "NULL", D3DResultName(result), D3DResultDescription(result));
  }
  if (CProfiler* profiler = GetEngineContext()->pProfiler) profiler->AddToCounter(CProfiler::kSetPixelShader, 1);
}

UINT CPixelShaderBank::ClearCurrentShader() {
  SetShader(nullptr);
  return 1;
}

void CPixelShaderBank::ReleaseDeviceObjects() {
  m_pCurrentShader = nullptr;
  m_Table.ReleaseDeviceObjects();
}
