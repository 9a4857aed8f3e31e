#pragma once

struct SDL_Window;

namespace quarn::platform {

// A window as the window system knows it (TWindow::Handle).
using TWindowHandle = SDL_Window*;
// A GL rendering context; null for none.
using TGLContextHandle = void*;

// Minimums for the GL surface of windows created from now on: on X11 the visual is chosen
// when the window is created. Always RGBA, compatibility profile.
struct TPixelFormat {
  bool DoubleBuffered = true;
  int RedBits = 0;
  int GreenBits = 0;
  int BlueBits = 0;
  int DepthBits = 0;
  int StencilBits = 0;
};
void RequestPixelFormat(const TPixelFormat& format);

// Null when the window has no GL surface or the driver refuses.
TGLContextHandle CreateGLContext(TWindowHandle window);
// A null context leaves the thread with none current.
void MakeGLContextCurrent(TWindowHandle window, TGLContextHandle context);
void DeleteGLContext(TGLContextHandle context);
void SwapGLBuffers(TWindowHandle window);

// Switches the display to width x height at bits per pixel, the window full screen; (0, 0, 0)
// restores the desktop mode. Returns whether a mode was set as asked (the fallbacks count as
// set).
bool SetDisplayMode(TWindowHandle window, int width, int height, int bits);
void RaiseWindow(TWindowHandle window);
void SetWindowBordered(TWindowHandle window, bool bordered);

}  // namespace quarn::platform
