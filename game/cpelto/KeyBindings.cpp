#include "cpelto/KeyBindings.h"

const KeyBindingEntry kKeyBindingEntries[15] = {
    {"move_forward", &KeyBindings::move_forward, 17},  // W
    {"move_back", &KeyBindings::move_back, 31},        // S
    {"rotate_left", &KeyBindings::rotate_left, 30},    // A
    {"rotate_right", &KeyBindings::rotate_right, 32},  // D
    {"strite_left", &KeyBindings::strite_left, 44},    // Z
    {"strite_right", &KeyBindings::strite_right, 45},  // X
    {"show_map", &KeyBindings::show_map, 15},          // Tab
    {"camera_one", &KeyBindings::camera_one, 2},       // 1
    {"camera_two", &KeyBindings::camera_two, 3},       // 2
    {"camera_fpp", &KeyBindings::camera_fpp, 4},       // 3
    {"jump", &KeyBindings::jump, 28},                  // Enter
    {"shoot", &KeyBindings::shoot, 57},                // Space
    {"back_to_menu", &KeyBindings::back_to_menu, 1},   // Escape
    {"look_left", &KeyBindings::look_left, 42},        // left Shift
    {"look_right", &KeyBindings::look_right, 29},      // left Ctrl
};

KeyBindings DefaultKeyBindings() {
  KeyBindings bindings = {};
  for (const KeyBindingEntry& entry : kKeyBindingEntries) bindings.*entry.pField = entry.dwDefault;
  return bindings;
}
