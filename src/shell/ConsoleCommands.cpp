// The console script: every entered line runs as a script against the console registry, whose
// host commands act on the main window.
#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>

#include "render/OpenGL.h"
#include "script/DateTime.h"
#include "script/Errors.h"
#include "script/HostArgs.h"
#include "script/HostCommands.h"
#include "shell/MainForm.h"

namespace quarn::shell {

namespace {

// Opening a FIFO for writing blocks until someone reads it: one without a reader is refused.
bool FifoWithoutReader(const std::string& name)
{
  std::error_code kind;
  if (!std::filesystem::is_fifo(name, kind)) return false;
  const int probe = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (probe < 0) return true;
  ::close(probe);
  return false;
}

}  // namespace

void TMainForm::CreateConsoleCommands()
{
  // Creation order: the registry lists the commands in this order.
  static const script::THostCommand<TMainForm> kCommands[] = {
      {"Quit;", &TMainForm::QuitFuncEval},
      {"LoadBot(string);", &TMainForm::LoadBotFuncEval},
      {"About;", &TMainForm::AboutFuncEval},
      {"ConDump(string);", &TMainForm::ConDumpFuncEval},
      {"GLRenderer;", &TMainForm::GetRendererFuncEval},
      {"GLExtensions;", &TMainForm::GetExtensionsFuncEval},
      {"DrawFPS(boolean);", &TMainForm::DrawFPSFuncEval},
      {"DrawFrameNumber(boolean);", &TMainForm::FrameNoFuncEval},
      {"LoadAnimationFile(string);", &TMainForm::LoadAnimationFileFuncEval},
  };
  CommandFuncs = script::THostCommands(Funcs, *this, kCommands);
  Script.Exceptions = true;
  Script.Blocking = false;
  Script.SetFunctions(&Funcs);
  BotScript.Exceptions = true;
  BotScript.Blocking = false;
}

void TMainForm::ConsoleLine(const std::string& line)
{
  try {
    // A line entered while the previous one still runs (its calls pump events) cannot run:
    // the script refuses a nested run. Say so rather than drop it silently.
    if (Script.Running()) {
      FConsole->AddWrapped("The previous line is still running; this line was not run.");
      return;
    }
    Script.SetText(line);
    Script.Run();
  } catch (const script::EScriptError& error) {
    FConsole->AddWrapped(error.Message());
  } catch (const std::bad_alloc&) {
    FConsole->AddWrapped("Exception : Out of memory");
  } catch (const std::exception& error) {
    FConsole->AddWrapped(std::string("Exception : ") + error.what());
  } catch (...) {
    FConsole->AddWrapped("Exception : Unknown exception");
  }
}

void TMainForm::QuitFuncEval(const script::TArgList&) { FWindow->Close(); }

void TMainForm::AboutFuncEval(const script::TArgList&)
{
  FConsole->Add("Quarn MD2 demo");
  FConsole->Add("Arrows, Space, Ins, Enter: move. Tab");
  FConsole->Add("By the Quarn developers");
}

void TMainForm::ConDumpFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  try {
    FConsole->Add("Console dump at " + script::ShortDateLongTimeText(script::Now()));
    if (FifoWithoutReader(name)) throw std::runtime_error("Cannot create file " + name);
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("Cannot create file " + name);
    for (const std::string& line : FConsole->Lines()) out << line << "\r\n";
    out.flush();
    if (!out) throw std::runtime_error("Cannot write file " + name);
  } catch (const std::exception& error) {
    FConsole->Add(error.what());
  }
}

void TMainForm::GetRendererFuncEval(const script::TArgList&)
{
  FConsole->Add(render::GetRendererString());
}

void TMainForm::GetExtensionsFuncEval(const script::TArgList&)
{
  const std::string extensions = ExtensionsText();
  const int count = render::GetExtensionCount(extensions);
  for (int i = 0; i < count; ++i)
    FConsole->Add(std::to_string(i + 1) + ". " + render::GetExtension(extensions, i));
}

std::string TMainForm::ExtensionsText() const
{
  return FExtensionsOverride ? *FExtensionsOverride : render::GetExtensionsString();
}

void TMainForm::DrawFPSFuncEval(const script::TArgList& args) { FShowFPS = script::ArgBoolean(args, 0); }

}  // namespace quarn::shell
