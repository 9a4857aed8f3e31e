#include "sprites/SpriteSheet.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/Files.h"
#include "sprites/SpriteFrames.h"

namespace quarn::sprites {

images::TFramePixels BuildSheet(const TAnimationFrames& frames)
{
  images::TFramePixels sheet;
  sheet.Width = frames.Width * frames.Count;
  sheet.Height = frames.Height * frames.Directions;
  sheet.Alpha = true;
  sheet.Rgb.assign(size_t(sheet.Width) * size_t(sheet.Height) * 4, 0);
  const size_t frameRow = size_t(frames.Width) * 4;
  for (int32_t direction = 0; direction < frames.Directions; ++direction)
    for (int32_t index = 0; index < frames.Count; ++index) {
      const auto& frame = frames.Frames[size_t(direction) * size_t(frames.Count) + size_t(index)];
      if (!frame || frame->Rgb.size() != frameRow * size_t(frames.Height)) continue;
      for (int32_t row = 0; row < frames.Height; ++row) {
        // Rows count from the bottom in both: the first direction is the sheet's top row.
        const int32_t sheetRow = (frames.Directions - 1 - direction) * frames.Height + row;
        std::memcpy(sheet.Rgb.data() + size_t(sheetRow) * size_t(sheet.Width) * 4 +
                        size_t(index) * frameRow,
                    frame->Rgb.data() + size_t(row) * frameRow, frameRow);
      }
    }
  return sheet;
}

namespace {

std::string Size(int32_t width, int32_t height)
{
  return "{\"w\": " + std::to_string(width) + ", \"h\": " + std::to_string(height) + "}";
}

std::string Number(double value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  std::string number = text;
  while (number.back() == '0') number.pop_back();
  if (number.back() == '.') number.pop_back();
  return number;
}

}  // namespace

std::string SheetIndex(const TAnimationFrames& frames, const std::string& imageName)
{
  // Names are file-safe (letters, digits, '_' and '-'): they need no escapes.
  const long duration = std::lround(frames.Duration);
  std::string json = "{\n  \"frames\": [\n";
  for (int32_t direction = 0; direction < frames.Directions; ++direction)
    for (int32_t index = 0; index < frames.Count; ++index) {
      const bool last = direction == frames.Directions - 1 && index == frames.Count - 1;
      json += "    {\"filename\": \"" + FrameFileStem(frames.Name, direction, index, frames.Count) +
              ".png\", " + "\"frame\": {\"x\": " + std::to_string(index * frames.Width) +
              ", \"y\": " + std::to_string(direction * frames.Height) +
              ", \"w\": " + std::to_string(frames.Width) +
              ", \"h\": " + std::to_string(frames.Height) +
              "}, \"rotated\": false, \"trimmed\": false, " +
              "\"spriteSourceSize\": {\"x\": 0, \"y\": 0, \"w\": " + std::to_string(frames.Width) +
              ", \"h\": " + std::to_string(frames.Height) +
              "}, \"sourceSize\": " + Size(frames.Width, frames.Height) +
              ", \"duration\": " + std::to_string(duration) +
              ", \"direction\": " + std::to_string(direction) +
              ", \"index\": " + std::to_string(index) + "}" + (last ? "\n" : ",\n");
    }
  json += "  ],\n  \"meta\": {\"app\": \"quarn\", \"image\": \"" + imageName +
          "\", \"format\": \"RGBA8888\", \"size\": " +
          Size(frames.Width * frames.Count, frames.Height * frames.Directions) +
          ", \"scale\": \"1\", \"animation\": \"" + frames.Name +
          "\", \"directions\": " + std::to_string(frames.Directions) +
          ", \"framesPerDirection\": " + std::to_string(frames.Count) +
          ", \"frameDuration\": " + Number(frames.Duration) + "}\n}\n";
  return json;
}

std::string WriteSpriteFile(const std::string& fileName, std::string_view contents)
{
  std::string error;
  if (platform::ReplaceFile(fileName, contents, error, nullptr, platform::TTemporary::Unnamed,
                            platform::TDurability::Unsynced))
    return std::string();
  return error;
}

std::string WritePngFile(const std::string& fileName, const images::TFramePixels& pixels)
{
  std::vector<uint8_t> png;
  std::string reason;
  if (!images::EncodePNG(pixels, png, reason, images::TPngCompression::Fast))
    return "Cannot write file " + fileName + ": " + reason;
  return WriteSpriteFile(fileName,
                         std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
}

}  // namespace quarn::sprites
