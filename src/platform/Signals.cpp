#include "platform/Signals.h"

#include <SDL.h>
#include <unistd.h>

#include <csignal>

namespace quarn::platform {

namespace {

volatile std::sig_atomic_t terminationSignal = 0;
volatile std::sig_atomic_t modalDepth = 0;

extern "C" void OnTerminationSignal(int signal)
{
  terminationSignal = signal;
  if (modalDepth > 0) _exit(128 + signal);
  // As the window system's own handler does: a quit event for the loop.
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
}

}  // namespace

void CatchTerminationSignals()
{
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int TerminationSignal() { return terminationSignal; }

TModalSection::TModalSection() { modalDepth = modalDepth + 1; }

TModalSection::~TModalSection() { modalDepth = modalDepth - 1; }

}  // namespace quarn::platform
