// DXT1/3/5: decoding hand-made blocks, and round trips within the formats' error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FakeSurface.h"
#include "d3dx9.h"

namespace {

// Decodes one 4x4 block of `format` into A8R8G8B8 bytes (B, G, R, A per texel).
std::vector<BYTE> DecodeBlock(D3DFORMAT format, const std::vector<BYTE>& block) {
  CFakeSurface argb(D3DFMT_A8R8G8B8, 4, 4, D3DPOOL_SYSTEMMEM, nullptr);
  const RECT whole = {0, 0, 4, 4};
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&argb, nullptr, nullptr, block.data(), format, (UINT)block.size(), nullptr,
                                      &whole, D3DX_FILTER_NONE, 0),
            D3D_OK);
  return argb.PackedBytes();
}

// A smooth image: what block compression is made for.
std::vector<BYTE> Gradient(UINT width, UINT height) {
  std::vector<BYTE> argb;
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x)
      argb.insert(argb.end(),
                  {(BYTE)(40 + 8 * x), (BYTE)(200 - 6 * y), (BYTE)(30 + 5 * (x + y)), (BYTE)(255 - 9 * x - 3 * y)});
  return argb;
}

}  // namespace

TEST(D3DXDxt, Dxt1BlocksDecodeInFourAndThreeColourModes) {
  // Red and blue end points; texel i uses index i % 4.
  std::vector<BYTE> four = DecodeBlock(D3DFMT_DXT1, {0x00, 0xf8, 0x1f, 0x00, 0xe4, 0xe4, 0xe4, 0xe4});
  const BYTE expectedFour[4][4] = {{0, 0, 255, 255}, {255, 0, 0, 255}, {85, 0, 170, 255}, {170, 0, 85, 255}};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(std::vector<BYTE>(four.begin() + 4 * i, four.begin() + 4 * i + 4),
              std::vector<BYTE>(expectedFour[i], expectedFour[i] + 4))
        << "index " << i;
  // End points swapped: the third colour is the mean, the fourth transparent black.
  std::vector<BYTE> three = DecodeBlock(D3DFMT_DXT1, {0x1f, 0x00, 0x00, 0xf8, 0xe4, 0xe4, 0xe4, 0xe4});
  const BYTE expectedThree[4][4] = {{255, 0, 0, 255}, {0, 0, 255, 255}, {127, 0, 127, 255}, {0, 0, 0, 0}};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(std::vector<BYTE>(three.begin() + 4 * i, three.begin() + 4 * i + 4),
              std::vector<BYTE>(expectedThree[i], expectedThree[i] + 4))
        << "index " << i;
}

TEST(D3DXDxt, AlphaBlocksOfDxt3AndDxt5) {
  const std::vector<BYTE> whiteColour = {0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0};
  // DXT3: texel i has the 4-bit alpha i.
  std::vector<BYTE> dxt3 = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe};
  dxt3.insert(dxt3.end(), whiteColour.begin(), whiteColour.end());
  std::vector<BYTE> texels = DecodeBlock(D3DFMT_DXT3, dxt3);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(texels[4 * i + 3], 17 * i) << "texel " << i;

  // DXT5 with a0 > a1: eight steps; texel i uses index i % 8.
  auto dxt5 = [&](BYTE a0, BYTE a1) {
    std::vector<BYTE> block = {a0, a1, 0x88, 0xc6, 0xfa, 0x88, 0xc6, 0xfa};  // indices 0..7, twice
    block.insert(block.end(), whiteColour.begin(), whiteColour.end());
    return DecodeBlock(D3DFMT_DXT5, block);
  };
  const int eight[8] = {255, 0, 219, 182, 146, 109, 73, 36};
  texels = dxt5(255, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(texels[4 * i + 3], eight[i % 8]) << "texel " << i;
  // a0 <= a1: six steps, then 0 and 255.
  const int six[8] = {50, 250, 90, 130, 170, 210, 0, 255};
  texels = dxt5(50, 250);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(texels[4 * i + 3], six[i % 8]) << "texel " << i;
}

TEST(D3DXDxt, RoundTripsStayWithinEachFormatsError) {
  struct Case {
    D3DFORMAT format;
    // Colour: 5:6:5 end points and a line fitted through a plane of colours; alpha -1: not kept.
    int colourError, alphaError;
  } cases[] = {{D3DFMT_DXT1, 16, -1}, {D3DFMT_DXT3, 16, 9}, {D3DFMT_DXT5, 16, 6}};
  // 6 x 6: the blocks along the right and bottom edge are partly outside the image.
  for (UINT size : {8u, 6u})
    for (const Case& c : cases) {
      std::vector<BYTE> source = Gradient(size, size);
      const RECT whole = {0, 0, (LONG)size, (LONG)size};
      CFakeSurface compressed(c.format, size, size, D3DPOOL_SYSTEMMEM, nullptr);
      ASSERT_EQ(D3DXLoadSurfaceFromMemory(&compressed, nullptr, nullptr, source.data(), D3DFMT_A8R8G8B8, size * 4,
                                          nullptr, &whole, D3DX_DEFAULT, 0),
                D3D_OK);
      CFakeSurface back(D3DFMT_A8R8G8B8, size, size, D3DPOOL_SYSTEMMEM, nullptr);
      ASSERT_EQ(D3DXLoadSurfaceFromSurface(&back, nullptr, nullptr, &compressed, nullptr, nullptr, D3DX_DEFAULT, 0),
                D3D_OK);
      std::vector<BYTE> result = back.PackedBytes();
      int worstColour = 0, worstAlpha = 0;
      for (size_t i = 0; i < result.size(); ++i) {
        int error = std::abs(result[i] - source[i]);
        if (i % 4 == 3)
          worstAlpha = std::max(worstAlpha, c.alphaError < 0 ? std::abs(result[i] - 255) : error);
        else
          worstColour = std::max(worstColour, error);
      }
      EXPECT_LE(worstColour, c.colourError) << "format " << c.format << " size " << size;
      EXPECT_LE(worstAlpha, c.alphaError < 0 ? 0 : c.alphaError) << "format " << c.format << " size " << size;
    }
}

TEST(D3DXDxt, Dxt1KeepsOneBitAlpha) {
  // Left half opaque colours, right half transparent; alpha is cut at one half.
  std::vector<BYTE> source;
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x)
      source.insert(source.end(), {(BYTE)(60 * x), 100, 200, (BYTE)(x < 2 ? 255 : (x == 2 ? 127 : 0))});
  const RECT whole = {0, 0, 4, 4};
  CFakeSurface compressed(D3DFMT_DXT1, 4, 4, D3DPOOL_SYSTEMMEM, nullptr);
  ASSERT_EQ(D3DXLoadSurfaceFromMemory(&compressed, nullptr, nullptr, source.data(), D3DFMT_A8R8G8B8, 16, nullptr,
                                      &whole, D3DX_FILTER_NONE, 0),
            D3D_OK);
  std::vector<BYTE> back = DecodeBlock(D3DFMT_DXT1, compressed.PackedBytes());
  for (UINT i = 0; i < 16; ++i) {
    bool opaque = i % 4 < 2;
    EXPECT_EQ(back[4 * i + 3], opaque ? 255 : 0) << "texel " << i;
    if (opaque)
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(back[4 * i + c], source[4 * i + c], 8) << "texel " << i;
    else
      EXPECT_EQ(std::vector<BYTE>(back.begin() + 4 * i, back.begin() + 4 * i + 3), std::vector<BYTE>(3, 0));
  }
  // A block with nothing opaque.
  std::vector<BYTE> clear(64, 0);
  ASSERT_EQ(D3DXLoadSurfaceFromMemory(&compressed, nullptr, nullptr, clear.data(), D3DFMT_A8R8G8B8, 16, nullptr, &whole,
                                      D3DX_FILTER_NONE, 0),
            D3D_OK);
  EXPECT_EQ(DecodeBlock(D3DFMT_DXT1, compressed.PackedBytes()), clear);
}

TEST(D3DXDxt, CompressedRectanglesMustLieOnBlocks) {
  CFakeSurface compressed(D3DFMT_DXT5, 8, 8, D3DPOOL_SYSTEMMEM, nullptr);
  std::vector<BYTE> source = Gradient(4, 4);
  const RECT four = {0, 0, 4, 4}, offBlock = {2, 0, 6, 4}, onBlock = {4, 4, 8, 8};
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&compressed, nullptr, &offBlock, source.data(), D3DFMT_A8R8G8B8, 16, nullptr,
                                      &four, D3DX_FILTER_NONE, 0),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXLoadSurfaceFromMemory(&compressed, nullptr, &onBlock, source.data(), D3DFMT_A8R8G8B8, 16, nullptr,
                                      &four, D3DX_FILTER_NONE, 0),
            D3D_OK);
  // Only the bottom-right block was written; the rest keeps the fake's marker bytes.
  std::vector<BYTE> bytes = compressed.PackedBytes();
  EXPECT_EQ(bytes[0], 0xcd);
  EXPECT_NE(std::vector<BYTE>(bytes.begin() + 48, bytes.end()), std::vector<BYTE>(16, 0xcd));
}
