#pragma once
// The engine's DirectInput devices and the input thread that polls the system keyboard and mouse.
// The thread polls under the manager's lock and runs the game's action callbacks there; the
// devices' operations that the main thread calls take the same lock, and key events meant for the
// GUI library wait in a queue until the main thread injects them.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "core/GuiKeyQueue.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "dinput.h"
#include "windows.h"

class CConsoleControl;
class CEngineLog;
class CGuiInput;
class CInputDevice;
class CTimerInterface;

// What the engine's Init hands the manager.
struct InputControllersSettings {
  CEngineLog* pLog;
  CTimerInterface* pTimer;
  HINSTANCE hInstance;
  HWND hWnd;
  DWORD dwCooperativeFlags;  // bit 0 exclusive, bit 1 no Windows key, bit 2 background
  DWORD dwPollInterval;      // milliseconds; over 1000 means 50
};

class CInputControllers : public CGuiKeyQueue, public CInputControllersInterface {
 public:
  static constexpr UINT kMaxDevices = 16;
  static constexpr DWORD kMaxPollInterval = 1000;
  static constexpr DWORD kFallbackPollInterval = 50;

  explicit CInputControllers(const InputControllersSettings& settings);
  CInputControllers(const CInputControllers&) = delete;
  CInputControllers& operator=(const CInputControllers&) = delete;

  // Polls every device of the table in table order (the second mouse too).
  virtual void PollAllDevices();
  virtual DWORD GetCooperativeFlags();
  // Stops the thread and waits for it; it finishes the poll it is in, never sleeps on.
  virtual void StopThread();
  // Starts the thread with `interval` milliseconds between polls, taken as given. 0 while a
  // thread already runs or when it cannot be started.
  virtual UINT StartThread(DWORD interval);
  CMouse* GetMouse() override;
  CKeyboard* GetKeyboard() override;
  // Stops and joins the thread before the devices go. After the operations, so that it takes
  // no slot before them.
  virtual ~CInputControllers();

  // Creates DirectInput, enumerates keyboards and mice and starts the thread when a system
  // keyboard or mouse exists. 0 when DirectInput or the thread cannot be made.
  UINT Init();
  // One device reported by the enumeration; DIENUM_CONTINUE or DIENUM_STOP.
  BOOL AddDevice(const DIDEVICEINSTANCEA& instance);
  // Stops and joins the thread, then frees the devices. 0 when called from the input thread
  // itself, which cannot wait for itself; the destructor finishes the work then.
  UINT Shutdown();

  // --- for the devices ---
  IDirectInput8A* GetDirectInput() const { return m_pDirectInput; }
  CEngineLog* GetLog() const { return m_pLog; }
  HWND GetWindow() const { return m_hWnd; }
  HINSTANCE GetInstance() const { return m_hInstance; }
  // The DirectInput cooperative level made from the cooperative flags.
  DWORD GetCooperativeLevel() const;
  // The input clock's time in seconds.
  float GetTime() const;
  // Held by the thread around each poll; recursive, so a callback may query its device.
  std::recursive_mutex& Lock() { return m_lock; }

  // --- the GUI library's keys ---
  void SetGuiTarget(CGuiInput* gui, CConsoleControl* console);
  // Whether key changes go to the GUI library: a console exists and it is not locked.
  bool GuiTakesKeys() const;
  // Called by a keyboard poll, with the lock held.
  void QueueGuiKey(uint32_t key, bool down);
  // Hands the queued key events to the GUI library; main thread only.
  void InjectQueuedGuiKeys() override;

  DWORD GetPollInterval() const { return m_dwPollInterval; }
  UINT GetNumberOfDevices() const { return m_dwNumberOfDevices; }
  bool IsThreadRunning() const { return m_thread.joinable(); }
  // Rounds of the thread so far, polled or skipped; lets a caller wait for the thread to wake.
  uint64_t GetThreadRounds() const { return m_threadRounds.load(); }
  uint64_t GetThreadPolls() const { return m_threadPolls.load(); }

 private:
  struct GuiKey {
    uint32_t key;
    bool down;
  };

  static BOOL CALLBACK EnumerateDevice(LPCDIDEVICEINSTANCEA instance, LPVOID manager);
  void ThreadMain();
  bool WindowTakesInput() const;
  void StoreDevice(CInputDevice* device);
  void FreeDevices();

  IDirectInput8A* m_pDirectInput = nullptr;
  CTimerInterface* m_pTimer;
  CInputDevice* m_pDevices[kMaxDevices] = {};
  CEngineLog* m_pLog;
  CKeyboard* m_pSystemKeyboard = nullptr;
  CMouse* m_pSystemMouse = nullptr;
  std::thread m_thread;
  std::recursive_mutex m_lock;
  HINSTANCE m_hInstance;
  HWND m_hWnd;
  UINT m_dwNumberOfDevices = 0;
  DWORD m_dwCooperativeFlags;
  DWORD m_dwPollInterval;

  std::atomic<bool> m_running{true};
  std::mutex m_wakeLock;  // guards the sleep, so a stop wakes the thread at once
  std::condition_variable m_wake;
  std::atomic<uint64_t> m_threadRounds{0};
  std::atomic<uint64_t> m_threadPolls{0};

  CGuiInput* m_pGui = nullptr;
  CConsoleControl* m_pConsole = nullptr;
  std::vector<GuiKey> m_guiKeys;  // under m_lock
};
