#include "core/EngineContext.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <new>

#include "ZKDXInterface.h"

#include "core/EngineLog.h"
#include "input/InputControllers.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"
#include "core/Timer.h"
#include "startup/EngineDevice.h"
#include "startup/ToolBox.h"
#include "input/WindowProcedure.h"
#include "files/ZKReader.h"
#include "scene/Null.h"
#include "scene/ParticleEmiterFactory.h"
#include "script/ScriptStorage.h"
#include "spatial/CollisionManager.h"

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

const char kWindowClassName[] = "ZeKorbD3DWindow";
const WORD kEngineIconResource = 103;

// The engine's own window procedure, installed for the life of the process.
WNDPROC EngineWindowProcedure() {
  CWindowProcedure::Install(CEngineContext::GetWindowProcedure());
  return CWindowProcedure::WindowProc;
}

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

bool CEngineContext::CreateProfiler() {
  pProfiler = new (std::nothrow) CProfiler();
  if (!pProfiler) return false;
  for (int i = 0; i < ENGINE_SAMPLE_COUNT; ++i) {
    pSamples[i] = pProfiler->CreateSample(kSampleNames[i]);
    if (!pSamples[i]) return false;
  }
  CProfilerSample* root = pSamples[SAMPLE_BEGIN_END];
  for (EngineSample child :
       {SAMPLE_SHADER_LIB, SAMPLE_GENERIC_PASS, SAMPLE_PREPARE_MATRICES, SAMPLE_UPDATE_HIERARCHY,
        SAMPLE_MEM_ALLOCATOR, SAMPLE_FLIP1, SAMPLE_FLIP2})
    root->AddChild(pSamples[child]);
  pSamples[SAMPLE_PREPARE_MATRICES]->AddChild(pSamples[SAMPLE_LIGHTWAVE_INTERPOLATION]);
  root->AddChild(pSamples[SAMPLE_SET_ACTIVE_CAMERA]);
  pSamples[SAMPLE_SHADER_LIB]->AddChild(pSamples[SAMPLE_DIRECT3D_CALLS]);
  pProfiler->SetRootSample(root);
  return true;
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
  (void)show;
  // Once a frame, on the main thread: the key changes the input thread queued for the console.
  if (pConsole && pInputControllers) pInputControllers->InjectQueuedGuiKeys();
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

CWindowProcedure* CEngineContext::GetWindowProcedure() {
  static CWindowProcedure procedure;
  return &procedure;
}

bool CEngineContext::CreateAppWindow() {
  if (pDescriptor->hWnd) {
    // The application's window and its own procedure stay as they are.
    hWnd = pDescriptor->hWnd;
    dwWindowOwned = 0;
    return true;
  }
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = EngineWindowProcedure();
  windowClass.hInstance = pDescriptor->hInstance;
  windowClass.hIcon = pDescriptor->hIcon ? pDescriptor->hIcon
                                         : LoadIconA(hModule, MAKEINTRESOURCEA(kEngineIconResource));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassA(&windowClass);  // already registered by an earlier start: the class stands

  const bool windowed = pDescriptor->dwWindowed != 0;
  const DWORD extendedStyle = windowed ? WS_EX_APPWINDOW : WS_EX_APPWINDOW | WS_EX_TOPMOST;
  const DWORD style = windowed ? WS_POPUP | WS_CAPTION : WS_POPUP;
  hWnd = CreateWindowExA(extendedStyle, kWindowClassName, pDescriptor->szWindowTitle, style, 0, 0,
                         128, 128, nullptr, nullptr, pDescriptor->hInstance, nullptr);
  if (!hWnd) return false;
  pDescriptor->hWnd = hWnd;
  dwWindowOwned = 1;
  return true;
}

void CEngineContext::Shutdown(UINT exitCode) {
  if (dwInitialized != 1 || m_shuttingDown) return;
  m_shuttingDown = true;

  LogInfo(__LINE__, "- Window Destroyed\n");
  UnloadToolBox();
  ReleaseSoundServer();
  ReleaseInputControllers();
  ReleaseParticleFactory();
  ReleaseSceneServices();
  ReleaseRenderer();
  ReleaseVirtualFileSystem();
  ReleaseScriptStorage();
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

void CEngineContext::UnloadToolBox() {
  if (!pToolBox) return;
  pToolBox->Unload();
  delete pToolBox;
  pToolBox = nullptr;
  LogInfo(__LINE__, "- ToolBox Unloaded\n");
}

// The server object itself stays: the application may still hold sounds and release them after
// the shutdown, and their release goes through the server's list.
void CEngineContext::ReleaseSoundServer() {
  if (!pConfig || pConfig->dwUseSound != 1 || !pSoundServer) return;
  pSoundServer->Deinit();
  pSoundServer = nullptr;
  LogInfo(__LINE__, "- Sound deinitialized\n");
}

// The input thread must be gone before the device and the log: its callbacks reach both.
void CEngineContext::ReleaseInputControllers() {
  if (!pInputControllers) return;
  const bool stopped = pInputControllers->Shutdown() != 0;
  GetWindowProcedure()->SetInputControllers(nullptr);
  // A game callback that closes the engine runs on the input thread, inside a poll of the
  // devices: the manager cannot wait for its own thread, and stays for the process's last moments
  // rather than being freed under that poll.
  if (stopped) {
    delete pInputControllers;
    delete pInputTimer;
  }
  pInputControllers = nullptr;
  pInputTimer = nullptr;
  LogInfo(__LINE__, "- Input Controllers deinitialized\n");
}

// The emitters' sprites live in the renderer's sprite bank, so they go before the renderer.
void CEngineContext::ReleaseParticleFactory() {
  delete pParticleFactory;
  pParticleFactory = nullptr;
}

// What Init made over the device: the scene and object file reader and the collision manager.
void CEngineContext::ReleaseSceneServices() {
  delete pCollisions;
  pCollisions = nullptr;
  delete pZKReader;
  pZKReader = nullptr;
  pSceneFileReader = nullptr;  // it read through the reader just freed
}

void CEngineContext::ReleaseRenderer() { CEngineDevice::Instance().Release(this); }

void CEngineContext::ReleaseVirtualFileSystem() {
  if (!pVirtualFileSystem) return;
  pVirtualFileSystem->Deinitialize();
  pVirtualFileSystem = nullptr;
  LogInfo(__LINE__, "- Virtual Disk deinitialized\n");
}

// After everything that can run a script, before the log the host reports through. A shutdown
// entered from a running script (one calling CloseZeKorb) cannot free the engine under that
// script: the host is then left to the ending process.
void CEngineContext::ReleaseScriptStorage() {
  if (!pScriptStorage) return;
  CNull::SetScriptHost(nullptr);
  ReleaseScriptStorageInterface();
  pScriptStorage = nullptr;
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

void CEngineContext::LogInfo(int line, const char* text) {
  if (pLog) pLog->Log(kSource, line, CEngineLog::kLevelInfo, "%s", text);
}
