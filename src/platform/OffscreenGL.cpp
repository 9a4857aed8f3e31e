#include "platform/OffscreenGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdlib>
#include <cstring>

namespace quarn::platform {

namespace {

// The platforms tried, in order, with the name Kind() reports.
struct TEGLPlatform {
  EGLenum Platform;
  const char* Kind;
};
constexpr TEGLPlatform EGLPlatforms[] = {
    {EGL_PLATFORM_SURFACELESS_MESA, "EGL surfaceless"},
    {EGL_PLATFORM_DEVICE_EXT, "EGL device"},
};

std::string EGLError(const char* what)
{
  char code[16];
  std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(eglGetError()));
  return std::string(what) + " failed (" + code + ")";
}

bool HasExtension(const char* extensions, const char* name)
{
  if (!extensions) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name))
    if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
      return true;
  return false;
}

// The display of a platform: the default one, or for devices the first device EGL lists.
EGLDisplay PlatformDisplay(EGLenum platform, std::string& reason)
{
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getDisplay || !HasExtension(clientExtensions, "EGL_EXT_platform_base")) {
    reason = "EGL has no platform displays";
    return EGL_NO_DISPLAY;
  }
  void* native = EGL_DEFAULT_DISPLAY;
  EGLDeviceEXT device = nullptr;
  if (platform == EGL_PLATFORM_DEVICE_EXT) {
    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLint count = 0;
    if (!queryDevices || !queryDevices(1, &device, &count) || count < 1) {
      reason = "no EGL device";
      return EGL_NO_DISPLAY;
    }
    native = device;
  } else if (!HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
    reason = "no surfaceless platform";
    return EGL_NO_DISPLAY;
  }
  EGLDisplay display = getDisplay(platform, native, nullptr);
  if (display == EGL_NO_DISPLAY) reason = EGLError("eglGetPlatformDisplay");
  return display;
}

}  // namespace

bool TOffscreenGL::Create(std::string& reason)
{
  Release();
  reason.clear();
  for (const TEGLPlatform& platform : EGLPlatforms) {
    std::string why;
    if (TryEGL(static_cast<int>(platform.Platform), why)) {
      FKind = platform.Kind;
      return true;
    }
    reason += (reason.empty() ? "" : "; ") + std::string(platform.Kind) + ": " + why;
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return false;
  TPixelFormat format;
  format.RedBits = format.GreenBits = format.BlueBits = 8;
  format.DepthBits = 16;
  std::string why;
  // The frame buffer object is drawn to, not the window: its size does not matter.
  if (FWindow.Create(16, 16, format, why)) {
    FKind = "hidden window";
    return true;
  }
  reason += "; hidden window: " + why;
  return false;
}

bool TOffscreenGL::TryEGL(int platform, std::string& reason)
{
  EGLDisplay display = PlatformDisplay(static_cast<EGLenum>(platform), reason);
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    reason = EGLError("eglInitialize");
    return false;
  }
  FDisplay = display;
  // Models are drawn with fixed-function OpenGL: a desktop (compatibility) context.
  if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context") ||
      !eglBindAPI(EGL_OPENGL_API)) {
    reason = "no desktop OpenGL without a surface";
    Release();
    return false;
  }
  const EGLint attributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) config = nullptr;
  // Without a config, EGL_KHR_no_config_context may still give a context.
  FContext =
      eglCreateContext(display, config ? config : EGLConfig(nullptr), EGL_NO_CONTEXT, nullptr);
  if (FContext == EGL_NO_CONTEXT) {
    FContext = nullptr;
    reason = EGLError("eglCreateContext");
    Release();
    return false;
  }
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, FContext)) {
    reason = EGLError("eglMakeCurrent");
    Release();
    return false;
  }
  return true;
}

void TOffscreenGL::Release()
{
  if (FDisplay) {
    eglMakeCurrent(FDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (FContext) eglDestroyContext(FDisplay, FContext);
    eglTerminate(FDisplay);
  }
  FDisplay = nullptr;
  FContext = nullptr;
  FWindow.Release();
  FKind.clear();
}

}  // namespace quarn::platform
