#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "images/PngWriter.h"

namespace quarn::sprites {

// An off-screen RGBA frame of a fixed size with a depth buffer, drawn into in the current GL
// context, and its read-back. Reads go through a ring of two pixel buffers where the context
// has them: a frame's pixels are copied out while the next is drawn.
class TFrameTarget {
public:
  TFrameTarget() = default;
  ~TFrameTarget();  // needs the context it was made in current
  TFrameTarget(const TFrameTarget&) = delete;
  TFrameTarget& operator=(const TFrameTarget&) = delete;

  // False with the reason when the frame buffer cannot be made (no frame buffer objects, or
  // the size is refused).
  bool Create(int32_t width, int32_t height, std::string& reason);
  // Directs drawing into the frame, its whole area the viewport.
  void Bind();
  // Back to the window's frame buffer.
  static void Unbind();

  // Starts reading the frame just drawn; the pixels come from the next Collect.
  void StartRead();
  // The frame whose read was started longest ago, RGBA rows bottom up; false when none is
  // waiting.
  bool Collect(images::TFramePixels& pixels);
  bool Pending() const { return FPending > 0; }

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

private:
  static constexpr int Slots = 2;

  void Release();

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  uint32_t FFramebuffer = 0;
  uint32_t FColour = 0;
  uint32_t FDepth = 0;
  uint32_t FBuffers[Slots] = {};  // pixel buffers; 0 where the context has none
  bool FBuffered = false;
  int FNext = 0;                 // slot the next StartRead fills
  int FPending = 0;              // reads started and not collected
  images::TFramePixels FDirect;  // without pixel buffers: the pixels read at once
};

}  // namespace quarn::sprites
