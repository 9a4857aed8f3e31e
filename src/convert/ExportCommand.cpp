#include "convert/ExportCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bots/MD2.h"
#include "convert/GltfExporter.h"

namespace quarn::convert {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitBadOption = 2;
// More keyframes than any model made for the format has: each animation keys a weight for
// every one of them.
constexpr int32_t MaxExportFrames = 4096;

// The model's file name without its folder and extension: the name of its node and mesh.
std::string ModelName(const std::string& fileName)
{
  std::string name = std::filesystem::path(fileName).stem().string();
  return name.empty() ? "model" : name;
}

uint64_t FileBytes(const std::string& fileName)
{
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(fileName, error);
  return error ? 0 : uint64_t(size);
}

// Why a loaded model cannot be exported, or "".
std::string Unexportable(const bots::TMD2& model)
{
  if (!model.IsLoaded() || model.GetFrameCount() == 0 || model.GetVertexCount() == 0 ||
      model.GetTriangleCount() == 0)
    return "cannot export model " + model.FileName() + ": it has no frames, vertices or triangles";
  if (model.GetFrameCount() > MaxExportFrames)
    return "cannot export model " + model.FileName() + ": " +
           std::to_string(model.GetFrameCount()) + " frames, at most " +
           std::to_string(MaxExportFrames);
  return {};
}

// Loads a model; "" or why it cannot be exported.
std::string LoadModel(bots::TMD2& model, const std::string& fileName)
{
  if (!model.LoadFromFile(fileName)) {
    const std::string reason =
        model.FailReason().empty() ? std::strerror(ENOENT) : model.FailReason();
    return "cannot read model " + fileName + ": " + reason;
  }
  return Unexportable(model);
}

// The skins of a model as PNG: the one given (which must be read), else the one it wears and
// every one the search finds (one that cannot be read is left out, with a note saying why).
// False with `error` for a given skin that cannot be read.
bool LoadSkins(const bots::TMD2& model, const std::string& given, std::vector<TSkinPng>& skins,
               std::string& error, std::vector<std::string>& notes)
{
  std::vector<std::string> files{given};
  if (given.empty()) {
    files = FindSkins(model.FileName(), model.SkinNames());
    // The worn skin once, however its name is spelled (the bot file's folder or the model's).
    const std::string worn = model.SkinFileName();
    files.erase(
        std::remove_if(files.begin(), files.end(),
                       [&worn](const std::string& file) {
                         std::error_code ignored;
                         return !worn.empty() &&
                                (file == worn || std::filesystem::equivalent(file, worn, ignored));
                       }),
        files.end());
    if (!worn.empty()) files.insert(files.begin(), worn);
  }
  for (const std::string& file : files) {
    TSkinPng skin{file, {}};
    std::string reason;
    if (SkinAsPng(file, skin.Png, reason)) {
      skins.push_back(std::move(skin));
    } else if (!given.empty()) {
      error = "cannot read skin " + file + ": " + reason;
      return false;
    } else {
      notes.push_back("skin " + file + " left out: " + reason);
    }
  }
  return true;
}

}  // namespace

bool WantsExport(int argc, char** argv)
{
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--export") == 0) return true;
  return false;
}

int ExportLoaded(const TExportOptions& options, const bots::TMD2& body, const bots::TMD2* weapon,
                 std::string& line, std::vector<std::string>& notes)
{
  for (const bots::TMD2* model : {&body, weapon})
    if (model && !(line = Unexportable(*model)).empty()) return ExitUnreadable;
  std::vector<TSkinPng> bodySkins, weaponSkins;
  if (!LoadSkins(body, options.Skin, bodySkins, line, notes) ||
      (weapon && !LoadSkins(*weapon, options.WeaponSkin, weaponSkins, line, notes)))
    return ExitUnreadable;

  TGltfExporter exporter(options);
  const std::string bodyName = ModelName(body.FileName());
  std::string weaponName = weapon ? ModelName(weapon->FileName()) : std::string();
  if (weaponName == bodyName) weaponName += "_weapon";
  TExportSizes sizes;
  if (!exporter.AddModel(body, bodyName, bodySkins, line) ||
      (weapon && !exporter.AddModel(*weapon, weaponName, weaponSkins, line)))
    return ExitUnreadable;
  exporter.AddAnimations(ModelFrameGroups(body));
  if (!exporter.Write(options.Out, sizes, line)) return ExitUnreadable;

  const uint64_t md2 = FileBytes(body.FileName()) + (weapon ? FileBytes(weapon->FileName()) : 0);
  line = options.Out + ": " + std::to_string(sizes.Written) + " bytes (MD2 " + std::to_string(md2) +
         " bytes; morph targets " + std::to_string(sizes.Targets) + " bytes, " +
         std::to_string(sizes.DenseTargets) + " as whole float accessors; skins " +
         std::to_string(sizes.Skins) + " bytes of PNG)";
  return ExitDone;
}

int RunExportCommand(const std::vector<std::string>& args)
{
  TExportOptions options;
  std::string line;
  switch (ParseExportOptions(args, options, line)) {
    case TExportParse::Help: std::fputs(ExportUsage(), stdout); return ExitDone;
    case TExportParse::Error:
      std::fprintf(stderr, "quarn: %s\n", line.c_str());
      std::fputs(ExportUsage(), stderr);
      return ExitBadOption;
    case TExportParse::Ok: break;
  }
  bots::TMD2 body, weapon;
  line = LoadModel(body, options.Model);
  if (line.empty() && !options.Weapon.empty()) line = LoadModel(weapon, options.Weapon);
  std::vector<std::string> notes;
  const int status =
      line.empty()
          ? ExportLoaded(options, body, options.Weapon.empty() ? nullptr : &weapon, line, notes)
          : ExitUnreadable;
  for (const std::string& note : notes) std::fprintf(stderr, "quarn: %s\n", note.c_str());
  std::fprintf(status == ExitDone ? stdout : stderr, "%s%s\n",
               status == ExitDone ? "" : "quarn: ", line.c_str());
  return status;
}

}  // namespace quarn::convert
