// Frame rates of the main window's kinds of frame against a bare clear+swap loop in the same
// run: the empty frame (camera only, console closed), the console-open frame (the start-up
// text, a wrapped error, mixed characters and a typed line with the cursor: ten lines, and the
// FPS overlay) and the full demo frame (robot and weapon under the console and overlay), and
// the robot alone (also with its faces turned away culled, and with the FPS overlay) to tell
// the parts of the frame apart. The cases take turns for several rounds so that a slow spell
// of the machine hits all of them; each round's rates are divided by that round's clear+swap
// rate, and the minimum and median of those ratios are printed.
// Run under a display: xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_console_frame
//   [rounds] [seconds per case and round]
#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bots/MD2.h"
#include "model/Drawing.h"
#include "render/Camera.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/Texture.h"

namespace {

using namespace quarn::render;
using quarn::bots::TMD2;

constexpr int Width = 640, Height = 480;

struct TScene {
  SDL_Window* Window = nullptr;
  SDL_GLContext Context = nullptr;
  std::unique_ptr<TGLFont> Font;
  std::unique_ptr<TConsole> Console;
  TTargetCamera Camera;
  TMD2 Body, Weapon;
  uint32_t Now = 0;
  TScreenArea Drawn;  // where the frame holds more than the clear colour
  std::string Error;

  TScene()
  {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      Error = SDL_GetError();
      return;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    Window = SDL_CreateWindow("bench_console_frame", 0, 0, Width, Height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!Window || !(Context = SDL_GL_CreateContext(Window))) {
      Error = SDL_GetError();
      return;
    }
    SDL_GL_SetSwapInterval(0);
    try {
      Font = std::make_unique<TGLFont>(QUARN_BIN_DIR "/Font.tga");
    } catch (const std::exception& e) {
      Error = e.what();
      return;
    }
    const std::string robot = QUARN_BIN_DIR "/bots/robot/";
    if (!Body.LoadFromFile(robot + "robot.md2") || !Weapon.LoadFromFile(robot + "weapon.md2") ||
        !Body.LoadSkin(robot + "robot.tga") || !Weapon.LoadSkin(robot + "weapon.jpg")) {
      Error = "no demo robot in " + robot;
      return;
    }
    for (TMD2* model : {&Body, &Weapon}) {
      model->Active = true;
      model->SetAnimation(1);
    }
    MakeConsole();
    // The main window's camera and fixed state.
    Camera.ViewVolume.ViewportWidth = Width;
    Camera.ViewVolume.ViewportHeight = Height;
    Camera.ViewVolume.NearPlane = 1;
    Camera.ViewVolume.FarPlane = 1000;
    Camera.LookAtFirst = true;
    Camera.Eye = Vector(-200, 100, 0);
    Camera.Center = Vector(0, 30, 0);
    Camera.Rotation = Vector(-90, 23, 0);
    quarn::model::SetModelDrawingState();
  }
  ~TScene()
  {
    Console.reset();
    Font.reset();
    if (Context) SDL_GL_DeleteContext(Context);
    if (Window) SDL_DestroyWindow(Window);
    SDL_Quit();
  }

  // What the console shows after start-up, loading the robot and a mistyped line.
  void MakeConsole()
  {
    Console = std::make_unique<TConsole>(Font.get());
    Console->VisibleLines = 10;
    Console->Width = Width;
    Console->Height = Height;
    Console->LoadFromFile(QUARN_BIN_DIR "/console.txt");
    Console->Add("Loading bot bots/robot/robot.bot");
    Console->AddWrapped(
        "Syntax error: Unknown identifier 'Sya' at line 1, position 5; expected \":=\" or '('");
    Console->Add("Sounds: 12 of 12 loaded (wav/robot/*.wav)");
    Console->Prepare();
    for (const char c : std::string("Say('Hello, world! #42 & 7.5%')")) Console->KeyChar(c);
    Console->SetOpen(true);
    Console->Blink();
  }

  void Begin()
  {
    Drawn = {};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Camera.Turn += 0.5f;
    Camera.Apply();
  }
  void DrawRobot()
  {
    Now += 5;
    for (TMD2* model : {&Body, &Weapon}) model->Update(Now);
    for (TMD2* model : {&Body, &Weapon}) {
      model->BindTexture();
      model->Draw();
      model->AfterDraw();
      Drawn = Drawn.United(model->DrawnArea());
    }
  }
  void DrawText(bool consoleOpen)
  {
    Font->Print(30, 17, "FPS:" + std::to_string(987), 1);
    // As the main window's frame tells it: over black, the robot's pixels and the overlay's row.
    Console->SceneArea = Drawn.United(Font->RowArea(17));
    Console->SetOpen(consoleOpen);
    Console->Draw();
  }
  void End() { SDL_GL_SwapWindow(Window); }
};

struct TCase {
  const char* Name;
  std::function<void(TScene&)> Frame;
  std::vector<double> Ratios{};  // to the same round's clear+swap rate
  std::vector<double> Rates{};   // frames per second
};

double FramesPerSecond(TScene& scene, const std::function<void(TScene&)>& frame, double seconds)
{
  for (int i = 0; i < 3; ++i) frame(scene);  // warm-up
  glFinish();
  const Uint64 start = SDL_GetPerformanceCounter();
  const Uint64 limit = static_cast<Uint64>(seconds * double(SDL_GetPerformanceFrequency()));
  long frames = 0;
  Uint64 elapsed = 0;
  do {
    frame(scene);
    ++frames;
    elapsed = SDL_GetPerformanceCounter() - start;
  } while (elapsed < limit);
  return double(frames) * double(SDL_GetPerformanceFrequency()) / double(elapsed);
}

double Median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 0.5;
  TScene scene;
  if (!scene.Error.empty()) {
    std::fprintf(stderr, "bench_console_frame: %s\n", scene.Error.c_str());
    return 1;
  }
  std::vector<TCase> cases = {
      {"clear+swap",
       [](TScene& s) {
         glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
         s.End();
       }},
      {"empty frame",
       [](TScene& s) {
         s.Begin();
         s.Console->SetOpen(false);
         s.Console->Draw();
         s.End();
       }},
      {"console open",
       [](TScene& s) {
         s.Begin();
         s.DrawText(true);
         s.End();
       }},
      {"robot alone",
       [](TScene& s) {
         s.Begin();
         s.DrawRobot();
         s.End();
       }},
      {"robot alone, culled",
       [](TScene& s) {
         s.Begin();
         s.Body.Culling = s.Weapon.Culling = true;
         s.DrawRobot();
         s.Body.Culling = s.Weapon.Culling = false;
         s.End();
       }},
      {"robot and FPS overlay",
       [](TScene& s) {
         s.Begin();
         s.DrawRobot();
         s.Font->Print(30, 17, "FPS:" + std::to_string(987), 1);
         s.End();
       }},
      {"robot, console hidden",
       [](TScene& s) {
         s.Begin();
         s.DrawRobot();
         s.DrawText(false);
         s.End();
       }},
      {"full demo frame",
       [](TScene& s) {
         s.Begin();
         s.DrawRobot();
         s.DrawText(true);
         s.End();
       }},
  };
  for (int round = 0; round < rounds; ++round) {
    const double bare = FramesPerSecond(scene, cases[0].Frame, seconds);
    cases[0].Rates.push_back(bare);
    cases[0].Ratios.push_back(1);
    for (size_t i = 1; i < cases.size(); ++i) {
      const double rate = FramesPerSecond(scene, cases[i].Frame, seconds);
      cases[i].Rates.push_back(rate);
      cases[i].Ratios.push_back(rate / bare);
    }
  }
  std::printf("%d rounds of %.2f s per case; ratio = frame rate / clear+swap rate of the round\n",
              rounds, seconds);
  std::printf("%-24s %12s %10s %10s\n", "case", "median fps", "min ratio", "median ratio");
  for (const TCase& c : cases)
    std::printf("%-24s %12.0f %10.3f %10.3f\n", c.Name, Median(c.Rates),
                *std::min_element(c.Ratios.begin(), c.Ratios.end()), Median(c.Ratios));
  return 0;
}
