#include "sprites/GifEncoder.h"

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace quarn::sprites {

namespace {

constexpr int PaletteSize = 256;
constexpr int HalfAlpha = 128;
constexpr int Disposal = 2;  // restore to background: a transparent frame shows no earlier one
// The application extension that makes browsers loop the animation forever.
constexpr char LoopApplication[] = "NETSCAPE2.0";
constexpr GifByteType LoopForever[] = {1, 0, 0};

int Level(uint8_t value, int levels) { return (value * (levels - 1) + 127) / 255; }

GifByteType Index(const uint8_t* rgba, bool transparent)
{
  if (transparent && rgba[3] < HalfAlpha) return GifTransparentIndex;
  const int r = Level(rgba[0], GifRedLevels), g = Level(rgba[1], GifGreenLevels),
            b = Level(rgba[2], GifBlueLevels);
  return GifByteType(1 + (r * GifGreenLevels + g) * GifBlueLevels + b);
}

ColorMapObject* Palette()
{
  ColorMapObject* map = GifMakeMapObject(PaletteSize, nullptr);
  if (!map) return nullptr;
  std::memset(map->Colors, 0, sizeof(GifColorType) * PaletteSize);
  for (int r = 0; r < GifRedLevels; ++r)
    for (int g = 0; g < GifGreenLevels; ++g)
      for (int b = 0; b < GifBlueLevels; ++b) {
        GifColorType& colour = map->Colors[1 + (r * GifGreenLevels + g) * GifBlueLevels + b];
        colour.Red = GifByteType(r * 255 / (GifRedLevels - 1));
        colour.Green = GifByteType(g * 255 / (GifGreenLevels - 1));
        colour.Blue = GifByteType(b * 255 / (GifBlueLevels - 1));
      }
  return map;
}

int Append(GifFileType* file, const GifByteType* data, int size)
{
  static_cast<std::string*>(file->UserData)
      ->append(reinterpret_cast<const char*>(data), size_t(size));
  return size;
}

}  // namespace

bool EncodeGIF(const std::vector<const images::TFramePixels*>& frames,
               const std::vector<int>& delays, bool transparent, std::string& gif,
               std::string& reason)
{
  gif.clear();
  if (frames.empty() || !frames[0] || frames[0]->Width <= 0 || frames[0]->Height <= 0) {
    reason = "there are no frames";
    return false;
  }
  if (delays.size() != frames.size()) {
    reason = "there are " + std::to_string(delays.size()) + " delays for " +
             std::to_string(frames.size()) + " frames";
    return false;
  }
  for (const int delay : delays)
    if (delay < 0 || delay > GifMaximumDelay) {
      reason = "a delay of " + std::to_string(delay) + " hundredths is outside 0-" +
               std::to_string(GifMaximumDelay);
      return false;
    }
  const int width = frames[0]->Width, height = frames[0]->Height;
  int error = 0;
  GifFileType* file = EGifOpen(&gif, Append, &error);
  if (!file) {
    reason = GifErrorString(error);
    return false;
  }
  ColorMapObject* palette = Palette();
  bool ok = palette && EGifPutScreenDesc(file, width, height, 8, 0, palette) == GIF_OK;
  EGifSetGifVersion(file, true);
  ok = ok && EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(file, int(std::strlen(LoopApplication)), LoopApplication) == GIF_OK &&
       EGifPutExtensionBlock(file, sizeof LoopForever, LoopForever) == GIF_OK &&
       EGifPutExtensionTrailer(file) == GIF_OK;
  std::vector<GifByteType> line(static_cast<size_t>(width));
  for (size_t index = 0; index < frames.size() && ok; ++index) {
    const images::TFramePixels* frame = frames[index];
    if (!frame || frame->Width != width || frame->Height != height || !frame->Alpha ||
        frame->Rgb.size() != size_t(width) * size_t(height) * 4) {
      reason = "the frames differ in size";
      ok = false;
      break;
    }
    GraphicsControlBlock control{};
    control.DisposalMode = Disposal;
    control.DelayTime = delays[index];
    control.TransparentColor = transparent ? GifTransparentIndex : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_OK &&
         EGifPutImageDesc(file, 0, 0, width, height, false, nullptr) == GIF_OK;
    // GIF rows run top down; the frames are read bottom up.
    for (int y = height - 1; ok && y >= 0; --y) {
      const uint8_t* row = frame->Rgb.data() + size_t(y) * size_t(width) * 4;
      for (int x = 0; x < width; ++x) line[size_t(x)] = Index(row + size_t(x) * 4, transparent);
      ok = EGifPutLine(file, line.data(), width) == GIF_OK;
    }
  }
  if (!ok && reason.empty()) reason = GifErrorString(file->Error);
  if (palette) GifFreeMapObject(palette);
  if (EGifCloseFile(file, &error) != GIF_OK && ok) {
    reason = GifErrorString(error);
    ok = false;
  }
  return ok;
}

}  // namespace quarn::sprites
