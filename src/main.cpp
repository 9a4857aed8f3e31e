// quarn: the animated MD2 character demo.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/WindowSystem.h"
#include "shell/MainForm.h"

namespace {

constexpr const char* kVersion = "quarn 1.0";

void PrintUsage(std::FILE* out)
{
  std::fprintf(out,
               "usage: quarn [--windowed | --fullscreen] [--exec LINE]... [--no-autoexec]\n"
               "             [--no-dialogs] [--help] [--version]\n"
               "\n"
               "  --windowed     run in a 640x480 window without asking\n"
               "  --fullscreen   switch the display to 640x480 without asking\n"
               "  --exec LINE    after start-up, enter LINE at the console as if typed\n"
               "                 (repeatable; the lines run in order)\n"
               "  --no-autoexec  do not run autoexec.txt from the program's folder at start-up\n"
               "  --no-dialogs   print message boxes on stderr and take their default answer\n"
               "                 (also QUARN_NO_DIALOGS=1)\n"
               "  --help         show this text\n"
               "  --version      show the version\n");
}

}  // namespace

int main(int argc, char** argv)
{
  std::setlocale(LC_ALL, "");
  quarn::shell::TMainFormOptions options;
  options.AutoexecFile = quarn::platform::ExeDir() + "autoexec.txt";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--windowed") {
      options.Screen = quarn::shell::TScreenChoice::Windowed;
    } else if (arg == "--fullscreen") {
      options.Screen = quarn::shell::TScreenChoice::FullScreen;
    } else if (arg == "--exec") {
      if (i + 1 == argc) {
        std::fprintf(stderr, "quarn: --exec needs a LINE\n");
        PrintUsage(stderr);
        return 2;
      }
      options.ExecLines.push_back(argv[++i]);
    } else if (arg == "--no-autoexec") {
      options.AutoexecFile.clear();
    } else if (arg == "--no-dialogs") {
      quarn::platform::SetNoDialogs(true);
    } else if (arg == "--help") {
      PrintUsage(stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("%s\n", kVersion);
      return 0;
    } else {
      std::fprintf(stderr, "quarn: unknown option '%s'\n", arg.c_str());
      PrintUsage(stderr);
      return 2;
    }
  }

  std::string reason;
  if (!quarn::platform::StartWindowSystem(reason)) {
    std::fprintf(stderr, "quarn: cannot start the window system: %s\n", reason.c_str());
    return 1;
  }
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
  return status;
}
