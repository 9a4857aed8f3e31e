#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/Animations.h"

namespace quarn::bots {
class TBot;
class TMD2;
}  // namespace quarn::bots

namespace quarn::shell {

// How the bot's animation is played: by its state machine and the movement keys, or a frame
// range the user chose; paused or running, at a speed, looping or once. The bot reads a clock
// that runs Speed times as fast as the real one and stands still while paused, so speed and
// pause act the same way on either kind of playback.
class TAnimationPlayback {
public:
  static constexpr double MinSpeed = 0.1;
  static constexpr double MaxSpeed = 10.0;

  // The bot's clock for the real time `realNow`: the real time itself until the speed changes
  // or playback pauses.
  uint32_t Clock(uint32_t realNow);

  // Plays frames first..last (first <= last, both frames of the body) as `name`, from first,
  // instead of the state machine's animation; the weapon plays the same frames.
  void Play(bots::TBot& bot, int32_t first, int32_t last, const std::string& name);
  // Hands the animation back to the state machine: the current state's animation again.
  void PlayKeys(bots::TBot& bot);
  // Advances the bot to `realNow`: the state machine while it plays, else the chosen range
  // (which stops on its last frame when not looping). Nothing moves while paused.
  void Advance(bots::TBot& bot, uint32_t realNow);
  // Moves `count` keyframes forwards (negative: backwards) through the range being played,
  // wrapping at its ends, and pauses there.
  void Step(bots::TBot& bot, int32_t count);

  bool Playing() const { return FPlaying; }  // a chosen range rather than the state machine
  const std::string& Name() const { return FName; }
  int32_t First() const { return FFirst; }
  int32_t Last() const { return FLast; }
  bool Paused() const { return FPaused; }
  void SetPaused(bool value) { FPaused = value; }
  double Speed() const { return FSpeed; }
  // Clamped into MinSpeed..MaxSpeed.
  void SetSpeed(double value);
  bool Loop() const { return FLoop; }
  void SetLoop(bool value) { FLoop = value; }
  // A chosen range played once has reached its last frame and stopped there.
  bool Finished() const { return FFinished; }
  // Back to the state machine, running at normal speed, looping (a new bot), with the body's
  // recorded animations (its frame groups) to choose from.
  void Reset(std::vector<model::TAnimation> groups = {});

  // The body's frame groups by recorded name, as Reset was given them.
  const std::vector<model::TAnimation>& Groups() const { return FGroups; }
  // Plays the group named `name` (matched as model::FindAnimations matches: any case, and a
  // repeated name plays its first run); false with the reason when there is none.
  bool PlayGroup(bots::TBot& bot, const std::string& name, std::string& reason);
  // Plays the group after (+1) or before (-1) the one playing, or the one the body's frame
  // lies in, wrapping; false with the reason when the model has none.
  bool PlayNextGroup(bots::TBot& bot, int direction, std::string& reason);
  // The name of the group the frame lies in, "" for none.
  std::string GroupAt(int32_t frame) const;

  // "run 42 (3/6) 0.30": the range's name (or the group the frame lies in), the frame, its
  // place in the range and how far the blend towards it has come, then "paused", "x2" (the
  // speed when not 1) and "once" as they apply.
  std::string Text(const bots::TMD2& model, const std::string& groupName) const;

private:
  std::vector<model::TAnimation> FGroups;
  bool FPlaying = false;
  std::string FName;
  int32_t FFirst = 0, FLast = 0;
  bool FPaused = false;
  bool FLoop = true;
  bool FFinished = false;
  double FSpeed = 1.0;
  bool FClockStarted = false;
  uint32_t FLastReal = 0;
  double FClock = 0;  // the bot's time, in milliseconds, fractions kept
};

}  // namespace quarn::shell
