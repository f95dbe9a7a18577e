#include "startup/EngineStartup.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "ZKDXGlobals.h"
#include "startup/ApplicationChecks.h"
#include "startup/EngineDevice.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3D9Renderer.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "input/InputControllers.h"
#include "lightwave/LWReader.h"
#include "startup/LicenseFile.h"
#include "core/PageAllocator.h"
#include "scene/SceneItemsManager.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "core/Timer.h"
#include "startup/ToolBox.h"
#include "vfs/VirtualFileSystem.h"
#include "input/WindowProcedure.h"
#include "console/Console.h"
#include "console/GUIRenderer.h"
#include "console/GuiSystem.h"
#include "startup/EngineShutdown.h"
#include "startup/EngineWindow.h"
#include "startup/ZeKorbD3D.h"
#include "files/ZKOMeshFileReader.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "scene/Light.h"
#include "scene/Null.h"
#include "script/ScriptStorage.h"
#include "scene/Mesh.h"
#include "scene/ParticleEmiterFactory.h"
#include "scene/SurfaceFactory.h"
#include "shaders/GenericPass.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"
#include "shaders/ShaderLibrary.h"
#include "sound/Tonaris.h"
#include "spatial/CollisionManager.h"
#include "spatial/LightSpatialServices.h"
#include "spatial/MeshSpatialServices.h"

namespace {

const char kSource[] = "ZKDXGlobals";
const char kInitTitle[] = "Error While Initializing";
const char kSoundTitle[] = "Error While Initializing ZeKorb";
const char kMutexName[] = "ZeKorb_mutex";
const DWORD kMinimumAllocatorDescriptors = 4096;
const DWORD kMinimumAllocatorPageMemory = 10485760;

char* CopyText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = new char[size];
  std::memcpy(copy, text, size);
  return copy;
}

// A setting read as a number: integers as they are, floats truncated; anything else is 0.
int SettingNumber(CSettingEntry* entry) {
  switch (entry->GetType()) {
    case CSettingEntry::kInteger: return entry->GetInt();
    case CSettingEntry::kFloat: return static_cast<int>(entry->GetFloat());
    default: return 0;
  }
}

// Stores into `field` 1 exactly when the setting `name` is 1, and leaves it alone when there is
// no such setting.
void ApplySwitch(CSettings* settings, const char* name, DWORD& field) {
  if (CSettingEntry* entry = settings->GetSetting(name)) field = SettingNumber(entry) == 1 ? 1 : 0;
}

}  // namespace

UINT CEngineStartup::PreInitialize(ApplicationDescriptor* descriptor) {
  m_context->pDescriptor = descriptor;
  // From here on a fatal error's shutdown frees what the steps below made.
  m_context->ports.release.Set(&CEngineShutdown::Instance());
  PrepareClocks();
  m_context->pEngineTimer = new CTimer();
  m_context->pEngineTimer->Reset();
  m_context->CreateProfiler();
  FindApplicationFolder();
  m_context->pSettings = new CSettings();
  BuildBanner();
  // Both checks come before the log is opened: opening it truncates the files, and the running
  // engine (this one, or the first copy of the program) is still writing them.
  if (m_context->dwInitialized == 1) FatalError("ZeKorb already inited!!!");
  TakeSingleInstanceLock();
  OpenLog();
  m_context->pSettings->LoadOverrideFile(descriptor->szOverrideDirectory, m_context->pLog);
  ApplyDescriptorSettings();
  CheckDescriptor();
  CreateOrAdoptWindow();
  WriteLicenseFile(m_context->GetApplicationFolder());
  StartScripting();
  CreateAllocator();
  CreateSceneItems();
  CreateFileSystem();
  EnumerateDevices();
  LoadToolBox();
  return 1;
}

void CEngineStartup::PrepareClocks() {
  timeBeginPeriod(1);
  MEMORYSTATUS memory = {};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  m_context->qwFreePhysicalMemory = memory.dwAvailPhys;
  srand(667);
  LARGE_INTEGER frequency = {};
  m_context->qwCounterFrequency =
      QueryPerformanceFrequency(&frequency) ? static_cast<uint64_t>(frequency.QuadPart) : 0;
  m_context->qwLastFrameCount = 0;
  m_context->pSceneItems = nullptr;
}

// The folder of the engine library itself, which is where its licence, default scripts and (by
// default) its logs go.
void CEngineStartup::FindApplicationFolder() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&GetEngineContext), &module);
  m_context->hModule = module;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, sizeof path);
  char* slash = std::strrchr(path, '/');
  char* backslash = std::strrchr(path, '\\');
  char* end = slash > backslash ? slash : backslash;
  if (end) end[1] = '\0';
  else path[0] = '\0';
  delete[] m_context->szApplicationFolder;
  m_context->szApplicationFolder = CopyText(path);
}

void CEngineStartup::BuildBanner() {
  char banner[512];
  snprintf(banner, sizeof banner,
           "ZeKorb (x86/D3D9) compiled: %s at %s (RELEASE version)\n"
           "Direct3D 9 engine with scenes, shaders, sound and virtual disks\n",
           "May 27 2005", "20:09:44");
  delete[] m_context->szBanner;
  m_context->szBanner = CopyText(banner);
}

void CEngineStartup::TakeSingleInstanceLock() {
  SECURITY_ATTRIBUTES attributes = {};
  attributes.nLength = sizeof attributes;
  attributes.bInheritHandle = TRUE;
  // The handle is held for the life of the process: it is what keeps a second copy out.
  CreateMutexA(&attributes, TRUE, kMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) ExitProcess(0);
}

void CEngineStartup::OpenLog() {
  m_context->pLog = GetEngineLog(0, m_context->szBanner, m_context->pDescriptor->szLogDirectory);
  m_context->dwStatisticsOn = 1;
}

void CEngineStartup::ApplyDescriptorSettings() {
  ApplicationDescriptor* descriptor = m_context->pDescriptor;
  CSettings* settings = m_context->pSettings;
  descriptor->szShadersDirectory = "s:";
  if (CSettingEntry* entry = settings->GetSetting("shaders_directory")) {
    if (const char* folder = entry->GetString()) {
      delete[] m_context->szShadersDirectory;
      m_context->szShadersDirectory = CopyText(folder);
      descriptor->szShadersDirectory = m_context->szShadersDirectory;
    }
  }
  if (CSettingEntry* entry = settings->GetSetting("allocator_descriptors"))
    descriptor->dwAllocatorDescriptors = static_cast<DWORD>(SettingNumber(entry));
  if (CSettingEntry* entry = settings->GetSetting("allocator_page_memory"))
    descriptor->dwAllocatorPageMemory = static_cast<DWORD>(SettingNumber(entry));
  ApplySwitch(settings, "window_mode", descriptor->dwWindowed);
  if (descriptor->dwAllocatorDescriptors < kMinimumAllocatorDescriptors)
    descriptor->dwAllocatorDescriptors = kMinimumAllocatorDescriptors;
  if (descriptor->dwAllocatorPageMemory < kMinimumAllocatorPageMemory)
    descriptor->dwAllocatorPageMemory = kMinimumAllocatorPageMemory;
}

void CEngineStartup::CheckDescriptor() {
  ApplicationDescriptor* descriptor = m_context->pDescriptor;
  if (descriptor->dwVersion != ZEKORB_VERSION)
    FatalErrorWithTitle(
        "", "!!!!This Version Of ZeKorb Can't Work With This Executable File (Incorrect Version)");
  if (descriptor->dwSize != sizeof(ApplicationDescriptor))
    FatalErrorWithTitle("", "!!!!This Version Of ZeKorb Can't Work With This Executable File - %i - %i",
                        static_cast<int>(descriptor->dwSize),
                        static_cast<int>(sizeof(ApplicationDescriptor)));
  m_context->dwShowCommand = descriptor->dwShowCommand;
  m_context->hInstance = descriptor->hInstance;
  ApplySwitch(m_context->pSettings, "use_logs", descriptor->dwUseLogs);
  if (!descriptor->szApplicationName)
    FatalError("You Did Not Specify The Name Of The Application");
}

void CEngineStartup::CreateOrAdoptWindow() {
  if (!CEngineWindow::Create(m_context)) FatalErrorWithTitle(kInitTitle, "Can't Create Window");
  m_context->dwWindowed = m_context->pDescriptor->dwWindowed;
}

void CEngineStartup::StartScripting() {
  CScriptStorage* storage = GetScriptStorageInterface(m_context->pLog);
  if (!storage || !storage->Initialize())
    FatalErrorWithTitle(kInitTitle, "Can't Initialize Scripting Language");
  m_context->pScriptStorage = storage;
  m_context->ports.nullScripts.Set(storage);
  m_context->ports.scriptTop.Set(CZeKorbD3D::Instance());
}

void CEngineStartup::CreateAllocator() {
  ApplicationDescriptor* descriptor = m_context->pDescriptor;
  m_context->pAllocator =
      CPageAllocator::Create(m_context->pLog, descriptor->dwAllocatorPageMemory,
                             descriptor->dwAllocatorDescriptors,
                             m_context->pSamples[SAMPLE_MEM_ALLOCATOR]);
  if (!m_context->pAllocator) FatalErrorWithTitle(kInitTitle, "Can't Allocate Temporary Buffers");
}

void CEngineStartup::CreateSceneItems() {
  m_context->pSceneItems = NewOrFatal<CSceneItemsManager>(
      kInitTitle, "Can't Initialize Scene Items Manager", m_context->pLog);
}

void CEngineStartup::CreateFileSystem() {
  m_context->pVirtualFileSystem =
      CreateVirtualFileSystem(m_context->pLog, m_context->pAllocator, m_context->hWnd);
  if (!m_context->pVirtualFileSystem) FatalErrorWithTitle("Error While Initializing VFS", "Can't Intialize");
}

void CEngineStartup::EnumerateDevices() { CEngineDevice::Instance().CreateRenderer(m_context); }

void CEngineStartup::LoadToolBox() {
  m_context->pToolBox = NewOrFatal<CToolBox>("Critical Error", "Can't Allocate Memory For the TOOL",
                                             CZeKorbD3D::Instance());
  m_context->ports.toolBox.Set(m_context->pToolBox);
}

UINT CEngineStartup::Init(ZeKorbConfig* config) {
  CheckConfigurationSizes(config);
  m_context->pConfig = config;
  ApplyConfigurationSettings();
  StartSound();
  ShowEngineWindow();
  CreateDevice();
  StartShaderLibrary();
  CreateFlareTexture();
  StartLightWaveReader();
  CreateSurfaceFactory();
  CreateZKReader();
  StartGui();
  CreateConsole();
  CreateGenericPass();
  CreateCollisions();
  CreateLightingPasses();
  CreateParticleFactory();
  // The scene editor's start-up hook has nothing to do here.
  StartInput();
  m_context->dwInitialized = 1;
  LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "- Inited\n");
  LoadAllTextures();
  LoadDefaultScripts();
  LoadDefaultShaders();
  if (!m_context->DescriptorUsesLogs()) CloseLogFiles(0);
  return 1;
}

void CEngineStartup::ApplyConfigurationSettings() {
  ZeKorbConfig* config = m_context->pConfig;
  CSettings* settings = m_context->pSettings;
  ApplySwitch(settings, "lock_console", config->dwLockConsole);
  if (CSettingEntry* entry = settings->GetSetting("height"))
    config->wHeight = static_cast<WORD>(SettingNumber(entry));
  if (CSettingEntry* entry = settings->GetSetting("width"))
    config->wWidth = static_cast<WORD>(SettingNumber(entry));
  ApplySwitch(settings, "vsync", config->dwVSync);
}

// With the sound switch on and a TonarisConfig given, the sound server is made with the window and
// the descriptor's use of logs, and opened with the TonarisConfig.
void CEngineStartup::StartSound() {
  const ZeKorbConfig* config = m_context->pConfig;
  if (config->dwUseSound != 1 || !config->pTonarisConfig) {
    LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "- Not Initializing Sound Library\n");
    return;
  }
  TonarisInterface* server = nullptr;
  if (!CreateTonarisInterface(m_context->hWnd, 1, m_context->pDescriptor->dwUseLogs, &server) ||
      !server)
    FatalErrorWithTitle(kSoundTitle, "Can't Get Sound Interface");
  CEngineShutdown::Instance().KeepUntilExit(static_cast<CTonaris*>(server));
  m_context->pSoundServer = server;
  if (!server->Init(config->pTonarisConfig))
    FatalErrorWithTitle(kSoundTitle, "Can't Initialize Sound Library");
}

void CEngineStartup::ShowEngineWindow() {
  ::ShowWindow(m_context->hWnd, static_cast<int>(m_context->dwShowCommand));
  UpdateWindow(m_context->hWnd);
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  m_context->dwPriorityClass = NORMAL_PRIORITY_CLASS;
}

void CEngineStartup::CreateDevice() { CEngineDevice::Instance().CreateDevice(m_context); }

// The shader library compiles for the scheme the device was made with, falling back only to
// schemes the adapter and the preset allow. Scenes, meshes and surfaces reach it through their
// hooks from here on; the shutdown frees it before the renderer.
void CEngineStartup::StartShaderLibrary() {
  CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer();
  const CD3D9Enumeration* enumeration = renderer->GetEnumeration();
  CShaderLibrary* library = GetShaderLibInterface(
      renderer, m_context->pLog, enumeration->GetSelectedScheme(),
      enumeration->GetCompatibleSchemes(), m_context->pDescriptor->szShadersDirectory);
  if (!library) FatalErrorWithTitle(kInitTitle, "Can't Get ShaderLib Interface");
  CEngineShutdown::Instance().Own(library);
  m_context->ports.meshShaders.Set(library);
  m_context->ports.surfaceShaders.Set(library);
  m_context->ports.sceneShaders.Set(library);
}

void CEngineStartup::CreateFlareTexture() { CEngineDevice::Instance().CreateFlareTexture(); }

// Meshes make their surfaces through the factory from here on.
void CEngineStartup::CreateSurfaceFactory() {
  m_context->ports.surfaceFactory.Set(CEngineShutdown::Instance().Own(new CSurfaceFactory()));
}

// Scenes and meshes read LightWave files through the process's one reader from here on; the
// scenes it makes draw with the renderer made above. The reader is never missing and takes any
// settings it is given, so this step cannot fail.
void CEngineStartup::StartLightWaveReader() {
  CLWReader* reader = GetLWInterface();
  const LWReaderSettings settings = {m_context->pLog, m_context->pRenderer, m_context->hWnd};
  reader->Init(&settings);
  m_context->ports.lightWave.Set(reader);
}

void CEngineStartup::CreateZKReader() {
  bool ok = false;
  m_context->pZKReader = NewOrFatal<CZKReader>(kInitTitle, "Can't Init ZK Reader",
                                               m_context->pRenderer, m_context->pLog, ok);
  if (!ok) FatalErrorWithTitle(kInitTitle, "Can't Init ZK Reader");
  // The top interface loads and saves scene files, and meshes load object files, through the
  // reader's exporters.
  CEngineShutdown& owner = CEngineShutdown::Instance();
  m_context->ports.sceneFiles.Set(owner.Own(new CZKSSceneFileReader(m_context->pZKReader)));
  m_context->ports.meshFiles.Set(owner.Own(new CZKOMeshFileReader(m_context->pZKReader)));
}

// The GUI library draws the console and tool windows on the engine's device. A locked console
// gets no renderer at all. The renderer also follows device resets and wraps engine textures
// for the tool windows from here on.
void CEngineStartup::StartGui() {
  constexpr char kNoGui[] = "Can't Initialize CEGUI";
  const std::string folder = m_context->GetApplicationFolder();
  const std::string logFile = folder + "CEGUI.log";
  const bool locked = m_context->pConfig->dwLockConsole != 0;
  const GuiSystemSettings settings = {m_context->pLog, folder.c_str(), logFile.c_str(), locked,
                                      CEngineWindow::GetWindowProcedure()};
  m_context->pGui = NewOrFatal<CGuiSystem>(kInitTitle, kNoGui, settings);
  if (locked) {
    m_context->pGui->InitializeCEGUI(nullptr);
    return;
  }
  CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer();
  std::unique_ptr<CGUIRenderer> gui;
  try {
    gui = std::make_unique<CGUIRenderer>(renderer);
  } catch (const std::exception& error) {
    // Without its vertex buffer the GUI cannot draw: the same end as any other GUI failure.
    LogTo(m_context->pLog, kSource, CEngineLog::kLevelError, "%s\n", error.what());
    FatalErrorWithTitle(kInitTitle, kNoGui);
  }
  CGUIRenderer* made = gui.get();
  if (!m_context->pGui->InitializeCEGUI(std::move(gui))) FatalErrorWithTitle(kInitTitle, kNoGui);
  renderer->SetGuiDeviceHook(made);
  m_context->ports.guiTextures.Set(made);
}

// The console comes after the GUI: without a running GUI (a locked console) it has no windows.
// The window procedure toggles it and feeds it characters from here on.
void CEngineStartup::CreateConsole() {
  CConsole* console = NewOrFatal<CConsole>(kInitTitle, "Can't Init Console", m_context,
                                           m_context->pRenderer, m_context->pLog,
                                           m_context->pConfig->dwLockConsole);
  m_context->pConsole = console;
  m_context->ports.console.Set(console);
  CEngineWindow::GetWindowProcedure()->SetConsole(console);
}

// Scenes and meshes loaded without shaders are prepared and drawn by the default coded
// rendering path from here on; the shutdown frees it before the renderer.
void CEngineStartup::CreateGenericPass() {
  CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer();
  if (!renderer) FatalErrorWithTitle(kInitTitle, "Can't Init GenericPass Interface");
  auto* pass = NewOrFatal<CGenericPass>(kInitTitle, "Can't Create R8500 Interface", renderer,
                                        m_context->pLog);
  m_context->ports.genericPass.Set(CEngineShutdown::Instance().Own(pass));
}

void CEngineStartup::CreateCollisions() {
  m_context->pCollisions = NewOrFatal<CCollisionManager>(
      kInitTitle, "Can't Create Collisions Interface", m_context->pRenderer, m_context->pLog);
  // Lights and meshes get their bound volumes (meshes also shadow volumes and colliders)
  // through the spatial subsystem from here on.
  CEngineShutdown& owner = CEngineShutdown::Instance();
  m_context->ports.lightSpatial.Set(owner.Own(new CLightSpatialServices(m_context->pLog)));
  m_context->ports.meshSpatial.Set(
      owner.Own(new CMeshSpatialServices(m_context->pLog, m_context->pCollisions)));
}

// Scenes of the per-vertex and per-pixel profiles are drawn by these from here on, whatever the
// rendering scheme; the shutdown frees them before the renderer.
void CEngineStartup::CreateLightingPasses() {
  CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer();
  CShaderLibrary* library = GetShaderBankInterface();
  CEngineShutdown& owner = CEngineShutdown::Instance();
  m_context->pPerVertexPass = owner.Own(NewOrFatal<CPerVertexPass>(
      kInitTitle, "Can't Create PerVertex Pass Interface", renderer, library, m_context->pLog));
  m_context->pPerPixelPass = owner.Own(NewOrFatal<CPerPixelPass>(
      kInitTitle, "Can't Create PerPixel Pass Interface", renderer, library, m_context->pLog));
}

void CEngineStartup::CreateParticleFactory() {
  m_context->pParticleFactory = NewOrFatal<CParticleEmiterFactory>(
      kInitTitle, "Can't Create Particle Emiter Storage Interface", m_context, m_context->pLog);
}

void CEngineStartup::StartInput() {
  constexpr char kNoInput[] = "Can't Create InputControllers Interface";
  const ZeKorbConfig* config = m_context->pConfig;
  m_context->pInputTimer = NewOrFatal<CTimer>(kInitTitle, kNoInput);
  const InputControllersSettings settings = {m_context->pLog,
                                             m_context->pInputTimer,
                                             m_context->hModule,
                                             m_context->hWnd,
                                             config->dwInputCooperativeFlags,
                                             config->dwInputPollInterval};
  CInputControllers* input = NewOrFatal<CInputControllers>(kInitTitle, kNoInput, settings);
  if (!input->Init()) {
    delete input;
    FatalErrorWithTitle(kInitTitle, "%s", kNoInput);
  }
  m_context->pInputControllers = input;
  m_context->ports.guiKeys.Set(input);
  CEngineWindow::GetWindowProcedure()->SetInputControllers(input);
  // Key presses reach the GUI through the input thread while there is a GUI and a console.
  CGuiInput* gui = m_context->pGui ? m_context->pGui->GetInput() : nullptr;
  if (gui && m_context->pConsole) input->SetGuiTarget(gui, m_context->pConsole);
}

// Every texture made so far (the flare among them) is filled here.
void CEngineStartup::LoadAllTextures() {
  if (m_context->pRenderer) m_context->pRenderer->GetTextureStorageInterface()->LoadAllTextures();
}

// The default scripts become sections of the console's module, compiled together the first time
// a console line or a null's script runs, so both can call their functions. A script that
// cannot be added ends the loading; start-up goes on without the rest.
void CEngineStartup::LoadDefaultScripts() {
  LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "- Loading Default Scripts...\n");
  const std::string folder = m_context->GetApplicationFolder();
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "scripts\\*.zkc").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "- There's No Shaders To Load\n");
    return;
  }
  do {
    const std::string path = folder + "scripts\\" + found.cFileName;
    if (!m_context->pScriptStorage->CreateScript("ZeKorbConsole", nullptr, path.c_str(), nullptr)) {
      m_context->pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                           "  - Can't Create Script: %s\n", path.c_str());
      FindClose(search);
      return;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "  - DONE\n");
}

// Shaders are loaded with the scenes that use them; nothing is loaded by default.
void CEngineStartup::LoadDefaultShaders() {
  LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "- Loading Default Shaders...\n");
  LogTo(m_context->pLog, kSource, CEngineLog::kLevelInfo, "  - DONE\n");
}

UINT CEngineStartup::ChangeConfiguration(const ZeKorbConfig* config) {
  if (!m_context->pConfig) return 0;
  *m_context->pConfig = *config;
  return CEngineDevice::Instance().ChangeConfiguration(m_context);
}
