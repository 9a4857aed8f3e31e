#include "platform/Window.h"

#include <SDL.h>

#include <set>
#include <stdexcept>

#include "platform/Application.h"
#include "platform/WindowEvents.h"

namespace quarn::platform {

uint32_t TimerEventType()
{
  static const uint32_t type = SDL_RegisterEvents(1);
  return type;
}

TWindow::TWindow(const std::string& caption, int clientWidth, int clientHeight)
{
  FHandle = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             clientWidth, clientHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!FHandle) throw std::runtime_error(std::string("Cannot create window: ") + SDL_GetError());
  SDL_StartTextInput();
}

TWindow::~TWindow()
{
  if (Application().MainWindow() == this) Application().SetMainWindow(nullptr);
  SDL_DestroyWindow(FHandle);
}

void TWindow::Show()
{
  SDL_ShowWindow(FHandle);
  SDL_RaiseWindow(FHandle);
}

void TWindow::Close()
{
  FClosing = true;
  if (Application().MainWindow() == this) Application().Terminate();
}

void TWindow::SetResizable(bool value)
{
  SDL_SetWindowResizable(FHandle, value ? SDL_TRUE : SDL_FALSE);
}

bool LeftMouseButtonHeld() { return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0; }

int TWindow::ClientWidth() const
{
  int w = 0, h = 0;
  SDL_GetWindowSize(FHandle, &w, &h);
  return w;
}

int TWindow::ClientHeight() const
{
  int w = 0, h = 0;
  SDL_GetWindowSize(FHandle, &w, &h);
  return h;
}

namespace {

// Timers alive on the GUI thread; a tick already queued for a destroyed timer is dropped.
std::set<TWindowTimer*>& LiveTimers()
{
  static std::set<TWindowTimer*> timers;
  return timers;
}

Uint32 PushTick(Uint32 interval, void* timer)
{
  SDL_Event event{};
  event.type = TimerEventType();
  event.user.data1 = timer;
  SDL_PushEvent(&event);
  return interval;
}

}  // namespace

TWindowTimer::TWindowTimer(uint32_t interval) : FInterval(interval) { LiveTimers().insert(this); }

TWindowTimer::~TWindowTimer()
{
  SetEnabled(false);
  LiveTimers().erase(this);
}

void TWindowTimer::SetEnabled(bool enabled)
{
  if (enabled == Enabled()) return;
  if (enabled) {
    FTimerId = SDL_AddTimer(FInterval, PushTick, this);
  } else {
    SDL_RemoveTimer(FTimerId);
    FTimerId = 0;
  }
}

void TWindowTimer::Deliver(void* timer)
{
  auto* t = static_cast<TWindowTimer*>(timer);
  if (LiveTimers().count(t) && t->Enabled() && t->OnTimer) t->OnTimer();
}

}  // namespace quarn::platform
