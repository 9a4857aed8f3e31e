// qscript: runs a program in the script language from the command line. --bot is handed to
// qscript-bot next to this executable, so that plain scripts start without loading the window,
// GL and sound libraries the bot needs.
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "QScript.h"
#include "platform/Paths.h"

namespace {

constexpr const char* BotHelper = "qscript-bot";

int RunBotHelper(const std::string& fileName, bool strict, std::ostream& out, std::ostream& err)
{
  const std::string helper = quarn::platform::ExeDir() + BotHelper;
  out.flush();
  std::string flag = "--bot", file = fileName, strictFlag = "--strict";
  char* argv[] = {const_cast<char*>(BotHelper), flag.data(), file.data(),
                  strict ? strictFlag.data() : nullptr, nullptr};
  execv(helper.c_str(), argv);
  err << "qscript: cannot run " << helper << ": " << std::strerror(errno) << '\n';
  return quarn::qscript::ExitUsage;
}

}  // namespace

int main(int argc, char** argv)
{
  std::setlocale(LC_ALL, "");
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return quarn::qscript::Main(args, std::cout, std::cerr, RunBotHelper);
}
