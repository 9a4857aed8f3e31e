#include "shell/AnimationPlayback.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bots/Bot.h"

namespace quarn::shell {

namespace {

// The body, then the weapon when the bot has one.
template <class TAction>
void ForEachModel(bots::TBot& bot, TAction action)
{
  action(bot.Model());
  if (bot.HasWeapon()) action(bot.Weapon());
}

}  // namespace

uint32_t TAnimationPlayback::Clock(uint32_t realNow)
{
  if (!FClockStarted) {
    FClockStarted = true;
    FLastReal = realNow;
    FClock = realNow;
  }
  const uint32_t elapsed = realNow - FLastReal;  // the real clock wraps at 32 bits
  FLastReal = realNow;
  if (!FPaused) FClock = std::fmod(FClock + elapsed * FSpeed, 4294967296.0);
  return static_cast<uint32_t>(FClock);
}

void TAnimationPlayback::Play(bots::TBot& bot, int32_t first, int32_t last, const std::string& name)
{
  FPlaying = true;
  FFinished = false;
  FName = name;
  FFirst = first;
  FLast = last;
  // The first frame shows at once, also while paused.
  ForEachModel(bot, [&](bots::TMD2& model) {
    model.StartFrame = first;
    model.EndFrame = last;
    model.FrameStep = +1;
    model.CurrentFrame = first;
    model.PreviousFrame = -1;
    model.Fraction = 0;
  });
}

void TAnimationPlayback::PlayKeys(bots::TBot& bot)
{
  if (!FPlaying) return;
  FPlaying = false;
  FFinished = false;
  FName.clear();
  ForEachModel(bot, [](bots::TMD2& model) { model.SetAnimation(model.Animation); });
}

void TAnimationPlayback::Advance(bots::TBot& bot, uint32_t realNow)
{
  const uint32_t now = Clock(realNow);
  if (!bot.Active()) return;
  if (FPaused) {
    // Paused before the bot has entered its first state: it enters it, so that state's first
    // frame shows rather than whatever pose the models were loaded in.
    if (!FPlaying && bot.Automata().Current() < 0) bot.Update(now);
    return;
  }
  if (!FPlaying) {
    bot.Update(now);
    return;
  }
  bots::TMD2& body = bot.Model();
  if (!FLoop && body.CurrentFrame == FLast && body.Fraction >= 1.0f) {
    FFinished = true;  // the next update would wrap to the first frame
    return;
  }
  if (bot.HasWeapon()) bot.Weapon().Update(now);
  body.Update(now);
}

void TAnimationPlayback::Step(bots::TBot& bot, int32_t count)
{
  FPaused = true;
  bots::TMD2& body = bot.Model();
  const int32_t low = FPlaying ? FFirst : std::min(body.StartFrame, body.EndFrame);
  const int32_t high = FPlaying ? FLast : std::max(body.StartFrame, body.EndFrame);
  const int64_t size = int64_t(high) - low + 1;
  if (size <= 0 || !bot.Active()) return;
  const int64_t at = std::clamp<int64_t>(body.CurrentFrame, low, high) - low;
  const int32_t frame = static_cast<int32_t>(low + ((at + count) % size + size) % size);
  // Shown as it is stored, fully reached: going on from here moves to the next frame.
  ForEachModel(bot, [&](bots::TMD2& model) {
    model.CurrentFrame = frame;
    model.PreviousFrame = -1;
    model.Fraction = 1.0f;
  });
  FFinished = FPlaying && !FLoop && frame == FLast;
}

void TAnimationPlayback::SetSpeed(double value)
{
  FSpeed = std::isnan(value) ? 1.0 : std::clamp(value, MinSpeed, MaxSpeed);
}

void TAnimationPlayback::Reset(std::vector<model::TAnimation> groups)
{
  FGroups = std::move(groups);
  FPlaying = false;
  FFinished = false;
  FName.clear();
  FPaused = false;
  FSpeed = 1.0;
  FLoop = true;
}

std::string TAnimationPlayback::Text(const bots::TMD2& model, const std::string& groupName) const
{
  const int32_t frame = model.CurrentFrame;
  const int32_t low = FPlaying ? FFirst : std::min(model.StartFrame, model.EndFrame);
  const int32_t high = FPlaying ? FLast : std::max(model.StartFrame, model.EndFrame);
  const float blend = model.PreviousFrame == -1 ? 1.0f : std::clamp(model.Fraction, 0.0f, 1.0f);
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, " %d (%d/%d) %.2f", frame, frame - low + 1, high - low + 1,
                double(blend));
  std::string text = (FPlaying ? FName : groupName) + numbers;
  if (FPaused) text += " paused";
  if (FSpeed != 1.0) {
    char speed[32];
    std::snprintf(speed, sizeof speed, " x%g", FSpeed);
    text += speed;
  }
  if (FPlaying && !FLoop) text += " once";
  return text;
}

bool TAnimationPlayback::PlayGroup(bots::TBot& bot, const std::string& name, std::string& reason)
{
  const std::vector<model::TAnimation> found = model::FindAnimations(FGroups, name);
  if (found.empty()) {
    reason = "the model has no frames named '" + name + "'; Animations lists them";
    return false;
  }
  Play(bot, found.front().First, found.front().Last, found.front().Name);
  return true;
}

bool TAnimationPlayback::PlayNextGroup(bots::TBot& bot, int direction, std::string& reason)
{
  if (FGroups.empty()) {
    reason = bot.Model().IsLoaded() ? "the model's frames have no names" : "no model is loaded";
    return false;
  }
  // The group playing, or the one the frame shown lies in.
  const int32_t frame = bot.Model().CurrentFrame;
  int64_t at = -1;
  for (size_t i = 0; i < FGroups.size(); ++i) {
    const model::TAnimation& group = FGroups[i];
    const bool playing = FPlaying && group.First == FFirst && group.Last == FLast;
    if (playing || (at < 0 && frame >= group.First && frame <= group.Last)) at = int64_t(i);
    if (playing) break;
  }
  const int64_t count = int64_t(FGroups.size());
  const int64_t next =
      at < 0 ? (direction > 0 ? 0 : count - 1) : ((at + direction) % count + count) % count;
  const model::TAnimation& group = FGroups[size_t(next)];
  Play(bot, group.First, group.Last, group.Name);
  return true;
}

std::string TAnimationPlayback::GroupAt(int32_t frame) const
{
  std::string name;
  for (const model::TAnimation& group : FGroups)
    if (frame >= group.First && frame <= group.Last) name = group.Name;
  return name;
}

}  // namespace quarn::shell
