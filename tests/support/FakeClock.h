#pragma once
#include <cstdint>

namespace quarn::test {

// A millisecond clock that moves only when a test moves it. Code that reads the time through a
// clock function (platform::ClockFunc) is handed Ticks. There is one time per process: making
// a clock sets it.
class TFakeClock {
public:
  explicit TFakeClock(uint32_t start = 0) { Now = start; }

  static uint32_t Ticks() { return Now; }
  // Moves the time on; the result is the new time.
  static uint32_t Advance(uint32_t ms) { return Now += ms; }

  inline static uint32_t Now = 0;
};

}  // namespace quarn::test
