// Pixels drawn by the OpenGL back end on Mesa's software rasteriser, read back and compared.
#include <gtest/gtest.h>

#include <cstring>

#include "D3DTestDevice.h"

namespace {

struct SColorVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
};
constexpr DWORD kColorVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

struct STexturedVertex {
  float x, y, z, rhw;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kTexturedVertexFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct SCubeVertex {
  float x, y, z, rhw;
  float s, t, r;
};
constexpr DWORD kCubeVertexFVF = D3DFVF_XYZRHW | D3DFVF_TEX1 | D3DFVF_TEXCOORDSIZE3(0);

struct SLitVertex {
  float x, y, z;
  float nx, ny, nz;
};

struct SWorldColorVertex {
  float x, y, z;
  D3DCOLOR color;
};

const D3DMATRIX kIdentity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};

DWORD FloatBits(float value) {
  DWORD bits;
  memcpy(&bits, &value, sizeof bits);
  return bits;
}

class PixelTest : public ::testing::Test {
 protected:
  PixelTest() : device(ZK_D3D_BACKEND_GL) {}
  void SetUp() override {
    ASSERT_TRUE(device.ok()) << std::hex << device.result();
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000, 1.f, 0);
  }

  // A pre-transformed rectangle in one colour, clockwise as Direct3D sees it.
  void DrawRect(float l, float t, float r, float b, D3DCOLOR color, float z = 0.5f) {
    SColorVertex quad[4] = {{l, t, z, 1.f, color}, {r, t, z, 1.f, color}, {l, b, z, 1.f, color}, {r, b, z, 1.f, color}};
    device->SetFVF(kColorVertexFVF);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SColorVertex)));
    device->EndScene();
  }

  // The whole target with texture coordinates running from (0,0) at the top left to (1,1).
  void DrawTexturedScreen(D3DCOLOR color = 0xFFFFFFFF) {
    const float w = CD3DTestDevice::kWidth, h = CD3DTestDevice::kHeight;
    STexturedVertex quad[4] = {{0, 0, 0.5f, 1, color, 0, 0},
                               {w, 0, 0.5f, 1, color, 1, 0},
                               {0, h, 0.5f, 1, color, 0, 1},
                               {w, h, 0.5f, 1, color, 1, 1}};
    device->SetFVF(kTexturedVertexFVF);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(STexturedVertex)));
    device->EndScene();
  }

  // A 2x2 texture: red, green / blue, white.
  IDirect3DTexture9* MakeQuadrantTexture(D3DPOOL pool = D3DPOOL_MANAGED) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3D_OK, device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, pool, &texture, nullptr));
    if (!texture) return nullptr;
    D3DLOCKED_RECT locked;
    EXPECT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    const D3DCOLOR rows[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}};
    for (int y = 0; y < 2; ++y) memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, rows[y], 8);
    texture->UnlockRect(0);
    return texture;
  }

  void UseIdentityTransforms() {
    device->SetTransform(D3DTS_WORLD, &kIdentity);
    device->SetTransform(D3DTS_VIEW, &kIdentity);
    device->SetTransform(D3DTS_PROJECTION, &kIdentity);
  }

  // A square over the whole target at view depth 0.5, clockwise, with or without normals.
  void DrawWorldSquare(D3DCOLOR color) {
    SWorldColorVertex quad[4] = {
        {-1, 1, 0.5f, color}, {1, 1, 0.5f, color}, {-1, -1, 0.5f, color}, {1, -1, 0.5f, color}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SWorldColorVertex)));
    device->EndScene();
  }
  void DrawLitSquare() {
    SLitVertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1}, {-1, -1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}};
    device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    ASSERT_EQ(D3D_OK, device->BeginScene());
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SLitVertex)));
    device->EndScene();
  }

  CD3DTestDevice device;
};

#define EXPECT_PIXEL(pixels, x, y, expected)                                                 \
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, x, y), expected))                         \
      << "pixel (" << (x) << ", " << (y) << ") is " << std::hex << CD3DTestDevice::At(pixels, x, y) \
      << ", expected " << (expected)

TEST_F(PixelTest, ClearFillsTheBackBuffer) {
  ASSERT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                                  D3DCOLOR_ARGB(255, 10, 200, 30), 1.f, 0));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_EQ(pixels.size(), 64u * 64u);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 0, 0), D3DCOLOR_ARGB(255, 10, 200, 30)));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 63, 63), D3DCOLOR_ARGB(255, 10, 200, 30)));
}

TEST_F(PixelTest, PreTransformedQuadEdgesLandOnPixels) {
  // Covers pixels 8..23 in x and 4..11 in y, with Direct3D 9's integer pixel centres.
  const float l = 8.f, t = 4.f, r = 24.f, b = 12.f;
  SColorVertex quad[4] = {{l, t, 0.5f, 1.f, 0xFFFF0000},
                          {r, t, 0.5f, 1.f, 0xFFFF0000},
                          {l, b, 0.5f, 1.f, 0xFFFF0000},
                          {r, b, 0.5f, 1.f, 0xFFFF0000}};
  device->SetFVF(kColorVertexFVF);
  ASSERT_EQ(D3D_OK, device->BeginScene());
  ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SColorVertex)));
  device->EndScene();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 8, 4), 0xFFFF0000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 23, 11), 0xFFFF0000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 7, 4), 0xFF000000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 24, 4), 0xFF000000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 8, 3), 0xFF000000));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 8, 12), 0xFF000000));
}

TEST_F(PixelTest, ScissoredClearStaysInsideTheRectangle) {
  const RECT scissor = {10, 20, 30, 40};
  device->SetScissorRect(&scissor);
  device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
  ASSERT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.f, 0));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 10, 20, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 29, 39, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 9, 20, 0xFF000000u);
  EXPECT_PIXEL(pixels, 30, 39, 0xFF000000u);
  EXPECT_PIXEL(pixels, 10, 19, 0xFF000000u);
  EXPECT_PIXEL(pixels, 10, 40, 0xFF000000u);
}

TEST_F(PixelTest, DirectionalLightOnMaterial) {
  D3DMATRIX identity = {{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}};
  device->SetTransform(D3DTS_WORLD, &identity);
  device->SetTransform(D3DTS_VIEW, &identity);
  device->SetTransform(D3DTS_PROJECTION, &identity);
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(0, 0, 64));
  D3DMATERIAL9 material = {};
  material.Diffuse = {1.f, 0.5f, 0.f, 1.f};
  material.Ambient = {1.f, 1.f, 1.f, 1.f};
  device->SetMaterial(&material);
  // Light travelling into the screen at 60 degrees from the normal: N.L = 0.5.
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.f, 1.f, 1.f, 1.f};
  light.Direction = {0.f, 0.8660254f, 0.5f};
  ASSERT_EQ(D3D_OK, device->SetLight(0, &light));
  ASSERT_EQ(D3D_OK, device->LightEnable(0, TRUE));
  // Facing the viewer (normal towards -z), clockwise on screen.
  SLitVertex triangle[3] = {{-0.8f, -0.8f, 0.5f, 0, 0, -1}, {0.f, 0.8f, 0.5f, 0, 0, -1}, {0.8f, -0.8f, 0.5f, 0, 0, -1}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
  ASSERT_EQ(D3D_OK, device->BeginScene());
  ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(SLitVertex)));
  device->EndScene();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  // ambient (0,0,64) + diffuse (1,0.5,0) * 0.5
  EXPECT_PIXEL(pixels, 32, 40, D3DCOLOR_XRGB(128, 64, 64));
  EXPECT_PIXEL(pixels, 2, 2, 0xFF000000u);
}

TEST_F(PixelTest, PointLightAttenuatesAndStopsAtItsRange) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL9 material = {};
  material.Diffuse = {0.5f, 0.5f, 0.5f, 1.f};
  device->SetMaterial(&material);
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1.f, 1.f, 1.f, 1.f};
  light.Position = {0.f, 0.f, 0.f};
  light.Range = 10.f;
  // Lighting is per vertex: each corner is 1.5 from the light, so 1 / (a2 d^2) is 1 there and
  // N.L is 0.5 / 1.5.
  light.Attenuation2 = 4.f / 9.f;
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  DrawLitSquare();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 32, 32, D3DCOLOR_XRGB(43, 43, 43));
  light.Attenuation2 = 0.f;
  light.Attenuation1 = 4.f / 3.f;  // half as bright
  device->SetLight(0, &light);
  DrawLitSquare();
  pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 32, 32, D3DCOLOR_XRGB(21, 21, 21));
  light.Range = 1.4f;  // the corners are out of reach
  device->SetLight(0, &light);
  DrawLitSquare();
  pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 32, 32, 0xFF000000u);
}

// The back end keeps GL state between draws alike; a clear, which sets masks of its own, and a
// texture made for a draw, which binds it where it can, must not leave the draw with theirs.
TEST_F(PixelTest, DrawsAlikeKeepTheirStatesAcrossAClearAndANewTexture) {
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
  DrawRect(0, 0, 64, 64, 0xFFFF0000);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.f, 0);
  DrawRect(0, 0, 64, 64, 0xFFFF0000);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF000000u);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);

  IDirect3DTexture9* quadrants = MakeQuadrantTexture();
  ASSERT_NE(quadrants, nullptr);
  device->SetTexture(0, quadrants);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawTexturedScreen();
  IDirect3DTexture9* other = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &other, nullptr));
  D3DLOCKED_RECT locked;
  ASSERT_EQ(D3D_OK, other->LockRect(0, &locked, nullptr, 0));
  for (int y = 0; y < 2; ++y) memset(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, 0x80, 8);
  other->UnlockRect(0);
  // The new texture reaches GL with this draw, on a stage whose colour is not used.
  device->SetTexture(1, other);
  DrawTexturedScreen();
  const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 48, 48, 0xFFFFFFFFu);
  device->SetTexture(0, nullptr);
  device->SetTexture(1, nullptr);
  other->Release();
  quadrants->Release();
}

// Draws of one program in a row, each with its own place and material, and back to the first
// material: the back end sends only the uniforms that changed, so each must still show its own.
TEST_F(PixelTest, EachDrawOfOneProgramShowsItsOwnMaterialAndPlace) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
  D3DMATERIAL9 red = {}, green = {};
  red.Ambient = {1.f, 0.f, 0.f, 1.f};
  green.Ambient = {0.f, 1.f, 0.f, 1.f};
  const D3DMATERIAL9* materials[] = {&red, &green, &red};
  // A square a third of the target wide, placed left, middle and right.
  SLitVertex quad[4] = {{-0.3f, 0.3f, 0.5f, 0, 0, -1}, {0.3f, 0.3f, 0.5f, 0, 0, -1},
                        {-0.3f, -0.3f, 0.5f, 0, 0, -1}, {0.3f, -0.3f, 0.5f, 0, 0, -1}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
  ASSERT_EQ(D3D_OK, device->BeginScene());
  for (int i = 0; i < 3; ++i) {
    D3DMATRIX world = kIdentity;
    world._41 = -0.66f + 0.66f * static_cast<float>(i);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetMaterial(materials[i]);
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SLitVertex)));
  }
  device->EndScene();
  const std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 11, 32, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 32, 32, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 53, 32, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 32, 5, 0xFF000000u);
}

TEST_F(PixelTest, SpotLightConeFallsOffBetweenItsAngles) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL9 material = {};
  material.Diffuse = {1.f, 1.f, 1.f, 1.f};
  device->SetMaterial(&material);
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_SPOT;
  light.Diffuse = {1.f, 1.f, 1.f, 1.f};
  light.Direction = {0.f, 0.f, 1.f};
  light.Range = 10.f;
  light.Attenuation0 = 1.f;
  light.Falloff = 1.f;
  // Each corner lies at cos 1/3 from the axis: between the inner cone (cos 0.5) and the outer
  // (cos 80 degrees), so the spot factor is (1/3 - 0.174) / (0.5 - 0.174) and N.L is 1/3.
  light.Theta = 2.f * 1.0471976f;
  light.Phi = 2.f * 1.3962634f;
  ASSERT_EQ(D3D_OK, device->SetLight(0, &light));
  device->LightEnable(0, TRUE);
  DrawLitSquare();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, D3DCOLOR_XRGB(41, 41, 41));
  light.Phi = light.Theta;  // the corners fall outside the cone
  ASSERT_EQ(D3D_OK, device->SetLight(0, &light));
  DrawLitSquare();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF000000u);
}

TEST_F(PixelTest, FogModes) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(0, 0, 255));
  device->SetRenderState(D3DRS_FOGSTART, FloatBits(0.f));
  device->SetRenderState(D3DRS_FOGEND, FloatBits(1.f));
  device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(2.f));
  struct {
    DWORD table, vertex;
    D3DCOLOR expected;
  } cases[] = {
      {D3DFOG_LINEAR, D3DFOG_NONE, D3DCOLOR_XRGB(128, 0, 128)},  // (end - 0.5) / (end - start)
      {D3DFOG_NONE, D3DFOG_LINEAR, D3DCOLOR_XRGB(128, 0, 128)},
      {D3DFOG_EXP, D3DFOG_NONE, D3DCOLOR_XRGB(94, 0, 161)},      // exp(-2 * 0.5)
      {D3DFOG_NONE, D3DFOG_EXP2, D3DCOLOR_XRGB(94, 0, 161)},     // exp(-(2 * 0.5)^2)
  };
  for (const auto& c : cases) {
    device->SetRenderState(D3DRS_FOGTABLEMODE, c.table);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, c.vertex);
    DrawWorldSquare(0xFFFF0000);
    std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
    ASSERT_FALSE(pixels.empty());
    EXPECT_PIXEL(pixels, 32, 32, c.expected);
  }
}

TEST_F(PixelTest, MaterialColourSourcesAndSpecular) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  device->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
  D3DMATERIAL9 material = {};
  material.Diffuse = {0.f, 0.f, 1.f, 1.f};  // replaced by the vertex colour
  material.Specular = {1.f, 1.f, 1.f, 1.f};
  material.Power = 10.f;
  device->SetMaterial(&material);
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = {1.f, 1.f, 1.f, 1.f};
  light.Specular = {0.f, 0.5f, 0.f, 1.f};
  light.Direction = {0.f, 0.f, 1.f};
  device->SetLight(0, &light);
  device->LightEnable(0, TRUE);
  struct {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
  } quad[4] = {{-1, 1, 0.5f, 0, 0, -1, 0xFF800000},
               {1, 1, 0.5f, 0, 0, -1, 0xFF800000},
               {-1, -1, 0.5f, 0, 0, -1, 0xFF800000},
               {1, -1, 0.5f, 0, 0, -1, 0xFF800000}};
  device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE);
  device->BeginScene();
  EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]));
  device->EndScene();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  // Diffuse from the vertex, specular added after the stages.
  EXPECT_PIXEL(pixels, 32, 32, D3DCOLOR_XRGB(128, 128, 0));

  device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  device->BeginScene();
  device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
  device->EndScene();
  pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 32, 32, D3DCOLOR_XRGB(0, 0, 255));
}

TEST_F(PixelTest, FlatShadingTakesTheFirstVertexAndWriteMaskKeepsChannels) {
  device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  SColorVertex triangle[3] = {{0, 0, 0.5f, 1, 0xFFFF0000}, {64, 0, 0.5f, 1, 0xFF00FF00}, {0, 64, 0.5f, 1, 0xFF0000FF}};
  device->SetFVF(kColorVertexFVF);
  device->BeginScene();
  device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(SColorVertex));
  device->EndScene();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 40, 4, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 4, 40, 0xFFFF0000u);

  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.f, 0);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED);
  DrawRect(0, 0, 64, 64, 0xFFFFFFFF);
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFFFF00FFu);
}

TEST_F(PixelTest, DeclarationOverTwoStreamsWithARepeatedColour) {
  const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                        {1, 0, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                        D3DDECL_END()};
  IDirect3DVertexDeclaration9* declaration = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateVertexDeclaration(elements, &declaration));
  IDirect3DVertexBuffer9* positions = nullptr;
  IDirect3DVertexBuffer9* colours = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(4 * 16, 0, 0, D3DPOOL_MANAGED, &positions, nullptr));
  ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(4, 0, 0, D3DPOOL_MANAGED, &colours, nullptr));
  ASSERT_EQ(D3D_OK, device->CreateIndexBuffer(6 * 4, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &indices, nullptr));
  const float corners[4][4] = {{0, 0, 0.5f, 1}, {32, 0, 0.5f, 1}, {0, 32, 0.5f, 1}, {32, 32, 0.5f, 1}};
  const D3DCOLOR colour = 0xFF00FF00;
  const uint32_t order[6] = {0, 1, 2, 2, 1, 3};
  void* data = nullptr;
  positions->Lock(0, 0, &data, 0);
  memcpy(data, corners, sizeof corners);
  positions->Unlock();
  colours->Lock(0, 0, &data, 0);
  memcpy(data, &colour, sizeof colour);
  colours->Unlock();
  indices->Lock(0, 0, &data, 0);
  memcpy(data, order, sizeof order);
  indices->Unlock();
  device->SetVertexDeclaration(declaration);
  device->SetStreamSource(0, positions, 0, 16);
  device->SetStreamSource(1, colours, 0, 0);
  device->SetIndices(indices);
  device->BeginScene();
  EXPECT_EQ(D3D_OK, device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2));
  device->EndScene();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 4, 4, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 28, 28, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 40, 40, 0xFF000000u);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetStreamSource(1, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetVertexDeclaration(nullptr);
  declaration->Release();
  indices->Release();
  colours->Release();
  positions->Release();
}

TEST_F(PixelTest, UserClipPlaneCutsInWorldSpace) {
  UseIdentityTransforms();
  D3DMATRIX shift = kIdentity;
  shift._41 = 0.5f;  // the square covers screen x -0.5..1.5 and the plane x >= 0 lands at 0.5
  device->SetTransform(D3DTS_VIEW, &shift);
  device->SetTransform(D3DTS_WORLD, &kIdentity);
  const float plane[4] = {1.f, 0.f, 0.f, 0.f};
  ASSERT_EQ(D3D_OK, device->SetClipPlane(0, plane));
  device->SetRenderState(D3DRS_CLIPPLANEENABLE, D3DCLIPPLANE0);
  DrawWorldSquare(0xFFFF0000);
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 50, 32, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 60, 32, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 45, 32, 0xFF000000u);
  EXPECT_PIXEL(pixels, 20, 32, 0xFF000000u);
}

TEST_F(PixelTest, PreTransformedFogComesFromSpecularAlpha) {
  device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device->SetRenderState(D3DRS_FOGCOLOR, D3DCOLOR_XRGB(0, 0, 255));
  struct {
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
  } quad[4] = {{0, 0, 0.5f, 1, 0xFFFF0000, 0x80000000},
               {16, 0, 0.5f, 1, 0xFFFF0000, 0x80000000},
               {0, 16, 0.5f, 1, 0xFFFF0000, 0x80000000},
               {16, 16, 0.5f, 1, 0xFFFF0000, 0x80000000}};
  device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR);
  device->BeginScene();
  EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]));
  device->EndScene();
  EXPECT_PIXEL(device.ReadBackBuffer(), 8, 8, D3DCOLOR_XRGB(128, 0, 127));
}

TEST_F(PixelTest, GeneratedCoordinatesThroughATextureTransform) {
  UseIdentityTransforms();
  IDirect3DTexture9* texture = MakeQuadrantTexture();
  ASSERT_NE(texture, nullptr);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  // Camera-space x and y in -1..1 become u and v in 0..1, v growing downwards.
  D3DMATRIX scale = kIdentity;
  scale._11 = 0.5f;
  scale._22 = -0.5f;
  scale._41 = 0.5f;
  scale._42 = 0.5f;
  device->SetTransform(D3DTS_TEXTURE0, &scale);
  DrawWorldSquare(0xFFFFFFFF);
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 48, 16, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 16, 48, 0xFF0000FFu);
  EXPECT_PIXEL(pixels, 48, 48, 0xFFFFFFFFu);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(PixelTest, CombinerOperationsAndArgumentModifiers) {
  const D3DCOLOR diffuse = D3DCOLOR_ARGB(128, 64, 128, 191);
  device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(191, 128, 64, 255));
  struct {
    DWORD op, arg1, arg2, arg0;
    D3DCOLOR expected;
  } cases[] = {
      {D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(64, 128, 191)},
      {D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(128, 64, 255)},
      {D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(32, 32, 191)},
      {D3DTOP_MODULATE2X, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(64, 64, 255)},
      {D3DTOP_MODULATE4X, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(128, 128, 255)},
      {D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(192, 192, 255)},
      {D3DTOP_ADDSIGNED, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(64, 64, 255)},
      {D3DTOP_ADDSIGNED2X, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(129, 129, 255)},
      {D3DTOP_SUBTRACT, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(0, 64, 0)},
      {D3DTOP_ADDSMOOTH, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(160, 160, 255)},
      {D3DTOP_BLENDDIFFUSEALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(96, 96, 223)},
      {D3DTOP_BLENDFACTORALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(80, 112, 207)},
      {D3DTOP_BLENDCURRENTALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(96, 96, 223)},
      {D3DTOP_MODULATEALPHA_ADDCOLOR, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(128, 160, 255)},
      {D3DTOP_MODULATECOLOR_ADDALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(160, 160, 255)},
      {D3DTOP_MODULATEINVALPHA_ADDCOLOR, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(128, 160, 255)},
      {D3DTOP_MODULATEINVCOLOR_ADDALPHA, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(224, 160, 192)},
      {D3DTOP_DOTPRODUCT3, D3DTA_DIFFUSE, D3DTA_TFACTOR, 0, D3DCOLOR_XRGB(126, 126, 126)},
      {D3DTOP_MULTIPLYADD, D3DTA_TFACTOR, D3DTA_TFACTOR, D3DTA_DIFFUSE, D3DCOLOR_XRGB(128, 144, 255)},
      {D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_DIFFUSE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DCOLOR_XRGB(175, 95, 207)},
      {D3DTOP_SELECTARG1, D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE, 0, 0, D3DCOLOR_XRGB(191, 191, 191)},
      {D3DTOP_SELECTARG1, D3DTA_TFACTOR | D3DTA_COMPLEMENT, 0, 0, D3DCOLOR_XRGB(127, 191, 0)},
  };
  for (const auto& c : cases) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg1);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg2);
    device->SetTextureStageState(0, D3DTSS_COLORARG0, c.arg0);
    DrawRect(0, 0, 8, 8, diffuse);
    std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
    ASSERT_FALSE(pixels.empty());
    EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 4, 4), c.expected))
        << "op " << c.op << ": " << std::hex << CD3DTestDevice::At(pixels, 4, 4) << " expected " << c.expected;
  }
}

TEST_F(PixelTest, StageReadingAMissingTexturePassesItsInputThrough) {
  // The default stage 0 (texture times diffuse, texture alpha) with no texture bound.
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.f, 0);
  DrawRect(0, 0, 8, 8, D3DCOLOR_ARGB(128, 255, 0, 0));
  EXPECT_PIXEL(device.ReadBackBuffer(), 4, 4, D3DCOLOR_XRGB(128, 0, 127));
}

TEST_F(PixelTest, TempRegisterCarriesAStageAcross) {
  // Stage 0 puts the factor in TEMP, stage 1 passes the diffuse, stage 2 adds TEMP back.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_XRGB(0, 0, 128));
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
  device->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_TEMP);
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(2, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device->SetTextureStageState(2, D3DTSS_COLORARG2, D3DTA_TEMP);
  DrawRect(0, 0, 8, 8, D3DCOLOR_XRGB(128, 0, 0));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 4, 4, D3DCOLOR_XRGB(128, 0, 128));
}

TEST_F(PixelTest, SamplerAddressModesAndMipLevels) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateTexture(2, 2, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr));
  D3DLOCKED_RECT locked;
  const D3DCOLOR top[2][2] = {{0xFFFF0000, 0xFFFF0000}, {0xFFFF0000, 0xFFFF0000}};
  ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
  for (int y = 0; y < 2; ++y) memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, top[y], 8);
  texture->UnlockRect(0);
  ASSERT_EQ(D3D_OK, texture->LockRect(1, &locked, nullptr, 0));
  *static_cast<D3DCOLOR*>(locked.pBits) = 0xFF00FF00;
  texture->UnlockRect(1);
  device->SetTexture(0, texture);
  device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
  DrawTexturedScreen();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFFFF0000u);
  // The largest level allowed is level 1.
  device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 1);
  DrawTexturedScreen();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, 0xFF00FF00u);
  device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);

  // Coordinates from -1 to 2: the middle third is the texture, the rest follows the mode.
  const float w = CD3DTestDevice::kWidth, h = CD3DTestDevice::kHeight;
  STexturedVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, -1, -1},
                             {w, 0, 0.5f, 1, 0xFFFFFFFF, 2, -1},
                             {0, h, 0.5f, 1, 0xFFFFFFFF, -1, 2},
                             {w, h, 0.5f, 1, 0xFFFFFFFF, 2, 2}};
  struct {
    DWORD mode;
    D3DCOLOR outside;
  } cases[] = {{D3DTADDRESS_WRAP, 0xFFFF0000}, {D3DTADDRESS_CLAMP, 0xFFFF0000}, {D3DTADDRESS_BORDER, 0xFF0000FF}};
  device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, 0xFF0000FF);
  device->SetFVF(kTexturedVertexFVF);
  for (const auto& c : cases) {
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, c.mode);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, c.mode);
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(STexturedVertex));
    device->EndScene();
    std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
    ASSERT_FALSE(pixels.empty());
    EXPECT_PIXEL(pixels, 32, 32, 0xFFFF0000u);
    EXPECT_PIXEL(pixels, 4, 4, c.outside);
  }
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(PixelTest, ProjectedTextureTransformDividesByTheLastCount) {
  UseIdentityTransforms();
  IDirect3DTexture9* texture = MakeQuadrantTexture();
  ASSERT_NE(texture, nullptr);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEPOSITION);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3 | D3DTTFF_PROJECTED);
  // (u, v, q) = ((0.5x + 0.5) z, (0.5 - 0.5y) z, z) at depth z = 0.5.
  D3DMATRIX projective = {};
  projective._11 = 0.25f;
  projective._31 = 0.5f;
  projective._22 = -0.25f;
  projective._32 = 0.5f;
  projective._33 = 1.f;
  device->SetTransform(D3DTS_TEXTURE0, &projective);
  DrawWorldSquare(0xFFFFFFFF);
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 48, 16, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 16, 48, 0xFF0000FFu);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(PixelTest, TwoLightsAddUp) {
  UseIdentityTransforms();
  device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL9 material = {};
  material.Diffuse = {1.f, 1.f, 1.f, 1.f};
  device->SetMaterial(&material);
  D3DLIGHT9 light = {};
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Direction = {0.f, 0.f, 1.f};
  light.Diffuse = {0.5f, 0.f, 0.f, 1.f};
  device->SetLight(2, &light);
  light.Diffuse = {0.f, 0.25f, 0.f, 1.f};
  device->SetLight(5, &light);
  device->LightEnable(2, TRUE);
  device->LightEnable(5, TRUE);
  DrawLitSquare();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, D3DCOLOR_XRGB(128, 64, 0));
  device->LightEnable(2, FALSE);
  DrawLitSquare();
  EXPECT_PIXEL(device.ReadBackBuffer(), 32, 32, D3DCOLOR_XRGB(0, 64, 0));
}

TEST_F(PixelTest, ClearOfRectanglesInsideTheViewport) {
  const D3DVIEWPORT9 viewport = {0, 0, 32, 64, 0.f, 1.f};
  device->SetViewport(&viewport);
  const D3DRECT rects[2] = {{0, 0, 8, 8}, {24, 24, 48, 40}};
  ASSERT_EQ(D3D_OK, device->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.f, 0));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 4, 4, 0xFFFFFFFFu);
  EXPECT_PIXEL(pixels, 28, 30, 0xFFFFFFFFu);
  EXPECT_PIXEL(pixels, 36, 30, 0xFF000000u);  // outside the viewport
  EXPECT_PIXEL(pixels, 12, 4, 0xFF000000u);
  EXPECT_EQ(D3DERR_INVALIDCALL, device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.f, 0));
}

TEST_F(PixelTest, TexturedQuadModulatesWithDiffuseAndASecondStage) {
  IDirect3DTexture9* texture = MakeQuadrantTexture();
  ASSERT_NE(texture, nullptr);
  device->SetTexture(0, texture);
  DrawTexturedScreen(D3DCOLOR_XRGB(128, 128, 128));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, D3DCOLOR_XRGB(128, 0, 0));
  EXPECT_PIXEL(pixels, 48, 16, D3DCOLOR_XRGB(0, 128, 0));
  EXPECT_PIXEL(pixels, 16, 48, D3DCOLOR_XRGB(0, 0, 128));
  EXPECT_PIXEL(pixels, 48, 48, D3DCOLOR_XRGB(128, 128, 128));

  // Stage 1 adds the texture factor to what stage 0 made.
  device->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_XRGB(0, 32, 64));
  device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
  device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
  device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
  DrawTexturedScreen(D3DCOLOR_XRGB(128, 128, 128));
  pixels = device.ReadBackBuffer();
  EXPECT_PIXEL(pixels, 16, 16, D3DCOLOR_XRGB(128, 32, 64));
  EXPECT_PIXEL(pixels, 48, 48, D3DCOLOR_XRGB(128, 160, 192));
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(PixelTest, AlphaBlendingAndAlphaTest) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.f, 0);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  DrawRect(0, 0, 32, 32, D3DCOLOR_ARGB(128, 255, 0, 0));
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  device->SetRenderState(D3DRS_ALPHAREF, 0x80);
  device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  DrawRect(32, 0, 64, 32, D3DCOLOR_ARGB(0x40, 0, 255, 0));  // rejected
  DrawRect(0, 32, 64, 64, D3DCOLOR_ARGB(0xC0, 0, 255, 0));  // kept
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, D3DCOLOR_XRGB(128, 0, 127));
  EXPECT_PIXEL(pixels, 48, 16, D3DCOLOR_XRGB(0, 0, 255));
  EXPECT_PIXEL(pixels, 48, 48, D3DCOLOR_XRGB(0, 255, 0));
}

TEST_F(PixelTest, DepthTestKeepsTheNearerSurface) {
  DrawRect(0, 0, 32, 64, 0xFFFF0000, 0.3f);
  DrawRect(0, 0, 64, 64, 0xFF00FF00, 0.7f);
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 32, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 48, 32, 0xFF00FF00u);
}

TEST_F(PixelTest, TwoSidedStencilCountsBackAndFrontFaces) {
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, TRUE);
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_DECR);
  device->SetRenderState(D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS);
  device->SetRenderState(D3DRS_CCW_STENCILPASS, D3DSTENCILOP_INCR);
  // Counter-clockwise (back) twice on the left, clockwise (front) once on the right.
  SColorVertex back[3] = {{0, 0, 0.5f, 1, 0}, {0, 64, 0.5f, 1, 0}, {32, 0, 0.5f, 1, 0}};
  SColorVertex back2[3] = {{32, 0, 0.5f, 1, 0}, {0, 64, 0.5f, 1, 0}, {32, 64, 0.5f, 1, 0}};
  device->SetFVF(kColorVertexFVF);
  ASSERT_EQ(D3D_OK, device->BeginScene());
  for (int pass = 0; pass < 2; ++pass) {
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, back, sizeof(SColorVertex));
    device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, back2, sizeof(SColorVertex));
  }
  device->EndScene();
  DrawRect(32, 0, 64, 64, 0);
  // Show the counts: green where 2, red where it wrapped below 0.
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
  device->SetRenderState(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
  device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
  device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  device->SetRenderState(D3DRS_STENCILREF, 2);
  DrawRect(0, 0, 64, 64, 0xFF00FF00);
  device->SetRenderState(D3DRS_STENCILREF, 255);
  DrawRect(0, 0, 64, 64, 0xFFFF0000);
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 32, 0xFF00FF00u);
  EXPECT_PIXEL(pixels, 48, 32, 0xFFFF0000u);
}

TEST_F(PixelTest, RenderedTextureReadsTheSameWayUp) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                          &target, nullptr));
  IDirect3DSurface9* surface = nullptr;
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(D3D_OK, target->GetSurfaceLevel(0, &surface));
  ASSERT_EQ(D3D_OK, device->GetRenderTarget(0, &backBuffer));
  ASSERT_EQ(D3D_OK, device->SetRenderTarget(0, surface));
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.f, 0);
  DrawRect(0, 0, 64, 16, 0xFFFF0000);  // a red band along the top
  ASSERT_EQ(D3D_OK, device->SetRenderTarget(0, backBuffer));
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.f, 0);
  device->SetTexture(0, target);
  DrawTexturedScreen();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 32, 4, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 32, 60, 0xFF000000u);
  device->SetTexture(0, nullptr);
  surface->Release();
  backBuffer->Release();
  target->Release();
}

TEST_F(PixelTest, StretchRectKeepsTheTopAtTheTop) {
  IDirect3DSurface9* source = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateRenderTarget(16, 16, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &source,
                                               nullptr));
  ASSERT_EQ(D3D_OK, device->ColorFill(source, nullptr, 0xFF0000FF));
  const RECT top = {0, 0, 16, 4};
  ASSERT_EQ(D3D_OK, device->ColorFill(source, &top, 0xFFFF0000));
  IDirect3DSurface9* backBuffer = nullptr;
  ASSERT_EQ(D3D_OK, device->GetRenderTarget(0, &backBuffer));
  const RECT destination = {0, 0, 32, 32};
  ASSERT_EQ(D3D_OK, device->StretchRect(source, nullptr, backBuffer, &destination, D3DTEXF_POINT));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 2, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 16, 20, 0xFF0000FFu);
  EXPECT_PIXEL(pixels, 40, 40, 0xFF000000u);
  const RECT outside = {0, 0, 17, 16};
  EXPECT_EQ(D3DERR_INVALIDCALL, device->StretchRect(source, &outside, backBuffer, nullptr, D3DTEXF_POINT));
  backBuffer->Release();
  source->Release();
}

TEST_F(PixelTest, CubeTextureLookupPicksTheFaceAndTheTexel) {
  IDirect3DCubeTexture9* cube = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateCubeTexture(2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr));
  const D3DCOLOR faces[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0, 0xFF00FFFF};
  // +Z holds quadrants: u runs along +x and v along -y, as on Direct3D.
  const D3DCOLOR positiveZ[2][2] = {{0xFFFF0000, 0xFF00FF00}, {0xFF0000FF, 0xFFFFFFFF}};
  for (int face = 0; face < 6; ++face) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, cube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), 0, &locked, nullptr, 0));
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x)
        reinterpret_cast<D3DCOLOR*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
            face == D3DCUBEMAP_FACE_POSITIVE_Z ? positiveZ[y][x] : faces[face];
    cube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), 0);
  }
  device->SetTexture(0, cube);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetFVF(kCubeVertexFVF);
  auto draw = [&](float l, float t, float r, float b, float s, float u, float q) {
    SCubeVertex quad[4] = {{l, t, 0.5f, 1, s, u, q}, {r, t, 0.5f, 1, s, u, q}, {l, b, 0.5f, 1, s, u, q},
                           {r, b, 0.5f, 1, s, u, q}};
    device->BeginScene();
    EXPECT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(SCubeVertex)));
    device->EndScene();
  };
  draw(0, 0, 32, 64, 0, 1, 0);           // +Y
  draw(32, 0, 64, 64, 0, 0, -1);         // -Z
  draw(0, 0, 16, 16, -0.5f, 0.5f, 1);    // +Z, top left
  draw(48, 48, 64, 64, 0.5f, -0.5f, 1);  // +Z, bottom right
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 32, 0xFF0000FFu);
  EXPECT_PIXEL(pixels, 40, 32, 0xFF00FFFFu);
  EXPECT_PIXEL(pixels, 8, 8, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 56, 56, 0xFFFFFFFFu);
  device->SetTexture(0, nullptr);
  cube->Release();
}

TEST_F(PixelTest, TextureFormatsSampleAsDirect3DReadsThem) {
  struct {
    D3DFORMAT format;
    uint64_t texel;  // little-endian bytes of one texel
    UINT size;
    D3DCOLOR color;  // x8r8g8b8 of what the stage sees
    BYTE alpha;
  } cases[] = {
      {D3DFMT_A8R8G8B8, 0x80FF4020, 4, D3DCOLOR_XRGB(0xFF, 0x40, 0x20), 0x80},
      {D3DFMT_X8R8G8B8, 0x00FF4020, 4, D3DCOLOR_XRGB(0xFF, 0x40, 0x20), 0xFF},
      {D3DFMT_A8B8G8R8, 0x80204080, 4, D3DCOLOR_XRGB(0x80, 0x40, 0x20), 0x80},
      {D3DFMT_R5G6B5, 0xF81F, 2, D3DCOLOR_XRGB(0xFF, 0x00, 0xFF), 0xFF},
      {D3DFMT_A1R5G5B5, 0x7C00, 2, D3DCOLOR_XRGB(0xFF, 0x00, 0x00), 0x00},
      {D3DFMT_X1R5G5B5, 0x03E0, 2, D3DCOLOR_XRGB(0x00, 0xFF, 0x00), 0xFF},
      {D3DFMT_A4R4G4B4, 0x8F40, 2, D3DCOLOR_XRGB(0xFF, 0x44, 0x00), 0x88},
      {D3DFMT_L8, 0x80, 1, D3DCOLOR_XRGB(0x80, 0x80, 0x80), 0xFF},
      {D3DFMT_A8, 0x80, 1, D3DCOLOR_XRGB(0x00, 0x00, 0x00), 0x80},
      {D3DFMT_A8L8, 0x8040, 2, D3DCOLOR_XRGB(0x40, 0x40, 0x40), 0x80},
      {D3DFMT_G16R16, 0xFFFF0000, 4, D3DCOLOR_XRGB(0x00, 0xFF, 0xFF), 0xFF},
      {D3DFMT_R32F, 0x3F000000, 4, D3DCOLOR_XRGB(0x80, 0xFF, 0xFF), 0xFF},  // 0.5f
  };
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  for (const auto& c : cases) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr)) << c.format;
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
    memcpy(locked.pBits, &c.texel, c.size);
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawTexturedScreen();
    const D3DCOLOR color = CD3DTestDevice::At(device.ReadBackBuffer(), 8, 8);
    EXPECT_TRUE(ColorNear(color, c.color)) << "format " << c.format << ": " << std::hex << color;
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE);
    DrawTexturedScreen();
    const D3DCOLOR alpha = CD3DTestDevice::At(device.ReadBackBuffer(), 8, 8);
    EXPECT_TRUE(ColorNear(alpha, D3DCOLOR_XRGB(c.alpha, c.alpha, c.alpha))) << "format " << c.format << " alpha: "
                                                                           << std::hex << alpha;
    device->SetTexture(0, nullptr);
    texture->Release();
  }
}

TEST_F(PixelTest, RenderTargetDataComesBackInTheTargetsFormat) {
  struct {
    D3DFORMAT format;
    D3DCOLOR clear;
    uint64_t texel;
    UINT size;
  } cases[] = {
      {D3DFMT_A8R8G8B8, 0x80FF4020, 0x80FF4020, 4},
      {D3DFMT_R5G6B5, 0xFF00FF00, 0x07E0, 2},
      {D3DFMT_A16B16G16R16F, 0xFFFF0000, 0x3C00000000003C00ull, 8},  // halves r=1, g=0, b=0, a=1
      {D3DFMT_R32F, 0xFF800000, 0x3F008081, 4},                          // 128 / 255 in red
  };
  for (const auto& c : cases) {
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(D3D_OK, device->CreateRenderTarget(4, 4, c.format, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr));
    ASSERT_EQ(D3D_OK, device->CreateOffscreenPlainSurface(4, 4, c.format, D3DPOOL_SYSTEMMEM, &copy, nullptr));
    ASSERT_EQ(D3D_OK, device->ColorFill(target, nullptr, c.clear));
    ASSERT_EQ(D3D_OK, device->GetRenderTargetData(target, copy));
    D3DLOCKED_RECT locked;
    ASSERT_EQ(D3D_OK, copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    uint64_t texel = 0;
    memcpy(&texel, static_cast<BYTE*>(locked.pBits) + 3 * locked.Pitch + 3 * c.size, c.size);
    copy->UnlockRect();
    EXPECT_EQ(c.texel, texel) << "format " << c.format << ": " << std::hex << texel;
    copy->Release();
    target->Release();
  }
}

TEST_F(PixelTest, Dxt1TextureDecodesRightWayUp) {
  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture, nullptr));
  D3DLOCKED_RECT locked;
  ASSERT_EQ(D3D_OK, texture->LockRect(0, &locked, nullptr, 0));
  EXPECT_EQ(8, locked.Pitch);
  // Colour 0 red, colour 1 blue; the top two rows use colour 0, the bottom two colour 1.
  const BYTE block[8] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x55, 0x55};
  memcpy(locked.pBits, block, sizeof block);
  texture->UnlockRect(0);
  device->SetTexture(0, texture);
  DrawTexturedScreen();
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 32, 8, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 32, 56, 0xFF0000FFu);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(PixelTest, LostDeviceRecoversWithResetAndManagedTextureKeepsItsPixels) {
  IDirect3DTexture9* texture = MakeQuadrantTexture(D3DPOOL_MANAGED);
  ASSERT_NE(texture, nullptr);
  IDirect3DVertexBuffer9* buffer = nullptr;
  ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(4 * sizeof(STexturedVertex), D3DUSAGE_WRITEONLY, kTexturedVertexFVF,
                                               D3DPOOL_DEFAULT, &buffer, nullptr));
  ZkTestD3DLoseDevice();
  EXPECT_EQ(D3DERR_DEVICELOST, device->Present(nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(D3DERR_DEVICENOTRESET, device->TestCooperativeLevel());
  // A default-pool buffer still alive blocks the reset.
  EXPECT_EQ(D3DERR_INVALIDCALL, device->Reset(&device.parameters()));
  buffer->Release();
  ASSERT_EQ(D3D_OK, device->Reset(&device.parameters()));
  EXPECT_EQ(D3D_OK, device->TestCooperativeLevel());
  // Re-create the default-pool buffer and draw the managed texture through it.
  ASSERT_EQ(D3D_OK, device->CreateVertexBuffer(4 * sizeof(STexturedVertex), D3DUSAGE_WRITEONLY, kTexturedVertexFVF,
                                               D3DPOOL_DEFAULT, &buffer, nullptr));
  void* data = nullptr;
  ASSERT_EQ(D3D_OK, buffer->Lock(0, 0, &data, D3DLOCK_DISCARD));
  const STexturedVertex quad[4] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                   {64, 0, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                                   {0, 64, 0.5f, 1, 0xFFFFFFFF, 0, 1},
                                   {64, 64, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
  memcpy(data, quad, sizeof quad);
  buffer->Unlock();
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.f, 0);
  device->SetTexture(0, texture);
  device->SetFVF(kTexturedVertexFVF);
  device->SetStreamSource(0, buffer, 0, sizeof(STexturedVertex));
  device->BeginScene();
  EXPECT_EQ(D3D_OK, device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2));
  device->EndScene();
  EXPECT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_PIXEL(pixels, 16, 16, 0xFFFF0000u);
  EXPECT_PIXEL(pixels, 48, 48, 0xFFFFFFFFu);
  device->SetTexture(0, nullptr);
  buffer->Release();
  texture->Release();
}

}  // namespace
