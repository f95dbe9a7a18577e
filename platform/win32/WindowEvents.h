#pragma once
// The message pump: SDL's events become the window messages of the original platform, with
// their documented wParam and lParam packing, and fill the input snapshots on the way.
#include <SDL2/SDL_events.h>

class WindowEvents {
 public:
  // The thread that makes the windows is the one that pumps; SDL wants its events there.
  static void AdoptCurrentThread();
  // Hands cursor changes to SDL, runs the test commands that have arrived, translates every
  // pending event and refreshes the joysticks.
  // Does nothing on any other thread than the pumping one.
  static void Pump();
  static void Translate(const SDL_Event& event);
};
