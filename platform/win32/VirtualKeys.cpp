#include "VirtualKeys.h"

#include <array>

#include "winuser.h"

namespace {

struct KeyRow {
  SDL_Scancode scancode;
  KeyCodes codes;
};

// Standard 101/102-key PC layout. DirectInput codes are the documented DIK_ values.
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_A, {'A', 0, 0x1E}},
    {SDL_SCANCODE_B, {'B', 0, 0x30}},
    {SDL_SCANCODE_C, {'C', 0, 0x2E}},
    {SDL_SCANCODE_D, {'D', 0, 0x20}},
    {SDL_SCANCODE_E, {'E', 0, 0x12}},
    {SDL_SCANCODE_F, {'F', 0, 0x21}},
    {SDL_SCANCODE_G, {'G', 0, 0x22}},
    {SDL_SCANCODE_H, {'H', 0, 0x23}},
    {SDL_SCANCODE_I, {'I', 0, 0x17}},
    {SDL_SCANCODE_J, {'J', 0, 0x24}},
    {SDL_SCANCODE_K, {'K', 0, 0x25}},
    {SDL_SCANCODE_L, {'L', 0, 0x26}},
    {SDL_SCANCODE_M, {'M', 0, 0x32}},
    {SDL_SCANCODE_N, {'N', 0, 0x31}},
    {SDL_SCANCODE_O, {'O', 0, 0x18}},
    {SDL_SCANCODE_P, {'P', 0, 0x19}},
    {SDL_SCANCODE_Q, {'Q', 0, 0x10}},
    {SDL_SCANCODE_R, {'R', 0, 0x13}},
    {SDL_SCANCODE_S, {'S', 0, 0x1F}},
    {SDL_SCANCODE_T, {'T', 0, 0x14}},
    {SDL_SCANCODE_U, {'U', 0, 0x16}},
    {SDL_SCANCODE_V, {'V', 0, 0x2F}},
    {SDL_SCANCODE_W, {'W', 0, 0x11}},
    {SDL_SCANCODE_X, {'X', 0, 0x2D}},
    {SDL_SCANCODE_Y, {'Y', 0, 0x15}},
    {SDL_SCANCODE_Z, {'Z', 0, 0x2C}},
    {SDL_SCANCODE_1, {'1', 0, 0x02}},
    {SDL_SCANCODE_2, {'2', 0, 0x03}},
    {SDL_SCANCODE_3, {'3', 0, 0x04}},
    {SDL_SCANCODE_4, {'4', 0, 0x05}},
    {SDL_SCANCODE_5, {'5', 0, 0x06}},
    {SDL_SCANCODE_6, {'6', 0, 0x07}},
    {SDL_SCANCODE_7, {'7', 0, 0x08}},
    {SDL_SCANCODE_8, {'8', 0, 0x09}},
    {SDL_SCANCODE_9, {'9', 0, 0x0A}},
    {SDL_SCANCODE_0, {'0', 0, 0x0B}},
    {SDL_SCANCODE_RETURN, {VK_RETURN, 0, 0x1C}},
    {SDL_SCANCODE_ESCAPE, {VK_ESCAPE, 0, 0x01}},
    {SDL_SCANCODE_BACKSPACE, {VK_BACK, 0, 0x0E}},
    {SDL_SCANCODE_TAB, {VK_TAB, 0, 0x0F}},
    {SDL_SCANCODE_SPACE, {VK_SPACE, 0, 0x39}},
    {SDL_SCANCODE_MINUS, {VK_OEM_MINUS, 0, 0x0C}},
    {SDL_SCANCODE_EQUALS, {VK_OEM_PLUS, 0, 0x0D}},
    {SDL_SCANCODE_LEFTBRACKET, {VK_OEM_4, 0, 0x1A}},
    {SDL_SCANCODE_RIGHTBRACKET, {VK_OEM_6, 0, 0x1B}},
    {SDL_SCANCODE_BACKSLASH, {VK_OEM_5, 0, 0x2B}},
    {SDL_SCANCODE_NONUSHASH, {VK_OEM_5, 0, 0x2B}},
    {SDL_SCANCODE_SEMICOLON, {VK_OEM_1, 0, 0x27}},
    {SDL_SCANCODE_APOSTROPHE, {VK_OEM_7, 0, 0x28}},
    {SDL_SCANCODE_GRAVE, {VK_OEM_3, 0, 0x29}},
    {SDL_SCANCODE_COMMA, {VK_OEM_COMMA, 0, 0x33}},
    {SDL_SCANCODE_PERIOD, {VK_OEM_PERIOD, 0, 0x34}},
    {SDL_SCANCODE_SLASH, {VK_OEM_2, 0, 0x35}},
    {SDL_SCANCODE_CAPSLOCK, {VK_CAPITAL, 0, 0x3A}},
    {SDL_SCANCODE_F1, {VK_F1, 0, 0x3B}},
    {SDL_SCANCODE_F2, {VK_F2, 0, 0x3C}},
    {SDL_SCANCODE_F3, {VK_F3, 0, 0x3D}},
    {SDL_SCANCODE_F4, {VK_F4, 0, 0x3E}},
    {SDL_SCANCODE_F5, {VK_F5, 0, 0x3F}},
    {SDL_SCANCODE_F6, {VK_F6, 0, 0x40}},
    {SDL_SCANCODE_F7, {VK_F7, 0, 0x41}},
    {SDL_SCANCODE_F8, {VK_F8, 0, 0x42}},
    {SDL_SCANCODE_F9, {VK_F9, 0, 0x43}},
    {SDL_SCANCODE_F10, {VK_F10, 0, 0x44}},
    {SDL_SCANCODE_F11, {VK_F11, 0, 0x57}},
    {SDL_SCANCODE_F12, {VK_F12, 0, 0x58}},
    {SDL_SCANCODE_F13, {VK_F13, 0, 0x64}},
    {SDL_SCANCODE_F14, {VK_F14, 0, 0x65}},
    {SDL_SCANCODE_F15, {VK_F15, 0, 0x66}},
    {SDL_SCANCODE_PRINTSCREEN, {VK_SNAPSHOT, 0, 0xB7}},
    {SDL_SCANCODE_SCROLLLOCK, {VK_SCROLL, 0, 0x46}},
    {SDL_SCANCODE_PAUSE, {VK_PAUSE, 0, 0xC5}},
    {SDL_SCANCODE_INSERT, {VK_INSERT, 0, 0xD2}},
    {SDL_SCANCODE_HOME, {VK_HOME, 0, 0xC7}},
    {SDL_SCANCODE_PAGEUP, {VK_PRIOR, 0, 0xC9}},
    {SDL_SCANCODE_DELETE, {VK_DELETE, 0, 0xD3}},
    {SDL_SCANCODE_END, {VK_END, 0, 0xCF}},
    {SDL_SCANCODE_PAGEDOWN, {VK_NEXT, 0, 0xD1}},
    {SDL_SCANCODE_RIGHT, {VK_RIGHT, 0, 0xCD}},
    {SDL_SCANCODE_LEFT, {VK_LEFT, 0, 0xCB}},
    {SDL_SCANCODE_DOWN, {VK_DOWN, 0, 0xD0}},
    {SDL_SCANCODE_UP, {VK_UP, 0, 0xC8}},
    {SDL_SCANCODE_NUMLOCKCLEAR, {VK_NUMLOCK, 0, 0x45}},
    {SDL_SCANCODE_KP_DIVIDE, {VK_DIVIDE, 0, 0xB5}},
    {SDL_SCANCODE_KP_MULTIPLY, {VK_MULTIPLY, 0, 0x37}},
    {SDL_SCANCODE_KP_MINUS, {VK_SUBTRACT, 0, 0x4A}},
    {SDL_SCANCODE_KP_PLUS, {VK_ADD, 0, 0x4E}},
    {SDL_SCANCODE_KP_ENTER, {VK_RETURN, 0, 0x9C}},
    {SDL_SCANCODE_KP_1, {VK_NUMPAD1, 0, 0x4F}},
    {SDL_SCANCODE_KP_2, {VK_NUMPAD2, 0, 0x50}},
    {SDL_SCANCODE_KP_3, {VK_NUMPAD3, 0, 0x51}},
    {SDL_SCANCODE_KP_4, {VK_NUMPAD4, 0, 0x4B}},
    {SDL_SCANCODE_KP_5, {VK_NUMPAD5, 0, 0x4C}},
    {SDL_SCANCODE_KP_6, {VK_NUMPAD6, 0, 0x4D}},
    {SDL_SCANCODE_KP_7, {VK_NUMPAD7, 0, 0x47}},
    {SDL_SCANCODE_KP_8, {VK_NUMPAD8, 0, 0x48}},
    {SDL_SCANCODE_KP_9, {VK_NUMPAD9, 0, 0x49}},
    {SDL_SCANCODE_KP_0, {VK_NUMPAD0, 0, 0x52}},
    {SDL_SCANCODE_KP_PERIOD, {VK_DECIMAL, 0, 0x53}},
    {SDL_SCANCODE_KP_EQUALS, {0, 0, 0x8D}},
    {SDL_SCANCODE_NONUSBACKSLASH, {VK_OEM_102, 0, 0x56}},
    {SDL_SCANCODE_APPLICATION, {VK_APPS, 0, 0xDD}},
    {SDL_SCANCODE_LCTRL, {VK_CONTROL, VK_LCONTROL, 0x1D}},
    {SDL_SCANCODE_LSHIFT, {VK_SHIFT, VK_LSHIFT, 0x2A}},
    {SDL_SCANCODE_LALT, {VK_MENU, VK_LMENU, 0x38}},
    {SDL_SCANCODE_LGUI, {VK_LWIN, 0, 0xDB}},
    {SDL_SCANCODE_RCTRL, {VK_CONTROL, VK_RCONTROL, 0x9D}},
    {SDL_SCANCODE_RSHIFT, {VK_SHIFT, VK_RSHIFT, 0x36}},
    {SDL_SCANCODE_RALT, {VK_MENU, VK_RMENU, 0xB8}},
    {SDL_SCANCODE_RGUI, {VK_RWIN, 0, 0xDC}},
};

struct Lookup {
  std::array<KeyCodes, SDL_NUM_SCANCODES> byScancode{};
  std::array<SDL_Scancode, 256> byDik{};

  Lookup() {
    byDik.fill(SDL_SCANCODE_UNKNOWN);
    for (const KeyRow& row : kKeys) {
      byScancode[row.scancode] = row.codes;
      // The first physical key of a code wins (backslash before the ISO hash key).
      if (row.codes.dik && byDik[row.codes.dik] == SDL_SCANCODE_UNKNOWN)
        byDik[row.codes.dik] = row.scancode;
    }
  }
};

const Lookup& Table() {
  static const Lookup table;
  return table;
}

}  // namespace

KeyCodes VirtualKeys::FromScancode(SDL_Scancode scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return {};
  return Table().byScancode[scancode];
}

SDL_Scancode VirtualKeys::ScancodeFromDik(BYTE dik) { return Table().byDik[dik]; }
