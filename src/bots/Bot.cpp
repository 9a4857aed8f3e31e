#include "bots/Bot.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "platform/Files.h"
#include "platform/Paths.h"
#include "render/Console.h"
#include "script/Errors.h"
#include "script/Script.h"
#include "script/HostArgs.h"

namespace quarn::bots {

namespace {

using script::ArgBoolean;
using script::ArgInteger;
using script::ArgText;

[[noreturn]] void Fail(const std::string& message) { throw script::EScriptError(message); }

}  // namespace

TBot::TBot() : BaseDir(platform::ExeDir()) { CreateCommands(); }

TBot::~TBot() = default;

void TBot::CreateCommands()
{
  // Registration order: the registry lists them in this order.
  static const script::THostCommand<TBot> Commands[] = {
      {"LoadMD2(string);", &TBot::LoadMD2},
      {"LoadWeapon(string);", &TBot::LoadWeapon},
      {"LoadMD2Skin(string);", &TBot::LoadMD2Skin},
      {"LoadWeaponSkin(string);", &TBot::LoadWeaponSkin},
      {"AddState(integer,string,All,integer,boolean)", &TBot::AddState},
      {"AddNextState(integer,integer);", &TBot::AddNextState},
      {"SetSound(integer,string,boolean);", &TBot::SetSound},
      {"PrecacheSet(string);", &TBot::PrecacheSet},
      {"SetTiming(integer,integer);", &TBot::SetTiming},
  };
  FCommandComponents = script::THostCommands(FCommands, *this, Commands);
}

bool TBot::Load(script::TScript& script, render::TConsole& console, const std::string& fileName)
{
  FActive = false;

  // Only regular files: a device or FIFO would be read forever or block the program.
  // A limit on the size, checked before reading: the text is held whole while it compiles.
  std::string bytes;
  std::string readError;
  switch (platform::ReadWholeFile(fileName, bytes, platform::MaxTextFileSize, readError)) {
    case platform::TReadStatus::Missing: throw script::Exception("Cannot open file " + fileName);
    case platform::TReadStatus::Failed: throw script::Exception(readError);
    case platform::TReadStatus::Ok: break;
  }
  // Editors that save UTF-8 may put a byte order mark first; it is no part of the script.
  constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
  if (bytes.starts_with(ByteOrderMark)) bytes.erase(0, ByteOrderMark.size());
  FBotDir = platform::FolderOf(fileName);
  FFromFile = true;
  return Run(script, console, platform::BaseNameOf(fileName), std::move(bytes));
}

bool TBot::LoadText(script::TScript& script, render::TConsole& console, const std::string& name,
                    std::string bytes)
{
  FBotDir.clear();
  FFromFile = false;
  return Run(script, console, name, std::move(bytes));
}

bool TBot::Run(script::TScript& script, render::TConsole& console, const std::string& name,
               std::string bytes)
{
  FActive = false;
  FLoadError = {};
  FFailure = {};
  FWarningCount = 0;
  FStatesAdded = FNextStatesAdded = 0;
  FSavedFunctions = script.Functions();
  FConsole = &console;
  script.SetFunctions(&FCommands);
  for (const TBotConstant& constant : BotConstants)
    script.AddConstant(constant.Name, script::Variant(constant.Value));

  // The text as lines, each followed by CR LF, converted in place: no string per line.
  render::ToCrLfLines(bytes);
  script.TakeText(std::move(bytes));

  bool completed;
  try {
    completed = script.Run();
  } catch (const script::EScriptError& error) {
    Print(error.Message());
    // The engine puts the command's message inside its own ("Runtimeerror: ... [Position n]").
    if (error.Message().find(FFailure.Message) != std::string::npos)
      for (const std::string& reason : FFailure.Reasons) Print("  " + reason);
    FLoadError = {error.Message(), script::SourcePlace(script.Text(), error.Position())};
    return false;
  } catch (const std::exception& error) {
    Print(std::string("Exception : ") + error.what());
    return false;
  } catch (...) {
    Print("Exception : Unknown exception");
    return false;
  }
  CheckSounds();
  CheckSkins();
  if (SummariseStates)
    Print(std::to_string(FStatesAdded) + " states and " + std::to_string(FNextStatesAdded) +
          " next states added");
  if (completed) Print("Bot file " + name + " compiled");

  FActive = true;
  FModel.Active = true;
  script.SetFunctions(FSavedFunctions);
  FAutomata.FCanChange = true;
  FAutomata.OnStateChange = [this](int32_t state) { StateEntered(state); };
  FModel.OnFrame = [this](int32_t frame) { BodyFrameReached(frame); };
  FAutomata.Request(0);
  return true;
}

void TBot::Update(uint32_t now)
{
  if (!FActive) return;
  if (FHasWeapon) FWeapon.Update(now);
  FModel.Update(now);
  FAutomata.Update();
}

render::TScreenArea TBot::DrawnArea() const
{
  if (!FDrawn) return {};
  return FHasWeapon ? FModel.DrawnArea().United(FWeapon.DrawnArea()) : FModel.DrawnArea();
}

void TBot::Draw()
{
  FDrawn = FActive;
  if (!FActive) return;
  FModel.BindTexture();
  FModel.Draw();
  FModel.AfterDraw();
  if (FHasWeapon) {
    FWeapon.BindTexture();
    FWeapon.Draw();
    FWeapon.AfterDraw();
  }
}

void TBot::StateEntered(int32_t state)
{
  // The held mask chooses the way on from the new state: a key released before this state was
  // reached must not leave it requested again, and a mask that came before the first state
  // still counts.
  FAutomata.SelectByKeys(FKeys);
  if (OnStateChange) OnStateChange();
  const int32_t index = FAutomata.IndexOf(state);
  if (index < 0) return;  // a request for an id no state has: nothing to animate
  const int32_t animation = FAutomata.States()[static_cast<size_t>(index)].Animation;
  FModel.SetAnimation(animation);
  FWeapon.SetAnimation(animation);
}

void TBot::CheckSkins()
{
  if (FModel.IsLoaded() && FModel.SkinFileName().empty())
    Warn("model " + platform::BaseNameOf(FModel.FileName()) + " has no skin; it is drawn plain grey");
  if (FHasWeapon && FWeapon.IsLoaded() && FWeapon.SkinFileName().empty())
    Warn("weapon " + platform::BaseNameOf(FWeapon.FileName()) + " has no skin; it is drawn plain grey");
}

void TBot::FailBecause(const std::string& message, std::vector<std::string> reasons)
{
  FFailure = {message, std::move(reasons)};
  Fail(message);
}

std::string TBot::Locate(const std::string& name, std::vector<std::string>& tried) const
{
  const std::string first = platform::PathFrom(BaseDir, name);
  tried = {first};
  std::error_code error;
  if (!FFromFile || std::filesystem::exists(first, error)) return first;
  const std::string second = platform::PathFrom(FBotDir, name);
  if (second == first) return first;
  tried.push_back(second);
  return std::filesystem::exists(second, error) ? second : first;
}

void TBot::FailNotFound(const std::string& what, const std::string& name,
                        const std::vector<std::string>& tried, const std::string& reason)
{
  std::vector<std::string> reasons;
  if (!reason.empty()) reasons.push_back(reason);
  if (!(tried.size() == 1 && tried[0] == name)) {
    std::string paths = "tried ";
    for (size_t i = 0; i < tried.size(); ++i) paths += (i > 0 ? " and " : "") + tried[i];
    reasons.push_back(std::move(paths));
  }
  FailBecause(what + name + " not found", std::move(reasons));
}

void TBot::Warn(const std::string& text)
{
  ++FWarningCount;
  Print("Warning: " + text);
}

void TBot::Print(const std::string& line)
{
  if (FConsole) FConsole->Add(line);
}

void TBot::LoadMD2(const script::TArgList& args)
{
  const std::string name = ArgText(args, 0);
  std::vector<std::string> tried;
  if (!FModel.LoadFromFile(Locate(name, tried)))
    FailNotFound("Model ", name, tried, FModel.FailReason());
  Print("Load model " + name + "..OK");
  FModel.OnAnimationEnd = [this](TMD2&) { CycleEnded(); };
  FCadences.resize(static_cast<size_t>(std::max(FModel.GetFrameCount(), 0)));
}

void TBot::LoadWeapon(const script::TArgList& args)
{
  const std::string name = ArgText(args, 0);
  std::vector<std::string> tried;
  if (!FWeapon.LoadFromFile(Locate(name, tried)))
    FailNotFound("Weapon model ", name, tried, FWeapon.FailReason());
  Print("Load weapon " + name + "..OK");
  FWeapon.OnAnimationEnd = [this](TMD2&) { CycleEnded(); };
  FHasWeapon = true;
  FWeapon.Active = true;
}

void TBot::LoadMD2Skin(const script::TArgList& args)
{
  const std::string name = ArgText(args, 0);
  std::vector<std::string> tried;
  if (!FModel.LoadSkin(Locate(name, tried)))
    FailNotFound("Model skin", name, tried, FModel.SkinFailReason());
  Print("Load model skin " + name + "..OK");
}

void TBot::LoadWeaponSkin(const script::TArgList& args)
{
  const std::string name = ArgText(args, 0);
  std::vector<std::string> tried;
  if (!FWeapon.LoadSkin(Locate(name, tried)))
    FailNotFound("Weapon skin", name, tried, FWeapon.SkinFailReason());
  Print("Load weapon skin " + name + "..OK");
}

void TBot::AddState(const script::TArgList& args)
{
  const std::string name = ArgText(args, 1);
  const int32_t animation = ArgInteger(args, 3);
  FAutomata.AddState(ArgInteger(args, 0), name, ArgInteger(args, 2), animation,
                     ArgBoolean(args, 4));
  if (SummariseStates)
    ++FStatesAdded;
  else
    Print("State " + name + " added");
  // The state keeps the number's low 16 bits; a number outside the table leaves the model
  // playing whatever range it had.
  const auto stored = static_cast<uint16_t>(animation);
  if (stored >= AnimationTable.size())
    Warn("animation " + std::to_string(animation) + " of state " + name + " is not one of 0-" +
         std::to_string(AnimationTable.size() - 1));
}

void TBot::AddNextState(const script::TArgList& args)
{
  const int32_t from = ArgInteger(args, 0), next = ArgInteger(args, 1);
  FAutomata.AddNextState(from, next);
  if (SummariseStates)
    ++FNextStatesAdded;
  else
    Print("Next state " + std::to_string(next) + " added to " + std::to_string(from));
}

void TBot::SetTiming(const script::TArgList& args)
{
  const int32_t update = ArgInteger(args, 0), frame = ArgInteger(args, 1);
  FModel.UpdateInterval = FWeapon.UpdateInterval = static_cast<uint32_t>(update);
  FModel.FrameInterval = FWeapon.FrameInterval = static_cast<uint32_t>(frame);
  Print("Bot timing set");
}

}  // namespace quarn::bots
