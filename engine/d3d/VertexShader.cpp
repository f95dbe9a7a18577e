#include "d3d/VertexShader.h"

#include <iterator>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/D3DLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/VertexShaderBank.h"

namespace {

const char kSource[] = ".\\Sources\\D3DShaders9";
const char kTitle[] = "Error While Creating Vertex Shader";
constexpr int kInfo = CEngineLog::kLevelInfo;

const char* UsageName(DWORD usage) {
  static const char* const kNames[] = {
      "D3DDECLUSAGE_POSITION, ",   "D3DDECLUSAGE_BLENDWEIGHT, ", "D3DDECLUSAGE_BLENDINDICES, ",
      "D3DDECLUSAGE_NORMAL, ",     "D3DDECLUSAGE_PSIZE, ",       "D3DDECLUSAGE_TEXCOORD, ",
      "D3DDECLUSAGE_TANGENT, ",    "D3DDECLUSAGE_BINORMAL, ",    "D3DDECLUSAGE_TESSFACTOR, ",
      "D3DDECLUSAGE_POSITIONT, ",  "D3DDECLUSAGE_COLOR, ",       "D3DDECLUSAGE_FOG, ",
      "D3DDECLUSAGE_DEPTH, ",      "D3DDECLUSAGE_SAMPLE, "};
  return usage < std::size(kNames) ? kNames[usage] : "!!!UNKNOWN!!!, ";
}

}  // namespace

CVertexShader::CVertexShader(CVertexShaderBank* bank, CEngineRenderer* renderer, CEngineLog* log, const DWORD* code,
                             const char* name, const ShaderParameter* parameters, UINT count)
    : m_Record(name, parameters, count), m_pLog(log), m_pBank(bank) {
  IDirect3DDevice9* device = renderer->GetDevice();
  const HRESULT created = device ? device->CreateVertexShader(code, &m_pShader) : D3DERR_INVALIDCALL;
  if (FAILED(created))
    FatalErrorWithTitle(kTitle, "Can't Create Vertex Shader: %s\n(%s - %s)", name, D3DResultName(created),
                        D3DResultDescription(created));
  LogTo(m_pLog, kSource, kInfo, "  - Vertex Shader %s Successfully Created\n", name);

  UINT number = 0;
  HRESULT result = D3DXGetShaderInputSemantics(code, nullptr, &number);
  if (SUCCEEDED(result)) {
    LogTo(m_pLog, kSource, kInfo, "    - Number Of Input Registers: %i (%i)\n", static_cast<int>(number),
          static_cast<int>(number));
    m_Semantics.resize(number);
    result = D3DXGetShaderInputSemantics(code, m_Semantics.data(), &number);
  }
  if (FAILED(result))
    FatalErrorWithTitle(kTitle, "Can't Get VS Input Registers: %s\n(%s - %s)", name, D3DResultName(result),
                        D3DResultDescription(result));
  m_Semantics.resize(number);
  for (const D3DXSEMANTIC& semantic : m_Semantics) m_InputRegisters.push_back({semantic.Usage, semantic.UsageIndex});
  LogInputRegisters();
}

CVertexShader::~CVertexShader() { ReleaseDeviceObject(); }

void CVertexShader::LogInputRegisters() {
  LogTo(m_pLog, kSource, kInfo, "    - Vertex Shader Input Registers:\n");
  for (const ShaderInputRegister& input : m_InputRegisters) {
    LogTo(m_pLog, kSource, kInfo, "      - ");
    LogTo(m_pLog, kSource, kInfo, "%s", UsageName(input.Usage));
    LogTo(m_pLog, kSource, kInfo, "%i\n", static_cast<int>(input.UsageIndex));
  }
}

void CVertexShader::Set() { m_pBank->SetShader(this); }

ShaderParameter* CVertexShader::GetShaderParameter(UINT index) {
  return m_Record.GetParameter(
      index, m_pLog,
      "ERROR!!! - Trying To Get Vertex Shader Parameter Using Index Exceeding The Number Of All Parameters\n");
}

void CVertexShader::ReleaseDeviceObject() {
  if (m_pShader) m_pShader->Release();
  m_pShader = nullptr;
}
