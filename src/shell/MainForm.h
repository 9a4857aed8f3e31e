#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/OpenGL.h"
#include "shell/DXTimer.h"

namespace quarn::shell {

enum class TScreenChoice { Ask, Windowed, FullScreen };

struct TMainFormOptions {
  TScreenChoice Screen = TScreenChoice::Ask;
};

inline constexpr const char* kCaption = "Quarn MD2 demo";
inline constexpr int kClientWidth = 640;
inline constexpr int kClientHeight = 480;

// The program's only window and the owner of everything that lives for the whole run.
// Construction creates the window and runs FormCreate; destruction runs FormDestroy.
class TMainForm {
public:
  explicit TMainForm(const TMainFormOptions& options = {});
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  void FormCreate();
  void FormDestroy();
  void GLTimerTimer(TDXTimer& sender, int32_t lagCount);
  void FormKeyDown(uint16_t key);
  void FormKeyUp(uint16_t key);
  void FormKeyPress(char key);

  // The console's entered lines arrive here.
  void ConsoleLine(const std::string& line);

  platform::TWindow& Window() { return *FWindow; }
  render::TConsole* Console() { return FConsole.get(); }
  render::TOpenGL* OpenGL() { return FOpenGL.get(); }
  // Whether the creation handler ran to its end.
  bool Started() const { return FStarted; }

  std::unique_ptr<platform::TWindow> FWindow;  // created first, freed last
  TDXTimer GLTimer;

  bool ShowFPS() const { return FShowFPS; }
  void SetShowFPS(bool value) { FShowFPS = value; }

private:
  bool AskFullScreen() const;
  void SetOverlaySwitches();
  void CreateFontAndConsole();
  void SetFixedGLState();
  void PrepareConsole();
  void DrawFPSOverlay();

  TMainFormOptions FOptions;
  std::unique_ptr<render::TOpenGL> FOpenGL;
  std::unique_ptr<render::TGLFont> FFont;
  std::unique_ptr<render::TConsole> FConsole;
  platform::TWindowTimer FBlinkTimer{200};  // the console's cursor blink, while it is open
  bool FShowFPS = false;
  bool FStarted = false;
  bool FDestroyed = false;
};

}  // namespace quarn::shell
