#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/OpenGL.h"
#include "shell/BotHost.h"
#include "shell/ConsoleCommands.h"
#include "shell/DXTimer.h"
#include "shell/ScriptHost.h"
#include "shell/SoundHost.h"

namespace quarn::shell {

enum class TScreenChoice { Ask, Windowed, FullScreen };

struct TMainFormOptions {
  TScreenChoice Screen = TScreenChoice::Ask;
  std::vector<std::string> ExecLines;  // entered at the console after start-up, in order
  std::string AutoexecFile;            // its lines are entered before ExecLines; "" for none
};

// The largest start-up file run; a bigger one is reported and not run.
inline constexpr size_t kAutoexecMaxBytes = size_t(1) << 20;

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

  // Enters the lines of the start-up file, if it exists, then the --exec lines, as if typed,
  // each followed by Enter. A start-up file that is binary or too big is reported, not run.
  void ExecStartupLines();
  void GLTimerTimer(TDXTimer& sender, int32_t lagCount);
  void FormKeyDown(uint16_t key);
  void FormKeyUp(uint16_t key);
  void FormKeyPress(char key);

  platform::TWindow& Window() { return *FWindow; }
  render::TConsole* Console() { return FConsole.get(); }
  TConsoleCommands& Commands() { return *FCommands; }
  TSoundHost& Sounds() { return *FSounds; }
  TBotHost& Bots() { return FBots; }
  // Whether the creation handler ran to its end.
  bool Started() const { return FStarted; }

  TDXTimer& GLTimer() { return FGLTimer; }
  bool ShowFPS() const { return FShowFPS; }
  void SetShowFPS(bool value) { FShowFPS = value; }

private:
  void FormCreate();
  void RunAutoexec();
  void FormDestroy();
  bool AskFullScreen() const;
  void SetUpGLTimer();
  void SetOverlaySwitches();
  void CreateFontAndConsole();
  void SetFixedGLState();
  void PrepareConsole();
  void DrawFPSOverlay();

  TShellScriptHost FScriptHost;                 // installed for the window's whole life
  std::unique_ptr<platform::TWindow> FWindow;  // created first, freed last
  TMainFormOptions FOptions;
  // Components, in the order the window creates them.
  TDXTimer FGLTimer;
  std::unique_ptr<TConsoleCommands> FCommands;
  std::unique_ptr<TSoundHost> FSounds;
  TBotHost FBots;
  std::unique_ptr<render::TOpenGL> FOpenGL;
  std::unique_ptr<render::TGLFont> FFont;
  std::unique_ptr<render::TConsole> FConsole;
  platform::TWindowTimer FBlinkTimer{200};  // the console's cursor blink, while it is open
  bool FShowFPS = false;
  bool FStarted = false;
  bool FDestroyed = false;
};

}  // namespace quarn::shell
