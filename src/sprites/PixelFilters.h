#pragma once
#include <cstdint>

#include "images/PngWriter.h"

namespace quarn::sprites {

// The sizes a frame may be drawn at, as a multiple of its width and height, to be filtered down.
inline constexpr int32_t MaximumDownFactor = 8;

// The widest outline DrawOutline draws, in pixels.
inline constexpr int32_t MaximumOutlineWidth = 16;

// A frame drawn at `factor` times the width and height, each factor x factor block averaged into
// one pixel (a remainder of rows or columns past the last whole block is left out). Colour is
// weighted by alpha (colour = sum(rgb * a) / sum(a), alpha = sum(a) / factor^2, rounded), so
// edges get partial alpha with the colour of the samples that cover them, never darkened by the
// transparent background; a block with no alpha at all comes out (0,0,0,0). An opaque frame
// (or one without alpha) gets the plain average. Factor 1 or less returns the frame as it is;
// a factor above MaximumDownFactor, or a frame smaller than one block, gives an empty frame.
images::TFramePixels DownFilter(const images::TFramePixels& large, int32_t factor);

// Pixels kept elsewhere (a mapped read-back buffer), laid out as a frame's.
struct TPixelView {
  const uint8_t* Data = nullptr;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Alpha = true;
};
// DownFilter of pixels in place; factor 1 copies them.
images::TFramePixels DownFilter(const TPixelView& large, int32_t factor);

// Draws an outline `width` pixels wide (1..MaximumOutlineWidth) outside the alpha of an RGBA
// frame: under every pixel, the outline colour at the largest alpha within a disc of radius
// `width` around it, the pixel laid over it (straight alpha). Fully opaque pixels stay exactly
// as they are; transparent ones near the model take the outline colour. A frame without alpha,
// or a width below 1, is left alone; wider outlines are drawn MaximumOutlineWidth wide.
void DrawOutline(images::TFramePixels& frame, int32_t width, const uint8_t colour[3]);

}  // namespace quarn::sprites
