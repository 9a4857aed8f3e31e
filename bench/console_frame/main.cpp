// Frame rate with the console open (10 full lines of 38 characters plus the cursor) and the
// frames-per-second overlay, drawn as the main window draws them, against clearing and
// swapping an empty frame in the same run. Two more cases show where the time goes: the same
// text without the swap, and the same glyph quads sent in one glBegin/glEnd instead of
// through the glyph display lists. Run under a display (xvfb-run); prints the ratios.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "platform/HiddenGLWindow.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/Texture.h"

namespace {

using namespace quarn::render;

constexpr int Width = 640, Height = 480;

struct TScene {
  quarn::platform::THiddenGLWindow Window;
  std::unique_ptr<TGLFont> Font;
  std::unique_ptr<TConsole> Console;
  bool Ok = false;

  TScene()
  {
    quarn::platform::TPixelFormat format;
    format.DepthBits = 16;
    std::string reason;
    if (!Window.Create(Width, Height, format, reason)) return;
    try {
      Font = std::make_unique<TGLFont>(QUARN_FONT_FILE);
    } catch (const std::exception&) {
      return;
    }
    Console = std::make_unique<TConsole>(Font.get());
    Console->VisibleLines = 10;
    Console->Width = Width;
    Console->Height = Height;
    for (int i = 0; i < 9; ++i) Console->Add(std::string(38, char('A' + i)) + "~");
    Console->Prepare();
    for (int i = 0; i < 37; ++i) Console->KeyChar('x');
    Console->SetOpen(true);
    Console->Blink();  // cursor shown: the input line has 39 characters
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    Ok = true;
  }
  ~TScene()
  {
    Console.reset();
    Font.reset();
  }

  // Frame steps 4 and 5 of the main window: the overlay, then the console.
  void DrawText()
  {
    Font->Print(30, 17, "FPS:" + std::to_string(987), 1);
    Console->Draw();
  }

  // The same glyphs as DrawText, as quads in one glBegin/glEnd.
  void DrawTextImmediate()
  {
    EnableBlending();
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, Width, Height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, 1);
    glBegin(GL_QUADS);
    auto put = [](int col, int row, const std::string& text) {
      float x = col * 16.0f;
      const float y = row * 24.0f;
      for (unsigned char c : text) {
        const int g = c - 32 + 128;
        const float cx = (g % 16) / 16.0f, cy = (g / 16) / 16.0f;
        glTexCoord2f(cx, 1 - cy - 0.0625f);
        glVertex2f(x, y + 32);
        glTexCoord2f(cx + 0.0625f, 1 - cy - 0.0625f);
        glVertex2f(x + 16, y + 32);
        glTexCoord2f(cx + 0.0625f, 1 - cy);
        glVertex2f(x + 16, y);
        glTexCoord2f(cx, 1 - cy);
        glVertex2f(x, y);
        x += 14;
      }
    };
    put(30, 17, "FPS:987");
    const auto& lines = Console->Lines();
    for (size_t i = 0; i < lines.size(); ++i)
      put(0, int(i), lines[i] + (i + 1 == lines.size() ? "_" : ""));
    glEnd();
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
  if (!s.Ok) return state.SkipWithError("no GL window or no Font.tga");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    quarn::platform::SwapGLBuffers(s.Window.Handle());
  }
}
BENCHMARK(BM_ClearSwap)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ConsoleFrame(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no Font.tga");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    s.DrawText();
    quarn::platform::SwapGLBuffers(s.Window.Handle());
  }
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ConsoleFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ConsoleTextOnly(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no Font.tga");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    s.DrawText();
    glFinish();
  }
}
BENCHMARK(BM_ConsoleTextOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ConsoleFrameImmediate(benchmark::State& state)
{
  TScene& s = Scene();
  if (!s.Ok) return state.SkipWithError("no GL window or no Font.tga");
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    s.DrawTextImmediate();
    quarn::platform::SwapGLBuffers(s.Window.Handle());
  }
}
BENCHMARK(BM_ConsoleFrameImmediate)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
  auto time = [&t](const char* name) {
    const auto it = t.find(std::string(name) + "/real_time");
    return it == t.end() ? 0.0 : it->second;
  };
  const double empty = time("BM_ClearSwap"), console = time("BM_ConsoleFrame");
  const double immediate = time("BM_ConsoleFrameImmediate");
  if (empty > 0 && console > 0) {
    std::printf("frame rate: empty %.0f fps, console open %.0f fps\n", 1e6 / empty, 1e6 / console);
    std::printf("console frame rate / empty frame rate: %.3f\n", empty / console);
  }
  if (immediate > 0 && console > 0)
    std::printf("same quads in one glBegin: %.0f fps (%.1fx the display-list frame rate)\n",
                1e6 / immediate, console / immediate);
  return 0;
}
