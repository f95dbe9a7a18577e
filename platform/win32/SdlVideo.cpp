#include "SdlVideo.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_initLock;

bool StartSubsystem(Uint32 flags, const char* what) {
  std::lock_guard<std::mutex> guard(g_initLock);
  if (SDL_WasInit(flags) == flags) return true;
  // The process keeps its own handling of SIGINT and SIGTERM; SDL would turn them into events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (flags & SDL_INIT_VIDEO) {
    if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY"))
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    // The game polls the joystick itself; background joystick events are harmless.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  }
  if (SDL_InitSubSystem(flags) != 0) {
    std::fprintf(stderr, "zkplatform: cannot start SDL %s: %s\n", what, SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace

bool SdlVideo::Ensure() { return StartSubsystem(SDL_INIT_VIDEO, "video"); }

bool SdlVideo::EnsureJoysticks() { return StartSubsystem(SDL_INIT_JOYSTICK, "joysticks"); }
