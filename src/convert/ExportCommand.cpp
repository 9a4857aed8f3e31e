#include "convert/ExportCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "bots/MD2.h"
#include "convert/ExportOptions.h"
#include "convert/GltfExporter.h"

namespace quarn::convert {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitBadOption = 2;
// More keyframes than any model made for the format has: each animation keys a weight for
// every one of them.
constexpr int32_t MaxExportFrames = 4096;

int Fail(const std::string& message)
{
  std::fprintf(stderr, "quarn: %s\n", message.c_str());
  return ExitUnreadable;
}

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

// Loads a model that can be exported; 0, or the exit status after its error line.
int LoadModel(bots::TMD2& model, const std::string& fileName)
{
  if (!model.LoadFromFile(fileName)) {
    const std::string reason =
        model.FailReason().empty() ? std::strerror(ENOENT) : model.FailReason();
    return Fail("cannot read model " + fileName + ": " + reason);
  }
  if (model.GetFrameCount() == 0 || model.GetVertexCount() == 0 || model.GetTriangleCount() == 0)
    return Fail("cannot export model " + fileName + ": it has no frames, vertices or triangles");
  if (model.GetFrameCount() > MaxExportFrames)
    return Fail("cannot export model " + fileName + ": " + std::to_string(model.GetFrameCount()) +
                " frames, at most " + std::to_string(MaxExportFrames));
  return ExitDone;
}

// The skins of a model as PNG: the one given (which must be read), else every one the search
// finds (one that cannot be read is left out, with a line saying why).
int LoadSkins(const bots::TMD2& model, const std::string& given, const TSkinFinder& findSkin,
              std::vector<TSkinPng>& skins)
{
  const std::vector<std::string> files =
      given.empty() ? FindSkins(model.FileName(), model.SkinNames(), findSkin)
                    : std::vector<std::string>{given};
  for (const std::string& file : files) {
    TSkinPng skin{file, {}};
    std::string reason;
    if (SkinAsPng(file, skin.Png, reason)) {
      skins.push_back(std::move(skin));
    } else if (!given.empty()) {
      return Fail("cannot read skin " + file + ": " + reason);
    } else {
      std::fprintf(stderr, "quarn: skin %s left out: %s\n", file.c_str(), reason.c_str());
    }
  }
  return ExitDone;
}

}  // namespace

bool WantsExport(int argc, char** argv)
{
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--export") == 0) return true;
  return false;
}

int RunExportCommand(const std::vector<std::string>& args, const TSkinFinder& findSkin)
{
  TExportOptions options;
  std::string error;
  switch (ParseExportOptions(args, options, error)) {
    case TExportParse::Help: std::fputs(ExportUsage(), stdout); return ExitDone;
    case TExportParse::Error:
      std::fprintf(stderr, "quarn: %s\n", error.c_str());
      std::fputs(ExportUsage(), stderr);
      return ExitBadOption;
    case TExportParse::Ok: break;
  }

  bots::TMD2 body, weapon;
  std::vector<TSkinPng> bodySkins, weaponSkins;
  if (const int status = LoadModel(body, options.Model)) return status;
  if (!options.Weapon.empty())
    if (const int status = LoadModel(weapon, options.Weapon)) return status;
  if (const int status = LoadSkins(body, options.Skin, findSkin, bodySkins)) return status;
  if (!options.Weapon.empty())
    if (const int status = LoadSkins(weapon, options.WeaponSkin, findSkin, weaponSkins))
      return status;

  TGltfExporter exporter(options);
  const std::string bodyName = ModelName(options.Model);
  std::string weaponName = ModelName(options.Weapon);
  if (weaponName == bodyName) weaponName += "_weapon";
  if (!exporter.AddModel(body, bodyName, bodySkins, error)) return Fail(error);
  if (!options.Weapon.empty() && !exporter.AddModel(weapon, weaponName, weaponSkins, error))
    return Fail(error);
  exporter.AddAnimations(ModelFrameGroups(body));
  TExportSizes sizes;
  if (!exporter.Write(options.Out, sizes, error)) return Fail(error);

  const uint64_t md2 =
      FileBytes(options.Model) + (options.Weapon.empty() ? 0 : FileBytes(options.Weapon));
  std::printf("%s: %llu bytes (MD2 %llu bytes; morph targets %llu bytes, %llu as whole float "
              "accessors; skins %llu bytes of PNG)\n",
              options.Out.c_str(), static_cast<unsigned long long>(sizes.Written),
              static_cast<unsigned long long>(md2), static_cast<unsigned long long>(sizes.Targets),
              static_cast<unsigned long long>(sizes.DenseTargets),
              static_cast<unsigned long long>(sizes.Skins));
  return ExitDone;
}

}  // namespace quarn::convert
