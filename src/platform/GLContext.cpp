#include "platform/GLContext.h"

#include <SDL.h>

#include <algorithm>

namespace quarn::platform {

void RequestPixelFormat(const TPixelFormat& format)
{
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.DoubleBuffered ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.RedBits);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.GreenBits);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.BlueBits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.DepthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.StencilBits);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

TGLContextHandle CreateGLContext(TWindowHandle window) { return SDL_GL_CreateContext(window); }

void MakeGLContextCurrent(TWindowHandle window, TGLContextHandle context)
{
  SDL_GL_MakeCurrent(window, context);
}

void DeleteGLContext(TGLContextHandle context) { SDL_GL_DeleteContext(context); }

void SwapGLBuffers(TWindowHandle window) { SDL_GL_SwapWindow(window); }

bool SetDisplayMode(TWindowHandle window, int width, int height, int bits)
{
  if (!window) return false;
  if (width == 0 && height == 0 && bits == 0) {
    SDL_SetWindowFullscreen(window, 0);
    return true;
  }
  auto enter = [window](const SDL_DisplayMode& mode) {
    return SDL_SetWindowDisplayMode(window, &mode) == 0 &&
           SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
  };

  // 1. A mode offered exactly as asked.
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  const int count = SDL_GetNumDisplayModes(display);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(display, i, &mode) == 0 && mode.w == width && mode.h == height &&
        static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits && enter(mode))
      return true;
  }
  // 2. Fallbacks in order: size and depth as near as offered, depth alone, size alone.
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(display, &desktop) == 0) {
    SDL_DisplayMode wanted = desktop, closest;
    wanted.w = width;
    wanted.h = height;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && enter(closest)) return true;
    if (static_cast<int>(SDL_BITSPERPIXEL(desktop.format)) == bits && enter(desktop)) return true;
    wanted.format = 0;
    if (SDL_GetClosestDisplayMode(display, &wanted, &closest) && enter(closest)) return true;
  }
  // 3. Nothing worked: back to the desktop mode.
  SDL_SetWindowFullscreen(window, 0);
  return false;
}

void RaiseWindow(TWindowHandle window) { SDL_RaiseWindow(window); }

void SetWindowBordered(TWindowHandle window, bool bordered)
{
  SDL_SetWindowBordered(window, bordered ? SDL_TRUE : SDL_FALSE);
}

}  // namespace quarn::platform
