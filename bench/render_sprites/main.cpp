// bench_render_sprites [--size WxH] [--directions N] [--fps N] [--out DIR]: renders every frame
// of the demo robot and its weapon as sprites twice in one run, once drawn alone (finished,
// never read back) and once written as PNG files, and prints both rates and their ratio.
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "bots/MD2.h"
#include "platform/OffscreenGL.h"
#include "sprites/SpriteRenderer.h"

namespace {

using namespace quarn;

double Seconds(std::chrono::steady_clock::time_point since)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of every thread of the process: steadier than the clock on a busy machine.
double ProcessorSeconds()
{
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
  std::vector<std::string> args = {"--render", QUARN_ROBOT_DIR "/robot.md2"};
  args.insert(args.end(), argv + 1, argv + argc);
  sprites::TSpriteOptions options;
  std::string error;
  if (sprites::ParseSpriteOptions(args, true, options, error) != sprites::TParseResult::Ok) {
    std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
    return 2;
  }
  // Without --out, a fresh folder in memory where there is one: the run then measures
  // drawing, read-back and encoding, not how the disk's file system makes a thousand files.
  const bool ownFolder = options.OutDir == "sprites";
  if (ownFolder) {
    std::error_code code;
    const std::filesystem::path memory = "/dev/shm";
    const auto base = std::filesystem::is_directory(memory, code)
                          ? memory
                          : std::filesystem::temp_directory_path();
    options.OutDir = (base / ("quarn-bench-sprites-" + std::to_string(getpid()))).string();
  }

  platform::TOffscreenGL context;
  if (!context.Create(error)) {
    std::fprintf(stderr, "bench_render_sprites: no OpenGL context: %s\n", error.c_str());
    return 1;
  }
  bots::TMD2 body, weapon;
  if (!body.LoadFromFile(QUARN_ROBOT_DIR "/robot.md2") ||
      !body.LoadSkin(QUARN_ROBOT_DIR "/robot.pcx") ||
      !weapon.LoadFromFile(QUARN_ROBOT_DIR "/weapon.md2") ||
      !weapon.LoadSkin(QUARN_ROBOT_DIR "/weapon.jpg")) {
    std::fprintf(stderr, "bench_render_sprites: the demo robot cannot be loaded\n");
    return 1;
  }
  sprites::TSpriteRenderer renderer(options, body, &weapon);
  if (!renderer.Prepare(error)) {
    std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
    return 2;
  }
  const double frames = double(renderer.FrameCount());
  std::printf("%s, %dx%d, %lld frames (%d directions), written to %s\n", context.Kind().c_str(),
              options.Width, options.Height, static_cast<long long>(frames), options.Directions,
              options.OutDir.c_str());

  // Warm-up: the first frames pay for texture residency and code paths being reached.
  renderer.DrawOnly(error);
  auto start = std::chrono::steady_clock::now();
  double processor = ProcessorSeconds();
  if (renderer.DrawOnly(error) != sprites::TRenderStatus::Done) {
    std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
    return 1;
  }
  const double drawRate = frames / Seconds(start);
  const double drawProcessor = (ProcessorSeconds() - processor) / frames * 1000;
  start = std::chrono::steady_clock::now();
  processor = ProcessorSeconds();
  if (renderer.Run(error) != sprites::TRenderStatus::Done) {
    std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
    return 1;
  }
  const double wholeRate = frames / Seconds(start);
  const double wholeProcessor = (ProcessorSeconds() - processor) / frames * 1000;
  std::printf("draw only:  %8.1f frames/s, %.3f ms of processor time a frame\n", drawRate,
              drawProcessor);
  std::printf(
      "whole run:  %8.1f frames/s, %.3f ms of processor time a frame (read back, PNG\n"
      "            encoded on worker threads, written)\n",
      wholeRate, wholeProcessor);
  std::printf("ratio:      %8.2f (goal at least 0.70)\n", wholeRate / drawRate);
  if (ownFolder) std::filesystem::remove_all(options.OutDir);
  return 0;
}
