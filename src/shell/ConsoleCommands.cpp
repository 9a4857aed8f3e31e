#include "shell/ConsoleCommands.h"

#include <fcntl.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>

#include "bots/Bot.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "render/OpenGL.h"
#include "script/DateTime.h"
#include "script/Errors.h"
#include "script/HostArgs.h"
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

// The virtual-key code a key name stands for; Escape and Tab keep their own jobs.
uint16_t BindableKey(const std::string& name)
{
  const uint16_t key = platform::VirtualKeyFromName(name);
  if (key == 0) throw script::EScriptError("Unknown key name '" + name + "'");
  if (key == platform::VK_ESCAPE || key == platform::VK_TAB)
    throw script::EScriptError("Key '" + name + "' cannot be bound");
  return key;
}

}  // namespace

TConsoleCommands::TConsoleCommands(TMainForm& form) : FForm(form)
{
  // Creation order: the registry lists the commands in this order.
  static const script::THostCommand<TConsoleCommands> kCommands[] = {
      {"Quit;", &TConsoleCommands::QuitFuncEval},
      {"LoadBot(string);", &TConsoleCommands::LoadBotFuncEval},
      {"About;", &TConsoleCommands::AboutFuncEval},
      {"ConDump(string);", &TConsoleCommands::ConDumpFuncEval},
      {"GLRenderer;", &TConsoleCommands::GetRendererFuncEval},
      {"GLExtensions;", &TConsoleCommands::GetExtensionsFuncEval},
      {"DrawFPS(boolean);", &TConsoleCommands::DrawFPSFuncEval},
      {"DrawFrameNumber(boolean);", &TConsoleCommands::FrameNoFuncEval},
      {"LoadAnimationFile(string);", &TConsoleCommands::LoadAnimationFileFuncEval},
      {"Bind(string,integer);", &TConsoleCommands::BindFuncEval},
      {"Unbind(string);", &TConsoleCommands::UnbindFuncEval},
      {"Binds;", &TConsoleCommands::BindsFuncEval},
  };
  FCommands = script::THostCommands(FFuncs, *this, kCommands);
  FScript.Exceptions = true;
  FScript.Blocking = false;
  FScript.SetFunctions(&FFuncs);
  for (int action = 0; action < bots::MovementMaskCount; ++action)
    FScript.AddConstant(bots::BotConstants[action].Name, script::Variant(bots::BotConstants[action].Value));
}

render::TConsole& TConsoleCommands::Console() { return *FForm.Console(); }

void TConsoleCommands::ConsoleLine(const std::string& line)
{
  try {
    // A line entered while the previous one still runs (its calls pump events) cannot run:
    // the script refuses a nested run. Say so rather than drop it silently.
    if (FScript.Running()) {
      Console().AddWrapped("The previous line is still running; this line was not run.");
      return;
    }
    FScript.SetText(line);
    FScript.Run();
  } catch (const script::EScriptError& error) {
    Console().AddWrapped(error.Message());
  } catch (const std::bad_alloc&) {
    Console().AddWrapped("Exception : Out of memory");
  } catch (const std::exception& error) {
    Console().AddWrapped(std::string("Exception : ") + error.what());
  } catch (...) {
    Console().AddWrapped("Exception : Unknown exception");
  }
}

void TConsoleCommands::QuitFuncEval(const script::TArgList&) { FForm.Window().Close(); }

void TConsoleCommands::AboutFuncEval(const script::TArgList&)
{
  Console().Add("Quarn MD2 demo");
  Console().Add("Arrows, Space, Ins, Enter: move. Tab");
  Console().Add("By the Quarn developers");
}

void TConsoleCommands::ConDumpFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  try {
    Console().Add("Console dump at " + script::ShortDateLongTimeText(script::Now()));
    if (FifoWithoutReader(name)) throw std::runtime_error("Cannot create file " + name);
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("Cannot create file " + name);
    for (const std::string& line : Console().Lines()) out << line << "\r\n";
    out.flush();
    if (!out) throw std::runtime_error("Cannot write file " + name);
  } catch (const std::exception& error) {
    Console().Add(error.what());
  }
}

void TConsoleCommands::GetRendererFuncEval(const script::TArgList&)
{
  Console().Add(render::GetRendererString());
}

void TConsoleCommands::GetExtensionsFuncEval(const script::TArgList&)
{
  const std::string extensions = ExtensionsText();
  const int count = render::GetExtensionCount(extensions);
  for (int i = 0; i < count; ++i)
    Console().Add(std::to_string(i + 1) + ". " + render::GetExtension(extensions, i));
}

std::string TConsoleCommands::ExtensionsText() const
{
  return FExtensionsOverride ? *FExtensionsOverride : render::GetExtensionsString();
}

void TConsoleCommands::DrawFPSFuncEval(const script::TArgList& args)
{
  FForm.SetShowFPS(script::ArgBoolean(args, 0));
}

void TConsoleCommands::LoadBotFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  FForm.Bots().LoadBot(platform::ExeDir() + name, Console(), FForm.Sounds().Manager());
}

void TConsoleCommands::FrameNoFuncEval(const script::TArgList& args)
{
  FForm.Bots().SetShowFrameNumber(script::ArgBoolean(args, 0));
}

void TConsoleCommands::LoadAnimationFileFuncEval(const script::TArgList& args)
{
  FForm.Bots().LoadAnimationFile(script::ArgText(args, 0));
}

}  // namespace quarn::shell

namespace quarn::shell {

void TConsoleCommands::BindFuncEval(const script::TArgList& args)
{
  const uint16_t key = BindableKey(script::ArgText(args, 0));
  const int32_t mask = script::ArgInteger(args, 1);
  for (int action = 0; action < bots::MovementMaskCount; ++action)
    if (bots::BotConstants[action].Value == mask) {
      FForm.Bots().SetKeyAction(key, static_cast<uint8_t>(action));
      return;
    }
  throw script::EScriptError(std::to_string(mask) + " is not a KEY_ constant");
}

void TConsoleCommands::UnbindFuncEval(const script::TArgList& args)
{
  FForm.Bots().SetKeyAction(BindableKey(script::ArgText(args, 0)), 0);
}

void TConsoleCommands::BindsFuncEval(const script::TArgList&)
{
  bool any = false;
  for (uint16_t key = 0; key < 256; ++key)
    if (const uint8_t action = FForm.Bots().KeyAction(key); action != 0) {
      const std::string name = platform::VirtualKeyName(key);
      Console().Add((name.empty() ? "#" + std::to_string(key) : name) + " " + bots::BotConstants[action].Name);
      any = true;
    }
  if (!any) Console().Add("No key is bound");
}

}  // namespace quarn::shell
