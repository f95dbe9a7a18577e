#include "shaders/ShaderLineTable.h"

#include <cstring>

#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderProgramCall.h"
#include "shaders/ShaderProgramClear.h"
#include "shaders/ShaderProgramEndFor.h"
#include "shaders/ShaderProgramEndIf.h"
#include "shaders/ShaderProgramForEach.h"
#include "shaders/ShaderProgramGetRenderTarget.h"
#include "shaders/ShaderProgramIf.h"
#include "shaders/ShaderProgramLightEnable.h"
#include "shaders/ShaderProgramLog.h"
#include "shaders/ShaderProgramReleaseRenderTarget.h"
#include "shaders/ShaderProgramRender.h"
#include "shaders/ShaderProgramRenderOutline.h"
#include "shaders/ShaderProgramSetCamera.h"
#include "shaders/ShaderProgramSetDefaultStates.h"
#include "shaders/ShaderProgramSetLight.h"
#include "shaders/ShaderProgramSetMaterial.h"
#include "shaders/ShaderProgramSetPixelShader.h"
#include "shaders/ShaderProgramSetPixelShaderConstantB.h"
#include "shaders/ShaderProgramSetPixelShaderConstantF.h"
#include "shaders/ShaderProgramSetPixelShaderConstantI.h"
#include "shaders/ShaderProgramSetRenderState.h"
#include "shaders/ShaderProgramSetRenderTarget.h"
#include "shaders/ShaderProgramSetRenderTargetAsTexture.h"
#include "shaders/ShaderProgramSetSamplerState.h"
#include "shaders/ShaderProgramSetScissorRect.h"
#include "shaders/ShaderProgramSetTexture.h"
#include "shaders/ShaderProgramSetTextureStageState.h"
#include "shaders/ShaderProgramSetTransform.h"
#include "shaders/ShaderProgramSetVertexDeclaration.h"
#include "shaders/ShaderProgramSetVertexShader.h"
#include "shaders/ShaderProgramSetVertexShaderConstantB.h"
#include "shaders/ShaderProgramSetVertexShaderConstantF.h"
#include "shaders/ShaderProgramSetVertexShaderConstantI.h"
#include "shaders/ShaderProgramSubRoutine.h"
#include "shaders/ShaderVariable.h"

namespace {

constexpr bool kReserved = true;

// Each keyword with the class that compiles its lines; reserved words compile to nothing.
constexpr std::array<ShaderKeyword, CShaderLineTable::kEntries> kEngineKeywords = {{
    {"SUBROUTINE", 36, MakeShaderProgramSubRoutine, false},
    {"RENDEROUTLINE", 25, MakeRenderOutline, false},
    {"CALL", 36, MakeShaderProgramCall, false},
    {"CLEAR", 17, MakeShaderCommand<CShaderProgramClear>, false},
    {"SETLIGHTENABLE", 8, MakeShaderCommand<CShaderProgramLightEnable>, false},
    {"RENDER", 1, MakeRender, false},
    {"SETCAMERA", 24, MakeShaderProgramSetCamera, false},
    {"SETSCISSORRECT", 38, MakeShaderCommand<CShaderProgramSetScissorRect>, false},
    {"SETCLIPPLANE", 0, nullptr, kReserved},
    {"SETCURSORPOSITION", 0, nullptr, kReserved},
    {"SETCURSORPROPERTIES", 0, nullptr, kReserved},
    {"SETDEFAULTSTATES", 26, MakeShaderCommand<CShaderProgramSetDefaultStates>, false},
    {"SETLIGHT", 9, MakeShaderCommand<CShaderProgramSetLight>, false},
    {"SETMATERIAL", 23, MakeShaderCommand<CShaderProgramSetMaterial>, false},
    {"SETPIXELSHADERCONSTANTF", 11, MakeSetPixelShaderConstantF, false},
    {"SETPIXELSHADERCONSTANTI", 13, MakeSetPixelShaderConstantI, false},
    {"SETPIXELSHADERCONSTANTB", 12, MakeSetPixelShaderConstantB, false},
    {"SETPIXELSHADER", 10, MakeSetPixelShader, false},
    {"SETRENDERSTATE", 5, MakeShaderCommand<CShaderProgramSetRenderState>, false},
    {"SETSAMPLERSTATE", 27, MakeShaderCommand<CShaderProgramSetSamplerState>, false},
    {"SETTEXTURESTAGESTATE", 15, MakeShaderCommand<CShaderProgramSetTextureStageState>, false},
    {"SETTEXTURE", 14, MakeShaderCommand<CShaderProgramSetTexture>, false},
    {"SETTRANSFORM", 7, MakeShaderCommand<CShaderProgramSetTransform>, false},
    {"SETVERTEXSHADERCONSTANTF", 21, MakeSetVertexShaderConstantF, false},
    {"SETVERTEXSHADERCONSTANTB", 22, MakeSetVertexShaderConstantB, false},
    {"SETVERTEXSHADERCONSTANTI", 20, MakeSetVertexShaderConstantI, false},
    {"SETVERTEXDECLARATION", 28, MakeSetVertexDeclaration, false},
    {"SETVIEWPORT", 0, nullptr, kReserved},
    {"SETVERTEXSHADER", 19, MakeSetVertexShader, false},
    {"SHOWCURSOR", 0, nullptr, kReserved},
    {"SETRENDERTARGETASTEXTURE", 6, MakeShaderProgramSetRenderTargetAsTexture, false},
    {"GETRENDERTARGET", 29, MakeShaderProgramGetRenderTarget, false},
    {"SETRENDERTARGET", 31, MakeShaderProgramSetRenderTarget, false},
    {"RELEASERENDERTARGET", 30, MakeShaderProgramReleaseRenderTarget, false},
    {"FOREACH", 32, MakeShaderProgramForEach, false},
    {"ENDFOR", 33, MakeShaderProgramEndFor, false},
    {"LOG", 39, MakeShaderCommand<CShaderProgramLog>, false},
    {"IF", 34, MakeShaderProgramIf, false},
    {"ENDIF", 35, MakeShaderProgramEndIf, false},
    {"", 0, MakeShaderVariable, false},
}};

}  // namespace

CShaderLineTable::CShaderLineTable() : m_Entries(kEngineKeywords) {}

const ShaderKeyword& CShaderLineTable::Find(const char* word) const {
  for (const ShaderKeyword& entry : m_Entries)
    if (CShaderFileLines::BeginsWith(word, entry.szKeyword)) return entry;
  return m_Entries.back();
}

bool CShaderLineTable::SetFactory(const char* keyword, ShaderLineFactory create) {
  for (ShaderKeyword& entry : m_Entries)
    if (std::strcmp(entry.szKeyword, keyword) == 0) {
      entry.pCreate = create;
      return true;
    }
  return false;
}

const CShaderLineTable& CShaderLineTable::Engine() {
  static const CShaderLineTable table;
  return table;
}
