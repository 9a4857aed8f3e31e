#include "sprites/SpriteOptions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

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

bool ParseDegrees(const std::string& text, double& value)
{
  if (text.empty()) return false;
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(parsed) || parsed < -90 || parsed > 90)
    return false;
  value = parsed;
  return true;
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

bool ParseBackground(const std::string& text, TSpriteOptions& options)
{
  if (text == "transparent") {
    options.Transparent = true;
    return true;
  }
  if (text.size() != 7 || text[0] != '#') return false;
  float rgb[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexDigit(text[size_t(1 + 2 * i)]), low = HexDigit(text[size_t(2 + 2 * i)]);
    if (high < 0 || low < 0) return false;
    rgb[i] = float(high * 16 + low) / 255.0f;
  }
  options.Transparent = false;
  for (int i = 0; i < 3; ++i) options.Style.Background[i] = rgb[i];
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
  if (options.OutDir.empty()) {
    error = "--out needs a DIR";
    return TParseResult::Error;
  }
  return TParseResult::Ok;
}

const char* SpriteUsage()
{
  return "usage: quarn --render MODEL.md2 [--skin IMAGE] [--weapon W.md2 [--weapon-skin IMAGE]]\n"
         "             [--anim NAME|FIRST-LAST]... [--fps N] [--directions N] [--elevation DEG]\n"
         "             [--size WxH] [--background transparent|#rrggbb] [--out DIR]\n"
         "             [--sheet] [--gif] [--perspective] [--smooth] [--wireframe]\n"
         "             [--filter nearest|linear] [--no-culling]\n"
         "\n"
         "  Renders sprites of a model without a display: every recorded animation (or\n"
         "  those named), its keyframes (or --fps frames a second, blended between them),\n"
         "  from 8 directions (or N) at 30 degrees elevation, 128x128, on a transparent\n"
         "  background, into ./sprites as NAME_dirD_FFF.png; --sheet adds NAME.png and\n"
         "  NAME.json per animation, --gif NAME_dirD.gif per animation and direction.\n"
         "  --smooth, --wireframe, --filter and --no-culling draw as the viewer's\n"
         "  Smooth, Wireframe, Filter and Culling commands do.\n";
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
