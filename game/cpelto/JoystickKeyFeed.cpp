#include "cpelto/JoystickKeyFeed.h"

#include "cpelto/GameInputs.h"
#include "cpelto/JoystickButtonMap.h"
#include "framework/InputState.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

void SetIncoming(DWORD dwKey, DWORD dwValue) {
  if (dwKey < static_cast<DWORD>(kKeyTableSize)) g_dwIncomingKeys[dwKey].store(dwValue, kRelaxed);
}

}  // namespace

void JoystickKeyFeed::Feed(const CGameInputs* pInputs, const KeyBindings& bindings,
                           const JoystickButtonMap& buttonMap) {
  const LONG lX = pInputs ? pInputs->GetX() : 0;
  const LONG lY = pInputs ? pInputs->GetY() : 0;
  if (lX != m_lPreviousX) {
    FeedAxis(lX, bindings.rotate_left, kStickLeft, bindings.rotate_right, kStickRight);
    m_lPreviousX = lX;
  }
  if (lY != m_lPreviousY) {
    FeedAxis(lY, bindings.move_forward, kStickUp, bindings.move_back, kStickDown);
    m_lPreviousY = lY;
  }
  DWORD adwButtons[JoystickButtonMap::kButtons];
  for (int i = 0; i < JoystickButtonMap::kButtons; ++i) {
    adwButtons[i] = pInputs && pInputs->IsButtonDown(i) ? 1 : 0;
    if (adwButtons[i] != m_adwPreviousButtons[i]) SetIncoming(kFirstButton + i, adwButtons[i]);
  }
  for (int i = 0; i < JoystickButtonMap::kButtons; ++i) {
    const DWORD dwKey = buttonMap.Get(i);
    if (dwKey == JoystickButtonMap::kUnmapped) continue;
    const DWORD dwOwn = g_dwIncomingKeys[kFirstButton + i].load(kRelaxed);
    if (dwOwn != m_adwPreviousButtons[i]) SetIncoming(dwKey, dwOwn);
  }
  for (int i = 0; i < JoystickButtonMap::kButtons; ++i) m_adwPreviousButtons[i] = adwButtons[i];
}

void JoystickKeyFeed::FeedAxis(LONG lValue, DWORD dwNegativeKey, DWORD dwNegativeCode,
                               DWORD dwPositiveKey, DWORD dwPositiveCode) {
  const DWORD dwNegative = lValue == -CGameInputs::kAxisRange ? 1 : 0;
  const DWORD dwPositive = lValue == CGameInputs::kAxisRange ? 1 : 0;
  // Releases first, so one key bound to both directions ends pressed at either deflection.
  const bool bNegativeFirst = dwNegative == 0;
  for (int nPass = 0; nPass < 2; ++nPass) {
    if ((nPass == 0) == bNegativeFirst) {
      SetIncoming(dwNegativeKey, dwNegative);
      SetIncoming(dwNegativeCode, dwNegative);
    } else {
      SetIncoming(dwPositiveKey, dwPositive);
      SetIncoming(dwPositiveCode, dwPositive);
    }
  }
}
