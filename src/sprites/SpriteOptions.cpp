#include "sprites/SpriteOptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace quarn::sprites {

namespace {

bool ParseInt(const std::string& text, int32_t low, int32_t high, int32_t& value)
{
  int32_t parsed = 0;
  const char* end = text.data() + text.size();
  const auto [at, status] = std::from_chars(text.data(), end, parsed);
  if (status != std::errc() || at != end || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

bool ParseNumber(const std::string& text, double low, double high, double& value)
{
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(parsed) || parsed < low || parsed > high)
    return false;
  value = parsed;
  return true;
}

bool ParseDegrees(const std::string& text, double& value)
{
  return ParseNumber(text, -90, 90, value);
}

// "0,2,4": distinct directions, each below MaxDirections (checked against --directions later).
bool ParseDirectionList(const std::string& text, std::vector<int32_t>& list)
{
  list.clear();
  size_t start = 0;
  for (;;) {
    const size_t comma = std::min(text.find(',', start), text.size());
    int32_t direction = 0;
    if (!ParseInt(text.substr(start, comma - start), 0, MaxDirections - 1, direction)) return false;
    for (const int32_t taken : list)
      if (taken == direction) return false;
    list.push_back(direction);
    if (comma == text.size()) return true;
    start = comma + 1;
  }
}

// "AZIMUTH,ELEVATION" in degrees: the light's direction seen from the camera, azimuth to the
// right of the line of sight, elevation above it.
bool ParseLight(const std::string& text, render::TDrawStyle& style)
{
  const size_t comma = text.find(',');
  double azimuth = 0, elevation = 0;
  if (comma == std::string::npos || !ParseNumber(text.substr(0, comma), -360, 360, azimuth) ||
      !ParseNumber(text.substr(comma + 1), -90, 90, elevation))
    return false;
  constexpr double Radians = 3.14159265358979323846 / 180;
  style.LightDirection[0] = float(std::sin(azimuth * Radians) * std::cos(elevation * Radians));
  style.LightDirection[1] = float(std::sin(elevation * Radians));
  style.LightDirection[2] = float(std::cos(azimuth * Radians) * std::cos(elevation * Radians));
  style.Smooth = true;
  return true;
}

bool ParseFormat(const std::string& text, TSheetFormat& format)
{
  using TFormat = TSheetFormat;
  static const std::pair<const char*, TFormat> names[] = {
      {"texturepacker-array", TFormat::TexturePackerArray},
      {"texturepacker-hash", TFormat::TexturePackerHash},
      {"aseprite", TFormat::Aseprite},
      {"godot", TFormat::Godot}};
  for (const auto& [name, value] : names)
    if (text == name) {
      format = value;
      return true;
    }
  return false;
}

bool ParseSize(const std::string& text, int32_t& width, int32_t& height)
{
  const size_t x = text.find_first_of("xX");
  return x != std::string::npos && ParseInt(text.substr(0, x), 1, MaxSide, width) &&
         ParseInt(text.substr(x + 1), 1, MaxSide, height);
}

int HexDigit(char c)
{
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "#rrggbb".
bool ParseColour(const std::string& text, uint8_t rgb[3])
{
  if (text.size() != 7 || text[0] != '#') return false;
  uint8_t parsed[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigit(text[size_t(1 + 2 * i)]), low = HexDigit(text[size_t(2 + 2 * i)]);
    if (high < 0 || low < 0) return false;
    parsed[i] = uint8_t(high * 16 + low);
  }
  for (int i = 0; i < 3; ++i) rgb[i] = parsed[i];
  return true;
}

bool ParseBackground(const std::string& text, TSpriteOptions& options)
{
  if (text == "transparent") {
    options.Transparent = true;
    return true;
  }
  uint8_t rgb[3];
  if (!ParseColour(text, rgb)) return false;
  options.Transparent = false;
  for (int i = 0; i < 3; ++i) options.Style.Background[i] = float(rgb[i]) / 255.0f;
  return true;
}

// Stores a file name; false for an empty one.
bool TakeName(const std::string& value, std::string& name)
{
  name = value;
  return !value.empty();
}

// Each option that takes a value: the words its error line uses for the value, and how the
// value is stored (false when it is not one the option takes).
struct TValueOption {
  const char* Name;
  const char* Needs;
  bool (*Take)(const std::string& value, TSpriteOptions& options);
};
constexpr TValueOption ValueOptions[] = {
    {"--render", "a MODEL.md2",
     [](const std::string& v, TSpriteOptions& o) { return TakeName(v, o.Model); }},
    {"--skin", "an IMAGE",
     [](const std::string& v, TSpriteOptions& o) { return TakeName(v, o.Skin); }},
    {"--weapon", "a WEAPON.md2",
     [](const std::string& v, TSpriteOptions& o) { return TakeName(v, o.Weapon); }},
    {"--weapon-skin", "an IMAGE",
     [](const std::string& v, TSpriteOptions& o) { return TakeName(v, o.WeaponSkin); }},
    {"--anim", "a NAME or FIRST-LAST",
     [](const std::string& v, TSpriteOptions& o) {
       o.Animations.push_back(v);
       return !v.empty();
     }},
    {"--fps", "a frame rate from 1 to 240",
     [](const std::string& v, TSpriteOptions& o) { return ParseInt(v, 1, MaxFps, o.Fps); }},
    {"--directions", "a number of directions from 1 to 360",
     [](const std::string& v, TSpriteOptions& o) {
       return ParseInt(v, 1, MaxDirections, o.Directions);
     }},
    {"--elevation", "an angle in degrees from -90 to 90",
     [](const std::string& v, TSpriteOptions& o) { return ParseDegrees(v, o.Elevation); }},
    {"--size", "WIDTHxHEIGHT, each from 1 to 4096",
     [](const std::string& v, TSpriteOptions& o) { return ParseSize(v, o.Width, o.Height); }},
    {"--background", "'transparent' or a colour #rrggbb",
     [](const std::string& v, TSpriteOptions& o) { return ParseBackground(v, o); }},
    {"--filter", "'nearest' or 'linear'",
     [](const std::string& v, TSpriteOptions& o) {
       o.Style.NearestFilter = v == "nearest";
       return v == "nearest" || v == "linear";
     }},
    {"--out", "a DIR",
     [](const std::string& v, TSpriteOptions& o) { return TakeName(v, o.OutDir); }},
    {"--yaw", "an angle in degrees from -360 to 360",
     [](const std::string& v, TSpriteOptions& o) { return ParseNumber(v, -360, 360, o.Yaw); }},
    {"--direction-list", "directions such as 0,2,4, each named once",
     [](const std::string& v, TSpriteOptions& o) {
       return ParseDirectionList(v, o.DirectionList);
     }},
    {"--fit", "'model' or 'animation'",
     [](const std::string& v, TSpriteOptions& o) {
       o.Fit = v == "animation" ? TSpriteOptions::TFit::Animation : TSpriteOptions::TFit::Model;
       return v == "model" || v == "animation";
     }},
    {"--pixels-per-unit", "a number of pixels from 0.001 to 10000",
     [](const std::string& v, TSpriteOptions& o) {
       return ParseNumber(v, 0.001, 10000, o.PixelsPerUnit);
     }},
    {"--max-width", "a width in pixels from 1 to 65536",
     [](const std::string& v, TSpriteOptions& o) {
       o.Sheet = true;
       return ParseInt(v, 1, 65536, o.MaxWidth);
     }},
    {"--columns", "a number of columns from 1 to 65536",
     [](const std::string& v, TSpriteOptions& o) {
       o.Sheet = true;
       return ParseInt(v, 1, 65536, o.Columns);
     }},
    {"--padding", "a number of pixels from 0 to 64",
     [](const std::string& v, TSpriteOptions& o) {
       o.Sheet = true;
       return ParseInt(v, 0, MaxSpacing, o.Padding);
     }},
    {"--extrude", "a number of pixels from 0 to 64",
     [](const std::string& v, TSpriteOptions& o) {
       o.Sheet = true;
       return ParseInt(v, 0, MaxSpacing, o.Extrude);
     }},
    {"--format", "texturepacker-array, texturepacker-hash, aseprite or godot",
     [](const std::string& v, TSpriteOptions& o) {
       o.Sheet = true;
       return ParseFormat(v, o.Format);
     }},
    {"--samples", "1, 2, 4 or 8",
     [](const std::string& v, TSpriteOptions& o) {
       return ParseInt(v, 1, MaxSamples, o.Samples) && (o.Samples & (o.Samples - 1)) == 0;
     }},
    {"--light", "AZIMUTH,ELEVATION in degrees, such as 30,45",
     [](const std::string& v, TSpriteOptions& o) { return ParseLight(v, o.Style); }},
    {"--ambient", "a share of light from 0 to 1",
     [](const std::string& v, TSpriteOptions& o) {
       double ambient = 0;
       if (!ParseNumber(v, 0, 1, ambient)) return false;
       o.Style.Ambient = float(ambient);
       o.Style.Smooth = true;
       return true;
     }},
    {"--brightness", "a factor from 0 to 4",
     [](const std::string& v, TSpriteOptions& o) { return ParseNumber(v, 0, 4, o.Brightness); }},
    {"--outline", "a width in pixels from 0 to 16",
     [](const std::string& v, TSpriteOptions& o) { return ParseInt(v, 0, MaxOutline, o.Outline); }},
    {"--outline-color", "a colour #rrggbb",
     [](const std::string& v, TSpriteOptions& o) { return ParseColour(v, o.OutlineColour); }},
};

const TValueOption* FindValueOption(const std::string& name)
{
  for (const TValueOption& option : ValueOptions)
    if (name == option.Name) return &option;
  return nullptr;
}

}  // namespace

TParseResult ParseSpriteOptions(const std::vector<std::string>& args, bool modelRequired,
                                TSpriteOptions& options, std::string& error)
{
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") return TParseResult::Help;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--sheet") {
      options.Sheet = true;
    } else if (arg == "--gif") {
      options.Gif = true;
    } else if (arg == "--webp") {
      options.Webp = true;
    } else if (arg == "--atlas") {
      options.Atlas = options.Sheet = true;
    } else if (arg == "--trim") {
      options.Trim = options.Sheet = true;
    } else if (arg == "--perspective") {
      options.Perspective = true;
    } else if (arg == "--smooth") {
      options.Style.Smooth = true;
    } else if (arg == "--wireframe") {
      options.Style.Wireframe = true;
    } else if (arg == "--no-culling") {
      options.Style.Culling = false;
    } else if (const TValueOption* option = FindValueOption(arg)) {
      if (i + 1 == args.size() || !option->Take(args[i + 1], options)) {
        error = arg + " needs " + option->Needs +
                (i + 1 == args.size() ? std::string() : ", not '" + args[i + 1] + "'");
        return TParseResult::Error;
      }
      ++i;
    } else if (modelRequired && options.Model.empty() && !arg.empty() && arg[0] != '-') {
      options.Model = arg;
    } else {
      error = "unknown option '" + arg + "'";
      return TParseResult::Error;
    }
  }
  const bool files = !options.Model.empty() || !options.Skin.empty() || !options.Weapon.empty() ||
                     !options.WeaponSkin.empty();
  if (!modelRequired && files) {
    error =
        "the loaded bot is rendered: --render, --skin, --weapon and --weapon-skin are not taken";
    return TParseResult::Error;
  }
  if (modelRequired && options.Model.empty()) {
    error = "--render needs a MODEL.md2";
    return TParseResult::Error;
  }
  if (options.Weapon.empty() && !options.WeaponSkin.empty()) {
    error = "--weapon-skin needs --weapon";
    return TParseResult::Error;
  }
  if (options.PixelsPerUnit > 0 && options.Perspective) {
    error = "--pixels-per-unit needs the orthographic camera, not --perspective";
    return TParseResult::Error;
  }
  if (options.OutDir.empty()) {
    error = "--out needs a DIR";
    return TParseResult::Error;
  }
  for (const int32_t direction : options.DirectionList)
    if (direction >= options.Directions) {
      error = "--direction-list names direction " + std::to_string(direction) + " of " +
              std::to_string(options.Directions) + " (0 to " +
              std::to_string(options.Directions - 1) + ")";
      return TParseResult::Error;
    }
  return TParseResult::Ok;
}

const char* SpriteUsage()
{
  return "usage: quarn --render MODEL.md2 [--skin IMAGE] [--weapon W.md2 [--weapon-skin IMAGE]]\n"
         "             [--anim NAME|FIRST-LAST]... [--fps N] [--directions N] [--elevation DEG]\n"
         "             [--yaw DEG] [--direction-list D,D,...] [--size WxH]\n"
         "             [--fit model|animation] [--pixels-per-unit N]\n"
         "             [--background transparent|#rrggbb] [--out DIR]\n"
         "             [--sheet] [--atlas] [--max-width W] [--columns N] [--padding N]\n"
         "             [--extrude N] [--trim]\n"
         "             [--format texturepacker-array|texturepacker-hash|aseprite|godot]\n"
         "             [--gif] [--webp] [--samples 1|2|4|8] [--light AZ,EL] [--ambient A]\n"
         "             [--brightness B] [--outline N] [--outline-color #rrggbb]\n"
         "             [--perspective] [--smooth] [--wireframe] [--filter nearest|linear]\n"
         "             [--no-culling]\n"
         "\n"
         "  Renders sprites of a model without a display: every recorded animation (or\n"
         "  those named), its keyframes (or --fps frames a second, blended between them),\n"
         "  from 8 directions (or N) at 30 degrees elevation, 128x128, on a transparent\n"
         "  background, into ./sprites as NAME_dirD_FFF.png, at one scale for the whole\n"
         "  model; --sheet adds NAME.png and NAME.json (or NAME.tres) per animation (--atlas:\n"
         "  one atlas.png for all), --gif NAME_dirD.gif and --webp NAME_dirD.webp per\n"
         "  animation and direction. --smooth, --wireframe, --filter and --no-culling draw\n"
         "  as the viewer's Smooth, Wireframe, Filter and Culling commands do.\n";
}

bool SplitOptionText(const std::string& text, std::vector<std::string>& words, std::string& error)
{
  words.clear();
  std::string word;
  bool inWord = false;
  char quote = 0;
  size_t quoteAt = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        word += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      quoteAt = i;
      inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quote) {
    error = std::string("the ") + quote + " at character " + std::to_string(quoteAt + 1) +
            " is never closed";
    words.clear();
    return false;
  }
  if (inWord) words.push_back(word);
  return true;
}

}  // namespace quarn::sprites
