#include "shaders/ShaderProgramSetSamplerState.h"

#include <cstring>

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/DeviceSettings.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderVariable.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetSamplerState::CShaderProgramSetSamplerState";

enum class Form { kAddress, kDword, kFilterOrDefault, kFilter, kFloat };

struct SamplerStateName {
  const char* szKeyword;
  UINT dwState;
  Form form;
};

constexpr SamplerStateName kStates[] = {
    {"ADDRESSU", D3DSAMP_ADDRESSU, Form::kAddress},
    {"ADDRESSV", D3DSAMP_ADDRESSV, Form::kAddress},
    {"ADDRESSW", D3DSAMP_ADDRESSW, Form::kAddress},
    {"BORDERCOLOR", D3DSAMP_BORDERCOLOR, Form::kDword},
    {"MAXANISOTROPY", D3DSAMP_MAXANISOTROPY, Form::kDword},
    {"MAXMIPLEVEL", D3DSAMP_MAXMIPLEVEL, Form::kDword},
    {"SRGBTEXTURE", D3DSAMP_SRGBTEXTURE, Form::kDword},
    {"ELEMENTINDEX", D3DSAMP_ELEMENTINDEX, Form::kDword},
    {"DMAPOFFSET", D3DSAMP_DMAPOFFSET, Form::kDword},
    {"MINFILTER", D3DSAMP_MINFILTER, Form::kFilterOrDefault},
    {"MAGFILTER", D3DSAMP_MAGFILTER, Form::kFilterOrDefault},
    {"MIPFILTER", D3DSAMP_MIPFILTER, Form::kFilter},
    {"MIPMAPLODBIAS", D3DSAMP_MIPMAPLODBIAS, Form::kFloat},
};

constexpr ShaderCommandKeyword kAddresses[] = {
    {"WRAP", 1}, {"MIRROR", 2}, {"CLAMP", 3}, {"BORDER", 4}, {"MIRRORONCE", 5},
};
constexpr ShaderCommandKeyword kFilters[] = {
    {"NONE", 0}, {"POINT", 1}, {"LINEAR", 2}, {"ANISOTROPIC", 3}, {"PYRAMIDALQUAD", 6}, {"GAUSSIANQUAD", 7},
};

}  // namespace

CShaderProgramSetSamplerState::CShaderProgramSetSamplerState(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetSamplerState: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetSamplerState::Compile() {
  if (!CompileStage(&m_dwSampler) || Word(2)[0] == '\0' || Word(3)[0] == '\0') return false;
  const SamplerStateName* state = Match(Word(2), kStates);
  if (state == nullptr) return false;
  m_dwState = state->dwState;
  switch (state->form) {
    case Form::kAddress: {
      LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo,
            "      - Compiling D3DTADDRESS...\n");
      const ShaderCommandKeyword* address = Match(Word(3), kAddresses);
      if (address == nullptr) return false;
      m_dwValue = address->dwValue;
      return true;
    }
    case Form::kDword: return CopyVariable(SHADER_VALUE_DWORD);
    case Form::kFilterOrDefault:
      if (std::strcmp(Word(3), "DEFAULT") == 0) {
        m_dwValue = kDefaultFilter;
        return true;
      }
      return CompileFilter();
    case Form::kFilter: return CompileFilter();
    case Form::kFloat: return CopyVariable(SHADER_VALUE_FLOAT);
  }
  return false;
}

bool CShaderProgramSetSamplerState::CompileFilter() {
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "      - Compiling D3DTEXF...\n");
  if (const ShaderCommandKeyword* filter = Match(Word(3), kFilters)) {
    m_dwValue = filter->dwValue;
    return true;
  }
  return CopyVariable(SHADER_VALUE_DWORD);
}

bool CShaderProgramSetSamplerState::CopyVariable(UINT type) {
  CShaderVariableNode* variable = Reference(Word(3), {type});
  if (variable == nullptr) return false;
  // The variable is given its value only when its pass runs; what it will hold from its
  // declaration is in the declaring line. A float state takes the float's bits.
  m_dwValue = variable->GetOwner()->GetValue().scalar.dwValue;
  return true;
}

UINT CShaderProgramSetSamplerState::DefaultFilter() {
  const DeviceSettings* settings = m_pRenderer->GetDeviceSettings();
  switch (settings != nullptr ? settings->wTextureFilter : 0) {
    case 1:
    case 2: return D3DTEXF_LINEAR;
    case 3: return D3DTEXF_ANISOTROPIC;
    default: return D3DTEXF_POINT;
  }
}

UINT CShaderProgramSetSamplerState::Execute() {
  const bool filter = m_dwState == D3DSAMP_MINFILTER || m_dwState == D3DSAMP_MAGFILTER;
  m_pRenderer->SetSamplerState(m_dwSampler, m_dwState,
                               filter && m_dwValue == kDefaultFilter ? DefaultFilter() : m_dwValue);
  return 1;
}
