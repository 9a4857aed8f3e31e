// Frame cost of drawing the demo robot (body and weapon through the target camera, as the main
// window does) against clearing and swapping an empty frame in the same run, and the cost of
// loading a small and a large model file. Run under a display (xvfb-run); prints the ratios.
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "bots/MD2.h"
#include "bots/MD2Writer.h"
#include "platform/HiddenGLWindow.h"
#include "render/Camera.h"

namespace {

using quarn::bots::TMD2;

constexpr int Width = 640, Height = 480;

struct TScene {
  quarn::platform::THiddenGLWindow Window;
  quarn::render::TTargetCamera Camera;
  TMD2 Body, Weapon;
  bool Ok = false;

  TScene()
  {
    quarn::platform::TPixelFormat format;
    format.DepthBits = 16;
    std::string reason;
    if (!Window.Create(Width, Height, format, reason)) return;
    const std::string dir = QUARN_ROBOT_DIR "/";
    Ok = Body.LoadFromFile(dir + "robot.md2") && Weapon.LoadFromFile(dir + "weapon.md2") &&
         Body.LoadSkin(dir + "robot.tga") && Weapon.LoadSkin(dir + "weapon.jpg");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.ViewVolume.FarPlane = 1000;
    Camera.Eye = quarn::render::Vector(-200, 100, 0);
    Camera.Center = quarn::render::Vector(0, 30, 0);
    Camera.Rotation = quarn::render::Vector(-90, 23, 0);
    for (TMD2* model : {&Body, &Weapon}) {
      model->Active = true;
      model->SetAnimation(1);
    }
  }
};

TScene& Scene()
{
  static TScene scene;
  return scene;
}

void BM_ClearSwap(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no robot");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    quarn::platform::SwapGLBuffers(s.Window.Handle());
  }
}
BENCHMARK(BM_ClearSwap)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DrawRobot(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no robot");
  uint32_t now = 0;
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    s.Camera.Turn += 0.5f;
    s.Camera.Apply();
    now += 5;
    for (TMD2* model : {&s.Weapon, &s.Body}) model->Update(now);
    for (TMD2* model : {&s.Body, &s.Weapon}) {
      model->BindTexture();
      model->Draw();
      model->AfterDraw();
    }
    quarn::platform::SwapGLBuffers(s.Window.Handle());
  }
  const double triangles = s.Body.GetTriangleCount() + s.Weapon.GetTriangleCount();
  state.counters["triangles/s"] =
      benchmark::Counter(triangles * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawRobot)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The GL state the full demo frame reads back: the matrices and viewport each model's drawn
// area is projected with (two models) and the state each text batch chooses its fill by
// (the FPS and frame-number overlays and the console), and the clear colour.
void BM_FrameStateReads(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no robot");
  GLdouble matrix[16];
  GLint values[4];
  GLboolean flag;
  GLfloat colour[4];
  for (auto _ : state) {
    for (int model = 0; model < 2; ++model) {
      glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
      glGetDoublev(GL_PROJECTION_MATRIX, matrix);
      glGetIntegerv(GL_VIEWPORT, values);
    }
    for (int batch = 0; batch < 3; ++batch) {
      for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST,
                         GL_COLOR_LOGIC_OP, GL_DEPTH_TEST})
        benchmark::DoNotOptimize(glIsEnabled(cap));
      for (GLenum name : {GL_BLEND_SRC, GL_BLEND_DST, GL_DEPTH_FUNC}) glGetIntegerv(name, values);
      glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, values);
      glGetBooleanv(GL_DEPTH_WRITEMASK, &flag);
    }
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    benchmark::DoNotOptimize(matrix[0] + values[0] + colour[0] + flag);
  }
}
BENCHMARK(BM_FrameStateReads)->Unit(benchmark::kMicrosecond);

// Model files of 1 KB and about 64 MB with the same triangles: only the frame count differs.
std::string ModelFile(int frames)
{
  static std::map<int, std::string> made;
  auto [it, added] = made.try_emplace(frames);
  if (added) {
    quarn::bots::TMD2Content c;
    c.TexCoords = {{0, 0}, {64, 0}, {0, 64}};
    for (int i = 0; i < 32; ++i) c.Triangles.push_back({{0, 1, 2}, {0, 1, 2}});
    quarn::bots::TMD2RawFrame frame;
    frame.Vertices.assign(256, {1, 2, 3});
    c.Frames.assign(size_t(frames), frame);
    it->second = "/tmp/quarn_bench_model_" + std::to_string(frames) + ".md2";
    quarn::bots::SaveBytes(it->second, quarn::bots::WriteMD2(c));
  }
  return it->second;
}

void BM_LoadModel(benchmark::State& state)
{
  const std::string file = ModelFile(int(state.range(0)));
  for (auto _ : state) {
    TMD2 model;
    benchmark::DoNotOptimize(model.LoadFromFile(file));
  }
  state.SetLabel(std::to_string(state.range(0)) + " frames");
}
BENCHMARK(BM_LoadModel)->Arg(1)->Arg(60000)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time per iteration to print the ratios after the usual table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  TRatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override
  {
    for (const Run& run : runs)
      if (run.iterations > 0) Times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.Times;
  const std::string draw = "BM_DrawRobot/real_time", empty = "BM_ClearSwap/real_time";
  if (t.count(draw) && t.count(empty))
    std::printf("robot frame / empty frame: %.2f\n", t.at(draw) / t.at(empty));
  const std::string reads = "BM_FrameStateReads";
  if (t.count(draw) && t.count(reads))
    std::printf("frame's state reads / robot frame: %.4f\n", t.at(reads) / t.at(draw));
  if (t.count("BM_LoadModel/60000") && t.count("BM_LoadModel/1"))
    std::printf("load 60000-frame file / load 1-frame file: %.2f\n",
                t.at("BM_LoadModel/60000") / t.at("BM_LoadModel/1"));
  for (int frames : {1, 60000}) unlink(ModelFile(frames).c_str());
  return 0;
}
