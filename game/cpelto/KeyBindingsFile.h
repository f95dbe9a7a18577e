#pragma once
// The player's key bindings on disk: one `KeyBindings` element whose attributes are the 15
// bindings in table order, in decimal.
#include "cpelto/KeyBindings.h"

class KeyBindingsFile {
 public:
  static constexpr const char* kPath = "game\\config\\keybindings.xml";

  // Applies the attributes present and keeps the other entries. A missing file is written from
  // the table as it is.
  static void Load(KeyBindings& bindings);
  // Nothing is written when the file cannot be opened.
  static void Save(const KeyBindings& bindings);
};
