// The command-line script runner: options, the Print host function and error reporting.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "script/Value.h"

namespace quarn::qscript {

enum class TMode {
  Run,    // qscript FILE
  Eval,   // qscript -e TEXT
  Check,  // qscript --check FILE: compile only
  DumpTree,  // qscript --dump-tree FILE: compile and print the tree
  Bot,    // qscript --bot FILE: load a bot file as the program's LoadBot does
  Help,
  Version,
};

struct TOptions {
  TMode Mode = TMode::Run;
  std::string Source;  // file name, or the script text for -e
  std::vector<std::pair<std::string, script::Variant>> Constants;  // -D NAME=VALUE
  bool Strict = false;  // --strict: a bot file's warnings fail the run
  bool General = false;  // --no-specialise: every call node takes the general call
};

// Exit statuses.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitScriptFailed = 1;  // script error, other exception, unreadable file
inline constexpr int ExitUsage = 2;

// Reads the command line; false (with the reason in error) when it cannot be used.
bool ParseOptions(const std::vector<std::string>& args, TOptions& options, std::string& error);

// A -D value: an integer, else a float (with "."), else the text itself.
script::Variant ConstantValue(std::string_view text);

// Print's text of one value: integers in decimal, floats as the shortest text that reads
// back, True/False, strings unchanged, empty as nothing, arrays as "[a, b, ...]".
std::string PrintText(const script::Variant& value);

// Compiles (and unless checking, runs) text with Print writing to out. Script errors go to
// err as their message, other exceptions as "Exception : " and the message; with a source
// name, each after "NAME:LINE:COLUMN: " ("NAME: " when the error has no place in the text).
// The text is taken by value: moved in, it is let go once converted, so a large script is held
// once while it compiles.
int RunText(std::string text, const TOptions& options, std::ostream& out, std::ostream& err,
            std::string_view name = {});

// Runs a bot file for --bot (file, strict, out, err) -> exit status. Kept out of the runner
// itself so that the script-only part needs neither the bot nor a window system.
using TBotRunner = std::function<int(const std::string&, bool, std::ostream&, std::ostream&)>;

// The whole program: arguments without the program name. Without runBot, --bot is refused.
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const TBotRunner& runBot = {});

// True once Ctrl+C has been pressed during the current run.
bool Interrupted();

extern const char* const HelpText;

}  // namespace quarn::qscript
