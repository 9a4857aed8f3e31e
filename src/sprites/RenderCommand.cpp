#include "sprites/RenderCommand.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "bots/MD2.h"
#include "model/Skins.h"
#include "platform/OffscreenGL.h"
#include "sprites/SpriteRenderer.h"

namespace quarn::sprites {

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitBadOption = 2;
// Shortest time between two updates of the progress line.
constexpr std::chrono::milliseconds ProgressInterval{200};

int Fail(int status, const std::string& message)
{
  std::fprintf(stderr, "quarn: %s\n", message.c_str());
  return status;
}

// Loads a model and its skin: the one given, else the one it records (none found: drawn
// untextured, as the viewer does). Which skin it wears, or what the search met, is told on
// stderr in the viewer's words.
int LoadModel(bots::TMD2& model, const std::string& fileName, const std::string& skin)
{
  if (!model.LoadFromFile(fileName)) {
    const std::string reason =
        model.FailReason().empty() ? std::strerror(ENOENT) : model.FailReason();
    return Fail(ExitUnreadable, "cannot read model " + fileName + ": " + reason);
  }
  if (model.GetFrameCount() == 0 || model.GetVertexCount() == 0)
    return Fail(ExitUnreadable, "cannot draw model " + fileName + ": it has no frames or vertices");
  std::string chosen = skin;
  if (chosen.empty()) {
    const model::TSkinSearch search = model::FindSkin(fileName, model.SkinNames());
    for (const std::string& line : model::SkinSearchLines(fileName, search))
      std::fprintf(stderr, "%s\n", line.c_str());
    chosen = search.Found;
  }
  if (chosen.empty()) return ExitDone;
  if (!model.LoadSkin(chosen)) {
    const std::string reason =
        model.SkinFailReason().empty() ? std::strerror(ENOENT) : model.SkinFailReason();
    return Fail(ExitUnreadable, "cannot read skin " + chosen + ": " + reason);
  }
  std::fprintf(stderr, "Skin %s on %s\n", chosen.c_str(), fileName.c_str());
  return ExitDone;
}

// "\rquarn: 120/640 frames, 85.2 frames/s", at most every ProgressInterval and at the end.
class TProgressLine {
public:
  void Update(int64_t done, int64_t total)
  {
    const auto now = std::chrono::steady_clock::now();
    if (done != total && now - FShown < ProgressInterval) return;
    FShown = now;
    const double seconds = std::chrono::duration<double>(now - FStart).count();
    std::fprintf(stderr, "\rquarn: %lld/%lld frames, %.1f frames/s ", static_cast<long long>(done),
                 static_cast<long long>(total), seconds > 0 ? double(done) / seconds : 0.0);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
  }

private:
  std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point FShown{};
};

}  // namespace

bool WantsRender(int argc, char** argv)
{
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--render") == 0) return true;
  return false;
}

int RunRenderCommand(const std::vector<std::string>& args)
{
  TSpriteOptions options;
  std::string error;
  switch (ParseSpriteOptions(args, true, options, error)) {
    case TParseResult::Help: std::fputs(SpriteUsage(), stdout); return ExitDone;
    case TParseResult::Error:
      std::fprintf(stderr, "quarn: %s\nTry 'quarn --render --help'.\n", error.c_str());
      return ExitBadOption;
    case TParseResult::Ok: break;
  }

  platform::TOffscreenGL context;
  if (!context.Create(error))
    return Fail(ExitUnreadable, "cannot make an OpenGL context: " + error);
  bots::TMD2 body, weapon;
  if (const int status = LoadModel(body, options.Model, options.Skin)) return status;
  if (!options.Weapon.empty())
    if (const int status = LoadModel(weapon, options.Weapon, options.WeaponSkin)) return status;

  TSpriteRenderer renderer(options, body, options.Weapon.empty() ? nullptr : &weapon);
  if (!renderer.Prepare(error)) return Fail(ExitBadOption, error);
  for (const std::string& note : renderer.Notes()) std::fprintf(stderr, "quarn: %s\n", note.c_str());
  TProgressLine line;
  TProgress progress;
  if (isatty(STDERR_FILENO))
    progress = [&line](int64_t done, int64_t total) { line.Update(done, total); };
  switch (renderer.Run(error, progress)) {
    case TRenderStatus::Done: return ExitDone;
    case TRenderStatus::BadRequest: return Fail(ExitBadOption, error);
    case TRenderStatus::Failed:
    case TRenderStatus::Stopped: break;
  }
  return Fail(ExitUnreadable, error);
}

}  // namespace quarn::sprites
