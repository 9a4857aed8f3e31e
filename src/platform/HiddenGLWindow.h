#pragma once
#include <string>

#include "platform/GLContext.h"

namespace quarn::platform {

// A hidden window, with a current GL context unless asked for none: drawing that is uploaded,
// read back or timed but never shown (qscript's skins, tests, benchmarks). Swaps do not wait
// for the display.
class THiddenGLWindow {
public:
  THiddenGLWindow() = default;
  ~THiddenGLWindow() { Release(); }
  THiddenGLWindow(const THiddenGLWindow&) = delete;
  THiddenGLWindow& operator=(const THiddenGLWindow&) = delete;

  // The window system is tried first, then the offscreen driver (no display needed). False,
  // with the reason, when neither gives a window (and a current context, when withContext).
  bool Create(int width, int height, const TPixelFormat& format, std::string& reason,
              bool withContext = true);
  void Release();

  TWindowHandle Handle() const { return FWindow; }
  TGLContextHandle Context() const { return FContext; }

private:
  bool TryDriver(int width, int height, const TPixelFormat& format, bool withContext,
                 std::string& reason);

  bool FVideo = false;
  TWindowHandle FWindow = nullptr;
  TGLContextHandle FContext = nullptr;
};

}  // namespace quarn::platform
