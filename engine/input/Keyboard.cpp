#include "input/Keyboard.h"

#include <mutex>

#include "core/EngineLog.h"
#include "input/InputControllers.h"

namespace {

constexpr const char* kSource = "InputKeyboard";

// The window procedure drives the console with these; the GUI library never sees them.
bool KeptFromGui(UINT key) { return key == DIK_TAB || key == DIK_UP || key == DIK_DOWN; }

}  // namespace

CKeyboard::CKeyboard(CInputControllers* manager, const DIDEVICEINSTANCEA& instance)
    : CInputDevice(manager, instance, kSource) {}

bool CKeyboard::Init() {
  IDirectInput8A* directInput = m_pManager->GetDirectInput();
  if (directInput == nullptr ||
      FAILED(directInput->CreateDevice(m_guidInstance, &m_pDevice, nullptr))) {
    m_pDevice = nullptr;
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Create DI Interface For: %s\n");
    return false;
  }
  if (FAILED(m_pDevice->SetDataFormat(&c_dfDIKeyboard))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Set Keyboard Data Format For: %s\n");
    return false;
  }
  if (FAILED(m_pDevice->SetCooperativeLevel(m_pManager->GetWindow(),
                                            m_pManager->GetCooperativeLevel()))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Set Cooperative Level For: %s\n");
    return true;
  }
  m_pDevice->Unacquire();
  if (FAILED(m_pDevice->Acquire())) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Acquire Device: %s\n");
    return true;
  }
  if (FAILED(m_pDevice->Poll())) Log(CEngineLog::kLevelError, "ERROR!!! - Cant Poll Device: %s\n");
  if (FAILED(m_pDevice->GetDeviceState(sizeof m_bKeys, m_bKeys))) {
    Log(CEngineLog::kLevelError, "ERROR!!! - Cant Acquire Device: %s\n");
    return true;
  }
  Log(CEngineLog::kLevelInfo, "  - Device: %s Initialized And Acquired\n");
  const float now = m_pManager->GetTime();
  for (float& time : m_fChangeTimes) time = now;
  return true;
}

HRESULT CKeyboard::ReadKeys(BYTE* keys) {
  m_pDevice->Poll();
  HRESULT result = m_pDevice->GetDeviceState(kKeyCount, keys);
  if (SUCCEEDED(result)) return result;
  m_pDevice->Unacquire();
  result = m_pDevice->Acquire();
  if (FAILED(result)) return result;
  Log(CEngineLog::kLevelInfo, "- %s ReAcquired\n");
  result = m_pDevice->Poll();
  if (FAILED(result)) return result;
  return m_pDevice->GetDeviceState(kKeyCount, keys);
}

HRESULT CKeyboard::Poll() {
  if (m_pDevice == nullptr) return DIERR_NOTINITIALIZED;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  BYTE keys[kKeyCount] = {};
  const HRESULT result = ReadKeys(keys);
  if (FAILED(result)) return result;
  const bool guiTakesKeys = m_pManager->GuiTakesKeys();
  const float now = m_pManager->GetTime();
  for (UINT key = 0; key < kKeyCount; ++key) {
    if (((keys[key] ^ m_bKeys[key]) & 0x80) == 0) continue;
    const bool down = (keys[key] & 0x80) != 0;
    if (guiTakesKeys && !KeptFromGui(key)) m_pManager->QueueGuiKey(key, down);
    m_bKeys[key] = keys[key];
    m_fChangeTimes[key] = now;
    if (m_fpCallback)
      m_actionMap.ForEachOnObject(key, [&](UINT action) { m_fpCallback(action, down ? 1 : 0); });
  }
  return result;
}

void CKeyboard::SetCallback(KeyActionCallback callback) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_fpCallback = callback;
}

void CKeyboard::SetCharCallback(KeyCharCallback callback) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  m_fpCharCallback = callback;
}

UINT CKeyboard::SetActionMapper(const ActionPair* pairs, UINT count) {
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  if (m_actionMap.Set(pairs, count)) return 1;
  if (CEngineLog* log = m_pManager->GetLog())
    log->Log(kSource, __LINE__, CEngineLog::kLevelError, "ERROR!!! - Cant Set ActionMapper\n");
  return 0;
}

UINT CKeyboard::IsKeyDown(UINT key) {
  if (key >= kKeyCount) return 0;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  if (m_actionMap.IsEmpty()) return 0;
  return m_bKeys[key] & 0x80;
}

KeyAction* CKeyboard::GetAction(UINT action, KeyAction* out) {
  if (out == nullptr) return nullptr;
  std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
  out->dwAction = action;
  const ActionPair* pair = m_actionMap.FindAction(action);
  // A key code above 255 comes from a bad map and reads as an unknown action.
  if (pair == nullptr || pair->dwObject >= kKeyCount) {
    out->dwState = 0;
    out->fTime = 0.0f;
    return out;
  }
  out->dwState = (m_bKeys[pair->dwObject] & 0x80) ? 1 : 0;
  out->fTime = m_pManager->GetTime() - m_fChangeTimes[pair->dwObject];
  return out;
}

void CKeyboard::OnCharacter(UINT character) {
  KeyCharCallback callback;
  {
    std::lock_guard<std::recursive_mutex> guard(m_pManager->Lock());
    callback = m_fpCharCallback;
  }
  if (callback) callback(character);
}
