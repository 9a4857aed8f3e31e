#include "shell/ModelViewer.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "bots/Bot.h"
#include "platform/Application.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "model/Skins.h"
#include "render/Console.h"
#include "render/Texture.h"
#include "shell/AnimationPlayback.h"

namespace quarn::shell {

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
  const model::TSkinSearch search = model::FindSkin(modelPath, probe.SkinNames());
  for (const std::string& line : model::SkinSearchLines(modelPath, search))
    console.AddWrapped(line);
  return search.Found;
}

}  // namespace

bool TModelViewer::Prepare(const TViewRequest& request, render::TConsole& console,
                           TViewerBot& viewed) const
{
  for (const std::string* name :
       {&request.Model, &request.Skin, &request.Weapon, &request.WeaponSkin}) {
    std::string literal;
    if (!QuoteScriptString(*name, literal)) {
      console.AddWrapped("Cannot view: a file name holds a control character");
      return false;
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

  viewed.Name = platform::BaseNameOf(request.Model) + " (view)";
  viewed.Text = ViewerBotText(request.Model, skin, weapon, weaponSkin);
  viewed.PlainText = ViewerBotText(request.Model, "", weapon, "");
  viewed.Skinned = !skin.empty() || !weaponSkin.empty();
  return true;
}

void TModelViewer::Shown(const std::string& modelPath, bots::TBot& bot, const TKeyMap& keyMap,
                         render::TConsole& console)
{
  if (!FViewing) platform::ShowCursor(true);
  FViewing = true;
  FViewedModel = modelPath;
  FSkins = model::SkinChoices(FViewedModel, bot.Model().SkinNames(), bot.Model().SkinFileName());
  if (bot.Active()) ReportMisfits(bot, keyMap, console);
}

void TModelViewer::Leave()
{
  if (FViewing) platform::ShowCursor(false);  // the mouse turns the camera again
  FViewing = false;
  FViewedModel.clear();
  FSkins.clear();
}

bool TModelViewer::ViewerKey(uint16_t key, bots::TBot& bot, TAnimationPlayback& playback,
                             std::string& message)
{
  if (!FViewing) return false;
  const TViewerKey* found = nullptr;
  for (const TViewerKey& binding : ViewerKeys)
    if (binding.Key == key) found = &binding;
  if (!found) return false;
  switch (found->Action) {
    case TViewerAction::Pause: playback.SetPaused(!playback.Paused()); break;
    case TViewerAction::StepBack: playback.Step(bot, -1); break;
    case TViewerAction::StepForward: playback.Step(bot, +1); break;
    case TViewerAction::Slower: playback.SetSpeed(playback.Speed() / SpeedFactor); break;
    case TViewerAction::Faster: playback.SetSpeed(playback.Speed() * SpeedFactor); break;
    case TViewerAction::PreviousGroup:
    case TViewerAction::NextGroup:
      if (!playback.PlayNextGroup(bot, found->Action == TViewerAction::NextGroup ? +1 : -1,
                                  message))
        message = "No group to play: " + message;
      break;
  }
  return true;
}

const std::vector<std::string>& TModelViewer::SkinChoices() const { return FSkins; }

bool TModelViewer::UseSkin(const std::string& fileName, bots::TBot& bot, render::TConsole& console)
{
  bots::TMD2& body = bot.Model();
  if (!bot.Active() || !body.IsLoaded()) {
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

void TModelViewer::ReportMisfits(bots::TBot& bot, const TKeyMap& keyMap, render::TConsole& console)
{
  const bots::TMD2& body = bot.Model();
  const int32_t frames = body.GetFrameCount();
  const auto& states = bot.Automata().States();
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
    const uint8_t action = keyMap[key];
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
  const bots::TMD2& weapon = bot.Weapon();
  if (bot.HasWeapon() && weapon.IsLoaded() && weapon.GetFrameCount() != frames)
    console.AddWrapped("Weapon " + weapon.FileName() + " has " +
                       std::to_string(weapon.GetFrameCount()) + " frames, the body " +
                       std::to_string(frames) + "; past its last frame it holds that frame");
}

}  // namespace quarn::shell
