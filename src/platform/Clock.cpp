#include "platform/Clock.h"

#include <SDL.h>

namespace quarn::platform {

uint32_t TimeGetTime() { return static_cast<uint32_t>(SDL_GetTicks64()); }
uint32_t GetTickCount() { return static_cast<uint32_t>(SDL_GetTicks64()); }
uint64_t TickCount64() { return SDL_GetTicks64(); }

}  // namespace quarn::platform
