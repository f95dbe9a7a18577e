#include "framework/InputState.h"

#include <windows.h>

#include <mutex>

#include "framework/EngineGlobals.h"
#include "framework/GameCore.h"

geKeyTable g_dwIncomingKeys;
geKeyTable g_dwCurrentKeys;
geKeyTable g_dwLastKeys;
std::atomic<BYTE> g_cLastChar{0};
std::atomic<DWORD> g_dwLastKey{0};
std::atomic<DWORD> g_dwMouseCallbacks{0};
std::atomic<DWORD> g_dwPreviousMouseCallbacks{0};

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr UINT kLeftButtonAction = 0x200;
constexpr UINT kRightButtonAction = 0x201;

// The buttons as the input thread last reported them. It reports changes from what it saw
// before, so when its callbacks take the buttons over from the frame's polling they start from
// these: a press only the polling saw would otherwise never be let go.
DWORD s_dwReportedLeft = 0;
DWORD s_dwReportedRight = 0;
// Keeps the frame's polling and the input thread from writing the buttons at once.
std::mutex s_buttonsLock;

bool CallbacksOwnButtons(const geCGameCore& core) {
  return (core.GetFlags() & geCGameCore::kFlagThreadedMouse) &&
         g_dwMouseCallbacks.load(kRelaxed) != 0;
}

}  // namespace

void geStorePolledButtons(geCGameCore& core, DWORD dwLeft, DWORD dwRight) {
  std::lock_guard<std::mutex> guard(s_buttonsLock);
  if (CallbacksOwnButtons(core)) return;
  geMouseStatus& status = *core.GetMouseStatus();
  status.dwLeft.store(dwLeft, kRelaxed);
  status.dwRight.store(dwRight, kRelaxed);
}

void geCopyKeyTable(geKeyTable& to, const geKeyTable& from) {
  for (int i = 0; i < kKeyTableSize; ++i) to[i].store(from[i].load(kRelaxed), kRelaxed);
}

void geClearKeyTable(geKeyTable& table) {
  for (auto& entry : table) entry.store(0, kRelaxed);
}

void geClearMouseStatus(geMouseStatus& status) {
  for (auto* word : {&status.dwMouseX, &status.dwMouseY, &status.dwLeft, &status.dwRight,
                     &status.dwMiddle, &status.dwLastLeft, &status.dwLastRight,
                     &status.dwLastMiddle})
    word->store(0, kRelaxed);
  status.fMouseX.store(0.0f, kRelaxed);
  status.fMouseY.store(0.0f, kRelaxed);
}

void geReadCursor(geMouseStatus& status, DWORD dwWidth, DWORD dwHeight) {
  POINT point = {0, 0};
  GetCursorPos(&point);
  status.dwMouseX.store(static_cast<DWORD>(point.x), kRelaxed);
  status.dwMouseY.store(static_cast<DWORD>(point.y), kRelaxed);
  status.fMouseX.store(dwWidth ? static_cast<float>(point.x) / dwWidth : 0.0f, kRelaxed);
  status.fMouseY.store(dwHeight ? static_cast<float>(point.y) / dwHeight : 0.0f, kRelaxed);
}

void OnMouseInput(UINT dwAction, float, UINT dwValue) {
  geCGameCore* pCore = g_pGameCore;
  if (!pCore || !g_pZeKorb) return;
  geMouseStatus& status = *pCore->GetMouseStatus();
  std::lock_guard<std::mutex> guard(s_buttonsLock);
  if (dwAction == kLeftButtonAction) s_dwReportedLeft = dwValue;
  if (dwAction == kRightButtonAction) s_dwReportedRight = dwValue;
  const DWORD dwCount = g_dwMouseCallbacks.load(kRelaxed);
  if (dwCount == 2 || (dwCount > 2 && !(pCore->GetFlags() & geCGameCore::kFlagThreadedMouse))) {
    pCore->GetLogger().Log("-Using Normal threaded mouse callbacks\n");
    pCore->SetFlag(geCGameCore::kFlagThreadedMouse, true);
    status.dwLeft.store(s_dwReportedLeft, kRelaxed);
    status.dwRight.store(s_dwReportedRight, kRelaxed);
  }
  g_dwPreviousMouseCallbacks.store(dwCount, kRelaxed);
  g_dwMouseCallbacks.store(dwCount + 1, kRelaxed);
  pCore->ReadCursor();
  if (dwAction == kLeftButtonAction) status.dwLeft.store(dwValue, kRelaxed);
  if (dwAction == kRightButtonAction) status.dwRight.store(dwValue, kRelaxed);
}

void OnKeyInput(UINT dwKey, UINT dwValue) {
  if (dwKey < 256) g_dwIncomingKeys[dwKey].store(dwValue, kRelaxed);
  g_dwLastKey.store(dwValue ? dwKey : 0, kRelaxed);
}

void OnCharInput(UINT dwCharacter) { g_cLastChar.store(static_cast<BYTE>(dwCharacter), kRelaxed); }
