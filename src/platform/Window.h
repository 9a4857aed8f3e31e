#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct SDL_Window;

namespace quarn::platform {

// The program's top-level window: fixed border, centred, created hidden and shown once its
// creation handler has run. Key events carry virtual-key codes; characters are 8-bit.
class TWindow {
public:
  TWindow(const std::string& caption, int clientWidth, int clientHeight);
  ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  std::function<void(uint16_t key)> OnKeyDown;
  std::function<void(uint16_t key)> OnKeyUp;
  std::function<void(char key)> OnKeyPress;

  void Show();
  // Asks the application to end; the loop returns after the current event.
  void Close();
  bool Closing() const { return FClosing; }

  // Lets the user resize the window (the viewer); the demo's window keeps its size.
  void SetResizable(bool value);

  SDL_Window* Handle() const { return FHandle; }
  int ClientWidth() const;
  int ClientHeight() const;

private:
  SDL_Window* FHandle = nullptr;
  bool FClosing = false;
};

// Whether the left mouse button is held down now.
bool LeftMouseButtonHeld();

// A window timer: ticks every Interval milliseconds, delivered through the event loop on the
// GUI thread (never from another thread).
class TWindowTimer {
public:
  explicit TWindowTimer(uint32_t interval = 200);
  ~TWindowTimer();
  TWindowTimer(const TWindowTimer&) = delete;
  TWindowTimer& operator=(const TWindowTimer&) = delete;

  std::function<void()> OnTimer;
  void SetEnabled(bool enabled);
  bool Enabled() const { return FTimerId != 0; }

  // Called by the event loop for the timer's event.
  static void Deliver(void* timer);

private:
  uint32_t FInterval;
  int FTimerId = 0;
};

}  // namespace quarn::platform
