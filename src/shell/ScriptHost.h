#pragma once
#include <cstdint>

#include "script/Host.h"

namespace quarn::shell {

// The script engine's view of the window system while the program runs: a long script keeps
// the window responsive by pumping pending events between its calls, and stops once the
// main window is closing.
class TShellScriptHost : public script::TScriptHost {
public:
  TShellScriptHost();
  ~TShellScriptHost() override;

  // Handles pending events (never the idle handler, so no frame runs). Returns at once while
  // the coarse clock has not moved since the last pump: pumping after every call then costs
  // one cheap clock read, and events are still handled within a few milliseconds.
  void PumpMessages() override;
  bool Terminating() override;
  void ShowMessage(const std::string& text) override;

private:
  uint64_t FLastPump = 0;
};

}  // namespace quarn::shell
