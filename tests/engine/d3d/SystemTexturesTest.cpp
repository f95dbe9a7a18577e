// The nine textures the bank makes at device creation and fills at the first LoadAllTextures:
// the normalisation cube map, the lookup tables and the engine's own light images.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "ProcessExitCatcher.h"
#include "TextureTestBench.h"
#include "zktest/ZkTestD3D.h"

namespace {

DWORD Texel(CTextureInterface* texture, UINT x, UINT y) {
  D3DLOCKED_RECT locked = {};
  if (!texture->Lock(0, nullptr, &locked)) return 0xDEADBEEF;
  const DWORD texel = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
  texture->Unlock(0);
  return texel;
}

DWORD CubeTexel(CTexture* cube, D3DCUBEMAP_FACES face, UINT x, UINT y) {
  D3DLOCKED_RECT locked = {};
  if (FAILED(cube->GetD3DCubeTexture()->LockRect(face, 0, &locked, nullptr, D3DLOCK_READONLY))) return 0xDEADBEEF;
  const DWORD texel = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
  cube->GetD3DCubeTexture()->UnlockRect(face, 0);
  return texel;
}

TestCard CubeCard(bool tenBits, bool cubeMipmaps) {
  TestCard card = ShaderModel3Card();
  TestCard::Remove(card.cubeTextureFormats, D3DFMT_A2R10G10B10);
  if (tenBits) card.cubeTextureFormats.push_back(D3DFMT_A2R10G10B10);
  if (!cubeMipmaps) card.caps.TextureCaps &= ~D3DPTEXTURECAPS_MIPCUBEMAP;
  return card;
}

}  // namespace

TEST(SystemTextures, TheNineAreMadeInOrderAndFoundByName) {
  TextureTestBench t;
  // Their creation lines are checked with the renderer's whole start-up log (RendererStates).
  const char* names[] = {"CubeNormalizer", "shadowmask", "shadowlookup256", "shadowlookup2048", "atten2d_png",
                         "atten1d_png", "NdotHpowKLookUp", "spot_png", "fresnelterm"};
  const WORD kinds[] = {10, 11, 13, 12, 16, 17, 18, 20, 21};
  for (UINT i = 0; i < CTextureBank::kSystemTextures; ++i) {
    CTexture* texture = t.bank->GetSystemTexture(i);
    ASSERT_NE(texture, nullptr) << i;
    EXPECT_STREQ(texture->GetName(), names[i]);
    EXPECT_EQ(texture->GetTextureKind(), kinds[i]) << names[i];
    EXPECT_EQ(texture->IsLoaded(), 0u) << names[i];
  }
  EXPECT_EQ(t.bank->GetSystemTexture(0)->IsCubeTexture(), 1u);
  EXPECT_STREQ(t.bank->GetSystemTexture(7)->GetFileName(), "spot.png");
  EXPECT_EQ(t.bank->GetTextureByName("spot.png", 0), t.bank->GetSystemTexture(7));
  EXPECT_EQ(t.bank->GetSystemTexture(9), nullptr);
}

TEST(SystemTextures, TheLookupTablesHoldTheirValues) {
  TextureTestBench t;
  t.bank->LoadAllTextures();
  struct Case {
    UINT system;
    UINT x, y;
    DWORD texel;
  };
  const Case cases[] = {
      {3, 255, 0, 0xFF000000u}, {3, 256, 0, 0x00200000u}, {3, 2047, 0, 0xFFE00000u},  // shadowlookup2048
      {2, 128, 0, 0x80808080u},                                                       // shadowlookup256
      {1, 0, 0, 0x00000000u},   {1, 1, 0, 0xFFFFFFFFu},                               // shadowmask
      {8, 0, 0, 0xFFFFFFFFu},   {8, 127, 0, 0xFFFFFFFFu}, {8, 127, 1, 0},   {8, 127, 127, 0},  // fresnelterm
      {6, 0, 0, 0x02020202u},   {6, 127, 0, 0xFFFFFFFFu}, {6, 127, 127, 0xFFFFFFFFu},         // NdotHpowKLookUp
  };
  for (const Case& c : cases) {
    CTexture* texture = t.bank->GetSystemTexture(c.system);
    EXPECT_EQ(Texel(texture, c.x, c.y), c.texel) << texture->GetName() << " (" << c.x << ", " << c.y << ")";
  }
  EXPECT_EQ(t.bank->GetSystemTexture(3)->GetWidth(), 2048u);
  EXPECT_EQ(t.bank->GetSystemTexture(3)->GetD3DTexture()->GetLevelCount(), 1u);
  EXPECT_EQ(t.bank->GetSystemTexture(7)->GetWidth(), 64u) << "the spot mask comes from the engine's image";
}

TEST(SystemTextures, TheNormalizerPacksDirectionsInTheFormatTheCardOffers) {
  for (const bool tenBits : {true, false}) {
    TextureTestBench t([](DeviceSettings&) {}, CubeCard(tenBits, true));
    t.bank->LoadAllTextures();
    CTexture* cube = t.bank->GetSystemTexture(0);
    ASSERT_EQ(cube->GetFormat(), tenBits ? D3DFMT_A2R10G10B10 : D3DFMT_A8R8G8B8);
    const DWORD positiveX = CubeTexel(cube, D3DCUBEMAP_FACE_POSITIVE_X, 127, 127);
    if (tenBits) {
      EXPECT_EQ((positiveX >> 20) & 0x3FF, 1022u);
      EXPECT_EQ((positiveX >> 10) & 0x3FF, 513u);
      EXPECT_EQ(positiveX & 0x3FF, 513u);
    } else {
      EXPECT_EQ(positiveX & 0xFFFFFF, 0xFE8080u);
      EXPECT_EQ(CubeTexel(cube, D3DCUBEMAP_FACE_POSITIVE_Y, 0, 0) & 0xFFFFFF, 0x36C936u);
    }
    EXPECT_EQ(cube->GetD3DCubeTexture()->GetLevelCount(), 4u);
  }
}

TEST(SystemTextures, WithoutCubeMipmapsTheNormalizerHasOneLevelAndStillReportsTheEnumeration) {
  TextureTestBench t([](DeviceSettings&) {}, CubeCard(false, false));
  t.bank->LoadAllTextures();
  EXPECT_EQ(t.bank->GetSystemTexture(0)->GetD3DCubeTexture()->GetLevelCount(), 1u);
  EXPECT_NE(t.Infos().find("  - Texture: CubeNormalizer Loaded\n    - 256x256 (FMT: D3DFMT_A8R8G8B8)\n"
                           "    - MipMap Levels: 1 (Automaticly Generated: "),
            std::string::npos);
}

TEST(SystemTextures, TheCubeDirectionOfTheMiddleOfPlusZ) {
  D3DXVECTOR3 v;
  GetCubeMapTexelDirection(4, 127, 127, &v);
  const float n = std::sqrt(1.0f + 2.0f / (256.0f * 256.0f));
  EXPECT_FLOAT_EQ(v.x, -1.0f / 256.0f / n);
  EXPECT_FLOAT_EQ(v.y, 1.0f / 256.0f / n);
  EXPECT_FLOAT_EQ(v.z, 1.0f / n);
}

TEST(SystemTextures, WithoutAutomaticGenerationTheNdotHTableBuildsItsChainOnTheCPU) {
  TestCard card = ShaderModel3Card();
  card.caps.Caps2 &= ~D3DCAPS2_CANAUTOGENMIPMAP;
  TextureTestBench t([](DeviceSettings&) {}, card);
  t.bank->LoadAllTextures();
  CTexture* table = t.bank->GetSystemTexture(6);
  EXPECT_EQ(table->GetD3DTexture()->GetLevelCount(), 8u);
  EXPECT_NE(t.Infos().find("  - Texture: NdotHpowKLookUp Loaded\n    - 128x128 (FMT: D3DFMT_A8R8G8B8)\n"
                           "    - MipMap Levels: 8 (Automaticly Generated: FALSE)\n"),
            std::string::npos);
}

TEST(SystemTextures, ASystemTextureOutlivesAHolderThatLetsItGo) {
  TextureTestBench t;
  CTexture* spot = t.bank->CreateTextureKeepFormat("Spot.png", 0, 0);
  ASSERT_EQ(spot, t.bank->GetSystemTexture(7));
  t.bank->LoadAllTextures();
  spot->Release();
  EXPECT_EQ(t.bank->GetSystemTexture(7), spot);
  EXPECT_EQ(spot->IsLoaded(), 1u);
  EXPECT_EQ(t.bank->GetTextureByName("spot.png", 0), spot);
}

TEST(SystemTextures, ACubeTextureIsNotSavedAsDDS) {
  TextureTestBench t;
  t.bank->LoadAllTextures();
  CTexture* cube = t.bank->GetSystemTexture(0);
  ASSERT_EQ(cube->IsCubeTexture(), 1u);
  EXPECT_EQ(cube->SaveAsDDS(), 0u);
  EXPECT_NE(t.Errors().find("ERROR!!! - Can't Save Texture: CubeNormalizer.dds ("), std::string::npos)
      << t.Errors();
  EXPECT_FALSE(std::filesystem::exists(t.folder / "CubeNormalizer.dds"));
}

TEST(SystemTextures, ADeviceRefusingTheCubeMapEndsTheProcessWithItsMessage) {
  TextureTestBench t;
  ProcessExitCatcher exits;
  ZkTestD3DFailNextTextureCreation(D3DERR_OUTOFVIDEOMEMORY);
  try {
    t.bank->LoadAllTextures();
    ADD_FAILURE() << "the refused cube map was taken";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, std::string("Error While Loading Texture"));
  EXPECT_EQ(std::string(exits.Boxes()[0].text).rfind("Can't Create Cube Texture: CubeNormalizer\n", 0), 0u)
      << exits.Boxes()[0].text;
}
