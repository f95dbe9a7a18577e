// Textures filled from image files, precomputed DDS files, archives and the engine's own images
// through the bank's LoadAllTextures, on the null back end; texels are read through locks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <cstdio>
#include <cstring>
#include <string>

#include "ImageWriter.h"
#include "ProcessExitCatcher.h"
#include "TextureTestBench.h"
#include "ZkzWriter.h"
#include "d3d/EmbeddedImages.h"
#include "scene/Surface.h"

namespace {

// The 32-bit texel (x, y) of a level, as the texture holds it (A8R8G8B8 or X8R8G8B8).
DWORD Texel(CTextureInterface* texture, UINT level, UINT x, UINT y) {
  D3DLOCKED_RECT locked = {};
  if (!texture->Lock(level, nullptr, &locked)) return 0xDEADBEEF;
  const DWORD texel = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
  texture->Unlock(level);
  return texel;
}

BYTE ByteTexel(CTextureInterface* texture, UINT x, UINT y) {
  D3DLOCKED_RECT locked = {};
  if (!texture->Lock(0, nullptr, &locked)) return 0;
  const BYTE texel = static_cast<const BYTE*>(locked.pBits)[y * locked.Pitch + x];
  texture->Unlock(0);
  return texel;
}

DWORD Argb(const RgbaImage& image, UINT x, UINT y) {
  const uint8_t* t = image.At(x, y);
  return DWORD{t[3]} << 24 | DWORD{t[0]} << 16 | DWORD{t[1]} << 8 | t[2];
}

// A DDS file of A8R8G8B8 texels with `levels` levels, each level one colour.
std::string ArgbDds(UINT width, UINT height, UINT levels, const DWORD* colours) {
  DdsHeader header = DdsHeader::Argb(width, height);
  std::string payload;
  if (levels > 1) {
    header.flags |= 0x20000;
    header.mipMapCount = levels;
    header.caps |= 0x400008;
  }
  for (UINT level = 0; level < levels; ++level) {
    const UINT w = std::max(1u, width >> level), h = std::max(1u, height >> level);
    for (UINT i = 0; i < w * h; ++i) payload.append(reinterpret_cast<const char*>(&colours[level]), 4);
  }
  return EncodeDds(header, payload);
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

}  // namespace

TEST(TextureLoading, APlainImageGetsItsMipmapsFromTheDeviceOrTheCPU) {
  const RgbaImage image = RgbaImage::Pattern(8, 8);
  TestCard noAutoGen = ShaderModel3Card();
  noAutoGen.caps.Caps2 &= ~D3DCAPS2_CANAUTOGENMIPMAP;
  struct Case {
    const char* label;
    TestCard card;
    DWORD mipmapping;
    UINT levels;  // a texture the device fills reports one level
    DWORD usage;
    const char* report;
  };
  const Case cases[] = {
      {"automatic", ShaderModel3Card(), 1, 1, D3DUSAGE_AUTOGENMIPMAP,
       "    - MipMap Levels: 1, From: 1 (Automaticly Generated: TRUE)\n"},
      {"on the CPU", noAutoGen, 1, 4, 0, "    - MipMap Levels: 4, From: 1 (Automaticly Generated: FALSE)\n"},
      {"none", ShaderModel3Card(), 0, 1, 0, "    - MipMap Levels: 1, From: 1 (Automaticly Generated: TRUE)\n"},
  };
  for (const Case& c : cases) {
    TextureTestBench t([&](DeviceSettings& s) { s.dwMipmapping = c.mipmapping; }, c.card);
    t.folder.Write("pattern.png", EncodePng(image));
    CTextureInterface* texture = t.bank->CreateTexture("Pattern.png", 0);
    ASSERT_EQ(t.bank->LoadAllTextures(), 1u) << c.label;
    EXPECT_EQ(texture->IsLoaded(), 1u);
    EXPECT_EQ(texture->GetWidth(), 8u);
    EXPECT_EQ(texture->GetFormat(), D3DFMT_X8R8G8B8) << c.label;
    EXPECT_EQ(texture->GetD3DTexture()->GetLevelCount(), c.levels) << c.label;
    D3DSURFACE_DESC desc = {};
    texture->GetD3DTexture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Usage, c.usage) << c.label;
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED) << c.label;
    EXPECT_EQ(Texel(texture, 0, 5, 3) & 0xFFFFFF, Argb(image, 5, 3) & 0xFFFFFF) << c.label;
    EXPECT_NE(t.Infos().find(c.report), std::string::npos) << c.label << "\n" << t.Infos();
    EXPECT_NE(t.Infos().find("  - Texture: pattern_png Loaded\n    - 8x8 (FMT: D3DFMT_X8R8G8B8)\n"), std::string::npos);
    if (c.levels == 4 && c.card.caps.Caps2 == noAutoGen.caps.Caps2) {
      // Level 2 is filtered from the top level: the mean of its 4 x 4 block.
      int sum = 0;
      for (UINT y = 0; y < 4; ++y)
        for (UINT x = 0; x < 4; ++x) sum += image.At(4 + x, y)[1];
      EXPECT_NEAR(static_cast<int>((Texel(texture, 2, 1, 0) >> 8) & 0xFF), sum / 16, 1);
    }
  }
}

TEST(TextureLoading, APrecomputedDDSIsPreferredWithItsOwnLevelsWhenItHasSeveral) {
  TextureTestBench t([](DeviceSettings& s) { s.dwMipmapping = 1; });
  t.folder.Write("rock.tga", EncodeTga(RgbaImage::Solid(8, 8, 1, 2, 3, 255)));
  const DWORD oneLevel[] = {0xFF102030};
  t.folder.Write("rock_tga.dds", ArgbDds(4, 4, 1, oneLevel));
  const DWORD threeLevels[] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000};
  t.folder.Write("sky.tga", EncodeTga(RgbaImage::Solid(8, 8, 1, 2, 3, 255)));
  t.folder.Write("sky_tga.dds", ArgbDds(4, 4, 3, threeLevels));
  CTextureInterface* rock = t.bank->CreateTexture("rock.tga", 0);
  CTextureInterface* sky = t.bank->CreateTexture("sky.tga", 0);
  t.bank->LoadAllTextures();
  // One level: an ordinary image under the policies (the device's mipmaps here).
  EXPECT_EQ(rock->GetWidth(), 4u);
  D3DSURFACE_DESC desc = {};
  rock->GetD3DTexture()->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Usage, static_cast<DWORD>(D3DUSAGE_AUTOGENMIPMAP));
  EXPECT_EQ(Texel(rock, 0, 1, 1) & 0xFFFFFF, 0x102030u);
  // Several levels: its own, managed.
  EXPECT_EQ(sky->GetD3DTexture()->GetLevelCount(), 3u);
  EXPECT_EQ(Texel(sky, 1, 0, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(Texel(sky, 2, 0, 0) & 0xFFFFFF, 0xFF0000u);
  sky->GetD3DTexture()->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
  EXPECT_NE(t.Infos().find("  - Texture: sky_tga.dds Loaded\n    - DDS File Contains: 3 MipMaps\n"), std::string::npos);
}

TEST(TextureLoading, DXTFormatsOfSidesBelowFourBecomeSixteenBit) {
  TextureTestBench t;
  t.folder.Write("thin.dds", EncodeDds(DdsHeader::Dxt("DXT1", 2, 64), std::string(16 * 8, '\0')));
  t.folder.Write("tiny.dds", EncodeDds(DdsHeader::Dxt("DXT5", 2, 2), std::string(16, '\0')));
  t.folder.Write("three.dds", EncodeDds(DdsHeader::Dxt("DXT3", 2, 2), std::string(16, '\0')));
  CTexture* thin = t.bank->CreateTextureKeepFormat("thin.dds", 0, 1);
  CTexture* tiny = t.bank->CreateTextureKeepFormat("tiny.dds", 0, 1);
  CTexture* three = t.bank->CreateTextureKeepFormat("three.dds", 0, 1);
  EXPECT_EQ(thin->GetFormat(), D3DFMT_DXT1);
  t.bank->LoadAllTextures();
  EXPECT_EQ(thin->GetFormat(), D3DFMT_R5G6B5);
  EXPECT_EQ(tiny->GetFormat(), D3DFMT_A4R4G4B4);
  EXPECT_EQ(three->GetFormat(), D3DFMT_DXT3);
  const std::string warning = "WARNING!!! - Changing Texture Format To 16bpp Because DXT compression needs the texture "
                              "dimensions to be larger than 4: ";
  EXPECT_EQ(Count(t.Errors(), warning + "thin_dds\n"), 1);
  EXPECT_EQ(Count(t.Errors(), warning + "tiny_dds\n"), 1);
  EXPECT_EQ(Count(t.Errors(), warning), 2);
}

TEST(TextureLoading, PackedTexturesTakeTheirChannelsFromFilesAndValues) {
  TextureTestBench t;
  t.folder.Write("colour.png", EncodePng(RgbaImage::Solid(4, 4, 10, 20, 30, 255)));
  t.folder.Write("masks/mask.jpeg", EncodeJpeg(RgbaImage::Solid(4, 4, 200, 200, 200, 255), 100));
  t.folder.Write("gloss.png", EncodePng(RgbaImage::Solid(8, 2, 60, 70, 80, 255)));
  t.folder.Write("grey.png", EncodePng(RgbaImage::Solid(2, 4, 90, 90, 90, 255)));
  CTextureInterface* twoFiles = t.bank->CreateTexture("colour.png", "masks\\mask.jpeg", 0);
  CTextureInterface* alphaOnly = t.bank->CreateTexture(nullptr, "grey.png", 0);
  MaterialTexture1 mixed{nullptr, "gloss.png", nullptr, "grey.png", 11, 0, 33, 0};
  CTextureInterface* material = t.bank->CreateTexture(&mixed);
  MaterialTexture2 values{nullptr, nullptr, nullptr, nullptr, 1, 2, 3, 4};
  CTextureInterface* allValues = t.bank->CreateTexture(&values);
  t.bank->LoadAllTextures();

  EXPECT_EQ(twoFiles->GetFormat(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(Texel(twoFiles, 0, 2, 2) & 0xFFFFFF, 0x0A141Eu);
  EXPECT_NEAR(static_cast<int>(Texel(twoFiles, 0, 2, 2) >> 24), 200, 2);

  EXPECT_EQ(alphaOnly->GetFormat(), D3DFMT_L8);
  EXPECT_EQ(ByteTexel(alphaOnly, 1, 3), 90);
  EXPECT_NE(t.Infos().find("    - MipMap Levels: 1 (Automaticaly Generated: FALSE)\n"), std::string::npos);

  // The largest size of the files; a coloured file gives its first channel (blue).
  EXPECT_EQ(material->GetWidth(), 8u);
  EXPECT_EQ(material->GetHeight(), 4u);
  EXPECT_EQ(Texel(material, 0, 1, 1), 0x5A0B5021u);
  EXPECT_NE(t.Infos().find("    - Diffuse Value: 11\n    - Specular Gloss Texture: gloss.png\n"
                           "    - Specular Exp Value: 33\n    - Reflection Texture: grey.png\n"),
            std::string::npos);

  EXPECT_EQ(allValues->GetWidth(), 1u);
  EXPECT_EQ(Texel(allValues, 0, 0, 0), 0x04010203u);
}

TEST(TextureLoading, ANormalMapLeftToTheLoaderTakesTheImagesFormat) {
  TextureTestBench t([](DeviceSettings& s) { s.SecondaryTextureFormat = D3DFMT_X8R8G8B8; });
  t.folder.Write("bumps.png", EncodePng(RgbaImage::Pattern(4, 4)));
  CTexture* normal = t.bank->CreateTextureKeepFormat("bumps.png", 1, 0);
  EXPECT_EQ(normal->GetFormat(), D3DFMT_UNKNOWN);
  t.bank->LoadAllTextures();
  EXPECT_NE(normal->GetFormat(), D3DFMT_UNKNOWN);
  EXPECT_EQ(normal->IsLoaded(), 1u);
  EXPECT_EQ(Texel(normal, 0, 1, 2), Argb(RgbaImage::Pattern(4, 4), 1, 2));
}

TEST(TextureLoading, ASavedDDSIsWhatTheNextLoadReads) {
  const RgbaImage image = RgbaImage::Pattern(4, 4);
  std::string saved;
  {
    TextureTestBench t;
    t.folder.Write("logo.png", EncodePng(image));
    CTexture* logo = t.bank->CreateTextureKeepFormat("logo.png", 0, 0);
    t.bank->LoadAllTextures();
    ASSERT_EQ(logo->SaveAsDDS(), 1u);
    std::remove((t.folder / "logo.png").c_str());
    FILE* file = std::fopen((t.folder / "logo_png.dds").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) saved.append(buffer, n);
    std::fclose(file);
  }
  TextureTestBench t;
  t.folder.Write("logo_png.dds", saved);
  CTextureInterface* logo = t.bank->CreateTexture("logo.png", 0);
  t.bank->LoadAllTextures();
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) EXPECT_EQ(Texel(logo, 0, x, y) & 0xFFFFFF, Argb(image, x, y) & 0xFFFFFF);
}

TEST(TextureLoading, TheEnginesOwnImagesHaveTheirShapes) {
  TextureTestBench t;
  struct Probe {
    UINT x, y;
    int low, high;  // grey
  };
  struct Case {
    const char* resource;
    UINT width, height;
    std::vector<Probe> probes;
    bool alphaIsComplement;
  };
  const Case cases[] = {
      {kAttenuationXYImage, 256, 256, {{128, 128, 0, 0}, {128, 0, 254, 254}, {0, 128, 254, 254},
                                       {255, 128, 254, 254}, {128, 255, 254, 254}, {0, 0, 255, 255},
                                       {255, 255, 255, 255}}, true},
      {kAttenuationZImage, 256, 1, {{128, 0, 0, 0}, {64, 0, 70, 70}, {0, 0, 255, 255}, {255, 0, 255, 255}}, true},
      {kSpotImage, 64, 64, {{32, 32, 255, 255}, {0, 32, 7, 8}, {63, 32, 7, 8}, {0, 0, 0, 1}, {63, 63, 0, 1}}, false},
  };
  for (const Case& c : cases) {
    D3DXIMAGE_INFO info = {};
    ASSERT_EQ(D3DXGetImageInfoFromResourceA(GetEngineImageModule(), c.resource, &info), D3D_OK) << c.resource;
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    ASSERT_EQ(info.Width, c.width);
    ASSERT_EQ(info.Height, c.height);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(t.bench.device->CreateOffscreenPlainSurface(c.width, c.height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                          &surface, nullptr), D3D_OK);
    ASSERT_EQ(D3DXLoadSurfaceFromResourceA(surface, nullptr, nullptr, GetEngineImageModule(), c.resource, nullptr,
                                           D3DX_FILTER_NONE, 0, nullptr), D3D_OK);
    D3DLOCKED_RECT locked = {};
    surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    for (const Probe& p : c.probes) {
      const DWORD texel = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + p.y * locked.Pitch)[p.x];
      const int red = (texel >> 16) & 0xFF, green = (texel >> 8) & 0xFF, blue = texel & 0xFF, alpha = texel >> 24;
      EXPECT_TRUE(red >= p.low && red <= p.high) << c.resource << " (" << p.x << ", " << p.y << "): " << red;
      EXPECT_TRUE(red == green && green == blue) << c.resource;
      if (c.alphaIsComplement) EXPECT_EQ(alpha, 255 - red) << c.resource;
      else EXPECT_LE(std::abs(alpha - red), 6) << c.resource;
    }
    surface->UnlockRect();
    surface->Release();
  }
  D3DXIMAGE_INFO flare = {};
  ASSERT_EQ(D3DXGetImageInfoFromResourceA(GetEngineImageModule(), kFlareImage, &flare), D3D_OK);
  EXPECT_EQ(flare.ImageFileFormat, D3DXIFF_JPG);
  EXPECT_EQ(flare.Width, 256u);
}

TEST(TextureLoading, OnlyANameThatBeginsWithFlareJpgIsTheEnginesFlare) {
  TextureTestBench t;
  t.folder.Write("textures/flare.jpg", EncodeJpeg(RgbaImage::Solid(16, 16, 0, 0, 255, 255), 100));
  CTexture* builtIn = t.bank->CreateTextureKeepFormat("FLARE.JPG.bak", 0, 0);
  EXPECT_EQ(builtIn->GetFormat(), D3DFMT_X8R8G8B8);
  EXPECT_STREQ(builtIn->GetFileName(), "flare.jpg.bak");
  CTexture* file = t.bank->CreateTextureKeepFormat("textures\\flare.jpg", 0, 0);
  t.bank->LoadAllTextures();
  EXPECT_EQ(builtIn->GetWidth(), 256u);
  EXPECT_EQ(file->GetWidth(), 16u);
}

TEST(TextureLoading, AMissingOrCorruptFileEndsTheProcessWithItsMessage) {
  struct Case {
    const char* file;
    std::string contents;
    const char* text;
  };
  const Case cases[] = {
      {"missing.png", "", "(1dd) Can't Get Image Info: missing.png\n"},
      {"corrupt.png", "not an image at all", "(1dd) Can't Get Image Info: corrupt.png\n"},
  };
  for (const Case& c : cases) {
    TextureTestBench t;
    if (!c.contents.empty()) t.folder.Write(c.file, c.contents);
    ProcessExitCatcher exits;
    try {
      t.bank->CreateTexture(c.file, 0);
      ADD_FAILURE() << c.file << " was accepted";
    } catch (const ProcessExited& exit) {
      EXPECT_EQ(exit.code, 1u);
    }
    ASSERT_EQ(exits.Boxes().size(), 1u) << c.file;
    EXPECT_EQ(exits.Boxes()[0].caption, std::string("Error While Loading Image (Plain)"));
    EXPECT_EQ(std::string(exits.Boxes()[0].text).rfind(c.text, 0), 0u) << exits.Boxes()[0].text;
    EXPECT_EQ(t.bank->GetNumberOfTextures(), CTextureBank::kSystemTextures) << "nothing half-made stays";
  }
}

TEST(TextureLoading, LoadAllTexturesLoadsEachTextureOnce) {
  TextureTestBench t;
  t.folder.Write("once.png", EncodePng(RgbaImage::Pattern(4, 4)));
  t.bank->CreateTexture("once.png", 0);
  t.bank->LoadAllTextures();
  t.bank->CreateTexture("filled", D3DFMT_A8R8G8B8, 4, 4, 1, 0);
  t.bank->LoadAllTextures();
  EXPECT_EQ(Count(t.Infos(), "  - Texture: once_png Loaded\n"), 1);
  EXPECT_EQ(Count(t.Infos(), "- Textures Successfully Loaded\n"), 2);
}

TEST(TextureLoading, ASurfaceTextureInAMountedArchiveIsFilledFromThere) {
  TextureTestBench t;
  const RgbaImage image = RgbaImage::Pattern(4, 4);
  ZkzWriter().Add("textures\\stone.png", EncodePng(image)).Write(t.folder / "data.zkz");
  ASSERT_EQ(t.files.AddVirtualDisk("data.zkz", VFS_DISK_DATA, 0, 0, nullptr), 0u);
  auto* surface = new CSurface(t.bench.renderer.get(), &t.bench.log, nullptr);
  ASSERT_EQ(surface->SetTexture(SURFACE_TEXTURE_COLOR0, "Textures\\Stone.png"), 1u);
  CTextureInterface* stone = t.bank->GetTextureByName("textures\\stone.png", 0);
  ASSERT_NE(stone, nullptr);
  EXPECT_EQ(stone->IsLoaded(), 1u);
  EXPECT_EQ(Texel(stone, 0, 3, 1) & 0xFFFFFF, Argb(image, 3, 1) & 0xFFFFFF);
  surface->Release();
}
