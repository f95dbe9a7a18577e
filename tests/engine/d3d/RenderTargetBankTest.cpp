// The render-target bank on the null back end: what it builds from the description lists, the
// format words, taking targets, the stack, and the device reset around it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RenderTargetTestBench.h"
#include "d3d/BackBufferRenderTarget.h"
#include "d3d/DeviceLossHook.h"

namespace {

using Bench = RenderTargetTestBench;
const std::vector<std::string> kCreations = {"CreateTexture", "CreateCubeTexture", "CreateDepthStencilSurface"};

// What the bank and its targets logged at the information level.
std::string BuildLog(const Bench& b) {
  std::string text;
  for (const CRecordingEngineLog::Entry& entry : b.bench.log.entries)
    if (entry.level == CEngineLog::kLevelInfo && entry.source.find("D3DRenderTarget") != std::string::npos)
      text += entry.text;
  return text;
}

struct BuildCase {
  const char* name;
  Bench::Describe describe;
  // Plain, FP plain, cube, FP cube, physical, FP physical, depth buffers.
  std::vector<UINT> counts;
  std::vector<std::string> creations;
  std::vector<std::string> lines;  // appear in this order in the log
};

const BuildCase kBuildCases[] = {
    {"NothingDescribed", [](Bench&, DeviceSettings&) {}, {0, 0, 0, 0, 0, 0, 1}, {},
     {"  - Initializing Render Targets:\n    - Creating Physical Render Targets:\n      - none\n"
      "    - Creating FP Physical Render Targets:\n      - none\n    - Creating Depth Buffers:\n"
      "      - Width: 64, Height: 64\n    - Creating Rectangle Render Targets:\n      - none\n"
      "    - Creating FP Rectangle Render Targets:\n      - none\n    - Creating Cube Render Targets:\n"
      "      - none\n    - Creating FP Cube Render Targets:\n      - none\n"}},
    // The primary depth buffer serves targets of the screen's size.
    {"ScreenSizedRectangle",
     [](Bench& b, DeviceSettings& s) { b.Add(s, Bench::kRectangle, 2, 0x1, 64, 64); },
     {2, 0, 0, 0, 0, 0, 1},
     {"CreateTexture(64, 64, 1, 0x1, 21, 0)", "CreateTexture(64, 64, 1, 0x1, 21, 0)"},
     {"    - Creating Rectangle Render Targets:\n      - Count: 2, Width: 64, Height: 64, Format: A8R8G8B8\n"}},
    // A size sharing only its width with the screen needs a depth buffer of its own.
    {"SizeSharingOneSide",
     [](Bench& b, DeviceSettings& s) { b.Add(s, Bench::kRectangle, 1, 0x2, 64, 32); },
     {1, 0, 0, 0, 0, 0, 2},
     {"CreateDepthStencilSurface(64, 32, 75)", "CreateTexture(64, 32, 1, 0x1, 22, 0)"},
     {"      - Width: 64, Height: 64\n      - Width: 64, Height: 32\n"}},
    // One depth buffer per distinct size: the two 32 cubes share one, the 64 cube uses the screen's.
    {"Cubes",
     [](Bench& b, DeviceSettings& s) {
       b.Add(s, Bench::kCube, 2, 0x1, 32);
       b.Add(s, Bench::kCube, 0, 0x1, 128);
       b.Add(s, Bench::kFloatCube, 1, 0x8000, 64);
       b.Add(s, Bench::kFloatCube, 1, 0x1, 32);
     },
     {0, 0, 2, 2, 0, 0, 2},
     {"CreateDepthStencilSurface(32, 32, 75)", "CreateCubeTexture(32, 1, 0x1, 21, 0)",
      "CreateCubeTexture(32, 1, 0x1, 21, 0)", "CreateCubeTexture(64, 1, 0x1, 113, 0)",
      "CreateCubeTexture(32, 1, 0x1, 21, 0)"},
     {"    - Creating Cube Render Targets:\n      - Count: 2, Edge: 32, Format: A8R8G8B8\n"
      "    - Creating FP Cube Render Targets:\n      - Count: 1, Edge: 64, Format: A16B16G16R16F\n"
      "      - Count: 1, Edge: 32, Format: A8R8G8B8\n"}},
    // Physical targets come first, then the depth buffers, then the rectangles.
    {"FloatingPointPools",
     [](Bench& b, DeviceSettings& s) {
       b.Add(s, Bench::kFloatRectangle, 1, 0x400, 128, 128);
       b.Add(s, Bench::kPhysical, 1, 0x1, 64, 64);
       b.Add(s, Bench::kFloatPhysical, 2, 0x800, 32, 16);
     },
     {0, 1, 0, 0, 1, 2, 3},
     {"CreateTexture(64, 64, 1, 0x1, 21, 0)", "CreateTexture(32, 16, 1, 0x1, 111, 0)",
      "CreateTexture(32, 16, 1, 0x1, 111, 0)", "CreateDepthStencilSurface(128, 128, 75)",
      "CreateDepthStencilSurface(32, 16, 75)", "CreateTexture(128, 128, 1, 0x1, 114, 0)"},
     {"    - Creating Physical Render Targets:\n      - Count: 1, Width: 64, Height: 64, Format: A8R8G8B8\n",
      "    - Creating FP Physical Render Targets:\n      - Count: 2, Width: 32, Height: 16, Format: R16F\n",
      "    - Creating FP Rectangle Render Targets:\n      - Count: 1, Width: 128, Height: 128, Format: R32F\n"}},
    // A depth size no target is large enough for gets a plain target of its size, in R5G6B5 where
    // the card renders to it; a covered one does not.
    {"DepthListFeedsPlainTargets",
     [](Bench& b, DeviceSettings& s) {
       b.Add(s, Bench::kRectangle, 1, 0x1, 32, 32);
       b.Add(s, Bench::kRectangle, 0, 0x1, 256, 256);  // no targets: covers nothing
       b.Add(s, Bench::kDepth, 1, 0, 256, 256);
       b.Add(s, Bench::kDepth, 2, 0, 16, 16);
     },
     {2, 0, 0, 0, 0, 0, 5},
     {"CreateDepthStencilSurface(256, 256, 75)", "CreateDepthStencilSurface(16, 16, 75)",
      "CreateDepthStencilSurface(16, 16, 75)", "CreateDepthStencilSurface(32, 32, 75)",
      "CreateTexture(256, 256, 1, 0x1, 23, 0)", "CreateTexture(32, 32, 1, 0x1, 21, 0)"},
     {"    - Creating Depth Buffers:\n      - Width: 64, Height: 64\n      - Count: 1, Width: 256, Height: 256\n"
      "      - Count: 2, Width: 16, Height: 16\n      - Width: 32, Height: 32\n"
      "    - Creating Rectangle Render Targets:\n      - Width: 256, Height: 256, Format: R5G6B5\n"
      "      - Count: 1, Width: 32, Height: 32, Format: A8R8G8B8\n"}},
    // A count past the list's four slots reads the four.
    {"CountPastTheSlots",
     [](Bench& b, DeviceSettings& s) {
       for (int i = 0; i < 4; ++i) b.Add(s, Bench::kRectangle, 1, 0x1, 64, 64);
       s.Descriptors[Bench::kRectangle].dwCount = 9;
     },
     {4, 0, 0, 0, 0, 0, 1},
     std::vector<std::string>(4, "CreateTexture(64, 64, 1, 0x1, 21, 0)"),
     {}},
};

TEST(RenderTargetBank, BuildsThePoolsAndDepthBuffersTheListsDescribe) {
  for (const BuildCase& c : kBuildCases) {
    SCOPED_TRACE(c.name);
    Bench b(c.describe);
    ASSERT_NE(b.bank, nullptr);
    b.Rebuild();
    const std::vector<UINT> counts = {
        b.bank->GetPoolCount(CRenderTargetBank::kPlainPool),    b.bank->GetPoolCount(CRenderTargetBank::kFloatPlainPool),
        b.bank->GetPoolCount(CRenderTargetBank::kCubePool),     b.bank->GetPoolCount(CRenderTargetBank::kFloatCubePool),
        b.bank->GetPoolCount(CRenderTargetBank::kPhysicalPool), b.bank->GetPoolCount(CRenderTargetBank::kFloatPhysicalPool),
        b.bank->GetDepthBufferCount()};
    EXPECT_EQ(counts, c.counts);
    EXPECT_EQ(RendererTestBench::Calls(kCreations), c.creations);
    const std::string log = BuildLog(b);
    size_t at = 0;
    for (const std::string& line : c.lines) {
      const size_t found = log.find(line, at);
      EXPECT_NE(found, std::string::npos) << line << "\nin\n" << log;
      if (found != std::string::npos) at = found + line.size();
    }
    EXPECT_EQ(b.Errors(), "");
  }
}

// The game's preset as the device choice hands it on: the five descriptors by kind, the
// floating-point ones with no targets, one rectangle and one cube of the preset's sizes.
ConfigureGFX GamePreset(WORD rectangle, WORD cube) {
  ConfigureGFX preset = {};
  preset.dwSize = sizeof preset;
  preset.Surfaces[0] = {0x06000401, 0, 0, 0, 0, 0};
  preset.Surfaces[1] = {0x401, 0, 0, 0, 0, 0};
  preset.Surfaces[2] = {1, 0, 1, rectangle, rectangle, 0};
  preset.Surfaces[3] = {1, 0, 1, 0, 0, cube};
  preset.Surfaces[4] = {1, 0, 0, 1024, 1024, 0};
  return preset;
}

TEST(RenderTargetBank, TheGamePresetsMakeOneRectangleAndOneCube) {
  struct Case {
    WORD rectangle, cube;
    UINT depthBuffers;
  };
  for (const Case& c : {Case{256, 256, 2}, Case{128, 128, 2}, Case{64, 64, 1}}) {
    SCOPED_TRACE(c.rectangle);
    ConfigureGFX preset = GamePreset(c.rectangle, c.cube);
    Bench b([&](Bench&, DeviceSettings& s) {
      for (int i = 0; i < 5; ++i) {
        preset.Surfaces[i].dwKind = DeviceSettings::kDescriptorKinds[i];
        s.Descriptors[i] = {{&preset.Surfaces[i]}, 1};
      }
    });
    EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kPlainPool), 1u);
    EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kCubePool), 1u);
    EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kPhysicalPool), 0u);  // the back buffer's count is 0
    EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kFloatPlainPool), 0u);
    EXPECT_EQ(b.bank->GetDepthBufferCount(), c.depthBuffers);

    // The reflection kinds hand out what was built.
    CTextureRenderTarget* plain = nullptr;
    CCubeRenderTarget* cube = nullptr;
    EXPECT_EQ(b.bank->GetPlainRenderTarget(&plain, SURFACE_KIND_RECTANGLE), 1u);
    EXPECT_EQ(plain, b.bank->GetPlainPoolEntry(CRenderTargetBank::kPlainPool, 0));
    EXPECT_EQ(b.bank->GetCubeRenderTarget(&cube, SURFACE_KIND_CUBE), 1u);
    EXPECT_EQ(cube, b.bank->GetCubePoolEntry(CRenderTargetBank::kCubePool, 0));
    EXPECT_EQ(b.Errors(), "");
  }
}

// A format word offers several formats; the highest the card renders to is taken.
TEST(RenderTargetBank, AFormatWordTakesItsHighestBitTheCardRendersTo) {
  struct Case {
    const char* name;
    std::vector<D3DFORMAT> removed;
    const char* shadowFormat;  // for 0x06000401
    const char* cubeFormat;    // for 0x401
  };
  const Case cases[] = {
      {"DepthTextures", {}, "D24X8", "R32F"},
      {"FloatOnly", {D3DFMT_D24X8, D3DFMT_D24S8}, "R32F", "R32F"},
      {"NoFloat", {D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_R32F}, "A8R8G8B8", "A8R8G8B8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestCard card = ShaderModel3Card();
    for (D3DFORMAT format : c.removed) TestCard::Remove(card.renderTargetFormats, format);
    Bench b(
        [](Bench& b, DeviceSettings& s) {
          b.Add(s, Bench::kFloatRectangle, 1, 0x06000401, 64, 64);
          b.Add(s, Bench::kFloatCube, 1, 0x401, 32);
        },
        ZK_D3D_BACKEND_NULL, card);
    b.Rebuild();
    const std::string log = BuildLog(b);
    EXPECT_NE(log.find(std::string("Width: 64, Height: 64, Format: ") + c.shadowFormat + "\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find(std::string("Edge: 32, Format: ") + c.cubeFormat + "\n"), std::string::npos) << log;
    // Taking by the same word finds the target built from it.
    CTextureRenderTarget* shadow = nullptr;
    EXPECT_EQ(b.bank->GetFloatPlainRenderTarget(&shadow, SURFACE_KIND_FLOAT_RECTANGLE), 1u);
    EXPECT_EQ(shadow, b.bank->GetPlainPoolEntry(CRenderTargetBank::kFloatPlainPool, 0));
    EXPECT_EQ(b.Errors(), "");
  }
}

TEST(RenderTargetBank, AWordWithNoFormatTheCardRendersToIsFatal) {
  TestCard card = ShaderModel3Card();
  for (D3DFORMAT format : {D3DFMT_R32F, D3DFMT_R16F}) TestCard::Remove(card.renderTargetFormats, format);
  ProcessExitCatcher exits;
  try {
    Bench b([](Bench& b, DeviceSettings& s) { b.Add(s, Bench::kFloatRectangle, 1, 0xC00, 64, 64); },
            ZK_D3D_BACKEND_NULL, card);
    ADD_FAILURE() << "an unknown format was built";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Creating Texture Render Target");
  EXPECT_EQ(exits.Boxes()[0].text, "Can't Create - Unknown Format");
}

// A kind without a free target gets one more, counted on its description so that the next build
// (after a reset) makes it again under a new name.
TEST(RenderTargetBank, TakingWithoutAFreeTargetMakesOneThatSurvivesAReset) {
  RenderTargetDescription* rectangle = nullptr;
  Bench b([&](Bench& b, DeviceSettings& s) { rectangle = &b.Add(s, Bench::kRectangle, 1, 0x1, 32, 32); });
  CTextureRenderTarget* first = nullptr;
  CTextureRenderTarget* second = nullptr;
  ASSERT_EQ(b.bank->GetPlainRenderTarget(&first, SURFACE_KIND_RECTANGLE), 1u);
  // Taking does not lock: the same target comes back until it is locked.
  ASSERT_EQ(b.bank->GetPlainRenderTarget(&second, SURFACE_KIND_RECTANGLE), 1u);
  EXPECT_EQ(second, first);
  EXPECT_EQ(b.Errors(), "");
  first->Lock();
  ASSERT_EQ(b.bank->GetPlainRenderTarget(&second, SURFACE_KIND_RECTANGLE), 1u);
  EXPECT_NE(second, first);
  EXPECT_EQ(b.Errors(), "ERROR!!! - Have To Create Additional Plain Texture Render Target\n");
  EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kPlainPool), 2u);
  EXPECT_EQ(rectangle->wValue1, 2);
  const std::string before = second->GetTexture()->GetName();

  b.bench.ForgetCalls();
  ASSERT_EQ(b.bench.renderer->Reset(), 1u);
  EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kPlainPool), 2u);
  EXPECT_EQ(RendererTestBench::Calls({"CreateTexture"}).size(), 2u);
  CTextureRenderTarget* rebuilt = b.bank->GetPlainPoolEntry(CRenderTargetBank::kPlainPool, 1);
  ASSERT_NE(rebuilt, nullptr);
  const std::string after = rebuilt->GetTexture()->GetName();
  EXPECT_EQ(before.rfind("PlainRenderTarget", 0), 0u) << before;
  EXPECT_GT(std::stoi(after.substr(17)), std::stoi(before.substr(17))) << before << " " << after;
}

TEST(RenderTargetBank, ANinthPlainTargetIsFatal) {
  Bench b([](Bench& b, DeviceSettings& s) { b.Add(s, Bench::kRectangle, 8, 0x1, 32, 32); });
  for (UINT i = 0; i < 8; ++i) b.bank->GetPlainPoolEntry(CRenderTargetBank::kPlainPool, i)->Lock();
  ProcessExitCatcher exits;
  CTextureRenderTarget* target = nullptr;
  EXPECT_THROW(b.bank->GetPlainRenderTarget(&target, SURFACE_KIND_RECTANGLE), ProcessExited);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Error While Creating Texture Render Target");
  EXPECT_EQ(exits.Boxes()[0].text, "Not Enuff Entries");
}

TEST(RenderTargetBank, AKindWithoutADescriptionHandsOutNothing) {
  Bench b([](Bench&, DeviceSettings&) {});
  CCubeRenderTarget* cube = reinterpret_cast<CCubeRenderTarget*>(0x1);
  EXPECT_EQ(b.bank->GetFloatCubeRenderTarget(&cube, SURFACE_KIND_FLOAT_CUBE), 0u);
  EXPECT_EQ(cube, reinterpret_cast<CCubeRenderTarget*>(0x1));
  EXPECT_EQ(b.Errors(), "");
}

// A stand-in target that counts what the stack does to it.
struct CountingTarget final : CRenderTargetInterface {
  UINT GetRenderTargetType() override { return RENDER_TARGET_TEXTURE; }
  UINT Activate() override { return ++activated, 1; }
  UINT Free() override { return ++freed, 1; }
  IDirect3DSurface9* GetSurface() override { return nullptr; }
  UINT Pop() override { return 0; }
  int activated = 0, freed = 0;
};

TEST(RenderTargetBank, TheStackKeepsItsBottomAndOnlyPopsItsTop) {
  Bench b([](Bench&, DeviceSettings&) {});
  CRenderTargetInterface* bottom = b.bank->GetCurrentRenderTarget();
  ASSERT_EQ(bottom, b.bank->GetBackBuffer());
  EXPECT_EQ(b.bank->PopRenderTarget(nullptr), 0u);
  EXPECT_EQ(b.bank->PopRenderTarget(bottom), 0u);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), bottom);

  CountingTarget lower, upper;
  b.bank->PushRenderTarget(&lower);
  b.bank->PushRenderTarget(&upper);
  EXPECT_EQ(b.bank->PopRenderTarget(&lower), 0u);  // not on top
  EXPECT_EQ(lower.freed + upper.freed, 0);
  // Popping the top frees it and activates the one below: 1 while that is no back buffer.
  EXPECT_EQ(b.bank->PopAndActivate(&upper), 1u);
  EXPECT_EQ(upper.freed, 1);
  EXPECT_EQ(lower.activated, 1);
  b.bench.ForgetCalls();
  EXPECT_EQ(b.bank->PopAndActivate(nullptr), 0u);
  EXPECT_EQ(lower.freed, 1);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), bottom);
  // The back buffer was bound again with its depth buffer and the full viewport.
  EXPECT_EQ(RendererTestBench::Calls({"SetRenderTarget", "SetDepthStencilSurface", "SetViewport"}).size(), 3u);
  EXPECT_EQ(b.Errors(), "");
}

TEST(RenderTargetBank, ThirtyTwoEntriesFitAndAThirtyThirdIsFatal) {
  Bench b([](Bench&, DeviceSettings&) {});
  CountingTarget target;
  for (UINT i = 1; i < CRenderTargetBank::kStackDepth; ++i) EXPECT_EQ(b.bank->PushRenderTarget(&target), 1u);
  ProcessExitCatcher exits;
  EXPECT_THROW(b.bank->PushRenderTarget(&target), ProcessExited);
  ASSERT_EQ(exits.Boxes().size(), 1u);
  EXPECT_EQ(exits.Boxes()[0].caption, "Critical Error");
  EXPECT_EQ(exits.Boxes()[0].text, "Render Target's Stack Overflow!!!");
}

TEST(RenderTargetBank, TheEndOfAFrameWarnsAndPopsDownToTheBackBuffer) {
  Bench b([](Bench&, DeviceSettings&) {});
  CountingTarget first, second;
  b.bank->PushRenderTarget(&first);
  b.bank->PushRenderTarget(&second);
  b.bench.renderer->BeginRendering();
  b.bench.renderer->EndRendering();
  b.bench.renderer->Flip(nullptr, 0);
  EXPECT_EQ(b.Errors(), "WARNING! - There're still locked render targets\n");
  EXPECT_EQ(first.freed + second.freed, 2);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), b.bank->GetBackBuffer());
  // A frame that left nothing behind neither warns nor reaches the device.
  b.bench.ForgetCalls();
  EXPECT_EQ(b.bank->ReleaseLockedRenderTargets(), 1u);
  EXPECT_EQ(b.Errors(), "");
  EXPECT_TRUE(RendererTestBench::Calls({"SetRenderTarget"}).empty());
}

TEST(RenderTargetBank, TheBackBufferOfEachFrameReplacesTheLastAndKeepsTheScreenSize) {
  Bench b([](Bench&, DeviceSettings&) {});
  CBackBufferRenderTarget* back = b.bank->GetBackBuffer();
  EXPECT_EQ(back->GetWidth(), CD3DTestDevice::kWidth);
  EXPECT_EQ(back->GetHeight(), CD3DTestDevice::kHeight);
  const size_t live = ZkTestD3DLiveObjects();
  b.bench.renderer->BeginRendering();
  b.bench.renderer->EndRendering();
  EXPECT_EQ(ZkTestD3DLiveObjects(), live);  // the old reference was given back
  EXPECT_NE(back->GetSurface(), nullptr);
  b.bank->SetBackBufferSurface(nullptr);
  EXPECT_EQ(b.Errors(), "WARNING!!! - Trying To Set NULL As A BackBuffer\n");
  EXPECT_NE(back->GetSurface(), nullptr);
}

// Records the live objects of the device when the renderer says it is about to reset it.
struct LiveCountHook final : CDeviceLossHook {
  void OnDeviceLost() override { liveAtLoss = ZkTestD3DLiveObjects(); }
  void OnDeviceReset() override {}
  size_t liveAtLoss = 0;
};

TEST(RenderTargetBank, AResetReleasesEveryTargetBeforeTheDeviceResetAndRebuildsThemAfter) {
  Bench b([](Bench& b, DeviceSettings& s) {
    b.Add(s, Bench::kRectangle, 2, 0x1, 32, 32);
    b.Add(s, Bench::kCube, 1, 0x1, 32);
    b.Add(s, Bench::kDepth, 1, 0, 128, 128);
  });
  LiveCountHook hook;
  b.bench.renderer->SetGuiDeviceHook(&hook);
  b.bench.renderer->BeginRendering();
  CTextureRenderTarget* target = nullptr;
  ASSERT_EQ(b.bank->GetPlainRenderTarget(&target, SURFACE_KIND_RECTANGLE), 1u);
  ASSERT_EQ(target->SetAsRenderTarget(0, 0), 1u);
  const size_t liveWithTargets = ZkTestD3DLiveObjects();

  ASSERT_EQ(b.bench.renderer->Reset(), 1u);
  EXPECT_EQ(ZkTestD3DLiveObjects(), liveWithTargets);
  EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kPlainPool), 3u);  // the depth list's own target too
  EXPECT_EQ(b.bank->GetPoolCount(CRenderTargetBank::kCubePool), 1u);
  EXPECT_EQ(b.bank->GetCurrentRenderTarget(), b.bank->GetBackBuffer());
  // What lived at the reset is what lives without the targets and the recording banks' buffers.
  b.bank->ReleaseRenderTargets();
  b.bench.vertexBuffers.OnDeviceLost();
  b.bench.indexBuffers.OnDeviceLost();
  EXPECT_EQ(hook.liveAtLoss, ZkTestD3DLiveObjects());
  EXPECT_LT(hook.liveAtLoss, liveWithTargets);
  b.bench.renderer->SetGuiDeviceHook(nullptr);
}

TEST(RenderTargetBank, ReleasingTheDeviceDeletesTheTargetsFirst) {
  // Fatal paths of other tests may leave objects of their own behind.
  const size_t before = ZkTestD3DLiveObjects();
  Bench b([](Bench& b, DeviceSettings& s) {
    b.Add(s, Bench::kRectangle, 1, 0x1, 32, 32);
    b.Add(s, Bench::kFloatCube, 1, 0x1, 64);
  });
  b.bench.renderer->ReleaseDevice();
  b.bench.device.Release();
  b.bench.vertexBuffers.ReleaseDeviceObjects();
  b.bench.indexBuffers.ReleaseDeviceObjects();
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
}

}  // namespace
