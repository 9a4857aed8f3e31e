// Frames per second of the main window's frame (GLTimerTimer driven by the real event loop)
// against a bare SDL clear+swap loop. The cases are the start-up frame (console open with the
// start-up text and the FPS overlay), the full demo frame (the robot loaded, console open) and
// the robot with the console hidden. The event loop runs once per process, so each case of each
// round runs in a child process; the cases take turns for several rounds and each round's rates
// are divided by that round's clear+swap rate. Prints the minimum and median of those ratios.
// Run under a display:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_frame_loop [rounds] [seconds]
#include <SDL.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/VirtualKeys.h"
#include "render/OpenGL.h"
#include "shell/MainForm.h"

namespace {

constexpr const char* RobotLine = "LoadBot('bots/robot/robot.bot')";

double BareLoopFps(double seconds)
{
  quarn::render::SetupPixelFormat();
  SDL_Window* window = SDL_CreateWindow("bare", 0, 0, 640, 480, SDL_WINDOW_OPENGL);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  const Uint64 start = SDL_GetPerformanceCounter();
  const Uint64 limit = static_cast<Uint64>(seconds * SDL_GetPerformanceFrequency());
  long frames = 0;
  SDL_Event event;
  while (SDL_GetPerformanceCounter() - start < limit) {
    while (SDL_PollEvent(&event)) {
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    ++frames;
  }
  const double elapsed =
      double(SDL_GetPerformanceCounter() - start) / SDL_GetPerformanceFrequency();
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  return frames / elapsed;
}

Uint32 PushQuit(Uint32, void*)
{
  SDL_Event event{};
  event.type = SDL_QUIT;
  SDL_PushEvent(&event);
  return 0;
}

double MainFormFps(double seconds, bool robot, bool consoleOpen)
{
  quarn::shell::TMainFormOptions options;
  options.Screen = quarn::shell::TScreenChoice::Windowed;
  if (robot) options.ExecLines.push_back(RobotLine);
  quarn::shell::TMainForm form(options);
  if (!form.Started()) return 0;
  form.ExecStartupLines();
  if (!consoleOpen) form.FormKeyUp(quarn::platform::VK_TAB);
  long frames = 0;
  auto frame = form.GLTimer().OnTimer;
  form.GLTimer().OnTimer = [&](quarn::shell::TDXTimer& timer, int32_t lag) {
    frame(timer, lag);
    ++frames;
  };
  const Uint64 start = SDL_GetPerformanceCounter();
  SDL_AddTimer(static_cast<Uint32>(seconds * 1000), PushQuit, nullptr);
  quarn::platform::Application().Run();
  const double elapsed =
      double(SDL_GetPerformanceCounter() - start) / SDL_GetPerformanceFrequency();
  return frames / elapsed;
}

struct TCase {
  const char* Name;
  std::vector<double> Rates{};
  std::vector<double> Ratios{};
};

// One case in this process: 0 bare, 1 start-up, 2 full demo, 3 robot with the console hidden.
int RunCase(int which, double seconds)
{
  quarn::platform::SetNoDialogs(true);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "bench_frame_loop: %s\n", SDL_GetError());
    return 1;
  }
  const double fps =
      which == 0 ? BareLoopFps(seconds) : MainFormFps(seconds, which >= 2, which != 3);
  SDL_Quit();
  std::printf("%f\n", fps);
  return 0;
}

double RunChild(const char* self, int which, double seconds)
{
  const std::string command =
      std::string("'") + self + "' --case " + std::to_string(which) + " " + std::to_string(seconds);
  FILE* child = popen(command.c_str(), "r");
  if (!child) return 0;
  double fps = 0;
  char line[128];
  while (std::fgets(line, sizeof line, child)) fps = std::atof(line);  // the last line
  pclose(child);
  return fps;
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
  if (argc == 4 && std::strcmp(argv[1], "--case") == 0)
    return RunCase(std::atoi(argv[2]), std::atof(argv[3]));
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 2.0;
  std::vector<TCase> cases = {
      {"clear+swap"}, {"start-up (console open)"}, {"full demo frame"}, {"robot, console hidden"}};
  for (int round = 0; round < rounds; ++round) {
    double bare = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
      const double fps = RunChild(argv[0], int(i), seconds);
      if (i == 0) bare = fps;
      cases[i].Rates.push_back(fps);
      cases[i].Ratios.push_back(bare > 0 ? fps / bare : 0);
    }
  }
  std::printf("%d rounds of %.1f s per case; ratio = frame rate / clear+swap rate of the round\n",
              rounds, seconds);
  std::printf("%-26s %12s %10s %10s\n", "case", "median fps", "min ratio", "median ratio");
  for (const TCase& c : cases)
    std::printf("%-26s %12.0f %10.3f %10.3f\n", c.Name, Median(c.Rates),
                *std::min_element(c.Ratios.begin(), c.Ratios.end()), Median(c.Ratios));
  return 0;
}
