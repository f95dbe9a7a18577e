#include "core/EngineContext.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>

#include "ZKDXInterface.h"

#include "core/ConsoleFrame.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/EngineRelease.h"
#include "core/GuiKeyQueue.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"

namespace {

const char kSource[] = "ZKDXGlobals";

CEngineContext g_engineContext;

// In the order of EngineSample.
const char* const kSampleNames[ENGINE_SAMPLE_COUNT] = {"MemAllocator",
                                                       "BeginEnd",
                                                       "ShaderLib",
                                                       "GenericPass",
                                                       "PrepareMatrices",
                                                       "UpdateHierarchy",
                                                       "LightWaveInterpolation",
                                                       "SetActiveCamera",
                                                       "Direct3DCalls",
                                                       "Flip1",
                                                       "Flip2"};

uint64_t ReadPerformanceCounter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<uint64_t>(count.QuadPart);
}

}  // namespace

CEngineContext* g_pEngineContext = &g_engineContext;

bool CEngineContext::DescriptorUsesLogs() const { return pDescriptor && pDescriptor->dwUseLogs; }

const char* CEngineContext::GetDescriptorLogFolder() const {
  return pDescriptor ? pDescriptor->szLogDirectory : nullptr;
}

void CEngineContext::CreateProfiler() {
  pProfiler = NewOrFatal<CProfiler>("Error While Initializing", "Can't Create Profiler");
  for (int i = 0; i < ENGINE_SAMPLE_COUNT; ++i) pSamples[i] = pProfiler->CreateSample(kSampleNames[i]);
  CProfilerSample* root = pSamples[SAMPLE_BEGIN_END];
  for (EngineSample child :
       {SAMPLE_SHADER_LIB, SAMPLE_GENERIC_PASS, SAMPLE_PREPARE_MATRICES, SAMPLE_UPDATE_HIERARCHY,
        SAMPLE_MEM_ALLOCATOR, SAMPLE_FLIP1, SAMPLE_FLIP2})
    root->AddChild(pSamples[child]);
  pSamples[SAMPLE_PREPARE_MATRICES]->AddChild(pSamples[SAMPLE_LIGHTWAVE_INTERPOLATION]);
  root->AddChild(pSamples[SAMPLE_SET_ACTIVE_CAMERA]);
  pSamples[SAMPLE_SHADER_LIB]->AddChild(pSamples[SAMPLE_DIRECT3D_CALLS]);
  pProfiler->SetRootSample(root);
}

void CEngineContext::LimitFrameRate() {
  DWORD limit = pConfig ? pConfig->dwFrameRateLimit : 0;
  if (qwCounterFrequency == 0 || limit == 0) return;

  uint64_t now = ReadPerformanceCounter();
  if (qwLastFrameCount != 0) {
    uint32_t period = static_cast<uint32_t>(qwCounterFrequency / limit);
    uint64_t shortWait = qwCounterFrequency * 2 / 1000;
    for (;;) {
      uint32_t elapsed = static_cast<uint32_t>(now - qwLastFrameCount);
      if (elapsed >= period || now < qwLastFrameCount) break;
      if (period - elapsed <= shortWait) {
        for (int i = 0; i < 10; ++i) Sleep(0);
      } else {
        Sleep(1);
      }
      now = ReadPerformanceCounter();
    }
  }
  qwLastFrameCount = now;
}

void CEngineContext::ShowFPS(DWORD show) {
  // Once a frame, on the main thread: the key changes the input thread queued for the console.
  if (pConsole) ports.guiKeys->InjectQueuedGuiKeys();
  // The whole GUI is drawn only while the console is open, on frames the application asked it for.
  if (show == 1 && pRenderer && ports.console->IsOpen()) {
    pRenderer->BeginRendering();
    ports.console->Render(m_fLastFrameRate);
    pRenderer->EndRendering();
  }
  if (dwStatisticsOn != 1) return;
  float now = static_cast<float>(timeGetTime()) * 0.001f;
  ++m_dwFramesCounted;
  float elapsed = now - m_fLastFpsTime;
  if (elapsed <= 1.0f) return;

  m_fLastFrameRate = static_cast<float>(m_dwFramesCounted) / elapsed;
  m_dwFramesCounted = 0;
  m_fLastFpsTime = now;
  char rate[64];
  snprintf(rate, sizeof rate, "%7.02f fps\n", static_cast<double>(m_fLastFrameRate));
  if (!pLog) return;
  if (pActiveScene)
    pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- At %f - %s",
              static_cast<double>(pActiveScene->GetFrame()), rate);
  else
    pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- No ActiveScene - %s", rate);
}

void CEngineContext::Shutdown(UINT exitCode) {
  if (dwInitialized != 1 || m_shuttingDown) return;
  m_shuttingDown = true;

  LogTo(pLog, kSource, CEngineLog::kLevelInfo, "- Window Destroyed\n");
  ports.release->ReleaseServices();
  ports = EnginePorts{};
  CloseLog();
  if (pProfiler) pProfiler->DumpStatistics("statistics.txt", pSamples[SAMPLE_BEGIN_END]);
  DestroyAppWindow();
  timeEndPeriod(1);
  dwInitialized = 0;
  m_shuttingDown = false;

  if (pDescriptor && pDescriptor->dwUseQuitCallback == 1 && pDescriptor->fpQuitCallback) {
    pDescriptor->fpQuitCallback();
    return;
  }
  ExitProcess(exitCode);
}

void CEngineContext::CloseLog() {
  if (!pLog) return;
  if (pLog->IsEnabled()) pLog->Close(DescriptorUsesLogs());
  pLog = nullptr;
}

void CEngineContext::DestroyAppWindow() {
  if (!hWnd) return;
  DestroyWindow(hWnd);
  hWnd = nullptr;
}
