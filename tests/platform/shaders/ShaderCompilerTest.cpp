// HLSL compiled through glslang and SPIRV-Cross: results, messages and input registers.
#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "d3dx9.h"

namespace {

const char kVertexSource[] =
    "float4x4 WorldViewProj : register(c0);\n"
    "struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; float2 uv : TEXCOORD0; };\n"
    "VS_OUT main(float4 pos : POSITION, float4 color : COLOR0, float2 uv : TEXCOORD0, float3 n : NORMAL) {\n"
    "  VS_OUT o;\n  o.pos = mul(pos, WorldViewProj);\n  o.color = color * n.x;\n  o.uv = uv;\n  return o;\n}\n";

HRESULT CompileText(const std::string& source, const char* profile, LPD3DXBUFFER* code, std::string* messages,
                    const D3DXMACRO* macros = nullptr) {
  LPD3DXBUFFER errors = nullptr;
  const HRESULT result = D3DXCompileShader(source.c_str(), static_cast<UINT>(source.size()), macros, nullptr, "main",
                                           profile, 0, code, &errors, nullptr);
  if (errors) {
    *messages = static_cast<const char*>(errors->GetBufferPointer());
    errors->Release();
  }
  return result;
}

TEST(ShaderCompilerTest, CompiledVertexProgramReportsItsInputs) {
  LPD3DXBUFFER code = nullptr;
  std::string messages;
  ASSERT_EQ(D3D_OK, CompileText(kVertexSource, "vs_2_0", &code, &messages)) << messages;
  const DWORD* function = static_cast<const DWORD*>(code->GetBufferPointer());
  UINT count = 0;
  ASSERT_EQ(D3D_OK, D3DXGetShaderInputSemantics(function, nullptr, &count));
  ASSERT_EQ(4u, count);
  D3DXSEMANTIC semantics[4];
  ASSERT_EQ(D3D_OK, D3DXGetShaderInputSemantics(function, semantics, &count));
  bool normal = false, texcoord = false;
  for (const D3DXSEMANTIC& s : semantics) {
    normal = normal || (s.Usage == D3DDECLUSAGE_NORMAL && s.UsageIndex == 0);
    texcoord = texcoord || (s.Usage == D3DDECLUSAGE_TEXCOORD && s.UsageIndex == 0);
  }
  EXPECT_TRUE(normal);
  EXPECT_TRUE(texcoord);
  code->Release();
}

TEST(ShaderCompilerTest, FailuresGiveTheToolsMessages) {
  struct SCase {
    const char* source;
    const char* profile;
    const char* expected;
  };
  const SCase cases[] = {
      {"float4 main() : COLOR0 { return undefinedThing; }", "ps_2_0", "undefinedThing"},
      {kVertexSource, "vs_9_9", "profile"},
      {"float4 main(float4 p : POSITION) : COLOR0 { return p; }", "vs_1_1", "POSITION"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.source);
    LPD3DXBUFFER code = nullptr;
    std::string messages;
    EXPECT_EQ(D3DXERR_INVALIDDATA, CompileText(c.source, c.profile, &code, &messages));
    EXPECT_EQ(nullptr, code);
    EXPECT_NE(std::string::npos, messages.find(c.expected)) << messages;
  }
}

TEST(ShaderCompilerTest, CompilesFromFileWithMacros) {
  TempDir dir;
  dir.Write("tint.phl",
            "float4 main(float4 color : COLOR0) : COLOR0 {\n#ifdef TINT\n  return color * TINT;\n#else\n"
            "  return undefinedWithoutTheMacro;\n#endif\n}\n");
  const D3DXMACRO macros[] = {{"TINT", "0.5"}, {nullptr, nullptr}};
  LPD3DXBUFFER code = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCompileShaderFromFileA((dir.Path() + "\\Tint.PHL").c_str(), macros, nullptr, "main", "ps_2_0",
                                               0, &code, nullptr, nullptr));
  code->Release();
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXCompileShaderFromFileA((dir / "tint.phl").c_str(), nullptr, nullptr, "main",
                                                            "ps_2_0", 0, &code, nullptr, nullptr));
}

TEST(ShaderCompilerTest, IncludesAreFoundBesideTheIncludingFile) {
  TempDir dir;
  dir.Write("main.phl", "#include \"lib\\Tint.h\"\nfloat4 main(float4 color : COLOR0) : COLOR0 { return Apply(color); }\n");
  dir.Write("lib/tint.h", "#include \"scale.h\"\nfloat4 Apply(float4 c) { return c * SCALE; }\n");
  dir.Write("lib/scale.h", "#define SCALE 0.5\n");
  dir.Write("loop.phl", "#include \"loop.phl\"\n");
  LPD3DXBUFFER code = nullptr;
  std::string messages;
  ASSERT_EQ(D3D_OK, D3DXCompileShaderFromFileA((dir / "main.phl").c_str(), nullptr, nullptr, "main", "ps_2_0", 0, &code,
                                               nullptr, nullptr));
  code->Release();
  EXPECT_EQ(D3DXERR_INVALIDDATA, CompileText("#include \"lib/tint.h\"\nfloat4 main() : COLOR0 { return 1; }\n",
                                             "ps_2_0", &code, &messages));
  EXPECT_EQ(D3DXERR_INVALIDDATA, D3DXCompileShaderFromFileA((dir / "loop.phl").c_str(), nullptr, nullptr, "main",
                                                            "ps_2_0", 0, &code, nullptr, nullptr));
}

}  // namespace
