#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bots/Bot.h"
#include "bots/SoundManager.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "render/Camera.h"
#include "render/Console.h"
#include "render/GLFont.h"
#include "render/OpenGL.h"
#include "script/Functions.h"
#include "script/HostCommands.h"
#include "script/Script.h"
#include "shell/DXTimer.h"
#include "shell/ScriptHost.h"
#include "sound/DXSound.h"
#include "sound/WaveCollection.h"

namespace quarn::shell {

enum class TScreenChoice { Ask, Windowed, FullScreen };

struct TMainFormOptions {
  TScreenChoice Screen = TScreenChoice::Ask;
  std::vector<std::string> ExecLines;  // entered at the console after start-up, in order
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
  // Enters the --exec lines as if typed, each followed by Enter.
  void ExecStartupLines();
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

  TShellScriptHost FScriptHost;  // installed for the window's whole life
  std::unique_ptr<platform::TWindow> FWindow;  // created first, freed last

  // Components, in the order the window creates them.
  TDXTimer GLTimer;
  script::TScript Script;  // runs console lines against Funcs
  script::TFuncs Funcs;
  script::THostCommands CommandFuncs;  // the nine commands, linked to Funcs
  script::TScript BotScript;  // runs bot files; the bot lends it its own registry
  std::unique_ptr<sound::TDXSound> DXSound;      // silent when no sound device opens
  std::unique_ptr<sound::TDXWaveList> BotWaveList;  // the current bot's sound set

  // Replaces the driver's extensions text for GLExtensions (tests).
  std::optional<std::string> FExtensionsOverride;

  bool ShowFPS() const { return FShowFPS; }
  void SetShowFPS(bool value) { FShowFPS = value; }
  bool ShowFrameNumber() const { return FShowFrameNumber; }

  bots::TBot& Bot() { return *FBot; }
  render::TTargetCamera& Camera() { return *FCamera; }
  uint16_t KeyState() const { return FKeyState; }
  // The bot's millisecond clock (replaceable for tests).
  platform::ClockFunc TickClock = platform::GetTickCount;

  // Called by the bot each time it enters a state: advances animation-file playback.
  void BotStateChanged();
  bool AnimPlaying() const { return FAnimPlaying; }
  int32_t AnimIndex() const { return FAnimIndex; }

private:
  bool AskFullScreen() const;
  void CreateConsoleCommands();
  void QuitFuncEval(const script::TArgList& args);
  void AboutFuncEval(const script::TArgList& args);
  void ConDumpFuncEval(const script::TArgList& args);
  void GetRendererFuncEval(const script::TArgList& args);
  void GetExtensionsFuncEval(const script::TArgList& args);
  void DrawFPSFuncEval(const script::TArgList& args);
  std::string ExtensionsText() const;
  void LoadBotFuncEval(const script::TArgList& args);
  void FrameNoFuncEval(const script::TArgList& args);
  void LoadAnimationFileFuncEval(const script::TArgList& args);

  void SetOverlaySwitches();
  void CreateCamera();
  void CreateFontAndConsole();
  void SetFixedGLState();
  void PrepareConsole();
  void CreateKeyMapAndBot();
  void MouseLook();
  void AdvanceAndDrawBot();
  void DrawFPSOverlay();
  void DrawFrameNumberOverlay();
  std::unique_ptr<bots::TBot> NewBot();
  void CreateSoundComponents();
  void CreateSoundManager();
  void LinkBotSound(bots::TBot& bot);
  void MovementKey(uint16_t key, bool down);

  TMainFormOptions FOptions;
  std::unique_ptr<render::TOpenGL> FOpenGL;
  std::unique_ptr<render::TGLFont> FFont;
  std::unique_ptr<render::TConsole> FConsole;
  platform::TWindowTimer FBlinkTimer{200};  // the console's cursor blink, while it is open
  bool FShowFPS = false;
  std::unique_ptr<bots::TSoundManager> FSoundManager;
  std::unique_ptr<render::TTargetCamera> FCamera;
  std::unique_ptr<bots::TBot> FBot;  // never null after start-up
  bool FShowFrameNumber = false;
  uint8_t FKeyMap[256] = {};  // action number of each virtual-key code
  uint16_t FKeyState = 0;     // movement mask held down
  std::vector<std::string> FAnimLines;
  bool FAnimPlaying = false;
  int32_t FAnimIndex = 0;
  bool FStarted = false;
  bool FDestroyed = false;
};

}  // namespace quarn::shell
