// qscript-bot: qscript with --bot, linked with the bot and its commands (qscript runs it).
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "BotRun.h"
#include "QScript.h"

int main(int argc, char** argv)
{
  std::setlocale(LC_ALL, "");
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return quarn::qscript::Main(args, std::cout, std::cerr, quarn::qscript::RunBotFile);
}
