// Conversions into and out of every format D3DX loads into, on two known texels.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FakeSurface.h"
#include "d3dx9.h"

namespace {

// Two A8R8G8B8 texels: (a, r, g, b) = (0x80, 0xff, 0x40, 0x00) and (0xff, 0x00, 0x80, 0xff).
const BYTE kSource[] = {0x00, 0x40, 0xff, 0x80, 0xff, 0x80, 0x00, 0xff};
const RECT kTwoTexels = {0, 0, 2, 1};

struct Conversion {
  const char* name;
  D3DFORMAT format;
  std::vector<BYTE> expected;  // both texels, little-endian
  // Largest difference per channel, in 8-bit steps, after converting back to A8R8G8B8, and
  // what the texels read back as when the format has no such channel.
  int tolerance;
  std::vector<BYTE> readBack;
};

// Worked out from the formats' layouts: 5:6:5 green 64/255 * 63 = 15.8 -> 16; luminance
// 0.2125 r + 0.7154 g + 0.0721 b; half floats 1.0 = 0x3c00, 64/255 = 0x3404, 128/255 = 0x3804.
const Conversion kConversions[] = {
    {"A8R8G8B8",
     D3DFMT_A8R8G8B8,
     {0x00, 0x40, 0xff, 0x80, 0xff, 0x80, 0x00, 0xff},
     0,
     {0x00, 0x40, 0xff, 0x80, 0xff, 0x80, 0x00, 0xff}},
    {"X8R8G8B8",
     D3DFMT_X8R8G8B8,
     {0x00, 0x40, 0xff, 0xff, 0xff, 0x80, 0x00, 0xff},
     0,
     {0x00, 0x40, 0xff, 0xff, 0xff, 0x80, 0x00, 0xff}},
    {"R5G6B5", D3DFMT_R5G6B5, {0x00, 0xfa, 0x1f, 0x04}, 4, {0x00, 0x41, 0xff, 0xff, 0xff, 0x82, 0x00, 0xff}},
    {"A4R4G4B4", D3DFMT_A4R4G4B4, {0x40, 0x8f, 0x8f, 0xf0}, 9, {0x00, 0x44, 0xff, 0x88, 0xff, 0x88, 0x00, 0xff}},
    {"L8", D3DFMT_L8, {0x64, 0x6e}, 0, {0x64, 0x64, 0x64, 0xff, 0x6e, 0x6e, 0x6e, 0xff}},
    {"A8", D3DFMT_A8, {0x80, 0xff}, 0, {0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0xff}},
    {"A2R10G10B10",
     D3DFMT_A2R10G10B10,
     {0x00, 0x04, 0xf4, 0xbf, 0xff, 0x0b, 0x08, 0xc0},
     1,
     {0x00, 0x40, 0xff, 0xaa, 0xff, 0x80, 0x00, 0xff}},
    {"V8U8", D3DFMT_V8U8, {0x7f, 0x20, 0x00, 0x40}, 2, {0xff, 0x40, 0xff, 0xff, 0xff, 0x81, 0x00, 0xff}},
    {"G16R16",
     D3DFMT_G16R16,
     {0xff, 0xff, 0x40, 0x40, 0x00, 0x00, 0x80, 0x80},
     0,
     {0xff, 0x40, 0xff, 0xff, 0xff, 0x80, 0x00, 0xff}},
    {"A16B16G16R16",
     D3DFMT_A16B16G16R16,
     {0xff, 0xff, 0x40, 0x40, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00, 0x80, 0x80, 0xff, 0xff, 0xff, 0xff},
     0,
     {0x00, 0x40, 0xff, 0x80, 0xff, 0x80, 0x00, 0xff}},
    {"R16F", D3DFMT_R16F, {0x00, 0x3c, 0x00, 0x00}, 0, {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0xff}},
    {"A16B16G16R16F",
     D3DFMT_A16B16G16R16F,
     {0x00, 0x3c, 0x04, 0x34, 0x00, 0x00, 0x04, 0x38, 0x00, 0x00, 0x04, 0x38, 0x00, 0x3c, 0x00, 0x3c},
     0,
     {0x00, 0x40, 0xff, 0x80, 0xff, 0x80, 0x00, 0xff}},
    {"R32F",
     D3DFMT_R32F,
     {0x00, 0x00, 0x80, 0x3f, 0x00, 0x00, 0x00, 0x00},
     0,
     {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0xff}},
};

}  // namespace

TEST(D3DXFormatConversion, EncodesTheKnownTexelsInEveryFormat) {
  for (const Conversion& c : kConversions) {
    CFakeSurface surface(c.format, 2, 1, D3DPOOL_SYSTEMMEM, nullptr);
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_A8R8G8B8, 8, nullptr, &kTwoTexels,
                                        D3DX_FILTER_NONE, 0),
              D3D_OK)
        << c.name;
    EXPECT_EQ(surface.PackedBytes(), c.expected) << c.name;
    EXPECT_FALSE(surface.IsLocked()) << c.name;
  }
}

TEST(D3DXFormatConversion, DecodesEveryFormatBackToArgb) {
  for (const Conversion& c : kConversions) {
    CFakeSurface source(c.format, 2, 1, D3DPOOL_SYSTEMMEM, nullptr);
    source.SetPackedBytes(c.expected);
    CFakeSurface argb(D3DFMT_A8R8G8B8, 2, 1, D3DPOOL_SYSTEMMEM, nullptr);
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(&argb, nullptr, nullptr, &source, nullptr, nullptr, D3DX_FILTER_NONE, 0),
              D3D_OK)
        << c.name;
    std::vector<BYTE> back = argb.PackedBytes();
    for (size_t i = 0; i < back.size(); ++i)
      EXPECT_NEAR(back[i], c.readBack[i], c.tolerance) << c.name << " byte " << i;
  }
}

TEST(D3DXFormatConversion, ColourKeyMakesMatchingTexelsTransparentBlack) {
  CFakeSurface surface(D3DFMT_A8R8G8B8, 2, 1, D3DPOOL_SYSTEMMEM, nullptr);
  ASSERT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_A8R8G8B8, 8, nullptr, &kTwoTexels,
                                      D3DX_FILTER_NONE, 0xff0080ff),
            D3D_OK);
  EXPECT_EQ(surface.PackedBytes(), (std::vector<BYTE>{0x00, 0x40, 0xff, 0x80, 0, 0, 0, 0}));
}

TEST(D3DXFormatConversion, RejectsBadArguments) {
  CFakeSurface surface(D3DFMT_A8R8G8B8, 2, 1, D3DPOOL_SYSTEMMEM, nullptr);
  const RECT outside = {0, 0, 3, 1}, empty = {1, 0, 1, 1};
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, &outside, kSource, D3DFMT_A8R8G8B8, 8, nullptr, &kTwoTexels,
                                      D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_A8R8G8B8, 8, nullptr, &empty,
                                      D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_A8R8G8B8, 4, nullptr, &kTwoTexels,
                                      D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL)
      << "pitch shorter than the rectangle";
  EXPECT_EQ(
      D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_A8R8G8B8, 8, nullptr, &kTwoTexels, 0x42, 0),
      D3DERR_INVALIDCALL)
      << "unknown filter";
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, kSource, D3DFMT_UYVY, 8, nullptr, &kTwoTexels,
                                      D3DX_FILTER_NONE, 0),
            E_NOTIMPL);
  EXPECT_EQ(surface.LockCount(), 0);
}
