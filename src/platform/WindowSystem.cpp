#include "platform/WindowSystem.h"

#include <SDL.h>

#include <cstdlib>
#include <string_view>

namespace quarn::platform {

namespace {

bool IsSet(const char* name)
{
  const char* value = std::getenv(name);
  return value && *value;
}

constexpr int DisplayAttempts = 20;
constexpr uint32_t DisplayRetryMs = 100;

}  // namespace

bool StartWindowSystem(std::string& error)
{
  // Without a display SDL falls back to drivers that show nothing (the console's frame
  // buffer, off-screen): the program would run unseen. Those are used only when asked for.
  const bool driverChosen = IsSet("SDL_VIDEODRIVER");
  if (!driverChosen && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
    error = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return false;
  }
  // A display server that is there may still refuse a connection for a moment (a busy
  // virtual display does): try again for a while before calling it gone.
  for (int attempt = 1;; ++attempt) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
      error = SDL_GetError();
      return false;
    }
    const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driverChosen || driver == "x11" || driver == "wayland") return true;
    SDL_Quit();
    if (attempt == DisplayAttempts) {
      error = "the display could not be opened (only the '" + std::string(driver) +
              "' video driver started)";
      return false;
    }
    SDL_Delay(DisplayRetryMs);
  }
}

void StopWindowSystem() { SDL_Quit(); }

}  // namespace quarn::platform
