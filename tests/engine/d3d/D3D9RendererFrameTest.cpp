// The renderer's frame: clear, begin, end and flip against the device call log, the frame
// statistics, the back buffer's device context, the bank getters and, on GL, the cleared pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "TestScene.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"
#include "zktest/ZkTestClock.h"

namespace {

const std::vector<std::string> kFrameCalls = {"BeginScene", "EndScene", "Clear", "Present"};

struct FrameStep {
  enum Kind { kClear, kBegin, kEnd, kFlip } kind;
  UINT flags = 0;
  UINT colour = 0;
  HRESULT result = D3D_OK;
};

struct FrameCase {
  const char* name;
  bool activeScene;        // background colour 0x00112233
  UINT presentsStillDrawing;
  std::vector<FrameStep> steps;
  std::vector<std::string> deviceCalls;
  const char* errors;
  DWORD frames;            // frame numbers handed out
  bool limited;            // a clear waited for the frame limiter
};

const FrameCase kFrameCases[] = {
    {"AFrame", false, 0,
     {{FrameStep::kClear, 7},
      {FrameStep::kBegin},
      {FrameStep::kClear, 2 | ZK_CLEAR_NO_FRAME_LIMIT},
      {FrameStep::kEnd},
      {FrameStep::kFlip}},
     {"Clear(0, 0x7, 0x00000000, 1, 128)", "BeginScene()", "Clear(0, 0x2, 0x00000000, 1, 128)", "EndScene()",
      "Present(0x1)"},
     "", 1, true},
    {"BeginTwice", false, 0,
     {{FrameStep::kBegin}, {FrameStep::kBegin, 0, 0, D3DERR_INVALIDCALL}},
     {"BeginScene()"},
     "ERROR!!!: Calling BeginRendering Without EndRendering Before\n", 2, false},
    {"EndWithoutBegin", false, 0,
     {{FrameStep::kEnd}},
     {},
     "ERROR!!!: Calling EndRendering Without BeginRendering\n", 0, false},
    {"ClearWithAnActiveSceneTakesItsBackground", true, 0,
     {{FrameStep::kClear, 7 | ZK_CLEAR_NO_FRAME_LIMIT, 0}},
     {"Clear(0, 0x7, 0x00112233, 1, 128)"},
     "", 0, false},
    {"ClearWithAnActiveSceneKeepsAGivenColour", true, 0,
     {{FrameStep::kClear, 1 | ZK_CLEAR_NO_FRAME_LIMIT, 0x00445566}},
     {"Clear(0, 0x1, 0x00445566, 1, 128)"},
     "", 0, false},
    {"ClearWithoutASceneIsBlack", false, 0,
     {{FrameStep::kClear, 7, 0x00FF00FF}},
     {"Clear(0, 0x7, 0x00000000, 1, 128)"},
     "", 0, true},
    {"StillDrawingIsPresentedAgainBeforeTheNextClear", false, 1,
     {{FrameStep::kFlip}, {FrameStep::kClear, 7 | ZK_CLEAR_NO_FRAME_LIMIT}, {FrameStep::kClear, 2}},
     {"Present(0x1)", "Present(0x0)", "Clear(0, 0x7, 0x00000000, 1, 128)", "Clear(0, 0x2, 0x00000000, 1, 128)"},
     "", 0, true},
};

class FrameTest : public ::testing::TestWithParam<FrameCase> {
 protected:
  void SetUp() override { ZkTestClockSetManual(5'000'000); }
  void TearDown() override { ZkTestClockSetReal(); }
};

TEST_P(FrameTest, ReachesTheDeviceAsExpected) {
  const FrameCase& c = GetParam();
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  TestScene* scene = new TestScene();
  scene->SetBackgroundColor(0x00112233);
  bench.context->pActiveScene = c.activeScene ? scene : nullptr;
  // A 50 Hz limiter whose period has just passed: a limited clear goes through at once and
  // stores the clock, a second one would wait for the manual clock for ever.
  ZeKorbConfig config = {};
  config.dwFrameRateLimit = 50;
  bench.context->pConfig = &config;
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  bench.context->qwCounterFrequency = frequency.QuadPart;
  const uint64_t lastFrame = now.QuadPart - frequency.QuadPart / 40;
  bench.context->qwLastFrameCount = lastFrame;
  bench.context->dwFrameNumber = 0;
  ZkTestD3DPresentStillDrawing(c.presentsStillDrawing);

  for (const FrameStep& step : c.steps) {
    HRESULT result = D3D_OK;
    switch (step.kind) {
      case FrameStep::kClear: result = bench.renderer->Clear(step.flags, step.colour); break;
      case FrameStep::kBegin: result = bench.renderer->BeginRendering(); break;
      case FrameStep::kEnd: result = bench.renderer->EndRendering(); break;
      case FrameStep::kFlip: result = bench.renderer->Flip(nullptr, 0); break;
    }
    EXPECT_EQ(result, step.result);
  }

  EXPECT_EQ(RendererTestBench::Calls(kFrameCalls), c.deviceCalls);
  EXPECT_EQ(bench.Errors(), c.errors);
  EXPECT_EQ(bench.context->dwFrameNumber, c.frames);
  EXPECT_EQ(bench.vertexBuffers.frames.size(), c.frames);
  EXPECT_EQ(bench.indexBuffers.frames.size(), c.frames);
  EXPECT_EQ(bench.context->qwLastFrameCount != lastFrame, c.limited);
  scene->Release();
}

INSTANTIATE_TEST_SUITE_P(Sequences, FrameTest, ::testing::ValuesIn(kFrameCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RendererFrame, BeginHandsTheFrameAndTheBackBufferToTheBanksAndFlipEndsTheTargetsFrame) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  bench.context->dwFrameNumber = 41;
  EXPECT_EQ(bench.renderer->BeginRendering(), D3D_OK);
  EXPECT_EQ(bench.renderer->IsRenderingBegin(), 1u);
  EXPECT_EQ(bench.vertexBuffers.frames, std::vector<UINT>{42});
  EXPECT_EQ(bench.indexBuffers.frames, std::vector<UINT>{42});
  IDirect3DSurface9* backBuffer = nullptr;
  bench.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  ASSERT_EQ(bench.renderTargets.backBuffers.size(), 1u);
  EXPECT_EQ(bench.renderTargets.backBuffers[0], backBuffer);
  backBuffer->Release();

  bench.renderer->EndRendering();
  EXPECT_EQ(bench.renderer->IsRenderingBegin(), 0u);
  EXPECT_EQ(bench.renderTargets.framesEnded, 0);
  bench.renderer->Flip(nullptr, 1);
  EXPECT_EQ(bench.renderTargets.framesEnded, 1);
}

TEST(RendererFrame, TheProfilerCountsTheFramesDrawsAndTimesTheFrame) {
  ZkTestClockSetManual(5'000'000);
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  bench.context->CreateProfiler();
  CProfiler* profiler = bench.context->pProfiler;
  CProfilerSample* frame = bench.context->pSamples[SAMPLE_BEGIN_END];
  frame->Begin();

  bench.renderer->BeginRendering();
  bench.renderer->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 30, 0, 10);
  bench.renderer->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 2);
  bench.renderer->EndRendering();
  ZkTestClockAdvance(16'000);
  bench.renderer->Flip(nullptr, 0);

  EXPECT_EQ(profiler->GetAverage(CProfiler::kDIPs), 2u);
  EXPECT_EQ(profiler->GetAverage(CProfiler::kTriangles), 12u);
  EXPECT_EQ(profiler->GetAverage(CProfiler::kVertices), 36u);
  // The frame's sample was recorded with the frame's time and runs again for the next frame;
  // the samples of the draws and the present are closed.
  EXPECT_EQ(frame->GetUpdateCount(), 1u);
  EXPECT_EQ(frame->GetAverageTime(), 16'000u);
  EXPECT_TRUE(frame->IsRunning());
  EXPECT_FALSE(bench.context->pSamples[SAMPLE_DIRECT3D_CALLS]->IsRunning());
  EXPECT_FALSE(bench.context->pSamples[SAMPLE_FLIP1]->IsRunning());
  EXPECT_EQ(bench.context->pSamples[SAMPLE_DIRECT3D_CALLS]->GetUpdateCount(), 1u);

  // A second later the frame's totals are those of the last second.
  ZkTestClockAdvance(1'000'000);
  bench.renderer->Flip(nullptr, 0);
  EXPECT_EQ(profiler->GetLastSecondTotal(CProfiler::kDIPs), 2u);

  profiler->DeleteSample(frame);
  delete profiler;
  ZkTestClockSetReal();
}

TEST(RendererFrame, TheBackBufferContextIsGivenBackAtTheEndOfTheFrame) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  bench.renderer->BeginRendering();
  HDC dc = bench.renderer->GetBackBufferDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(bench.renderer->GetBackBufferDC(), dc);  // the context that is out, not a second one

  IDirect3DSurface9* target = nullptr;
  bench.device->GetRenderTarget(0, &target);
  HDC other = nullptr;
  EXPECT_EQ(target->GetDC(&other), D3DERR_INVALIDCALL);  // still out
  bench.renderer->EndRendering();
  ASSERT_EQ(target->GetDC(&other), D3D_OK);  // given back
  target->ReleaseDC(other);
  target->Release();
}

TEST(RendererFrame, ABankGetterBeforeTheBankExistsEndsTheProcess) {
  struct Getter {
    const char* text;
    void (*call)(CD3D9Renderer&);
  };
  const Getter kGetters[] = {
      {"VertexDeclaration", [](CD3D9Renderer& r) { r.GetVertexDeclarationStorageInterface(); }},
      {"IndexBuffer", [](CD3D9Renderer& r) { r.GetIndexBufferStorageInterface(); }},
      {"VertexShader", [](CD3D9Renderer& r) { r.GetVertexShaderStorageInterface(); }},
      {"PixelShader", [](CD3D9Renderer& r) { r.GetPixelShaderStorageInterface(); }},
      {"VertexBuffer", [](CD3D9Renderer& r) { r.GetVertexBufferStorageInterface(); }},
      {"Material", [](CD3D9Renderer& r) { r.GetMaterialStorageInterface(); }},
      {"Texture", [](CD3D9Renderer& r) { r.GetTextureStorageInterface(); }},
      {"Sprite", [](CD3D9Renderer& r) { r.GetSpriteStorageInterface(); }},
      {"RenderTargets", [](CD3D9Renderer& r) { r.GetRenderTargetStorageInterface(); }},
  };
  EngineContextScope context;
  CRecordingEngineLog log;
  context->pLog = &log;
  CD3D9Renderer renderer(GetEngineContext());
  for (const Getter& getter : kGetters) {
    SCOPED_TRACE(getter.text);
    ProcessExitCatcher catcher;
    try {
      getter.call(renderer);
      ADD_FAILURE() << "the getter returned";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, "An Attempt To Get Uninitialized Interface");
    EXPECT_EQ(catcher.Boxes()[0].text, getter.text);
  }
}

TEST(RendererFrame, OnGLAClearFillsTheTargetWithTheActiveScenesBackground) {
  RendererTestBench bench(ZK_D3D_BACKEND_GL);
  TestScene* scene = new TestScene();
  scene->SetBackgroundColor(0x00336699);
  bench.context->pActiveScene = scene;
  bench.renderer->Clear(7, 0);
  const std::vector<D3DCOLOR> pixels = bench.device.ReadBackBuffer();
  ASSERT_EQ(pixels.size(), size_t{CD3DTestDevice::kWidth} * CD3DTestDevice::kHeight);
  for (UINT y : {0u, 31u, 63u})
    for (UINT x : {0u, 40u, 63u}) EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, x, y), 0x00336699)) << x << "," << y;
  scene->Release();
}

}  // namespace
