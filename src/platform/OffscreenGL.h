#pragma once
#include <string>

#include "platform/HiddenGLWindow.h"

namespace quarn::platform {

// A GL context for drawing that is read back and never shown, made current on the calling
// thread. It has no window-system surface of its own worth drawing to: callers draw into a
// frame buffer object. EGL is tried first (Mesa's surfaceless platform, then the first EGL
// device), so no display is needed; when EGL gives no desktop GL context and a display
// exists, a hidden window's context stands in.
class TOffscreenGL {
public:
  TOffscreenGL() = default;
  ~TOffscreenGL() { Release(); }
  TOffscreenGL(const TOffscreenGL&) = delete;
  TOffscreenGL& operator=(const TOffscreenGL&) = delete;

  // False, with every attempt's reason, when no context could be made current.
  bool Create(std::string& reason);
  void Release();

  // How the context was made: "EGL surfaceless", "EGL device" or "hidden window".
  const std::string& Kind() const { return FKind; }

private:
  bool TryEGL(int platform, std::string& reason);

  void* FDisplay = nullptr;  // EGLDisplay
  void* FContext = nullptr;  // EGLContext
  THiddenGLWindow FWindow;
  std::string FKind;
};

}  // namespace quarn::platform
