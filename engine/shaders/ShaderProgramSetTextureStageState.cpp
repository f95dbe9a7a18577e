#include "shaders/ShaderProgramSetTextureStageState.h"

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetTextureStageState::CShaderProgramSetTextureStageState";

enum class Form { kArgument, kOperation, kIndexFlags, kTransformFlags, kRefused };

struct StageStateName {
  const char* szKeyword;
  UINT dwState;
  Form form;
};

constexpr StageStateName kStates[] = {
    {"ALPHAARG0", D3DTSS_ALPHAARG0, Form::kArgument},
    {"ALPHAARG1", D3DTSS_ALPHAARG1, Form::kArgument},
    {"ALPHAARG2", D3DTSS_ALPHAARG2, Form::kArgument},
    {"ALPHAOP", D3DTSS_ALPHAOP, Form::kOperation},
    {"BUMPENVLOFFSET", D3DTSS_BUMPENVLOFFSET, Form::kRefused},
    {"BUMPENVLSCALE", D3DTSS_BUMPENVLSCALE, Form::kRefused},
    {"BUMPENVMAT00", D3DTSS_BUMPENVMAT00, Form::kRefused},
    {"BUMPENVMAT01", D3DTSS_BUMPENVMAT01, Form::kRefused},
    {"BUMPENVMAT10", D3DTSS_BUMPENVMAT10, Form::kRefused},
    {"BUMPENVMAT11", D3DTSS_BUMPENVMAT11, Form::kRefused},
    {"COLORARG0", D3DTSS_COLORARG0, Form::kArgument},
    {"COLORARG1", D3DTSS_COLORARG1, Form::kArgument},
    {"COLORARG2", D3DTSS_COLORARG2, Form::kArgument},
    {"COLOROP", D3DTSS_COLOROP, Form::kOperation},
    {"RESULTARG", D3DTSS_RESULTARG, Form::kArgument},
    {"TEXCOORDINDEX", D3DTSS_TEXCOORDINDEX, Form::kIndexFlags},
    {"TEXTURETRANSFORMFLAGS", D3DTSS_TEXTURETRANSFORMFLAGS, Form::kTransformFlags},
};

constexpr ShaderCommandKeyword kArguments[] = {
    {"DIFFUSE", 0}, {"CURRENT", 1}, {"TEXTURE", 2},     {"TFACTOR", 3},
    {"SPECULAR", 4}, {"TEMP", 5},   {"SELECTMASK", 15},
};
constexpr ShaderCommandKeyword kArgumentModifiers[] = {{"ALPHAREPLICATE", 32}, {"COMPLEMENT", 16}};
constexpr ShaderCommandKeyword kOperations[] = {
    {"DISABLE", 1},
    {"SELECTARG1", 2},
    {"SELECTARG2", 3},
    {"MODULATE", 4},
    {"MODULATE2X", 5},
    {"MODULATE4X", 6},
    {"ADD", 7},
    {"ADDSIGNED", 8},
    {"ADDSIGNED2X", 9},
    {"SUBTRACT", 10},
    {"ADDSMOOTH", 11},
    {"BLENDDIFFUSEALPHA", 12},
    {"BLENDTEXTUREALPHA", 13},
    {"BLENDFACTORALPHA", 14},
    {"BLENDTEXTUREALPHAPM", 15},
    {"BLENDCURRENTALPHA", 16},
    {"PREMODULATE", 17},
    {"MODULATEALPHA_ADDCOLOR", 18},
    {"MODULATECOLOR_ADDALPHA", 19},
    {"MODULATEINVALPHA_ADDCOLOR", 20},
    {"MODULATEINVCOLOR_ADDALPHA", 21},
    {"BUMPENVMAP", 22},
    {"BUMPENVMAPLUMINANCE", 23},
    {"DOTPRODUCT3", 24},
    {"MULTIPLYADD", 25},
    {"LERP", 26},
};
constexpr ShaderCommandKeyword kIndexFlags[] = {
    {"CAMERASPACENORMAL", 0x10000},
    {"CAMERASPACEPOSITION", 0x20000},
    {"CAMERASPACEREFLECTIONVECTOR", 0x30000},
    {"PASSTHRU", 0},
};
constexpr ShaderCommandKeyword kTransformFlags[] = {
    {"COUNT1", 1}, {"COUNT2", 2}, {"COUNT3", 3}, {"COUNT4", 4}, {"PROJECTED", 0x100}, {"DISABLE", 0},
};

}  // namespace

CShaderProgramSetTextureStageState::CShaderProgramSetTextureStageState(
    const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compiling SetTextureStageState: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetTextureStageState::Compile() {
  if (!CompileStage(&m_dwStage) || Word(2)[0] == '\0' || Word(3)[0] == '\0') return false;
  const StageStateName* state = Match(Word(2), kStates);
  if (state == nullptr || state->form == Form::kRefused) return false;
  m_dwState = state->dwState;
  switch (state->form) {
    case Form::kArgument: return CompileArgument();
    case Form::kOperation: return CompileOperation();
    case Form::kIndexFlags: CompileIndexFlags(); return true;
    case Form::kTransformFlags: CompileTransformFlags(); return true;
    case Form::kRefused: break;
  }
  return false;
}

// One argument and at most one modifier after it.
bool CShaderProgramSetTextureStageState::CompileArgument() {
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "      - Compiling D3DTA...\n");
  const ShaderCommandKeyword* argument = Match(Word(3), kArguments);
  if (argument == nullptr) return false;
  m_dwValue = argument->dwValue;
  if (Word(4)[0] == '\0') return true;
  const ShaderCommandKeyword* modifier = Match(Word(4), kArgumentModifiers);
  if (modifier == nullptr) return false;
  m_dwValue += modifier->dwValue;
  return true;
}

bool CShaderProgramSetTextureStageState::CompileOperation() {
  LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "      - Compiling D3DTOP...\n");
  if (const ShaderCommandKeyword* operation = Match(Word(3), kOperations)) {
    m_dwValue = operation->dwValue;
    return true;
  }
  m_pVariable = Reference(Word(3), {SHADER_VALUE_DWORD});
  return m_pVariable != nullptr;
}

// A word that is no flag counts as the coordinate set's number.
void CShaderProgramSetTextureStageState::CompileIndexFlags() {
  for (int i = 3; i < NumberOfWords(); ++i) {
    const ShaderCommandKeyword* flag = Match(Word(i), kIndexFlags);
    m_dwValue |= flag != nullptr ? flag->dwValue : Number(Word(i));
  }
}

void CShaderProgramSetTextureStageState::CompileTransformFlags() {
  for (int i = 3; i < NumberOfWords(); ++i)
    if (const ShaderCommandKeyword* flag = Match(Word(i), kTransformFlags)) m_dwValue |= flag->dwValue;
}

UINT CShaderProgramSetTextureStageState::Execute() {
  const DWORD* variable = m_pVariable != nullptr ? m_pVariable->GetDword() : nullptr;
  m_pRenderer->SetTextureStageState(m_dwStage, m_dwState, variable != nullptr ? *variable : m_dwValue);
  return 1;
}
