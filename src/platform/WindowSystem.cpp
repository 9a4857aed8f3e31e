#include "platform/WindowSystem.h"

#include <SDL.h>

namespace quarn::platform {

bool StartWindowSystem(std::string& error)
{
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0) return true;
  error = SDL_GetError();
  return false;
}

void StopWindowSystem() { SDL_Quit(); }

}  // namespace quarn::platform
