// quarn: the animated MD2 character demo.
#include <cctype>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "convert/ExportCommand.h"
#include "convert/ImportCommand.h"
#include "platform/Application.h"
#include "platform/Memory.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Signals.h"
#include "platform/WindowSystem.h"
#include "script/MemoryBudget.h"
#include "shell/MainForm.h"
#include "sprites/RenderCommand.h"

namespace {

constexpr const char* Version = "quarn 1.0";

// After a bad option: where the whole usage is, under the one line that says what was wrong.
void PrintHint() { std::fputs("Try 'quarn --help'.\n", stderr); }

void PrintUsage(std::FILE* out)
{
  std::fprintf(
      out,
      "usage: quarn [--windowed | --fullscreen] [--exec LINE]... [--no-autoexec]\n"
      "             [--no-dialogs] [--help] [--script-memory SIZE] [--version] [--size WxH]\n"
      "             [FILE.bot]\n"
      "             [--view MODEL.md2 [--skin IMAGE] [--weapon WEAPON.md2 [--weapon-skin IMAGE]]]\n"
      "       quarn [OPTION]... MODEL.md2      (the same as --view MODEL.md2)\n"
      "       quarn --render MODEL.md2 [OPTION]...  (sprites without a display;\n"
      "                                             quarn --render --help lists the options)\n"
      "       quarn --export MODEL.md2 [OPTION]... -o OUT.glb  (glTF without a display;\n"
      "                                             quarn --export --help lists the options)\n"
      "       quarn --import IN.glb -o OUT.md2 [OPTION]...  (MD2 from glTF without a display;\n"
      "                                             quarn --import --help lists the options)\n"
      "\n"
      "  FILE.bot       load this bot at start-up (a path from the current directory)\n"
      "  --windowed     run in a 640x480 window without asking\n"
      "  --fullscreen   switch the display to 640x480 without asking\n"
      "  --exec LINE    after start-up, enter LINE at the console as if typed\n"
      "                 (repeatable; the lines run in order)\n"
      "  --no-autoexec  do not run autoexec.txt from the program's folder, nor the one\n"
      "                 in ~/.config/quarn (or $XDG_CONFIG_HOME/quarn), at start-up\n"
      "  --no-dialogs   print message boxes on stderr and take their default answer\n"
      "                 (also QUARN_NO_DIALOGS=1)\n"
      "  --size WxH     the window's size in pixels (default 640x480; the viewer's\n"
      "                 window can also be resized)\n"
      "  --script-memory SIZE  memory one console line or bot file may hold in\n"
      "                 values (default 1G; bytes or K, M, G)\n"
      "  --view MODEL   show a model with the demo's states and keys; skins named\n"
      "                 in the models are found beside them unless given\n"
      "  --render MODEL render sprites of a model without a window (--render --help)\n"
      "  --export MODEL write a model as glTF 2.0 without a window (--export --help)\n"
      "  --import IN    write an MD2 model from glTF 2.0 without a window (--import --help)\n"
      "  -h, --help     show this text\n"
      "  -v, --version  show the version\n");
}

// The window sizes --size accepts, in pixels.
constexpr int MinWindowSide = 160;
constexpr int MaxWindowSide = 8192;

// "WxH" with both sides within the limits.
bool ParseWindowSize(const std::string& text, int& width, int& height)
{
  int w = 0, h = 0;
  char x = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%5d%c%5d%n", &w, &x, &h, &used) != 3 ||
      used != static_cast<int>(text.size()) || (x != 'x' && x != 'X') ||
      !std::isdigit(static_cast<unsigned char>(text[0])))
    return false;
  if (w < MinWindowSide || h < MinWindowSide || w > MaxWindowSide || h > MaxWindowSide)
    return false;
  width = w;
  height = h;
  return true;
}

// A lone argument naming a model: `quarn robot.md2` views it.
bool IsModelName(const std::string& arg)
{
  if (arg.size() < 5 || arg[0] == '-') return false;
  std::string extension = arg.substr(arg.size() - 4);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".md2";
}

}  // namespace

int main(int argc, char** argv)
{
  quarn::platform::ReturnLargeBlocksWhenFreed();
  if (quarn::convert::WantsImport(argc, argv))
    return quarn::convert::RunImportCommand({argv + 1, argv + argc});
  if (quarn::convert::WantsExport(argc, argv))
    return quarn::convert::RunExportCommand({argv + 1, argv + argc});
  if (quarn::sprites::WantsRender(argc, argv))
    return quarn::sprites::RunRenderCommand({argv + 1, argv + argc});
  std::setlocale(LC_ALL, "");
  quarn::shell::TMainFormOptions options;
  options.AutoexecFile = quarn::platform::ExeDir() + "autoexec.txt";
  if (const std::string config = quarn::platform::UserConfigDir(); !config.empty())
    options.UserAutoexecFile = config + "autoexec.txt";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--windowed") {
      options.Screen = quarn::shell::TScreenChoice::Windowed;
    } else if (arg == "--fullscreen") {
      options.Screen = quarn::shell::TScreenChoice::FullScreen;
    } else if (arg == "--exec") {
      if (i + 1 == argc) {
        std::fprintf(stderr, "quarn: --exec needs a LINE\n");
        PrintHint();
        return 2;
      }
      options.ExecLines.push_back(argv[++i]);
    } else if (arg == "--script-memory") {
      uint64_t bytes = 0;
      if (i + 1 == argc || !quarn::script::ParseMemorySize(argv[++i], bytes)) {
        std::fprintf(stderr, "quarn: --script-memory needs a SIZE such as 512M\n");
        PrintHint();
        return 2;
      }
      quarn::script::SetScriptMemoryLimit(bytes);
    } else if (arg == "--size") {
      if (i + 1 == argc || !ParseWindowSize(argv[++i], options.Width, options.Height)) {
        std::fprintf(stderr, "quarn: --size needs WIDTHxHEIGHT, each %d to %d, such as 1024x768\n",
                     MinWindowSide, MaxWindowSide);
        PrintHint();
        return 2;
      }
    } else if (arg == "--view" || arg == "--skin" || arg == "--weapon" || arg == "--weapon-skin") {
      if (i + 1 == argc) {
        std::fprintf(stderr, "quarn: %s needs a FILE\n", arg.c_str());
        PrintHint();
        return 2;
      }
      auto& view = options.View ? *options.View : options.View.emplace();
      (arg == "--view"     ? view.Model
       : arg == "--skin"   ? view.Skin
       : arg == "--weapon" ? view.Weapon
                           : view.WeaponSkin) = argv[++i];
    } else if (IsModelName(arg)) {
      (options.View ? *options.View : options.View.emplace()).Model = arg;
    } else if (arg == "--no-autoexec") {
      options.AutoexecFile.clear();
      options.UserAutoexecFile.clear();
    } else if (arg == "--no-dialogs") {
      quarn::platform::SetNoDialogs(true);
    } else if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    } else if (arg == "--version" || arg == "-v") {
      std::printf("%s\n", Version);
      return 0;
    } else if (arg.ends_with(".bot") && arg[0] != '-') {
      options.BotFile = arg;
    } else {
      std::fprintf(stderr, "quarn: unknown option '%s'\n", arg.c_str());
      PrintHint();
      return 2;
    }
  }

  if (options.View && (options.View->Model.empty() ||
                       (options.View->Weapon.empty() && !options.View->WeaponSkin.empty()))) {
    std::fprintf(stderr,
                 "quarn: --skin and --weapon need --view MODEL; --weapon-skin needs --weapon\n");
    PrintHint();
    return 2;
  }

  std::string reason;
  if (!quarn::platform::StartWindowSystem(reason)) {
    std::fprintf(stderr, "quarn: cannot open a window: %s\n", reason.c_str());
    return 1;
  }
  quarn::platform::CatchTerminationSignals();
  int status = 0;
  try {
    quarn::shell::TMainForm form(options);
    form.ExecStartupLines();
    quarn::platform::Application().Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quarn: %s\n", error.what());
    status = 1;
  }
  quarn::platform::StopWindowSystem();
  if (const int signal = quarn::platform::TerminationSignal()) return 128 + signal;
  return status;
}
