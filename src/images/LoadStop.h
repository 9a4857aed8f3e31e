#pragma once
#include <cstddef>

namespace quarn::images {

// Reading and decoding a large image takes seconds. Long loops ask the stop poll between
// pieces of work of about StopPollWork bytes or pixels (a few milliseconds each); when it
// answers true the load ends with StoppedReason as its failure. The program sets a poll that
// handles pending window messages and reports whether it is ending; without one, loads never
// stop.
using TStopPoll = bool (*)();
void SetStopPoll(TStopPoll poll);

inline constexpr size_t StopPollWork = size_t(1) << 20;
inline constexpr const char* StoppedReason = "loading stopped: the program is ending";

// Counts work done and asks the poll once StopPollWork units have been done since it last
// asked. Once the poll has said stop, it keeps saying so.
class TStopCheck {
public:
  bool Stopped(size_t work)
  {
    FDone += work;
    if (FDone < StopPollWork) return FStopped;
    FDone = 0;
    return FStopped = FStopped || AskPoll();
  }

private:
  static bool AskPoll();

  size_t FDone = 0;
  bool FStopped = false;
};

}  // namespace quarn::images
