// The console commands that choose what the model plays, its skin and how it is drawn.
#include <strings.h>

#include <cmath>
#include <cstdio>

#include "model/Skins.h"
#include "render/Console.h"
#include "script/Errors.h"
#include "script/FormatFloat.h"
#include "script/HostArgs.h"
#include "shell/BotHost.h"
#include "shell/ConsoleCommands.h"

namespace quarn::shell {

namespace {

constexpr double MinFieldOfView = 10;
constexpr double MaxFieldOfView = 120;

double ArgNumber(const script::TArgList& args, int index)
{
  return script::ArgValue(args, index).ToFloat();
}

// "0.1" rather than "0.100000", and NAN or INF as the script language writes them.
std::string NumberText(double value) { return script::ShortestFloatText(value); }

}  // namespace

void TConsoleCommands::PlayFuncEval(const script::TArgList& args)
{
  std::string reason;
  TBotHost& bots = FHost.Bots;
  const bool played = args.Count() == 1 ? bots.PlayGroup(script::ArgText(args, 0), reason)
                                        : bots.PlayFrames(script::ArgInteger(args, 0),
                                                          script::ArgInteger(args, 1), reason);
  if (!played) Console().AddWrapped("Play: " + reason);
}

void TConsoleCommands::PlayKeysFuncEval(const script::TArgList&)
{
  FHost.Bots.Playback().PlayKeys(FHost.Bots.Bot());
}

void TConsoleCommands::PauseFuncEval(const script::TArgList& args)
{
  TAnimationPlayback& playback = FHost.Bots.Playback();
  playback.SetPaused(args.Count() == 0 || script::ArgBoolean(args, 0));
}

void TConsoleCommands::StepFuncEval(const script::TArgList& args)
{
  FHost.Bots.Playback().Step(FHost.Bots.Bot(), args.Count() == 0 ? 1 : script::ArgInteger(args, 0));
}

void TConsoleCommands::SpeedFuncEval(const script::TArgList& args)
{
  const double speed = ArgNumber(args, 0);
  if (!(speed >= TAnimationPlayback::MinSpeed && speed <= TAnimationPlayback::MaxSpeed)) {
    Console().AddWrapped("Speed " + NumberText(speed) + " is not between " +
                         NumberText(TAnimationPlayback::MinSpeed) + " and " +
                         NumberText(TAnimationPlayback::MaxSpeed) + "; it stays " +
                         NumberText(FHost.Bots.Playback().Speed()));
    return;
  }
  FHost.Bots.Playback().SetSpeed(speed);
}

void TConsoleCommands::LoopFuncEval(const script::TArgList& args)
{
  FHost.Bots.Playback().SetLoop(script::ArgBoolean(args, 0));
}

void TConsoleCommands::DrawPlaybackFuncEval(const script::TArgList& args)
{
  FHost.Bots.SetShowPlayback(script::ArgBoolean(args, 0));
}

void TConsoleCommands::SkinsFuncEval(const script::TArgList&)
{
  TBotHost& bots = FHost.Bots;
  if (!bots.Viewer().Viewing()) {
    Console().AddWrapped("Skins: only a model shown with --view has skins to choose from");
    return;
  }
  const std::vector<std::string>& skins = bots.Viewer().SkinChoices();
  if (skins.empty()) Console().Add("No skin found beside the model");
  const std::string& inUse = bots.Bot().Model().SkinFileName();
  for (size_t i = 0; i < skins.size(); ++i)
    Console().AddWrapped(std::to_string(i + 1) + " " + skins[i] +
                         (skins[i] == inUse ? " (in use)" : ""));
}

void TConsoleCommands::SkinFuncEval(const script::TArgList& args)
{
  TBotHost& bots = FHost.Bots;
  const int32_t number = script::ArgInteger(args, 0);
  const std::vector<std::string>& skins = bots.Viewer().SkinChoices();
  if (number < 1 || size_t(number) > skins.size()) {
    Console().AddWrapped(skins.empty() ? "Skin: there is no skin to choose; LoadSkin loads one"
                                       : "Skin: choose 1 to " + std::to_string(skins.size()) +
                                             "; Skins lists them");
    return;
  }
  bots.Viewer().UseSkin(skins[size_t(number) - 1], bots.Bot(), Console());
}

void TConsoleCommands::LoadSkinFuncEval(const script::TArgList& args)
{
  TBotHost& bots = FHost.Bots;
  const std::string name = script::ArgText(args, 0);
  const bots::TMD2& body = bots.Bot().Model();
  if (!bots.Bot().Active() || !body.IsLoaded()) {
    Console().Add("No model loaded");
    return;
  }
  // The name as given (from the current directory), else beside the model; either with the
  // other image extensions.
  const model::TSkinSearch search = model::FindSkinNamed(body.FileName(), name);
  if (!search.Found.empty()) {
    bots.Viewer().UseSkin(search.Found, bots.Bot(), Console());
    return;
  }
  if (!search.Unusable.empty()) {
    Console().AddWrapped("Skin " + name + " was not loaded: " + search.Unusable +
                         "; the model keeps its skin");
    return;
  }
  Console().AddWrapped("Skin " + name + " not found; the model keeps its skin. Tried:");
  for (const std::string& tried : search.Tried) Console().AddWrapped("  " + tried);
}

void TConsoleCommands::SmoothFuncEval(const script::TArgList& args)
{
  FHost.Bots.Style().Smooth = script::ArgBoolean(args, 0);
}

void TConsoleCommands::WireframeFuncEval(const script::TArgList& args)
{
  FHost.Bots.Style().Wireframe = script::ArgBoolean(args, 0);
}

void TConsoleCommands::BackgroundFuncEval(const script::TArgList& args)
{
  float colour[3];
  for (int i = 0; i < 3; ++i) {
    const int32_t value = script::ArgInteger(args, i);
    if (value < 0 || value > 255) {
      Console().AddWrapped("Background: " + std::to_string(value) +
                           " is not a colour level 0-255; the background stays");
      return;
    }
    colour[i] = float(value) / 255.0f;
  }
  std::copy(colour, colour + 3, FHost.Bots.Style().Background);
}

void TConsoleCommands::FilterFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  if (strcasecmp(name.c_str(), "nearest") == 0)
    FHost.Bots.Style().NearestFilter = true;
  else if (strcasecmp(name.c_str(), "linear") == 0)
    FHost.Bots.Style().NearestFilter = false;
  else
    Console().AddWrapped("Filter: '" + name + "' is neither 'nearest' nor 'linear'");
}

void TConsoleCommands::FieldOfViewFuncEval(const script::TArgList& args)
{
  const double degrees = ArgNumber(args, 0);
  if (!(degrees >= MinFieldOfView && degrees <= MaxFieldOfView)) {
    Console().AddWrapped("FieldOfView " + NumberText(degrees) + " is not between " +
                         NumberText(MinFieldOfView) + " and " + NumberText(MaxFieldOfView) +
                         " degrees; it stays " + NumberText(FHost.Bots.Style().FieldOfView));
    return;
  }
  FHost.Bots.SetFieldOfView(degrees);
}

}  // namespace quarn::shell
