// qscript --bot: loads a bot file the way the program's LoadBot does, without a window.
#pragma once

#include <iosfwd>
#include <string>

namespace quarn::qscript {

// The text of a script string literal holding `text` exactly: quotes doubled, control
// characters as #n outside the quotes ('it''s', 'a'#10'b', '' for nothing).
std::string ScriptLiteral(const std::string& text);

// Loads the bot file `fileName` (used as given, relative to the current directory) into a new
// bot with the real bot commands and constants, as the console line LoadBot('...') does; the
// files the bot file names are found relative to the executable's directory. Every console
// line is written to out as it is added. A hidden GL context is made for the skins when one
// can be had (the window system, else SDL's offscreen driver); without one the skins are still
// read and decoded and a note on err says they were not uploaded.
// An error that stops the load is also written to err after "FILE:LINE:COLUMN: ".
// Returns ExitSuccess when the bot loaded, ExitScriptFailed when it did not or, when strict,
// when the bot file drew a warning.
int RunBotFile(const std::string& fileName, bool strict, std::ostream& out, std::ostream& err);

}  // namespace quarn::qscript
