// The viewer's model drawing against a peer: the same MD2 model and skin drawn by the viewer's
// main window (console hidden, no overlay, the real event loop) and by a small program on the
// Irrlicht engine (bench_peer_md2_irrlicht), each in its own 640x480 window. Two models: the
// demo robot and a generated torus of 4,096 triangles. The programs take turns for several
// rounds; each round's ratios are Quarn's frame rate over the peer's and Quarn's CPU time per
// frame (all threads, from the scheduler's accounting) over the peer's. Prints the median, the
// minimum and the maximum of those ratios. Run under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_peer_md2 [rounds] [seconds]
// `bench_peer_md2 --write-torus MODEL.md2 SKIN.png` writes the generated model and its skin.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bots/MD2Writer.h"
#include "images/Image.h"
#include "images/PngWriter.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "schedstat.h"
#include "shell/MainForm.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

struct TRun {
  long Frames = 0;
  double Seconds = 0;
  uint64_t CpuNs = 0;
  long Pixels = 0;
  double Fps() const { return Seconds > 0 ? Frames / Seconds : 0; }
  double CpuPerFrame() const { return Frames > 0 ? double(CpuNs) / Frames : 0; }
};

// A torus of around x across quads breathing over 40 frames, its faces clockwise seen from
// outside, and a checkered skin for it. The default, 2,048 vertices and 4,096 triangles, is
// the most the peer's model loader takes: a few more vertices overrun its stack.
void WriteTorus(const std::string& model, const std::string& skin, int around = 64,
                int across = 32)
{
  constexpr int Frames = 40;
  quarn::bots::TMD2Content c;
  c.SkinNames = {"torus.png"};
  for (int j = 0; j <= across; ++j)
    for (int i = 0; i <= around; ++i)
      c.TexCoords.push_back({int16_t(i * 256 / around), int16_t(j * 256 / across)});
  auto vertex = [&](int i, int j) { return int16_t(j % across * around + i % around); };
  auto texCoord = [&](int i, int j) { return int16_t(j * (around + 1) + i); };
  for (int j = 0; j < across; ++j)
    for (int i = 0; i < around; ++i) {
      c.Triangles.push_back({{vertex(i, j), vertex(i + 1, j + 1), vertex(i + 1, j)},
                             {texCoord(i, j), texCoord(i + 1, j + 1), texCoord(i + 1, j)}});
      c.Triangles.push_back({{vertex(i, j), vertex(i, j + 1), vertex(i + 1, j + 1)},
                             {texCoord(i, j), texCoord(i, j + 1), texCoord(i + 1, j + 1)}});
    }
  for (int f = 0; f < Frames; ++f) {
    const double tube = 10 + 2 * std::sin(2 * Pi * f / Frames);
    std::vector<quarn::render::TVector> positions;
    for (int j = 0; j < across; ++j)
      for (int i = 0; i < around; ++i) {
        const double u = 2 * Pi * i / around, v = 2 * Pi * j / across, ring = 30 + tube * std::cos(v);
        positions.push_back(quarn::render::Vector(float(ring * std::cos(u)),
                                                  float(ring * std::sin(u)),
                                                  float(tube * std::sin(v))));
      }
    c.Frames.push_back(quarn::bots::QuantizeFrame(positions, "stand" + std::to_string(f + 1)));
  }
  quarn::bots::SaveBytes(model, quarn::bots::WriteMD2(c));

  quarn::images::TFramePixels pixels;
  pixels.Width = pixels.Height = 256;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      const bool light = (x / 32 + y / 32) % 2 == 0;
      pixels.Rgb.insert(pixels.Rgb.end(), {uint8_t(light ? 230 : 40), uint8_t(light ? 180 : 90),
                                           uint8_t(light ? 60 : 160)});
    }
  quarn::images::WritePNG(skin, pixels, quarn::images::TWriteMode::Replace);
}

Uint32 PushQuit(Uint32, void*)
{
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
  return 0;
}

// Quarn's side in this process: the viewer's window with the model, console hidden.
int RunViewer(const std::string& model, const std::string& skin, double seconds)
{
  quarn::platform::SetNoDialogs(true);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return 1;
  TRun run;
  {
    quarn::shell::TMainFormOptions options;
    options.Screen = quarn::shell::TScreenChoice::Windowed;
    options.View = quarn::shell::TViewRequest{model, skin, "", ""};
    options.ExecLines = {"DrawFPS(false)"};
    quarn::shell::TMainForm form(options);
    if (!form.Started()) return 1;
    form.ExecStartupLines();
    form.FormKeyUp(quarn::platform::VK_TAB);
    auto frame = form.GLTimer().OnTimer;
    form.GLTimer().OnTimer = [&](quarn::shell::TDXTimer& timer, int32_t lag) {
      frame(timer, lag);
      ++run.Frames;
    };
    const Uint64 start = SDL_GetPerformanceCounter();
    const uint64_t cpuStart = bench::ProcessCpuNs();
    SDL_AddTimer(static_cast<Uint32>(seconds * 1000), PushQuit, nullptr);
    quarn::platform::Application().Run();
    run.CpuNs = bench::ProcessCpuNs() - cpuStart;
    run.Seconds = double(SDL_GetPerformanceCounter() - start) / SDL_GetPerformanceFrequency();
    // One more frame, saved before it is shown, for the pixels it covers.
    const std::string shot = "/tmp/quarn_peer_md2_shot_" + std::to_string(getpid()) + ".png";
    form.Screenshots().Request(shot, *form.Console());
    frame(form.GLTimer(), 0);
    std::string bytes;
    quarn::images::TImage image;
    if (quarn::platform::ReadWholeFile(shot, bytes) &&
        quarn::images::DecodePNG({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                                 image) == quarn::images::TDecodeResult::Ok) {
      const int step = image.BytesPerPixel();
      for (size_t i = 0; i + 2 < image.Pixels.size(); i += size_t(step))
        run.Pixels += image.Pixels[i] || image.Pixels[i + 1] || image.Pixels[i + 2];
    }
    unlink(shot.c_str());
  }
  SDL_Quit();
  std::printf("%ld %f %llu %ld\n", run.Frames, run.Seconds,
              static_cast<unsigned long long>(run.CpuNs), run.Pixels);
  return 0;
}

TRun RunChild(const std::string& command)
{
  TRun run;
  FILE* child = popen(command.c_str(), "r");
  if (!child) return run;
  char line[256];
  while (std::fgets(line, sizeof line, child)) {
    unsigned long long cpu = 0;
    if (std::sscanf(line, "%ld %lf %llu %ld", &run.Frames, &run.Seconds, &cpu, &run.Pixels) == 4)
      run.CpuNs = cpu;
  }
  pclose(child);
  return run;
}

double Median(std::vector<double> values)
{
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

int main(int argc, char** argv)
{
  if (argc == 5 && std::strcmp(argv[1], "--viewer") == 0)
    return RunViewer(argv[2], argv[3], std::atof(argv[4]));
  if (argc == 6 && std::strcmp(argv[1], "--write-torus") == 0) {  // to look at it
    WriteTorus(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    return 0;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 2.0;

  const std::string self = quarn::platform::ExeDir();
  const std::string scratch = "/tmp/quarn_peer_md2_" + std::to_string(getpid());
  const std::string torus = scratch + "_torus.md2", torusSkin = scratch + "_torus.png";
  WriteTorus(torus, torusSkin);
  struct TModel {
    const char* Name;
    std::string File, Skin;
    std::vector<double> FpsRatios{}, CpuRatios{};
    std::vector<double> QuarnFps{}, PeerFps{}, QuarnCpu{}, PeerCpu{};
    long QuarnPixels = 0, PeerPixels = 0;
  };
  std::vector<TModel> models = {
      {"demo robot", QUARN_ROBOT_DIR "/robot.md2", QUARN_ROBOT_DIR "/robot.tga"},
      {"torus, 4096 triangles", torus, torusSkin},
  };
  const std::string secondsText = std::to_string(seconds);
  for (int round = 0; round < rounds; ++round)
    for (TModel& m : models) {
      // Which program goes first alternates from round to round.
      const std::string quarn = Quoted(std::string(argv[0])) + " --viewer " + Quoted(m.File) +
                                " " + Quoted(m.Skin) + " " + secondsText;
      const std::string peer = Quoted(self + "bench_peer_md2_irrlicht") + " " + Quoted(m.File) +
                               " " + Quoted(m.Skin) + " " + secondsText;
      TRun q, p;
      if (round % 2 == 0) {
        q = RunChild(quarn);
        p = RunChild(peer);
      } else {
        p = RunChild(peer);
        q = RunChild(quarn);
      }
      if (q.Frames == 0 || p.Frames == 0) {
        std::fprintf(stderr, "bench_peer_md2: %s: a program drew no frame\n", m.Name);
        continue;
      }
      m.FpsRatios.push_back(q.Fps() / p.Fps());
      m.CpuRatios.push_back(q.CpuPerFrame() / p.CpuPerFrame());
      m.QuarnFps.push_back(q.Fps());
      m.PeerFps.push_back(p.Fps());
      m.QuarnCpu.push_back(q.CpuPerFrame() / 1e6);
      m.PeerCpu.push_back(p.CpuPerFrame() / 1e6);
      m.QuarnPixels = q.Pixels;
      m.PeerPixels = p.Pixels;
    }
  unlink(torus.c_str());
  unlink(torusSkin.c_str());

  std::printf("%d rounds of %.1f s per program; ratio = Quarn / peer of the same round\n", rounds,
              seconds);
  for (const TModel& m : models) {
    if (m.FpsRatios.empty()) continue;
    std::printf("%s: pixels drawn Quarn %ld, peer %ld\n", m.Name, m.QuarnPixels, m.PeerPixels);
    auto [fpsLow, fpsHigh] = std::minmax_element(m.FpsRatios.begin(), m.FpsRatios.end());
    auto [cpuLow, cpuHigh] = std::minmax_element(m.CpuRatios.begin(), m.CpuRatios.end());
    std::printf("  frames/s      Quarn %7.0f  peer %7.0f  ratio median %.2f  min %.2f  max %.2f\n",
                Median(m.QuarnFps), Median(m.PeerFps), Median(m.FpsRatios), *fpsLow, *fpsHigh);
    std::printf("  CPU ms/frame  Quarn %7.3f  peer %7.3f  ratio median %.2f  min %.2f  max %.2f\n",
                Median(m.QuarnCpu), Median(m.PeerCpu), Median(m.CpuRatios), *cpuLow, *cpuHigh);
  }
  return 0;
}
