// Textures from image files and DDS saving, against the in-memory device of tests/fakes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeCubeTexture.h"
#include "FakeDevice.h"
#include "FakeTexture.h"
#include "ImageWriter.h"
#include "TempDir.h"
#include "d3dx9.h"

namespace {

struct Released {
  void operator()(IUnknown* object) const { object->Release(); }
};

std::vector<BYTE> Counting(size_t count, BYTE first) {
  std::vector<BYTE> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<BYTE>(first + i * 7);
  return bytes;
}

std::string AsString(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

CFakeTexture* CreateFromMemory(CFakeDevice& device, const std::string& file, UINT width, UINT height, UINT levels,
                               D3DFORMAT format, D3DPOOL pool = D3DPOOL_MANAGED, DWORD usage = 0,
                               D3DXIMAGE_INFO* info = nullptr) {
  IDirect3DTexture9* texture = nullptr;
  HRESULT hr =
      D3DXCreateTextureFromFileInMemoryEx(&device, file.data(), (UINT)file.size(), width, height, levels, usage, format,
                                          pool, D3DX_DEFAULT, D3DX_DEFAULT, 0, info, nullptr, &texture);
  EXPECT_EQ(hr, D3D_OK);
  return static_cast<CFakeTexture*>(texture);
}

// Every level of a texture, packed, level after level.
std::vector<std::vector<BYTE>> Levels(CFakeTexture* texture) {
  std::vector<std::vector<BYTE>> levels;
  for (UINT i = 0; i < texture->GetLevelCount(); ++i) levels.push_back(texture->Level(i).PackedBytes());
  return levels;
}

}  // namespace

TEST(D3DXCreateTexture, DefaultSizeRoundsUpToAPowerOfTwoAndBuildsTheChain) {
  CFakeDevice device;
  std::string png = EncodePng(RgbaImage::Solid(3, 5, 10, 20, 30, 40));
  D3DXIMAGE_INFO info{};
  std::unique_ptr<CFakeTexture, Released> texture(CreateFromMemory(
      device, png, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, &info));
  ASSERT_TRUE(texture);
  ASSERT_EQ(device.TextureRequests().size(), 1u);
  const CFakeDevice::TextureRequest& request = device.TextureRequests()[0];
  EXPECT_EQ(request.width, 4u);
  EXPECT_EQ(request.height, 8u);
  EXPECT_EQ(request.levels, 0u);
  EXPECT_EQ(request.format, D3DFMT_A8R8G8B8);  // the file's
  EXPECT_EQ(info.Width, 3u);
  ASSERT_EQ(texture->GetLevelCount(), 4u);  // 4x8, 2x4, 1x2, 1x1
  for (UINT level = 0; level < 4; ++level) {
    std::vector<BYTE> texels = texture->Level(level).PackedBytes();
    for (size_t i = 0; i < texels.size(); i += 4)
      ASSERT_EQ(std::vector<BYTE>(texels.begin() + i, texels.begin() + i + 4), (std::vector<BYTE>{30, 20, 10, 40}))
          << "level " << level;
  }
  // Explicit sizes and D3DX_DEFAULT_NONPOW2 are kept.
  std::unique_ptr<CFakeTexture, Released> exact(
      CreateFromMemory(device, png, D3DX_DEFAULT_NONPOW2, 7, 1, D3DFMT_R5G6B5));
  EXPECT_EQ(device.TextureRequests()[1].width, 3u);
  EXPECT_EQ(device.TextureRequests()[1].height, 7u);
  EXPECT_EQ(exact->GetLevelCount(), 1u);
  // (10, 20, 30) in 5:6:5 is (1, 5, 4): 0x08a4.
  std::vector<BYTE> texels = exact->Level(0).PackedBytes();
  EXPECT_EQ(texels[0], 0xa4);
  EXPECT_EQ(texels[1], 0x08);
}

TEST(D3DXCreateTexture, GeneratedLevelsAverageTheLevelAbove) {
  CFakeDevice device;
  RgbaImage image = RgbaImage::Pattern(4, 4);
  std::unique_ptr<CFakeTexture, Released> texture(CreateFromMemory(device, EncodePng(image), 4, 4, 2, D3DFMT_A8R8G8B8));
  ASSERT_EQ(texture->GetLevelCount(), 2u);
  std::vector<BYTE> level1 = texture->Level(1).PackedBytes();
  for (UINT y = 0; y < 2; ++y)
    for (UINT x = 0; x < 2; ++x) {
      const int channelOf[4] = {2, 1, 0, 3};  // B, G, R, A bytes from R, G, B, A
      for (int c = 0; c < 4; ++c) {
        int sum = 0;
        for (UINT dy = 0; dy < 2; ++dy)
          for (UINT dx = 0; dx < 2; ++dx) sum += image.At(2 * x + dx, 2 * y + dy)[channelOf[c]];
        EXPECT_NEAR(level1[(y * 2 + x) * 4 + c], sum / 4.0, 0.5) << x << "," << y << " byte " << c;
      }
    }
}

TEST(D3DXCreateTexture, ADdsKeepsItsOwnLevels) {
  // Levels that are not averages of each other: generated ones would differ.
  std::vector<BYTE> top = Counting(4 * 4 * 4, 1), second = Counting(2 * 2 * 4, 200), third = Counting(4, 99);
  DdsHeader header = DdsHeader::Argb(4, 4);
  header.mipMapCount = 3;
  std::string dds = EncodeDds(header, AsString(top) + AsString(second) + AsString(third));
  CFakeDevice device;
  std::unique_ptr<CFakeTexture, Released> texture(CreateFromMemory(device, dds, 4, 4, 3, D3DFMT_A8R8G8B8));
  ASSERT_EQ(texture->GetLevelCount(), 3u);
  EXPECT_EQ(Levels(texture.get()), (std::vector<std::vector<BYTE>>{top, second, third}));

  // Asked for the full chain of a one-level DDS, the rest is generated.
  DdsHeader single = DdsHeader::Argb(4, 4);
  std::unique_ptr<CFakeTexture, Released> chained(
      CreateFromMemory(device, EncodeDds(single, AsString(top)), 4, 4, 0, D3DFMT_A8R8G8B8));
  ASSERT_EQ(chained->GetLevelCount(), 3u);
  EXPECT_EQ(chained->Level(0).PackedBytes(), top);
  EXPECT_NE(chained->Level(2).PackedBytes(), std::vector<BYTE>(4, 0xcd));
}

TEST(D3DXCreateTexture, DefaultPoolIsFilledThroughASystemMemoryCopy) {
  CFakeDevice device;
  std::string png = EncodePng(RgbaImage::Solid(2, 2, 1, 2, 3, 4));
  std::unique_ptr<CFakeTexture, Released> texture(
      CreateFromMemory(device, png, 2, 2, 1, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT));
  ASSERT_EQ(device.TextureRequests().size(), 2u);
  EXPECT_EQ(device.TextureRequests()[1].pool, D3DPOOL_SYSTEMMEM);
  EXPECT_EQ(device.UpdateCalls(), 1);
  EXPECT_EQ(texture->Level(0).LockCount(), 0);
  EXPECT_EQ(texture->Level(0).PackedBytes(), (std::vector<BYTE>{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}));
  // A dynamic one is locked directly.
  std::unique_ptr<CFakeTexture, Released> dynamic(
      CreateFromMemory(device, png, 2, 2, 1, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC));
  EXPECT_EQ(device.UpdateCalls(), 1);
  EXPECT_EQ(dynamic->Level(0).LockCount(), 1);
}

TEST(D3DXCreateTexture, FailuresLeaveNoTexture) {
  CFakeDevice device;
  std::string png = EncodePng(RgbaImage::Pattern(4, 4));
  IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
  EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(&device, png.data(), 20, 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
            D3DXERR_INVALIDDATA);
  EXPECT_EQ(texture, nullptr);
  device.FailNextCreateTexture(E_OUTOFMEMORY);
  EXPECT_EQ(
      D3DXCreateTextureFromFileInMemoryEx(&device, png.data(), (UINT)png.size(), 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                          D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
      E_OUTOFMEMORY);
  EXPECT_EQ(texture, nullptr);
  DdsHeader cube = DdsHeader::Argb(1, 1);
  cube.caps2 = 0x200 | 0xfc00;
  std::string cubeFile = EncodeDds(cube, std::string(6 * 4, '\0'));
  EXPECT_EQ(
      D3DXCreateTextureFromFileInMemoryEx(&device, cubeFile.data(), (UINT)cubeFile.size(), 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                          D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
      D3DXERR_INVALIDDATA);
  EXPECT_EQ(D3DXCreateTextureFromFileExA(&device, "missing.dds", 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                         D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
            D3DXERR_INVALIDDATA);
  EXPECT_EQ(texture, nullptr);
}

TEST(D3DXSaveTexture, SavedTexturesLoadBackBitForBit) {
  struct Case {
    const char* name;
    D3DFORMAT format;
    UINT size, levels;
  } cases[] = {
      {"A8R8G8B8 with mips", D3DFMT_A8R8G8B8, 8, 4},
      {"DXT5 with mips", D3DFMT_DXT5, 8, 4},
      {"DXT1", D3DFMT_DXT1, 4, 1},
      {"A16B16G16R16F", D3DFMT_A16B16G16R16F, 4, 3},
      {"L8", D3DFMT_L8, 4, 1},
      {"V8U8", D3DFMT_V8U8, 2, 2},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::unique_ptr<CFakeTexture, Released> original(
        new CFakeTexture(c.format, c.size, c.size, c.levels, 0, D3DPOOL_MANAGED));
    for (UINT level = 0; level < c.levels; ++level)
      original->Level(level).SetPackedBytes(Counting(original->Level(level).PackedBytes().size(), (BYTE)(level * 40)));
    std::string path = dir / (std::string(c.name) + ".dds");
    ASSERT_EQ(D3DXSaveTextureToFileA(path.c_str(), D3DXIFF_DDS, original.get(), nullptr), D3D_OK) << c.name;

    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK) << c.name;
    EXPECT_EQ(info.Format, c.format) << c.name;
    EXPECT_EQ(info.MipLevels, c.levels) << c.name;
    CFakeDevice device;
    IDirect3DTexture9* raw = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(&device, path.c_str(), D3DX_FROM_FILE, D3DX_FROM_FILE, D3DX_FROM_FILE, 0,
                                           D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                                           nullptr, nullptr, &raw),
              D3D_OK)
        << c.name;
    std::unique_ptr<CFakeTexture, Released> reloaded(static_cast<CFakeTexture*>(raw));
    EXPECT_EQ(Levels(reloaded.get()), Levels(original.get())) << c.name;
  }
}

TEST(D3DXSaveTexture, CubeTexturesKeepEveryFaceAndLevel) {
  std::unique_ptr<CFakeCubeTexture, Released> cube(new CFakeCubeTexture(D3DFMT_A8R8G8B8, 4, 2, D3DPOOL_MANAGED));
  std::string expectedPayload;
  for (UINT face = 0; face < 6; ++face)
    for (UINT level = 0; level < 2; ++level) {
      std::vector<BYTE> bytes = Counting(cube->Surface(face, level).PackedBytes().size(), (BYTE)(face * 30 + level));
      cube->Surface(face, level).SetPackedBytes(bytes);
      expectedPayload += AsString(bytes);
    }
  ID3DXBuffer* buffer = nullptr;
  ASSERT_EQ(D3DXSaveTextureToFileInMemory(&buffer, D3DXIFF_DDS, cube.get(), nullptr), D3D_OK);
  std::unique_ptr<ID3DXBuffer, Released> hold(buffer);
  std::string file(static_cast<const char*>(buffer->GetBufferPointer()), buffer->GetBufferSize());
  ASSERT_EQ(file.size(), 128 + expectedPayload.size());
  EXPECT_EQ(file.substr(128), expectedPayload);  // face after face, each largest level first
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), (UINT)file.size(), &info), D3D_OK);
  EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
  EXPECT_EQ(info.MipLevels, 2u);
  EXPECT_EQ(info.Width, 4u);
}

TEST(D3DXSaveTexture, PictureFormatsHoldTheTopLevel) {
  std::unique_ptr<CFakeTexture, Released> texture(new CFakeTexture(D3DFMT_R5G6B5, 3, 2, 2, 0, D3DPOOL_MANAGED));
  texture->Level(0).SetPackedBytes({0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0xff, 0xff, 0x00, 0x00, 0x00, 0xf8});
  // Red, green, blue / white, black, red, as A8R8G8B8 bytes.
  const std::vector<BYTE> expected = {0,   0,   255, 255, 0, 255, 0, 255, 255, 0, 0,   255,
                                      255, 255, 255, 255, 0, 0,   0, 255, 0,   0, 255, 255};
  for (D3DXIMAGE_FILEFORMAT format : {D3DXIFF_PNG, D3DXIFF_BMP, D3DXIFF_TGA}) {
    ID3DXBuffer* buffer = nullptr;
    ASSERT_EQ(D3DXSaveTextureToFileInMemory(&buffer, format, texture.get(), nullptr), D3D_OK) << format;
    std::unique_ptr<ID3DXBuffer, Released> hold(buffer);
    D3DXIMAGE_INFO info{};
    CFakeSurface surface(D3DFMT_A8R8G8B8, 3, 2, D3DPOOL_SYSTEMMEM, nullptr);
    ASSERT_EQ(D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, nullptr, buffer->GetBufferPointer(),
                                              buffer->GetBufferSize(), nullptr, D3DX_FILTER_NONE, 0, &info),
              D3D_OK)
        << format;
    EXPECT_EQ(info.ImageFileFormat, format);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(surface.PackedBytes(), expected) << format;
  }
}

TEST(D3DXSaveTexture, RefusesWhatItCannotWrite) {
  std::unique_ptr<CFakeTexture, Released> texture(new CFakeTexture(D3DFMT_A8R8G8B8, 2, 2, 1, 0, D3DPOOL_MANAGED));
  TempDir dir;
  EXPECT_EQ(D3DXSaveTextureToFileA((dir / "none.dds").c_str(), D3DXIFF_DDS, nullptr, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(D3DXSaveTextureToFileA((dir / "t.hdr").c_str(), D3DXIFF_HDR, texture.get(), nullptr), E_NOTIMPL);
  EXPECT_EQ(D3DXSaveTextureToFileA((dir / "missing/folder/t.dds").c_str(), D3DXIFF_DDS, texture.get(), nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(texture->Level(0).LockCount(), 1);  // read once, for the file that could not be made
  EXPECT_FALSE(texture->Level(0).IsLocked());
}

TEST(D3DXLoadSurface, DefaultPoolSurfacesAreFilledThroughUpdateSurface) {
  // The engine's dynamic textures without automatic mipmaps: default pool, usage 0.
  CFakeDevice device;
  std::unique_ptr<CFakeTexture, Released> texture(
      new CFakeTexture(D3DFMT_A8R8G8B8, 4, 4, 1, 0, D3DPOOL_DEFAULT, &device));
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
  std::string png = EncodePng(RgbaImage::Solid(2, 2, 9, 8, 7, 6));
  const RECT corner = {2, 2, 4, 4};
  EXPECT_EQ(D3DXLoadSurfaceFromFileInMemory(level, nullptr, &corner, png.data(), (UINT)png.size(), nullptr,
                                            D3DX_DEFAULT, 0, nullptr),
            D3D_OK);
  level->Release();
  EXPECT_EQ(device.UpdateSurfaceCalls(), 1);
  std::vector<BYTE> texels = texture->Level(0).PackedBytes();
  EXPECT_EQ(std::vector<BYTE>(texels.begin() + (2 * 4 + 2) * 4, texels.begin() + (2 * 4 + 3) * 4),
            (std::vector<BYTE>{7, 8, 9, 6}));
  EXPECT_EQ(texels[0], 0xcd);  // outside the rectangle: untouched
}
