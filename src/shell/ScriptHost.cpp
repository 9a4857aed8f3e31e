#include "shell/ScriptHost.h"

#include <ctime>

#include "images/LoadStop.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"

namespace quarn::shell {

namespace {

// Image loads stop for Escape and termination signals; the events stay queued, so the script
// that asked for the load then ends the way it would for them.
bool ImageLoadStop() { return platform::Application().QuitPending(); }

}  // namespace

TShellScriptHost::TShellScriptHost()
{
  script::SetScriptHost(this);
  images::SetStopPoll(ImageLoadStop);
}

TShellScriptHost::~TShellScriptHost()
{
  images::SetStopPoll(nullptr);
  script::SetScriptHost(nullptr);
}

namespace {

// Milliseconds of the kernel's coarse monotonic clock: a read of a value the kernel keeps,
// cheap enough for every call of a script (its tick is a few milliseconds).
uint64_t CoarseMilliseconds()
{
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

void TShellScriptHost::PumpMessages()
{
  const uint64_t now = CoarseMilliseconds();
  if (now == FLastPump) return;
  FLastPump = now;
  platform::Application().ProcessMessages();
}

bool TShellScriptHost::Terminating() { return platform::Application().Terminated(); }

void TShellScriptHost::ShowMessage(const std::string& text)
{
  platform::MessageBox(text, platform::Application().Title, platform::MB_OK);
}

}  // namespace quarn::shell
