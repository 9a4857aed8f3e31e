#include "shell/ConsoleCommands.h"

#include <strings.h>

#include <new>
#include <utility>

#include "bots/Bot.h"
#include "convert/ExportCommand.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "platform/Window.h"
#include "render/Console.h"
#include "render/OpenGL.h"
#include "script/DateTime.h"
#include "script/Errors.h"
#include "script/HostArgs.h"
#include "shell/BotHost.h"
#include "shell/ConsoleDump.h"
#include "shell/ModelReport.h"
#include "shell/ModelViewer.h"
#include "shell/Screenshots.h"
#include "shell/SoundHost.h"
#include "sprites/SpriteRenderer.h"

namespace quarn::shell {

namespace {

// The virtual-key code a key name stands for; Escape and Tab keep their own jobs.
uint16_t BindableKey(const std::string& name)
{
  const uint16_t key = platform::VirtualKeyFromName(name);
  if (key == 0) throw script::EScriptError("Unknown key name '" + name + "'");
  if (key == platform::VK_ESCAPE || key == platform::VK_TAB)
    throw script::EScriptError("Key '" + name + "' cannot be bound");
  return key;
}

// Help's last lines: the viewer's own keys.
constexpr const char* ViewerKeyLines[] = {
    "Viewer keys, with the console hidden:",
    "  Space pause, ',' '.' step a frame",
    "  '[' ']' slower, faster",
    "  PgUp PgDn previous, next group",
    "  left button held: turn; wheel: zoom",
};

}  // namespace

TConsoleCommands::TConsoleCommands(TConsoleCommandsHost host) : FHost(std::move(host))
{
  // Creation order: the registry lists the commands in this order.
  static const script::THostCommand<TConsoleCommands> Commands[] = {
      {"Quit;", &TConsoleCommands::QuitFuncEval, "Quit: end the program"},
      {"LoadBot(string);", &TConsoleCommands::LoadBotFuncEval, "LoadBot('x.bot'): load a bot file"},
      {"About;", &TConsoleCommands::AboutFuncEval, "About: show the banner"},
      {"ConDump(string);", &TConsoleCommands::ConDumpFuncEval,
       "ConDump('x.txt'): save these lines"},
      {"GLRenderer;", &TConsoleCommands::GetRendererFuncEval,
       "GLRenderer: show the OpenGL renderer"},
      {"GLExtensions;", &TConsoleCommands::GetExtensionsFuncEval,
       "GLExtensions: list OpenGL extensions"},
      {"DrawFPS(boolean);", &TConsoleCommands::DrawFPSFuncEval,
       "DrawFPS(true): show frames per second"},
      {"DrawFrameNumber(boolean);", &TConsoleCommands::FrameNoFuncEval,
       "DrawFrameNumber(true): show the frame"},
      {"LoadAnimationFile(string);", &TConsoleCommands::LoadAnimationFileFuncEval,
       "LoadAnimationFile('x'): play keys"},
      {"FitCamera;", &TConsoleCommands::FitCameraFuncEval, "FitCamera: frame the whole model"},
      {"ModelInfo;", &TConsoleCommands::ModelInfoFuncEval, "ModelInfo: what the models hold"},
      {"Animations;", &TConsoleCommands::AnimationsFuncEval, "Animations: the frames by name"},
      {"DrawFrameName(boolean);", &TConsoleCommands::FrameNameFuncEval,
       "DrawFrameName(true): show its name"},
      {"Screenshot(string);", &TConsoleCommands::ScreenshotFuncEval,
       "Screenshot('x.png'): save a picture"},
      {"Help(), (string);", &TConsoleCommands::HelpFuncEval, "Help or Help('Quit'): describe"},
      {"ResetCamera;", &TConsoleCommands::ResetCameraFuncEval,
       "ResetCamera: back to the start view"},
      {"Bind(string,integer);", &TConsoleCommands::BindFuncEval,
       "Bind('C', KEY_CROUCH): key action"},
      {"Unbind(string);", &TConsoleCommands::UnbindFuncEval, "Unbind('C'): the key does nothing"},
      {"Binds;", &TConsoleCommands::BindsFuncEval, "Binds: list the bound keys"},
      {"BotState;", &TConsoleCommands::BotStateFuncEval, "BotState: state, frame and keys"},
      {"Culling(boolean);", &TConsoleCommands::CullingFuncEval,
       "Culling(true): hide faces turned away"},
      {"RenderSprites(string);", &TConsoleCommands::RenderSpritesFuncEval,
       "RenderSprites('--anim run'): sprites"},
      {"Export(string);", &TConsoleCommands::ExportFuncEval, "Export('bot.glb'): the bot as glTF"},
      {"Play(string), (integer,integer);", &TConsoleCommands::PlayFuncEval,
       "Play('run') or Play(40,45): frames"},
      {"PlayKeys;", &TConsoleCommands::PlayKeysFuncEval, "PlayKeys: keys choose the frames"},
      {"Pause(), (boolean);", &TConsoleCommands::PauseFuncEval,
       "Pause or Pause(false): stop, go on"},
      {"Step(), (integer);", &TConsoleCommands::StepFuncEval, "Step or Step(-1): next frame"},
      {"Speed(integer float);", &TConsoleCommands::SpeedFuncEval,
       "Speed(0.5): playback speed 0.1-10"},
      {"Loop(boolean);", &TConsoleCommands::LoopFuncEval, "Loop(false): play frames once"},
      {"DrawPlayback(boolean);", &TConsoleCommands::DrawPlaybackFuncEval,
       "DrawPlayback(true): group and frame"},
      {"Skins;", &TConsoleCommands::SkinsFuncEval, "Skins: list the model's skins"},
      {"Skin(integer);", &TConsoleCommands::SkinFuncEval, "Skin(2): use a skin Skins lists"},
      {"LoadSkin(string);", &TConsoleCommands::LoadSkinFuncEval,
       "LoadSkin('x.png'): skin from a file"},
      {"Smooth(boolean);", &TConsoleCommands::SmoothFuncEval, "Smooth(true): smooth shading"},
      {"Wireframe(boolean);", &TConsoleCommands::WireframeFuncEval,
       "Wireframe(true): draw the edges"},
      {"Background(integer,integer,integer);", &TConsoleCommands::BackgroundFuncEval,
       "Background(0,0,64): colour 0-255"},
      {"Filter(string);", &TConsoleCommands::FilterFuncEval, "Filter('nearest'): or 'linear'"},
      {"FieldOfView(integer float);", &TConsoleCommands::FieldOfViewFuncEval,
       "FieldOfView(45): degrees, 10-120"},
  };
  FCommands = script::THostCommands(FFuncs, *this, Commands);
  FScript.Exceptions = true;
  FScript.Blocking = false;
  FScript.SetFunctions(&FFuncs);
  for (int action = 0; action < bots::MovementMaskCount; ++action)
    FScript.AddConstant(bots::BotConstants[action].Name,
                        script::Variant(bots::BotConstants[action].Value));
}

render::TConsole& TConsoleCommands::Console() { return *FHost.Console.get(); }

void TConsoleCommands::ConsoleLine(const std::string& line)
{
  try {
    // A line entered while the previous one still runs (its calls pump events) cannot run:
    // the script refuses a nested run. Say so rather than drop it silently.
    if (FScript.Running()) {
      Console().AddWrapped("The previous line is still running; this line was not run.");
      return;
    }
    FScript.SetText(line);
    FScript.Run();
  } catch (const script::EScriptError& error) {
    Console().AddWrapped(error.Message());
    if (const std::string reason = FHost.Bots.TakeFailureReason(error.Message()); !reason.empty())
      Console().AddWrapped("  " + reason);
  } catch (const std::bad_alloc&) {
    Console().AddWrapped("Exception : Out of memory");
  } catch (const std::exception& error) {
    Console().AddWrapped(std::string("Exception : ") + error.what());
  } catch (...) {
    Console().AddWrapped("Exception : Unknown exception");
  }
}

void TConsoleCommands::HelpFuncEval(const script::TArgList& args)
{
  if (args.Count() == 0) {
    for (const auto& command : FCommands.Components()) Console().Add(command->Description);
    for (const char* line : ViewerKeyLines) Console().Add(line);
    return;
  }
  const std::string name = script::ArgText(args, 0);
  for (const auto& command : FCommands.Components()) {
    if (strcasecmp(command->Name().c_str(), name.c_str()) == 0) {
      Console().Add(command->Description);
      return;
    }
  }
  Console().AddWrapped("No command " + name + "; Help lists them");
}

void TConsoleCommands::ResetCameraFuncEval(const script::TArgList&) { FHost.Bots.ResetCamera(); }

void TConsoleCommands::QuitFuncEval(const script::TArgList&) { FHost.Window.Close(); }

void TConsoleCommands::AboutFuncEval(const script::TArgList&)
{
  Console().Add("Quarn MD2 demo");
  Console().Add("Arrows Space Ins Enter; Tab: console");
  Console().Add("By the Quarn developers");
}

void TConsoleCommands::ConDumpFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  try {
    // The dump ends with this line: by it a later dump knows the file may be replaced.
    Console().Add(std::string(DumpLineStart) + " " + script::ShortDateLongTimeText(script::Now()));
    const std::string error = SaveConsoleDump(name, Console().Lines());
    if (!error.empty()) Console().Add(error);
  } catch (const std::exception& error) {
    Console().Add(error.what());
  }
}

void TConsoleCommands::GetRendererFuncEval(const script::TArgList&)
{
  Console().Add(render::GetRendererString());
}

void TConsoleCommands::GetExtensionsFuncEval(const script::TArgList&)
{
  const std::string extensions = ExtensionsText();
  const int count = render::GetExtensionCount(extensions);
  for (int i = 0; i < count; ++i)
    Console().Add(std::to_string(i + 1) + ". " + render::GetExtension(extensions, i));
}

std::string TConsoleCommands::ExtensionsText() const
{
  return FExtensionsOverride ? *FExtensionsOverride : render::GetExtensionsString();
}

void TConsoleCommands::DrawFPSFuncEval(const script::TArgList& args)
{
  FHost.ShowFPS = script::ArgBoolean(args, 0);
}

void TConsoleCommands::LoadBotFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  FHost.ForgetPlayError();
  FHost.Bots.LoadBot(platform::PathFrom(platform::ExeDir(), name), Console(),
                     FHost.Sounds.Manager());
}

void TConsoleCommands::FrameNoFuncEval(const script::TArgList& args)
{
  FHost.Bots.SetShowFrameNumber(script::ArgBoolean(args, 0));
}

void TConsoleCommands::LoadAnimationFileFuncEval(const script::TArgList& args)
{
  FHost.ForgetPlayError();
  FHost.Bots.LoadAnimationFile(script::ArgText(args, 0));
}

void TConsoleCommands::FitCameraFuncEval(const script::TArgList&)
{
  std::string reason;
  if (!FHost.Bots.FitCamera(reason)) Console().Add("FitCamera: " + reason);
}

void TConsoleCommands::ModelInfoFuncEval(const script::TArgList&)
{
  for (const std::string& line : ModelInfoLines(FHost.Bots.Bot())) Console().AddWrapped(line);
  if (FHost.Bots.Bot().Model().IsLoaded())
    Console().Add(FHost.Bots.Culling() ? "Culling: on" : "Culling: off");
}

void TConsoleCommands::CullingFuncEval(const script::TArgList& args)
{
  FHost.Bots.SetCulling(script::ArgBoolean(args, 0));
}

void TConsoleCommands::AnimationsFuncEval(const script::TArgList&)
{
  for (const std::string& line : AnimationLines(FHost.Bots.Bot().Model()))
    Console().AddWrapped(line);
}

void TConsoleCommands::FrameNameFuncEval(const script::TArgList& args)
{
  FHost.Bots.SetShowFrameName(script::ArgBoolean(args, 0));
}

void TConsoleCommands::BotStateFuncEval(const script::TArgList&)
{
  bots::TBot& bot = FHost.Bots.Bot();
  if (!bot.Active()) {
    Console().Add("No bot loaded");
    return;
  }
  // Before its first frame the bot has entered no state yet: -1, and no name.
  const bots::TFiniteAutomata& automata = bot.Automata();
  const int32_t index = automata.IndexOf(automata.Current());
  const std::string name = index >= 0 ? automata.States()[static_cast<size_t>(index)].Name : "-";
  Console().Add("State " + std::to_string(automata.Current()) + " " + name + ", frame " +
                std::to_string(bot.Model().CurrentFrame) + ", keys " +
                std::to_string(FHost.Bots.KeyState()));
}

void TConsoleCommands::ScreenshotFuncEval(const script::TArgList& args)
{
  const std::string name = script::ArgText(args, 0);
  if (name.empty())
    Console().Add("Screenshot: a file name is needed");
  else
    FHost.Screenshots.Request(name, Console());
}

void TConsoleCommands::RenderSpritesFuncEval(const script::TArgList& args)
{
  // The bot as the window draws it, with the options of --render (relative to the current
  // directory): one line says what was written, or why nothing was.
  sprites::TSpriteOptions options;
  options.Style = FHost.Bots.Style();  // drawn as the window draws the bot
  std::string error;
  std::vector<std::string> words;
  if (!sprites::SplitOptionText(script::ArgText(args, 0), words, error) ||
      sprites::ParseSpriteOptions(words, false, options, error) != sprites::TParseResult::Ok) {
    Console().AddWrapped("RenderSprites: " + (error.empty() ? "see quarn --render --help" : error));
    return;
  }
  bots::TBot& bot = FHost.Bots.Bot();
  if (!bot.Active()) {
    Console().Add("RenderSprites: no bot is loaded");
    return;
  }
  sprites::TSpriteRenderer renderer(options, bot.Model(),
                                    bot.HasWeapon() ? &bot.Weapon() : nullptr);
  if (!renderer.Prepare(error)) {
    Console().AddWrapped("RenderSprites: " + error);
    return;
  }
  for (const std::string& note : renderer.Notes()) Console().AddWrapped("RenderSprites: " + note);
  if (renderer.Run(error) == sprites::TRenderStatus::Done)
    Console().AddWrapped("RenderSprites: " + std::to_string(renderer.FrameCount()) +
                         " frames written to " + options.OutDir);
  else
    Console().AddWrapped("RenderSprites: " + error);
}

void TConsoleCommands::ExportFuncEval(const script::TArgList& args)
{
  // The loaded bot as --export writes a model (relative to the current directory), each model
  // with the skin it wears first, and the window's texture filter: a line with the sizes, or
  // why nothing was written.
  convert::TExportOptions options;
  options.Out = script::ArgText(args, 0);
  options.NearestFilter = FHost.Bots.Style().NearestFilter;
  if (!convert::IsGltfFileName(options.Out)) {
    Console().AddWrapped("Export: the file name must end in .glb or .gltf: '" + options.Out + "'");
    return;
  }
  bots::TBot& bot = FHost.Bots.Bot();
  if (!bot.Active() || !bot.Model().IsLoaded()) {
    Console().Add("Export: no bot is loaded");
    return;
  }
  std::string line;
  std::vector<std::string> notes;
  convert::ExportLoaded(options, bot.Model(), bot.HasWeapon() ? &bot.Weapon() : nullptr, line,
                        notes);
  for (const std::string& note : notes) Console().AddWrapped("Export: " + note);
  Console().AddWrapped("Export: " + line);
}

}  // namespace quarn::shell

namespace quarn::shell {

void TConsoleCommands::BindFuncEval(const script::TArgList& args)
{
  const uint16_t key = BindableKey(script::ArgText(args, 0));
  const int32_t mask = script::ArgInteger(args, 1);
  for (int action = 0; action < bots::MovementMaskCount; ++action)
    if (bots::BotConstants[action].Value == mask) {
      FHost.Bots.SetKeyAction(key, static_cast<uint8_t>(action));
      return;
    }
  throw script::EScriptError(std::to_string(mask) + " is not a KEY_ constant");
}

void TConsoleCommands::UnbindFuncEval(const script::TArgList& args)
{
  FHost.Bots.SetKeyAction(BindableKey(script::ArgText(args, 0)), 0);
}

void TConsoleCommands::BindsFuncEval(const script::TArgList&)
{
  bool any = false;
  for (uint16_t key = 0; key < 256; ++key)
    if (const uint8_t action = FHost.Bots.KeyAction(key); action != 0) {
      const std::string name = platform::VirtualKeyName(key);
      Console().Add((name.empty() ? "#" + std::to_string(key) : name) + " " +
                    bots::BotConstants[action].Name);
      any = true;
    }
  if (!any) Console().Add("No key is bound");
}

}  // namespace quarn::shell
