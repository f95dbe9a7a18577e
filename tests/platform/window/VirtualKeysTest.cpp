#include <gtest/gtest.h>

#include "VirtualKeys.h"
#include "dinput.h"
#include "winuser.h"

namespace {

// Every key code of dinput.h reaches a physical key and comes back unchanged.
TEST(VirtualKeysTest, EveryDirectInputKeyRoundTrips) {
  const BYTE codes[] = {
      DIK_ESCAPE,      DIK_1,        DIK_2,         DIK_3,          DIK_4,        DIK_5,
      DIK_6,           DIK_7,        DIK_8,         DIK_9,          DIK_0,        DIK_MINUS,
      DIK_EQUALS,      DIK_BACK,     DIK_TAB,       DIK_Q,          DIK_W,        DIK_E,
      DIK_R,           DIK_T,        DIK_Y,         DIK_U,          DIK_I,        DIK_O,
      DIK_P,           DIK_LBRACKET, DIK_RBRACKET,  DIK_RETURN,     DIK_LCONTROL, DIK_A,
      DIK_S,           DIK_D,        DIK_F,         DIK_G,          DIK_H,        DIK_J,
      DIK_K,           DIK_L,        DIK_SEMICOLON, DIK_APOSTROPHE, DIK_GRAVE,    DIK_LSHIFT,
      DIK_BACKSLASH,   DIK_Z,        DIK_X,         DIK_C,          DIK_V,        DIK_B,
      DIK_N,           DIK_M,        DIK_COMMA,     DIK_PERIOD,     DIK_SLASH,    DIK_RSHIFT,
      DIK_MULTIPLY,    DIK_LMENU,    DIK_SPACE,     DIK_CAPITAL,    DIK_F1,       DIK_F2,
      DIK_F3,          DIK_F4,       DIK_F5,        DIK_F6,         DIK_F7,       DIK_F8,
      DIK_F9,          DIK_F10,      DIK_NUMLOCK,   DIK_SCROLL,     DIK_NUMPAD7,  DIK_NUMPAD8,
      DIK_NUMPAD9,     DIK_SUBTRACT, DIK_NUMPAD4,   DIK_NUMPAD5,    DIK_NUMPAD6,  DIK_ADD,
      DIK_NUMPAD1,     DIK_NUMPAD2,  DIK_NUMPAD3,   DIK_NUMPAD0,    DIK_DECIMAL,  DIK_OEM_102,
      DIK_F11,         DIK_F12,      DIK_F13,       DIK_F14,        DIK_F15,      DIK_NUMPADEQUALS,
      DIK_NUMPADENTER, DIK_RCONTROL, DIK_DIVIDE,    DIK_SYSRQ,      DIK_RMENU,    DIK_PAUSE,
      DIK_HOME,        DIK_UP,       DIK_PRIOR,     DIK_LEFT,       DIK_RIGHT,    DIK_END,
      DIK_DOWN,        DIK_NEXT,     DIK_INSERT,    DIK_DELETE,     DIK_LWIN,     DIK_RWIN,
      DIK_APPS};
  for (BYTE code : codes) {
    const SDL_Scancode scancode = VirtualKeys::ScancodeFromDik(code);
    ASSERT_NE(scancode, SDL_SCANCODE_UNKNOWN) << int(code);
    EXPECT_EQ(VirtualKeys::FromScancode(scancode).dik, code) << int(code);
  }
  EXPECT_EQ(VirtualKeys::ScancodeFromDik(0), SDL_SCANCODE_UNKNOWN);
  EXPECT_EQ(VirtualKeys::ScancodeFromDik(0xFF), SDL_SCANCODE_UNKNOWN);
}

TEST(VirtualKeysTest, ModifiersHaveASideAndKeysOutsideTheTableHaveNothing) {
  const KeyCodes right = VirtualKeys::FromScancode(SDL_SCANCODE_RSHIFT);
  EXPECT_EQ(right.vk, VK_SHIFT);
  EXPECT_EQ(right.sidedVk, VK_RSHIFT);
  EXPECT_EQ(VirtualKeys::FromScancode(SDL_SCANCODE_LALT).sidedVk, VK_LMENU);
  const KeyCodes none = VirtualKeys::FromScancode(SDL_SCANCODE_AUDIOPLAY);
  EXPECT_EQ(none.vk, 0);
  EXPECT_EQ(none.dik, 0);
  EXPECT_EQ(VirtualKeys::FromScancode(static_cast<SDL_Scancode>(-1)).vk, 0);
  EXPECT_EQ(VirtualKeys::FromScancode(SDL_NUM_SCANCODES).vk, 0);
}

}  // namespace
