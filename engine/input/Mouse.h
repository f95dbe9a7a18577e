#pragma once
// One DirectInput mouse. Each poll adds the relative movement of the two axes and the wheel to
// accumulators, reports movement and button changes to the game's callback through the action
// map, and may keep the system cursor at the window centre. The mouse also owns the window's
// cursor shapes and the cursor position inside the window as fractions.
#include <cstdint>

#include "input/ActionMap.h"
#include "input/InputDevice.h"
#include "dinput.h"
#include "windows.h"

class CInputControllers;


struct MouseAction {
  UINT dwAction;
  float fTime;  // input-clock seconds since the object last changed
  UINT dwState;  // 1 pressed or moved
  float fValue;  // accumulated axis value times the sensitivity; unset for buttons
  float fCursorX;
  float fCursorY;
};

class CMouse : public CInputDevice, public CMouseInterface {
 public:
  // Device object codes of the action map.
  enum : UINT {
    OBJECT_X_AXIS = 256,
    OBJECT_Y_AXIS = 257,
    OBJECT_WHEEL = 258,
    OBJECT_BUTTON_0 = 259,
    OBJECT_LAST_BUTTON = 266,
  };
  static constexpr UINT kAxisCount = 3;
  static constexpr UINT kButtonCount = 8;
  static constexpr UINT kCursorCount = 14;
  static constexpr UINT kNoCursor = 255;

  CMouse(CInputControllers* manager, const DIDEVICEINSTANCEA& instance);
  CMouse(const CMouse&) = delete;
  CMouse& operator=(const CMouse&) = delete;

  UINT GetDeviceType() override { return DEVICE_MOUSE; }
  HRESULT Poll() override;
  void SetCallback(MouseActionCallback callback) override;
  // Replaces the action map; 0 when memory ran out and the map is empty.
  UINT SetActionMapper(const ActionPair* pairs, UINT count) override;
  // Clears the accumulator and moved flag of an axis (256 to 258); other codes change nothing.
  virtual void ResetAction(UINT object);
  virtual UINT Reserved() { return 0; }
  void SetCentreLock(UINT lock) override;
  virtual void GetCursorPosition(float* x, float* y);
  // Fills `out` for the first pair of `action` and returns it (null for a null record).
  virtual MouseAction* GetAction(UINT action, MouseAction* out);
  void SetSensitivity(float sensitivity) override;
  virtual float GetSensitivity();
  void ShowCursor(UINT show) override;
  virtual UINT GetCursorShown();
  virtual void SetCursor(UINT index, HCURSOR cursor);
  virtual void SelectCursor(UINT index);

  // Loads the standard cursors, creates and acquires the device. False when the device cannot
  // be made or set up; a device that only failed to acquire stays.
  bool Init();
  // The cursor position of a mouse message: client x in the low 16 bits, y in the high 16 bits.
  void UpdateCursorPosition(LPARAM packed);
  void ReapplyCursor();
  void SetCentringSuspended(UINT suspended);

  UINT IsInside() const { return m_dwInside; }
  int32_t GetAccumulated(UINT axis) const { return axis < kAxisCount ? m_lAccumulated[axis] : 0; }

 private:
  // Reads the device; on a lost device re-acquires it once and reads again.
  HRESULT ReadState(DIMOUSESTATE2& state);
  void ReportAxes(const DIMOUSESTATE2& state, float now);
  void ReportButtons(const DIMOUSESTATE2& state, float now);
  void KeepCursorAtCentre();

  MouseActionCallback m_fpCallback = nullptr;
  CActionMap m_actionMap;
  float m_fChangeTimes[kAxisCount + kButtonCount] = {};
  HCURSOR m_hCursors[kCursorCount] = {};
  int32_t m_lAccumulated[kAxisCount] = {};
  float m_fCursorX = 0.0f;
  float m_fCursorY = 0.0f;
  float m_fSensitivity = 1.0f;
  BYTE m_bButtons[kButtonCount] = {};
  UINT m_dwCursorShown = 1;
  UINT m_dwCurrentCursor = kNoCursor;
  UINT m_dwMoved[kAxisCount] = {};
  UINT m_dwCentreLock = 0;
  UINT m_dwInside = 0;
  UINT m_dwCentringSuspended = 0;
};
