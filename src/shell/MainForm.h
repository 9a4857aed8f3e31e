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
#include "script/Func.h"
#include "script/Functions.h"
#include "script/Script.h"
#include "shell/DXTimer.h"
#include "shell/ScriptHost.h"

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
  script::TFunc QuitFunc;
  script::TFunc AboutFunc;
  script::TFunc ConDumpFunc;
  script::TFunc GetRendererFunc;
  script::TFunc GetExtensionsFunc;
  script::TFunc DrawFPSFunc;

  // Replaces the driver's extensions text for GLExtensions (tests).
  std::optional<std::string> FExtensionsOverride;

  bool ShowFPS() const { return FShowFPS; }
  void SetShowFPS(bool value) { FShowFPS = value; }

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
