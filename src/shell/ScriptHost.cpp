#include "shell/ScriptHost.h"

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

namespace quarn::shell {

TShellScriptHost::TShellScriptHost() { script::SetScriptHost(this); }

TShellScriptHost::~TShellScriptHost() { script::SetScriptHost(nullptr); }

void TShellScriptHost::PumpMessages()
{
  const uint64_t now = platform::TickCount64();
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
