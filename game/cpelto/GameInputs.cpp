#include "cpelto/GameInputs.h"

#include <windows.h>

#include <cstring>

#include "framework/Logger.h"

const char* CGameInputs::GetClassName() const { return "CGameInputs"; }

bool CGameInputs::IsKindOf(const char* szName) const {
  return szName && strcmp(szName, "CGameInputs") == 0;
}

CGameInputs::~CGameInputs() {
  if (m_pJoystick) {
    m_pJoystick->Unacquire();
    m_pJoystick->Release();
  }
  if (m_pDirectInput) m_pDirectInput->Release();
  g_GameLogger.Log("-DInput Unacquired\n");
}

int CGameInputs::Init(HWND hWnd, DWORD dwDeviceMask) {
  g_GameLogger.Log("-DInput Initializing...\n");
  m_hWnd = hWnd;
  if (FAILED(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                reinterpret_cast<void**>(&m_pDirectInput), nullptr))) {
    m_pDirectInput = nullptr;
    g_GameLogger.Log(" - ERROR: failed to create DInput device\n");
    return 0;
  }
  const int nResult = dwDeviceMask == kDeviceJoystick ? SetUpJoystick() : 1;
  m_dwButtons = 0;
  m_lX = m_lY = m_lZ = 0;
  g_GameLogger.Log("-Done.\n");
  return nResult;
}

int CGameInputs::Reserved() { return 1; }

int CGameInputs::SetUpJoystick() {
  if (FAILED(m_pDirectInput->EnumDevices(DI8DEVCLASS_GAMECTRL, &CreateFirstJoystick, this,
                                         DIEDFL_ATTACHEDONLY)))
    return JoystickFailure(" - ERROR: failed to enumerate joystick device\n");
  if (!m_pJoystick) return JoystickFailure(" - Joystick not found\n");
  if (FAILED(m_pJoystick->SetDataFormat(&c_dfDIJoystick2)))
    return JoystickFailure(" - ERROR: failed during setting data format for joystick device\n");
  if (FAILED(m_pJoystick->SetCooperativeLevel(m_hWnd, DISCL_EXCLUSIVE | DISCL_FOREGROUND)))
    return JoystickFailure(
        " - ERROR: failed during setting cooperative level for joystick device\n");
  if (FAILED(m_pJoystick->EnumObjects(&SetAxisRange, m_pJoystick, DIDFT_ALL)))
    return JoystickFailure(" - ERROR: failed to enumerate joystick objects\n");
  return 1;
}

int CGameInputs::JoystickFailure(const char* szLine) {
  g_GameLogger.Log("%s", szLine);
  if (m_pJoystick) m_pJoystick->Release();
  m_pJoystick = nullptr;
  return 0;
}

BOOL CALLBACK CGameInputs::CreateFirstJoystick(LPCDIDEVICEINSTANCEA pInstance, LPVOID pContext) {
  auto* pInputs = static_cast<CGameInputs*>(pContext);
  if (FAILED(pInputs->m_pDirectInput->CreateDevice(pInstance->guidInstance, &pInputs->m_pJoystick,
                                                   nullptr))) {
    pInputs->m_pJoystick = nullptr;
    return DIENUM_CONTINUE;
  }
  return DIENUM_STOP;
}

BOOL CALLBACK CGameInputs::SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA pObject, LPVOID pContext) {
  if (!(DIDFT_GETTYPE(pObject->dwType) & DIDFT_AXIS)) return DIENUM_CONTINUE;
  DIPROPRANGE range = {};
  range.diph.dwSize = sizeof range;
  range.diph.dwHeaderSize = sizeof range.diph;
  range.diph.dwHow = DIPH_BYID;
  range.diph.dwObj = pObject->dwType;
  range.lMin = -kAxisRange;
  range.lMax = kAxisRange;
  auto* pJoystick = static_cast<IDirectInputDevice8*>(pContext);
  return FAILED(pJoystick->SetProperty(DIPROP_RANGE, &range.diph)) ? DIENUM_STOP : DIENUM_CONTINUE;
}

int CGameInputs::GetState(DWORD dwDeviceMask, DWORD dwWhat, LONG* pValue) {
  if (!(dwDeviceMask & kDeviceJoystick) || !pValue) return 1;
  switch (dwWhat & 0xFFFF) {
    case kRequestX: *pValue = m_lX; break;
    case kRequestY: *pValue = m_lY; break;
    case kRequestZ: *pValue = m_lZ; break;
    case kRequestButton: *pValue = static_cast<LONG>((m_dwButtons >> ((dwWhat >> 16) & 0x1F)) & 1);
      break;
    default: break;
  }
  return 1;
}

void CGameInputs::Poll() {
  if (!m_pJoystick) return;
  if (FAILED(m_pJoystick->Poll())) {
    // The platform answers something else than "lost" while the window is not in front.
    while (m_pJoystick->Acquire() == DIERR_INPUTLOST) {
    }
    return;
  }
  DIJOYSTATE2 state;
  if (FAILED(m_pJoystick->GetDeviceState(sizeof state, &state))) return;
  m_lX = state.lX;
  m_lY = state.lY;
  m_lZ = state.lZ;
  m_dwButtons = 0;
  for (int nButton = 0; nButton < kButtons; ++nButton)
    if (state.rgbButtons[nButton] & 0x80) m_dwButtons |= 1u << nButton;
}
