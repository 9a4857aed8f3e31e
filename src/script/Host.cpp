#include "script/Host.h"

namespace quarn::script {

namespace detail {
TScriptHost DefaultHost;
TScriptHost* InstalledHost = nullptr;
}  // namespace detail

void SetScriptHost(TScriptHost* host) { detail::InstalledHost = host; }
bool HasScriptHost() { return detail::InstalledHost != nullptr; }

}  // namespace quarn::script
