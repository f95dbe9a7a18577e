// D3DX textures on the platform's own Direct3D device (null back end: real resources, no
// rasterising): the same calls as against the fakes, through the device's rules for pools.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "D3DTestDevice.h"
#include "ImageWriter.h"
#include "TempDir.h"
#include "d3dx9.h"

namespace {

struct Released {
  void operator()(IUnknown* object) const { object->Release(); }
};

// Every level of a texture as packed bytes, read through LockRect.
std::vector<std::string> ReadLevels(IDirect3DTexture9* texture, UINT rowBytesPerTexel) {
  std::vector<std::string> levels;
  for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(level, &desc);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::string bytes;
    for (UINT y = 0; y < desc.Height; ++y)
      bytes.append(static_cast<const char*>(locked.pBits) + (size_t)y * locked.Pitch, desc.Width * rowBytesPerTexel);
    texture->UnlockRect(level);
    levels.push_back(bytes);
  }
  return levels;
}

}  // namespace

TEST(D3DXOnTheDevice, TextureFromPngSavesAndLoadsBackBitForBit) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
  ASSERT_TRUE(device.ok()) << std::hex << device.result();
  std::string png = EncodePng(RgbaImage::Pattern(16, 8));
  IDirect3DTexture9* raw = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.get(), png.data(), (UINT)png.size(), D3DX_DEFAULT, D3DX_DEFAULT,
                                                D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                D3DX_DEFAULT, 0, nullptr, nullptr, &raw),
            D3D_OK);
  std::unique_ptr<IDirect3DTexture9, Released> texture(raw);
  ASSERT_EQ(texture->GetLevelCount(), 5u);  // 16x8 down to 1x1

  TempDir dir;
  std::string path = dir / "saved.dds";
  ASSERT_EQ(D3DXSaveTextureToFileA(path.c_str(), D3DXIFF_DDS, texture.get(), nullptr), D3D_OK);
  raw = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileExA(device.get(), path.c_str(), D3DX_FROM_FILE, D3DX_FROM_FILE, D3DX_FROM_FILE, 0,
                                         D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0,
                                         nullptr, nullptr, &raw),
            D3D_OK);
  std::unique_ptr<IDirect3DTexture9, Released> reloaded(raw);
  EXPECT_EQ(ReadLevels(reloaded.get(), 4), ReadLevels(texture.get(), 4));
}

TEST(D3DXOnTheDevice, DefaultPoolTexturesAndLevelsFilteredFromTheTop) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL);
  ASSERT_TRUE(device.ok());
  std::string png = EncodePng(RgbaImage::Solid(8, 8, 200, 100, 50, 255));
  IDirect3DTexture9* raw = nullptr;
  ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device.get(), png.data(), (UINT)png.size(), 8, 8, 1, 0, D3DFMT_X8R8G8B8,
                                                D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &raw),
            D3D_OK);
  std::unique_ptr<IDirect3DTexture9, Released> defaultPool(raw);

  // The engine's mip chain: every level loaded from level 0 of a managed texture.
  ASSERT_EQ(device->CreateTexture(8, 8, 0, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &raw, nullptr), D3D_OK);
  std::unique_ptr<IDirect3DTexture9, Released> chain(raw);
  IDirect3DSurface9* top = nullptr;
  ASSERT_EQ(chain->GetSurfaceLevel(0, &top), D3D_OK);
  ASSERT_EQ(D3DXLoadSurfaceFromFileInMemory(top, nullptr, nullptr, png.data(), (UINT)png.size(), nullptr, D3DX_DEFAULT,
                                            0, nullptr),
            D3D_OK);
  for (UINT level = 1; level < chain->GetLevelCount(); ++level) {
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(chain->GetSurfaceLevel(level, &surface), D3D_OK);
    EXPECT_EQ(D3DXLoadSurfaceFromSurface(surface, nullptr, nullptr, top, nullptr, nullptr, D3DX_DEFAULT, 0), D3D_OK);
    surface->Release();
  }
  top->Release();
  std::vector<std::string> levels = ReadLevels(chain.get(), 2);
  ASSERT_EQ(levels.size(), 4u);
  // (200, 100, 50) in 5:6:5 is (24, 25, 6): 0xc326.
  for (const std::string& level : levels)
    for (size_t i = 0; i < level.size(); i += 2) ASSERT_EQ(level.substr(i, 2), std::string("\x26\xc3", 2));
}

TEST(D3DXOnTheDevice, RenderTargetsAreReadThroughTheDevice) {
  // As the engine copies a render-target texture to system memory.
  CD3DTestDevice device(ZK_D3D_BACKEND_GL);
  ASSERT_TRUE(device.ok()) << std::hex << device.result();
  IDirect3DTexture9* raw = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &raw, nullptr),
            D3D_OK);
  std::unique_ptr<IDirect3DTexture9, Released> target(raw);
  IDirect3DSurface9* level = nullptr;
  ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
  std::unique_ptr<IDirect3DSurface9, Released> hold(level);
  ASSERT_EQ(device->ColorFill(level, nullptr, 0xff204060), D3D_OK);
  IDirect3DSurface9* copy = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);
  std::unique_ptr<IDirect3DSurface9, Released> holdCopy(copy);
  ASSERT_EQ(D3DXLoadSurfaceFromSurface(copy, nullptr, nullptr, level, nullptr, nullptr, D3DX_FILTER_NONE, 0), D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  for (UINT y = 0; y < 8; ++y)
    for (UINT x = 0; x < 8; ++x)
      EXPECT_EQ(reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x],
                0xff204060u);
  copy->UnlockRect();
}
