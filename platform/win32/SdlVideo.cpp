#include "SdlVideo.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_initLock;

// The device wants a compatibility context of 3.3 or later and draws into its own framebuffers,
// so the windows need neither depth nor stencil.
bool Started(Uint32 flags) {
  if (flags & SDL_INIT_VIDEO) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  }
  return true;
}

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
  if (SDL_InitSubSystem(flags) == 0) return Started(flags);
  // A display that is named but cannot be reached still leaves the offscreen windows.
  if (video && !driverChosen) {
    std::fprintf(stderr, "zkplatform: no display (%s); windows are offscreen\n", SDL_GetError());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(flags) == 0) return Started(flags);
  }
  std::fprintf(stderr, "zkplatform: cannot start SDL %s: %s\n", what, SDL_GetError());
  return false;
}

}  // namespace

bool SdlVideo::Ensure() { return StartSubsystem(SDL_INIT_VIDEO, "video"); }

bool SdlVideo::EnsureJoysticks() { return StartSubsystem(SDL_INIT_JOYSTICK, "joysticks"); }
