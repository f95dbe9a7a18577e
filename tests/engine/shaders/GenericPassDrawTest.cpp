// The coded rendering path on the GL back end, offscreen: a lit, fogged, textured cube and a
// blended box in front of it, read back at probe pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#include "GenericPassScene.h"

namespace {

// Within `tolerance` on each of red, green and blue.
::testing::AssertionResult Near(D3DCOLOR actual, int red, int green, int blue, int tolerance = 16) {
  const int got[3] = {int((actual >> 16) & 0xFF), int((actual >> 8) & 0xFF), int(actual & 0xFF)};
  const int want[3] = {red, green, blue};
  for (int i = 0; i < 3; ++i)
    if (std::abs(got[i] - want[i]) > tolerance)
      return ::testing::AssertionFailure()
             << std::hex << "got 0x" << (actual & 0xFFFFFF) << std::dec << ", want (" << red << ", "
             << green << ", " << blue << ")";
  return ::testing::AssertionSuccess();
}

class GenericPassDrawTest : public ::testing::Test {
 protected:
  GenericPassDrawTest() {
    // A quarter of white ambient and a half-bright light straight onto the faces the camera
    // sees: lit surfaces show three quarters of their colour.
    world.light->GetD3DLightProperties()->Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    // An orange cube whose front face is 4.5 in front of the camera, over the middle 23 pixels.
    world.AddBox("cube", CVector3(0.0f, 0.0f, 5.0f), 0.5f, world.SolidTexture("orange", 0xFFFF8000));
  }
  std::vector<D3DCOLOR> Draw() {
    world.DrawFrame(0x000000FF);
    EXPECT_EQ(world.banks.bench.Errors(), "");
    return world.banks.bench.device.ReadBackBuffer();
  }

  GenericPassScene world{ZK_D3D_BACKEND_GL};
};

TEST_F(GenericPassDrawTest, ALitTexturedCubeIsTintedByLinearFog) {
  std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 2, 2), 0, 0, 255)) << "background";
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 32, 32), 191, 96, 0)) << "lit cube";

  // White linear fog from 0 to 10: the face at 4.5 keeps 55 % of its colour.
  world.scene->SetFogType(3);
  world.scene->SetFogMinDistance(0.0f);
  world.scene->SetFogMaxDistnace(10.0f);
  world.scene->SetFogColor(0xFFFFFF);
  pixels = Draw();
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 32, 32), 220, 168, 115)) << "fogged cube";
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 2, 2), 0, 0, 255)) << "fog leaves the clear alone";

  // Fog type 2 draws without fog.
  world.scene->SetFogType(2);
  pixels = Draw();
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 32, 32), 191, 96, 0)) << "fog type 2";
}

TEST_F(GenericPassDrawTest, ABlendedBoxIsMixedHalfAndHalfOverTheCube) {
  // Blended only (mode 1), untextured, a lit white at half alpha, 2.8 in front of the camera.
  CMesh* glass = world.AddBox("glass", CVector3(0.0f, 0.0f, 3.0f), 0.2f, nullptr, 0.5f, 0x1);
  glass->SetIsBlended(1);
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 32, 32), 191, 143, 96)) << "glass over the cube";
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 42, 32), 191, 96, 0)) << "cube beside the glass";
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 2, 2), 0, 0, 255)) << "background";
}

TEST_F(GenericPassDrawTest, AMeshMadeAfterLoadingIsDrawnFromItsOwnVertices) {
  // A white box made in code beside the cube, never prepared: it must not draw from the cube's
  // vertex stream.
  world.AddBox("made in code", CVector3(0.9f, 0.0f, 4.0f), 0.2f, nullptr, 1.0f, 0, false);
  std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 56, 32), 191, 191, 191)) << "the box made in code";
  EXPECT_TRUE(Near(CD3DTestDevice::At(pixels, 32, 32), 191, 96, 0)) << "the cube";
}

}  // namespace
