#include "d3d/D3D9Enumeration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "FakeEnumerationOwner.h"
#include "RecordingEngineLog.h"
#include "TestCards.h"

namespace {

class D3D9EnumerationTest : public ::testing::Test {
 protected:
  void SetUp() override { d3d = Direct3DCreate9(D3D_SDK_VERSION); }
  void TearDown() override {
    if (d3d) d3d->Release();
  }

  // Enumerates adapter 0 with the card in place; the log keeps what it wrote.
  CD3D9Enumeration* Enumerate(const TestCard& card, UINT adapter = 0) {
    card.Apply();
    log.entries.clear();
    enumeration = std::make_unique<CD3D9Enumeration>(&log, d3d, adapter, &owner);
    return enumeration.get();
  }
  std::string Text() const { return log.TextAt(CEngineLog::kLevelInfo); }

  TestCardScope cardScope;
  IDirect3D9* d3d = nullptr;
  CRecordingEngineLog log;
  FakeEnumerationOwner owner;
  std::unique_ptr<CD3D9Enumeration> enumeration;
};

TEST_F(D3D9EnumerationTest, ShaderModel3CardLogsEveryStepAndSelectsGeForce6800) {
  CD3D9Enumeration* e = Enumerate(ShaderModel3Card());
  const std::string text = Text();
  const char* expectedInOrder[] = {
      "    - Device 0: Test Card on test.dll (6.14.10.7772)\n",
      "    - VendorID: 4318\n",
      "    - Display Modes:\n      - 640x480\n      - 800x600\n      - 1024x768\n      - 1280x1024\n"
      "      - 1600x1200\n    - Checking Caps...\n",
      "      - Checking Caps2...DONE\n",
      "      - Checking Presentation Invervals...Must Not Wait For VSYNC\n",
      "      - Checking DevCaps...DONE\n      - Checking DevCaps2...DONE\n",
      "      - Checking MaxTextureWidth...Is 4096\n",
      "      - Checking MaxAnisotropy...Is 16\n",
      "      - Checking MaxUserClipPlanes...Is 6\n      - Checking MaxStreams...Is 16\n",
      "      - Checking VertexShaderVersion...3.0\n        - Constants: 256\n",
      "        - VS2.0 Predication\n        - Dynamic Flow Control Depth: 24\n",
      "      - Checking PixelShaderVersion...3.0\n",
      "        - Max PS1.x Value: 65504.000000\n",
      "        - Arbitary Swizzling\n        - Predication\n",
      "        - Max Instruction Slots: 512\n      - Number Of Simultaneous Render Targets: 4\n"
      "      - Checking CanAutomaticGenMipmaps...Supported\n      - Checking Device Formats...\n"
      "        - Checking Back Buffer Formats...\n          - A8R8G8B8\n          - X8R8G8B8\n"
      "          - R5G6B5\n        - Checking Rectangle Textures Formats...\n"
      "          - A8R8G8B8 (RT)\n",
      "          - DXT5\n          - D16 (RT)\n",
      "        - Checking Cube Textures Formats...\n",
      "        - Checking ZBuffer Formats...\n          - D16\n          - D24X8\n          - D24S8\n"
      "        - Checking Vertex Textures Formats...\n          - R32F\n          - A32B32G32R32F\n"
      "      - Additional Caps:\n        - Mipmapping\n        - Cube MipMapping\n"
      "        - Two Sided Stencil Test\n        - Volume Textures With MipMapping\n"
      "        - Anisotropic Filtering (16)\n        - Pure Device\n        - Scissor Test\n"
      "        - Stream Offset\n        - Geometry Instancing\n"
      "        - UnConditional Non-Pow-of-2 Textures Support\n",
      "      - Device Is Compatible With GeForce Scheme\n",
      "      - Device Is Compatible With GeForce6800 Scheme\n",
  };
  size_t at = 0;
  for (const char* expected : expectedInOrder) {
    size_t found = text.find(expected, at);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << expected << "\nin:\n" << text;
    at = found + strlen(expected);
  }
  EXPECT_EQ(log.entries.front().source, "D3DEnumeration9");
  EXPECT_EQ(e->GetCompatibleSchemes(), 0x1F6u);
  EXPECT_EQ(e->GetSelectedScheme(), 0x100u);
  EXPECT_EQ(e->IsUsable(), 1u);
  // The defaults are set again once the walks are done.
  EXPECT_EQ(e->GetBackBufferFormat(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(e->GetDepthStencilFormat(), D3DFMT_D24S8);
}

// The family of each card, as the schemes it meets and the one the enumeration selects.
TEST_F(D3D9EnumerationTest, EachCardFamilyMatchesItsSchemes) {
  struct Case {
    const char* name;
    TestCard card;
    DWORD compatible;
    DWORD selected;
  } cases[] = {
      {"shader model 1.1", ShaderModel11Card(), 0x2 | 0x4, 0x4},
      {"shader model 1.4", ShaderModel14Card(), 0x2 | 0x4 | 0x10, 0x10},
      {"shader model 2.0", ShaderModel2Card(), 0x2 | 0x4 | 0x10 | 0x20, 0x20},
      // Radeon9700 comes before GeForceFX in the enumeration's own choice.
      {"shader model 2.0a", ShaderModel2aCard(), 0x2 | 0x4 | 0x10 | 0x20 | 0x40, 0x20},
      {"shader model 3.0", ShaderModel3Card(), 0x1F6, 0x100},
      {"no DXT", NoDxtCard(), 0x2 | 0x4 | 0x10 | 0x20, 0x20},
      {"small textures", SmallTexturesCard(), 0, 0},
  };
  for (const Case& c : cases) {
    CD3D9Enumeration* e = Enumerate(c.card);
    EXPECT_EQ(e->GetCompatibleSchemes(), c.compatible) << c.name;
    EXPECT_EQ(e->GetSelectedScheme(), c.selected) << c.name;
    EXPECT_EQ(e->IsUsable(), c.selected ? 1u : 0u) << c.name;
  }
}

// Each early stop: the line the log ends with, and a record that stays unusable.
TEST_F(D3D9EnumerationTest, EarlyStopsEndTheLogAndLeaveTheRecordUnusable) {
  struct Case {
    const char* name;
    void (*spoil)(TestCard&);
    const char* lastText;
  } cases[] = {
      {"textures of 1024", [](TestCard& c) { c.caps.MaxTextureWidth = 1024; },
       "      - Checking MaxTextureWidth...FAILED\n"},
      {"texture height of 1024", [](TestCard& c) { c.caps.MaxTextureHeight = 1024; },
       "      - Checking MaxTextureHeight...FAILED\n"},
      {"square textures only", [](TestCard& c) { c.caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY; },
       "      - Checking TextureCaps...FAILED\n"},
      {"no hardware", [](TestCard& c) { c.caps.DevCaps = 0; }, "      - Checking DevCaps...FAILED\n"},
      {"no depth formats", [](TestCard& c) { c.depthStencilFormats.clear(); },
       "        - Checking ZBuffer Formats...\n"},
      {"no cube textures", [](TestCard& c) { c.cubeTextureFormats.clear(); },
       "        - Checking ZBuffer Formats...\n          - D16\n          - D24X8\n          - D24S8\n"},
      {"too few lights", [](TestCard& c) { c.caps.MaxActiveLights = 4; },
       "      - Checking MaxActiveLights...FAILED\n"},
      {"one sampler", [](TestCard& c) { c.caps.MaxSimultaneousTextures = 1; },
       "      - Checking MaxSamplerRegisters...FAILED\n"},
      {"no display modes", [](TestCard& c) { c.modes.clear(); }, "    - VendorID: 4318\n"},
  };
  for (const Case& c : cases) {
    TestCard card = ShaderModel3Card();
    c.spoil(card);
    CD3D9Enumeration* e = Enumerate(card);
    const std::string text = Text();
    ASSERT_GE(text.size(), strlen(c.lastText)) << c.name;
    EXPECT_EQ(text.substr(text.size() - strlen(c.lastText)), c.lastText) << c.name;
    EXPECT_EQ(e->IsUsable(), 0u) << c.name;
    EXPECT_EQ(e->GetSelectedScheme(), 0u) << c.name;
    EXPECT_EQ(e->GetCompatibleSchemes(), 0u) << c.name;
  }
}

TEST_F(D3D9EnumerationTest, FailedChecksThatDoNotStopOnlyClearTheirFeature) {
  TestCard card = ShaderModel3Card();
  card.caps.DevCaps2 = 0;
  card.caps.RasterCaps = D3DPRASTERCAPS_SCISSORTEST;
  card.caps.VolumeTextureAddressCaps = 0;
  card.caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
  card.caps.Caps2 = 0;
  card.caps.MaxStreams = 0;
  CD3D9Enumeration* e = Enumerate(card);
  const std::string text = Text();
  EXPECT_NE(text.find("      - Checking DevCaps2...FAILED\n"), std::string::npos);
  EXPECT_NE(text.find("      - Checking RasterCaps...FAILED\n"), std::string::npos);
  EXPECT_NE(text.find("      - Checking VolumeTextureAddressCaps...FAILED\n"), std::string::npos);
  EXPECT_NE(text.find("      - Checking Presentation Invervals...Must Wait For VSYNC\n"), std::string::npos);
  EXPECT_NE(text.find("      - Checking CanAutomaticGenMipmaps...UnSupported\n"), std::string::npos);
  EXPECT_NE(text.find("      - Checking MaxStreams...FAILED\n"), std::string::npos);
  // Anisotropic filtering is off, so its maximum is never checked.
  EXPECT_EQ(text.find("MaxAnisotropy"), std::string::npos);
  EXPECT_EQ(e->IsStreamOffsetSupported(), 0u);
  EXPECT_EQ(e->IsAnisotropicFilteringSupported(), 0u);
  EXPECT_EQ(e->GetMaxAnisotropy(), 0u);
  EXPECT_EQ(e->IsVolumeTextureSupported(), 0u);
  EXPECT_EQ(e->CanPresentImmediately(), 0u);
  EXPECT_EQ(e->CanAutoGenMipmaps(), 0u);
  EXPECT_EQ(e->IsUsable(), 1u);
}

TEST_F(D3D9EnumerationTest, AnAdapterWithoutIdentifierStopsAtOnce) {
  CD3D9Enumeration* e = Enumerate(ShaderModel3Card(), 1);
  EXPECT_EQ(Text(), "    - Can't Get Adapter 1 Identifier\n");
  EXPECT_STREQ(e->GetDescription(), "");
  EXPECT_EQ(e->IsUsable(), 0u);
}

TEST_F(D3D9EnumerationTest, EachStandardModeIsLoggedOnceWhateverItsRefreshRates) {
  TestCard card = ShaderModel3Card();
  card.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8},
                {1024, 768, 75, D3DFMT_X8R8G8B8},
                {1280, 720, 60, D3DFMT_X8R8G8B8},
                {1024, 768, 85, D3DFMT_X8R8G8B8},
                {1152, 864, 60, D3DFMT_X8R8G8B8}};
  CD3D9Enumeration* e = Enumerate(card);
  const std::string text = Text();
  EXPECT_NE(text.find("    - Display Modes:\n      - 1024x768\n      - 1152x864\n    - Checking Caps...\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(e->GetDisplayModeCount(), 5u);
  EXPECT_EQ(e->HasMode1024x768(), 1u);
  EXPECT_EQ(e->HasMode1152x864(), 1u);
  EXPECT_EQ(e->HasMode640x480(), 0u);
  EXPECT_EQ(e->HasMode1280x1024(), 0u);
}

TEST_F(D3D9EnumerationTest, FloatFormatsFallBackToTheDriversFourcc) {
  TestCard card = ShaderModel3Card();
  card.RemoveEverywhere(D3DFMT_A32B32G32R32F);
  card.RemoveEverywhere(D3DFMT_A16B16G16R16F);
  card.textureFormats.push_back(CD3D9Enumeration::kFloatFallbackFormat);
  card.cubeTextureFormats.push_back(CD3D9Enumeration::kFloatFallbackFormat);
  card.renderTargetFormats.push_back(CD3D9Enumeration::kFloatFallbackFormat);
  CD3D9Enumeration* e = Enumerate(card);
  const std::string text = Text();
  EXPECT_NE(text.find("          - A32B32G32R32F (RT) (limitation on adressing)\n"), std::string::npos);
  EXPECT_NE(text.find("          - A16B16G16R16F (RT) (limitation on adressing)\n"), std::string::npos);
  EXPECT_EQ(e->IsTextureFormatSupported(D3DFMT_A32B32G32R32F), 1u);
  EXPECT_EQ(e->IsCubeRenderTargetFormatSupported(D3DFMT_A16B16G16R16F), 1u);
}

TEST_F(D3D9EnumerationTest, ThreeDcCountsAsDxt5AndFormatsOutsideTheTableAreNever) {
  TestCard card = ShaderModel3Card();
  card.RemoveEverywhere(D3DFMT_DXT5);
  card.textureFormats.push_back(CD3D9Enumeration::k3DcFormat);
  card.textureFormats.push_back(D3DFMT_R8G8B8);
  CD3D9Enumeration* e = Enumerate(card);
  EXPECT_NE(Text().find("          - DXT4\n          - 3Dc\n"), std::string::npos);
  EXPECT_EQ(e->IsTextureFormatSupported(D3DFMT_DXT5), 1u);
  EXPECT_EQ(e->IsCubeTextureFormatSupported(D3DFMT_DXT5), 0u);
  EXPECT_EQ(e->IsTextureFormatSupported(D3DFMT_R8G8B8), 0u);
  // Compressed formats are never render targets.
  EXPECT_EQ(e->IsRenderTargetFormatSupported(D3DFMT_DXT1), 0u);
  EXPECT_EQ(e->HasTextureFormatBits(0x10 | 0x80000), 1u);
  EXPECT_EQ(e->HasRenderTargetFormatBits(0x10), 0u);
}

TEST_F(D3D9EnumerationTest, HardwareVertexProcessingNeedsShadersOfBothKinds) {
  struct Case {
    int vs[2];
    int ps[2];
    UINT hardware;
    DWORD vsVersion;
  } cases[] = {
      {{0, 0}, {1, 1}, 0, 0x0},
      {{1, 1}, {0, 0}, 0, 0x10001},
      {{1, 1}, {1, 4}, 1, 0x10001},
      {{2, 0}, {2, 0}, 1, 0x20000},
      {{3, 0}, {3, 0}, 1, 0x30000},
  };
  for (const Case& c : cases) {
    TestCard card = ShaderModel11Card();
    card.SetShaderVersions(c.vs[0], c.vs[1], c.ps[0], c.ps[1]);
    CD3D9Enumeration* e = Enumerate(card);
    EXPECT_EQ(e->IsHardwareVertexProcessing(), c.hardware) << c.vs[0] << "." << c.vs[1];
    EXPECT_EQ(e->GetVertexShaderVersion(), c.vsVersion);
    EXPECT_EQ(e->GetPixelShaderVersion(), static_cast<DWORD>(c.ps[0] << 16 | c.ps[1]));
  }
}

TEST_F(D3D9EnumerationTest, OnlyTheExactPerfHudDescriptionMarksThePerformanceAdapter) {
  TestCard card = ShaderModel3Card();
  snprintf(card.identifier.Description, sizeof card.identifier.Description, "NVIDIA NVPerfHUD");
  EXPECT_EQ(Enumerate(card)->IsPerformanceHUD(), 1u);
  snprintf(card.identifier.Description, sizeof card.identifier.Description, "NVIDIA NVPerfHUD 2");
  EXPECT_EQ(Enumerate(card)->IsPerformanceHUD(), 0u);
}

// The two driver texts fill 512 bytes each; the description has room for 256.
TEST_F(D3D9EnumerationTest, TheDescriptionIsBoundedByItsField) {
  TestCard card = ShaderModel3Card();
  memset(card.identifier.Description, 'D', sizeof card.identifier.Description - 1);
  memset(card.identifier.Driver, 'V', sizeof card.identifier.Driver - 1);
  CD3D9Enumeration* e = Enumerate(card);
  EXPECT_EQ(strlen(e->GetDescription()), CD3D9Enumeration::kDescriptionSize - 1);
  EXPECT_EQ(std::string(e->GetDescription()).rfind("Device 0: DDD", 0), 0u);
  EXPECT_EQ(e->IsUsable(), 1u);
}

TEST_F(D3D9EnumerationTest, AutomaticMipmapsNeedTheSettingsTheAdapterAndTheFormat) {
  DeviceSettings settings = {};
  CD3D9Enumeration* e = Enumerate(ShaderModel3Card());
  // No settings yet: the engine has not chosen its preset.
  EXPECT_EQ(e->CanAutoGenMipmapsForFormat(D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE), 0u);
  owner.settings = &settings;
  EXPECT_EQ(e->CanAutoGenMipmapsForFormat(D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE), 0u);
  settings.dwAllowAutoGenMipmaps = 1;
  EXPECT_EQ(e->CanAutoGenMipmapsForFormat(D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE), 1u);
  // The adapter accepts DXT1 but will not generate its mipmaps: a success code all the same.
  EXPECT_EQ(e->CanAutoGenMipmapsForFormat(D3DFMT_DXT1, D3DRTYPE_TEXTURE), 1u);
  EXPECT_EQ(e->CanAutoGenMipmapsForFormat(D3DFMT_R8G8B8, D3DRTYPE_TEXTURE), 0u);

  TestCard noAutoGen = ShaderModel3Card();
  noAutoGen.caps.Caps2 = 0;
  EXPECT_EQ(Enumerate(noAutoGen)->CanAutoGenMipmapsForFormat(D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE), 0u);
}

using FlagAccessor = UINT (CD3D9Enumeration::*)() const;
using MaskAccessor = DWORD (CD3D9Enumeration::*)() const;

// Every accessor of a record that stopped before it learnt anything answers 0; the same
// accessors on a full card answer what the card offers.
TEST_F(D3D9EnumerationTest, EveryAccessorAnswersZeroUntilItsStepIsReached) {
  struct Flag {
    const char* name;
    FlagAccessor accessor;
    UINT onFullCard;
  } flags[] = {
      {"IsAnisotropicFilteringSupported", &CD3D9Enumeration::IsAnisotropicFilteringSupported, 1},
      {"IsMipmappingSupported", &CD3D9Enumeration::IsMipmappingSupported, 1},
      {"IsHardwareVertexProcessing", &CD3D9Enumeration::IsHardwareVertexProcessing, 1},
      {"IsCubeMipmappingSupported", &CD3D9Enumeration::IsCubeMipmappingSupported, 1},
      {"IsVolumeTextureSupported", &CD3D9Enumeration::IsVolumeTextureSupported, 1},
      {"IsVolumeMipmappingSupported", &CD3D9Enumeration::IsVolumeMipmappingSupported, 1},
      {"IsNPatchesSupported", &CD3D9Enumeration::IsNPatchesSupported, 0},
      {"IsGeometryInstancingSupported", &CD3D9Enumeration::IsGeometryInstancingSupported, 1},
      {"IsStreamOffsetSupported", &CD3D9Enumeration::IsStreamOffsetSupported, 1},
      {"IsScissorTestSupported", &CD3D9Enumeration::IsScissorTestSupported, 1},
      {"GetReservedFlag", &CD3D9Enumeration::GetReservedFlag, 0},
      {"CanPresentImmediately", &CD3D9Enumeration::CanPresentImmediately, 1},
      {"HasMode640x480", &CD3D9Enumeration::HasMode640x480, 1},
      {"HasMode800x600", &CD3D9Enumeration::HasMode800x600, 1},
      {"HasMode1024x768", &CD3D9Enumeration::HasMode1024x768, 1},
      {"HasMode1152x864", &CD3D9Enumeration::HasMode1152x864, 0},
      {"HasMode1280x960", &CD3D9Enumeration::HasMode1280x960, 0},
      {"HasMode1280x1024", &CD3D9Enumeration::HasMode1280x1024, 1},
      {"HasMode1600x1200", &CD3D9Enumeration::HasMode1600x1200, 1},
      {"IsNonPow2ConditionalSupported", &CD3D9Enumeration::IsNonPow2ConditionalSupported, 1},
      {"IsNonPow2UnconditionalSupported", &CD3D9Enumeration::IsNonPow2UnconditionalSupported, 1},
      {"IsTwoSidedStencilSupported", &CD3D9Enumeration::IsTwoSidedStencilSupported, 1},
      {"GetMaxAnisotropy", &CD3D9Enumeration::GetMaxAnisotropy, 16},
      {"GetMaxSimultaneousTextures", &CD3D9Enumeration::GetMaxSimultaneousTextures, 8},
      {"GetMaxUserClipPlanes", &CD3D9Enumeration::GetMaxUserClipPlanes, 6},
      {"GetMaxVertexShaderConstants", &CD3D9Enumeration::GetMaxVertexShaderConstants, 256},
      {"GetNumSimultaneousRenderTargets", &CD3D9Enumeration::GetNumSimultaneousRenderTargets, 4},
      {"CanAutoGenMipmaps", &CD3D9Enumeration::CanAutoGenMipmaps, 1},
      {"IsPureDevice", &CD3D9Enumeration::IsPureDevice, 1},
      {"UsesReferenceRasterizer", &CD3D9Enumeration::UsesReferenceRasterizer, 0},
      {"GetMaxTextureWidth", &CD3D9Enumeration::GetMaxTextureWidth, 4096},
      {"GetMaxTextureHeight", &CD3D9Enumeration::GetMaxTextureHeight, 4096},
  };
  struct Mask {
    const char* name;
    MaskAccessor accessor;
    DWORD onFullCard;
  } masks[] = {
      {"GetSelectedScheme", &CD3D9Enumeration::GetSelectedScheme, 0x100},
      {"GetCompatibleSchemes", &CD3D9Enumeration::GetCompatibleSchemes, 0x1F6},
      {"GetVertexShaderVersion", &CD3D9Enumeration::GetVertexShaderVersion, 0x30000},
      {"GetPixelShaderVersion", &CD3D9Enumeration::GetPixelShaderVersion, 0x30000},
      // Every colour format of the table but A2B10G10R10, the five DXT formats, the depths.
      {"GetTextureFormats", &CD3D9Enumeration::GetTextureFormats, 0x0E0BFFFF},
      {"GetRenderTargetFormats", &CD3D9Enumeration::GetRenderTargetFormats, 0x0E0BFE0F},
      {"GetCubeTextureFormats", &CD3D9Enumeration::GetCubeTextureFormats, 0x0E0BFFFF},
      {"GetCubeRenderTargetFormats", &CD3D9Enumeration::GetCubeRenderTargetFormats, 0x0E0BFE0F},
      {"GetBackBufferFormats", &CD3D9Enumeration::GetBackBufferFormats, 0x7},
      {"GetVertexTextureFormats", &CD3D9Enumeration::GetVertexTextureFormats, 0x2400},
  };
  CD3D9Enumeration* full = Enumerate(ShaderModel3Card());
  for (const Flag& flag : flags) EXPECT_EQ((full->*flag.accessor)(), flag.onFullCard) << flag.name;
  for (const Mask& mask : masks) EXPECT_EQ((full->*mask.accessor)(), mask.onFullCard) << mask.name;
  EXPECT_FLOAT_EQ(full->GetPixelShader1xMaxValue(), 65504.0f);
  EXPECT_STREQ(full->GetDeviceName(), "\\\\.\\DISPLAY1");

  CD3D9Enumeration* empty = Enumerate(ShaderModel3Card(), 1);
  for (const Flag& flag : flags) EXPECT_EQ((empty->*flag.accessor)(), 0u) << flag.name;
  for (const Mask& mask : masks) EXPECT_EQ((empty->*mask.accessor)(), 0u) << mask.name;
  EXPECT_EQ(empty->GetPixelShader1xMaxValue(), 0.0f);
  EXPECT_STREQ(empty->GetDeviceName(), "");
  EXPECT_EQ(empty->GetTextureFormat(), D3DFMT_X8R8G8B8);
  EXPECT_EQ(empty->GetSecondaryTextureFormat(), D3DFMT_X8R8G8B8);
  EXPECT_EQ(empty->CanAutoGenMipmapsForFormat(D3DFMT_A8R8G8B8, D3DRTYPE_TEXTURE), 0u);
}

TEST_F(D3D9EnumerationTest, TheSettersStoreWhatTheEngineChose) {
  CD3D9Enumeration* e = Enumerate(ShaderModel3Card());
  EXPECT_EQ(e->SetHardwareVertexProcessing(0), 1u);
  e->UseReferenceRasterizer();
  e->SetCompatibleSchemes(0x42);
  e->SetSelectedScheme(0x40);
  e->SetFormats(D3DFMT_R5G6B5, D3DFMT_V8U8, D3DFMT_R5G6B5, D3DFMT_D16);
  EXPECT_EQ(e->IsHardwareVertexProcessing(), 0u);
  EXPECT_EQ(e->UsesReferenceRasterizer(), 1u);
  EXPECT_EQ(e->GetCompatibleSchemes(), 0x42u);
  EXPECT_EQ(e->GetSupportedSchemes(), 0x1F6u);
  EXPECT_EQ(e->GetSelectedScheme(), 0x40u);
  EXPECT_EQ(e->GetSecondaryTextureFormat(), D3DFMT_V8U8);
  EXPECT_EQ(e->GetDepthStencilFormat(), D3DFMT_D16);
}

}  // namespace
