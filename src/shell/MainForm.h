#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Window.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/OpenGL.h"
#include "shell/BotHost.h"
#include "shell/ConsoleCommands.h"
#include "shell/DXTimer.h"
#include "shell/ModelViewer.h"
#include "shell/Screenshots.h"
#include "shell/ScriptHost.h"
#include "shell/SoundHost.h"

namespace quarn::shell {

inline constexpr const char* Caption = "Quarn MD2 demo";
inline constexpr int ClientWidth = 640;
inline constexpr int ClientHeight = 480;

enum class TScreenChoice { Ask, Windowed, FullScreen };

struct TMainFormOptions {
  TScreenChoice Screen = TScreenChoice::Ask;
  std::vector<std::string> ExecLines;  // entered at the console after start-up, in order
  std::string BotFile;                 // loaded at start-up, before the exec lines
  std::optional<TViewRequest> View;    // a model to show, built before the lines run
  std::string AutoexecFile;            // its lines are entered first; "" for none
  std::string UserAutoexecFile;        // the user's own, entered next; "" for none
  int Width = ClientWidth;             // the window's client area
  int Height = ClientHeight;
};

// The largest start-up file run; a bigger one is reported and not run.
inline constexpr size_t AutoexecMaxBytes = size_t(1) << 20;

inline constexpr int FPSRow = 17;  // text row of the overlays in a 640x480 window
inline constexpr int FPSColumn = 30;  // text column of the frames-per-second overlay there

// The program's only window and the owner of everything that lives for the whole run.
// Construction creates the window and runs FormCreate; destruction runs FormDestroy.
class TMainForm {
public:
  explicit TMainForm(const TMainFormOptions& options = {});
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // Enters the lines of the start-up files that exist (the program's, then the user's), then
  // builds the viewed model or loads the bot file given, if any, then enters the --exec lines,
  // as if typed, each followed by Enter. A start-up file that is binary or too big, or that
  // someone other than the user (or the superuser) owns or may change, is reported, not run.
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
  TScreenshots& Screenshots() { return FScreenshots; }
  // Whether the creation handler ran to its end.
  bool Started() const { return FStarted; }

  // An error during play: on the console and stderr, once until a different one comes.
  void ReportPlayError(const std::string& message);
  // The next error is reported even when it repeats the last (a new bot or animation file).
  void ForgetPlayError() { FLastPlayError.clear(); }

  TDXTimer& GLTimer() { return FGLTimer; }
  bool ShowFPS() const { return FShowFPS; }
  void SetShowFPS(bool value) { FShowFPS = value; }

private:
  void FormCreate();
  void RunAutoexec(const std::string& name);
  void FormDestroy();
  bool AskFullScreen() const;
  void SetUpGLTimer();
  void SetOverlaySwitches();
  void CreateFontAndConsole();
  void SetFixedGLState();
  void PrepareConsole();
  void DrawFPSOverlay();
  // Text row of the overlays, following the window's height.
  int OverlayRow() const;
  // Tells the console where the frame so far may hold more than black.
  void SetConsoleSceneArea();
  void TakeScreenshots();
  // The camera's viewport and the console follow the viewer's window, which can be resized.
  void FollowWindowSize();
  // Hands an editing key to the open console; false when the key is not one of them.
  bool ConsoleEditKey(uint16_t key);

  TShellScriptHost FScriptHost;                // installed for the window's whole life
  std::unique_ptr<platform::TWindow> FWindow;  // created first, freed last
  TMainFormOptions FOptions;
  // Components, in the order the window creates them.
  TDXTimer FGLTimer;
  std::unique_ptr<TConsoleCommands> FCommands;
  std::unique_ptr<TSoundHost> FSounds;
  TBotHost FBots;
  TScreenshots FScreenshots;
  std::unique_ptr<render::TOpenGL> FOpenGL;
  std::unique_ptr<render::TGLFont> FFont;
  std::unique_ptr<render::TConsole> FConsole;
  platform::TWindowTimer FBlinkTimer{200};  // the console's cursor blink, while it is open
  bool FShowFPS = false;
  std::string FLastPlayError;
  bool FStarted = false;
  bool FDestroyed = false;
};

}  // namespace quarn::shell
