#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace quarn::bots {
class TBot;
}

namespace quarn::shell {

// Animation-file playback: a text file of key masks, one a line, handed to the bot as its keys
// one line at each state it enters. The last line is never applied: playback ends at the state
// change after the one before it, and the bot goes on with the keys held.
class TAnimationFile {
public:
  // Reads `name` and applies its first line to `bot` (or, before the bot has a state, when it
  // enters one). Raises EScriptError when the file cannot be read or is not text, and for a
  // first line that is no mask (the conversion's error, the file and the line kept for
  // TakeFailureReason; the line is then tried again at the next state change).
  void Load(const std::string& name, bots::TBot& bot, uint16_t heldKeys);
  // The bot entered a state: the next line's mask, or the end of playback.
  void StateChanged(bots::TBot& bot, uint16_t heldKeys);
  // Forgets the file; the bot, if any, is not told.
  void Clear();
  // For an error just reported with `message`: the line saying where it came from (the
  // animation file and its line), once; "" when there is none.
  std::string TakeFailureReason(const std::string& message);

  bool Playing() const { return FPlaying; }
  // Lines applied so far.
  int32_t Index() const { return FIndex; }

private:
  // The mask on the file's line `index` (0-based); the conversion's EScriptError when it is no
  // integer, the file and the line kept for TakeFailureReason.
  uint16_t Mask(std::string_view line, int32_t index);
  void Stop(bots::TBot& bot, uint16_t heldKeys);

  std::string FText;  // the file being played
  size_t FNext = 0;   // where its next line to apply starts
  bool FPlaying = false;
  int32_t FIndex = 0;
  std::string FName;  // the file's name, for messages
  struct {
    std::string Message;  // the last bad line's error
    std::string Reason;   // the file and the line it was on
  } FFailure;
  // The first line came before the bot had a state: it applies when the bot enters one.
  bool FWaitsForState = false;
};

}  // namespace quarn::shell
