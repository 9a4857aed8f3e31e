#pragma once

namespace quarn::platform {

// SIGINT and SIGTERM end the program promptly: through the event loop (a quit event, so the
// shutdown sequence runs), or at once while a modal message box holds the GUI thread.
void CatchTerminationSignals();
// The signal that asked the program to end, or 0.
int TerminationSignal();

// While one lives, a termination signal ends the program at once (exit status 128 + signal).
class TModalSection {
public:
  TModalSection();
  ~TModalSection();
  TModalSection(const TModalSection&) = delete;
  TModalSection& operator=(const TModalSection&) = delete;
};

}  // namespace quarn::platform
