// Device creation, reset after a loss and release, on the null back end with test adapters, and
// one offscreen round on GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RecordingRenderingProfile.h"
#include "RendererTestBench.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"

namespace {

constexpr DWORD kInstancing = 0x54534E49;  // 'INST'

D3DPRESENT_PARAMETERS PresentParameters(IDirect3DDevice9* device) {
  D3DPRESENT_PARAMETERS parameters = {};
  IDirect3DSwapChain9* chain = nullptr;
  if (SUCCEEDED(device->GetSwapChain(0, &chain))) {
    chain->GetPresentParameters(&parameters);
    chain->Release();
  }
  return parameters;
}

DeviceSettings FullScreenSettings(DWORD vsync) {
  DeviceSettings settings = RendererTestBench::WindowedSettings();
  settings.dwWindowed = 0;
  settings.dwVSync = vsync;
  return settings;
}

// A bench whose renderer has enumerated `card` (kept as the adapter while the device is made)
// and, when asked, a second adapter; no device yet, nothing logged.
struct CreationBench {
  CreationBench(const TestCard& card, const TestCard* second = nullptr)
      : bench(ZK_D3D_BACKEND_NULL, card, 2, false) {
    card.Apply();
    if (second) second->ApplyAsSecondAdapter();
    bench.renderer->Enumerate();
    bench.ForgetCalls();
  }
  RendererTestBench bench;
};

struct CreationCase {
  const char* name;
  std::function<void(TestCard&)> card;
  DeviceSettings settings;
  bool performanceHud;
  std::function<void(CD3D9Enumeration&)> choice;
  std::string createDevice;
  D3DSWAPEFFECT swapEffect;
  UINT backBuffers;
  UINT interval;
  // The lines between the opening line and "  - D3D9 Device Successfully Created\n".
  std::string lines;
};

void NoPureDevice(TestCard& card) { card.caps.DevCaps &= ~D3DDEVCAPS_PUREDEVICE; }

DeviceSettings Multithreaded() {
  DeviceSettings settings = RendererTestBench::WindowedSettings();
  settings.dwMultithreaded = 1;
  return settings;
}

TEST(DeviceLifecycle, CreationFollowsTheSettingsAndTheAdapter) {
  const CreationCase cases[] = {
      {"Windowed", nullptr, RendererTestBench::WindowedSettings(), false, nullptr, "CreateDevice(0, 1, 0x50)",
       D3DSWAPEFFECT_DISCARD, 1, D3DPRESENT_INTERVAL_DEFAULT,
       "  - Windowed\n  - Using TnL In Hardware\n  - Using Pure Device\n"},
      {"FullScreenWithVSync", nullptr, FullScreenSettings(1), false, nullptr, "CreateDevice(0, 1, 0x50)",
       D3DSWAPEFFECT_FLIP, 2, D3DPRESENT_INTERVAL_ONE,
       "  - Full-Screen\n  - Synchronize With VSYNC\n  - Using TnL In Hardware\n  - Using Pure Device\n"},
      {"FullScreenImmediate", nullptr, FullScreenSettings(0), false, nullptr, "CreateDevice(0, 1, 0x50)",
       D3DSWAPEFFECT_FLIP, 1, D3DPRESENT_INTERVAL_IMMEDIATE,
       "  - Full-Screen\n  - Not Synchronizing With VSYNC\n  - Using TnL In Hardware\n  - Using Pure Device\n"},
      {"FullScreenWithoutImmediate",
       [](TestCard& card) { card.caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE; }, FullScreenSettings(0),
       false, nullptr, "CreateDevice(0, 1, 0x50)", D3DSWAPEFFECT_FLIP, 2, D3DPRESENT_INTERVAL_DEFAULT,
       "  - Full-Screen\n  - Synchronizing With VSYNC Driver Dependant\n  - Using TnL In Hardware\n"
       "  - Using Pure Device\n"},
      {"PerformanceHud", nullptr, Multithreaded(), true, nullptr, "CreateDevice(1, 2, 0x20)", D3DSWAPEFFECT_DISCARD,
       1, D3DPRESENT_INTERVAL_DEFAULT, "  - Windowed\n  - Using NVPerfHUD Device\n"},
      {"ReferenceRasterizer", nullptr, Multithreaded(), false,
       [](CD3D9Enumeration& e) { e.UseReferenceRasterizer(); }, "CreateDevice(0, 2, 0x50)", D3DSWAPEFFECT_DISCARD,
       1, D3DPRESENT_INTERVAL_DEFAULT, "  - Windowed\n  - Using Reference Rasterizer\n"},
      {"MultithreadedHardwareNotPure", NoPureDevice, Multithreaded(), false, nullptr, "CreateDevice(0, 1, 0x44)",
       D3DSWAPEFFECT_DISCARD, 1, D3DPRESENT_INTERVAL_DEFAULT,
       "  - Windowed\n  - Using Multithreaded Device\n  - Using TnL In Hardware\n"},
      {"Software", nullptr, RendererTestBench::WindowedSettings(), false,
       [](CD3D9Enumeration& e) { e.SetHardwareVertexProcessing(0); }, "CreateDevice(0, 1, 0x20)",
       D3DSWAPEFFECT_DISCARD, 1, D3DPRESENT_INTERVAL_DEFAULT, "  - Windowed\n  - Using TnL In Software\n"},
  };
  for (const CreationCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestCard card = ShaderModel3Card();
    if (c.card) c.card(card);
    TestCard hud = ShaderModel3Card();
    snprintf(hud.identifier.Description, sizeof hud.identifier.Description, "NVIDIA NVPerfHUD");
    CreationBench creation(card, c.performanceHud ? &hud : nullptr);
    RendererTestBench& bench = creation.bench;
    if (c.choice) c.choice(*bench.renderer->GetAdapterEnumeration(0));
    bench.settings = c.settings;
    ASSERT_EQ(bench.renderer->Initialize(&bench.settings), 1u);

    EXPECT_EQ(RendererTestBench::Calls({"CreateDevice"}), std::vector<std::string>{c.createDevice});
    const D3DPRESENT_PARAMETERS p = PresentParameters(bench.renderer->GetDevice());
    EXPECT_EQ(p.Windowed, c.settings.dwWindowed ? TRUE : FALSE);
    EXPECT_EQ(p.SwapEffect, c.swapEffect);
    EXPECT_EQ(p.BackBufferCount, c.backBuffers);
    EXPECT_EQ(p.PresentationInterval, c.interval);
    EXPECT_EQ(p.BackBufferWidth, CD3DTestDevice::kWidth);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24S8);
    EXPECT_EQ(p.EnableAutoDepthStencil, TRUE);
    const std::string info = bench.log.TextAt(CEngineLog::kLevelInfo);
    const std::string opening = "- Initializing D3D9 Renderer Using Device No. 0 - (64x64- FMT:21; DEPTH:75 )\n";
    EXPECT_EQ(info.substr(0, info.find("  - Viewport")),
              opening + c.lines + "  - D3D9 Device Successfully Created\n");
    EXPECT_EQ(bench.Errors(), "");
  }
}

TEST(DeviceLifecycle, InstancingIsSwitchedOnOnlyWhenAdapterZeroKnowsItsCode) {
  for (bool listed : {false, true}) {
    SCOPED_TRACE(listed ? "listed" : "not listed");
    TestCard card = ShaderModel2Card();
    if (listed) card.textureFormats.push_back(static_cast<D3DFORMAT>(kInstancing));
    CreationBench creation(card);
    RendererTestBench& bench = creation.bench;
    bench.settings = RendererTestBench::WindowedSettings();
    bench.renderer->Initialize(&bench.settings);
    EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_POINTSIZE), listed ? kInstancing : CD3D9StateCache::kNoValue);
  }
}

TEST(DeviceLifecycle, AFailedCreationAsksOnceRetriesSimplerAndThenGivesUp) {
  {
    CreationBench creation(ShaderModel3Card());
    RendererTestBench& bench = creation.bench;
    ProcessExitCatcher catcher;
    ZkTestD3DFailNextCreateDevice(D3DERR_NOTAVAILABLE);
    bench.settings = Multithreaded();
    ASSERT_EQ(bench.renderer->Initialize(&bench.settings), 1u);
    EXPECT_EQ(RendererTestBench::Calls({"CreateDevice"}),
              (std::vector<std::string>{"CreateDevice(0, 1, 0x54)", "CreateDevice(0, 1, 0x40)"}));
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Small problem");
    EXPECT_EQ(catcher.Boxes()[0].text.rfind("There Was A Problem While Creating D3D Device\n", 0), 0u);
    const std::string errors = bench.Errors();
    EXPECT_NE(errors.find("ERROR! - Can't Create Device: D3DERR_NOTAVAILABLE\n"), std::string::npos) << errors;
    EXPECT_NE(errors.find("Present Parameters Look Like:\nAutoDepthStencilFormat 75:\nBackBufferCount: 1\n"
                          "BackBufferFormat: 21\nBackBufferHeight: 64\nBackBufferWidth: 64\n"
                          "EnableAutoDepthStencil: 1\nFlags: 0\nFullScreen_PresentationInterval: 0\n"
                          "FullScreen_RefreshRateInHz: 0\nhDeviceWindow: 0\nMultiSampleType: 0\nSwapEffect: 1\n"
                          "Windowed: 1\n"),
              std::string::npos)
        << errors;
    const std::string info = bench.log.TextAt(CEngineLog::kLevelInfo);
    EXPECT_NE(info.find("  - Using Pure Device\n  - Using TnL In Hardware\n  - D3D9 Device Successfully Created\n"),
              std::string::npos)
        << info;
  }
  {
    CreationBench creation(ShaderModel3Card());
    RendererTestBench& bench = creation.bench;
    ZkTestD3DAdapterProfile refusing = {};
    ZkTestD3DGetRealAdapterProfile(&refusing);
    refusing.createDeviceFails = TRUE;
    ZkTestD3DSetAdapterProfile(&refusing);
    ProcessExitCatcher catcher;
    bench.settings = RendererTestBench::WindowedSettings();
    try {
      bench.renderer->Initialize(&bench.settings);
      ADD_FAILURE() << "a device was made";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    EXPECT_EQ(RendererTestBench::Calls({"CreateDevice"}).size(), 2u);
    ASSERT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(catcher.Boxes()[1].caption, "Big Problem");
    EXPECT_EQ(catcher.Boxes()[1].text, "Still I Can't Create D3D Device, I think I'm gonna give it up");
    EXPECT_EQ(bench.renderer->GetDevice(), nullptr);
  }
}

TEST(DeviceLifecycle, WithoutStreamOffsetsTheBuffersGoUnmanaged) {
  for (bool offsets : {true, false}) {
    SCOPED_TRACE(offsets ? "stream offsets" : "none");
    TestCard card = ShaderModel3Card();
    if (!offsets) card.caps.DevCaps2 &= ~D3DDEVCAPS2_STREAMOFFSET;
    CreationBench creation(card);
    RendererTestBench& bench = creation.bench;
    bench.settings = RendererTestBench::WindowedSettings();
    bench.settings.dwIndexBufferResourceManagement = 65536;
    bench.settings.dwVertexBufferResourceManagement = 1048576;
    bench.renderer->Initialize(&bench.settings);
    EXPECT_EQ(bench.settings.dwIndexBufferResourceManagement, offsets ? 65536u : 0u);
    EXPECT_EQ(bench.settings.dwVertexBufferResourceManagement, offsets ? 1048576u : 0u);
    EXPECT_EQ(bench.Errors(), offsets ? "" : "- Disabling ZeKorb Resource Management...\n");
  }
}

// The device calls from the last Reset() on.
std::vector<std::string> CallsSinceReset() {
  std::vector<std::string> calls = RendererTestBench::Calls();
  size_t reset = calls.size();
  for (size_t i = 0; i < calls.size(); ++i)
    if (calls[i] == "Reset()") reset = i;
  return std::vector<std::string>(calls.begin() + std::min(reset, calls.size()), calls.end());
}

TEST(DeviceLifecycle, ALostDeviceIsResetOnlyOnceItCanBe) {
  struct Case {
    const char* name;
    // Runs the frame step that finds the loss.
    void (*find)(CD3D9Renderer&);
  } cases[] = {
      {"Flip",
       [](CD3D9Renderer& r) {
         // While the window is away the device cannot be reset: the frame goes on.
         ZkTestD3DLoseDevice();
         ZkTestD3DHoldDeviceLost(true);
         r.Flip(nullptr, 0);
         EXPECT_EQ(ZkTestD3DCountCalls("TestCooperativeLevel"), 1u);
         EXPECT_EQ(ZkTestD3DCountCalls("Reset"), 0u);
         ZkTestD3DHoldDeviceLost(false);
         r.Flip(nullptr, 0);
       }},
      {"RepeatedPresent",
       [](CD3D9Renderer& r) {
         ZkTestD3DPresentStillDrawing(1);
         r.Flip(nullptr, 0);  // still drawing: presented again at the next clear
         ZkTestD3DLoseDevice();
         EXPECT_EQ(ZkTestD3DCountCalls("Reset"), 0u);
         r.ClearBuffers(7, 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RendererTestBench bench(ZK_D3D_BACKEND_NULL);
    RecordingRenderingProfile profile;
    bench.context->pRenderingProfile = &profile;
    bench.renderer->SetRenderState(D3DRS_FOGENABLE, TRUE);
    const size_t live = ZkTestD3DLiveObjects();

    bench.ForgetCalls();
    c.find(*bench.renderer);
    EXPECT_EQ(ZkTestD3DCountCalls("Reset"), 1u);
    EXPECT_EQ(profile.deviceEvents, (std::vector<std::string>{"lost", "reset"}));
    const std::vector<std::string> events = {"lost", "reset"};
    EXPECT_EQ(bench.indexBuffers.dynamicEvents.events, events);
    EXPECT_EQ(bench.vertexBuffers.dynamicEvents.events, events);
    EXPECT_EQ(bench.renderTargets.deviceEvents, events);
    EXPECT_EQ(ZkTestD3DLiveObjects(), live);
    EXPECT_NE(bench.vertexBuffers.dynamicBuffer, nullptr);

    // Every state of the default set reaches the device again, with the reset's local viewer.
    size_t renderStates = 0;
    for (const std::string& call : CallsSinceReset()) renderStates += call.rfind("SetRenderState(", 0) == 0;
    EXPECT_EQ(renderStates, 45u);
    const std::vector<std::string> after = CallsSinceReset();
    EXPECT_NE(std::find(after.begin(), after.end(), "SetRenderState(142, 0)"), after.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "SetRenderState(28, 0)"), after.end());
    EXPECT_EQ(bench.renderer->GetRenderState(D3DRS_FOGENABLE), DWORD{FALSE});
    const std::string info = bench.log.TextAt(CEngineLog::kLevelInfo);
    EXPECT_NE(info.find("- Initializing D3D9 Renderer Using Device No. 0 - (64x64- FMT:21)\n"
                        "  - D3D9 Device Successfully Reseted\n  - Viewport Successfully Set\n"),
              std::string::npos)
        << info;
    // The next frame is drawn and shown.
    bench.ForgetCalls();
    bench.renderer->Clear(7, 0);
    bench.renderer->BeginRendering();
    bench.renderer->EndRendering();
    bench.renderer->Flip(nullptr, 0);
    EXPECT_EQ(bench.Errors(), "");
    EXPECT_EQ(ZkTestD3DCountCalls("Present"), 1u);
  }
}

TEST(DeviceLifecycle, AResetPresentsFullScreenWithoutWaitingAndKeepsTheScissorRectangle) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL, ShaderModel3Card(), 2, false);
  bench.CreateDevice(FullScreenSettings(1));
  const RECT scissor = {4, 4, 20, 20};
  bench.renderer->SetScissorTest(&scissor);
  ASSERT_EQ(bench.renderer->Reset(), 1u);
  const D3DPRESENT_PARAMETERS p = PresentParameters(bench.renderer->GetDevice());
  EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_EQ(p.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
  EXPECT_EQ(p.BackBufferCount, 1u);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo).find("VSYNC"), std::string::npos);
  RECT kept = {};
  bench.renderer->GetScissorTest(&kept);
  EXPECT_EQ(kept.right, 20);
}

TEST(DeviceLifecycle, AResetTheDeviceRefusesIsTheEnd) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  ProcessExitCatcher catcher;
  ZkTestD3DFailNextReset(D3DERR_DRIVERINTERNALERROR);
  ZkTestD3DLoseDevice();
  try {
    bench.renderer->Flip(nullptr, 0);
    ADD_FAILURE() << "the renderer went on";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Critical Error");
  EXPECT_EQ(catcher.Boxes()[0].text, "Can't Reset Device");
  const std::string errors = bench.Errors();
  EXPECT_EQ(errors.rfind("ERROR! - Can't Reset Device: D3DERR_DRIVERINTERNALERROR\n", 0), 0u) << errors;
  EXPECT_NE(errors.find("Present Parameters Look Like:\n"), std::string::npos);
}

TEST(DeviceLifecycle, ReleasingTheDeviceFreesEverythingAndLaterCallsReachNothing) {
  const size_t before = ZkTestD3DLiveObjects();
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CD3D9Renderer& renderer = *bench.renderer;
  renderer.Clear(7, 0);
  renderer.BeginRendering();
  renderer.EndRendering();
  renderer.Flip(nullptr, 0);
  bench.device.Release();  // the bench's own reference
  EXPECT_GT(ZkTestD3DLiveObjects(), before);

  EXPECT_EQ(renderer.ReleaseDevice(), 0u);
  EXPECT_EQ(ZkTestD3DLiveObjects(), before);
  const std::vector<std::string> released = {"released"};
  EXPECT_EQ(bench.vertexBuffers.dynamicEvents.events, released);
  EXPECT_EQ(bench.indexBuffers.dynamicEvents.events, released);
  EXPECT_EQ(bench.renderTargets.deviceEvents, released);
  EXPECT_EQ(renderer.GetDevice(), nullptr);

  ZkTestD3DClearCalls();
  EXPECT_EQ(renderer.Clear(7, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(renderer.BeginRendering(), D3DERR_INVALIDCALL);
  EXPECT_EQ(renderer.SetRenderState(D3DRS_ZENABLE, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(renderer.DrawStreamPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  renderer.SetDefaultStates();
  EXPECT_EQ(renderer.Flip(nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(renderer.Reset(), 0u);
  EXPECT_EQ(ZkTestD3DCallCount(), 0u);
}

TEST(DeviceLifecycle, TheRealAdapterIsNeitherAGeForceFXNorAGeForce6800) {
  ZkTestD3DResetControl();
  ZkTestD3DAdapterProfile real = {};
  ZkTestD3DGetRealAdapterProfile(&real);
  EXPECT_EQ(real.caps.VS20Caps.DynamicFlowControlDepth, 0);

  EngineContextScope context;
  CRecordingEngineLog log;
  context->pLog = &log;
  CRenderingSchemes schemes;
  schemes.Build(nullptr, 0, nullptr);
  CD3D9Renderer renderer(GetEngineContext());
  renderer.SetSchemes(schemes.GetScheme(0), schemes.GetNumberOfSchemes());
  ASSERT_EQ(renderer.Enumerate(), 1u);
  EXPECT_EQ(renderer.GetAdapterEnumeration(0)->GetSupportedSchemes(), 0xB6u);
  EXPECT_EQ(renderer.GetAdapterEnumeration(0)->GetSelectedScheme(), DWORD{ZK_SCHEME_RADEONX800});
}

// What the console and the import rely on, on the renderer as it is made.
TEST(DeviceLifecycle, TheConsoleFindsTheDeviceTheEnumerationAndTheErrorLines) {
  TestCard second = ShaderModel2Card();
  CreationBench creation(ShaderModel3Card(), &second);
  RendererTestBench& bench = creation.bench;
  CD3D9Renderer& renderer = *bench.renderer;
  EXPECT_EQ(renderer.GetDevice(), nullptr);
  EXPECT_EQ(renderer.GetEnumeration(), renderer.GetAdapterEnumeration(0));

  bench.settings = RendererTestBench::WindowedSettings();
  bench.settings.dwAdapter = 1;
  renderer.Initialize(&bench.settings);
  ASSERT_NE(renderer.GetDevice(), nullptr);
  EXPECT_EQ(renderer.GetEnumeration(), renderer.GetAdapterEnumeration(1));
  EXPECT_EQ(RendererTestBench::Calls({"CreateDevice"}), std::vector<std::string>{"CreateDevice(1, 1, 0x50)"});

  bench.ForgetCalls();
  renderer.ClearBuffers(7, 0);
  EXPECT_EQ(RendererTestBench::Calls({"Clear"}), std::vector<std::string>{"Clear(0, 0x7, 0x00000000, 1, 128)"});
  // Nothing bound to draw from.
  EXPECT_EQ(renderer.DrawStreamPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  EXPECT_EQ(bench.Errors(), std::string("ERROR!!! - Error When Calling DrawPrimitive: D3DERR_INVALIDCALL - ") +
                                D3DResultDescription(D3DERR_INVALIDCALL) + "\n");
  renderer.ReleaseDevice();
}

TEST(DeviceLifecycle, OnGLAFrameSurvivesALossAndAReset) {
  RendererTestBench bench(ZK_D3D_BACKEND_GL);
  CD3D9Renderer& renderer = *bench.renderer;
  auto frame = [&](D3DCOLOR colour) {
    renderer.ClearBuffers(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    renderer.BeginRendering();
    bench.device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
    renderer.EndRendering();
    const std::vector<D3DCOLOR> pixels = bench.device.ReadBackBuffer();
    renderer.Flip(nullptr, 0);
    return pixels;
  };
  std::vector<D3DCOLOR> pixels = frame(0xFF2040C0);
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 10, 10), 0xFF2040C0));

  ZkTestD3DLoseDevice();
  renderer.Flip(nullptr, 0);
  EXPECT_EQ(ZkTestD3DCountCalls("Reset"), 1u);
  pixels = frame(0xFFC04020);
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 40, 40), 0xFFC04020));
  EXPECT_EQ(bench.Errors(), "");
}

}  // namespace
