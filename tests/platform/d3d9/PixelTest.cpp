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

class PixelTest : public ::testing::Test {
 protected:
  PixelTest() : device(ZK_D3D_BACKEND_GL) {}
  void SetUp() override { ASSERT_TRUE(device.ok()) << std::hex << device.result(); }
  CD3DTestDevice device;
};

TEST_F(PixelTest, ClearFillsTheBackBuffer) {
  ASSERT_EQ(D3D_OK, device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL,
                                  D3DCOLOR_ARGB(255, 10, 200, 30), 1.f, 0));
  std::vector<D3DCOLOR> pixels = device.ReadBackBuffer();
  ASSERT_EQ(pixels.size(), 64u * 64u);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 0, 0), D3DCOLOR_ARGB(255, 10, 200, 30)));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 63, 63), D3DCOLOR_ARGB(255, 10, 200, 30)));
}

TEST_F(PixelTest, PreTransformedQuadEdgesLandOnPixels) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.f, 0);
  // Covers pixels 8..23 in x and 4..11 in y, with Direct3D 9's integer pixel centres.
  const float l = 8.f, t = 4.f, r = 24.f, b = 12.f;
  SColorVertex quad[4] = {{l, t, 0.5f, 1.f, 0xFFFF0000},
                          {r, t, 0.5f, 1.f, 0xFFFF0000},
                          {l, b, 0.5f, 1.f, 0xFFFF0000},
                          {r, b, 0.5f, 1.f, 0xFFFF0000}};
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
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

}  // namespace
