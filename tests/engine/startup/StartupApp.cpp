// An application of the engine for the start-up tests: it loads the engine library by name, as
// the game does, and drives it through the export and the top interface. The test runs it as a
// process of its own, because start-up takes a process-wide lock and shutdown ends the process.
//
//   startup_app ENGINE_LIBRARY SCENARIO [OPTION...]
//
// It runs in the test's folder, which is also its lock, log and override folder. What it sees is
// written to standard output one line at a time: the boxes shown and the exit code when the
// process ends, and what each scenario reports.
#include <windows.h>

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "console/Console.h"
#include "dinput.h"
#include "scene/ScriptOutput.h"
#include "script/ScriptStorage.h"
#include "input/InputControllers.h"
#include "input/Keyboard.h"
#include "scene/ParticleEmiter.h"
#include "scene/ParticleEmiterFactory.h"
#include "TestConfig.h"
#include "zktest/ZkTestD3D.h"
#include "zktest/ZkTestInput.h"
#include "zktest/ZkTestKernel.h"

// While armed, threads started through the C++ library (the engine's input thread is one) cannot
// be created, as when the system runs out of threads; other threads start as usual. The program
// exports this definition, so that the C++ library's call reaches it before the C library's.
namespace {
std::atomic<bool> g_refuseThreads{false};
std::atomic<bool> g_breakRegistration{false};
}  // namespace

// While armed, the engine's script engine comes with a type of the engine's own already
// registered, so that the engine's registration of it is refused. The program exports this
// definition, so that the engine's call reaches it before the script library's.
namespace AngelScript {
extern "C" asIScriptEngine* asCreateScriptEngine(asDWORD version) {
  using Create = asIScriptEngine* (*)(asDWORD);
  static const Create create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "asCreateScriptEngine"));
  asIScriptEngine* engine = create(version);
  if (g_breakRegistration && engine) engine->RegisterObjectType("bstr", 0, asOBJ_REF | asOBJ_NOCOUNT);
  return engine;
}
}  // namespace AngelScript

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*routine)(void*), void* argument) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const Create create = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  Dl_info where = {};
  if (g_refuseThreads && dladdr(reinterpret_cast<void*>(routine), &where) && where.dli_fname &&
      std::strstr(where.dli_fname, "libstdc++"))
    return EAGAIN;
  return create(thread, attributes, routine, argument);
}

namespace {

std::string g_folder;

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
  return escaped;
}

// Reports the boxes and the code, then lets the process end for real.
void ReportExit(UINT code) {
  for (const ZkTestMessageBox& box : ZkTestMessageBoxes())
    std::printf("box\t%s\t%s\n", box.caption.c_str(), Escaped(box.text).c_str());
  std::printf("exit %u\n", code);
  std::fflush(stdout);
}

void Report(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

bool LogsExist() { return std::filesystem::exists(g_folder + "/ZeKorb.Log"); }

bool HasOption(int argc, char** argv, const char* option) {
  for (int i = 3; i < argc; ++i)
    if (std::strcmp(argv[i], option) == 0) return true;
  return false;
}

void ReportCharacter(UINT character) { std::printf("character %c\n", static_cast<char>(character)); }

// What Init left running: the input manager, whose thread keeps waking, and whose keyboard the
// engine's window procedure feeds; and the particle emitter factory.
void ReportServices(CZeKorbD3DInterface* engine) {
  // The engine's own object behind the interface: its thread counters are not the game's.
  auto* input = static_cast<CInputControllers*>(engine->GetInputControllersInterface());
  if (!input) {
    Report("no input manager");
  } else {
    const uint64_t rounds = input->GetThreadRounds();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (input->GetThreadRounds() < rounds + 2 && std::chrono::steady_clock::now() < limit)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Report(input->IsThreadRunning() && input->GetThreadRounds() >= rounds + 2
               ? "input thread polling"
               : "input thread still");
    if (CKeyboard* keyboard = input->GetKeyboard()) {
      keyboard->SetCharCallback(ReportCharacter);
      SendMessageA(engine->GetWindowHandle(), WM_CHAR, 'q', 0);
      keyboard->SetCharCallback(nullptr);
      std::fflush(stdout);
    }
  }
  CParticleEmiterFactory* particles = engine->GetParticleEmiterFactory();
  Report(particles ? "particle factory" : "no particle factory");
  // An emitter draws through a sprite of the renderer's sprite bank.
  if (particles) {
    CParticleEmiter* sparks = particles->CreateParticleEmiter("sparks", 4, nullptr, nullptr, nullptr, nullptr, 0, 0,
                                                              0, nullptr, 0, nullptr, 0, SPRITE_CAMERA_FACING);
    Report(sparks && sparks->GetSprite() ? "particle sprite" : "no particle sprite");
  }
}

// The device calls so far and the Direct3D objects alive, as "devices 1 resets 0 live 5".
void ReportDevice(const char* when) {
  std::printf("%s: devices %zu resets %zu live %zu\n", when, ZkTestD3DCountCalls("CreateDevice"),
              ZkTestD3DCountCalls("Reset"), ZkTestD3DLiveObjects());
  std::fflush(stdout);
}

// Runs the line in the console's module and reports its result and the messages it gave.
void RunScriptLine(CZeKorbD3DInterface* engine, const char* text) {
  struct Sink final : CScriptOutput {
    void Line(const char* line) override { std::printf("sink %s\n", line); }
  } sink;
  CScriptStorage* storage = engine->GetScriptStorage();
  const int result = storage->ExecuteString(ScriptParent{}, "ZeKorbConsole", text, &sink, 0);
  std::printf("line %s\n", result == 0 ? "ran" : result < 0 ? "failed" : "positive");
  std::fflush(stdout);
}

// A triangle 5 in front of the camera, its surface indexed.
void AddPanel(CSceneInterface* scene, const char* name) {
  CMeshInterface* mesh = scene->AddMesh(0);
  mesh->SetName(name);
  Vertex vertices[3] = {};
  const float corners[3][2] = {{-1, -1}, {0, 1}, {1, -1}};
  for (int i = 0; i < 3; ++i) {
    vertices[i].vecPosition = CVector3(corners[i][0], corners[i][1], 5.0f);
    vertices[i].vecNormal = CVector3(0, 0, -1);
    for (WORD& bone : vertices[i].wBonesIndices) bone = 0xFFFF;
  }
  mesh->SetVertices(3, vertices, 1);
  WORD indices[3] = {0, 1, 2};
  mesh->CreateSurface()->SetIndices(3, indices);
}

// Saves a scene of one triangle 5 in front of its camera as "room.zks", loads it back for the
// coded rendering path (shader mode 0) and draws it once; reports the device's indexed draws.
void DrawCodedScene(CZeKorbD3DInterface* engine) {
  CSceneInterface* made = nullptr;
  engine->AddScene(&made);
  made->SetName("room");
  AddPanel(made, "panel");
  made->AddCamera();
  Report(engine->SaveSceneToZKS(made, 0) ? "saved" : "not saved");
  made->Release();

  CSceneInterface* loaded = nullptr;
  engine->LoadScene(&loaded, "room", 0, 0, nullptr, nullptr, nullptr);
  Report(loaded ? "loaded" : "not loaded");
  if (!loaded) return;
  engine->SetActiveScene(loaded);
  loaded->PrepareMatrices();
  loaded->UpdateHierarchy();
  CD3D9RendererInterface* renderer = engine->GetD3DRendererInterface();
  const size_t before = ZkTestD3DCountCalls("DrawIndexedPrimitive");
  renderer->BeginRendering();
  loaded->Render();
  renderer->EndRendering();
  std::printf("draws %zu\n", ZkTestD3DCountCalls("DrawIndexedPrimitive") - before);
  engine->SetActiveScene(nullptr);
  loaded->Release();
}

// Saves "arena.zks" (two panels, a light, a camera), loads it as the active scene and runs the
// line as the console runs a typed one; reports what the line left in the scene.
void RunConsoleLineOnScene(CZeKorbD3DInterface* engine, const char* line) {
  CSceneInterface* made = nullptr;
  engine->AddScene(&made);
  made->SetName("arena");
  AddPanel(made, "left");
  AddPanel(made, "right");
  CLightInterface* light = made->AddLight();
  light->SetName("lamp");
  light->SetColor(0x336699);
  made->AddCamera();
  Report(engine->SaveSceneToZKS(made, 0) ? "saved" : "not saved");
  made->Release();

  CSceneInterface* loaded = nullptr;
  engine->LoadScene(&loaded, "arena", 0, 0, nullptr, nullptr, nullptr);
  if (!loaded) {
    Report("not loaded");
    return;
  }
  engine->SetActiveScene(loaded);
  // One frame's passes, as the game's loop runs them before a line can be typed.
  loaded->PrepareMatrices();
  loaded->UpdateHierarchy();
  // A box without a display shows its text on standard error: the test reads it with the rest.
  std::fflush(stdout);
  dup2(STDOUT_FILENO, STDERR_FILENO);
  RunScriptLine(engine, line);
  std::fflush(stderr);
  CVector3 position;
  loaded->GetMesh(0)->GetPosition(&position, 1);
  std::printf("%s at %g %g %g, fog %08X\n", loaded->GetMesh(0)->GetName(), position.x, position.y,
              position.z, loaded->GetFogColor());
  std::fflush(stdout);
  engine->SetActiveScene(nullptr);
  loaded->Release();
}

// The console as the player meets it: made by Init, opened with the back-quote key on the
// engine's window, and drawn with the whole GUI by the next presented frame.
void OpenConsole(CZeKorbD3DInterface* engine) {
  CConsole* console = engine->GetConsoleInterface();
  Report(console ? "console" : "no console");
  if (!console) return;
  HWND window = engine->GetWindowHandle();
  ZkTestInputFocus(window, TRUE);
  for (BOOL down : {TRUE, FALSE}) {
    ZkTestInputKey(window, DIK_GRAVE, down);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  Report(console->IsOpen() ? "console open" : "console closed");
  CD3D9RendererInterface* renderer = engine->GetD3DRendererInterface();
  const size_t before = ZkTestD3DCountCalls("DrawPrimitive");
  renderer->Flip(window, 1);
  Report(ZkTestD3DCountCalls("DrawPrimitive") > before ? "gui drawn" : "gui not drawn");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s ENGINE_LIBRARY SCENARIO [OPTION...]\n", argv[0]);
    return 2;
  }
  const std::string scenario = argv[2];
  ZkTestD3DLogCalls(true);  // the reports count device calls
  g_folder = std::filesystem::current_path().string();
  ZkTestSetLockFolder(g_folder.c_str());
  ZkTestMessageBoxCapture(true);
  ZkTestSetExitHook(ReportExit);

  HMODULE engineLibrary = LoadLibraryA(argv[1]);
  auto getInterface = engineLibrary ? reinterpret_cast<GetZeKorbD3DInterfaceProc>(
                                          GetProcAddress(engineLibrary, "GetZeKorbD3DInterface"))
                                    : nullptr;
  if (!getInterface) {
    std::fprintf(stderr, "cannot load %s\n", argv[1]);
    return 2;
  }

  static ApplicationDescriptor descriptor = {};
  descriptor.dwSize = sizeof descriptor;
  descriptor.dwVersion = ZEKORB_VERSION;
  descriptor.szWindowTitle = "Start-up test";
  descriptor.szApplicationName = "StartupApp";
  descriptor.szLogDirectory = g_folder.c_str();
  descriptor.szOverrideDirectory = g_folder.c_str();
  descriptor.dwUseLogs = HasOption(argc, argv, "--no-logs") ? 0 : 1;
  descriptor.dwWindowed = 1;
  if (HasOption(argc, argv, "--quit-callback")) {
    descriptor.fpQuitCallback = [] { Report("quit callback"); };
    descriptor.dwUseQuitCallback = 1;
  }
  if (scenario == "no-name") descriptor.szApplicationName = nullptr;
  g_breakRegistration = scenario == "bad-registration";
  if (scenario == "bad-version") descriptor.dwVersion = ZEKORB_VERSION - 1;
  if (scenario == "bad-size") descriptor.dwSize = sizeof descriptor - 4;

  CZeKorbD3DInterface* engine = getInterface(&descriptor);
  Report(engine ? "interface" : "no interface");
  Report(LogsExist() ? "logs after export" : "no logs after export");
  const bool reportBlocks = HasOption(argc, argv, "--report-blocks");
  if (reportBlocks)
    std::printf("descriptor %u %u %s %u %s\n", descriptor.dwAllocatorDescriptors,
                descriptor.dwAllocatorPageMemory, descriptor.szShadersDirectory,
                descriptor.dwWindowed, descriptor.hWnd ? "window" : "no window");

  if (scenario == "hold") {
    // Keeps the single-instance lock until the test closes our input.
    Report("ready");
    std::string line;
    std::getline(std::cin, line);
  }

  // Radeon9700 for Init and RadeonX800 for a change: the schemes the real adapter meets.
  static ConfigureGFX presets[2] = {};
  static ZeKorbConfig config = {};
  FillTestConfig(config, presets);
  if (scenario == "bad-preset") presets[1].dwSize = sizeof presets[1] - 8;
  // The game's sound configuration: the default device, a 3D primary buffer, 16 hardware
  // buffers wanted.
  static TonarisConfig sound = {sizeof(TonarisConfig), 0xFFFFFFFF, 2, 16, 16};
  const bool withSound = HasOption(argc, argv, "--sound");
  if (withSound) {
    config.dwUseSound = 1;
    config.pTonarisConfig = &sound;
  }
  if (scenario == "bad-sound-config") sound.dwSize = sizeof sound - 1;
  g_refuseThreads = scenario == "no-input-thread";
  engine->Init(&config);
  Report(LogsExist() ? "logs after Init" : "no logs after Init");
  if (withSound) Report(engine->GetTonarisInterface() ? "sound server" : "no sound server");
  const bool reportServices = HasOption(argc, argv, "--report-services");
  if (reportServices) ReportServices(engine);
  if (reportBlocks)
    std::printf("config %u %u %u %u\n", config.wWidth, config.wHeight, config.dwLockConsole,
                config.dwVSync);

  const bool reportDevice = HasOption(argc, argv, "--report-device");
  if (reportDevice) {
    ReportDevice("after Init");
    engine->ChangeConfiguration(&config);
    ReportDevice("after a change");
    // Alt+Enter on the engine's window.
    SendMessageA(descriptor.hWnd, WM_SYSCOMMAND, SC_KEYMENU, 13);
    ReportDevice("after Alt+Enter");
  }
  if (scenario == "script-line") RunScriptLine(engine, argv[3]);
  if (scenario == "coded-scene") DrawCodedScene(engine);
  if (scenario == "console") OpenConsole(engine);
  if (scenario == "console-line") RunConsoleLineOnScene(engine, argv[3]);

  engine->CloseZeKorb();
  Report("returned from CloseZeKorb");
  if (reportDevice) ReportDevice("after CloseZeKorb");
  if (scenario == "script-line")
    Report(engine->GetScriptStorage() ? "script storage kept" : "script storage released");
  if (scenario == "console")
    Report(engine->GetConsoleInterface() ? "console kept" : "console released");
  if (withSound) Report(engine->GetTonarisInterface() ? "sound server kept" : "sound server released");
  if (reportServices)
    Report(engine->GetInputControllersInterface() || engine->GetParticleEmiterFactory()
               ? "services kept"
               : "services released");
  return 3;
}
