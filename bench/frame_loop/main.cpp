// Frames per second of the main window's frame (GLTimerTimer driven by the real event loop)
// against a bare SDL clear+swap loop, measured in the same run. Prints both and the ratio.
// Run under a display: xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_frame_loop [seconds]
#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "render/OpenGL.h"
#include "shell/MainForm.h"

namespace {

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
    while (SDL_PollEvent(&event)) {}
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    ++frames;
  }
  const double elapsed = double(SDL_GetPerformanceCounter() - start) / SDL_GetPerformanceFrequency();
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

double MainFormFps(double seconds)
{
  quarn::shell::TMainFormOptions options;
  options.Screen = quarn::shell::TScreenChoice::Windowed;
  quarn::shell::TMainForm form(options);
  if (!form.Started()) return 0;
  long frames = 0;
  auto frame = form.GLTimer().OnTimer;
  form.GLTimer().OnTimer = [&](quarn::shell::TDXTimer& timer, int32_t lag) {
    frame(timer, lag);
    ++frames;
  };
  const Uint64 start = SDL_GetPerformanceCounter();
  SDL_AddTimer(static_cast<Uint32>(seconds * 1000), PushQuit, nullptr);
  quarn::platform::Application().Run();
  const double elapsed = double(SDL_GetPerformanceCounter() - start) / SDL_GetPerformanceFrequency();
  return frames / elapsed;
}

}  // namespace

int main(int argc, char** argv)
{
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  quarn::platform::SetNoDialogs(true);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "bench_frame_loop: %s\n", SDL_GetError());
    return 1;
  }
  const double bare = BareLoopFps(seconds);
  const double quarn = MainFormFps(seconds);
  SDL_Quit();
  std::printf("bare clear+swap: %.0f fps\nmain window frame: %.0f fps\nratio: %.3f\n", bare,
              quarn, bare > 0 ? quarn / bare : 0.0);
  return 0;
}
