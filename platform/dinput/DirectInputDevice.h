#pragma once
// One DirectInput device: the system keyboard, the system mouse or a joystick, read from the
// snapshots of the message pump. Any thread may use it; one lock guards its state.
#include <SDL2/SDL_joystick.h>

#include <atomic>
#include <mutex>

#include "InputState.h"
#include "dinput.h"

class DirectInputDevice : public IDirectInputDevice8A {
 public:
  enum class Kind { Keyboard, Mouse, Joystick };

  // A joystick device must have opened its joystick (InputState::OpenJoystick) first; the
  // device closes it when released.
  DirectInputDevice(Kind kind, SDL_JoystickID joystick);

  static GUID JoystickInstanceGuid(SDL_JoystickID id);
  static bool JoystickFromGuid(REFGUID guid, SDL_JoystickID& id);

  HRESULT QueryInterface(REFIID riid, void** ppvObj) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT SetProperty(REFGUID rguidProp, LPCDIPROPHEADER pdiph) override;
  HRESULT Acquire() override;
  HRESULT Unacquire() override;
  HRESULT GetDeviceState(DWORD cbData, LPVOID lpvData) override;
  HRESULT SetDataFormat(LPCDIDATAFORMAT lpdf) override;
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD dwFlags) override;
  HRESULT EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA lpCallback, LPVOID pvRef,
                      DWORD dwFlags) override;
  HRESULT Poll() override;

 protected:
  ~DirectInputDevice() override;

 private:
  struct Range {
    LONG min = 0;
    LONG max = 65535;
  };

  const DIDATAFORMAT& OwnFormat() const;
  // DI_OK while the device may read; drops the acquisition when its window lost the
  // foreground. Called with the lock held.
  HRESULT CheckReadableLocked();
  bool IsForegroundLocked() const;
  void ReadKeyboard(BYTE* keys);
  void ReadMouse(DIMOUSESTATE2& state);
  void ReadJoystick(const JoystickSnapshot& snapshot, DIJOYSTATE2& state) const;
  HRESULT SetRange(const DIPROPRANGE& range);

  std::atomic<ULONG> m_references{1};
  const Kind m_kind;
  const SDL_JoystickID m_joystick;
  std::mutex m_lock;
  bool m_formatSet = false;
  bool m_acquired = false;
  DWORD m_cooperation = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  HWND m_window = nullptr;
  bool m_relativeAxes;
  MouseTotals m_mouseAtLastRead;
  MouseTotals m_mouseAtCreation;
  Range m_ranges[JoystickSnapshot::kMaxAxes];
};
