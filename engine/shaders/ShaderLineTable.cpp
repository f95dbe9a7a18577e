#include "shaders/ShaderLineTable.h"

#include <cstring>

#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderProgramCall.h"
#include "shaders/ShaderProgramEndFor.h"
#include "shaders/ShaderProgramEndIf.h"
#include "shaders/ShaderProgramForEach.h"
#include "shaders/ShaderProgramGetRenderTarget.h"
#include "shaders/ShaderProgramIf.h"
#include "shaders/ShaderProgramReleaseRenderTarget.h"
#include "shaders/ShaderProgramSetCamera.h"
#include "shaders/ShaderProgramSetRenderTarget.h"
#include "shaders/ShaderProgramSetRenderTargetAsTexture.h"
#include "shaders/ShaderProgramSubRoutine.h"
#include "shaders/ShaderVariable.h"

namespace {

constexpr bool kReserved = true;

// Not yet: the command classes' constructors fill these slots as the engine gets them; until
// then a keyword compiles to a failed pass (error 9).
constexpr std::array<ShaderKeyword, CShaderLineTable::kEntries> kEngineKeywords = {{
    {"SUBROUTINE", 36, MakeShaderProgramSubRoutine, false},
    {"RENDEROUTLINE", 25, nullptr, false},
    {"CALL", 36, MakeShaderProgramCall, false},
    {"CLEAR", 17, nullptr, false},
    {"SETLIGHTENABLE", 8, nullptr, false},
    {"RENDER", 1, nullptr, false},
    {"SETCAMERA", 24, MakeShaderProgramSetCamera, false},
    {"SETSCISSORRECT", 38, nullptr, false},
    {"SETCLIPPLANE", 0, nullptr, kReserved},
    {"SETCURSORPOSITION", 0, nullptr, kReserved},
    {"SETCURSORPROPERTIES", 0, nullptr, kReserved},
    {"SETDEFAULTSTATES", 26, nullptr, false},
    {"SETLIGHT", 9, nullptr, false},
    {"SETMATERIAL", 23, nullptr, false},
    {"SETPIXELSHADERCONSTANTF", 11, nullptr, false},
    {"SETPIXELSHADERCONSTANTI", 13, nullptr, false},
    {"SETPIXELSHADERCONSTANTB", 12, nullptr, false},
    {"SETPIXELSHADER", 10, nullptr, false},
    {"SETRENDERSTATE", 5, nullptr, false},
    {"SETSAMPLERSTATE", 27, nullptr, false},
    {"SETTEXTURESTAGESTATE", 15, nullptr, false},
    {"SETTEXTURE", 14, nullptr, false},
    {"SETTRANSFORM", 7, nullptr, false},
    {"SETVERTEXSHADERCONSTANTF", 21, nullptr, false},
    {"SETVERTEXSHADERCONSTANTB", 22, nullptr, false},
    {"SETVERTEXSHADERCONSTANTI", 20, nullptr, false},
    {"SETVERTEXDECLARATION", 28, nullptr, false},
    {"SETVIEWPORT", 0, nullptr, kReserved},
    {"SETVERTEXSHADER", 19, nullptr, false},
    {"SHOWCURSOR", 0, nullptr, kReserved},
    {"SETRENDERTARGETASTEXTURE", 6, MakeShaderProgramSetRenderTargetAsTexture, false},
    {"GETRENDERTARGET", 29, MakeShaderProgramGetRenderTarget, false},
    {"SETRENDERTARGET", 31, MakeShaderProgramSetRenderTarget, false},
    {"RELEASERENDERTARGET", 30, MakeShaderProgramReleaseRenderTarget, false},
    {"FOREACH", 32, MakeShaderProgramForEach, false},
    {"ENDFOR", 33, MakeShaderProgramEndFor, false},
    {"LOG", 39, nullptr, false},
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
