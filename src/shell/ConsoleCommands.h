#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "script/Functions.h"
#include "script/HostCommands.h"
#include "script/Script.h"

namespace quarn::render {
class TConsole;
}
namespace quarn::platform {
class TWindow;
}

namespace quarn::shell {

class TBotHost;
class TScreenshots;
class TSoundHost;

// What the console commands act on: the parts of the main window they use.
struct TConsoleCommandsHost {
  platform::TWindow& Window;
  const std::unique_ptr<render::TConsole>& Console;  // made after the commands
  TBotHost& Bots;
  TScreenshots& Screenshots;
  TSoundHost& Sounds;
  bool& ShowFPS;
  // The next play error is reported even when it repeats the last (a new bot or animation).
  std::function<void()> ForgetPlayError;
};

// The console script: every entered line runs as a script against the console registry, whose
// host commands act on the main window's parts. The bot file's KEY_ constants are defined for
// Bind.
class TConsoleCommands {
public:
  explicit TConsoleCommands(TConsoleCommandsHost host);
  TConsoleCommands(const TConsoleCommands&) = delete;
  TConsoleCommands& operator=(const TConsoleCommands&) = delete;

  // Runs an entered line; every error is reported on the console.
  void ConsoleLine(const std::string& line);

  // Replaces the driver's extensions text for GLExtensions (tests).
  std::optional<std::string> FExtensionsOverride;

private:
  void QuitFuncEval(const script::TArgList& args);
  void LoadBotFuncEval(const script::TArgList& args);
  void AboutFuncEval(const script::TArgList& args);
  void ConDumpFuncEval(const script::TArgList& args);
  void GetRendererFuncEval(const script::TArgList& args);
  void GetExtensionsFuncEval(const script::TArgList& args);
  void DrawFPSFuncEval(const script::TArgList& args);
  void FrameNoFuncEval(const script::TArgList& args);
  void LoadAnimationFileFuncEval(const script::TArgList& args);
  void FitCameraFuncEval(const script::TArgList& args);
  void ModelInfoFuncEval(const script::TArgList& args);
  void AnimationsFuncEval(const script::TArgList& args);
  void FrameNameFuncEval(const script::TArgList& args);
  void ScreenshotFuncEval(const script::TArgList& args);
  void HelpFuncEval(const script::TArgList& args);
  void ResetCameraFuncEval(const script::TArgList& args);
  void BindFuncEval(const script::TArgList& args);
  void UnbindFuncEval(const script::TArgList& args);
  void BindsFuncEval(const script::TArgList& args);
  void BotStateFuncEval(const script::TArgList& args);
  void CullingFuncEval(const script::TArgList& args);
  void RenderSpritesFuncEval(const script::TArgList& args);
  void ExportFuncEval(const script::TArgList& args);
  // The viewer's commands (ViewerCommands.cpp).
  void PlayFuncEval(const script::TArgList& args);
  void PlayKeysFuncEval(const script::TArgList& args);
  void PauseFuncEval(const script::TArgList& args);
  void StepFuncEval(const script::TArgList& args);
  void SpeedFuncEval(const script::TArgList& args);
  void LoopFuncEval(const script::TArgList& args);
  void DrawPlaybackFuncEval(const script::TArgList& args);
  void SkinsFuncEval(const script::TArgList& args);
  void SkinFuncEval(const script::TArgList& args);
  void LoadSkinFuncEval(const script::TArgList& args);
  void SmoothFuncEval(const script::TArgList& args);
  void WireframeFuncEval(const script::TArgList& args);
  void BackgroundFuncEval(const script::TArgList& args);
  void FilterFuncEval(const script::TArgList& args);
  void FieldOfViewFuncEval(const script::TArgList& args);
  std::string ExtensionsText() const;
  render::TConsole& Console();

  TConsoleCommandsHost FHost;
  script::TScript FScript;  // runs console lines against FFuncs
  script::TFuncs FFuncs;
  script::THostCommands FCommands;  // the commands, linked to FFuncs
};

}  // namespace quarn::shell
