// Shader programs drawn by the GL back end on Mesa's software rasteriser, alone and mixed with
// the fixed-function halves, read back and compared.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "D3DTestDevice.h"
#include "ShaderSource.h"
#include "TempDir.h"

namespace {

struct SVertex {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kVertexFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

const D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

// Positions straight through the transform in c0..c3 (the transpose of the row-vector matrix).
const char kTransformVS[] =
    "vs_1_1\ndcl_position v0\ndcl_color v1\ndcl_texcoord0 v2\n"
    "m4x4 oPos, v0, c0\nmov oD0, v1\nmov oT0, v2\n";

class ShaderPixelTest : public ::testing::Test {
 protected:
  ShaderPixelTest() : device(ZK_D3D_BACKEND_GL) {}
  void SetUp() override {
    ASSERT_TRUE(device.ok()) << std::hex << device.result();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.f, 0);
    SetVertexMatrix(kIdentity);
  }
  void TearDown() override {
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    for (DWORD sampler : m_samplers) device->SetTexture(sampler, nullptr);
    for (IUnknown* object : m_objects) object->Release();
  }

  IDirect3DVertexShader9* VertexShader(const std::string& source) {
    const std::vector<DWORD> code = AssembleOrFail(source);
    IDirect3DVertexShader9* shader = nullptr;
    EXPECT_EQ(D3D_OK, device->CreateVertexShader(code.data(), &shader));
    if (shader) m_objects.push_back(shader);
    return shader;
  }
  IDirect3DPixelShader9* PixelShader(const std::string& source) {
    const std::vector<DWORD> code = AssembleOrFail(source);
    IDirect3DPixelShader9* shader = nullptr;
    EXPECT_EQ(D3D_OK, device->CreatePixelShader(code.data(), &shader));
    if (shader) m_objects.push_back(shader);
    return shader;
  }
  // Row-vector matrix m as four column registers from c0.
  void SetVertexMatrix(const D3DMATRIX& m) {
    float columns[4][4];
    for (int c = 0; c < 4; ++c)
      for (int r = 0; r < 4; ++r) columns[c][r] = m.m[r][c];
    device->SetVertexShaderConstantF(0, &columns[0][0], 4);
  }

  // A 2x2 texture on a sampler: red, green / blue, white; or flipped upside down.
  void BindQuadrantTexture(DWORD sampler = 0, bool flipped = false) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
    m_objects.push_back(texture);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    const D3DCOLOR rows[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}};
    for (int y = 0; y < 2; ++y) memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, rows[flipped ? 1 - y : y], 8);
    texture->UnlockRect(0);
    ASSERT_EQ(D3D_OK, device->SetTexture(sampler, texture));
    m_samplers.push_back(sampler);
  }

  // A square over x, y in [-size, size] at depth z, clockwise, texture (0,0) at the top left.
  void DrawSquare(D3DCOLOR color, float size = 1.f, float z = 0.5f) {
    SVertex quad[4] = {{-size, size, z, color, 0, 0},
                       {size, size, z, color, 1, 0},
                       {-size, -size, z, color, 0, 1},
                       {size, -size, z, color, 1, 1}};
    device->SetFVF(kVertexFVF);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SVertex)));
    device->EndScene();
  }

  CD3DTestDevice device;

  // HLSL compiled for `profile`, or an empty vector after a failure naming the messages.
  static std::vector<DWORD> Compile(const char* source, const char* profile, const D3DXMACRO* macros = nullptr) {
    LPD3DXBUFFER code = nullptr, errors = nullptr;
    EXPECT_EQ(D3D_OK, D3DXCompileShader(source, static_cast<UINT>(strlen(source)), macros, nullptr, "main", profile,
                                        0, &code, &errors, nullptr))
        << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors) errors->Release();
    std::vector<DWORD> words;
    if (code) {
      const DWORD* begin = static_cast<const DWORD*>(code->GetBufferPointer());
      words.assign(begin, begin + code->GetBufferSize() / sizeof(DWORD));
      code->Release();
    }
    return words;
  }
  IDirect3DVertexShader9* CompiledVertexShader(const char* source, const char* profile) {
    const std::vector<DWORD> code = Compile(source, profile);
    IDirect3DVertexShader9* shader = nullptr;
    EXPECT_EQ(D3D_OK, device->CreateVertexShader(code.empty() ? nullptr : code.data(), &shader));
    if (shader) m_objects.push_back(shader);
    return shader;
  }
  IDirect3DPixelShader9* CompiledPixelShader(const char* source, const char* profile) {
    const std::vector<DWORD> code = Compile(source, profile);
    IDirect3DPixelShader9* shader = nullptr;
    EXPECT_EQ(D3D_OK, device->CreatePixelShader(code.empty() ? nullptr : code.data(), &shader));
    if (shader) m_objects.push_back(shader);
    return shader;
  }

 private:
  std::vector<IUnknown*> m_objects;
  std::vector<DWORD> m_samplers;
};

#define EXPECT_PIXEL(pixels, x, y, expected)                                                         \
  ASSERT_EQ(CD3DTestDevice::kWidth * CD3DTestDevice::kHeight, (pixels).size());                      \
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, x, y), expected))                                 \
      << "pixel (" << (x) << ", " << (y) << ") is " << std::hex << CD3DTestDevice::At(pixels, x, y) \
      << ", expected " << (expected)

// Samples in the middle of each quarter of the target.
void ExpectQuadrants(const std::vector<D3DCOLOR>& pixels, D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomLeft,
                     D3DCOLOR bottomRight) {
  EXPECT_PIXEL(pixels, 16, 16, topLeft);
  EXPECT_PIXEL(pixels, 48, 16, topRight);
  EXPECT_PIXEL(pixels, 16, 48, bottomLeft);
  EXPECT_PIXEL(pixels, 48, 48, bottomRight);
}

TEST_F(ShaderPixelTest, Vs11TransformWithPs11TexAndMul) {
  BindQuadrantTexture();
  ASSERT_EQ(D3D_OK, device->SetVertexShader(VertexShader(kTransformVS)));
  ASSERT_EQ(D3D_OK, device->SetPixelShader(PixelShader("ps_1_1\ntex t0\nmul r0, t0, v0\n")));
  // Half the size: the matrix scales the square down to the middle half of the target.
  const D3DMATRIX half = {{{0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
  SetVertexMatrix(half);
  DrawSquare(0xFF808080);
  const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 24, 24, 0xFF800000u);
  EXPECT_PIXEL(pixels, 40, 24, 0xFF008000u);
  EXPECT_PIXEL(pixels, 24, 40, 0xFF000080u);
  EXPECT_PIXEL(pixels, 40, 40, 0xFF808080u);
  EXPECT_PIXEL(pixels, 4, 4, 0xFF000000u);
  EXPECT_PIXEL(pixels, 60, 60, 0xFF000000u);
}

TEST_F(ShaderPixelTest, Ps20Texld) {
  BindQuadrantTexture();
  device->SetVertexShader(VertexShader(kTransformVS));
  device->SetPixelShader(PixelShader("ps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\nmov oC0, r0\n"));
  DrawSquare(0xFF000000);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF);
}

TEST_F(ShaderPixelTest, FloatConstantsChangeTheOutput) {
  device->SetVertexShader(VertexShader("vs_1_1\ndcl_position v0\nm4x4 oPos, v0, c0\nmov oD0, c8\n"));
  const float red[4] = {1, 0, 0, 1}, blue[4] = {0, 0, 1, 1};
  ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantF(8, red, 1));
  DrawSquare(0xFFFFFFFF);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFFFF0000u);
  ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantF(8, blue, 1));
  DrawSquare(0xFFFFFFFF);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF0000FFu);
}

TEST_F(ShaderPixelTest, IntegerConstantDrivesRepAndBooleanDrivesIf) {
  // Red grows by 0.25 per pass of the loop; the Boolean adds full blue.
  device->SetVertexShader(VertexShader(
      "vs_2_0\ndef c5, 0, 0, 0, 1\ndef c6, 0.25, 0, 0, 0\ndef c7, 0, 0, 1, 0\ndcl_position v0\nm4x4 oPos, v0, c0\n"
      "mov r0, c5\nrep i0\nadd r0, r0, c6\nendrep\nif b0\nadd r0, r0, c7\nendif\nmov oD0, r0\n"));
  struct SCase {
    int passes;
    BOOL blue;
    D3DCOLOR expected;
  };
  const SCase cases[] = {{1, FALSE, 0xFF400000}, {3, FALSE, 0xFFBF0000}, {2, TRUE, 0xFF8000FF}, {0, TRUE, 0xFF0000FF}};
  for (const SCase& c : cases) {
    const int loop[4] = {c.passes, 0, 1, 0};
    ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantI(0, loop, 1));
    ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantB(0, &c.blue, 1));
    DrawSquare(0xFFFFFFFF);
    EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, c.expected) << c.passes << " passes, Boolean " << c.blue;
  }
}

// Assembled code carries no constant table, yet indexes a palette as skinning does: the
// transform and the colour come from c[a0.x + n], two bases into one indexed range, beside a
// register of that range read directly.
TEST_F(ShaderPixelTest, RelativelyAddressedConstantsWithoutAConstantTable) {
  const char vs20[] =
      "vs_2_0\ndcl_position v0\nmova a0.x, c10.x\nm4x3 r0.xyz, v0, c[a0.x + 20]\nmov r0.w, c11.w\n"
      "m4x4 oPos, r0, c0\nmov r1, c[a0.x + 40]\nadd oD0, r1, c60\n";
  // Entry 0 leaves the square whole; entry 3 halves it and moves it into the right half.
  const float palette[6][4] = {{1, 0, 0, 0},    {0, 1, 0, 0},    {0, 0, 1, 0},
                               {0.5f, 0, 0, 0.5f}, {0, 0.5f, 0, 0}, {0, 0, 1, 0}};
  const float colours[4][4] = {{1, 0, 0, 1}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 1, 0, 1}};
  const float one[4] = {0, 0, 0, 1}, blue[4] = {0, 0, 1, 0};
  device->SetVertexShaderConstantF(20, &palette[0][0], 6);
  device->SetVertexShaderConstantF(40, &colours[0][0], 4);
  device->SetVertexShaderConstantF(11, one, 1);
  device->SetVertexShaderConstantF(60, blue, 1);
  IDirect3DVertexShader9* shader = VertexShader(vs20);
  ASSERT_NE(shader, nullptr);
  ASSERT_EQ(D3D_OK, device->SetVertexShader(shader));
  struct SCase {
    float index;
    D3DCOLOR left, right;
  };
  for (const SCase& c : {SCase{0, 0xFFFF00FF, 0xFFFF00FF}, SCase{3, 0xFF000000, 0xFF00FFFF}}) {
    SCOPED_TRACE("entry " + std::to_string(c.index));
    const float index[4] = {c.index, 0, 0, 0};
    device->SetVertexShaderConstantF(10, index, 1);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.f, 0);
    DrawSquare(0xFFFFFFFF);
    const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
    EXPECT_PIXEL(pixels, 16, 32, c.left);
    EXPECT_PIXEL(pixels, 48, 32, c.right);
    EXPECT_PIXEL(pixels, 48, 8, c.index == 0 ? c.right : 0xFF000000u);
  }
}

TEST_F(ShaderPixelTest, VertexShaderFeedsTheFixedFunctionPixelStage) {
  BindQuadrantTexture();
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  // The shader's colour and coordinates, not the vertex's, reach the stage.
  device->SetVertexShader(VertexShader("vs_1_1\ndcl_position v0\ndcl_texcoord0 v2\nm4x4 oPos, v0, c0\n"
                                       "mov oD0, c8\nadd oT0, v2, c9\n"));
  const float halfGreen[4] = {1, 0.5f, 1, 1}, shift[4] = {0.5f, 0, 0, 0};
  device->SetVertexShaderConstantF(8, halfGreen, 1);
  device->SetVertexShaderConstantF(9, shift, 1);
  device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
  DrawSquare(0xFF000000);
  // Shifted half a texture to the left and clamped: the right column of texels everywhere.
  ExpectQuadrants(device.ReadBackBuffer(), 0xFF008000, 0xFF008000, 0xFFFF80FF, 0xFFFF80FF);
}

TEST_F(ShaderPixelTest, FixedFunctionVerticesFeedAPixelShader) {
  BindQuadrantTexture();
  device->SetTransform(D3DTS_WORLD, &kIdentity);
  device->SetTransform(D3DTS_VIEW, &kIdentity);
  device->SetTransform(D3DTS_PROJECTION, &kIdentity);
  // The stage's operation is irrelevant to a pixel shader; its coordinates still come through.
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
  device->SetPixelShader(PixelShader("ps_1_1\ntex t0\nadd r0, t0, v0\n"));
  DrawSquare(0xFF000040);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFFFF0040, 0xFF00FF40, 0xFF0000FF, 0xFFFFFFFF);
}

TEST_F(ShaderPixelTest, EqualDepthPassCoversWhatTheFixedFunctionPassCovered) {
  // A perspective view of a tilted square: depth varies over it, so any rounding difference
  // between the two transforms shows as pixels that fail EQUAL.
  D3DMATRIX world = kIdentity, view = kIdentity, projection = {};
  const float angle = 0.7f;
  world._22 = std::cos(angle);
  world._23 = std::sin(angle);
  world._32 = -std::sin(angle);
  world._33 = std::cos(angle);
  view._43 = 2.5f;
  const float zn = 0.1f, zf = 100.f;
  projection._11 = 1.3f;
  projection._22 = 1.7f;
  projection._33 = zf / (zf - zn);
  projection._34 = 1.f;
  projection._43 = -zn * zf / (zf - zn);
  device->SetTransform(D3DTS_WORLD, &world);
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);
  D3DXMATRIX worldViewProj;
  D3DXMatrixMultiply(&worldViewProj, reinterpret_cast<const D3DXMATRIX*>(&world),
                     reinterpret_cast<const D3DXMATRIX*>(&view));
  D3DXMatrixMultiply(&worldViewProj, &worldViewProj, reinterpret_cast<const D3DXMATRIX*>(&projection));
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

  DrawSquare(0xFF0000FF, 0.9f);
  const std::vector<D3DCOLOR> first = device.ReadBackBuffer();

  device->SetVertexShader(VertexShader("vs_1_1\ndcl_position v0\nm4x4 oPos, v0, c0\nmov oD0, c8\n"));
  SetVertexMatrix(worldViewProj);
  const float green[4] = {0, 1, 0, 1};
  device->SetVertexShaderConstantF(8, green, 1);
  device->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  DrawSquare(0xFF0000FF, 0.9f);
  const std::vector<D3DCOLOR> second = device.ReadBackBuffer();

  int covered = 0, missed = 0;
  for (size_t i = 0; i < first.size(); ++i) {
    if (first[i] != 0xFF0000FF) continue;
    ++covered;
    if (second[i] != 0xFF00FF00) ++missed;
  }
  EXPECT_GT(covered, 500);
  EXPECT_EQ(0, missed) << "of " << covered << " pixels";
}

TEST_F(ShaderPixelTest, HlslPairWithAMacroThatChangesTheOutput) {
  BindQuadrantTexture();
  const char vertexSource[] =
      "float4x4 WorldViewProj : register(c0);\n"
      "struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; float2 uv : TEXCOORD0; };\n"
      "VS_OUT main(float4 pos : POSITION, float4 color : COLOR0, float2 uv : TEXCOORD0) {\n"
      "  VS_OUT o;\n  o.pos = mul(pos, WorldViewProj);\n  o.color = color;\n  o.uv = uv;\n  return o;\n}\n";
  const char pixelSource[] =
      "sampler2D Tex : register(s0);\nfloat4 Scale : register(c2);\n"
      "float4 main(float4 color : COLOR0, float2 uv : TEXCOORD0) : COLOR0 {\n"
      "#ifdef TEXTURE_ONLY\n  return tex2D(Tex, uv);\n#else\n  return tex2D(Tex, uv) * color * Scale;\n#endif\n}\n";
  const std::vector<DWORD> vertexCode = Compile(vertexSource, "vs_2_0");
  IDirect3DVertexShader9* vs = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateVertexShader(vertexCode.data(), &vs));
  device->SetVertexShader(vs);
  const float scale[4] = {1, 1, 0, 1};
  device->SetPixelShaderConstantF(2, scale, 1);
  const D3DXMACRO textureOnly[] = {{"TEXTURE_ONLY", "1"}, {nullptr, nullptr}};
  struct SCase {
    const D3DXMACRO* macros;
    D3DCOLOR bottomRight;
  };
  for (const SCase& c : {SCase{nullptr, 0xFF808000}, SCase{textureOnly, 0xFFFFFFFF}}) {
    const std::vector<DWORD> pixelCode = Compile(pixelSource, "ps_2_0", c.macros);
    IDirect3DPixelShader9* ps = nullptr;
    ASSERT_EQ(D3D_OK, device->CreatePixelShader(pixelCode.data(), &ps));
    device->SetPixelShader(ps);
    DrawSquare(0xFF808080);
    const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
    EXPECT_PIXEL(pixels, 48, 48, c.bottomRight);
    EXPECT_PIXEL(pixels, 16, 16, c.macros ? 0xFFFF0000u : 0xFF800000u);
    device->SetPixelShader(nullptr);
    ps->Release();
  }
  device->SetVertexShader(nullptr);
  vs->Release();
}

TEST_F(ShaderPixelTest, Ps30InputsPairWithVs30OutputsBySemantic) {
  BindQuadrantTexture();
  // The two halves declare their registers in different orders; only the semantics match.
  device->SetVertexShader(VertexShader(
      "vs_3_0\ndcl_position v0\ndcl_color v1\ndcl_texcoord0 v2\n"
      "dcl_position o0\ndcl_color o1\ndcl_texcoord1 o2\ndcl_texcoord0 o3.xy\n"
      "m4x4 o0, v0, c0\nmov o1, v1\nmov o2, c8\nmov o3.xy, v2\n"));
  device->SetPixelShader(PixelShader("ps_3_0\ndcl_texcoord1 v0\ndcl_color v1\ndcl_texcoord0 v2.xy\ndcl_2d s0\n"
                                     "texld r0, v2, s0\nmul r0, r0, v1\nadd oC0, r0, v0\n"));
  const float quarterBlue[4] = {0, 0, 0.25f, 0};
  device->SetVertexShaderConstantF(8, quarterBlue, 1);
  DrawSquare(0xFF808080);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFF800040, 0xFF008040, 0xFF0000C0, 0xFF8080C0);
}

TEST_F(ShaderPixelTest, VertexShaderReadsTexturesThroughTheVertexSamplers) {
  struct SCase {
    DWORD sampler;  // the device's sampler number
    int reg;        // the program's sN
    float u, v;
    DWORD addressU;
    D3DCOLOR expected;
  };
  const SCase cases[] = {
      {D3DVERTEXTEXTURESAMPLER0, 0, 0.75f, 0.25f, D3DTADDRESS_WRAP, 0xFF00FF00},
      {D3DVERTEXTEXTURESAMPLER3, 3, 0.25f, 0.75f, D3DTADDRESS_WRAP, 0xFF0000FF},
      {D3DVERTEXTEXTURESAMPLER0, 0, 1.25f, 0.25f, D3DTADDRESS_WRAP, 0xFFFF0000},
      {D3DVERTEXTEXTURESAMPLER0, 0, 1.25f, 0.25f, D3DTADDRESS_CLAMP, 0xFF00FF00},
  };
  device->SetPixelShader(PixelShader("ps_3_0\ndcl_color v0\nmov oC0, v0\n"));
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.sampler);
    BindQuadrantTexture(c.sampler);
    const std::string reg = "s" + std::to_string(c.reg);
    device->SetVertexShader(VertexShader("vs_3_0\ndcl_position v0\ndcl_position o0\ndcl_color o1\ndcl_2d " + reg +
                                         "\nm4x4 o0, v0, c0\ntexldl r0, c8, " + reg + "\nmov o1, r0\n"));
    const float coordinates[4] = {c.u, c.v, 0, 0};
    device->SetVertexShaderConstantF(8, coordinates, 1);
    ASSERT_EQ(D3D_OK, device->SetSamplerState(c.sampler, D3DSAMP_ADDRESSU, c.addressU));
    DrawSquare(0xFF000000);
    EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, c.expected);
  }
}

TEST_F(ShaderPixelTest, PixelSamplersAboveStageSevenAreBound) {
  device->SetVertexShader(VertexShader(kTransformVS));
  // Shifted half a texture to the right: clamped, the right column of texels on both sides.
  const float shift[4] = {0.5f, 0, 0, 0};
  device->SetPixelShaderConstantF(0, shift, 1);
  for (DWORD stage : {8u, 15u}) {
    SCOPED_TRACE(stage);
    BindQuadrantTexture(stage);
    ASSERT_EQ(D3D_OK, device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP));
    const std::string reg = "s" + std::to_string(stage);
    device->SetPixelShader(
        PixelShader("ps_2_0\ndcl t0.xy\ndcl_2d " + reg + "\nadd r1, t0, c0\ntexld r0, r1, " + reg + "\nmov oC0, r0\n"));
    DrawSquare(0xFF000000);
    ExpectQuadrants(device.ReadBackBuffer(), 0xFF00FF00, 0xFF00FF00, 0xFFFFFFFF, 0xFFFFFFFF);
  }
}

TEST_F(ShaderPixelTest, HlslIntAndBoolGlobalsComeFromTheIntegerAndBooleanRegisters) {
  // Placed by the source or, without a placement, in the lowest free register of their set.
  device->SetVertexShader(CompiledVertexShader(
      "float4x4 WorldViewProj : register(c0);\nfloat4 Step : register(c6);\nint Passes;\n"
      "bool Blue : register(b3);\n"
      "struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; };\n"
      "VS_OUT main(float4 pos : POSITION) {\n  VS_OUT o;\n  o.pos = mul(pos, WorldViewProj);\n"
      "  float4 c = float4(0, 0, 0, 1);\n  for (int k = 0; k < Passes; ++k) c += Step;\n"
      "  if (Blue) c.b = 1;\n  o.color = c;\n  return o;\n}\n",
      "vs_2_0"));
  device->SetPixelShader(CompiledPixelShader(
      "int Boost : register(i2);\nbool Green;\n"
      "float4 main(float4 color : COLOR0) : COLOR0 {\n  float4 r = color;\n"
      "  for (int k = 0; k < Boost; ++k) r.g += 0.25;\n  if (Green) r.g += 0.5;\n  return r;\n}\n",
      "ps_3_0"));
  const float step[4] = {0.25f, 0, 0, 0};
  device->SetVertexShaderConstantF(6, step, 1);
  // Registers the programs must not read.
  const BOOL on = TRUE;
  const int many[4] = {4, 0, 1, 0};
  device->SetVertexShaderConstantB(0, &on, 1);
  device->SetPixelShaderConstantI(0, many, 1);
  device->SetPixelShaderConstantB(1, &on, 1);
  struct SCase {
    int passes;
    BOOL blue;
    int boost;
    BOOL green;
    D3DCOLOR expected;
  };
  const SCase cases[] = {{1, FALSE, 0, FALSE, 0xFF400000},
                         {3, TRUE, 0, FALSE, 0xFFBF00FF},
                         {0, FALSE, 2, FALSE, 0xFF008000},
                         {2, FALSE, 1, TRUE, 0xFF80BF00}};
  for (const SCase& c : cases) {
    const int passes[4] = {c.passes, 0, 1, 0}, boost[4] = {c.boost, 0, 1, 0};
    ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantI(0, passes, 1));
    ASSERT_EQ(D3D_OK, device->SetVertexShaderConstantB(3, &c.blue, 1));
    ASSERT_EQ(D3D_OK, device->SetPixelShaderConstantI(2, boost, 1));
    ASSERT_EQ(D3D_OK, device->SetPixelShaderConstantB(0, &c.green, 1));
    DrawSquare(0xFFFFFFFF);
    EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, c.expected)
        << c.passes << " passes, blue " << c.blue << ", boost " << c.boost << ", green " << c.green;
  }
}

TEST_F(ShaderPixelTest, HlslFloatGlobalsTakeARegisterEachInDeclarationOrder) {
  device->SetVertexShader(VertexShader(kTransformVS));
  device->SetPixelShader(CompiledPixelShader(
      "float Red;\nfloat Green : register(c1);\nfloat2 Blue;\n"
      "float4 main() : COLOR0 { return float4(Red, Green, Blue.y, 1); }\n",
      "ps_2_0"));
  const float registers[3][4] = {{1, 0, 0, 0}, {0.25f, 0, 0, 0}, {0, 0.5f, 0, 0}};
  device->SetPixelShaderConstantF(0, &registers[0][0], 3);
  DrawSquare(0xFF000000);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFFFF4080u);
}

TEST_F(ShaderPixelTest, HlslPlacementsInAnIncludedFileHold) {
  TempDir dir;
  dir.Write("tint.h", "float4 Tint : register(c3);\n");
  dir.Write("tint.phl", "float4 Other;\n#include \"tint.h\"\nfloat4 main() : COLOR0 { return Tint + Other * 0.5; }\n");
  LPD3DXBUFFER code = nullptr, errors = nullptr;
  ASSERT_EQ(D3D_OK, D3DXCompileShaderFromFileA((dir / "tint.phl").c_str(), nullptr, nullptr, "main", "ps_2_0", 0,
                                               &code, &errors, nullptr))
      << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
  IDirect3DPixelShader9* shader = nullptr;
  EXPECT_EQ(D3D_OK, device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader));
  code->Release();
  if (errors) errors->Release();
  ASSERT_NE(nullptr, shader);
  device->SetVertexShader(VertexShader(kTransformVS));
  device->SetPixelShader(shader);
  // Other, declared first, takes c0 only because Tint holds c3.
  const float registers[4][4] = {{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 1, 0, 0}};
  device->SetPixelShaderConstantF(0, &registers[0][0], 4);
  DrawSquare(0xFF000000);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF80FF00u);
  device->SetPixelShader(nullptr);
  shader->Release();
}

TEST_F(ShaderPixelTest, HlslScalarOutputsReachFogAndDepth) {
  device->SetVertexShader(CompiledVertexShader(
      "float4x4 WorldViewProj : register(c0);\n"
      "struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; float fog : FOG; };\n"
      "VS_OUT main(float4 pos : POSITION) {\n  VS_OUT o;\n  o.pos = mul(pos, WorldViewProj);\n"
      "  o.color = float4(0, 1, 0, 1);\n  o.fog = 1;\n  return o;\n}\n",
      "vs_2_0"));
  device->SetPixelShader(CompiledPixelShader(
      "struct PS_OUT { float4 color : COLOR0; float depth : DEPTH; };\n"
      "PS_OUT main(float4 color : COLOR0) { PS_OUT o; o.color = color; o.depth = 0.25; return o; }\n",
      "ps_2_0"));
  DrawSquare(0xFF000000);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF00FF00u);
  // A fixed-function square in front of the drawn depth but behind the written one.
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTransform(D3DTS_WORLD, &kIdentity);
  device->SetTransform(D3DTS_VIEW, &kIdentity);
  device->SetTransform(D3DTS_PROJECTION, &kIdentity);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  DrawSquare(0xFFFF0000, 1.f, 0.4f);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF00FF00u);
}

TEST_F(ShaderPixelTest, HlslSamplerWithoutAPlacementTakesTheLowestFreeRegister) {
  BindQuadrantTexture(1);  // stage 0 stays empty and reads as black
  // Fixed-function vertices feed the compiled half.
  device->SetTransform(D3DTS_WORLD, &kIdentity);
  device->SetTransform(D3DTS_VIEW, &kIdentity);
  device->SetTransform(D3DTS_PROJECTION, &kIdentity);
  device->SetPixelShader(CompiledPixelShader(
      "sampler2D Tint : register(s0);\nsampler2D Pattern;\n"
      "float4 main(float2 uv : TEXCOORD0) : COLOR0 { return tex2D(Pattern, uv) + tex2D(Tint, uv); }\n",
      "ps_2_0"));
  DrawSquare(0xFF000000);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF);
}

TEST_F(ShaderPixelTest, CompiledAndAssembledHalvesShareVaryingsWithoutBuiltIns) {
  const char compiledVertex[] =
      "float4x4 WorldViewProj : register(c0);\nfloat4 Tint : register(c8);\n"
      "struct VS_OUT { float4 pos : POSITION; float4 n : NORMAL0; };\n"
      "VS_OUT main(float4 pos : POSITION) {\n  VS_OUT o;\n  o.pos = mul(pos, WorldViewProj);\n  o.n = Tint;\n"
      "  return o;\n}\n";
  const char compiledPixel[] = "float4 main(float4 t : TANGENT1) : COLOR0 { return t; }\n";
  const float tint[4] = {0, 1, 1, 1};
  device->SetVertexShaderConstantF(8, tint, 1);
  struct SCase {
    IDirect3DVertexShader9* vs;
    IDirect3DPixelShader9* ps;
  };
  const SCase cases[] = {
      {CompiledVertexShader(compiledVertex, "vs_3_0"), PixelShader("ps_3_0\ndcl_normal v3\nmov oC0, v3\n")},
      {VertexShader("vs_3_0\ndcl_position v0\ndcl_position o0\ndcl_tangent1 o5\nm4x4 o0, v0, c0\nmov o5, c8\n"),
       CompiledPixelShader(compiledPixel, "ps_3_0")},
  };
  for (const SCase& c : cases) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.f, 0);
    ASSERT_EQ(D3D_OK, device->SetVertexShader(c.vs));
    ASSERT_EQ(D3D_OK, device->SetPixelShader(c.ps));
    DrawSquare(0xFFFF0000);
    EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF00FFFFu);
  }
}

// Texture coordinates (2u - 0.5, 2v - 0.5, 0, 2): below 0 at the left and top edges, above 1
// beyond the middle.
const char kStretchedCoordinatesVS[] =
    "vs_1_1\ndef c4, 2, 2, 0, 0\ndef c5, -0.5, -0.5, 0, 2\ndcl_position v0\ndcl_texcoord0 v2\n"
    "m4x4 oPos, v0, c0\nmad oT0, v2, c4, c5\n";

TEST_F(ShaderPixelTest, Ps14TwoPhasesSampleAtTexcoordsAndAtCoordinatesComputedFromThem) {
  BindQuadrantTexture(0);
  BindQuadrantTexture(2, true);
  device->SetVertexShader(VertexShader(kTransformVS));
  // r0: sampler 0 at t0; r2 (second phase): sampler 2, flipped, half the texture to the right (it wraps);
  // the output mixes a quarter of r0 with three quarters of r2 and puts v in blue.
  device->SetPixelShader(PixelShader(
      "ps_1_4\ndef c0, 0.25, 0, 0, 0\ndef c1, 0.5, 0, 0, 0\n"
      "texld r0, t0\ntexcrd r1.rgb, t0\nadd r1.rg, r1, c1\nphase\ntexld r2, r1\n"
      "lrp r0.rgb, c0.r, r0, r2\nadd r1.g, r1, -c1\nmov r0.b, r1.g\n"));
  DrawSquare(0xFF000000);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFFFFBF40, 0xFF004040, 0xFF00BFBF, 0xFFFF40BF);
}

TEST_F(ShaderPixelTest, Ps14DividedCoordinatesBesideATexkill) {
  BindQuadrantTexture(3);
  device->SetVertexShader(VertexShader(kStretchedCoordinatesVS));
  // Sampled at the coordinates divided by w, which halves them; blue is u / w.
  device->SetPixelShader(PixelShader(
      "ps_1_4\ntexkill t0\ntexld r3, t0_dw.xyw\ntexcrd r1.rgb, t0_dw.xyw\nmov r0, r3\nmov r0.b, r1.r\n"));
  DrawSquare(0xFF000000);
  const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 4, 4, 0xFF000000u);  // negative coordinates: discarded, the clear colour stays
  ExpectQuadrants(pixels, 0xFFFF0000, 0xFF00FF80, 0xFF000000, 0xFFFFFF80);
}

TEST_F(ShaderPixelTest, Ps11TexcoordGivesClampedCoordinatesAsColour) {
  device->SetVertexShader(VertexShader(kStretchedCoordinatesVS));
  // Scaled into 0.25 .. 0.75 so that coordinates outside 0..1 would show.
  device->SetPixelShader(
      PixelShader("ps_1_1\ndef c0, 0.5, 0.5, 0.5, 0.5\ndef c1, 0.25, 0.25, 0.25, 0.25\ntexcoord t0\nmad r0, t0, c0, c1\n"));
  DrawSquare(0xFF000000);
  const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 4, 4, 0xFF404040u);
  EXPECT_PIXEL(pixels, 60, 4, 0xFFBF4040u);
  EXPECT_PIXEL(pixels, 60, 60, 0xFFBFBF40u);
  EXPECT_PIXEL(pixels, 32, 24, 0xFF806040u);
}

TEST_F(ShaderPixelTest, Ps13TexcoordBesideTex) {
  BindQuadrantTexture(0);
  device->SetVertexShader(VertexShader(
      "vs_1_1\ndcl_position v0\ndcl_texcoord0 v2\nm4x4 oPos, v0, c0\nmov oT0, v2\nmov oT1, v2\n"));
  // The texture's colour scaled by (u, v, 0).
  device->SetPixelShader(PixelShader("ps_1_3\ntex t0\ntexcoord t1\nmul r0, t0, t1\n"));
  DrawSquare(0xFF000000);
  ExpectQuadrants(device.ReadBackBuffer(), 0xFF400000, 0xFF004000, 0xFF000000, 0xFFBFBF00);
}

TEST_F(ShaderPixelTest, BadCodeFailsCreation) {
  const std::vector<DWORD> pixelCode = AssembleOrFail("ps_1_1\nmov r0, v0\n");
  const std::vector<DWORD> vertexCode = AssembleOrFail(kTransformVS);
  const DWORD garbage[] = {0xDEADBEEF, 0x12345678, 0x0000FFFF};
  const DWORD badVersion[] = {0xFFFE0909, 0x0000FFFF};
  const DWORD badInstruction[] = {0xFFFE0101, 0x00001234, 0x80000000, 0x0000FFFF};
  IDirect3DVertexShader9* vs = reinterpret_cast<IDirect3DVertexShader9*>(1);
  for (const DWORD* code : {garbage, badVersion, badInstruction, pixelCode.data(), static_cast<const DWORD*>(nullptr)}) {
    EXPECT_EQ(D3DERR_INVALIDCALL, device->CreateVertexShader(code, &vs));
    EXPECT_EQ(nullptr, vs);
  }
  IDirect3DPixelShader9* ps = nullptr;
  EXPECT_EQ(D3DERR_INVALIDCALL, device->CreatePixelShader(vertexCode.data(), &ps));
  EXPECT_EQ(nullptr, ps);
}

TEST_F(ShaderPixelTest, MalformedPs1TextureInstructionsFailCreation) {
  const DWORD texldWithoutSource[] = {0xFFFF0104, 0x00000042, 0x800F0000, 0x0000FFFF};
  const DWORD texldIntoTextureRegister[] = {0xFFFF0104, 0x00000042, 0xB00F0000, 0xB0E40000, 0x0000FFFF};
  const DWORD texldOfNoSampler[] = {0xFFFF0104, 0x00000042, 0x800F07FF, 0xB0E40000, 0x0000FFFF};
  const DWORD texcrdFromConstant[] = {0xFFFF0104, 0x00000040, 0x80070000, 0xA0E40000, 0x0000FFFF};
  const DWORD texcoordOfTemporary[] = {0xFFFF0101, 0x00000040, 0x800F0000, 0x0000FFFF};
  for (const DWORD* code : {texldWithoutSource, texldIntoTextureRegister, texldOfNoSampler, texcrdFromConstant,
                            texcoordOfTemporary}) {
    IDirect3DPixelShader9* ps = reinterpret_cast<IDirect3DPixelShader9*>(1);
    EXPECT_EQ(D3DERR_INVALIDCALL, device->CreatePixelShader(code, &ps)) << std::hex << code[1] << " " << code[2];
    EXPECT_EQ(nullptr, ps);
  }
}

// Shader model 1 pixel programs name no texture type and are read as 2D textures: a cube bound
// to a sampler they read is refused at the draw, where it would have drawn black.
TEST_F(ShaderPixelTest, Ps1SamplingACubeTextureIsRefusedAtTheDraw) {
  IDirect3DCubeTexture9* cube = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr));
  device->SetVertexShader(VertexShader(kTransformVS));
  SVertex quad[4] = {{-1, 1, 0.5f, 0, 0, 0}, {1, 1, 0.5f, 0, 1, 0}, {-1, -1, 0.5f, 0, 0, 1}, {1, -1, 0.5f, 0, 1, 1}};
  device->SetFVF(kVertexFVF);
  for (const char* program : {"ps_1_1\ntex t0\nmov r0, t0\n", "ps_1_4\ntexld r0, t0\n"}) {
    SCOPED_TRACE(program);
    device->SetPixelShader(PixelShader(program));
    ASSERT_EQ(D3D_OK, device->BeginScene());
    device->SetTexture(0, cube);
    EXPECT_EQ(D3DERR_INVALIDCALL, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SVertex)));
    device->EndScene();
    device->SetTexture(0, nullptr);
    BindQuadrantTexture(0);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SVertex)));
    device->EndScene();
  }
  device->SetTexture(0, nullptr);
  cube->Release();
}

TEST_F(ShaderPixelTest, GetFunctionReturnsTheCreatingCode) {
  const std::vector<DWORD> code = AssembleOrFail(kTransformVS);
  IDirect3DVertexShader9* shader = VertexShader(kTransformVS);
  ASSERT_NE(nullptr, shader);
  UINT size = 0;
  ASSERT_EQ(D3D_OK, shader->GetFunction(nullptr, &size));
  ASSERT_EQ(code.size() * sizeof(DWORD), size);
  std::vector<DWORD> copy(code.size());
  ASSERT_EQ(D3D_OK, shader->GetFunction(copy.data(), &size));
  EXPECT_EQ(code, copy);

  // Not the form the translation was made from.
  const char kPs14[] = "ps_1_4\ntexcrd r1.rgb, t0\ntexld r0, t1\nadd r0, r0, r1\n";
  const std::vector<DWORD> pixelCode = AssembleOrFail(kPs14);
  IDirect3DPixelShader9* pixelShader = PixelShader(kPs14);
  ASSERT_NE(nullptr, pixelShader);
  ASSERT_EQ(D3D_OK, pixelShader->GetFunction(nullptr, &size));
  ASSERT_EQ(pixelCode.size() * sizeof(DWORD), size);
  copy.assign(pixelCode.size(), 0);
  ASSERT_EQ(D3D_OK, pixelShader->GetFunction(copy.data(), &size));
  EXPECT_EQ(pixelCode, copy);
}

}  // namespace
