#include "d3d/PixelShader.h"

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/PixelShaderBank.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";

}  // namespace

CPixelShader::CPixelShader(CPixelShaderBank* bank, CEngineRenderer* renderer, CEngineLog* log, const DWORD* code,
                           const char* name, const ShaderParameter* parameters, UINT count)
    : m_Record(name, parameters, count), m_pLog(log), m_pBank(bank) {
  IDirect3DDevice9* device = renderer->GetDevice();
  const HRESULT created = device ? device->CreatePixelShader(code, &m_pShader) : D3DERR_INVALIDCALL;
  if (FAILED(created))
    FatalErrorWithTitle("Error While Creating Pixel Shader", "Can't Create: %s\n(%s - %s)\n", name,
                        D3DResultName(created), D3DResultDescription(created));
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Pixel Shader (%s) Successfully Created\n", name);
}

CPixelShader::~CPixelShader() { ReleaseDeviceObject(); }

void CPixelShader::SetShader() { m_pBank->SetShader(this); }

ShaderParameter* CPixelShader::GetShaderParameter(UINT index) {
  return m_Record.GetParameter(
      index, m_pLog,
      "ERROR!!! - Trying To Get Pixel Shader Parameter Using Index Exceeding The Number Of All Parameters\n");
}

void CPixelShader::ReleaseDeviceObject() {
  if (m_pShader) m_pShader->Release();
  m_pShader = nullptr;
}
