#pragma once
// The game's own input devices: DirectInput 8 with the first attached game controller, read once
// a frame. One instance, made by the game core's start-up.
#include <dinput.h>
#include <windef.h>

#include "framework/Singleton.h"

class CGameInputs : public geTSingleton<CGameInputs> {
 public:
  // The device mask that sets up the joystick.
  static constexpr DWORD kDeviceJoystick = 4;
  // Request words of GetState: the low 16 bits choose, bits 16 to 20 number a button.
  static constexpr DWORD kRequestX = 1;
  static constexpr DWORD kRequestY = 2;
  static constexpr DWORD kRequestZ = 4;
  static constexpr DWORD kRequestButton = 8;
  static constexpr int kButtons = 16;
  // Every axis reads from -kAxisRange to kAxisRange.
  static constexpr LONG kAxisRange = 1000;

  static constexpr DWORD ButtonRequest(DWORD dwButton) { return kRequestButton | (dwButton << 16); }

  CGameInputs() = default;

  virtual const char* GetClassName() const;
  virtual bool IsKindOf(const char* szName) const;
  virtual ~CGameInputs();
  // 1 on success, 0 when DirectInput or the joystick could not be set up (each failure is
  // logged; the game runs on without a joystick).
  virtual int Init(HWND hWnd, DWORD dwDeviceMask);
  virtual int Reserved();
  // Always 1; `*pValue` is written only for a request the joystick answers.
  virtual int GetState(DWORD dwDeviceMask, DWORD dwWhat, LONG* pValue);
  // Reads the joystick, or acquires it again when it was lost.
  virtual void Poll();

  bool HasJoystick() const { return m_pJoystick != nullptr; }
  HWND GetWindow() const { return m_hWnd; }
  LONG GetX() const { return m_lX; }
  LONG GetY() const { return m_lY; }
  bool IsButtonDown(int nButton) const {
    return nButton >= 0 && nButton < kButtons && ((m_dwButtons >> nButton) & 1) != 0;
  }

 private:
  int SetUpJoystick();
  // A device that failed its set-up is dropped, so polling leaves it alone.
  int JoystickFailure(const char* szLine);
  static BOOL CALLBACK CreateFirstJoystick(LPCDIDEVICEINSTANCEA pInstance, LPVOID pContext);
  static BOOL CALLBACK SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA pObject, LPVOID pContext);

  IDirectInput8* m_pDirectInput = nullptr;
  IDirectInputDevice8* m_pJoystick = nullptr;
  DWORD m_dwAxisFlags = 0;
  HWND m_hWnd = nullptr;
  DWORD m_dwButtons = 0;
  LONG m_lX = 0;
  LONG m_lY = 0;
  LONG m_lZ = 0;
};
