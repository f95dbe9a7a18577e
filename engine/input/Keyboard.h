#pragma once
// One DirectInput keyboard. Each poll compares the 256 key bytes with the previous ones; every
// changed key is queued for the GUI library, timed, and reported to the game's key callback
// through the action map. Typed characters reach the game's character callback from the window
// procedure.
#include <cstdint>

#include "input/ActionMap.h"
#include "input/InputDevice.h"
#include "dinput.h"
#include "windows.h"

class CInputControllers;


struct KeyAction {
  UINT dwAction;
  float fTime;  // input-clock seconds since the key last changed
  UINT dwState;  // 1 pressed
};

class CKeyboard : public CInputDevice, public CKeyboardInterface {
 public:
  static constexpr UINT kKeyCount = 256;

  CKeyboard(CInputControllers* manager, const DIDEVICEINSTANCEA& instance);
  CKeyboard(const CKeyboard&) = delete;
  CKeyboard& operator=(const CKeyboard&) = delete;

  UINT GetDeviceType() override { return DEVICE_KEYBOARD; }
  HRESULT Poll() override;
  void SetCallback(KeyActionCallback callback) override;
  void SetCharCallback(KeyCharCallback callback) override;
  // Replaces the action map; 0 when memory ran out and the map is empty.
  UINT SetActionMapper(const ActionPair* pairs, UINT count) override;
  // 128 while the key is pressed, else 0; 0 for codes above 255 and while no map is set.
  virtual UINT IsKeyDown(UINT key);
  // Fills `out` for the first pair of `action` and returns it (null for a null record).
  virtual KeyAction* GetAction(UINT action, KeyAction* out);

  // Creates and acquires the device; false only when it cannot be made or given its format.
  bool Init();
  void OnCharacter(UINT character);

 private:
  HRESULT ReadKeys(BYTE* keys);

  KeyActionCallback m_fpCallback = nullptr;
  KeyCharCallback m_fpCharCallback = nullptr;
  BYTE m_bKeys[kKeyCount] = {};
  float m_fChangeTimes[kKeyCount] = {};
  CActionMap m_actionMap;
};
