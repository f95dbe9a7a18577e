#include "startup/EngineShutdown.h"

#include "console/Console.h"
#include "console/GuiSystem.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/Timer.h"
#include "d3d/D3D9Renderer.h"
#include "files/ZKReader.h"
#include "input/InputControllers.h"
#include "input/WindowProcedure.h"
#include "lightwave/LWReader.h"
#include "scene/ParticleEmiterFactory.h"
#include "script/ScriptStorage.h"
#include "sound/Tonaris.h"
#include "spatial/CollisionManager.h"
#include "startup/EngineDevice.h"
#include "startup/EngineWindow.h"
#include "startup/ToolBox.h"

namespace {

const char kSource[] = "ZKDXGlobals";

}  // namespace

CEngineShutdown& CEngineShutdown::Instance() {
  static CEngineShutdown shutdown;
  return shutdown;
}

void CEngineShutdown::ReleaseServices() {
  CEngineContext* context = GetEngineContext();
  UnloadToolBox(context);
  ReleaseSoundServer(context);
  ReleaseInputControllers(context);
  ReleaseParticleFactory(context);
  ReleaseSceneServices(context);
  ReleaseConsole(context);
  ReleaseGui(context);
  ReleaseRenderer(context);
  ReleaseVirtualFileSystem(context);
  ReleaseScriptStorage(context);
}

void CEngineShutdown::UnloadToolBox(CEngineContext* context) {
  if (!context->pToolBox) return;
  context->ports.toolBox.Reset();
  context->pToolBox->Unload();
  delete context->pToolBox;
  context->pToolBox = nullptr;
  LogTo(context->pLog, kSource, CEngineLog::kLevelInfo, "- ToolBox Unloaded\n");
}

// The server object itself stays until the process ends (start-up handed it to KeepUntilExit):
// the application may still hold sounds and release them after the shutdown, and their release
// goes through the server's list.
void CEngineShutdown::ReleaseSoundServer(CEngineContext* context) {
  if (!context->pConfig || context->pConfig->dwUseSound != 1 || !context->pSoundServer) return;
  context->pSoundServer->Deinit();
  context->pSoundServer = nullptr;
  LogTo(context->pLog, kSource, CEngineLog::kLevelInfo, "- Sound deinitialized\n");
}

// The input thread must be gone before the device and the log: its callbacks reach both.
void CEngineShutdown::ReleaseInputControllers(CEngineContext* context) {
  if (!context->pInputControllers) return;
  const bool stopped = context->pInputControllers->Shutdown() != 0;
  CEngineWindow::GetWindowProcedure()->SetInputControllers(nullptr);
  context->ports.guiKeys.Reset();
  // A game callback that closes the engine runs on the input thread, inside a poll of the
  // devices: the manager cannot wait for its own thread, and stays for the process's last moments
  // rather than being freed under that poll.
  if (stopped) {
    delete context->pInputControllers;
    delete context->pInputTimer;
  }
  context->pInputControllers = nullptr;
  context->pInputTimer = nullptr;
  LogTo(context->pLog, kSource, CEngineLog::kLevelInfo, "- Input Controllers deinitialized\n");
}

// The emitters' sprites live in the renderer's sprite bank, so they go before the renderer.
void CEngineShutdown::ReleaseParticleFactory(CEngineContext* context) {
  delete context->pParticleFactory;
  context->pParticleFactory = nullptr;
}

// What Init made over the device: the file readers, the collision manager, the lighting passes
// and the services
// the scene reaches through its ports. The ports go back to their defaults first, so nothing
// reaches a freed service.
void CEngineShutdown::ReleaseSceneServices(CEngineContext* context) {
  context->ports = EnginePorts{};
  context->pPerVertexPass = nullptr;
  context->pPerPixelPass = nullptr;
  while (!m_Owned.empty()) m_Owned.pop_back();
  // The LightWave reader's import records (about 10 MB) are freed with the scene services.
  GetLWInterface()->ReleaseBuffers();
  delete context->pCollisions;
  context->pCollisions = nullptr;
  delete context->pZKReader;
  context->pZKReader = nullptr;
}

// The console's windows go before the GUI, and the console before the script host it runs lines
// in. A console whose line is running (the line closed the engine) is on the caller's stack: it
// is only cut loose, and left to the ending process.
void CEngineShutdown::ReleaseConsole(CEngineContext* context) {
  if (!context->pConsole) return;
  CEngineWindow::GetWindowProcedure()->SetConsole(nullptr);
  if (context->pInputControllers) context->pInputControllers->SetGuiTarget(nullptr, nullptr);
  context->ports.console.Reset();
  if (context->pConsole->IsExecutingLine())
    context->pConsole->DetachGui();
  else
    delete context->pConsole;
  context->pConsole = nullptr;
}

// The GUI library draws through the renderer, so it goes before it; the window procedure stops
// feeding it first.
void CEngineShutdown::ReleaseGui(CEngineContext* context) {
  if (!context->pGui) return;
  if (CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer()) renderer->SetGuiDeviceHook(nullptr);
  context->pGui->Release();
  delete context->pGui;
  context->pGui = nullptr;
}

void CEngineShutdown::ReleaseRenderer(CEngineContext* context) {
  CEngineDevice::Instance().Release(context);
}

void CEngineShutdown::ReleaseVirtualFileSystem(CEngineContext* context) {
  if (!context->pVirtualFileSystem) return;
  context->pVirtualFileSystem->Deinitialize();
  context->pVirtualFileSystem = nullptr;
  LogTo(context->pLog, kSource, CEngineLog::kLevelInfo, "- Virtual Disk deinitialized\n");
}

// After everything that can run a script, before the log the host reports through. A shutdown
// entered from a running script (one calling CloseZeKorb) cannot free the engine under that
// script: the host is then left to the ending process. Its port was reset with the others.
void CEngineShutdown::ReleaseScriptStorage(CEngineContext* context) {
  if (!context->pScriptStorage) return;
  ReleaseScriptStorageInterface();
  context->pScriptStorage = nullptr;
}
