#include "input/Mouse.h"

#include <cstring>
#include <mutex>

#include "core/EngineLog.h"
#include "input/InputControllers.h"

namespace {

constexpr const char* kSource = "InputMouse";

const LPCSTR kStandardCursors[CMouse::kCursorCount] = {
    IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE,    IDC_SIZENESW,
    IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO,    IDC_HAND,    IDC_APPSTARTING, IDC_HELP};

}  // namespace

CMouse::CMouse(CInputControllers* manager, const DIDEVICEINSTANCEA& instance)
    : CInputDevice(manager, instance, kSource) {}

bool CMouse::Init() {
  for (UINT i = 0; i < kCursorCount; ++i)
    m_hCursors[i] = LoadCursorA(m_pManager->GetInstance(), kStandardCursors[i]);
  const float now = m_pManager->GetTime();
  for (float& time : m_fChangeTimes) time = now;
  m_dwInside = 1;
  SelectCursor(0);

  IDirectInput8A* directInput = m_pManager->GetDirectInput();
  if (directInput == nullptr ||
      FAILED(directInput->CreateDevice(m_guidInstance, &m_pDevice, nullptr))) {
    m_pDevice = nullptr;
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Create DI Interface For: %s\n");
    return false;
  }
  if (FAILED(m_pDevice->SetDataFormat(&c_dfDIMouse2))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Set Mouse Data Format For: %s\n");
    return false;
  }
  if (FAILED(m_pDevice->SetCooperativeLevel(m_pManager->GetWindow(),
                                            m_pManager->GetCooperativeLevel()))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Set Cooperative Level For: %s\n");
    return false;
  }
  DIPROPDWORD axisMode = {};
  axisMode.diph.dwSize = sizeof axisMode;
  axisMode.diph.dwHeaderSize = sizeof axisMode.diph;
  axisMode.diph.dwHow = DIPH_DEVICE;
  axisMode.dwData = DIPROPAXISMODE_REL;
  if (FAILED(m_pDevice->SetProperty(DIPROP_AXISMODE, &axisMode.diph))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Set Mouse Axis Property For: %s\n");
    return false;
  }
  m_pDevice->Unacquire();
  if (FAILED(m_pDevice->Acquire())) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Acquire Device: %s\n");
    return true;
  }
  if (FAILED(m_pDevice->Poll())) Log(CEngineLog::kLevelError, "ERROR!!! - Cant Poll Device: %s\n");
  DIMOUSESTATE2 state = {};
  if (FAILED(m_pDevice->GetDeviceState(sizeof state, &state))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Acquire Device: %s\n");
    return true;
  }
  m_lAccumulated[0] += state.lX;
  m_lAccumulated[1] += state.lY;
  m_lAccumulated[2] += state.lZ;
  std::memcpy(m_bButtons, state.rgbButtons, sizeof m_bButtons);
  const float readTime = m_pManager->GetTime();
  for (float& time : m_fChangeTimes) time = readTime;
  return true;
}

HRESULT CMouse::ReadState(DIMOUSESTATE2& state) {
  m_pDevice->Poll();
  state = {};
  HRESULT result = m_pDevice->GetDeviceState(sizeof state, &state);
  if (SUCCEEDED(result) || !m_dwInside) return result;
  m_pDevice->Unacquire();
  result = m_pDevice->Acquire();
  if (FAILED(result)) return result;
  Log(CEngineLog::kLevelInfo, "- %s ReAcquired\n");
  result = m_pDevice->Poll();
  if (FAILED(result)) return result;
  state = {};
  return m_pDevice->GetDeviceState(sizeof state, &state);
}

HRESULT CMouse::Poll() {
  if (m_pDevice == nullptr) return DIERR_NOTINITIALIZED;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  DIMOUSESTATE2 state;
  HRESULT result = ReadState(state);
  if (m_dwInside) {
    if (FAILED(result)) return result;
    const float now = m_pManager->GetTime();
    ReportAxes(state, now);
    ReportButtons(state, now);
  }
  if (m_dwCentreLock == 1 && m_dwCentringSuspended == 0) KeepCursorAtCentre();
  return result;
}

void CMouse::ReportAxes(const DIMOUSESTATE2& state, float now) {
  const LONG moved[kAxisCount] = {state.lX, state.lY, state.lZ};
  for (UINT axis = 0; axis < kAxisCount; ++axis) {
    if (moved[axis] == 0) continue;
    // The first movement after a reset only accumulates; reports start with the next one.
    if (m_lAccumulated[axis] != 0) {
      m_dwMoved[axis] = 1;
      m_fChangeTimes[axis] = now;
      if (m_fpCallback) {
        const float value = static_cast<float>(m_lAccumulated[axis]) * m_fSensitivity;
        m_actionMap.ForEachOnObject(OBJECT_X_AXIS + axis,
                                    [&](UINT action) { m_fpCallback(action, value, 1); });
      }
    }
    m_lAccumulated[axis] += moved[axis];
  }
}

void CMouse::ReportButtons(const DIMOUSESTATE2& state, float now) {
  for (UINT button = 0; button < kButtonCount; ++button) {
    if (((state.rgbButtons[button] ^ m_bButtons[button]) & 0x80) == 0) continue;
    m_bButtons[button] = state.rgbButtons[button];
    m_fChangeTimes[kAxisCount + button] = now;
    if (m_fpCallback) {
      const UINT pressed = (m_bButtons[button] & 0x80) ? 1 : 0;
      m_actionMap.ForEachOnObject(OBJECT_BUTTON_0 + button,
                                  [&](UINT action) { m_fpCallback(action, 0.0f, pressed); });
    }
  }
}

void CMouse::KeepCursorAtCentre() {
  RECT client;
  if (!GetClientRect(m_pManager->GetWindow(), &client)) return;
  POINT centre = {client.left + ((client.right - client.left) >> 1),
                  client.top + ((client.bottom - client.top) >> 1)};
  if (!ClientToScreen(m_pManager->GetWindow(), &centre)) return;
  SetCursorPos(centre.x, centre.y);
}

void CMouse::SetCallback(MouseActionCallback callback) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_fpCallback = callback;
}

UINT CMouse::SetActionMapper(const ActionPair* pairs, UINT count) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  if (m_actionMap.Set(pairs, count)) return 1;
  if (CEngineLog* log = m_pManager->GetLog())
    log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR!!! - Cant Set ActionMapper\n");
  return 0;
}

void CMouse::ResetAction(UINT object) {
  if (object < OBJECT_X_AXIS || object > OBJECT_WHEEL) return;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_lAccumulated[object - OBJECT_X_AXIS] = 0;
  m_dwMoved[object - OBJECT_X_AXIS] = 0;
}

void CMouse::SetCentreLock(UINT lock) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_dwCentreLock = lock;
}

void CMouse::GetCursorPosition(float* x, float* y) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  if (x) *x = m_fCursorX;
  if (y) *y = m_fCursorY;
}

MouseAction* CMouse::GetAction(UINT action, MouseAction* out) {
  if (out == nullptr) return nullptr;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  out->dwAction = action;
  const ActionPair* pair = m_actionMap.FindAction(action);
  // Objects outside 256 to 266 come from a bad map and read as an unknown action.
  if (pair == nullptr || pair->dwObject < OBJECT_X_AXIS || pair->dwObject > OBJECT_LAST_BUTTON) {
    out->dwState = 0;
    out->fTime = 0.0f;
    return out;
  }
  out->fCursorX = m_fCursorX;
  out->fCursorY = m_fCursorY;
  const UINT object = pair->dwObject - OBJECT_X_AXIS;
  if (object >= kAxisCount) {
    out->dwState = (m_bButtons[object - kAxisCount] & 0x80) ? 1 : 0;
  } else {
    out->dwState = m_dwMoved[object];
    out->fValue = static_cast<float>(m_lAccumulated[object]) * m_fSensitivity;
  }
  out->fTime = m_pManager->GetTime() - m_fChangeTimes[object];
  return out;
}

void CMouse::SetSensitivity(float sensitivity) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_fSensitivity = sensitivity;
}

float CMouse::GetSensitivity() {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  return m_fSensitivity;
}

void CMouse::ShowCursor(UINT show) {
  if (show == m_dwCursorShown) return;
  m_dwCursorShown = show;
  ::ShowCursor(show ? TRUE : FALSE);
}

UINT CMouse::GetCursorShown() { return m_dwCursorShown; }

void CMouse::SetCursor(UINT index, HCURSOR cursor) {
  if (index < kCursorCount) m_hCursors[index] = cursor;
}

void CMouse::SelectCursor(UINT index) {
  if (index >= kCursorCount || index == m_dwCurrentCursor) return;
  ::SetCursor(m_hCursors[index]);
  m_dwCurrentCursor = index;
}

void CMouse::ReapplyCursor() {
  if (m_dwCurrentCursor < kCursorCount) ::SetCursor(m_hCursors[m_dwCurrentCursor]);
}

void CMouse::SetCentringSuspended(UINT suspended) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_dwCentringSuspended = suspended;
}

void CMouse::UpdateCursorPosition(LPARAM packed) {
  // Mouse messages carry client coordinates, so the fractions are taken over the client area.
  RECT client;
  if (!GetClientRect(m_pManager->GetWindow(), &client)) return;
  LONG x = static_cast<SHORT>(LOWORD(packed));
  LONG y = static_cast<SHORT>(HIWORD(packed));
  const bool inside =
      x >= client.left && x <= client.right && y >= client.top && y <= client.bottom;
  x = x < client.left ? client.left : (x > client.right ? client.right : x);
  y = y < client.top ? client.top : (y > client.bottom ? client.bottom : y);

  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  if (inside != (m_dwInside != 0)) {
    m_dwInside = inside ? 1 : 0;
    // Leaving stops the reads; the next poll inside re-acquires.
    if (!inside && m_pDevice) m_pDevice->Unacquire();
  }
  const LONG width = client.right - client.left;
  const LONG height = client.bottom - client.top;
  m_fCursorX = width > 0 ? static_cast<float>(static_cast<double>(x - client.left) / width) : 0.0f;
  m_fCursorY = height > 0 ? static_cast<float>(static_cast<double>(y - client.top) / height) : 0.0f;
}
