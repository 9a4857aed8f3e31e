#pragma once
#include <cstdint>
#include <string>

#include "images/PngWriter.h"
#include "platform/GLContext.h"
#include "render/Vector.h"

namespace quarn::render {

// Pixel-format settings of the window's GL surface. On X11 the visual is chosen when the
// window is created, so these are requested before the window exists (SetupPixelFormat);
// they are minimums, the driver may give more.
inline constexpr bool DoubleBuffered = true;
inline constexpr bool ColorIndexMode = false;
inline constexpr int ColorBits = 16;
inline constexpr int DepthBits = 16;
inline constexpr int StencilBits = 8;

// Requests the pixel format for the window about to be created (call before creating it).
// Colour-index mode does not exist here: RGBA is always used.
void SetupPixelFormat();
// The settings above as the window system takes them.
platform::TPixelFormat ProgramPixelFormat();

// Projection and viewport of a camera.
struct TViewVolume {
  double FieldOfView = 30.0;  // vertical, degrees
  double NearPlane = 1.0;
  double FarPlane = 100.0;
  int32_t ViewportX = 0;
  int32_t ViewportY = 0;
  int32_t ViewportWidth = 0;   // also the aspect ratio's numerator
  int32_t ViewportHeight = 0;  // and denominator

  // Loads the perspective projection and sets the viewport; leaves GL_PROJECTION current.
  void Apply() const;
};

// The window's rendering context. The window itself belongs to the caller.
class TOpenGL {
public:
  explicit TOpenGL(platform::TWindowHandle form);
  ~TOpenGL();  // ReleaseContext
  TOpenGL(const TOpenGL&) = delete;
  TOpenGL& operator=(const TOpenGL&) = delete;

  void SetFullScreen(bool value);
  void CreateContext();
  void MakeCurrent();
  void BeginFrame();  // clear colour, depth and stencil
  void EndFrame();    // swap buffers
  void ReleaseContext();

  bool FullScreen = false;
  int32_t Width = 640;
  int32_t Height = 480;

  bool HasContext() const { return RC != nullptr; }

private:
  platform::TWindowHandle Form;
  platform::TGLContextHandle RC = nullptr;
};

std::string GetRendererString();
std::string GetExtensionsString();
// Items of an extensions text: item 0 keeps the space after it, later items the space before
// them, and a text ending in a space gives one final item that is a lone space.
std::string GetExtension(const std::string& extensions, int n);
int GetExtensionCount(const std::string& extensions);
std::string GetExtension(int n);  // of the current context
int GetExtensionCount();

// The current read buffer's pixels, the whole `width` x `height` area from the lower left.
images::TFramePixels ReadFramePixels(int32_t width, int32_t height);

}  // namespace quarn::render
