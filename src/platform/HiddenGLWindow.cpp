#include "platform/HiddenGLWindow.h"

#include <SDL.h>

#include <cstdlib>

namespace quarn::platform {

namespace {

constexpr const char* OffscreenDriver = "offscreen";  // EGL, no display

}  // namespace

bool THiddenGLWindow::Create(int width, int height, const TPixelFormat& format, std::string& reason,
                             bool withContext)
{
  Release();
  // With no display to talk to, probing the window systems only prints their complaints.
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  bool offscreenTried = chosen && std::string(chosen) == OffscreenDriver;
  if (!chosen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, OffscreenDriver);
    offscreenTried = true;
  }
  if (TryDriver(width, height, format, withContext, reason)) return true;
  if (offscreenTried) return false;
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, OffscreenDriver, SDL_HINT_OVERRIDE);
  std::string offscreenReason;
  if (TryDriver(width, height, format, withContext, offscreenReason)) return true;
  reason += "; " + std::string(OffscreenDriver) + ": " + offscreenReason;
  return false;
}

bool THiddenGLWindow::TryDriver(int width, int height, const TPixelFormat& format, bool withContext,
                                std::string& reason)
{
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    reason = SDL_GetError();
    return false;
  }
  FVideo = true;
  RequestPixelFormat(format);  // the window system must be up to take it
  FWindow = SDL_CreateWindow("quarn", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                             height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (FWindow && !withContext) return true;
  if (FWindow) FContext = SDL_GL_CreateContext(FWindow);
  if (FContext && SDL_GL_MakeCurrent(FWindow, FContext) == 0) {
    SDL_GL_SetSwapInterval(0);  // nothing is shown: a swap never waits for the display
    return true;
  }
  reason = SDL_GetError();
  Release();
  return false;
}

void THiddenGLWindow::Release()
{
  if (FContext) SDL_GL_DeleteContext(FContext);
  if (FWindow) SDL_DestroyWindow(FWindow);
  if (FVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  FContext = nullptr;
  FWindow = nullptr;
  FVideo = false;
}

}  // namespace quarn::platform
