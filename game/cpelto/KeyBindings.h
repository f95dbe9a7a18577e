#pragma once
// The game's 15 key bindings, DirectInput key codes under the names that the key-binding file
// and the scripts use, and the eight animation identifiers that only scripts read and write.
#include <windef.h>

#include <cstddef>

struct KeyBindings {
  DWORD move_forward;
  DWORD move_back;
  DWORD rotate_left;
  DWORD rotate_right;
  DWORD strite_left;
  DWORD strite_right;
  DWORD show_map;
  DWORD camera_one;
  DWORD camera_two;
  DWORD camera_fpp;
  DWORD jump;
  DWORD shoot;
  DWORD back_to_menu;
  DWORD look_left;
  DWORD look_right;
};
static_assert(sizeof(KeyBindings) == 60);

// One binding: its name, its field and the key it has until the file or a script changes it.
struct KeyBindingEntry {
  const char* szName;
  DWORD KeyBindings::*pField;
  DWORD dwDefault;
};

// Every binding in table order.
extern const KeyBindingEntry kKeyBindingEntries[15];

// The table with every binding at its default.
KeyBindings DefaultKeyBindings();

struct AnimationIdentifiers {
  DWORD idanim_moveforward_start;
  DWORD idanim_moveforward;
  DWORD idanim_moveforward_end;
  DWORD idanim_movebackward;
  DWORD idanim_rotateleft;
  DWORD idanim_rotateright;
  DWORD idanim_strikeleft;
  DWORD idanim_strikeright;
};
static_assert(sizeof(AnimationIdentifiers) == 32);
