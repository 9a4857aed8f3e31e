// What a script's run changes as it goes: the pending jump, the call frames and depth, the
// stop request and the blocking flag. Each TScript owns one, so a script run by a host
// function (a bot file loaded from a console line), or a second engine in the process, never
// sees another script's state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/Expr.h"
#include "script/Types.h"

namespace quarn::script {

// A break or continue that has been executed and not yet reached its loop: nodes that
// evaluate a sequence stop at once while one is pending, and the loop takes it.
enum class TJump : uint8_t { None, Break, Continue };

// The working storage of one call at one nesting depth: argument types, the matched types,
// the prepared argument list and the temporary constant nodes for value arguments. Kept for
// reuse, so a call in the steady state allocates nothing (string buffers included).
struct TCallFrame {
  std::vector<TType> Types;
  std::vector<TType> Actual;
  std::vector<TExpr*> Prepared;
  std::vector<std::unique_ptr<TConstExpr>> Temps;
};

class TRunState {
public:
  TJump PendingJump = TJump::None;
  bool StopRequested = false;  // the next call or loop test raises EStop
  bool Blocking = false;       // when false, window messages are pumped after every call
  size_t CallDepth = 0;

  TCallFrame& Frame(size_t depth)
  {
    while (FFrames.size() <= depth) FFrames.push_back(std::make_unique<TCallFrame>());
    return *FFrames[depth];
  }

private:
  std::vector<std::unique_ptr<TCallFrame>> FFrames;
};

}  // namespace quarn::script
