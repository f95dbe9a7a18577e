#include "shaders/ShaderProgramSetRenderState.h"

#include <cstring>
#include <iterator>

#include "ZeKorbD3DHeader.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const char kSender[] = "CShaderProgramSetRenderState::CShaderProgramSetRenderState";

enum class Form {
  kBoolean,
  kBlend,
  kBlendOrDword,
  kFill,
  kShadeOrDword,
  kCullOrDword,
  kFog,
  kBlendOperation,
  kComparison,
  kStencilOperation,
  kMaterialSource,
  kVertexBlend,
  kColorWriteMask,
  kDword,
  kFloat,
  kRefused,
};

struct StateName {
  const char* szKeyword;
  UINT dwState;
  Form form;
};

// In the order they are tried; the longest name a word begins with wins.
constexpr StateName kStates[] = {
    {"ZENABLE", D3DRS_ZENABLE, Form::kBoolean},
    {"SRCBLENDALPHA", D3DRS_SRCBLENDALPHA, Form::kBlend},
    {"DESTBLENDALPHA", D3DRS_DESTBLENDALPHA, Form::kBlendOrDword},
    {"BLENDOPALPHA", D3DRS_BLENDOPALPHA, Form::kBlendOperation},
    {"FILLMODE", D3DRS_FILLMODE, Form::kFill},
    {"SHADEMODE", D3DRS_SHADEMODE, Form::kShadeOrDword},
    {"LINEPATTERN", 0, Form::kRefused},
    {"ZWRITEENABLE", D3DRS_ZWRITEENABLE, Form::kBoolean},
    {"ALPHATESTENABLE", D3DRS_ALPHATESTENABLE, Form::kBoolean},
    {"LASTPIXEL", D3DRS_LASTPIXEL, Form::kBoolean},
    {"SRCBLEND", D3DRS_SRCBLEND, Form::kBlend},
    {"DESTBLEND", D3DRS_DESTBLEND, Form::kBlendOrDword},
    {"CULLMODE", D3DRS_CULLMODE, Form::kCullOrDword},
    {"ZFUNC", D3DRS_ZFUNC, Form::kComparison},
    {"ALPHAREF", D3DRS_ALPHAREF, Form::kDword},
    {"ALPHAFUNC", D3DRS_ALPHAFUNC, Form::kComparison},
    {"DITHERENABLE", D3DRS_DITHERENABLE, Form::kBoolean},
    {"ALPHABLENDENABLE", D3DRS_ALPHABLENDENABLE, Form::kBoolean},
    {"FOGENABLE", D3DRS_FOGENABLE, Form::kBoolean},
    {"SPECULARENABLE", D3DRS_SPECULARENABLE, Form::kBoolean},
    {"ZVISIBLE", 0, Form::kRefused},
    {"FOGCOLOR", D3DRS_FOGCOLOR, Form::kDword},
    {"FOGTABLEMODE", D3DRS_FOGTABLEMODE, Form::kFog},
    {"FOGSTART", D3DRS_FOGSTART, Form::kFloat},
    {"FOGEND", D3DRS_FOGEND, Form::kFloat},
    {"FOGDENSITY", D3DRS_FOGDENSITY, Form::kFloat},
    {"RANGEFOGENABLE", D3DRS_RANGEFOGENABLE, Form::kBoolean},
    {"STENCILENABLE", D3DRS_STENCILENABLE, Form::kBoolean},
    {"STENCILFAIL", D3DRS_STENCILFAIL, Form::kStencilOperation},
    {"STENCILZFAIL", D3DRS_STENCILZFAIL, Form::kStencilOperation},
    {"STENCILPASS", D3DRS_STENCILPASS, Form::kStencilOperation},
    {"STENCILFUNC", D3DRS_STENCILFUNC, Form::kComparison},
    {"STENCILREF", D3DRS_STENCILREF, Form::kDword},
    {"STENCILMASK", D3DRS_STENCILMASK, Form::kDword},
    {"STENCILWRITEMASK", D3DRS_STENCILWRITEMASK, Form::kDword},
    {"TEXTUREFACTOR", D3DRS_TEXTUREFACTOR, Form::kDword},
    {"BLENDFACTOR", D3DRS_BLENDFACTOR, Form::kDword},
    {"WRAP0", D3DRS_WRAP0, Form::kRefused},
    {"WRAP1", D3DRS_WRAP1, Form::kRefused},
    {"WRAP2", D3DRS_WRAP2, Form::kRefused},
    {"WRAP3", D3DRS_WRAP3, Form::kRefused},
    {"WRAP4", D3DRS_WRAP4, Form::kRefused},
    {"WRAP5", D3DRS_WRAP5, Form::kRefused},
    {"WRAP6", D3DRS_WRAP6, Form::kRefused},
    {"WRAP7", D3DRS_WRAP7, Form::kRefused},
    {"CLIPPING", D3DRS_CLIPPING, Form::kBoolean},
    {"LIGHTING", D3DRS_LIGHTING, Form::kBoolean},
    {"AMBIENT", D3DRS_AMBIENT, Form::kDword},
    {"FOGVERTEXMODE", D3DRS_FOGVERTEXMODE, Form::kFog},
    {"COLORVERTEX", D3DRS_COLORVERTEX, Form::kBoolean},
    {"LOCALVIEWER", D3DRS_LOCALVIEWER, Form::kBoolean},
    {"NORMALIZENORMALS", D3DRS_NORMALIZENORMALS, Form::kBoolean},
    {"DIFFUSEMATERIALSOURCE", D3DRS_DIFFUSEMATERIALSOURCE, Form::kMaterialSource},
    {"SPECULARMATERIALSOURCE", D3DRS_SPECULARMATERIALSOURCE, Form::kMaterialSource},
    {"AMBIENTMATERIALSOURCE", D3DRS_AMBIENTMATERIALSOURCE, Form::kMaterialSource},
    {"EMISSIVEMATERIALSOURCE", D3DRS_EMISSIVEMATERIALSOURCE, Form::kMaterialSource},
    {"VERTEXBLEND", D3DRS_VERTEXBLEND, Form::kVertexBlend},
    {"CLIPPLANEENABLE", D3DRS_CLIPPLANEENABLE, Form::kRefused},
    {"POINTSIZE", D3DRS_POINTSIZE, Form::kRefused},
    {"POINTSIZE_MIN", D3DRS_POINTSIZE_MIN, Form::kRefused},
    {"POINTSPRITEENABLE", D3DRS_POINTSPRITEENABLE, Form::kBoolean},
    {"POINTSCALEENABLE", D3DRS_POINTSCALEENABLE, Form::kBoolean},
    {"POINTSCALE_A", D3DRS_POINTSCALE_A, Form::kRefused},
    {"POINTSCALE_B", D3DRS_POINTSCALE_B, Form::kRefused},
    {"POINTSCALE_C", D3DRS_POINTSCALE_C, Form::kRefused},
    {"MULTISAMPLEANTIALIAS", D3DRS_MULTISAMPLEANTIALIAS, Form::kBoolean},
    {"MULTISAMPLEMASK", D3DRS_MULTISAMPLEMASK, Form::kRefused},
    {"PATCHEDGESTYLE", D3DRS_PATCHEDGESTYLE, Form::kRefused},
    {"PATCHSEGMENTS", 0, Form::kRefused},
    {"DEBUGMONITORTOKEN", D3DRS_DEBUGMONITORTOKEN, Form::kRefused},
    {"POINTSIZE_MAX", D3DRS_POINTSIZE_MAX, Form::kRefused},
    {"INDEXEDVERTEXBLENDENABLE", D3DRS_INDEXEDVERTEXBLENDENABLE, Form::kBoolean},
    {"COLORWRITEENABLE", D3DRS_COLORWRITEENABLE, Form::kColorWriteMask},
    {"TWEENFACTOR", D3DRS_TWEENFACTOR, Form::kFloat},
    {"BLENDOP", D3DRS_BLENDOP, Form::kBlendOperation},
    {"POSITIONORDER", D3DRS_POSITIONDEGREE, Form::kRefused},
    {"NORMALORDER", D3DRS_NORMALDEGREE, Form::kRefused},
    {"TWOSIDEDSTENCILMODE", D3DRS_TWOSIDEDSTENCILMODE, Form::kBoolean},
    {"CCW_STENCILFAIL", D3DRS_CCW_STENCILFAIL, Form::kStencilOperation},
    {"CCW_STENCILZFAIL", D3DRS_CCW_STENCILZFAIL, Form::kStencilOperation},
    {"CCW_STENCILPASS", D3DRS_CCW_STENCILPASS, Form::kStencilOperation},
    {"CCW_STENCILFUNC", D3DRS_CCW_STENCILFUNC, Form::kComparison},
    {"SCISSORTESTENABLE", D3DRS_SCISSORTESTENABLE, Form::kBoolean},
    {"SEPARATEALPHABLENDENABLE", D3DRS_SEPARATEALPHABLENDENABLE, Form::kBoolean},
};
static_assert(std::size(kStates) == 84);

constexpr ShaderCommandKeyword kBooleans[] = {{"TRUE", 1}, {"FALSE", 0}};
constexpr ShaderCommandKeyword kBlends[] = {
    {"ZERO", 1},         {"ONE", 2},          {"SRCCOLOR", 3},     {"INVSRCCOLOR", 4},
    {"SRCALPHA", 5},     {"INVSRCALPHA", 6},  {"DESTALPHA", 7},    {"INVDESTALPHA", 8},
    {"DESTCOLOR", 9},    {"INVDESTCOLOR", 10}, {"SRCALPHASAT", 11}, {"BLENDFACTOR", 14},
};
constexpr ShaderCommandKeyword kComparisons[] = {
    {"NEVER", 1},   {"LESS", 2},     {"EQUAL", 3},        {"LESSEQUAL", 4},
    {"GREATER", 5}, {"NOTEQUAL", 6}, {"GREATEREQUAL", 7}, {"ALWAYS", 8},
};
constexpr ShaderCommandKeyword kStencilOperations[] = {
    {"KEEP", 1},    {"ZERO", 2},   {"REPLACE", 3}, {"INCRSAT", 4},
    {"DECRSAT", 5}, {"INVERT", 6}, {"INCR", 7},    {"DECR", 8},
};
constexpr ShaderCommandKeyword kMaterialSources[] = {{"MATERIAL", 0}, {"COLOR1", 1}, {"COLOR2", 2}};
// The weight counts would arrive as a number and a word, which no keyword matches.
constexpr ShaderCommandKeyword kVertexBlends[] = {{"DISABLE", 0}, {"TWEENING", 255}};
constexpr ShaderCommandKeyword kFillModes[] = {{"POINT", 1}, {"WIREFRAME", 2}, {"SOLID", 3}};
constexpr ShaderCommandKeyword kShadeModes[] = {{"FLAT", 1}, {"GOURAUD", 2}};
constexpr ShaderCommandKeyword kCullModes[] = {{"NONE", 1}, {"CW", 2}, {"CCW", 3}};
constexpr ShaderCommandKeyword kFogModes[] = {{"NONE", 0}, {"EXP", 1}, {"EXP2", 2}, {"LINEAR", 3}};
constexpr ShaderCommandKeyword kBlendOperations[] = {
    {"ADD", 1}, {"SUBTRACT", 2}, {"REVSUBTRACT", 3}, {"MIN", 4}, {"MAX", 5},
};
constexpr ShaderCommandKeyword kColorChannels[] = {
    {"ALPHA", 8}, {"RED", 1}, {"GREEN", 2}, {"BLUE", 4},
};

}  // namespace

CShaderProgramSetRenderState::CShaderProgramSetRenderState(const ShaderLineArguments& arguments)
    : CShaderCommand(arguments, "    - Compile SetRenderState Line: %s") {
  if (!Compile()) Refuse(arguments, kSender);
}

bool CShaderProgramSetRenderState::Compile() {
  const StateName* state = Match(Word(1), kStates);
  if (state == nullptr || state->form == Form::kRefused) return false;
  m_dwState = state->dwState;
  if (Word(2)[0] == '\0') return false;
  switch (state->form) {
    case Form::kBoolean:
      return CompileKeyword(kBooleans, std::size(kBooleans), "      - Compiling TRUE/FALSE...\n");
    case Form::kBlend:
      return CompileKeyword(kBlends, std::size(kBlends), "      - Compiling D3DBLEND...\n");
    case Form::kBlendOrDword:
      return CompileKeyword(kBlends, std::size(kBlends), "      - Compiling D3DBLEND...\n") ||
             CompileVariable(SHADER_VALUE_DWORD);
    case Form::kFill: return CompileKeyword(kFillModes, std::size(kFillModes), nullptr);
    case Form::kShadeOrDword:
      return CompileKeyword(kShadeModes, std::size(kShadeModes), nullptr) ||
             CompileVariable(SHADER_VALUE_DWORD);
    case Form::kCullOrDword:
      return CompileKeyword(kCullModes, std::size(kCullModes), nullptr) ||
             CompileVariable(SHADER_VALUE_DWORD);
    case Form::kFog: return CompileKeyword(kFogModes, std::size(kFogModes), nullptr);
    case Form::kBlendOperation:
      return CompileKeyword(kBlendOperations, std::size(kBlendOperations), nullptr);
    case Form::kComparison:
      return CompileKeyword(kComparisons, std::size(kComparisons), "      - Compiling D3DCMP...\n");
    case Form::kStencilOperation:
      return CompileKeyword(kStencilOperations, std::size(kStencilOperations),
                            "      - Compiling D3DSTENCILOP...\n");
    case Form::kMaterialSource:
      return CompileKeyword(kMaterialSources, std::size(kMaterialSources),
                            "      - Compiling D3DMCS...\n");
    case Form::kVertexBlend:
      return CompileKeyword(kVertexBlends, std::size(kVertexBlends), "    - Compiling D3DVBF...\n");
    case Form::kColorWriteMask: return CompileColorWriteMask();
    case Form::kDword: return CompileVariable(SHADER_VALUE_DWORD);
    case Form::kFloat: return CompileVariable(SHADER_VALUE_FLOAT);
    case Form::kRefused: break;
  }
  return false;
}

bool CShaderProgramSetRenderState::CompileKeyword(const ShaderCommandKeyword* table, size_t count,
                                                  const char* trace) {
  if (trace != nullptr) LogTo(m_pLog, kShaderCommandSource, CEngineLog::kLevelInfo, "%s", trace);
  const ShaderCommandKeyword* keyword = Match(Word(2), table, count);
  if (keyword == nullptr) return false;
  m_dwValue = keyword->dwValue;
  return true;
}

bool CShaderProgramSetRenderState::CompileColorWriteMask() {
  m_dwValue = 0;
  if (std::strcmp(Word(2), "NULL") == 0) return true;
  // Words that name no channel are passed over.
  for (int i = 2; i < NumberOfWords(); ++i)
    if (const ShaderCommandKeyword* channel = Match(Word(i), kColorChannels))
      m_dwValue |= channel->dwValue;
  return true;
}

bool CShaderProgramSetRenderState::CompileVariable(UINT type) {
  m_pVariable = Reference(Word(2), {type});
  return m_pVariable != nullptr;
}

UINT CShaderProgramSetRenderState::Execute() {
  UINT value = m_dwValue;
  if (m_pVariable != nullptr) {
    // Float states take the float's bits; a variable keeps the type it compiled with.
    if (const DWORD* dword = m_pVariable->GetDword())
      value = *dword;
    else if (const float* number = m_pVariable->GetFloat())
      std::memcpy(&value, number, sizeof value);
  }
  m_pRenderer->SetRenderState(m_dwState, value);
  return 1;
}
