#include "platform/Application.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/MessageBox.h"
#include "platform/Signals.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "platform/WindowEvents.h"

namespace quarn::platform {

namespace {

int mouseDx = 0;
int mouseDy = 0;
int mouseWheel = 0;
uint16_t keyShift = 0;  // modifiers of the key event being handled

// Latin-1 characters of a UTF-8 text; anything outside 32..255 is dropped.
void ForEachLatin1(const char* text, const std::function<void(char)>& deliver)
{
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    uint32_t code;
    int length;
    if (*p < 0x80) {
      code = *p;
      length = 1;
    } else if ((*p & 0xE0) == 0xC0) {
      code = *p & 0x1F;
      length = 2;
    } else if ((*p & 0xF0) == 0xE0) {
      code = *p & 0x0F;
      length = 3;
    } else if ((*p & 0xF8) == 0xF0) {
      code = *p & 0x07;
      length = 4;
    } else {
      ++p;
      continue;
    }
    int i = 1;
    for (; i < length && (p[i] & 0xC0) == 0x80; ++i) code = code << 6 | (p[i] & 0x3F);
    p += i;
    if (i == length && code >= 32 && code <= 255) deliver(static_cast<char>(code));
  }
}

}  // namespace

TApplication& Application()
{
  static TApplication application;
  return application;
}

int TApplication::AddActivationHook(ActivationHook hook)
{
  FHooks.push_back({FNextHookId, std::move(hook)});
  return FNextHookId++;
}

void TApplication::RemoveActivationHook(int id)
{
  std::erase_if(FHooks, [id](const Hook& h) { return h.id == id; });
}

void TApplication::SetActive(bool active)
{
  if (active == FActive) return;
  FActive = active;
  // A hook may remove itself (a timer being destroyed); walk a copy.
  const std::vector<Hook> hooks = FHooks;
  for (const Hook& h : hooks) h.hook(active);
}

void TApplication::HandleException(const std::exception& error)
{
  HandleException(std::string(error.what()));
}

void TApplication::HandleException(const std::string& message)
{
  if (OnException) {
    OnException(message);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", Title.c_str(), message.c_str());
  if (!NoDialogs()) MessageBox(message, Title, MB_OK | MB_ICONERROR);
}

void TApplication::Run()
{
  SDL_Event event;
  while (!FTerminated) {
    while (!FTerminated && SDL_PollEvent(&event)) DispatchGuarded(event);
    if (FTerminated) break;

    bool done = true;
    if (OnIdle && FActive) {
      try {
        OnIdle(done);
      } catch (const std::exception& error) {
        HandleException(error);
      } catch (...) {
        HandleException(std::string("Unknown exception"));
      }
    }
    if (done && !FTerminated && SDL_WaitEvent(&event)) DispatchGuarded(event);
  }
}

void TApplication::ProcessMessages()
{
  SDL_Event event;
  while (!FTerminated && SDL_PollEvent(&event)) DispatchGuarded(event);
}

bool TApplication::QuitPending()
{
  if (FTerminated || TerminationSignal() != 0) return true;
  SDL_PumpEvents();
  SDL_Event events[64];
  if (SDL_PeepEvents(events, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) return true;
  const int keys = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
  for (int i = 0; i < keys; ++i)
    if (events[i].key.keysym.sym == SDLK_ESCAPE) return true;
  return false;
}

void TApplication::DispatchGuarded(const SDL_Event& event)
{
  try {
    Dispatch(event);
  } catch (const std::exception& error) {
    HandleException(error);
  } catch (...) {
    HandleException(std::string("Unknown exception"));
  }
}

void TApplication::Dispatch(const SDL_Event& event)
{
  TWindow* window = FMainWindow;
  switch (event.type) {
    case SDL_QUIT:
      if (window)
        window->Close();
      else
        Terminate();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
        SetActive(true);
      else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
        SetActive(false);
      else if (event.window.event == SDL_WINDOWEVENT_CLOSE && window)
        window->Close();
      break;
    case SDL_KEYDOWN: {
      const uint16_t key = VirtualKeyFromSDL(event.key.keysym.sym);
      if (!window || key == 0) break;
      // The event's own modifiers: by the time it is handled the keys may have been released.
      keyShift = ShiftStateFromSDL(event.key.keysym.mod);
      if (window->OnKeyDown) window->OnKeyDown(key);
      // Control characters come from their key-down, after it, as the window system does;
      // a held Enter enters one line, not one per repeat.
      const char c = ControlCharFromVirtualKey(key);
      const bool repeatedEnter = event.key.repeat && key == VK_RETURN;
      if (c && !repeatedEnter && window->OnKeyPress && !FTerminated) window->OnKeyPress(c);
      break;
    }
    case SDL_KEYUP: {
      const uint16_t key = VirtualKeyFromSDL(event.key.keysym.sym);
      keyShift = ShiftStateFromSDL(event.key.keysym.mod);
      if (window && key && window->OnKeyUp) window->OnKeyUp(key);
      break;
    }
    case SDL_TEXTINPUT:
      if (window && window->OnKeyPress) ForEachLatin1(event.text.text, window->OnKeyPress);
      break;
    case SDL_MOUSEMOTION:
      mouseDx += event.motion.xrel;
      mouseDy += event.motion.yrel;
      break;
    case SDL_MOUSEWHEEL:
      mouseWheel +=
          event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      break;
    default:
      if (event.type == TimerEventType()) TWindowTimer::Deliver(event.user.data1);
      break;
  }
}

void ShowCursor(bool show)
{
  SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  SDL_SetRelativeMouseMode(show ? SDL_FALSE : SDL_TRUE);
  mouseDx = mouseDy = 0;
}

void TakeMouseMotion(int& dx, int& dy)
{
  dx = mouseDx;
  dy = mouseDy;
  mouseDx = mouseDy = 0;
}

int TakeMouseWheel()
{
  const int notches = mouseWheel;
  mouseWheel = 0;
  return notches;
}

uint16_t KeyShiftState() { return keyShift; }

}  // namespace quarn::platform
