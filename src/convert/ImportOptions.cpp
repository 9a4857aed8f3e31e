#include "convert/ImportOptions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "convert/ExportOptions.h"

namespace quarn::convert {

namespace {

bool TakeInt(std::string_view value, int32_t low, int32_t high, int32_t& out)
{
  int32_t parsed = 0;
  const char* end = value.data() + value.size();
  const auto [at, status] = std::from_chars(value.data(), end, parsed);
  if (value.empty() || status != std::errc() || at != end || parsed < low || parsed > high)
    return false;
  out = parsed;
  return true;
}

// NAME, or FIRST-LAST: numbers of the file's animations, from 0.
bool TakeAnimation(const std::string& value, TImportOptions& options)
{
  if (value.empty()) return false;
  TAnimationChoice choice;
  const size_t dash = value.find('-');
  const std::string_view text(value);
  if (dash != std::string::npos && TakeInt(text.substr(0, dash), 0, INT32_MAX, choice.First) &&
      TakeInt(text.substr(dash + 1), choice.First, INT32_MAX, choice.Last)) {
    options.Animations.push_back(choice);
    return true;
  }
  choice.Name = value;
  options.Animations.push_back(choice);
  return true;
}

struct TValueOption {
  const char* Name;
  const char* Needs;
  bool (*Take)(const std::string& value, TImportOptions& options);
};
constexpr TValueOption ValueOptions[] = {
    {"--import", "an IN.glb or IN.gltf",
     [](const std::string& v, TImportOptions& o) {
       o.In = v;
       return IsGltfFileName(v);
     }},
    {"-o", "an OUT.md2",
     [](const std::string& v, TImportOptions& o) {
       o.Out = v;
       return !v.empty() && v[0] != '-';
     }},
    {"--fps", "a frame rate from 1 to 1000",
     [](const std::string& v, TImportOptions& o) {
       return (o.FpsGiven = TakeInt(v, 1, MaxExportFps, o.Fps));
     }},
    {"--anim", "an animation NAME or FIRST-LAST",
     [](const std::string& v, TImportOptions& o) { return TakeAnimation(v, o); }},
    {"--scale", "a scale above 0, at most 1000000",
     [](const std::string& v, TImportOptions& o) {
       char* end = nullptr;
       const double parsed = std::strtod(v.c_str(), &end);
       if (v.empty() || end != v.c_str() + v.size() || !std::isfinite(parsed) || parsed <= 0 ||
           parsed > MaxExportScale)
         return false;
       o.Scale = parsed;
       return true;
     }},
    {"--skin-out", "a FILE.png",
     [](const std::string& v, TImportOptions& o) {
       o.SkinOut = v;
       return v.size() > 4 && v.compare(v.size() - 4, 4, ".png") == 0;
     }},
    {"--node", "a NAME",
     [](const std::string& v, TImportOptions& o) {
       o.Node = v;
       return !v.empty();
     }},
};

}  // namespace

TImportParse ParseImportOptions(const std::vector<std::string>& args, TImportOptions& options,
                                std::string& error)
{
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") return TImportParse::Help;
  // Every option takes a value.
  for (size_t i = 0; i < args.size(); i += 2) {
    const std::string& arg = args[i];
    const TValueOption* option = nullptr;
    for (const TValueOption& candidate : ValueOptions)
      if (arg == candidate.Name || (arg == "--out" && std::string(candidate.Name) == "-o"))
        option = &candidate;
    if (!option) {
      error = "unknown option '" + arg + "'";
      return TImportParse::Error;
    }
    if (i + 1 == args.size() || !option->Take(args[i + 1], options)) {
      error = arg + " needs " + option->Needs +
              (i + 1 == args.size() ? std::string() : ", not '" + args[i + 1] + "'");
      return TImportParse::Error;
    }
  }
  if (options.In.empty()) {
    error = "--import needs an IN.glb or IN.gltf";
    return TImportParse::Error;
  }
  if (options.Out.empty()) {
    error = "--import needs -o OUT.md2";
    return TImportParse::Error;
  }
  return TImportParse::Ok;
}

const char* ImportUsage()
{
  return "usage: quarn --import IN.glb|IN.gltf -o OUT.md2 [--fps N] [--anim NAME|FIRST-LAST]...\n"
         "             [--scale S] [--node NAME] [--skin-out FILE.png]\n"
         "\n"
         "  Writes an MD2 model from a glTF 2.0 file without a display: the first node with a\n"
         "  mesh (or the one named), turned to face +x with Z up. Every animation (or those\n"
         "  chosen, by name or by their numbers from 0) is sampled at N frames a second\n"
         "  (default 10) into frames named after it. A file this program exported gives back\n"
         "  its keyframes as they were, unless --fps or --anim asks for samples. --scale\n"
         "  multiplies every length. --skin-out writes the base colour texture as PNG and\n"
         "  records its name in the model. The largest position error is said at the end.\n";
}

}  // namespace quarn::convert
