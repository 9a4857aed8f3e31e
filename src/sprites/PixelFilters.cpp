#include "sprites/PixelFilters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quarn::sprites {

namespace {

constexpr uint32_t Opaque = 255;
constexpr size_t Rgba = 4;

// Sums of one output pixel's block: colour weighted by alpha, and alpha.
struct TBlockSums {
  uint32_t Red = 0, Green = 0, Blue = 0, Alpha = 0;
};

// Rounded a / b for b > 0.
uint32_t RoundedDivide(uint32_t a, uint32_t b) { return (a + b / 2) / b; }

// Sums the blocks of output row y into `sums` and writes the row: `Factor` and `Bytes` fixed
// at compile time so the block loops unroll. Most of a sprite is background: a run of Factor
// samples without alpha adds nothing and is passed over.
template <int32_t Factor, size_t Bytes>
void FilterRow(const TPixelView& large, int32_t y, std::vector<TBlockSums>& sums, uint8_t* out)
{
  constexpr uint32_t Samples = uint32_t(Factor) * uint32_t(Factor);
  const size_t largeRow = size_t(large.Width) * Bytes;
  std::fill(sums.begin(), sums.end(), TBlockSums{});
  for (int32_t row = 0; row < Factor; ++row) {
    const uint8_t* in = large.Data + (size_t(y) * size_t(Factor) + size_t(row)) * largeRow;
    for (TBlockSums& block : sums) {
      if constexpr (Bytes == Rgba) {
        uint32_t any = 0;
        for (int32_t k = 0; k < Factor; ++k) any |= in[size_t(k) * Rgba + 3];
        if (any == 0) {
          in += size_t(Factor) * Rgba;
          continue;
        }
      }
      for (int32_t k = 0; k < Factor; ++k, in += Bytes) {
        const uint32_t a = Bytes == Rgba ? in[3] : Opaque;
        block.Red += in[0] * a;
        block.Green += in[1] * a;
        block.Blue += in[2] * a;
        block.Alpha += a;
      }
    }
  }
  for (const TBlockSums& block : sums) {
    if (block.Alpha == 0) {
      std::fill(out, out + Bytes, uint8_t(0));
    } else {
      out[0] = uint8_t(RoundedDivide(block.Red, block.Alpha));
      out[1] = uint8_t(RoundedDivide(block.Green, block.Alpha));
      out[2] = uint8_t(RoundedDivide(block.Blue, block.Alpha));
      if constexpr (Bytes == Rgba) out[3] = uint8_t(RoundedDivide(block.Alpha, Samples));
    }
    out += Bytes;
  }
}

template <int32_t Factor>
void FilterRows(const TPixelView& large, images::TFramePixels& small)
{
  std::vector<TBlockSums> sums(static_cast<size_t>(small.Width));
  const size_t bytes = small.PixelBytes(), row = size_t(small.Width) * bytes;
  for (int32_t y = 0; y < small.Height; ++y) {
    uint8_t* out = small.Rgb.data() + size_t(y) * row;
    if (bytes == Rgba)
      FilterRow<Factor, Rgba>(large, y, sums, out);
    else
      FilterRow<Factor, 3>(large, y, sums, out);
  }
}

using TFilterRows = void (*)(const TPixelView&, images::TFramePixels&);

// Indexed by factor; factors the sprites use get their own loops.
constexpr TFilterRows Filters[MaximumDownFactor + 1] = {
    nullptr,       nullptr,       FilterRows<2>, FilterRows<3>, FilterRows<4>,
    FilterRows<5>, FilterRows<6>, FilterRows<7>, FilterRows<8>};

}  // namespace

images::TFramePixels DownFilter(const TPixelView& large, int32_t factor)
{
  const int32_t width = large.Width / std::max(factor, 1), height = large.Height / std::max(factor, 1);
  images::TFramePixels small;
  small.Alpha = large.Alpha;
  if (factor < 1 || factor > MaximumDownFactor || width <= 0 || height <= 0 || !large.Data)
    return small;
  small.Width = width;
  small.Height = height;
  if (factor == 1) {
    small.Rgb.assign(large.Data,
                     large.Data + size_t(width) * size_t(height) * small.PixelBytes());
    return small;
  }
  small.Rgb.resize(size_t(width) * size_t(height) * small.PixelBytes());
  Filters[factor](large, small);
  return small;
}

images::TFramePixels DownFilter(const images::TFramePixels& large, int32_t factor)
{
  if (factor <= 1) return large;
  if (large.Rgb.size() < size_t(large.Width) * size_t(large.Height) * large.PixelBytes())
    return images::TFramePixels{0, 0, {}, large.Alpha};
  return DownFilter(TPixelView{large.Rgb.data(), large.Width, large.Height, large.Alpha}, factor);
}

void DrawOutline(images::TFramePixels& frame, int32_t width, const uint8_t colour[3])
{
  const int32_t w = frame.Width, h = frame.Height;
  if (!frame.Alpha || width < 1 || w <= 0 || h <= 0 ||
      frame.Rgb.size() < size_t(w) * size_t(h) * Rgba)
    return;
  const int32_t radius = std::min(width, MaximumOutlineWidth);
  const size_t pixels = size_t(w) * size_t(h);
  // The disc is rows dy = -radius..radius, each `reach[|dy|]` pixels either side.
  std::vector<int32_t> reach(size_t(radius) + 1);
  for (int32_t dy = 0; dy <= radius; ++dy)
    reach[size_t(dy)] = int32_t(std::floor(std::sqrt(double(radius * radius - dy * dy)) + 1e-9));
  // `spread` holds each row's largest alpha within `level` pixels either side, grown one pixel
  // a level; the rows whose reach is that level are gathered into `under` as it passes.
  std::vector<uint8_t> spread(pixels), grown(pixels), under(pixels, 0);
  for (size_t i = 0; i < pixels; ++i) spread[i] = frame.Rgb[i * Rgba + 3];
  for (int32_t level = 0; level <= radius; ++level) {
    if (level > 0) {
      for (int32_t y = 0; y < h; ++y) {
        const uint8_t* in = spread.data() + size_t(y) * size_t(w);
        uint8_t* out = grown.data() + size_t(y) * size_t(w);
        for (int32_t x = 0; x < w; ++x) {
          uint8_t m = in[x];
          if (x > 0) m = std::max(m, in[x - 1]);
          if (x + 1 < w) m = std::max(m, in[x + 1]);
          out[x] = m;
        }
      }
      spread.swap(grown);
    }
    for (int32_t dy = 0; dy <= radius; ++dy) {
      if (reach[size_t(dy)] != level) continue;
      for (const int32_t sign : {-1, 1}) {
        if (dy == 0 && sign > 0) continue;
        const int32_t offset = sign * dy;
        for (int32_t y = std::max(0, -offset); y < h && y + offset < h; ++y) {
          const uint8_t* in = spread.data() + size_t(y + offset) * size_t(w);
          uint8_t* out = under.data() + size_t(y) * size_t(w);
          for (int32_t x = 0; x < w; ++x) out[x] = std::max(out[x], in[x]);
        }
      }
    }
  }
  // The pixel over the outline, straight alpha, in units of 255 * 255.
  for (size_t i = 0; i < pixels; ++i) {
    uint8_t* p = frame.Rgb.data() + i * Rgba;
    const uint32_t a = p[3], below = under[i];
    if (a == Opaque || below == 0) continue;
    const uint32_t covered = below * (Opaque - a);
    const uint32_t total = a * Opaque + covered;
    for (int c = 0; c < 3; ++c)
      p[c] = uint8_t(RoundedDivide(p[c] * a * Opaque + colour[c] * covered, total));
    p[3] = uint8_t(RoundedDivide(total, Opaque));
  }
}

}  // namespace quarn::sprites
