#include "images/LoadStop.h"

#include <atomic>

namespace quarn::images {

namespace {

std::atomic<TStopPoll> stopPoll{nullptr};

}  // namespace

void SetStopPoll(TStopPoll poll) { stopPoll = poll; }

bool TStopCheck::AskPoll()
{
  const TStopPoll poll = stopPoll;
  return poll && poll();
}

}  // namespace quarn::images
