#pragma once
#include <string>

namespace quarn::platform {

// The window system (video and timers) for the life of the program: started once before the
// first window, stopped after the last. Start returns false and says why in `error`.
bool StartWindowSystem(std::string& error);
void StopWindowSystem();

}  // namespace quarn::platform
