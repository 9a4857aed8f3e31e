#pragma once
#include <cstdint>

namespace quarn::platform {

// The SDL user event type that carries window-timer ticks to the GUI thread.
uint32_t TimerEventType();

}  // namespace quarn::platform
