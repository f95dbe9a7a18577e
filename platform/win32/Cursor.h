#pragma once
// Cursor handles: the standard shapes (as SDL system cursors) and images read from cursor
// files. Handles stay valid for the whole run, as the original's shared cursors do.
#include <SDL2/SDL_mouse.h>

#include "CursorFile.h"
#include "winuser.h"

class Cursor {
 public:
  // The shared handle of a standard cursor (IDC_ARROW ... IDC_HELP); null for other numbers.
  static HCURSOR Standard(WORD id);
  static HCURSOR FromImage(CursorImage image);
  static bool IsCursor(HCURSOR handle);
  // The SDL cursor of a handle, made on first use; null when the handle is not a cursor or the
  // video driver draws no cursors (offscreen). Main thread only.
  static SDL_Cursor* Sdl(HCURSOR handle);
};
