#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace quarn::platform {

class TWindow;

// The application object: the event loop, the idle handler, activation notifications, the
// message pump and the terminate request. One instance drives the program (Application());
// tests may create their own and drive it by hand.
class TApplication {
public:
  // Called whenever the event queue is empty while the application is active. Setting `done`
  // to false asks to be called again at once; true lets the loop wait for the next event.
  using IdleHandler = std::function<void(bool& done)>;
  using ActivationHook = std::function<void(bool active)>;

  IdleHandler OnIdle;

  int AddActivationHook(ActivationHook hook);  // returns an id for RemoveActivationHook
  void RemoveActivationHook(int id);

  bool Active() const { return FActive; }
  // Activation changed (window focus); notifies every hook in the order added.
  void SetActive(bool active);

  void SetMainWindow(TWindow* window) { FMainWindow = window; }
  TWindow* MainWindow() const { return FMainWindow; }

  // Runs the loop until Terminate: handle every pending event, then idle or wait.
  void Run();
  // Handles every pending event once and returns; never runs the idle handler.
  void ProcessMessages();
  // Whether the program is ending or a quit request or an Escape key press waits in the event
  // queue. Nothing is handled: the events stay for the loop. For long work that must stop when
  // asked but cannot let other handlers run in the middle of it.
  bool QuitPending();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }

  // The report for an exception escaping an event handler or a frame: OnException when set,
  // else a line on stderr and an error message box (unless dialogs are off). The loop goes on.
  void HandleException(const std::exception& error);
  void HandleException(const std::string& message);
  std::function<void(const std::string& message)> OnException;

  std::string Title = "Quarn MD2 demo";

private:
  void Dispatch(const SDL_Event& event);
  void DispatchGuarded(const SDL_Event& event);

  struct Hook {
    int id;
    ActivationHook hook;
  };
  std::vector<Hook> FHooks;
  int FNextHookId = 1;
  bool FActive = true;  // the application starts active
  bool FTerminated = false;
  TWindow* FMainWindow = nullptr;
};

TApplication& Application();

// Cursor visibility. Hiding it also switches to relative mouse motion, so the mouse can turn
// the view without the cursor leaving the window.
void ShowCursor(bool show);

// Mouse motion summed since the last call, in pixels (right and down positive).
void TakeMouseMotion(int& dx, int& dy);

// Mouse wheel notches summed since the last call (away from the user positive).
int TakeMouseWheel();

// The modifier keys (ssShift, ssCtrl, ssAlt) held when the key event being handled was made.
uint16_t KeyShiftState();

}  // namespace quarn::platform
