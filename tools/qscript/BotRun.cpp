#include "BotRun.h"

#include <ostream>
#include <vector>

#include "QScript.h"
#include "StateCheck.h"
#include "bots/Bot.h"
#include "bots/SoundManager.h"
#include "platform/HiddenGLWindow.h"
#include "platform/MessageBox.h"
#include "render/Console.h"
#include "render/OpenGL.h"
#include "script/Errors.h"
#include "script/Func.h"
#include "script/Functions.h"
#include "script/HostArgs.h"
#include "script/Host.h"
#include "script/Script.h"
#include "script/SourcePlace.h"
#include "sound/WaveCollection.h"

namespace quarn::qscript {

namespace {

constexpr int ContextWidth = 64;
constexpr int ContextHeight = 64;

// Writes the console's new lines after every script call (the engine pumps messages there),
// so a long bot file shows its progress; Ctrl+C stops the script as in qscript's other modes.
class TLineWriter : public script::TScriptHost {
public:
  TLineWriter(const render::TConsole& console, std::ostream& out) : FConsole(console), FOut(out) {}

  void PumpMessages() override { Flush(); }
  bool Terminating() override { return Interrupted(); }

  void Flush()
  {
    const auto& lines = FConsole.Lines();
    for (; FWritten < lines.size(); ++FWritten) FOut << lines[FWritten] << '\n';
    FOut.flush();
  }

private:
  const render::TConsole& FConsole;
  std::ostream& FOut;
  size_t FWritten = 0;
};

// Installs a host for the life of the object, then restores the default one.
class THostScope {
public:
  explicit THostScope(script::TScriptHost& host) { script::SetScriptHost(&host); }
  ~THostScope() { script::SetScriptHost(nullptr); }
  THostScope(const THostScope&) = delete;
  THostScope& operator=(const THostScope&) = delete;
};

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// Keeps every AddNextState call the bot file makes, as written: the bot drops a call whose
// first state does not exist, so its states alone cannot show it.
void RecordNextStates(bots::TBot& bot, std::vector<TNextStateCall>& calls)
{
  auto* function = dynamic_cast<script::TCompFunction*>(bot.Commands().Find("ADDNEXTSTATE"));
  if (!function || !function->OnEval) return;
  function->OnEval = [original = function->OnEval, &calls](script::TFunc& sender,
                                                           const script::TArgList& args,
                                                           script::Variant& result) {
    original(sender, args, result);
    calls.push_back({script::ArgInteger(args, 0), script::ArgInteger(args, 1)});
  };
}

}  // namespace

std::string ScriptLiteral(const std::string& text)
{
  std::string literal;
  bool quoted = false;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsControl(c)) {
      if (quoted) literal += '\'';
      quoted = false;
      literal += '#' + std::to_string(c);
      continue;
    }
    if (!quoted) literal += '\'';
    quoted = true;
    literal += ch;
    if (ch == '\'') literal += '\'';
  }
  if (quoted) literal += '\'';
  return literal.empty() ? "''" : literal;
}

int RunBotFile(const std::string& fileName, bool strict, std::ostream& out, std::ostream& err)
{
  // Image readers report some failures in a message box: with no one to answer it, they go
  // to stderr instead.
  platform::SetNoDialogs(true);

  // Declared before the bot: the skins' textures are deleted while the context is current.
  platform::THiddenGLWindow context;
  std::string reason;
  if (!context.Create(ContextWidth, ContextHeight, render::ProgramPixelFormat(), reason))
    err << "qscript: no OpenGL context (" << reason
        << "): skins are read and decoded, not uploaded\n";

  render::TConsole console(nullptr);
  TLineWriter writer(console, out);
  THostScope hostScope(writer);

  // A wave list without a device: a sound set is read and checked as the program reads it.
  sound::TDXWaveList waves;
  bots::TSoundManager soundManager(&console);
  soundManager.WaveList = &waves;

  bots::TBot bot;
  bot.SoundManager = &soundManager;
  std::vector<TNextStateCall> nextStateCalls;
  if (strict) RecordNextStates(bot, nextStateCalls);
  script::TScript botScript;
  botScript.Exceptions = true;
  botScript.Blocking = false;

  // The console line LoadBot('<file>') against a registry holding LoadBot, so that a failure
  // raised by the load reaches the console as the program reports it.
  bool loaded = false;
  script::TFuncs consoleFuncs;
  script::TFunc loadBot;
  loadBot.SetDeclaration("LoadBot(string);");
  loadBot.SetFuncs(&consoleFuncs);
  loadBot.SetOnEval([&](script::TFunc&, const script::TArgList&, script::Variant&) {
    loaded = bot.Load(botScript, console, fileName);
  });
  script::TScript consoleScript;
  consoleScript.Exceptions = true;
  consoleScript.Blocking = false;
  consoleScript.SetFunctions(&consoleFuncs);
  // An error of the bot file itself is also put on err with its place in the file.
  std::string error;
  try {
    consoleScript.SetText("LoadBot(" + ScriptLiteral(fileName) + ")");
    consoleScript.Run();
  } catch (const script::EScriptError& e) {
    error = e.Message();
  } catch (const std::bad_alloc&) {
    error = "Exception : Out of memory";
  } catch (const std::exception& e) {
    error = std::string("Exception : ") + e.what();
  }
  if (!error.empty()) {
    loaded = false;
    console.Add(error);
  }
  size_t stateWarnings = 0;
  if (strict && loaded) {
    for (const std::string& warning : StateWarnings(bot.Automata().States(), nextStateCalls)) {
      console.Add("Warning: " + warning);
      ++stateWarnings;
    }
  }
  writer.Flush();
  const bots::TBot::TLoadError& botError = bot.LoadError();
  if (!botError.Message.empty())
    err << script::SourcePrefix(fileName, botError.Place) << botError.Message << '\n';
  else if (!error.empty())
    err << script::SourcePrefix(fileName, {}) << error << '\n';
  if (strict && (bot.WarningCount() > 0 || stateWarnings > 0)) return ExitScriptFailed;
  writer.Flush();
  return loaded ? ExitSuccess : ExitScriptFailed;
}

}  // namespace quarn::qscript
