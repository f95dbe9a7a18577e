#include "d3d/DeviceChoice.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestCards.h"
#include "d3d/D3D9Adapters.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/DeviceSettings.h"
#include "d3d/RenderingProfileInterface.h"

namespace {

constexpr DWORD kAllSchemes = 0x1FE;

ConfigureGFX Preset(DWORD scheme, WORD extra1 = 0, WORD extra2 = 0, DWORD backBuffer = 1) {
  ConfigureGFX preset = {};
  preset.dwSize = sizeof preset;
  preset.dwScheme = scheme;
  preset.Surfaces[4].dwValue = backBuffer;
  preset.wExtraSurfaceFormat1 = extra1;
  preset.wExtraSurfaceFormat2 = extra2;
  preset.wDeviceValue = 2;
  preset.wLightingModel = 3;
  preset.dwDeviceValue = 7;
  return preset;
}

// Public, so that the tables of cases below can prepare the fixture.
class DeviceChoiceTest : public ::testing::Test {
 public:
  DeviceChoiceTest() : adapters(&log), choice(&log) {
    for (DWORD scheme = 0x2; scheme <= 0x100; scheme <<= 1) presets.push_back(Preset(scheme));
    config.dwSize = sizeof config;
    config.dwSchemeMask = kAllSchemes;
    config.wWidth = 1024;
    config.wHeight = 768;
    config.dwVSync = 1;
    config.dwDeviceValue = 5;
    descriptor.dwSize = sizeof descriptor;
    descriptor.dwWindowed = 1;
    descriptor.dwShowCommand = 10;
  }

  // Enumerates the card as pre-initialisation does and answers adapter 0's record.
  CD3D9Enumeration& Enumerate(const TestCard& card) {
    card.Apply();
    choice.EnumerateDevices(adapters, descriptor);
    log.entries.clear();
    return *adapters.GetAdapterEnumeration(0);
  }
  DWORD ChooseForInit(const TestCard& card) {
    CD3D9Enumeration& e = Enumerate(card);
    UsePresets();
    return choice.ChooseForInit(config, descriptor, e, settings, reinterpret_cast<HWND>(0x1234));
  }
  void UsePresets() {
    config.pPresets = presets.data();
    config.dwNumberOfPresets = static_cast<DWORD>(presets.size());
  }
  std::string Info() const { return log.TextAt(CEngineLog::kLevelInfo); }
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  EngineContextScope context;
  TestCardScope cardScope;
  CRecordingEngineLog log;
  CD3D9Adapters adapters;
  CDeviceChoice choice;
  std::vector<ConfigureGFX> presets;
  ZeKorbConfig config = {};
  ApplicationDescriptor descriptor = {};
  DeviceSettings settings = {};
};

// What Init settles on for each card family with every scheme allowed and one preset each.
TEST_F(DeviceChoiceTest, EachCardGetsItsSchemeAndFormats) {
  struct Case {
    const char* name;
    TestCard card;
    DWORD scheme;
  } cases[] = {
      {"shader model 1.1", ShaderModel11Card(), ZK_SCHEME_GEFORCE3},
      {"shader model 1.4", ShaderModel14Card(), ZK_SCHEME_RADEON8500},
      {"shader model 2.0", ShaderModel2Card(), ZK_SCHEME_RADEON9700},
      // GeForceFX comes first at Init, whatever the enumeration preferred.
      {"shader model 2.0a", ShaderModel2aCard(), ZK_SCHEME_GEFORCEFX},
      // The two newest schemes are never chosen at Init.
      {"shader model 3.0", ShaderModel3Card(), ZK_SCHEME_GEFORCEFX},
      {"no DXT", NoDxtCard(), ZK_SCHEME_RADEON9700},
  };
  for (Case& c : cases) {
    presets = {Preset(c.scheme, 6, 3)};
    EXPECT_EQ(ChooseForInit(c.card), c.scheme) << c.name;
    EXPECT_EQ(settings.dwSelectedScheme, c.scheme) << c.name;
    EXPECT_EQ(adapters.GetAdapterEnumeration(0)->GetSelectedScheme(), c.scheme) << c.name;
    EXPECT_EQ(settings.BackBufferFormat, D3DFMT_A8R8G8B8) << c.name;
    EXPECT_EQ(settings.DepthStencilFormat, D3DFMT_D24S8) << c.name;
    // Half floats in every kind of texture and V8U8 as texture and target: shader model 2 up.
    const bool floats = c.scheme >= ZK_SCHEME_RADEON9700;
    EXPECT_EQ(settings.TextureFormat, floats ? D3DFMT_A16B16G16R16F : D3DFMT_X8R8G8B8) << c.name;
    EXPECT_EQ(settings.SecondaryTextureFormat, D3DFMT_V8U8) << c.name;
    EXPECT_EQ(Errors(), floats ? "" : "WARNING!!! - Device Doesnt Support A16B16G16R16F, 32bpp integer color "
                                      "format will be used!!!\n")
        << c.name;
  }
}

TEST_F(DeviceChoiceTest, InitListsTheApplicationsSchemesAndTheOneSelected) {
  config.dwSchemeMask = ZK_SCHEME_GEFORCE2 | ZK_SCHEME_RADEON8500 | ZK_SCHEME_GEFORCEFX | ZK_SCHEME_GEFORCE6800;
  EXPECT_EQ(ChooseForInit(ShaderModel3Card()), ZK_SCHEME_GEFORCEFX);
  EXPECT_EQ(Info(),
            "- App Can Work With The Following Schemes:\n  - Radeon8500\n  - GeForceFX\n  - GeForce2\n"
            "- Selected Scheme Is:\n  - GeForceFX\n");
  EXPECT_EQ(log.entries.front().source, "ZKDXInterface");
  EXPECT_EQ(adapters.GetAdapterEnumeration(0)->GetCompatibleSchemes(),
            ZK_SCHEME_GEFORCE2 | ZK_SCHEME_RADEON8500 | ZK_SCHEME_GEFORCEFX);
}

TEST_F(DeviceChoiceTest, ATechniqueMaskNarrowsTheChoice) {
  config.dwTechniqueMask = ZK_SCHEME_RADEON8500 | ZK_SCHEME_GEFORCE3;
  EXPECT_EQ(ChooseForInit(ShaderModel3Card()), ZK_SCHEME_RADEON8500);
}

TEST_F(DeviceChoiceTest, AChangeOfConfigurationMayChooseTheNewestSchemes) {
  struct Case {
    const char* name;
    TestCard card;
    DWORD schemeMask;
    DWORD techniqueMask;
    DWORD chosen;
  } cases[] = {
      {"all allowed", ShaderModel3Card(), kAllSchemes, 0, ZK_SCHEME_GEFORCE6800},
      // By technique, GeForce6800 rides on the GeForceFX bit of the scheme mask.
      {"by technique", ShaderModel3Card(), ZK_SCHEME_GEFORCEFX, ZK_SCHEME_GEFORCE6800, ZK_SCHEME_GEFORCE6800},
      {"X800 by technique", ShaderModel3Card(), ZK_SCHEME_RADEON9700, ZK_SCHEME_RADEONX800, ZK_SCHEME_RADEONX800},
      {"shader model 2.0", ShaderModel2Card(), kAllSchemes, 0, ZK_SCHEME_RADEON9700},
  };
  for (Case& c : cases) {
    CD3D9Enumeration& e = Enumerate(c.card);
    UsePresets();
    choice.ChooseForInit(config, descriptor, e, settings, nullptr);
    config.dwSchemeMask = c.schemeMask;
    config.dwTechniqueMask = c.techniqueMask;
    log.entries.clear();
    EXPECT_EQ(choice.ChooseForChange(config, descriptor, e, settings, nullptr), c.chosen) << c.name;
    EXPECT_EQ(settings.dwSelectedScheme, c.chosen) << c.name;
    config.dwSchemeMask = kAllSchemes;
    config.dwTechniqueMask = 0;
  }
  EXPECT_EQ(Info(),
            "- App Can Work With The Following Schemes:\n  - Radeon9700\n  - Radeon8500\n  - GeForce3\n"
            "  - GeForce2\n- Selected Scheme Is:\n  - Radeon9700\n");
}

TEST_F(DeviceChoiceTest, ThePresetFillsTheDeviceSettings) {
  presets = {Preset(ZK_SCHEME_RADEON9700, 1, 2, 0), Preset(ZK_SCHEME_RADEON9700, 0, 0)};
  config.dwUseDeviceValues = 1;
  config.dwDeviceValueA = 9;
  ChooseForInit(ShaderModel2Card());
  EXPECT_EQ(settings.hWnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(settings.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(settings.DepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(settings.TextureFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(settings.SecondaryTextureFormat, D3DFMT_DXT1);
  const DWORD kinds[] = {0x10000, 0x10004, 0x10001, 0x10005, 0x10002};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(presets[0].Surfaces[i].dwKind, kinds[i]);
    ASSERT_EQ(settings.Descriptors[i].dwCount, 1u);
    EXPECT_EQ(settings.Descriptors[i].pDescriptors[0], &presets[0].Surfaces[i]);
  }
  // No descriptor of the preset serves the last two kinds.
  EXPECT_EQ(settings.Descriptors[5].dwCount, 0u);
  EXPECT_EQ(settings.Descriptors[6].dwCount, 0u);
  EXPECT_EQ(settings.wTextureFilter, 2);
  EXPECT_EQ(settings.dwMipmapping, 7u);
  EXPECT_EQ(settings.dwMultithreaded, 5u);
  EXPECT_EQ(settings.dwVSync, 1u);
  EXPECT_EQ(settings.dwShowCommand, 10u);
  EXPECT_EQ(settings.dwWindowed, 1u);
  EXPECT_EQ(context->wPresetValue, 3);
  EXPECT_EQ(context->dwPriorityClass, 32u);
  // The adapter never confirms the device values, so they stay 0 even when asked for.
  EXPECT_EQ(settings.dwIndexBufferResourceManagement, 0u);
  EXPECT_EQ(settings.dwVertexBufferResourceManagement, 0u);
}

TEST_F(DeviceChoiceTest, UnsupportedSurfaceFormatsFallBackWithAWarning) {
  struct Case {
    WORD code;
    D3DFORMAT removed;
    D3DFORMAT expected;
    const char* warning;
  } cases[] = {
      {3, D3DFMT_V8U8, D3DFMT_X8R8G8B8,
       "WARNING!!! - Device Doesnt Support V8U8, 32bpp integer color format will be used!!!\n"},
      {4, D3DFMT_G16R16, D3DFMT_X8R8G8B8,
       "WARNING!!! - Device Doesnt Support G16R16, 32bpp integer color format will be used!!!\n"},
      {5, D3DFMT_A16B16G16R16, D3DFMT_X8R8G8B8,
       "WARNING!!! - Device Doesnt Support A16B16G16R16, 32bpp integer color format will be used!!!\n"},
      {6, D3DFMT_A16B16G16R16F, D3DFMT_X8R8G8B8,
       "WARNING!!! - Device Doesnt Support A16B16G16R16F, 32bpp integer color format will be used!!!\n"},
      {4, D3DFMT_UNKNOWN, D3DFMT_G16R16, ""},
      {9, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8, ""},
  };
  for (const Case& c : cases) {
    TestCard card = ShaderModel2Card();
    // Gone as a render target only: the second surface needs both uses.
    TestCard::Remove(card.renderTargetFormats, c.removed);
    presets = {Preset(ZK_SCHEME_RADEON9700, 0, c.code)};
    ChooseForInit(card);
    EXPECT_EQ(settings.SecondaryTextureFormat, c.expected) << c.code;
    EXPECT_EQ(Errors(), c.warning) << c.code;
  }
}

TEST_F(DeviceChoiceTest, AStandardModeTheAdapterLacksStepsDown) {
  struct Case {
    WORD width, height;
    WORD settledWidth, settledHeight;
  } cases[] = {
      {1600, 1200, 1024, 768}, {1280, 960, 1024, 768}, {800, 600, 800, 600}, {1366, 768, 1366, 768},
  };
  for (const Case& c : cases) {
    TestCard card = ShaderModel2Card();
    card.modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8}, {1024, 768, 60, D3DFMT_X8R8G8B8}};
    config.wWidth = c.width;
    config.wHeight = c.height;
    ChooseForInit(card);
    EXPECT_EQ(config.wWidth, c.settledWidth) << c.width;
    EXPECT_EQ(config.wHeight, c.settledHeight) << c.width;
    EXPECT_EQ(settings.wWidth, c.settledWidth) << c.width;
    EXPECT_EQ(settings.wHeight, c.settledHeight) << c.width;
  }
}

TEST_F(DeviceChoiceTest, TheConfigurationCanAskForSoftwareOrReferenceDevices) {
  config.dwNoHardwareVertexProcessing = 1;
  config.dwReferenceRasterizer = 1;
  ChooseForInit(ShaderModel2Card());
  EXPECT_EQ(adapters.GetAdapterEnumeration(0)->IsHardwareVertexProcessing(), 0u);
  EXPECT_EQ(adapters.GetAdapterEnumeration(0)->UsesReferenceRasterizer(), 1u);
}

// Each choice that cannot be made ends the process with its box.
TEST_F(DeviceChoiceTest, ChoicesThatCannotBeMadeAreFatal) {
  struct Case {
    const char* name;
    void (*prepare)(DeviceChoiceTest&);
    const char* title;
    const char* text;
  } cases[] = {
      {"no preset for the scheme", [](DeviceChoiceTest& t) { t.presets = {Preset(ZK_SCHEME_GEFORCE3)}; },
       "Error While Initializing", "Can't Find Correct Preset"},
      {"no presets", [](DeviceChoiceTest& t) { t.presets.clear(); }, "Error While Initializing",
       "Can't Find Correct Preset"},
      {"no scheme allowed", [](DeviceChoiceTest& t) { t.config.dwSchemeMask = ZK_SCHEME_RADEONX800; },
       "Error While Initializing Engine", "Can't Set Adequate Technique"},
      {"no standard mode", [](DeviceChoiceTest& t) {
         t.config.wWidth = 800;
         t.config.wHeight = 600;
       },
       "Error While Looking For Video Modes", "Can't Find Suitable Video Mode"},
  };
  for (const Case& c : cases) {
    presets.clear();
    for (DWORD scheme = 0x2; scheme <= 0x100; scheme <<= 1) presets.push_back(Preset(scheme));
    config.dwSchemeMask = kAllSchemes;
    config.wWidth = 1024;
    config.wHeight = 768;
    c.prepare(*this);
    TestCard card = ShaderModel2Card();
    card.modes = {{1280, 720, 60, D3DFMT_X8R8G8B8}};
    CD3D9Enumeration& e = Enumerate(card);
    UsePresets();
    ProcessExitCatcher catcher;
    try {
      choice.ChooseForInit(config, descriptor, e, settings, nullptr);
      ADD_FAILURE() << c.name << " returned";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u) << c.name;
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u) << c.name;
    EXPECT_EQ(catcher.Boxes()[0].caption, c.title) << c.name;
    EXPECT_EQ(catcher.Boxes()[0].text, c.text) << c.name;
  }
}

TEST_F(DeviceChoiceTest, AFailedEnumerationNamesTheMostDemandingSchemeAsked) {
  RenderingScheme records[2] = {};
  for (RenderingScheme& record : records) record.dwSize = 360;
  records[0].dwScheme = ZK_SCHEME_GEFORCE3;
  records[1].dwScheme = ZK_SCHEME_RADEON9700;
  struct Case {
    DWORD count;
    const char* start;
  } cases[] = {
      {0, "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce compatible features:\n"
          "- Two simulatenous textures\n"},
      {1, "Can't Enumerate D3D Devices.\nMake sure your device supports at least GeForce3 compatible"},
      {2, "Can't Enumerate D3D Devices.\nMake sure your device supports at least Radeon9700 compatible"},
  };
  for (const Case& c : cases) {
    descriptor.pRenderingSchemes = records;
    descriptor.dwNumberOfRenderingSchemes = c.count;
    SmallTexturesCard().Apply();
    ProcessExitCatcher catcher;
    EXPECT_THROW(choice.EnumerateDevices(adapters, descriptor), ProcessExited);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Error!");
    EXPECT_EQ(catcher.Boxes()[0].text.rfind(c.start, 0), 0u) << catcher.Boxes()[0].text;
  }
  EXPECT_NE(Info().find("      - Checking MaxTextureWidth...FAILED\n"), std::string::npos);
}

// An application record that asks for little makes even a shader model 1.1 card a Radeon9700.
TEST_F(DeviceChoiceTest, ApplicationRecordsReplaceBuiltInOnesInTheEnumeration) {
  RenderingScheme easy = {};
  snprintf(easy.szName, sizeof easy.szName, "Easy9700");
  easy.dwSize = 360;
  easy.dwScheme = ZK_SCHEME_RADEON9700;
  descriptor.pRenderingSchemes = &easy;
  descriptor.dwNumberOfRenderingSchemes = 1;
  TestCard card = ShaderModel11Card();
  card.caps.StencilCaps = 0xFF;
  card.Apply();
  choice.EnumerateDevices(adapters, descriptor);
  EXPECT_EQ(adapters.GetNumberOfSchemes(), 7u);
  EXPECT_STREQ(adapters.GetScheme(0)->szName, "Easy9700");
  EXPECT_NE(Info().find("      - Device Is Compatible With Easy9700 Scheme\n"), std::string::npos);
  EXPECT_EQ(Info().find("Radeon9700 Scheme"), std::string::npos);
  EXPECT_EQ(adapters.GetAdapterEnumeration(0)->GetSelectedScheme(), ZK_SCHEME_RADEON9700);
}

class RenderingProfileTest : public DeviceChoiceTest {
 protected:
  UINT Load(const char* library) {
    presets = {Preset(ZK_SCHEME_GEFORCE3), Preset(ZK_SCHEME_RADEON9700), Preset(ZK_SCHEME_RADEON9700)};
    presets[2].szRenderingProfileLibrary = library;
    UsePresets();
    return choice.LoadRenderingProfile(config, ZK_SCHEME_RADEON9700, &renderer, loaded);
  }
  void TearDown() override { CDeviceChoice::UnloadRenderingProfile(loaded); }

  RecordingRenderer renderer;
  RenderingProfileLibrary loaded;
};

TEST_F(RenderingProfileTest, TheNamedLibraryGivesItsProfile) {
  EXPECT_EQ(Load("ZkTestGoodRenderingProfile.dll"), 1u);
  ASSERT_NE(loaded.hLibrary, nullptr);
  ASSERT_NE(loaded.pProfile, nullptr);
  using Arguments = void (*)(CD3D9RendererInterface**, CEngineLog**, CRenderingProfileInterface**);
  auto arguments = reinterpret_cast<Arguments>(GetProcAddress(loaded.hLibrary, "TestRenderingProfileArguments"));
  ASSERT_NE(arguments, nullptr);
  CD3D9RendererInterface* givenRenderer = nullptr;
  CEngineLog* givenLog = nullptr;
  CRenderingProfileInterface* profile = nullptr;
  arguments(&givenRenderer, &givenLog, &profile);
  EXPECT_EQ(givenRenderer, &renderer);
  EXPECT_EQ(givenLog, &log);
  EXPECT_EQ(profile, loaded.pProfile);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(RenderingProfileTest, ABrokenOrMissingLibraryIsLoggedAndSkipped) {
  struct Case {
    const char* library;
    std::string logged;
  } cases[] = {
      {"ZkTestMissingRenderingProfile.dll",
       "ERROR!!! - Can't Load Rendering Profile DLL: ZkTestMissingRenderingProfile.dll\n"},
      {"ZkTestNoEntryRenderingProfile.dll",
       "ERROR!!! - Can't Load Rendering Profile's Main Function In DLL: ZkTestNoEntryRenderingProfile.dll ("},
      {"ZkTestNullRenderingProfile.dll",
       "ERROR!!! - Can't Load Rendering Profile's Interface From DLL: ZkTestNullRenderingProfile.dll\n"},
  };
  for (const Case& c : cases) {
    log.entries.clear();
    EXPECT_EQ(Load(c.library), 0u) << c.library;
    EXPECT_EQ(loaded.hLibrary, nullptr);
    EXPECT_EQ(loaded.pProfile, nullptr);
    EXPECT_EQ(Errors().rfind(c.logged, 0), 0u) << Errors();
  }
}

TEST_F(RenderingProfileTest, WithoutANamedLibraryNothingIsLoaded) {
  EXPECT_EQ(Load(nullptr), 0u);
  EXPECT_EQ(loaded.pProfile, nullptr);
  EXPECT_TRUE(log.entries.empty());
}

}  // namespace
