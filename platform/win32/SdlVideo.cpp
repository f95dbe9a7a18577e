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
  // The game reads the joystick itself, focused or not.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  const bool driverChosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  const bool video = (flags & SDL_INIT_VIDEO) != 0;
  if (video && !driverChosen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(flags) == 0) return true;
  // A display that is named but cannot be reached still leaves the offscreen windows.
  if (video && !driverChosen) {
    std::fprintf(stderr, "zkplatform: no display (%s); windows are offscreen\n", SDL_GetError());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(flags) == 0) return true;
  }
  std::fprintf(stderr, "zkplatform: cannot start SDL %s: %s\n", what, SDL_GetError());
  return false;
}

}  // namespace

bool SdlVideo::Ensure() { return StartSubsystem(SDL_INIT_VIDEO, "video"); }

bool SdlVideo::EnsureJoysticks() { return StartSubsystem(SDL_INIT_JOYSTICK, "joysticks"); }
