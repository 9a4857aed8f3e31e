// The viewer's side of the bot host: choosing what the model plays, its skins, the window's
// size and field of view, and the lines about what the model does not have.
#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/VirtualKeys.h"
#include "render/Console.h"
#include "shell/BotHost.h"

namespace quarn::shell {

namespace {

// Image files beside a model looked at for its skins, and the skins offered, at most: a
// folder of thousands of files costs one look each, not a console line each.
constexpr size_t MaxFolderEntries = 4096;
constexpr size_t MaxSkinChoices = 64;

// Extensions a skin can have (the readers TTexture chooses among).
constexpr const char* ImageExtensions[] = {".pcx", ".tga", ".png", ".bmp", ".jpg", ".wal"};

bool IsImageName(const std::string& name)
{
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  for (const char* extension : ImageExtensions)
    if (strcasecmp(name.c_str() + dot, extension) == 0) return true;
  return false;
}

std::string FolderOf(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Range(int32_t first, int32_t last)
{
  return std::to_string(first) + "-" + std::to_string(last);
}

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

}  // namespace

bool TBotHost::ViewerKey(uint16_t key, std::string& message)
{
  if (!FViewing) return false;
  const TViewerKey* found = nullptr;
  for (const TViewerKey& binding : ViewerKeys)
    if (binding.Key == key) found = &binding;
  if (!found) return false;
  switch (found->Action) {
    case TViewerAction::Pause: FPlayback.SetPaused(!FPlayback.Paused()); break;
    case TViewerAction::StepBack: FPlayback.Step(*FBot, -1); break;
    case TViewerAction::StepForward: FPlayback.Step(*FBot, +1); break;
    case TViewerAction::Slower: FPlayback.SetSpeed(FPlayback.Speed() / SpeedFactor); break;
    case TViewerAction::Faster: FPlayback.SetSpeed(FPlayback.Speed() * SpeedFactor); break;
    case TViewerAction::PreviousGroup:
    case TViewerAction::NextGroup:
      if (!PlayNextGroup(found->Action == TViewerAction::NextGroup ? +1 : -1, message))
        message = "No group to play: " + message;
      break;
  }
  SetShowPlayback(true);
  return true;
}

bool TBotHost::PlayGroup(const std::string& name, std::string& reason)
{
  if (!FBot->Active() || !FBot->Model().IsLoaded()) {
    reason = "no model is loaded";
    return false;
  }
  for (const TFrameGroup& group : FGroups)
    if (strcasecmp(group.Name.c_str(), name.c_str()) == 0) {
      FPlayback.Play(*FBot, group.First, group.Last, group.Name);
      return true;
    }
  reason = "the model has no frames named '" + name + "'; Animations lists them";
  return false;
}

bool TBotHost::PlayFrames(int32_t first, int32_t last, std::string& reason)
{
  if (!FBot->Active() || !FBot->Model().IsLoaded()) {
    reason = "no model is loaded";
    return false;
  }
  const int32_t frames = FBot->Model().GetFrameCount();
  if (first < 0 || last < first || last >= frames) {
    reason = "frames " + Range(first, last) + " are not a range of the model's frames 0-" +
             std::to_string(frames - 1);
    return false;
  }
  FPlayback.Play(*FBot, first, last, "frames " + Range(first, last));
  return true;
}

bool TBotHost::PlayNextGroup(int direction, std::string& reason)
{
  if (FGroups.empty()) {
    reason = FBot->Model().IsLoaded() ? "the model's frames have no names" : "no model is loaded";
    return false;
  }
  // The group playing, or the one the frame shown lies in.
  const int32_t frame = FBot->Model().CurrentFrame;
  int64_t at = -1;
  for (size_t i = 0; i < FGroups.size(); ++i) {
    const TFrameGroup& group = FGroups[i];
    const bool playing =
        FPlayback.Playing() && group.First == FPlayback.First() && group.Last == FPlayback.Last();
    if (playing || (at < 0 && frame >= group.First && frame <= group.Last)) at = int64_t(i);
    if (playing) break;
  }
  const int64_t count = int64_t(FGroups.size());
  const int64_t next =
      at < 0 ? (direction > 0 ? 0 : count - 1) : ((at + direction) % count + count) % count;
  const TFrameGroup& group = FGroups[size_t(next)];
  FPlayback.Play(*FBot, group.First, group.Last, group.Name);
  return true;
}

std::vector<std::string> TBotHost::SkinChoices() const
{
  std::vector<std::string> choices;
  if (!FViewing || FViewedModel.empty()) return choices;
  std::set<std::string> seen;
  auto offer = [&](const std::string& path) {
    if (!path.empty() && choices.size() < MaxSkinChoices && seen.insert(path).second)
      choices.push_back(path);
  };
  size_t looked = 0;
  for (const std::string& name : FBot->Model().SkinNames()) {
    if (name.empty()) continue;
    if (++looked > MaxSkinNames) break;
    offer(FindSkin(FViewedModel, {name}).Found);
  }
  offer(FBot->Model().SkinFileName());
  const std::string folder = FolderOf(FViewedModel);
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

bool TBotHost::UseSkin(const std::string& fileName, render::TConsole& console)
{
  bots::TMD2& body = FBot->Model();
  if (!FBot->Active() || !body.IsLoaded()) {
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

void TBotHost::Resize(int viewportWidth, int viewportHeight)
{
  FCameraControl.Resize(viewportWidth, viewportHeight);
}

void TBotHost::SetFieldOfView(double degrees)
{
  FStyle.FieldOfView = degrees;
  FCameraControl.SetFieldOfView(degrees);
}

void TBotHost::ReportMisfits(render::TConsole& console)
{
  const bots::TMD2& body = FBot->Model();
  const int32_t frames = body.GetFrameCount();
  const auto& states = FBot->Automata().States();
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
    if (FKeyMap[key] == 0) continue;
    ++keys;
    if (rangeOf(bots::MovementMask(FKeyMap[key]), range) &&
        std::max(range.Start, range.End) >= frames) {
      const std::string name = platform::VirtualKeyName(key);
      misfits.push_back((name.empty() ? "#" + std::to_string(key) : name) + " " +
                        Range(range.Start, range.End));
    }
  }
  if (!misfits.empty()) {
    std::string line = std::to_string(misfits.size()) + " of " + std::to_string(keys + 1) +
                       " animations lie past the last frame " + std::to_string(frames - 1) +
                       " of " + body.FileName() + " and show it standing still:";
    for (size_t i = 0; i < misfits.size(); ++i) line += (i ? ", " : " ") + misfits[i];
    console.AddWrapped(line + ". Animations lists its frames; Play('name') plays them");
  }
  const bots::TMD2& weapon = FBot->Weapon();
  if (FBot->HasWeapon() && weapon.IsLoaded() && weapon.GetFrameCount() != frames)
    console.AddWrapped("Weapon " + weapon.FileName() + " has " +
                       std::to_string(weapon.GetFrameCount()) + " frames, the body " +
                       std::to_string(frames) + "; past its last frame it stands still");
}

}  // namespace quarn::shell
