// Image information and surface loading from files the tests write: DDS, PNG, JPEG, TGA, BMP,
// read by path, from memory and from a module's resources; broken files fail cleanly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "FakeSurface.h"
#include "ImageWriter.h"
#include "TempDir.h"
#include "d3dx9.h"
#include "zkplatform/ZkResources.h"

namespace {

// A module handle of our own making, as an engine library registering its images would pass.
const HMODULE kModule = reinterpret_cast<HMODULE>(0x1000);

std::string Bytes(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// An A8R8G8B8 DDS payload of `count` texels whose bytes count up from `first`.
std::string CountingTexels(size_t count, BYTE first) {
  std::string texels;
  for (size_t i = 0; i < count * 4; ++i) texels.push_back(static_cast<char>(first + i));
  return texels;
}

struct NamedFile {
  const char* name;
  std::string bytes;
  D3DXIMAGE_INFO info;
};

std::vector<NamedFile> SampleFiles() {
  RgbaImage pattern = RgbaImage::Pattern(5, 3);
  DdsHeader mipped = DdsHeader::Argb(8, 4);
  mipped.mipMapCount = 3;
  DdsHeader cube = DdsHeader::Dxt("DXT1", 4, 4);
  cube.caps2 = 0x200 | 0xfc00;
  DdsHeader volume = DdsHeader::Argb(2, 2);
  volume.depth = 4;
  volume.caps2 = 0x200000;
  return {
      {"png", EncodePng(pattern), {5, 3, 1, 1, D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE, D3DXIFF_PNG}},
      {"jpg", EncodeJpeg(pattern, 90), {5, 3, 1, 1, D3DFMT_X8R8G8B8, D3DRTYPE_TEXTURE, D3DXIFF_JPG}},
      {"tga", EncodeTga(pattern), {5, 3, 1, 1, D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE, D3DXIFF_TGA}},
      {"bmp", EncodeBmp(pattern), {5, 3, 1, 1, D3DFMT_X8R8G8B8, D3DRTYPE_TEXTURE, D3DXIFF_BMP}},
      {"dds with mips",
       EncodeDds(mipped, CountingTexels(32 + 8 + 2, 0)),
       {8, 4, 1, 3, D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE, D3DXIFF_DDS}},
      {"dds cube",
       EncodeDds(cube, std::string(6 * 8, '\x11')),
       {4, 4, 1, 1, D3DFMT_DXT1, D3DRTYPE_CUBETEXTURE, D3DXIFF_DDS}},
      {"dds volume",
       EncodeDds(volume, CountingTexels(16, 0)),
       {2, 2, 4, 1, D3DFMT_A8R8G8B8, D3DRTYPE_VOLUMETEXTURE, D3DXIFF_DDS}},
  };
}

void ExpectInfo(const D3DXIMAGE_INFO& actual, const D3DXIMAGE_INFO& expected, const std::string& what) {
  EXPECT_EQ(actual.Width, expected.Width) << what;
  EXPECT_EQ(actual.Height, expected.Height) << what;
  EXPECT_EQ(actual.Depth, expected.Depth) << what;
  EXPECT_EQ(actual.MipLevels, expected.MipLevels) << what;
  EXPECT_EQ(actual.Format, expected.Format) << what;
  EXPECT_EQ(actual.ResourceType, expected.ResourceType) << what;
  EXPECT_EQ(actual.ImageFileFormat, expected.ImageFileFormat) << what;
}

// B, G, R, A bytes of an RgbaImage, as an A8R8G8B8 surface holds them.
std::vector<BYTE> AsArgb(const RgbaImage& image, bool opaque) {
  std::vector<BYTE> argb;
  for (size_t i = 0; i < image.rgba.size(); i += 4)
    argb.insert(argb.end(),
                {image.rgba[i + 2], image.rgba[i + 1], image.rgba[i], opaque ? (BYTE)255 : image.rgba[i + 3]});
  return argb;
}

}  // namespace

TEST(D3DXImageInfo, ReadsEveryKindByPathMemoryAndResource) {
  TempDir dir;
  for (const NamedFile& file : SampleFiles()) {
    std::string path = dir / (std::string(file.name) + ".img");
    dir.Write(std::string(file.name) + ".img", file.bytes);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK) << file.name;
    ExpectInfo(info, file.info, std::string(file.name) + " by path");
    info = {};
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(file.bytes.data(), (UINT)file.bytes.size(), &info), D3D_OK);
    ExpectInfo(info, file.info, std::string(file.name) + " in memory");
    ASSERT_TRUE(ZkRegisterResource(kModule, file.name, file.bytes.data(), file.bytes.size()));
    info = {};
    ASSERT_EQ(D3DXGetImageInfoFromResourceA(kModule, file.name, &info), D3D_OK);
    ExpectInfo(info, file.info, std::string(file.name) + " as a resource");
    ZkRemoveResource(kModule, file.name);
  }
}

TEST(D3DXImageInfo, ResourcesAreFoundByModuleAndNameInAnyCase) {
  std::string png = EncodePng(RgbaImage::Pattern(2, 2));
  ASSERT_TRUE(ZkRegisterResource(kModule, "AttenuationXY", png.data(), png.size()));
  D3DXIMAGE_INFO info;
  EXPECT_EQ(D3DXGetImageInfoFromResourceA(kModule, "ATTENUATIONXY", &info), D3D_OK);
  EXPECT_EQ(D3DXGetImageInfoFromResourceA(nullptr, "ATTENUATIONXY", &info), D3DXERR_INVALIDDATA)
      << "another module's resource";
  EXPECT_EQ(D3DXGetImageInfoFromResourceA(kModule, "SPOT", &info), D3DXERR_INVALIDDATA);
  ASSERT_TRUE(ZkRegisterResource(nullptr, MAKEINTRESOURCEA(101), png.data(), png.size()));
  EXPECT_EQ(D3DXGetImageInfoFromResourceA(nullptr, MAKEINTRESOURCEA(101), &info), D3D_OK);
  EXPECT_TRUE(ZkRemoveResource(kModule, "attenuationxy"));
  EXPECT_FALSE(ZkRemoveResource(kModule, "attenuationxy"));
  EXPECT_TRUE(ZkRemoveResource(nullptr, MAKEINTRESOURCEA(101)));
}

TEST(D3DXLoadSurface, DecodesLosslessFilesExactlyAndJpegClosely) {
  TempDir dir;
  RgbaImage pattern = RgbaImage::Pattern(5, 3);
  struct Case {
    const char* name;
    std::string bytes;
    bool opaque;
    int tolerance;
  } cases[] = {
      {"png", EncodePng(pattern), false, 0},
      {"tga", EncodeTga(pattern), false, 0},
      {"bmp", EncodeBmp(pattern), true, 0},
  };
  for (const Case& c : cases) {
    dir.Write(c.name, c.bytes);
    CFakeSurface surface(D3DFMT_A8R8G8B8, 5, 3, D3DPOOL_SYSTEMMEM, nullptr);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(
        D3DXLoadSurfaceFromFileA(&surface, nullptr, nullptr, (dir / c.name).c_str(), nullptr, D3DX_DEFAULT, 0, &info),
        D3D_OK)
        << c.name;
    EXPECT_EQ(info.Width, 5u);
    EXPECT_EQ(surface.PackedBytes(), AsArgb(pattern, c.opaque)) << c.name;
  }
  // JPEG is lossy: a flat colour comes back within a step or two.
  RgbaImage flat = RgbaImage::Solid(8, 8, 200, 100, 50, 255);
  std::string jpeg = EncodeJpeg(flat, 95);
  CFakeSurface surface(D3DFMT_X8R8G8B8, 8, 8, D3DPOOL_SYSTEMMEM, nullptr);
  ASSERT_EQ(D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, nullptr, jpeg.data(), (UINT)jpeg.size(), nullptr,
                                            D3DX_DEFAULT, 0, nullptr),
            D3D_OK);
  std::vector<BYTE> texels = surface.PackedBytes();
  for (size_t i = 0; i < texels.size(); i += 4) {
    EXPECT_NEAR(texels[i], 50, 3);
    EXPECT_NEAR(texels[i + 1], 100, 3);
    EXPECT_NEAR(texels[i + 2], 200, 3);
  }
}

TEST(D3DXLoadSurface, LoadsFromAResourceAndTheTopLevelOfADds) {
  DdsHeader mipped = DdsHeader::Argb(2, 2);
  mipped.mipMapCount = 2;
  std::string dds = EncodeDds(mipped, CountingTexels(4 + 1, 10));
  ASSERT_TRUE(ZkRegisterResource(nullptr, "FLARE", dds.data(), dds.size()));
  CFakeSurface surface(D3DFMT_A8R8G8B8, 2, 2, D3DPOOL_SYSTEMMEM, nullptr);
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(D3DXLoadSurfaceFromResourceA(&surface, nullptr, nullptr, nullptr, "flare", nullptr, D3DX_DEFAULT, 0, &info),
            D3D_OK);
  EXPECT_EQ(info.MipLevels, 2u);
  EXPECT_EQ(Bytes(surface.PackedBytes()), CountingTexels(4, 10));
  ZkRemoveResource(nullptr, "FLARE");
}

TEST(D3DXLoadSurface, FiltersScaleAsNamed) {
  // A 2 x 2 source: black, white / red, blue (B, G, R, A bytes).
  const BYTE source[] = {0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255};
  const RECT whole = {0, 0, 2, 2};
  auto load = [&](UINT width, UINT height, DWORD filter) {
    CFakeSurface surface(D3DFMT_A8R8G8B8, width, height, D3DPOOL_SYSTEMMEM, nullptr);
    EXPECT_EQ(
        D3DXLoadSurfaceFromMemory(&surface, nullptr, nullptr, source, D3DFMT_A8R8G8B8, 8, nullptr, &whole, filter, 0),
        D3D_OK);
    return surface.PackedBytes();
  };
  // Box and the default average the four texels.
  EXPECT_EQ(load(1, 1, D3DX_FILTER_BOX), (std::vector<BYTE>{128, 64, 128, 255}));
  EXPECT_EQ(load(1, 1, D3DX_DEFAULT), (std::vector<BYTE>{128, 64, 128, 255}));
  // Point takes the texel under the centre: (1, 1), blue.
  EXPECT_EQ(load(1, 1, D3DX_FILTER_POINT), (std::vector<BYTE>{255, 0, 0, 255}));
  // Linear from 2 to 4 columns: centres at -0.25, 0.25, 0.75, 1.25 of the source, clamped.
  std::vector<BYTE> linear = load(4, 2, D3DX_FILTER_LINEAR | D3DX_FILTER_DITHER);
  EXPECT_EQ(std::vector<BYTE>(linear.begin(), linear.begin() + 16),
            (std::vector<BYTE>{0, 0, 0, 255, 64, 64, 64, 255, 191, 191, 191, 255, 255, 255, 255, 255}));
  // None copies without scaling; what the source does not cover is transparent black.
  std::vector<BYTE> none = load(3, 1, D3DX_FILTER_NONE);
  EXPECT_EQ(none, (std::vector<BYTE>{0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 0}));
}

TEST(D3DXLoadSurface, SourceAndDestinationRectangles) {
  RgbaImage pattern = RgbaImage::Pattern(4, 4);
  std::string png = EncodePng(pattern);
  CFakeSurface surface(D3DFMT_A8R8G8B8, 4, 4, D3DPOOL_SYSTEMMEM, nullptr);
  std::vector<BYTE> before = surface.PackedBytes();
  const RECT source = {1, 1, 3, 3}, dest = {2, 0, 4, 2};
  ASSERT_EQ(D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, &dest, png.data(), (UINT)png.size(), &source,
                                            D3DX_FILTER_NONE, 0, nullptr),
            D3D_OK);
  std::vector<BYTE> after = surface.PackedBytes(), expected = AsArgb(pattern, false);
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) {
      bool inside = x >= 2 && y < 2;
      size_t at = (y * 4 + x) * 4, from = ((y + 1) * 4 + (x - 1)) * 4;
      for (int i = 0; i < 4; ++i)
        EXPECT_EQ(after[at + i], inside ? expected[from + i] : before[at + i]) << x << "," << y;
    }
}

// An 8 x 4 PNG whose compressed data stops inside a block that a damaged code table fills with
// copies: read on past its end as zeros, it would repeat them until memory runs out.
TEST(D3DXImageInfo, APngWhoseCompressedDataNeverEndsIsRefused) {
  const std::string endless(
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52"
      "\x00\x00\x00\x08\x00\x00\x00\x04\x08\x06\x00\x00\x00\xb3\xcd\x7e"
      "\xf0\x6f\x00\x00\x00\x49\x44\x41\x54\x78\x5e\x63\x64\x10\xf9\xdf"
      "\xa0\xca\xfa\x92\x17\x17\x66\xe1\x36\xfd\xf9\x98\x9b\xf5\x27\x2f"
      "\x2e\x4c\xb9\x74\x52\x4e\x53\x02\x00\x08\xe7\x26\xa3\xef\x45\x43"
      "\x78\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
      93);
  D3DXIMAGE_INFO info;
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(endless.data(), UINT(endless.size()), &info),
            D3DXERR_INVALIDDATA);
  const std::string good = EncodePng(RgbaImage::Pattern(8, 4));
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(good.data(), UINT(good.size()), &info), D3D_OK);
}

TEST(D3DXLoadSurface, BrokenFilesFailWithoutTouchingTheSurface) {
  std::vector<std::pair<std::string, std::string>> broken;
  for (const NamedFile& file : SampleFiles()) {
    const std::string& bytes = file.bytes;
    for (size_t keep : {size_t(0), size_t(1), size_t(3), size_t(17), bytes.size() / 2, bytes.size() - 1})
      broken.push_back({std::string(file.name) + " cut to " + std::to_string(keep), bytes.substr(0, keep)});
  }
  DdsHeader header = DdsHeader::Argb(2, 2);
  auto dds = [&](const DdsHeader& h) { return EncodeDds(h, CountingTexels(4, 0)); };
  DdsHeader h = header;
  h.headerSize = 100;
  broken.push_back({"dds header size", dds(h)});
  h = header;
  h.width = 0;
  broken.push_back({"dds width 0", dds(h)});
  h = header;
  h.width = 0x40000000;
  broken.push_back({"dds huge width", dds(h)});
  h = header;
  h.mipMapCount = 40;
  broken.push_back({"dds too many levels", dds(h)});
  h = header;
  h.bitCount = 24;
  broken.push_back({"dds unknown masks", dds(h)});
  h = DdsHeader::Dxt("DXT9", 4, 4);
  broken.push_back({"dds unknown code", EncodeDds(h, std::string(16, '\0'))});
  h = header;
  h.caps2 = 0x200 | 0x400;  // a cube with one face
  broken.push_back({"dds partial cube", dds(h)});
  std::string png = EncodePng(RgbaImage::Pattern(4, 4));
  png[png.size() / 2] ^= 0x5a;
  broken.push_back({"png with a damaged byte", png});
  broken.push_back({"text", "just some text, no image at all"});
  broken.push_back({"gif", "GIF89a\x01\x00\x01\x00\x00\x00\x00;"});

  for (const auto& [name, bytes] : broken) {
    CFakeSurface surface(D3DFMT_A8R8G8B8, 2, 2, D3DPOOL_SYSTEMMEM, nullptr);
    HRESULT hr = D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, nullptr, bytes.empty() ? "" : bytes.data(),
                                                 (UINT)bytes.size(), nullptr, D3DX_DEFAULT, 0, nullptr);
    EXPECT_TRUE(FAILED(hr)) << name;
    EXPECT_EQ(surface.LockCount(), 0) << name;
  }
  D3DXIMAGE_INFO info;
  EXPECT_EQ(D3DXGetImageInfoFromFileA("no\\such\\file.png", &info), D3DXERR_INVALIDDATA);
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory("DDS ", 4, &info), D3DXERR_INVALIDDATA);
  EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(nullptr, 4, &info), D3DERR_INVALIDCALL);
}
