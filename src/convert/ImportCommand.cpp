#include "convert/ImportCommand.h"

#include <cstdio>
#include <cstring>

#include "bots/MD2Writer.h"
#include "convert/GltfImporter.h"
#include "convert/ImportOptions.h"
#include "convert/SkinImages.h"
#include "platform/Files.h"

namespace quarn::convert {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitBadOption = 2;

std::string_view AsText(const std::vector<uint8_t>& bytes)
{
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A length with the digits that tell it apart.
std::string Number(double value)
{
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

}  // namespace

bool WantsImport(int argc, char** argv)
{
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--import") == 0) return true;
  return false;
}

int RunImportCommand(const std::vector<std::string>& args)
{
  TImportOptions options;
  std::string line;
  switch (ParseImportOptions(args, options, line)) {
    case TImportParse::Help: std::fputs(ImportUsage(), stdout); return ExitDone;
    case TImportParse::Error:
      std::fprintf(stderr, "quarn: %s\n", line.c_str());
      std::fputs(ImportUsage(), stderr);
      return ExitBadOption;
    case TImportParse::Ok: break;
  }
  TImportedModel model;
  const bool imported = ImportGltf(options, model, line);
  for (const std::string& note : model.Notes) std::fprintf(stderr, "quarn: %s\n", note.c_str());
  if (!imported) {
    std::fprintf(stderr, "quarn: %s\n", line.c_str());
    return ExitFailed;
  }
  std::vector<uint8_t> png;
  if (!options.SkinOut.empty()) {
    if (model.Skin.Width == 0) line = "cannot import " + options.In + ": it has no base colour texture";
    else if (!ImageAsPng(model.Skin, png, line)) line = "cannot write " + options.SkinOut + ": " + line;
    if (png.empty()) {
      std::fprintf(stderr, "quarn: %s\n", line.c_str());
      return ExitFailed;
    }
  }
  const std::vector<uint8_t> bytes = bots::WriteMD2(model.Content);
  // The skin first: a model is never left naming a skin that was not written.
  const bool skinWritten = !png.empty() && platform::ReplaceFile(options.SkinOut, AsText(png), line);
  const bool written = (png.empty() || skinWritten) &&
                       platform::ReplaceFile(options.Out, AsText(bytes), line);
  if (!written) {
    if (skinWritten) std::remove(options.SkinOut.c_str());
    std::fprintf(stderr, "quarn: %s\n", line.c_str());
    return ExitFailed;
  }
  const bots::TMD2Content& c = model.Content;
  const double fraction = model.Size > 0 ? model.LargestError / model.Size : 0;
  std::printf("%s: %zu bytes, %zu frames, %zu vertices, %zu triangles, %zu texture coordinates; "
              "largest position error %s model units (%s of the model's size)\n",
              options.Out.c_str(), bytes.size(), c.Frames.size(),
              c.Frames.empty() ? size_t(0) : c.Frames[0].Vertices.size(), c.Triangles.size(),
              c.TexCoords.size(), Number(model.LargestError).c_str(), Number(fraction).c_str());
  return ExitDone;
}

}  // namespace quarn::convert
