// How the script engine reaches the window system: pump pending messages, ask whether the
// application is terminating, show a message box. The default host does nothing; the shell
// installs the real one.
#pragma once

#include <string>

namespace quarn::script {

class TScriptHost {
public:
  virtual ~TScriptHost() = default;
  virtual void PumpMessages() {}
  virtual bool Terminating() { return false; }
  // A modal box with an OK button showing text under the application's title.
  virtual void ShowMessage(const std::string& text) {}
};

namespace detail {
extern TScriptHost DefaultHost;
extern TScriptHost* InstalledHost;
}  // namespace detail

// The installed host (never null). Installing nullptr restores the default.
inline TScriptHost& ScriptHost()
{
  return detail::InstalledHost ? *detail::InstalledHost : detail::DefaultHost;
}
void SetScriptHost(TScriptHost* host);
// True when a host other than the default is installed.
bool HasScriptHost();

}  // namespace quarn::script
