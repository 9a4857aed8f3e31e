#include "convert/ExportOptions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quarn::convert {

namespace {

bool EndsWith(const std::string& name, const char* extension)
{
  const std::string tail(extension);
  if (name.size() <= tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - tail.size() + i])) != tail[i])
      return false;
  return true;
}

bool TakeName(const std::string& value, std::string& name)
{
  name = value;
  return !value.empty();
}

bool TakeScale(const std::string& value, double& scale)
{
  if (value.empty()) return false;
  char* end = nullptr;
  const double parsed = std::strtod(value.c_str(), &end);
  if (end != value.c_str() + value.size() || !std::isfinite(parsed) || parsed <= 0 ||
      parsed > MaxExportScale)
    return false;
  scale = parsed;
  return true;
}

bool TakeFps(const std::string& value, int32_t& fps)
{
  int32_t parsed = 0;
  const char* end = value.data() + value.size();
  const auto [at, status] = std::from_chars(value.data(), end, parsed);
  if (status != std::errc() || at != end || parsed < 1 || parsed > MaxExportFps) return false;
  fps = parsed;
  return true;
}

// Each option that takes a value: the words its error line uses for the value, and how the
// value is stored (false when it is not one the option takes).
struct TValueOption {
  const char* Name;
  const char* Needs;
  bool (*Take)(const std::string& value, TExportOptions& options);
};
constexpr TValueOption ValueOptions[] = {
    {"--export", "a MODEL.md2",
     [](const std::string& v, TExportOptions& o) { return TakeName(v, o.Model) && v[0] != '-'; }},
    {"--skin", "an IMAGE",
     [](const std::string& v, TExportOptions& o) { return TakeName(v, o.Skin); }},
    {"--weapon", "a WEAPON.md2",
     [](const std::string& v, TExportOptions& o) { return TakeName(v, o.Weapon); }},
    {"--weapon-skin", "an IMAGE",
     [](const std::string& v, TExportOptions& o) { return TakeName(v, o.WeaponSkin); }},
    {"-o", "an OUT.glb or OUT.gltf",
     [](const std::string& v, TExportOptions& o) {
       return TakeName(v, o.Out) && IsGltfFileName(v);
     }},
    {"--scale", "a scale above 0, at most 1000000",
     [](const std::string& v, TExportOptions& o) { return TakeScale(v, o.Scale); }},
    {"--fps", "a keyframe rate from 1 to 1000",
     [](const std::string& v, TExportOptions& o) { return TakeFps(v, o.Fps); }},
    {"--filter", "'nearest' or 'linear'",
     [](const std::string& v, TExportOptions& o) {
       o.NearestFilter = v == "nearest";
       return v == "nearest" || v == "linear";
     }},
    {"--quantize", "8 or 16",
     [](const std::string& v, TExportOptions& o) {
       o.Quantize = v == "8" ? TQuantize::Bits8 : TQuantize::Bits16;
       return v == "8" || v == "16";
     }},
};

const TValueOption* FindValueOption(const std::string& name)
{
  for (const TValueOption& option : ValueOptions)
    if (name == option.Name || (name == "--out" && std::string(option.Name) == "-o"))
      return &option;
  return nullptr;
}

}  // namespace

bool IsTextGltf(const std::string& fileName) { return EndsWith(fileName, ".gltf"); }

bool IsGltfFileName(const std::string& fileName)
{
  return EndsWith(fileName, ".glb") || EndsWith(fileName, ".gltf");
}

TExportParse ParseExportOptions(const std::vector<std::string>& args, TExportOptions& options,
                                std::string& error)
{
  for (const std::string& arg : args)
    if (arg == "--help" || arg == "-h") return TExportParse::Help;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--unlit") {
      options.Unlit = true;
    } else if (const TValueOption* option = FindValueOption(arg)) {
      if (i + 1 == args.size() || !option->Take(args[i + 1], options)) {
        error = arg + " needs " + option->Needs +
                (i + 1 == args.size() ? std::string() : ", not '" + args[i + 1] + "'");
        return TExportParse::Error;
      }
      ++i;
    } else {
      error = "unknown option '" + arg + "'";
      return TExportParse::Error;
    }
  }
  if (options.Model.empty()) {
    error = "--export needs a MODEL.md2";
    return TExportParse::Error;
  }
  if (options.Out.empty()) {
    error = "--export needs -o OUT.glb or -o OUT.gltf";
    return TExportParse::Error;
  }
  if (options.Weapon.empty() && !options.WeaponSkin.empty()) {
    error = "--weapon-skin needs --weapon";
    return TExportParse::Error;
  }
  return TExportParse::Ok;
}

const char* ExportUsage()
{
  return "usage: quarn --export MODEL.md2 [--skin IMAGE] [--weapon W.md2 [--weapon-skin IMAGE]]\n"
         "             [--scale S] [--fps N] [--filter nearest|linear] [--unlit]\n"
         "             [--quantize 8|16] -o OUT.glb|OUT.gltf\n"
         "\n"
         "  Writes the model as glTF 2.0 without a display: Y up, facing +Z; every keyframe\n"
         "  a morph target, every recorded frame group an animation at N keyframes a second\n"
         "  (default 10) looping back to its first frame, every skin found embedded as PNG\n"
         "  (the first on the material, each one a material variant), the weapon as a\n"
         "  second mesh played by the same animations. --scale multiplies every length\n"
         "  (0.0254 turns inches into metres); --unlit keeps the skins' own colours;\n"
         "  --quantize stores the morph targets as normalised 8- or 16-bit integers.\n"
         "  .gltf writes OUT.bin and the skins as OUT_*.png beside it.\n";
}

}  // namespace quarn::convert
