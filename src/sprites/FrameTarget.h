#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/PngWriter.h"
#include "render/ScreenArea.h"

namespace quarn::sprites {

// An off-screen RGBA frame of a fixed size with a depth buffer, drawn into in the current GL
// context, and its read-back, filtered down by a whole factor. Reads go through a ring of two
// pixel buffers where the context has them: a frame's pixels are copied out while the next is
// drawn. Only the area drawn on is read: the rest of the frame is known to be the clear colour.
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

  // How Collect makes a frame: each factor x factor block (factor dividing the frame's width
  // and height) filtered into one pixel as DownFilter does, and the pixels not read `clear`
  // (as the filter makes the clear colour).
  void SetCollecting(int32_t factor, const uint8_t clear[4]);

  // Starts reading the area of the frame just drawn that `drawn` holds (pixels, y from the
  // bottom; the whole frame when larger); the pixels come from the next Collect.
  void StartRead(const render::TScreenArea& drawn = render::TScreenArea::Everything());
  // The frame whose read was started longest ago, RGBA rows bottom up, at 1/factor of the
  // size; false when none is waiting.
  bool Collect(images::TFramePixels& pixels);
  bool Pending() const { return FPending > 0; }

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

private:
  static constexpr int Slots = 2;

  void Release();
  // The frame made from `read`, the pixels of `area` read from the frame.
  void Compose(const uint8_t* read, const render::TScreenArea& area,
               images::TFramePixels& pixels) const;

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  uint32_t FFramebuffer = 0;
  uint32_t FColour = 0;
  uint32_t FDepth = 0;
  uint32_t FBuffers[Slots] = {};  // pixel buffers; 0 where the context has none
  bool FBuffered = false;
  int FNext = 0;                        // slot the next StartRead fills
  int FPending = 0;                     // reads started and not collected
  render::TScreenArea FAreas[Slots];     // read into each slot
  std::vector<uint8_t> FDirect;         // without pixel buffers: the pixels read at once
  int32_t FFactor = 1;
  uint8_t FClear[4] = {0, 0, 0, 0};
};

}  // namespace quarn::sprites
