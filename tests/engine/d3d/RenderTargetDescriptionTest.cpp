// Render-target descriptions read from the device settings' lists, and the format bits.
#include <gtest/gtest.h>

#include <string>

#include "RendererTestBench.h"
#include "d3d/FormatBits.h"

namespace {

class RenderTargetDescriptionTest : public ::testing::Test {
 protected:
  RenderTargetDescriptionTest() {
    plain = {0x1, SURFACE_KIND_RECTANGLE, 0, 256, 128, 0};
    cube = {0x8000, SURFACE_KIND_FLOAT_CUBE, 0, 0, 0, 512};
    other = {0x2, SURFACE_KIND_RECTANGLE + 0x100, 0, 1, 1, 1};
  }
  // The list of the kind at `list`, with slots as given.
  void Fill(int list, std::initializer_list<ConfigureGFXSurface*> slots, DWORD count) {
    SurfaceDescriptorList& descriptors = bench.settings.Descriptors[list];
    int slot = 0;
    for (ConfigureGFXSurface* description : slots) descriptors.pDescriptors[slot++] = description;
    descriptors.dwCount = count;
  }
  // The outputs start as 99 so that untouched ones show.
  HRESULT Describe(UINT kind) {
    width = height = edge = format = 99;
    return bench.renderer->GetRenderTargetDescription(kind, &width, &height, &edge, &format);
  }

  RendererTestBench bench{ZK_D3D_BACKEND_NULL};
  ConfigureGFXSurface plain, cube, other;
  UINT width, height, edge, format;
};

TEST_F(RenderTargetDescriptionTest, AnEmptyFirstSlotIsSkipped) {
  Fill(2, {nullptr, &other, &plain}, 3);  // 0x10001 is the record's third list
  EXPECT_EQ(Describe(SURFACE_KIND_RECTANGLE), 1);
  EXPECT_EQ(width, 256u);
  EXPECT_EQ(height, 128u);
  EXPECT_EQ(edge, 0u);
  EXPECT_EQ(format, 0x1u);  // the format word as it is
}

TEST_F(RenderTargetDescriptionTest, ACubeGivesItsEdgeAndNoSize) {
  Fill(1, {&cube}, 1);
  EXPECT_EQ(Describe(SURFACE_KIND_FLOAT_CUBE), 1);
  EXPECT_EQ(width, 0u);
  EXPECT_EQ(height, 0u);
  EXPECT_EQ(edge, 512u);
  EXPECT_EQ(format, 0x8000u);
}

TEST_F(RenderTargetDescriptionTest, WithoutADescriptionNothingIsWritten) {
  for (int list = 0; list < DeviceSettings::kDescriptorListCount; ++list) Fill(list, {&plain, &cube}, 2);
  // An unknown kind, a kind whose list holds no description of it, and a count past the
  // list's four slots, of which only the four are read.
  Fill(6, {&other, &other, &other, &other}, 9);
  for (UINT kind : {0x10007u, UINT{SURFACE_KIND_BACK_BUFFER}, UINT{SURFACE_KIND_DEPTH}}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(Describe(kind), 0);
    EXPECT_EQ(width + height + edge + format, 4 * 99u);
  }
}

struct FormatBitCase {
  DWORD bit;
  D3DFORMAT format;
  const char* name;
};

const FormatBitCase kFormatBits[] = {
    {0x1, D3DFMT_A8R8G8B8, "A8R8G8B8"},
    {0x100, D3DFMT_DXT5, "DXT5"},
    {0x40000, D3DFMT_A2B10G10R10, "A2B10G10R10"},
    {0x80000, D3DFMT_V8U8, "V8U8"},
    {0x4000000, D3DFMT_D24X8, "D24X8"},
    {0x8000000, D3DFMT_D16, "D16"},
};

TEST(FormatBits, EachBitOfTheTableMapsBothWays) {
  for (const FormatBitCase& c : kFormatBits) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatBitToD3DFormat(c.bit), c.format);
    EXPECT_EQ(D3DFormatToFormatBit(c.format), c.bit);
    EXPECT_STREQ(GetFormatBitName(c.bit), c.name);
  }
  EXPECT_EQ(FormatBitToD3DFormat(0x4000000), 77);
  EXPECT_EQ(D3DFormatToFormatBit(31), 0x40000u);
}

TEST(FormatBits, AnythingElseHasNoFormatBitOrName) {
  // Two bits at once, no bit, bits without a format, formats outside the table.
  for (DWORD bit : {0x3u, 0x0u, 0x100000u, 0x1000000u, 0x80000000u}) {
    SCOPED_TRACE(bit);
    EXPECT_EQ(FormatBitToD3DFormat(bit), D3DFMT_UNKNOWN);
    EXPECT_STREQ(GetFormatBitName(bit), "NULL");
  }
  for (DWORD format : {0u, 20u, 0xFFFFFFFFu}) EXPECT_EQ(D3DFormatToFormatBit(format), 0u) << format;
}

}  // namespace
