// The assembler's results and messages, and the input registers D3DX reports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ShaderSource.h"
#include "TempDir.h"
#include "d3dx9.h"

namespace {

TEST(ShaderAssemblerTest, AssemblesToVersionedBytecodeWithEndToken) {
  const std::vector<DWORD> vs = AssembleOrFail("vs_1_1\ndcl_position v0\nm4x4 oPos, v0, c0\n");
  ASSERT_GE(vs.size(), 2u);
  EXPECT_EQ(0xFFFE0101u, vs.front());
  EXPECT_EQ(0x0000FFFFu, vs.back());
  const std::vector<DWORD> ps = AssembleOrFail("ps_2_0\ndcl_2d s0\ndcl t0\ntexld r0, t0, s0\nmov oC0, r0\n");
  ASSERT_FALSE(ps.empty());
  EXPECT_EQ(0xFFFF0200u, ps.front());
}

// The instruction tokens of shader model 1 code: without the version, comments and the end.
std::vector<DWORD> Instructions(const std::vector<DWORD>& code) {
  std::vector<DWORD> instructions;
  for (size_t at = 1; at < code.size() && code[at] != 0x0000FFFF; ++at) {
    if ((code[at] & 0xFFFF) == 0xFFFE)
      at += (code[at] >> 16) & 0x7FFF;
    else
      instructions.push_back(code[at]);
  }
  return instructions;
}

TEST(ShaderAssemblerTest, TexcoordOfPs11To13AssemblesToItsInstruction) {
  struct SCase {
    const char* source;
    std::vector<DWORD> instructions;
  };
  const SCase cases[] = {
      {"ps_1_1\ntexcoord t0\nmov r0, t0\n", {0x00000040, 0xB00F0000, 0x00000001, 0x800F0000, 0xB0E40000}},
      {"ps_1_3\n  TEXCOORD t2 ; clamped\nmov r0, t2\n", {0x00000040, 0xB00F0002, 0x00000001, 0x800F0000, 0xB0E40002}},
  };
  for (const SCase& c : cases) EXPECT_EQ(c.instructions, Instructions(AssembleOrFail(c.source))) << c.source;
}

TEST(ShaderAssemblerTest, ErrorGivesFailureAndMessageNamingTheLine) {
  const char source[] = "vs_1_1\ndcl_position v0\nfrobnicate r0, v0\nmov oPos, v0\n";
  LPD3DXBUFFER code = nullptr;
  LPD3DXBUFFER errors = nullptr;
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXAssembleShader(source, sizeof source - 1, nullptr, nullptr, 0, &code, &errors));
  EXPECT_EQ(nullptr, code);
  ASSERT_NE(nullptr, errors);
  const std::string text(static_cast<const char*>(errors->GetBufferPointer()));
  EXPECT_NE(std::string::npos, text.find("(3)")) << text;
  EXPECT_NE(std::string::npos, text.find("frobnicate")) << text;
  errors->Release();
}

TEST(ShaderAssemblerTest, MacrosReachThePreprocessor) {
  const D3DXMACRO macros[] = {{"OUTPUT", "oD0"}, {nullptr, nullptr}};
  const char source[] = "vs_1_1\ndcl_position v0\nmov oPos, v0\nmov OUTPUT, c1\n";
  LPD3DXBUFFER code = nullptr;
  ASSERT_EQ(D3D_OK, D3DXAssembleShader(source, sizeof source - 1, macros, nullptr, 0, &code, nullptr));
  code->Release();
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXAssembleShader(source, sizeof source - 1, nullptr, nullptr, 0, &code, nullptr));
}

TEST(ShaderAssemblerTest, AssemblesFromFileAndNamesTheFileInMessages) {
  TempDir dir;
  dir.Write("good.vsh", "vs_1_1\ndcl_position v0\nmov oPos, v0\n");
  dir.Write("bad.psh", "ps_1_1\nmov r0, q9\n");
  // Named as the engine names files: a backslash and another letter case.
  const std::string good = dir.Path() + "\\GOOD.vsh";
  const std::string bad = dir / "bad.psh";

  LPD3DXBUFFER code = nullptr;
  ASSERT_EQ(D3D_OK, D3DXAssembleShaderFromFileA(good.c_str(), nullptr, nullptr, 0, &code, nullptr));
  code->Release();
  LPD3DXBUFFER errors = nullptr;
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXAssembleShaderFromFileA(bad.c_str(), nullptr, nullptr, 0, &code, &errors));
  ASSERT_NE(nullptr, errors);
  const std::string text(static_cast<const char*>(errors->GetBufferPointer()));
  EXPECT_NE(std::string::npos, text.find(bad + "(2)")) << text;
  errors->Release();
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXAssembleShaderFromFileA((dir.Path() + "/missing.vsh").c_str(), nullptr, nullptr, 0, &code, nullptr));
}

TEST(ShaderAssemblerTest, IncludesAreFoundBesideTheFileAndNowhereForASourceInMemory) {
  TempDir dir;
  const std::string source = "#include \"parts\\Common.inc\"\nvs_1_1\ndcl_position v0\nmov oPos, v0\nmov OUTPUT, c1\n";
  dir.Write("main.vsh", source);
  dir.Write("parts/common.inc", "#define OUTPUT oD0\n");
  dir.Write("loop.vsh", "#include \"loop.vsh\"\nvs_1_1\n");
  LPD3DXBUFFER code = nullptr, errors = nullptr;
  ASSERT_EQ(D3D_OK, D3DXAssembleShaderFromFileA((dir / "main.vsh").c_str(), nullptr, nullptr, 0, &code, &errors))
      << static_cast<const char*>(errors->GetBufferPointer());
  code->Release();
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXAssembleShader(source.c_str(), static_cast<UINT>(source.size()), nullptr, nullptr, 0, &code, nullptr));
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXAssembleShaderFromFileA((dir / "loop.vsh").c_str(), nullptr, nullptr, 0, &code, nullptr));
}

// The preprocessor never returns from a text that ends inside a quote; a line end closes one.
TEST(ShaderAssemblerTest, QuotesLeftOpenAtTheEndOfATextAreRefusedNotEndless) {
  struct SCase {
    const char* source;
    const char* macro;  // a definition handed in as OPEN, or null
  };
  const SCase refused[] = {
      {"rsq'", nullptr},
      {"vs_1_1\nmov r0, c0'", nullptr},
      {"#error \"", nullptr},
      {"#if 0\n'", nullptr},
      {"#define X '\nX\n", nullptr},
      {"#define X(a) a\"\nvs_1_1\nX(1)\n", nullptr},
      {" #  define X a\\\n  'b\nX\n", nullptr},
      {"#define X(a) a\nvs_1_1\nmov r0, X(')\n", nullptr},
      {"vs_1_1\nmov r0, OPEN\n", "c0'"},
  };
  for (const SCase& c : refused) {
    const D3DXMACRO macros[] = {{"OPEN", c.macro}, {nullptr, nullptr}};
    LPD3DXBUFFER code = nullptr, errors = nullptr;
    EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXAssembleShader(c.source, static_cast<UINT>(strlen(c.source)),
                                                      c.macro ? macros : nullptr, nullptr, 0, &code, &errors))
        << c.source;
    EXPECT_EQ(nullptr, code);
    EXPECT_NE(nullptr, errors) << c.source;
    if (errors) errors->Release();
  }
  // Closed quotes, and quotes in comments of a text without a last line end, still assemble.
  AssembleOrFail("#define NAME 'a'\nvs_1_1 ; it's\n// isn't\n/* won't\n */ dcl_position v0\nmov oPos, v0");

  // An included file that ends inside a quote fails the include.
  TempDir dir;
  dir.Write("main.vsh", "#include \"open.inc\"\nvs_1_1\ndcl_position v0\nmov oPos, v0\n");
  dir.Write("open.inc", "#define X \"");
  LPD3DXBUFFER code = nullptr;
  EXPECT_EQ(D3DXERR_INVALIDDATA,
            D3DXAssembleShaderFromFileA((dir / "main.vsh").c_str(), nullptr, nullptr, 0, &code, nullptr));
}

// The assembler library reads past its tables for versions whose numbers run to several digits.
TEST(ShaderAssemblerTest, VersionsOfSeveralDigitsAreRefused) {
  const char* const refused[] = {"ps_1_157777\nmov r0, v0\n", "vs_1_1000\nmov r0, v0\n",
                                 "#define V ps_1_32767\nV\nmov r0, v0\n", "ps_12_1\nmov r0, v0\n"};
  for (const char* source : refused) {
    LPD3DXBUFFER code = nullptr, errors = nullptr;
    EXPECT_EQ(D3DXERR_INVALIDDATA,
              D3DXAssembleShader(source, static_cast<UINT>(strlen(source)), nullptr, nullptr, 0, &code, &errors))
        << source;
    ASSERT_NE(nullptr, errors) << source;
    EXPECT_NE(nullptr, strstr(static_cast<const char*>(errors->GetBufferPointer()), "unknown shader version"));
    errors->Release();
  }
  AssembleOrFail("  VS_2_X\ndcl_position v0\nmov oPos, v0\n");
}

TEST(ShaderAssemblerTest, InputSemanticsOfProgramsWithZeroOneAndFourInputs) {
  struct SCase {
    const char* source;
    std::vector<D3DXSEMANTIC> expected;
  };
  const SCase cases[] = {
      {"vs_1_1\nmov oPos, c0\n", {}},
      {"vs_1_1\ndcl_position v0\nmov oPos, v0\n", {{D3DDECLUSAGE_POSITION, 0}}},
      {"vs_1_1\ndcl_position v0\ndcl_normal v1\ndcl_texcoord1 v2\ndcl_color v3\n"
       "mov oPos, v0\nadd r0, v1, v3\nmov oD0, r0\nmov oT0, v2\n",
       {{D3DDECLUSAGE_POSITION, 0}, {D3DDECLUSAGE_NORMAL, 0}, {D3DDECLUSAGE_TEXCOORD, 1}, {D3DDECLUSAGE_COLOR, 0}}},
      // Pixel shader 3 inputs carry their semantics; a macro may write a declaration, a comment may not.
      {"#define SECOND dcl_texcoord1\nps_3_0\ndcl_texcoord0_centroid v0.xy\nSECOND v1 ; dcl_color v1\n"
       "DCL_COLOR1 v2\ndcl_fog v3.x // dcl_normal v3\n"
       "add r0, v0, v1\nadd r0, r0, v2\nadd oC0, r0, v3.x\n",
       {{D3DDECLUSAGE_TEXCOORD, 0}, {D3DDECLUSAGE_TEXCOORD, 1}, {D3DDECLUSAGE_COLOR, 1}, {D3DDECLUSAGE_FOG, 0}}},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.source);
    const std::vector<DWORD> code = AssembleOrFail(c.source);
    UINT count = 99;
    ASSERT_EQ(D3D_OK, D3DXGetShaderInputSemantics(code.data(), nullptr, &count));
    ASSERT_EQ(c.expected.size(), count);
    std::vector<D3DXSEMANTIC> semantics(count + 1, D3DXSEMANTIC{0xEEEE, 0xEEEE});
    ASSERT_EQ(D3D_OK, D3DXGetShaderInputSemantics(code.data(), semantics.data(), &count));
    for (const D3DXSEMANTIC& expected : c.expected) {
      bool found = false;
      for (UINT i = 0; i < count; ++i)
        found = found || (semantics[i].Usage == expected.Usage && semantics[i].UsageIndex == expected.UsageIndex);
      EXPECT_TRUE(found) << "usage " << expected.Usage << " index " << expected.UsageIndex;
    }
    EXPECT_EQ(0xEEEEu, semantics[count].Usage) << "wrote past the count";
  }
}

TEST(ShaderAssemblerTest, InputSemanticsRejectsWhatIsNotShaderCode) {
  const DWORD garbage[] = {0x12345678, 0x0000FFFF};
  UINT count = 0;
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXGetShaderInputSemantics(garbage, nullptr, &count));
  EXPECT_EQ(D3DERR_INVALIDCALL, D3DXGetShaderInputSemantics(nullptr, nullptr, &count));
}

}  // namespace
