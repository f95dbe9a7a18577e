// MessageBoxA: a real box on a display; without one, or while a test captures, the box is
// written to standard error and answered at once with its default button.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "windows.h"
#include "zktest/ZkTestKernel.h"

namespace {

struct Button {
  int id;
  const char* label;
};

struct ButtonSet {
  int count;
  Button buttons[3];
};

std::mutex g_mutex;
bool g_capture = false;
int g_answer = 0;
std::vector<ZkTestMessageBox> g_boxes;

ButtonSet Buttons(UINT type) {
  switch (type & 0x0F) {
    case MB_OKCANCEL: return {2, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}};
    case MB_ABORTRETRYIGNORE:
      return {3, {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}}};
    case MB_YESNOCANCEL: return {3, {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}}};
    case MB_YESNO: return {2, {{IDYES, "Yes"}, {IDNO, "No"}}};
    case MB_RETRYCANCEL: return {2, {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}}};
    default: return {1, {{IDOK, "OK"}}};
  }
}

// MB_DEFBUTTON2 and 3 pick the second and third button; one the box lacks means the first.
int DefaultButtonIndex(UINT type, const ButtonSet& set) {
  const int index = static_cast<int>((type >> 8) & 0x0F);
  return index < set.count ? index : 0;
}

bool HasDisplay() {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (!std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy"))) return false;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// The box on screen; 0 when it could not be shown.
int ShowOnDisplay(const char* caption, const char* text, UINT type, const ButtonSet& set) {
  SDL_MessageBoxButtonData buttons[3];
  const int defaultIndex = DefaultButtonIndex(type, set);
  for (int i = 0; i < set.count; ++i) {
    buttons[i].flags = 0;
    if (i == defaultIndex) buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (set.buttons[i].id == IDCANCEL || set.buttons[i].id == IDNO || set.count == 1)
      buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    buttons[i].buttonid = set.buttons[i].id;
    buttons[i].text = set.buttons[i].label;
  }
  Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
  if ((type & 0xF0) == MB_ICONHAND) flags = SDL_MESSAGEBOX_ERROR;
  if ((type & 0xF0) == MB_ICONEXCLAMATION) flags = SDL_MESSAGEBOX_WARNING;
  const SDL_MessageBoxData box = {flags, nullptr, caption, text, set.count, buttons, nullptr};
  int chosen = 0;
  if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen <= 0) return 0;
  return chosen;
}

}  // namespace

int MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  const char* caption = lpCaption ? lpCaption : "Error";  // the original's title for a null one
  const char* text = lpText ? lpText : "";
  const ButtonSet set = Buttons(uType);
  int answer = set.buttons[DefaultButtonIndex(uType, set)].id;

  std::unique_lock<std::mutex> lock(g_mutex);
  if (g_capture) {
    if (g_answer) answer = g_answer;
    g_boxes.push_back(ZkTestMessageBox{caption, text, uType, answer});
  }
  const bool capturing = g_capture;
  lock.unlock();

  if (!capturing && HasDisplay())
    if (const int chosen = ShowOnDisplay(caption, text, uType, set)) return chosen;
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
  return answer;
}

void ZkTestMessageBoxCapture(bool capture) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_capture = capture;
  g_answer = 0;
  g_boxes.clear();
}

void ZkTestMessageBoxSetAnswer(int answer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_answer = answer;
}

std::vector<ZkTestMessageBox> ZkTestMessageBoxes() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_boxes;
}
