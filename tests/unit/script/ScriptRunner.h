// A registry with a Print host function and a script, for tests that run script text and
// compare what it printed or the error it raised.
#pragma once

#include <string>

#include "script/Func.h"
#include "script/Script.h"

namespace quarn::script::test {

// The text form Print uses: integers in decimal, floats as the shortest text that reads back,
// True/False, strings unchanged, empty as nothing.
std::string PrintText(const Variant& value);

class TScriptRunner {
public:
  TScriptRunner();
  // Runs text; returns what Print wrote (each call one line ending in "\n"), or, when the run
  // raised, "ERROR: " and the message (or "EXCEPTION: " for anything but a script error).
  std::string Run(const std::string& text);

  TFuncs Funcs;
  TFunc Print;
  TScript Script;
  std::string Output;
};

}  // namespace quarn::script::test
