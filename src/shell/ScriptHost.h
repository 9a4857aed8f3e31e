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

  // Handles pending events (never the idle handler, so no frame runs). Returns at once when
  // the last pump was less than a millisecond ago: pumping after every call then costs
  // nothing measurable, and events are still handled within a millisecond.
  void PumpMessages() override;
  bool Terminating() override;
  void ShowMessage(const std::string& text) override;

private:
  uint64_t FLastPump = 0;
};

}  // namespace quarn::shell
