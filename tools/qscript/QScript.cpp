#include "QScript.h"

#include <csignal>
#include <cstdlib>
#include <iostream>

#include "Traps.h"
#include "platform/Files.h"

#include "script/Errors.h"
#include "script/Func.h"
#include "script/FormatFloat.h"
#include "script/Host.h"
#include "script/LineEnds.h"
#include "script/MemoryBudget.h"
#include "script/Nodes.h"
#include "script/Script.h"
#include "script/SourcePlace.h"
#include "script/Text.h"
#include "script/TreeDump.h"

namespace quarn::qscript {

using namespace quarn::script;

const char* const HelpText =
    "Usage: qscript [--strict] [-D NAME=VALUE]... FILE\n"
    "       qscript [--strict] [-D NAME=VALUE]... -e TEXT\n"
    "       qscript [--strict] [-D NAME=VALUE]... --check FILE\n"
    "       qscript [-D NAME=VALUE]... --dump-tree FILE\n"
    "       qscript --bot [--strict] FILE\n"
    "       qscript --help | --version\n"
    "\n"
    "Runs a program in Quarn's script language, the language of bot files and console\n"
    "lines, with the built-in statements, operators and library functions and one host\n"
    "function:\n"
    "\n"
    "  Print(ALL OPEN);  writes its arguments separated by one space, then a line end:\n"
    "                    integers in decimal, floats as the shortest text that reads back\n"
    "                    (with \".\"), booleans as True/False, strings unchanged, empty\n"
    "                    values as nothing.\n"
    "\n"
    "Options:\n"
    "  FILE              run the script in FILE\n"
    "  -e TEXT           run TEXT as the script\n"
    "  --check FILE      compile FILE without running it\n"
    "  --dump-tree FILE  compile FILE and print the tree it runs as: one node a line,\n"
    "                    indented by depth, with its kind (block, if, assignment,\n"
    "                    operator, logic, call, variable, element, constant...), name\n"
    "                    or value, a variable's slot (@N) and LINE:COLUMN\n"
    "  --no-specialise   build every call as a general call node (same results, slower)\n"
    "  --bot FILE        load the bot file FILE as the program's LoadBot does, with the nine\n"
    "                    bot commands and their constants, and print the console lines it\n"
    "                    makes; the files it names are found relative to qscript's own\n"
    "                    directory, as the program finds them relative to its own. Exit\n"
    "                    status 1 when the bot does not load.\n"
    "  --strict          warn where the script likely means something else than it says:\n"
    "                    a - b + c groups as a - (b + c), and WHILE flag DO or UNTIL flag\n"
    "                    reads a lone variable once, so a body changing it is not seen;\n"
    "                    exit status 1 when there is a warning. With --bot: also when the\n"
    "                    bot file draws a warning (a sound not in the precached set, an\n"
    "                    animation number outside the table), and warnings about its\n"
    "                    states: an AddNextState naming a state that does not exist, a\n"
    "                    state no next states lead to from state 0\n"
    "  -D NAME=VALUE     add the constant NAME (an integer, a float such as 1.5, or else a\n"
    "                    string) before compiling; repeatable\n"
    "  --script-memory SIZE  memory the script's values may hold at once (default 1G;\n"
    "                    SIZE in bytes or with K, M or G); more fails with \"Out of memory\"\n"
    "  -h, --help        show this text\n"
    "  -v, --version     show the version\n"
    "\n"
    "Exit status: 0 on success; 1 when the script fails: a script error prints its\n"
    "message (\"Syntaxerror: ... [Position n]\" or \"Runtimeerror: ... [Position n]\") on\n"
    "standard error, any other failure prints \"Exception : \" and its message; 2 for a\n"
    "command line that cannot be used. Ctrl+C stops a running script (\"Script stopped.\").\n"
    "Each error on standard error starts with FILE:LINE:COLUMN: (-e for -e text), so\n"
    "editors can jump to it.\n";

namespace {

bool IsIdentifier(std::string_view name)
{
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    bool digit = c >= '0' && c <= '9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return true;
}

// Ctrl+C asks the running script to stop at its next call.
volatile std::sig_atomic_t InterruptRequested = 0;

extern "C" void OnInterrupt(int) { InterruptRequested = 1; }

class TConsoleHost : public TScriptHost {
public:
  bool Terminating() override { return Interrupted(); }
};

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, TOptions& options, std::string& error)
{
  bool haveSource = false;
  auto takeSource = [&](TMode mode, const std::string& source) {
    if (haveSource) {
      error = "only one script may be given";
      return false;
    }
    options.Mode = mode;
    options.Source = source;
    haveSource = true;
    return true;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool hasValue = i + 1 < args.size();
    if (arg == "--help" || arg == "-h") {
      options.Mode = TMode::Help;
      return true;
    }
    if (arg == "--version" || arg == "-v") {
      options.Mode = TMode::Version;
      return true;
    }
    if (arg == "--strict") {
      options.Strict = true;
      continue;
    }
    if (arg == "--bot" && hasValue && args[i + 1] == "--strict") {  // --bot --strict FILE
      options.Strict = true;
      ++i;
      hasValue = i + 1 < args.size();
    }
    if (arg == "--no-specialise") {
      options.General = true;
      continue;
    }
    if (arg == "-e" || arg == "--check" || arg == "--bot" || arg == "--dump-tree") {
      if (!hasValue) {
        error = arg + " needs an argument";
        return false;
      }
      TMode mode = arg == "-e"            ? TMode::Eval
                   : arg == "--check"     ? TMode::Check
                   : arg == "--dump-tree" ? TMode::DumpTree
                                          : TMode::Bot;
      if (!takeSource(mode, args[++i])) return false;
    } else if (arg == "--script-memory") {
      uint64_t bytes = 0;
      if (!hasValue || !ParseMemorySize(args[++i], bytes)) {
        error = "--script-memory needs a SIZE such as 512M";
        return false;
      }
      SetScriptMemoryLimit(bytes);
    } else if (arg.rfind("-D", 0) == 0) {
      std::string definition = arg.size() > 2 ? arg.substr(2) : (hasValue ? args[++i] : "");
      size_t equals = definition.find('=');
      std::string name = definition.substr(0, equals);
      if (equals == std::string::npos || !IsIdentifier(name)) {
        error = "-D expects NAME=VALUE with NAME a name of letters, digits and _";
        return false;
      }
      options.Constants.emplace_back(name, ConstantValue(definition.substr(equals + 1)));
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (!takeSource(TMode::Run, arg)) {
      return false;
    }
  }
  if (!haveSource) {
    error = "no script given";
    return false;
  }
  if (options.Mode == TMode::Bot && !options.Constants.empty()) {
    error = "-D cannot be used with --bot: a bot file sees only the bot constants";
    return false;
  }
  return true;
}

bool Interrupted() { return InterruptRequested != 0; }

Variant ConstantValue(std::string_view text)
{
  try {
    return Variant(StrToInt(text));
  } catch (const Exception&) {
  }
  std::string copy(text);
  const char* begin = copy.c_str();
  char* end = nullptr;
  bool digits = copy.find_first_of("0123456789") != std::string::npos;
  bool named = copy.find_first_of("iInN") != std::string::npos;  // no inf or nan words
  double value = std::strtod(begin, &end);
  if (digits && !named && end != begin && *end == '\0' && copy.find(',') == std::string::npos)
    return Variant(value);
  return Variant(copy);
}

std::string PrintText(const Variant& value)
{
  switch (value.Kind()) {
    case TValueKind::Empty: return std::string();
    case TValueKind::Integer: return IntToStr(value.AsInteger());
    case TValueKind::Float: return ShortestFloatText(value.AsFloat());
    case TValueKind::Boolean: return value.AsBoolean() ? "True" : "False";
    case TValueKind::String: return value.AsString();
    case TValueKind::Array: {
      const TArray& array = value.AsArray();
      std::string text = "[";
      Variant element;
      for (size_t i = 0; i < array.ElementCount(); ++i) {
        array.Get(i, element);
        if (i > 0) text += ", ";
        text += PrintText(element);
      }
      return text + "]";
    }
  }
  return std::string();
}

int RunText(std::string text, const TOptions& options, std::ostream& out, std::ostream& err,
            std::string_view name)
{
  TFuncs funcs;
  TFunc print;
  TScript script;
  // Positions count in the text as it runs: its lines each ended by CR LF.
  script.TakeText(CrLfLines(text));
  text = std::string();
  auto where = [&](int32_t position) {
    return name.empty() ? std::string() : SourcePrefix(name, SourcePlace(script.Text(), position));
  };
  try {
    print.SetDeclaration("Print(ALL OPEN);");
    print.SetFuncs(&funcs);
    std::string line;
    print.SetOnEval([&out, &line](TFunc&, const TArgList& args, Variant&) {
      line.clear();
      for (int i = 0; i < args.Count(); ++i) {
        if (i > 0) line += ' ';
        line += PrintText(args.Value(i));
      }
      line += '\n';
      out.write(line.data(), static_cast<std::streamsize>(line.size()));
    });
    script.Blocking = true;  // no window: nothing to pump
    script.SetFunctions(&funcs);
    for (const auto& [constant, value] : options.Constants) script.AddConstant(constant, value);
    struct TSpecialise {  // the switch is the engine's: put back as it was
      bool Before = SpecialiseNodes();
      ~TSpecialise() { SetSpecialiseNodes(Before); }
    } specialise;
    if (options.General) SetSpecialiseNodes(false);
    bool warned = false;
    if (options.Strict) {
      script.Compile();  // a text that does not compile is reported as such, not linted
      for (const TTrap& trap : FindTraps(script.Text())) {
        err << where(trap.Position) << "Warning: " << trap.Text << " [Position " << trap.Position
            << "]\n";
        warned = true;
      }
    }
    if (options.Mode == TMode::Check) {
      script.Compile();
    } else if (options.Mode == TMode::DumpTree) {
      script.Compile();
      std::vector<const TDataItem*> items;
      for (int i = 0; i < script.DataItemCount(); ++i) items.push_back(&script.DataItem(i));
      const std::string tree = DumpTree(*script.Root(), script.Text(), items);
      out.write(tree.data(), static_cast<std::streamsize>(tree.size()));
    } else {
      script.Run();
    }
    out.flush();
    return warned ? ExitScriptFailed : ExitSuccess;
  } catch (const EScriptError& error) {
    out.flush();
    err << where(error.Position()) << error.Message() << '\n';
  } catch (const Exception& error) {
    out.flush();
    err << where(0) << "Exception : " << error.Message() << '\n';
  } catch (const std::exception& error) {
    out.flush();
    err << where(0) << "Exception : " << error.what() << '\n';
  }
  return ExitScriptFailed;
}

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const TBotRunner& runBot)
{
  TOptions options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    err << "qscript: " << error << "\nTry 'qscript --help'.\n";
    return ExitUsage;
  }
  std::string text;
  switch (options.Mode) {
    case TMode::Help: out << HelpText; return ExitSuccess;
    case TMode::Version: out << "qscript 1.0\n"; return ExitSuccess;
    case TMode::Bot: {
      if (!runBot) {
        err << "qscript: --bot is not available in this build\n";
        return ExitUsage;
      }
      InterruptRequested = 0;
      auto previous = std::signal(SIGINT, OnInterrupt);
      int status = runBot(options.Source, options.Strict, out, err);
      std::signal(SIGINT, previous);
      return status;
    }
    case TMode::Eval: text = options.Source; break;
    case TMode::Run:
    case TMode::Check:
    case TMode::DumpTree:
      // Pipes and devices are read: `qscript <(...)` and /dev/stdin are scripts too.
      if (!platform::ReadWholeFile(options.Source, text, platform::TFileKinds::AnyButFolder)) {
        err << "qscript: cannot read " << options.Source << '\n';
        return ExitScriptFailed;
      }
      break;
  }
  TConsoleHost host;
  SetScriptHost(&host);
  InterruptRequested = 0;
  auto previous = std::signal(SIGINT, OnInterrupt);
  int status = RunText(std::move(text), options, out, err,
                       options.Mode == TMode::Eval ? "-e" : options.Source);
  std::signal(SIGINT, previous);
  SetScriptHost(nullptr);
  return status;
}

}  // namespace quarn::qscript
