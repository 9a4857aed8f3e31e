#pragma once
#include <cstdint>

namespace quarn::platform {

// Millisecond clocks as unsigned 32-bit counts that wrap after about 49.7 days, like the
// multimedia timer and the tick count they stand in for. Callers compare times with unsigned
// differences (t - last), which stay correct across the wrap.
uint32_t TimeGetTime();   // drives the frame timer
uint32_t GetTickCount();  // drives bot animation
// Milliseconds since the window system started, without the wrap.
uint64_t TickCount64();

// A replaceable millisecond clock, so timing logic can be tested with a fake one.
using ClockFunc = uint32_t (*)();

}  // namespace quarn::platform
