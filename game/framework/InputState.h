#pragma once
// What the engine's input thread reports to the game: the three key tables, the last typed
// character and key, and the mouse status. The input thread writes them while the main thread
// reads them; each entry is a relaxed atomic, so a value is never torn and a write that lands
// during a frame's copy simply counts for the next frame.
#include <windef.h>

#include <atomic>

// Key codes: scan codes 0 to 255, then joystick directions and buttons.
constexpr int kKeyTableSize = 512;

using geKeyTable = std::atomic<DWORD>[kKeyTableSize];

// Written by the key callback (codes 0 to 255) and by the game's joystick polling.
extern geKeyTable g_dwIncomingKeys;
// This frame's state and the previous frame's; a key is pressed this frame when its current
// entry is non-zero and its last entry zero.
extern geKeyTable g_dwCurrentKeys;
extern geKeyTable g_dwLastKeys;

extern std::atomic<BYTE> g_cLastChar;
// 0 when the last key event was a release.
extern std::atomic<DWORD> g_dwLastKey;

// Mouse callbacks received, and the count before the last one.
extern std::atomic<DWORD> g_dwMouseCallbacks;
extern std::atomic<DWORD> g_dwPreviousMouseCallbacks;

struct geMouseStatus {
  // Screen pixels.
  std::atomic<DWORD> dwMouseX;
  std::atomic<DWORD> dwMouseY;
  // The pixel position divided by the screen size of the settings: 0 to 1 across the screen.
  std::atomic<float> fMouseX;
  std::atomic<float> fMouseY;
  // Non-zero while the button is down: this frame's values, then the previous frame's.
  std::atomic<DWORD> dwLeft;
  std::atomic<DWORD> dwRight;
  std::atomic<DWORD> dwMiddle;
  std::atomic<DWORD> dwLastLeft;
  std::atomic<DWORD> dwLastRight;
  std::atomic<DWORD> dwLastMiddle;
};
static_assert(sizeof(geMouseStatus) == 40);

// Copies one table into another, entry by entry.
void geCopyKeyTable(geKeyTable& to, const geKeyTable& from);
void geClearKeyTable(geKeyTable& table);
void geClearMouseStatus(geMouseStatus& status);
// Reads the cursor's screen position into the status, scaled by the screen size.
void geReadCursor(geMouseStatus& status, DWORD dwWidth, DWORD dwHeight);

class geCGameCore;
// The buttons the frame's polling read, stored unless the input thread's callbacks have taken
// the buttons over (they do from the third callback on).
void geStorePolledButtons(geCGameCore& core, DWORD dwLeft, DWORD dwRight);

// The callbacks handed to the engine's mouse and keyboard; they act on the registered core
// and do nothing while none is registered.
void OnMouseInput(UINT dwAction, float fIgnored, UINT dwValue);
void OnKeyInput(UINT dwKey, UINT dwValue);
void OnCharInput(UINT dwCharacter);
