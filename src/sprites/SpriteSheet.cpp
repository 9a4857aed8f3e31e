#include "sprites/SpriteSheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "platform/Files.h"
#include "sprites/SpriteFrames.h"

namespace quarn::sprites {

using TJson = nlohmann::ordered_json;

int32_t TAnimationFrames::DirectionNumber(int32_t rendered) const
{
  return size_t(rendered) < DirectionNumbers.size() ? DirectionNumbers[size_t(rendered)]
                                                    : rendered;
}

int32_t TAnimationFrames::FrameDurationMs(int32_t index) const
{
  return size_t(index) < Durations.size() ? Durations[size_t(index)]
                                          : int32_t(std::lround(Duration));
}

std::string TAnimationFrames::FileStem(int32_t rendered, int32_t index) const
{
  return FrameFileStem(Name, DirectionNumber(rendered), index, Count,
                       AllDirections > 0 ? AllDirections : Directions);
}

std::string TAnimationFrames::DirectionStem(int32_t rendered) const
{
  const std::string stem = FileStem(rendered, 0);
  return stem.substr(0, stem.rfind('_'));
}

namespace {

// A frame's pixel at (x, y from the top); rows are kept bottom up.
uint8_t* PixelAt(images::TFramePixels& image, int64_t x, int64_t yFromTop)
{
  return image.Rgb.data() +
         (size_t(image.Height - 1 - yFromTop) * size_t(image.Width) + size_t(x)) * 4;
}
const uint8_t* PixelAt(const images::TFramePixels& image, int64_t x, int64_t yFromTop)
{
  return image.Rgb.data() +
         (size_t(image.Height - 1 - yFromTop) * size_t(image.Width) + size_t(x)) * 4;
}

// The rectangle of a frame's pixels that are not fully transparent, from its top left; a frame
// with none keeps one pixel, as packers do.
void TrimRect(const images::TFramePixels& frame, int32_t& x, int32_t& y, int32_t& w, int32_t& h)
{
  int32_t left = frame.Width, right = -1, top = frame.Height, bottom = -1;
  for (int32_t row = 0; row < frame.Height; ++row) {
    const uint8_t* p = PixelAt(frame, 0, row);
    for (int32_t column = 0; column < frame.Width; ++column, p += 4)
      if (p[3] != 0) {
        left = std::min(left, column);
        right = std::max(right, column);
        top = std::min(top, row);
        bottom = row;
      }
  }
  if (right < 0) {
    x = y = 0;
    w = h = 1;
    return;
  }
  x = left;
  y = top;
  w = right - left + 1;
  h = bottom - top + 1;
}

bool WholeFrame(const TAnimationFrames& animation, const images::TFramePixels* frame)
{
  return frame && frame->Width == animation.Width && frame->Height == animation.Height &&
         frame->Rgb.size() == size_t(frame->Width) * size_t(frame->Height) * 4;
}

// Places the frames (their sizes in Placed, in order) in rows; the atlas's size.
bool Layout(const TSheetLayout& layout, std::vector<TPlacedFrame>& placed, int64_t& width, int64_t& height,
            std::string& error)
{
  const int64_t extrude = layout.Extrude, padding = layout.Padding;
  int64_t x = 0, y = 0, rowHeight = 0;
  int32_t inRow = 0;
  width = height = 0;
  size_t previousAnimation = SIZE_MAX;
  int32_t previousDirection = -1;
  for (TPlacedFrame& frame : placed) {
    const int64_t w = frame.W + 2 * extrude, h = frame.H + 2 * extrude;
    if (w > layout.MaxWidth) {
      error = "--max-width " + std::to_string(layout.MaxWidth) + " is narrower than a frame (" +
              std::to_string(w) + " pixels" + (extrude ? " with its extrusion)" : ")");
      return false;
    }
    const bool rowStart =
        frame.Animation != previousAnimation || frame.Direction != previousDirection;
    previousAnimation = frame.Animation;
    previousDirection = frame.Direction;
    if (inRow > 0 && (rowStart || x + w > layout.MaxWidth ||
                      (layout.Columns > 0 && inRow == layout.Columns))) {
      y += rowHeight + padding;
      x = rowHeight = inRow = 0;
    }
    frame.X = int32_t(x + extrude);
    frame.Y = int32_t(y + extrude);
    width = std::max(width, x + w);
    height = std::max(height, y + h);
    rowHeight = std::max(rowHeight, h);
    x += w + padding;
    ++inRow;
  }
  return true;
}

std::vector<TPlacedFrame> WholeFrames(const std::vector<const TAnimationFrames*>& animations)
{
  std::vector<TPlacedFrame> placed;
  for (size_t a = 0; a < animations.size(); ++a)
    for (int32_t direction = 0; direction < animations[a]->Directions; ++direction)
      for (int32_t index = 0; index < animations[a]->Count; ++index) {
        TPlacedFrame frame;
        frame.Animation = a;
        frame.Direction = direction;
        frame.Index = index;
        frame.W = animations[a]->Width;
        frame.H = animations[a]->Height;
        placed.push_back(frame);
      }
  return placed;
}

std::string TooLarge(int64_t width, int64_t height)
{
  return "the atlas would be " + std::to_string(width) + "x" + std::to_string(height) +
         " pixels, more than " + std::to_string(MaxSheetPixels) +
         " (fewer frames, directions, a smaller --size or --trim)";
}

// Repeats the edge pixels of a placed rectangle `extrude` pixels outwards: each row's end
// pixels sideways, then the top and bottom rows (their extruded ends with them) up and down.
void Extrude(images::TFramePixels& image, const TPlacedFrame& frame, int32_t extrude)
{
  for (int32_t y = 0; y < frame.H; ++y)
    for (int32_t d = 1; d <= extrude; ++d) {
      std::memcpy(PixelAt(image, frame.X - d, frame.Y + y), PixelAt(image, frame.X, frame.Y + y),
                  4);
      std::memcpy(PixelAt(image, frame.X + frame.W - 1 + d, frame.Y + y),
                  PixelAt(image, frame.X + frame.W - 1, frame.Y + y), 4);
    }
  const size_t row = size_t(frame.W + 2 * extrude) * 4;
  for (int32_t d = 1; d <= extrude; ++d) {
    std::memcpy(PixelAt(image, frame.X - extrude, frame.Y - d),
                PixelAt(image, frame.X - extrude, frame.Y), row);
    std::memcpy(PixelAt(image, frame.X - extrude, frame.Y + frame.H - 1 + d),
                PixelAt(image, frame.X - extrude, frame.Y + frame.H - 1), row);
  }
}

}  // namespace

bool AtlasSize(const std::vector<const TAnimationFrames*>& animations, const TSheetLayout& layout,
               int64_t& width, int64_t& height, std::string& error)
{
  std::vector<TPlacedFrame> placed = WholeFrames(animations);
  return Layout(layout, placed, width, height, error);
}

bool PackAtlas(const std::vector<const TAnimationFrames*>& animations, const TSheetLayout& layout,
               TAtlas& atlas, std::string& error)
{
  atlas.Placed = WholeFrames(animations);
  for (TPlacedFrame& frame : atlas.Placed) {
    const TAnimationFrames& animation = *animations[frame.Animation];
    const auto& pixels =
        animation.Frames[size_t(frame.Direction) * size_t(animation.Count) + size_t(frame.Index)];
    if (layout.Trim && WholeFrame(animation, pixels.get()))
      TrimRect(*pixels, frame.SourceX, frame.SourceY, frame.W, frame.H);
  }
  int64_t width = 0, height = 0;
  if (!Layout(layout, atlas.Placed, width, height, error)) return false;
  if (width * height > MaxSheetPixels) {
    error = TooLarge(width, height);
    return false;
  }
  images::TFramePixels& image = atlas.Image;
  image.Width = int32_t(width);
  image.Height = int32_t(height);
  image.Alpha = true;
  image.Rgb.assign(size_t(width) * size_t(height) * 4, 0);
  for (const TPlacedFrame& frame : atlas.Placed) {
    const TAnimationFrames& animation = *animations[frame.Animation];
    const auto& pixels =
        animation.Frames[size_t(frame.Direction) * size_t(animation.Count) + size_t(frame.Index)];
    if (!WholeFrame(animation, pixels.get())) continue;
    for (int32_t row = 0; row < frame.H; ++row)
      std::memcpy(PixelAt(image, frame.X, frame.Y + row),
                  PixelAt(*pixels, frame.SourceX, frame.SourceY + row), size_t(frame.W) * 4);
    if (layout.Extrude > 0) Extrude(image, frame, layout.Extrude);
  }
  return true;
}

images::TFramePixels BuildSheet(const TAnimationFrames& frames)
{
  TAtlas atlas;
  std::string error;
  TSheetLayout layout;
  layout.MaxWidth = std::max(1, frames.Width * std::max(1, frames.Count));
  PackAtlas({&frames}, layout, atlas, error);
  return std::move(atlas.Image);
}

namespace {

TJson Rect(int32_t x, int32_t y, int32_t w, int32_t h)
{
  return TJson{{"x", x}, {"y", y}, {"w", w}, {"h", h}};
}

TJson Size(int64_t w, int64_t h) { return TJson{{"w", w}, {"h", h}}; }

// A share of the frame, kept to six decimals.
double Share(double value, int32_t whole) { return std::round(value / whole * 1e6) / 1e6; }

// "1000/N" milliseconds, exact to a thousandth.
double Milliseconds(double value) { return std::round(value * 1000) / 1000; }

// The packers' JSON, as an array of frames or a hash by file name.
std::string PackerIndex(const std::vector<const TAnimationFrames*>& animations,
                        const TAtlas& atlas, const std::string& imageName, bool hash)
{
  TJson frames = hash ? TJson::object() : TJson::array();
  TJson tags = TJson::object();
  for (const TPlacedFrame& placed : atlas.Placed) {
    const TAnimationFrames& animation = *animations[placed.Animation];
    const std::string name = animation.FileStem(placed.Direction, placed.Index) + ".png";
    TJson entry;
    if (!hash) entry["filename"] = name;
    const bool trimmed = placed.W != animation.Width || placed.H != animation.Height;
    entry["frame"] = Rect(placed.X, placed.Y, placed.W, placed.H);
    entry["rotated"] = false;
    entry["trimmed"] = trimmed;
    entry["spriteSourceSize"] = Rect(placed.SourceX, placed.SourceY, placed.W, placed.H);
    entry["sourceSize"] = Size(animation.Width, animation.Height);
    entry["duration"] = animation.FrameDurationMs(placed.Index);
    if (size_t(placed.Direction) < animation.Pivots.size()) {
      const TPixelPoint& pivot = animation.Pivots[size_t(placed.Direction)];
      entry["pivot"] = {{"x", Share(pivot.X, animation.Width)},
                        {"y", Share(pivot.Y, animation.Height)}};
    }
    entry["direction"] = animation.DirectionNumber(placed.Direction);
    entry["index"] = placed.Index;
    if (hash)
      frames[name] = std::move(entry);
    else
      frames.push_back(std::move(entry));
    tags[animation.DirectionStem(placed.Direction)].push_back(name);
  }
  TJson meta{{"app", "quarn"},
             {"image", imageName},
             {"format", "RGBA8888"},
             {"size", Size(atlas.Image.Width, atlas.Image.Height)},
             {"scale", "1"}};
  if (animations.size() == 1) {
    const TAnimationFrames& animation = *animations[0];
    meta["animation"] = animation.Name;
    meta["directions"] = animation.Directions;
    meta["framesPerDirection"] = animation.Count;
    meta["frameDuration"] = Milliseconds(animation.Duration);
  }
  TJson index{{"frames", std::move(frames)}, {"animations", std::move(tags)},
              {"meta", std::move(meta)}};
  return index.dump(1) + "\n";
}

// The animation editor's JSON: frames in order, a tag for each animation and direction, and
// the pivots as the keys of a slice.
std::string AsepriteIndex(const std::vector<const TAnimationFrames*>& animations,
                          const TAtlas& atlas, const std::string& imageName)
{
  TJson frames = TJson::array(), tags = TJson::array(), keys = TJson::array();
  for (size_t i = 0; i < atlas.Placed.size(); ++i) {
    const TPlacedFrame& placed = atlas.Placed[i];
    const TAnimationFrames& animation = *animations[placed.Animation];
    frames.push_back({{"filename", animation.FileStem(placed.Direction, placed.Index) + ".png"},
                      {"frame", Rect(placed.X, placed.Y, placed.W, placed.H)},
                      {"rotated", false},
                      {"trimmed", placed.W != animation.Width || placed.H != animation.Height},
                      {"spriteSourceSize",
                       Rect(placed.SourceX, placed.SourceY, placed.W, placed.H)},
                      {"sourceSize", Size(animation.Width, animation.Height)},
                      {"duration", animation.FrameDurationMs(placed.Index)}});
    if (placed.Index != 0) continue;
    tags.push_back({{"name", animation.DirectionStem(placed.Direction)},
                    {"from", i},
                    {"to", i + size_t(animation.Count) - 1},
                    {"direction", "forward"}});
    if (size_t(placed.Direction) < animation.Pivots.size()) {
      const TPixelPoint& pivot = animation.Pivots[size_t(placed.Direction)];
      keys.push_back({{"frame", i},
                      {"bounds", Rect(0, 0, animation.Width, animation.Height)},
                      {"pivot", {{"x", int32_t(std::floor(pivot.X))},
                                 {"y", int32_t(std::floor(pivot.Y))}}}});
    }
  }
  TJson meta{{"app", "quarn"},
             {"version", "1"},
             {"image", imageName},
             {"format", "RGBA8888"},
             {"size", Size(atlas.Image.Width, atlas.Image.Height)},
             {"scale", "1"},
             {"frameTags", std::move(tags)},
             {"layers", TJson::array({{{"name", "model"}, {"opacity", 255}, {"blendMode", "normal"}}})},
             {"slices", TJson::array()}};
  if (!keys.empty())
    meta["slices"].push_back({{"name", "pivot"}, {"color", "#0000ffff"}, {"keys", std::move(keys)}});
  TJson index{{"frames", std::move(frames)}, {"meta", std::move(meta)}};
  return index.dump(1) + "\n";
}

// A number as the resource text writes it: always with a decimal point.
std::string Real(double value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  std::string number = text;
  if (number.find_first_of(".e") == std::string::npos) number += ".0";
  return number;
}

// A SpriteFrames resource: each frame a region of the atlas (its trimmed margin kept), one
// animation for each animation and direction at its own speed, looping; the pivots as the
// offsets that put each direction's pivot on the node's origin when the sprite is centred.
std::string GodotIndex(const std::vector<const TAnimationFrames*>& animations,
                       const TAtlas& atlas, const std::string& imageName)
{
  std::string text = "[gd_resource type=\"SpriteFrames\" load_steps=" +
                     std::to_string(atlas.Placed.size() + 2) + " format=3]\n\n" +
                     "[ext_resource type=\"Texture2D\" path=\"" + imageName +
                     "\" id=\"1_atlas\"]\n\n";
  for (size_t i = 0; i < atlas.Placed.size(); ++i) {
    const TPlacedFrame& placed = atlas.Placed[i];
    const TAnimationFrames& animation = *animations[placed.Animation];
    text += "[sub_resource type=\"AtlasTexture\" id=\"AtlasTexture_" + std::to_string(i) +
            "\"]\natlas = ExtResource(\"1_atlas\")\nregion = Rect2(" + std::to_string(placed.X) +
            ", " + std::to_string(placed.Y) + ", " + std::to_string(placed.W) + ", " +
            std::to_string(placed.H) + ")\n";
    if (placed.W != animation.Width || placed.H != animation.Height)
      text += "margin = Rect2(" + std::to_string(placed.SourceX) + ", " +
              std::to_string(placed.SourceY) + ", " + std::to_string(animation.Width - placed.W) +
              ", " + std::to_string(animation.Height - placed.H) + ")\n";
    text += "\n";
  }
  std::string list, offsets;
  for (size_t i = 0; i < atlas.Placed.size(); ++i) {
    const TPlacedFrame& placed = atlas.Placed[i];
    const TAnimationFrames& animation = *animations[placed.Animation];
    const double nominal = animation.Duration > 0 ? animation.Duration : 100;
    if (placed.Index == 0) {
      const std::string name = animation.DirectionStem(placed.Direction);
      list += std::string(list.empty() ? "" : ", ") + "{\n\"frames\": [";
      if (size_t(placed.Direction) < animation.Pivots.size()) {
        const TPixelPoint& pivot = animation.Pivots[size_t(placed.Direction)];
        offsets += std::string(offsets.empty() ? "" : ",\n") + "\"" + name + "\": Vector2(" +
                   Real(animation.Width / 2.0 - pivot.X) + ", " +
                   Real(animation.Height / 2.0 - pivot.Y) + ")";
      }
    }
    list += std::string(placed.Index == 0 ? "" : ", ") + "{\n\"duration\": " +
            Real(animation.FrameDurationMs(placed.Index) / nominal) +
            ",\n\"texture\": SubResource(\"AtlasTexture_" + std::to_string(i) + "\")\n}";
    if (placed.Index == animation.Count - 1)
      list += "],\n\"loop\": true,\n\"name\": &\"" + animation.DirectionStem(placed.Direction) +
              "\",\n\"speed\": " + Real(1000 / nominal) + "\n}";
  }
  text += "[resource]\n";
  if (!offsets.empty()) text += "metadata/pivot_offsets = {\n" + offsets + "\n}\n";
  text += "animations = [" + list + "]\n";
  return text;
}

}  // namespace

std::string AtlasIndex(const std::vector<const TAnimationFrames*>& animations, const TAtlas& atlas,
                       const std::string& imageName, TSheetFormat format)
{
  // Names are file-safe (letters, digits, '_' and '-'): they need no escapes in the resource.
  switch (format) {
    case TSheetFormat::TexturePackerHash: return PackerIndex(animations, atlas, imageName, true);
    case TSheetFormat::Aseprite: return AsepriteIndex(animations, atlas, imageName);
    case TSheetFormat::Godot: return GodotIndex(animations, atlas, imageName);
    case TSheetFormat::TexturePackerArray: break;
  }
  return PackerIndex(animations, atlas, imageName, false);
}

const char* IndexExtension(TSheetFormat format)
{
  return format == TSheetFormat::Godot ? ".tres" : ".json";
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
