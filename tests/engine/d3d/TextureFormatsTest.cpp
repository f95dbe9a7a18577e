// The formats file textures are created in, by variant, requested format, file format and keep
// flag, and the printed format names.
#include <gtest/gtest.h>

#include <string>

#include "d3d/TextureFormats.h"

namespace {

enum Variant { kSingleDecal, kSingleNormal, kTwoDecal, kTwoNormal };

struct FormatCase {
  Variant variant;
  D3DFORMAT requested;
  D3DFORMAT file;
  UINT keep;
  D3DFORMAT expected;         // when no fatal text
  const char* fatal;          // the fatal text, or null
  bool wide = false;          // the device has A16B16G16R16 textures
};

const char kUnknownNormal[] = "UnKnown NormalMap Requested Format: %s";

TextureFormatChoice Choose(const FormatCase& c, int& fileReads) {
  const FileFormatReader file = [&] {
    ++fileReads;
    return c.file;
  };
  switch (c.variant) {
    case kSingleDecal: return ChooseSingleFileFormat(0, c.keep, D3DFMT_UNKNOWN, c.requested, file);
    case kSingleNormal: return ChooseSingleFileFormat(1, c.keep, c.requested, D3DFMT_UNKNOWN, file);
    case kTwoDecal: return ChooseTwoFileFormat(0, D3DFMT_UNKNOWN, c.requested, file, c.wide);
    case kTwoNormal: return ChooseTwoFileFormat(1, c.requested, D3DFMT_UNKNOWN, file, c.wide);
  }
  return {};
}

}  // namespace

TEST(TextureFormats, FileTexturesTakeTheFormatOfTheirRow) {
  const D3DFORMAT X8 = D3DFMT_X8R8G8B8, A8 = D3DFMT_A8R8G8B8, R5 = D3DFMT_R5G6B5, A4 = D3DFMT_A4R4G4B4,
                  G16 = D3DFMT_G16R16, A16 = D3DFMT_A16B16G16R16, V8 = D3DFMT_V8U8, L8 = D3DFMT_L8,
                  R16F = D3DFMT_R16F, DXT1 = D3DFMT_DXT1, DXT5 = D3DFMT_DXT5, UNK = D3DFMT_UNKNOWN;
  const FormatCase cases[] = {
      // single-file decals
      {kSingleDecal, X8, DXT5, 0, DXT1, nullptr},
      {kSingleDecal, X8, DXT5, 1, DXT5, nullptr},
      {kSingleDecal, X8, A4, 0, R5, nullptr},
      {kSingleDecal, X8, A8, 0, X8, nullptr},
      {kSingleDecal, DXT1, A8, 0, DXT1, nullptr},
      {kSingleDecal, R5, DXT5, 0, R5, nullptr},
      {kSingleDecal, R16F, A8, 0, R16F, nullptr},
      {kSingleDecal, A8, DXT1, 0, UNK, nullptr},
      // single-file normal maps
      {kSingleNormal, X8, DXT1, 0, DXT1, nullptr},
      {kSingleNormal, X8, R5, 0, R5, nullptr},
      {kSingleNormal, X8, A8, 0, UNK, nullptr},
      {kSingleNormal, R5, A8, 0, R5, nullptr},
      {kSingleNormal, DXT1, A8, 0, DXT1, nullptr},
      {kSingleNormal, V8, A8, 0, V8, nullptr},
      {kSingleNormal, G16, DXT5, 0, DXT1, nullptr},
      {kSingleNormal, G16, A4, 0, R5, nullptr},
      {kSingleNormal, G16, V8, 0, V8, nullptr},
      {kSingleNormal, G16, A8, 0, G16, nullptr},
      {kSingleNormal, A16, DXT5, 0, DXT1, nullptr},
      {kSingleNormal, A16, A8, 0, X8, nullptr},
      {kSingleNormal, A16, R5, 0, R5, nullptr},
      {kSingleNormal, A16, V8, 0, V8, nullptr},
      {kSingleNormal, A16, G16, 0, G16, nullptr},
      {kSingleNormal, A16, L8, 0, A16, nullptr},
      {kSingleNormal, R16F, A8, 0, R16F, nullptr},
      {kSingleNormal, A8, A8, 0, UNK, kUnknownNormal},
      {kSingleNormal, A8, DXT5, 1, DXT5, nullptr},
      // two-file normal maps with a height map
      {kTwoNormal, X8, DXT1, 0, DXT5, nullptr},
      {kTwoNormal, X8, A4, 0, A4, nullptr},
      {kTwoNormal, X8, R5, 0, A8, nullptr},
      {kTwoNormal, R5, A8, 0, A4, nullptr},
      {kTwoNormal, DXT1, A8, 0, DXT5, nullptr},
      {kTwoNormal, V8, A8, 0, A8, nullptr},
      {kTwoNormal, G16, R5, 0, A8, nullptr},
      {kTwoNormal, G16, DXT1, 0, DXT5, nullptr},
      {kTwoNormal, G16, A4, 0, A4, nullptr},
      {kTwoNormal, G16, L8, 0, A16, nullptr, true},
      {kTwoNormal, G16, L8, 0, A8, nullptr, false},
      {kTwoNormal, R16F, A8, 0, R16F, nullptr},
      {kTwoNormal, A8, A8, 0, UNK, kUnknownNormal},
      {kTwoNormal, X8, V8, 0, UNK, "Only NormaMap in RGB Format May Be Merged With HeightMap: %s"},
      {kTwoNormal, X8, G16, 0, UNK, "Only NormaMap in RGB Format May Be Merged With HeightMap: %s"},
      // two-file decals with an alpha image
      {kTwoDecal, X8, DXT5, 0, DXT5, nullptr},
      {kTwoDecal, X8, A4, 0, A4, nullptr},
      {kTwoDecal, X8, R5, 0, A8, nullptr},
      {kTwoDecal, DXT1, A8, 0, DXT5, nullptr},
      {kTwoDecal, R5, A8, 0, A4, nullptr},
      {kTwoDecal, R16F, A8, 0, R16F, nullptr},
      {kTwoDecal, A8, A8, 0, UNK, "UnKnown Decal Texture Requested Format: %s"},
  };
  for (const FormatCase& c : cases) {
    int fileReads = 0;
    const TextureFormatChoice choice = Choose(c, fileReads);
    const std::string label = "variant " + std::to_string(c.variant) + ", requested " + GetD3DFormatName(c.requested) +
                              ", file " + GetD3DFormatName(c.file) + ", keep " + std::to_string(c.keep);
    if (c.fatal != nullptr) {
      ASSERT_NE(choice.fatalText, nullptr) << label;
      EXPECT_STREQ(choice.fatalText, c.fatal) << label;
      EXPECT_STREQ(choice.fatalTitle, "Error When Loading Texture") << label;
    } else {
      EXPECT_EQ(choice.fatalText, nullptr) << label;
      EXPECT_EQ(choice.format, c.expected) << label << ": got " << GetD3DFormatName(choice.format);
    }
    // A two-file texture never drops the alpha channel.
    if (c.variant >= kTwoDecal && c.fatal == nullptr) {
      EXPECT_NE(choice.format, DXT1) << label;
      EXPECT_NE(choice.format, R5) << label;
    }
  }
}

TEST(TextureFormats, ATwoFileDecalReadsTheFileOnlyForX8R8G8B8) {
  int reads = 0;
  Choose({kTwoDecal, D3DFMT_DXT1, D3DFMT_A8R8G8B8, 0, D3DFMT_DXT5, nullptr}, reads);
  EXPECT_EQ(reads, 0);
  Choose({kTwoDecal, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, 0, D3DFMT_A8R8G8B8, nullptr}, reads);
  EXPECT_EQ(reads, 1);
}

TEST(TextureFormats, MaterialTexturesFollowTheEnumerationsTextureFormat) {
  EXPECT_EQ(ChooseMaterialFormat(D3DFMT_X8R8G8B8), D3DFMT_A8R8G8B8);
  EXPECT_EQ(ChooseMaterialFormat(D3DFMT_R5G6B5), D3DFMT_A4R4G4B4);
  EXPECT_EQ(ChooseMaterialFormat(D3DFMT_A8R8G8B8), D3DFMT_DXT5);
  EXPECT_EQ(ChooseMaterialFormat(D3DFMT_UNKNOWN), D3DFMT_DXT5);
}

TEST(TextureFormats, FormatNamesAsTheReportsPrintThem) {
  const std::pair<D3DFORMAT, const char*> cases[] = {
      {D3DFMT_UNKNOWN, "D3DFMT_UNKNOWN"},
      {D3DFMT_A1R5G5B5, "D3DFMT_UNKNOWN"},
      {static_cast<D3DFORMAT>(1), "NULL"},
      {D3DFMT_A8R8G8B8, "D3DFMT_A8R8G8B8"},
      {D3DFMT_DXT5, "D3DFMT_DXT5"},
      {D3DFMT_R8G8_B8G8, "D3DFMT_R8G8_B8G8"},
      {D3DFMT_MULTI2_ARGB8, "D3DFMT_MULTI2_ARGB8"},
      {D3DFMT_CxV8U8, "D3DFMT_CxV8U8"},
      {D3DFMT_D32_LOCKABLE, "NULL"},
      {D3DFMT_A1, "NULL"},
  };
  for (const auto& [format, name] : cases) EXPECT_STREQ(GetD3DFormatName(format), name) << int(format);
}
