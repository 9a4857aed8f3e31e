// bench_render_sprites [--render options...]: renders every frame of the demo robot and its
// weapon as sprites, drawn alone (finished, never read back) and as whole runs written as PNG
// files, in turn PAIRS times (default 5), and prints the median rates and the median of the
// paired ratios.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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
  // Drawn alone and whole runs in turn, PAIRS times: each pair gives one ratio of the rates,
  // and the median ratio is the result (a shared machine's load swings between runs, much
  // less within a pair).
  const char* pairsText = std::getenv("PAIRS");
  const int pairs = std::max(1, pairsText ? std::atoi(pairsText) : 5);
  std::vector<double> ratios, drawRates, wholeRates;
  for (int pair = 0; pair < pairs; ++pair) {
    auto start = std::chrono::steady_clock::now();
    if (renderer.DrawOnly(error) != sprites::TRenderStatus::Done) {
      std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
      return 1;
    }
    drawRates.push_back(frames / Seconds(start));
    start = std::chrono::steady_clock::now();
    if (renderer.Run(error) != sprites::TRenderStatus::Done) {
      std::fprintf(stderr, "bench_render_sprites: %s\n", error.c_str());
      return 1;
    }
    wholeRates.push_back(frames / Seconds(start));
    ratios.push_back(wholeRates.back() / drawRates.back());
  }
  const auto median = [](std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  std::printf("draw only:  %8.1f frames/s (median of %d)\n", median(drawRates), pairs);
  std::printf(
      "whole run:  %8.1f frames/s (read back, filtered, PNG encoded on worker threads, "
      "written)\n",
      median(wholeRates));
  std::printf("ratio:      %8.2f (median of %d pairs; goal at least 0.70)\n", median(ratios),
              pairs);
  if (ownFolder) std::filesystem::remove_all(options.OutDir);
  return 0;
}
