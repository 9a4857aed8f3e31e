#include "script/Host.h"

namespace quarn::script {

namespace {
TScriptHost DefaultHost;
TScriptHost* InstalledHost = nullptr;
}  // namespace

TScriptHost& ScriptHost() { return InstalledHost ? *InstalledHost : DefaultHost; }
void SetScriptHost(TScriptHost* host) { InstalledHost = host; }
bool HasScriptHost() { return InstalledHost != nullptr; }

}  // namespace quarn::script
