#include "input/InputControllers.h"

#include <chrono>
#include <system_error>

#include "input/ConsoleControl.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "input/GuiInput.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "dxerr9.h"

namespace {

constexpr const char* kSource = "InputControllers";

}  // namespace

CInputControllers::CInputControllers(const InputControllersSettings& settings)
    : m_pTimer(settings.pTimer),
      m_pLog(settings.pLog),
      m_hInstance(settings.hInstance),
      m_hWnd(settings.hWnd),
      m_dwCooperativeFlags(settings.dwCooperativeFlags),
      m_dwPollInterval(settings.dwPollInterval > kMaxPollInterval ? kFallbackPollInterval
                                                                  : settings.dwPollInterval) {
  if (m_pTimer) m_pTimer->Reset();
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- Initializing DInput\n");
}

CInputControllers::~CInputControllers() {
  if (m_thread.joinable()) StopThread();
  // Only the input thread itself gets here with its thread unjoined; it ends after this round.
  if (m_thread.joinable()) m_thread.detach();
  FreeDevices();
  if (m_pDirectInput) m_pDirectInput->Release();
}

UINT CInputControllers::Init() {
  HRESULT result = DirectInput8Create(m_hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                      reinterpret_cast<LPVOID*>(&m_pDirectInput), nullptr);
  if (FAILED(result)) {
    m_pDirectInput = nullptr;
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR!!! - Can't Creat DInput Inteface\n%s - %s\n", DXGetErrorString9A(result),
                  DXGetErrorDescription9A(result));
    return 0;
  }
  m_pDirectInput->EnumDevices(DI8DEVCLASS_KEYBOARD, EnumerateDevice, this, DIEDFL_ATTACHEDONLY);
  m_pDirectInput->EnumDevices(DI8DEVCLASS_POINTER, EnumerateDevice, this, DIEDFL_ATTACHEDONLY);
  if (m_pSystemKeyboard == nullptr && m_pSystemMouse == nullptr) return 1;
  return StartThread(m_dwPollInterval);
}

BOOL CALLBACK CInputControllers::EnumerateDevice(LPCDIDEVICEINSTANCEA instance, LPVOID manager) {
  if (instance == nullptr || manager == nullptr) return DIENUM_CONTINUE;
  return static_cast<CInputControllers*>(manager)->AddDevice(*instance);
}

namespace {
const char kNoDevice[] = "Cant Allocate Memory For Device";
}  // namespace

BOOL CInputControllers::AddDevice(const DIDEVICEINSTANCEA& instance) {
  if (m_dwNumberOfDevices >= kMaxDevices) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR!!! - Not Enough Entries For DInput Devices\n");
    return DIENUM_STOP;
  }
  CKeyboard* keyboard = nullptr;
  CMouse* mouse = nullptr;
  switch (GET_DIDEVICE_TYPE(instance.dwDevType)) {
    case DI8DEVTYPE_KEYBOARD:
      keyboard = NewOrFatal<CKeyboard>(kNoMemoryTitle, kNoDevice, this, instance);
      break;
    case DI8DEVTYPE_MOUSE: mouse = NewOrFatal<CMouse>(kNoMemoryTitle, kNoDevice, this, instance); break;
    default: return DIENUM_CONTINUE;
  }
  const bool initialised = keyboard ? keyboard->Init() : mouse->Init();
  if (!initialised) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR!!! - Cant Initialize Device\n");
    delete keyboard;
    delete mouse;
    return DIENUM_CONTINUE;
  }
  // Only the first system device is polled by the thread, should the enumeration report two.
  if (keyboard && instance.guidInstance == GUID_SysKeyboard && m_pSystemKeyboard == nullptr)
    m_pSystemKeyboard = keyboard;
  if (mouse && instance.guidInstance == GUID_SysMouse && m_pSystemMouse == nullptr)
    m_pSystemMouse = mouse;
  StoreDevice(keyboard ? static_cast<CInputDevice*>(keyboard) : mouse);
  return DIENUM_CONTINUE;
}

void CInputControllers::StoreDevice(CInputDevice* device) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  m_pDevices[m_dwNumberOfDevices++] = device;
}

void CInputControllers::PollAllDevices() {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  for (UINT i = 0; i < m_dwNumberOfDevices; ++i)
    if (m_pDevices[i]) m_pDevices[i]->Poll();
}

DWORD CInputControllers::GetCooperativeFlags() { return m_dwCooperativeFlags; }

DWORD CInputControllers::GetCooperativeLevel() const {
  DWORD level = (m_dwCooperativeFlags & 1) ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE;
  if (m_dwCooperativeFlags & 2) level |= DISCL_NOWINKEY;
  level |= (m_dwCooperativeFlags & 4) ? DISCL_BACKGROUND : DISCL_FOREGROUND;
  return level;
}

float CInputControllers::GetTime() const { return m_pTimer ? m_pTimer->GetTime() : 0.0f; }

void CInputControllers::StopThread() {
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- Stopping DInput Thread\n");
  {
    std::lock_guard<std::mutex> guard(m_wakeLock);
    m_running = false;
  }
  m_wake.notify_all();
  if (!m_thread.joinable() || m_thread.get_id() == std::this_thread::get_id()) return;
  m_thread.join();
}

UINT CInputControllers::StartThread(DWORD interval) {
  if (m_thread.joinable()) {
    // A second thread would poll the same devices; the running one stays.
    if (m_running) return 0;
    if (m_thread.get_id() == std::this_thread::get_id()) return 0;
    m_thread.join();
  }
  m_dwPollInterval = interval;
  m_running = true;
  try {
    m_thread = std::thread(&CInputControllers::ThreadMain, this);
  } catch (const std::system_error& error) {
    if (m_pLog)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "ERROR!!! Cant Create DInput Thread\n%s - %s\n", DXGetErrorString9A(E_FAIL),
                  error.what());
    m_running = false;
    return 0;
  }
  return 1;
}

CMouse* CInputControllers::GetMouse() { return m_pSystemMouse; }

CKeyboard* CInputControllers::GetKeyboard() { return m_pSystemKeyboard; }

UINT CInputControllers::Shutdown() {
  StopThread();
  if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id()) return 0;
  FreeDevices();
  return 1;
}

void CInputControllers::FreeDevices() {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  for (UINT i = 0; i < m_dwNumberOfDevices; ++i) {
    delete m_pDevices[i];
    m_pDevices[i] = nullptr;
  }
  m_dwNumberOfDevices = 0;
  m_pSystemKeyboard = nullptr;
  m_pSystemMouse = nullptr;
  m_guiKeys.clear();
}

bool CInputControllers::WindowTakesInput() const {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(m_hWnd, &placement)) return false;
  return placement.showCmd != SW_SHOWMINIMIZED && placement.showCmd != SW_SHOWNOACTIVATE;
}

void CInputControllers::ThreadMain() {
  while (m_running) {
    if (WindowTakesInput()) {
      std::lock_guard<std::recursive_mutex> guard(m_lock);
      if (m_pSystemKeyboard) m_pSystemKeyboard->Poll();
      if (m_pSystemMouse) m_pSystemMouse->Poll();
      ++m_threadPolls;
    }
    ++m_threadRounds;
    std::unique_lock<std::mutex> sleep(m_wakeLock);
    m_wake.wait_for(sleep, std::chrono::milliseconds(m_dwPollInterval),
                    [this] { return !m_running; });
  }
  if (m_pLog) m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- DInput Thread Exited\n");
}

void CInputControllers::SetGuiTarget(CGuiInput* gui, CConsoleControl* console) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  m_pGui = gui;
  m_pConsole = console;
  if (m_pGui == nullptr) m_guiKeys.clear();
}

bool CInputControllers::GuiTakesKeys() const {
  if (m_pGui == nullptr || m_pConsole == nullptr) return false;
  const CEngineContext* context = GetEngineContext();
  return context == nullptr || context->pConfig == nullptr || context->pConfig->dwLockConsole == 0;
}

void CInputControllers::QueueGuiKey(uint32_t key, bool down) {
  std::lock_guard<std::recursive_mutex> guard(m_lock);
  try {
    m_guiKeys.push_back({key, down});
  } catch (const std::bad_alloc&) {
    // A key the console misses is better than a poll that fails.
  }
}

void CInputControllers::InjectQueuedGuiKeys() {
  std::vector<GuiKey> keys;
  CGuiInput* gui;
  {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    keys.swap(m_guiKeys);
    gui = m_pGui;
  }
  if (gui == nullptr) return;
  for (const GuiKey& key : keys) {
    if (key.down)
      gui->InjectKeyDown(key.key);
    else
      gui->InjectKeyUp(key.key);
  }
}
