#include "shaders/ShaderLineTable.h"

#include <cstring>

#include "shaders/ShaderFileLines.h"
#include "shaders/ShaderProgramRender.h"
#include "shaders/ShaderProgramRenderOutline.h"
#include "shaders/ShaderProgramSetPixelShader.h"
#include "shaders/ShaderProgramSetPixelShaderConstantB.h"
#include "shaders/ShaderProgramSetPixelShaderConstantF.h"
#include "shaders/ShaderProgramSetPixelShaderConstantI.h"
#include "shaders/ShaderProgramSetVertexDeclaration.h"
#include "shaders/ShaderProgramSetVertexShader.h"
#include "shaders/ShaderProgramSetVertexShaderConstantB.h"
#include "shaders/ShaderProgramSetVertexShaderConstantF.h"
#include "shaders/ShaderProgramSetVertexShaderConstantI.h"
#include "shaders/ShaderVariable.h"

namespace {

constexpr bool kReserved = true;

// Not yet: the command classes' constructors fill these slots as the engine gets them; until
// then a keyword compiles to a failed pass (error 9).
constexpr std::array<ShaderKeyword, CShaderLineTable::kEntries> kEngineKeywords = {{
    {"SUBROUTINE", 36, nullptr, false},
    {"RENDEROUTLINE", 25, MakeRenderOutline, false},
    {"CALL", 36, nullptr, false},
    {"CLEAR", 17, nullptr, false},
    {"SETLIGHTENABLE", 8, nullptr, false},
    {"RENDER", 1, MakeRender, false},
    {"SETCAMERA", 24, nullptr, false},
    {"SETSCISSORRECT", 38, nullptr, false},
    {"SETCLIPPLANE", 0, nullptr, kReserved},
    {"SETCURSORPOSITION", 0, nullptr, kReserved},
    {"SETCURSORPROPERTIES", 0, nullptr, kReserved},
    {"SETDEFAULTSTATES", 26, nullptr, false},
    {"SETLIGHT", 9, nullptr, false},
    {"SETMATERIAL", 23, nullptr, false},
    {"SETPIXELSHADERCONSTANTF", 11, MakeSetPixelShaderConstantF, false},
    {"SETPIXELSHADERCONSTANTI", 13, MakeSetPixelShaderConstantI, false},
    {"SETPIXELSHADERCONSTANTB", 12, MakeSetPixelShaderConstantB, false},
    {"SETPIXELSHADER", 10, MakeSetPixelShader, false},
    {"SETRENDERSTATE", 5, nullptr, false},
    {"SETSAMPLERSTATE", 27, nullptr, false},
    {"SETTEXTURESTAGESTATE", 15, nullptr, false},
    {"SETTEXTURE", 14, nullptr, false},
    {"SETTRANSFORM", 7, nullptr, false},
    {"SETVERTEXSHADERCONSTANTF", 21, MakeSetVertexShaderConstantF, false},
    {"SETVERTEXSHADERCONSTANTB", 22, MakeSetVertexShaderConstantB, false},
    {"SETVERTEXSHADERCONSTANTI", 20, MakeSetVertexShaderConstantI, false},
    {"SETVERTEXDECLARATION", 28, MakeSetVertexDeclaration, false},
    {"SETVIEWPORT", 0, nullptr, kReserved},
    {"SETVERTEXSHADER", 19, MakeSetVertexShader, false},
    {"SHOWCURSOR", 0, nullptr, kReserved},
    {"SETRENDERTARGETASTEXTURE", 6, nullptr, false},
    {"GETRENDERTARGET", 29, nullptr, false},
    {"SETRENDERTARGET", 31, nullptr, false},
    {"RELEASERENDERTARGET", 30, nullptr, false},
    {"FOREACH", 32, nullptr, false},
    {"ENDFOR", 33, nullptr, false},
    {"LOG", 39, nullptr, false},
    {"IF", 34, nullptr, false},
    {"ENDIF", 35, nullptr, false},
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
