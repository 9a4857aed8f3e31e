#include "shell/ModelViewer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <set>
#include <unordered_set>

#include "bots/Bot.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "render/Console.h"
#include "render/Texture.h"
#include "shell/BotHost.h"

namespace quarn::shell {

namespace {

bool SameExtension(const std::string& a, const char* b)
{
  return std::equal(
      a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == y; });
}

bool HasParentStep(const std::string& path)
{
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find('/', start), path.size());
    if (path.compare(start, end - start, "..") == 0 && end - start == 2) return true;
    start = end + 1;
  }
  return false;
}

class TSearch {
public:
  explicit TSearch(TSkinSearch& result) : FResult(result) {}

  // Tries `path` as it is, then with every other image extension; true once one is found.
  bool TryWithExtensions(const std::string& path)
  {
    std::string stem, extension;
    platform::SplitExtension(path, stem, extension);
    if (!extension.empty() && Try(path)) return true;
    for (const images::TImageFormat& format : images::ImageFormats())
      if (!SameExtension(extension, format.Extension) && Try(stem + format.Extension)) return true;
    return false;
  }

private:
  bool Try(const std::string& path)
  {
    if (!FTried.insert(path).second) return false;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
      FResult.Found = path;
      return true;
    }
    FResult.Tried.push_back(path);
    // Something of that name that is no image file: said as what it is, not as missing.
    if (const std::string why = platform::NotRegularReason(path); !why.empty()) {
      FResult.Tried.back() += " (" + why + ")";
      if (FResult.Unusable.empty()) FResult.Unusable = path + " " + why;
    }
    return false;
  }

  TSkinSearch& FResult;
  std::unordered_set<std::string> FTried;  // FResult.Tried, for look-ups in constant time
};

}  // namespace

TSkinSearch FindSkin(const std::string& modelPath, const std::vector<std::string>& recordedNames)
{
  TSkinSearch result;
  TSearch search(result);
  const std::string folder = platform::FolderOf(modelPath);
  size_t looked = 0;
  for (std::string name : recordedNames) {
    std::replace(name.begin(), name.end(), '\\', '/');  // names written by tools on Windows
    if (name.empty()) continue;
    if (looked == MaxSkinNames) {
      ++result.Skipped;
      continue;
    }
    ++looked;
    if (name.front() == '/')
      result.Refused.push_back(name + ": absolute path, not followed");
    else if (HasParentStep(name))
      result.Refused.push_back(name + ": leads out through .., not followed");
    else if (search.TryWithExtensions(name))
      return result;
    const std::string base = platform::BaseNameOf(name);
    if (base.empty() || base == "." || base == "..") continue;
    if (search.TryWithExtensions(folder + base)) return result;
  }
  std::string stem, extension;
  platform::SplitExtension(modelPath, stem, extension);
  if (!platform::BaseNameOf(stem).empty())
    search.TryWithExtensions(stem + images::ImageFormats()[0].Extension);
  return result;
}

TSkinSearch FindSkinNamed(const std::string& modelPath, const std::string& name)
{
  TSkinSearch result;
  TSearch search(result);
  if (name.empty() || search.TryWithExtensions(name)) return result;
  const std::string base = platform::BaseNameOf(name);
  if (!base.empty() && base != "." && base != "..")
    search.TryWithExtensions(platform::FolderOf(modelPath) + base);
  return result;
}

bool QuoteScriptString(const std::string& text, std::string& literal)
{
  literal.clear();
  literal += '\'';
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return false;
    literal += c;
    if (c == '\'') literal += c;
  }
  literal += '\'';
  return true;
}

namespace {

// The demo robot's timing, states and transitions.
constexpr const char* ViewerStates = R"(SetTiming(0, 10);
AddState(0, 'Idle',        KEY_NONE,                         IDLE1,        true);
AddState(1, 'Run',         KEY_FORWARD,                      RUN,          true);
AddState(2, 'RunBack',     KEY_BACK,                         RUNBACK,      true);
AddState(3, 'Jump',        KEY_JUMP,                         JUMP,         false);
AddState(4, 'Crouch',      KEY_CROUCH,                       CROUCH_IDLE,  true);
AddState(5, 'CrouchWalk',  KEY_CROUCH + KEY_FORWARD,         CROUCH_CRAWL, true);
AddState(6, 'Shoot',       KEY_PRIMARYATTACK,                SHOOT,        false);
AddState(7, 'CrouchShoot', KEY_CROUCH + KEY_PRIMARYATTACK,   CROUCH_SHOOT, false);
SetArray(standing, INTEGER, 5);
SetArray(crouching, INTEGER, 3);
standing[0] := 0; standing[1] := 1; standing[2] := 2; standing[3] := 3; standing[4] := 6;
crouching[0] := 4; crouching[1] := 5; crouching[2] := 7;
for i := 0 to 4 do
begin
  for j := 0 to 4 do
    if i <> j then AddNextState(standing[i], standing[j]);
  AddNextState(standing[i], 4);
end;
for i := 0 to 2 do
begin
  for j := 0 to 2 do
    if i <> j then AddNextState(crouching[i], crouching[j]);
  AddNextState(crouching[i], 0);
end;
)";

std::string Call(const char* command, const std::string& name)
{
  std::string literal;
  QuoteScriptString(name, literal);
  return std::string(command) + "(" + literal + ");\r\n";
}

}  // namespace

std::string ViewerBotText(const std::string& model, const std::string& skin,
                          const std::string& weapon, const std::string& weaponSkin)
{
  std::string text = Call("LoadMD2", model);
  if (!skin.empty()) text += Call("LoadMD2Skin", skin);
  if (!weapon.empty()) {
    text += Call("LoadWeapon", weapon);
    if (!weaponSkin.empty()) text += Call("LoadWeaponSkin", weaponSkin);
  }
  for (const char* p = ViewerStates; *p; ++p) {
    if (*p == '\n') text += '\r';
    text += *p;
  }
  return text;
}

namespace {

// Image files beside a model looked at for its skins, and the skins offered, at most: a
// folder of thousands of files costs one look each, not a console line each.
constexpr size_t MaxFolderEntries = 4096;
constexpr size_t MaxSkinChoices = 64;

bool IsImageName(const std::string& name) { return images::FindImageFormat(name) != nullptr; }

enum class TViewerAction { Pause, StepBack, StepForward, Slower, Faster, PreviousGroup, NextGroup };
struct TViewerKey {
  uint16_t Key;
  TViewerAction Action;
};
constexpr TViewerKey ViewerKeys[] = {
    {platform::VK_SPACE, TViewerAction::Pause},
    {188, TViewerAction::StepBack},     // ','
    {190, TViewerAction::StepForward},  // '.'
    {219, TViewerAction::Slower},       // '['
    {221, TViewerAction::Faster},       // ']'
    {platform::VK_PRIOR, TViewerAction::PreviousGroup},
    {platform::VK_NEXT, TViewerAction::NextGroup},
};
// '[' and ']' halve and double the speed (within the playback's limits).
constexpr double SpeedFactor = 2.0;

std::string Range(int32_t first, int32_t last)
{
  return std::to_string(first) + "-" + std::to_string(last);
}

bool IsImageFile(const std::string& name)
{
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

// The skin to show on the model at `modelPath`: `given` when it names a file, else the one
// the search finds; "" with the reasons on the console when there is none.
std::string ChooseSkin(const std::string& modelPath, const std::string& given,
                       render::TConsole& console)
{
  if (!given.empty()) {
    if (IsImageFile(given)) return given;
    console.Add("Skin " + given + " not found; " + modelPath + " is drawn untextured");
    return {};
  }
  bots::TMD2 probe;
  if (!probe.LoadFromFile(modelPath)) return {};  // the model's own load reports it
  const TSkinSearch search = FindSkin(modelPath, probe.SkinNames());
  for (const std::string& refused : search.Refused) console.AddWrapped("Skin name " + refused);
  if (search.Skipped > 0)
    console.AddWrapped("Skin names: " + std::to_string(search.Skipped) + " more recorded in " +
                       modelPath + " were not looked for (only the first " +
                       std::to_string(MaxSkinNames) + " are)");
  if (!search.Found.empty()) return search.Found;
  console.AddWrapped("No skin found for " + modelPath + "; " + modelPath +
                     " is drawn untextured. Tried:");
  for (const std::string& tried : search.Tried) console.AddWrapped("  " + tried);
  return {};
}

}  // namespace

void TModelViewer::View(const TViewRequest& request, render::TConsole& console,
                        bots::TSoundManager* sounds)
{
  for (const std::string* name :
       {&request.Model, &request.Skin, &request.Weapon, &request.WeaponSkin}) {
    std::string literal;
    if (!QuoteScriptString(*name, literal)) {
      console.AddWrapped("Cannot view: a file name holds a control character");
      return;
    }
  }
  std::string weapon = request.Weapon;
  if (!weapon.empty()) {
    bots::TMD2 probe;
    if (!probe.LoadFromFile(weapon)) {
      console.AddWrapped("Weapon model " + weapon + " not found; the model is shown without it");
      console.AddWrapped("  " + bots::MD2LastError());
      weapon.clear();
    }
  }
  const std::string skin = ChooseSkin(request.Model, request.Skin, console);
  const std::string weaponSkin =
      weapon.empty() ? std::string() : ChooseSkin(weapon, request.WeaponSkin, console);

  const std::string name = platform::BaseNameOf(request.Model) + " (view)";
  FHost.LoadBotText(name, ViewerBotText(request.Model, skin, weapon, weaponSkin), "", console,
                    sounds);
  if (!FHost.Bot().Active() && (!skin.empty() || !weaponSkin.empty())) {
    console.AddWrapped("The skins could not be loaded; the models are drawn untextured");
    FHost.LoadBotText(name, ViewerBotText(request.Model, "", weapon, ""), "", console, sounds);
  }
  // Framed after the first frame, once the bot shows its first state's animation.
  if (FHost.Bot().Active()) FHost.FitWhenUpdated();
  FHost.SetCulling(true);
  if (!FViewing) platform::ShowCursor(true);
  FViewing = true;
  FViewedModel = request.Model;
  // Space pauses and resumes in the viewer instead of jumping.
  if (FHost.KeyAction(platform::VK_SPACE) == DefaultJumpAction)
    FHost.SetKeyAction(platform::VK_SPACE, 0);
  if (FHost.Bot().Active()) ReportMisfits(console);
}

void TModelViewer::Leave()
{
  if (FViewing) platform::ShowCursor(false);  // the mouse turns the camera again
  FViewing = false;
  FViewedModel.clear();
}

bool TModelViewer::ViewerKey(uint16_t key, std::string& message)
{
  if (!FViewing) return false;
  const TViewerKey* found = nullptr;
  for (const TViewerKey& binding : ViewerKeys)
    if (binding.Key == key) found = &binding;
  if (!found) return false;
  switch (found->Action) {
    case TViewerAction::Pause: FHost.Playback().SetPaused(!FHost.Playback().Paused()); break;
    case TViewerAction::StepBack: FHost.Playback().Step(FHost.Bot(), -1); break;
    case TViewerAction::StepForward: FHost.Playback().Step(FHost.Bot(), +1); break;
    case TViewerAction::Slower:
      FHost.Playback().SetSpeed(FHost.Playback().Speed() / SpeedFactor);
      break;
    case TViewerAction::Faster:
      FHost.Playback().SetSpeed(FHost.Playback().Speed() * SpeedFactor);
      break;
    case TViewerAction::PreviousGroup:
    case TViewerAction::NextGroup:
      if (!FHost.PlayNextGroup(found->Action == TViewerAction::NextGroup ? +1 : -1, message))
        message = "No group to play: " + message;
      break;
  }
  FHost.SetShowPlayback(true);
  return true;
}

std::vector<std::string> TModelViewer::SkinChoices() const
{
  std::vector<std::string> choices;
  if (!FViewing || FViewedModel.empty()) return choices;
  std::set<std::string> seen;
  auto offer = [&](const std::string& path) {
    if (!path.empty() && choices.size() < MaxSkinChoices && seen.insert(path).second)
      choices.push_back(path);
  };
  size_t looked = 0;
  for (const std::string& name : FHost.Bot().Model().SkinNames()) {
    if (name.empty()) continue;
    if (++looked > MaxSkinNames) break;
    offer(FindSkin(FViewedModel, {name}).Found);
  }
  offer(FHost.Bot().Model().SkinFileName());
  const std::string folder = platform::FolderOf(FViewedModel);
  std::vector<std::string> beside;
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error), end;
  for (size_t n = 0; !error && entries != end && n < MaxFolderEntries;
       entries.increment(error), ++n) {
    const std::string name = entries->path().filename().string();
    std::error_code kind;
    if (IsImageName(name) && entries->is_regular_file(kind)) beside.push_back(folder + name);
  }
  std::sort(beside.begin(), beside.end());
  for (const std::string& path : beside) offer(path);
  return choices;
}

bool TModelViewer::UseSkin(const std::string& fileName, render::TConsole& console)
{
  bots::TMD2& body = FHost.Bot().Model();
  if (!FHost.Bot().Active() || !body.IsLoaded()) {
    console.Add("No model loaded");
    return false;
  }
  if (!body.ReplaceSkin(fileName)) {
    console.AddWrapped("Skin " + fileName + " was not loaded: " + body.SkinFailReason() +
                       "; the model keeps its skin");
    return false;
  }
  console.AddWrapped("Skin " + fileName + " on " + body.FileName());
  return true;
}

void TModelViewer::ReportMisfits(render::TConsole& console)
{
  const bots::TMD2& body = FHost.Bot().Model();
  const int32_t frames = body.GetFrameCount();
  const auto& states = FHost.Bot().Automata().States();
  auto rangeOf = [&](uint16_t mask, bots::TAnimationRange& range) {
    for (const bots::TState& state : states)
      if (state.Keys == mask && state.Animation >= 0 &&
          size_t(state.Animation) < bots::AnimationTable.size()) {
        range = bots::AnimationTable[size_t(state.Animation)];
        return true;
      }
    return false;
  };
  // The standing state plays with no key held; then every bound key alone.
  std::vector<std::string> misfits;
  int32_t keys = 0;
  bots::TAnimationRange range{};
  if (rangeOf(0, range) && std::max(range.Start, range.End) >= frames)
    misfits.push_back("no key " + Range(range.Start, range.End));
  for (uint16_t key = 0; key < 256; ++key) {
    const uint8_t action = FHost.KeyAction(key);
    if (action == 0) continue;
    ++keys;
    if (rangeOf(bots::MovementMask(action), range) && std::max(range.Start, range.End) >= frames) {
      const std::string name = platform::VirtualKeyName(key);
      misfits.push_back((name.empty() ? "#" + std::to_string(key) : name) + " " +
                        Range(range.Start, range.End));
    }
  }
  if (!misfits.empty()) {
    std::string line = std::to_string(misfits.size()) + " of " + std::to_string(keys + 1) +
                       " animations the keys play lie past the last frame " +
                       std::to_string(frames - 1) + " of " + body.FileName() +
                       " and hold that frame:";
    for (size_t i = 0; i < misfits.size(); ++i) line += (i ? ", " : " ") + misfits[i];
    console.AddWrapped(line + ". Animations lists its frames; Play('name') plays them");
  }
  const bots::TMD2& weapon = FHost.Bot().Weapon();
  if (FHost.Bot().HasWeapon() && weapon.IsLoaded() && weapon.GetFrameCount() != frames)
    console.AddWrapped("Weapon " + weapon.FileName() + " has " +
                       std::to_string(weapon.GetFrameCount()) + " frames, the body " +
                       std::to_string(frames) + "; past its last frame it holds that frame");
}

}  // namespace quarn::shell
